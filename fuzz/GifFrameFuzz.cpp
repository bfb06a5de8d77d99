// libFuzzer entry of the GIF frame splitter; the replay test runs the same split over the
// inputs kept in tests/ui/gif-corpus.
#include "fuzz/GifFrameFuzz.h"

#include "ui/GifFrameParser.h"

#include <cstdlib>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

int countFrames(GifFrameParser& parser)
{
    parser.RewindToFirstBlock();
    int frames = 0;
    for (qsizetype before = parser.offset(); parser.SkipFrame(); before = parser.offset()) {
        require(parser.offset() > before);
        ++frames;
    }
    return frames;
}

// A re-packed frame is GIF data of one frame that re-packs into itself.
void checkRepacked(const GifFrameParser::Frame& frame)
{
    require(GifFrameParser::IsGif(frame.bytes));
    require(frame.bytes.endsWith(GifFrameParser::Trailer));
    GifFrameParser again(frame.bytes);
    require(countFrames(again) == 1);
    again.RewindToFirstBlock();
    GifFrameParser::Frame copy;
    require(again.ExtractFrame(copy));
    require(copy.bytes == frame.bytes);
    require(copy.delay == frame.delay && copy.disposal == frame.disposal && copy.plainText == frame.plainText);
    require(copy.left == frame.left && copy.top == frame.top && copy.width == frame.width && copy.height == frame.height);
}

} // namespace

int SplitGifFuzzInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!GifFrameParser::IsGif(bytes))
        return 0;
    GifFrameParser parser(bytes);
    const int counted = countFrames(parser);
    parser.RewindToFirstBlock();
    int extracted = 0;
    GifFrameParser::Frame frame;
    for (qsizetype before = parser.offset(); parser.ExtractFrame(frame); before = parser.offset()) {
        require(parser.offset() > before);
        checkRepacked(frame);
        ++extracted;
    }
    require(extracted == counted);
    return extracted;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    SplitGifFuzzInput(data, size);
    return 0;
}
