// Start-up to the main window shown, offscreen, on the bundled catalogue beside the program:
// language, document layer, catalogue of model 1, a new document, the window and the splash.
#include "app/COrmiApp.h"
#include "bench/BenchProgram.h"

#include <memory>

#include <benchmark/benchmark.h>

namespace {

void BM_StartToMainWindow(benchmark::State& state, int interfaceLanguage)
{
    BenchProgram program;
    program.application().setProgramFolder(QStringLiteral(ORMI_PROGRAM_DIR));
    program.profile().WriteInt(QStringLiteral("Ormi"), QStringLiteral("Idioma"), interfaceLanguage);
    for (auto _ : state) {
        auto app = std::make_unique<COrmiApp>(program.application(), COrmiApp::Options{});
        const bool started = app->InitInstance();
        state.PauseTiming();
        if (!started || program.boxesShown() > 0) {
            state.SkipWithError("start-up failed on the bundled catalogue");
            break;
        }
        // Closing is no part of start-up; the next start begins from the built-in texts.
        app.reset();
        program.application().strings() = fw::StringTable();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK_CAPTURE(BM_StartToMainWindow, Spanish, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StartToMainWindow, English, 2)->Unit(benchmark::kMillisecond);
