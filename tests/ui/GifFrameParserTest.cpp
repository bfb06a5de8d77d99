#include "ui/GifFrameParser.h"

#include "tests/support/TestGif.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Kind = GifFrameParser::BlockKindValue;

// A screen of 4 × 4 with the four-colour table, then the blocks.
QByteArray gifOf(const QByteArray& blocks) { return TestGif::header(4, 4, TestGif::fourColours()) + blocks; }

int countFrames(const QByteArray& data)
{
    GifFrameParser parser(data);
    return parser.CountFrames();
}

std::vector<GifFrameParser::Frame> extractAll(const QByteArray& data)
{
    GifFrameParser parser(data);
    std::vector<GifFrameParser::Frame> frames;
    GifFrameParser::Frame frame;
    while (parser.ExtractFrame(frame))
        frames.push_back(frame);
    return frames;
}

} // namespace

TEST(GifFrameParserTest, OnlyTheTwoVersionsAreGifData)
{
    const struct {
        const char* start;
        bool gif;
    } cases[] = {{"GIF87a", true}, {"GIF89a", true}, {"GIF89a\x01\x00", true}, {"GIF88a", false},
                 {"GIF8", false},  {"gif89a", false}, {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(GifFrameParser::IsGif(QByteArray(c.start)), c.gif) << c.start;
}

TEST(GifFrameParserTest, TheScreenDescriptorGivesSizeColourTableAndBackground)
{
    const QByteArray tabled = TestGif::header(300, 2, TestGif::fourColours(), 2);
    GifFrameParser withTable(tabled);
    EXPECT_EQ(withTable.screenWidth(), 300);
    EXPECT_EQ(withTable.screenHeight(), 2);
    EXPECT_EQ(withTable.colourTableSize(), 12);
    EXPECT_EQ(withTable.offset(), 25);
    ASSERT_TRUE(withTable.hasBackgroundColour());
    EXPECT_EQ(withTable.backgroundColour(), 0xFF00FF00u);

    const QByteArray untabled = TestGif::header(5, 6, {});
    GifFrameParser withoutTable(untabled);
    EXPECT_EQ(withoutTable.colourTableSize(), 0);
    EXPECT_FALSE(withoutTable.hasBackgroundColour());
    EXPECT_EQ(withoutTable.offset(), 13);

    // A background index past a table cut short reads nothing.
    QByteArray cut = TestGif::header(1, 1, TestGif::fourColours(), 3);
    cut.chop(2);
    EXPECT_FALSE(GifFrameParser(cut).hasBackgroundColour());
    EXPECT_EQ(GifFrameParser(cut).BlockKind(), GifFrameParser::OtherBlock);
}

TEST(GifFrameParserTest, BlockKindsAndLengths)
{
    const QByteArray trailer = TestGif::trailer();
    const struct {
        const char* name;
        QByteArray block;
        Kind kind;
        qsizetype length;
    } cases[] = {
        {"application", TestGif::application() + trailer, GifFrameParser::ApplicationBlock, 19},
        {"comment", TestGif::comment("hi") + trailer, GifFrameParser::CommentBlock, 6},
        {"comment of a chain of just 00", QByteArray("\x21\xFE\x00", 3) + trailer, GifFrameParser::CommentBlock, 3},
        {"comment of two sub-blocks", QByteArray("\x21\xFE\x01x\x02yz\x00", 8), GifFrameParser::CommentBlock, 8},
        {"graphic control", TestGif::graphicControl(10, 2) + trailer, GifFrameParser::GraphicControlBlock, 8},
        {"plain text", TestGif::plainText("ab") + trailer, GifFrameParser::PlainTextBlock, 19},
        {"image", TestGif::filledImage(0, 0, 2, 2, 1) + trailer, GifFrameParser::ImageBlock, 20},
        {"image with a local colour table", TestGif::image(0, 0, 2, 2, QByteArray("\x01\x02\x03\x00", 4), TestGif::fourColours()),
         GifFrameParser::ImageBlock, 32},
        {"trailer", trailer, GifFrameParser::TrailerBlock, 1},
        {"21 00", QByteArray("\x21\x00\x00", 3), GifFrameParser::OtherBlock, -1},
        {"a zero byte", QByteArray(1, '\0'), GifFrameParser::OtherBlock, -1},
        {"21 at the end", QByteArray("\x21", 1), GifFrameParser::OtherBlock, -1},
        {"the end of the data", QByteArray(), GifFrameParser::OtherBlock, -1},
        {"a chain off the end", QByteArray("\x21\xFE\x05" "abc", 6), GifFrameParser::CommentBlock, -1},
        {"a chain without its zero", QByteArray("\x21\xFE\x01" "a", 4), GifFrameParser::CommentBlock, -1},
        {"an image cut in its descriptor", QByteArray("\x2C\x00\x00\x00", 4), GifFrameParser::ImageBlock, -1},
        {"an application cut in its head", QByteArray("\x21\xFF\x0B" "NETS", 7), GifFrameParser::ApplicationBlock, -1},
    };
    for (const auto& c : cases) {
        const QByteArray data = gifOf(c.block);
        GifFrameParser parser(data);
        EXPECT_EQ(parser.BlockKind(), c.kind) << c.name;
        EXPECT_EQ(parser.BlockLength(), c.length) << c.name;
        // A block skips only whole and inside the data.
        const qsizetype before = parser.offset();
        const bool fits = c.length > 0 && c.length <= c.block.size();
        EXPECT_EQ(parser.SkipBlock(), fits) << c.name;
        EXPECT_EQ(parser.offset(), before + (fits ? c.length : 0)) << c.name;
    }
}

TEST(GifFrameParserTest, SubBlockChainsCountEverySizeByteAndTheirZero)
{
    const QByteArray data = gifOf(QByteArray("\x00\x02" "ab" "\x00\x01", 6));
    GifFrameParser parser(data);
    EXPECT_EQ(parser.SubBlocksLength(25), 1);
    EXPECT_EQ(parser.SubBlocksLength(26), 4);
    EXPECT_EQ(parser.SubBlocksLength(30), -1);
    EXPECT_EQ(parser.SubBlocksLength(31), -1);
}

TEST(GifFrameParserTest, AGraphicControlBlockRunningPastTheDataDoesNotSkip)
{
    const QByteArray data = gifOf(TestGif::graphicControl(1, 1).first(6));
    GifFrameParser parser(data);
    EXPECT_EQ(parser.BlockLength(), 8);
    EXPECT_FALSE(parser.SkipBlock());
    EXPECT_FALSE(parser.SkipFrame());
}

TEST(GifFrameParserTest, FramesAreCountedAndExtractedOverCommentAndApplicationBlocks)
{
    const QByteArray head = TestGif::header(4, 4, TestGif::fourColours());
    const QByteArray control = TestGif::graphicControl(10, 2, 0);
    const QByteArray note = TestGif::comment("between");
    const QByteArray first = TestGif::filledImage(1, 2, 3, 1, 1);
    const QByteArray second = TestGif::filledImage(0, 0, 4, 4, 2);
    const QByteArray data = head + TestGif::application() + TestGif::comment("x") + control + note + first
        + TestGif::comment("y") + second + TestGif::trailer();

    EXPECT_EQ(countFrames(data), 2);
    const std::vector<GifFrameParser::Frame> frames = extractAll(data);
    ASSERT_EQ(frames.size(), 2u);
    // The blocks between a graphic control extension and its image go with the frame.
    EXPECT_EQ(frames[0].bytes, head + control + note + first + TestGif::trailer());
    EXPECT_EQ(frames[0].delay, 10u);
    EXPECT_EQ(frames[0].disposal, 2);
    EXPECT_EQ((std::vector<int>{frames[0].left, frames[0].top, frames[0].width, frames[0].height}),
              (std::vector<int>{1, 2, 3, 1}));
    EXPECT_FALSE(frames[0].plainText);
    // Without a graphic control extension: no delay, disposal 0; the comment before stays out.
    EXPECT_EQ(frames[1].bytes, head + second + TestGif::trailer());
    EXPECT_EQ(frames[1].delay, GifFrameParser::NoDelay);
    EXPECT_EQ(frames[1].disposal, 0);
    EXPECT_EQ(frames[1].width, 4);
}

TEST(GifFrameParserTest, AFrameIsRepackedByteForByte)
{
    const QByteArray data = QByteArray::fromHex("47494638396101000100800000 000000FFFFFF"
                                    "21FF0B4E45545343415045322E300301000000"
                                    "21F904090A000100"
                                    "2C00000000010001000002024C0100"
                                    "3B");
    GifFrameParser parser(data);
    GifFrameParser::Frame frame;
    ASSERT_TRUE(parser.ExtractFrame(frame));
    EXPECT_EQ(frame.bytes.toHex(), QByteArray::fromHex("47494638396101000100800000 000000FFFFFF"
                                                "21F904090A000100"
                                                "2C00000000010001000002024C0100"
                                                "3B").toHex());
    EXPECT_EQ(frame.delay, 10u);
    EXPECT_EQ(frame.disposal, 2);
    EXPECT_EQ(parser.offset(), data.size() - 1);
    EXPECT_FALSE(parser.ExtractFrame(frame));
}

TEST(GifFrameParserTest, PlainTextAndGraphicControlWithoutImage)
{
    const QByteArray text = gifOf(TestGif::graphicControl(7, 1) + TestGif::plainText("hola") + TestGif::trailer());
    const std::vector<GifFrameParser::Frame> frames = extractAll(text);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_TRUE(frames[0].plainText);
    EXPECT_EQ(frames[0].delay, 7u);
    EXPECT_EQ(frames[0].width, 0);

    // A graphic control extension that no image follows ends the frames.
    const QByteArray image = TestGif::filledImage(0, 0, 1, 1, 1);
    for (const QByteArray& ending : {TestGif::trailer(), TestGif::comment("c"), QByteArray("\x21\x00", 2), QByteArray()}) {
        const QByteArray data = gifOf(image + TestGif::graphicControl(1, 0) + ending);
        EXPECT_EQ(countFrames(data), 1) << ending.toHex().toStdString();
        EXPECT_EQ(extractAll(data).size(), 1u);
    }
}

TEST(GifFrameParserTest, EveryTruncationOfATwoFrameGifGivesOnlyTheFramesThatAreWhole)
{
    const QByteArray head = TestGif::header(4, 4, TestGif::fourColours());
    const QByteArray firstFrame = TestGif::graphicControl(5, 3) + TestGif::filledImage(0, 0, 2, 2, 3);
    const QByteArray secondFrame = TestGif::comment("c") + TestGif::graphicControl(5, 1)
        + TestGif::image(1, 1, 2, 2, QByteArray("\x00\x01\x02\x03", 4), TestGif::fourColours());
    const QByteArray data = head + firstFrame + secondFrame + TestGif::trailer();
    const qsizetype firstEnd = head.size() + firstFrame.size();
    const qsizetype secondEnd = firstEnd + secondFrame.size();
    for (qsizetype size = 0; size <= data.size(); ++size) {
        const QByteArray cut = data.first(size);
        const int whole = (size >= firstEnd ? 1 : 0) + (size >= secondEnd ? 1 : 0);
        EXPECT_EQ(countFrames(cut), whole) << size;
        const std::vector<GifFrameParser::Frame> frames = extractAll(cut);
        ASSERT_EQ(int(frames.size()), whole) << size;
        for (const GifFrameParser::Frame& frame : frames)
            EXPECT_TRUE(frame.bytes.endsWith(char(0x3B)));
    }
}
