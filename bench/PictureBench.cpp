// Loading an animated picture as the machine-model dialog does on the interface thread: a
// 20-frame GIF of 150 × 200 split into frames and each frame decoded. Target: under 20 ms.
// Hostile GIFs, which stop at the control's memory budget: 400 one-pixel frames on a
// 1000 × 1000 screen, and 20000 frames on a screen of one pixel. Target: each under 250 ms.
#include "tests/support/TestGif.h"
#include "ui/CAnimatedPicture.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Width = 150;
constexpr int Height = 200;
constexpr int Frames = 20;

// Frames of the size of the bundled pictures' moving parts: a 60 × 80 block that moves and
// changes colour, each with its own delay and disposal.
QByteArray animatedGif()
{
    QByteArray data = TestGif::header(Width, Height, TestGif::fourColours());
    data += TestGif::application();
    data += TestGif::graphicControl(10, 1) + TestGif::filledImage(0, 0, Width, Height, 0);
    for (int k = 1; k < Frames; ++k) {
        QByteArray pixels(60 * 80, char(k % 4));
        for (int p = 0; p < pixels.size(); p += 7)
            pixels[p] = char((k + p) % 4);
        data += TestGif::graphicControl(10, k % 2 ? 1 : 3) + TestGif::image(k * 4, k * 5, 60, 80, pixels);
    }
    return data + TestGif::trailer();
}

void BM_LoadAnimatedGif(benchmark::State& state)
{
    const QByteArray data = animatedGif();
    CAnimatedPicture picture;
    for (auto _ : state) {
        const bool loaded = picture.LoadFromMemory(data);
        benchmark::DoNotOptimize(loaded);
        if (!loaded || picture.frames().size() != Frames) {
            state.SkipWithError("the GIF did not load whole");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * data.size());
}

// Frames of one pixel each, at their own places on the screen.
QByteArray manyFrames(int width, int height, int frames)
{
    QByteArray data = TestGif::header(width, height, TestGif::fourColours());
    for (int k = 0; k < frames; ++k)
        data += TestGif::graphicControl(1, 0) + TestGif::filledImage(k * 37 % width, k * 53 % height, 1, 1, 1);
    return data + TestGif::trailer();
}

void BM_LoadHostileGif(benchmark::State& state)
{
    const QByteArray data = manyFrames(int(state.range(0)), int(state.range(0)), int(state.range(1)));
    CAnimatedPicture picture;
    for (auto _ : state) {
        const bool loaded = picture.LoadFromMemory(data);
        benchmark::DoNotOptimize(loaded);
        if (!loaded) {
            state.SkipWithError("the GIF did not load");
            break;
        }
    }
    state.counters["frames"] = double(picture.frames().size());
}

} // namespace

BENCHMARK(BM_LoadAnimatedGif)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadHostileGif)->Args({1000, 400})->Args({1, 20000})->Unit(benchmark::kMillisecond);
