#include "ui/CAnimatedPicture.h"

#include "tests/support/DamagedFiles.h"
#include "tests/support/TestGif.h"
#include "tests/support/TestPng.h"
#include "tests/support/Watchdog.h"
#include "ui/GifFrameParser.h"

#include <QDir>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <gtest/gtest.h>

namespace {

// Colours of the four-colour table.
enum Index { White, Red, Green, Blue };
const QColor Menu(10, 20, 30);
const QColor Face(40, 50, 60);

// An 8 × 8 screen with the four-colour table.
QByteArray gifOf(const QByteArray& blocks, const char* signature = "GIF89a")
{
    return TestGif::header(8, 8, TestGif::fourColours(), 0, signature) + blocks + TestGif::trailer();
}

QByteArray frame(int delay, int disposal, int left, int top, int width, int height, int index)
{
    return TestGif::graphicControl(delay, disposal) + TestGif::filledImage(left, top, width, height, index);
}

// A control whose menu and 3D-face colours differ, so a test tells the fills apart.
class CAnimatedPictureTest : public ::testing::Test {
protected:
    CAnimatedPictureTest()
    {
        QPalette colours = picture.palette();
        colours.setColor(QPalette::Window, Menu);
        colours.setColor(QPalette::Button, Face);
        picture.setPalette(colours);
    }

    QColor At(int x, int y) const { return picture.backBuffer().pixelColor(x, y); }
    void ExpectEmpty() const
    {
        EXPECT_FALSE(picture.isBufferReady());
        EXPECT_EQ(picture.pictureSize(), QSize(0, 0));
        EXPECT_EQ(picture.backgroundColour(), QColor(Qt::white));
        EXPECT_FALSE(picture.IsAnimated());
        EXPECT_FALSE(picture.isAnimationRunning());
    }

    CAnimatedPicture picture;
};

} // namespace

TEST_F(CAnimatedPictureTest, AOneFrameGifIsShownStillWithoutATimer)
{
    ASSERT_TRUE(picture.LoadFromMemory(gifOf(frame(50, 0, 2, 2, 4, 4, Red))));
    EXPECT_FALSE(picture.IsAnimated());
    EXPECT_EQ(picture.pictureSize(), QSize(8, 8));
    EXPECT_EQ(picture.size(), QSize(8, 8));
    // The buffer starts in the menu colour; the background becomes the 3D face.
    EXPECT_EQ(At(3, 3), Menu);
    EXPECT_EQ(picture.backgroundColour(), Face);
    EXPECT_TRUE(picture.Show());
    EXPECT_FALSE(picture.isAnimationRunning());
    EXPECT_EQ(At(3, 3), QColor(Qt::red));
}

TEST_F(CAnimatedPictureTest, TwoFramesAnimateFromTheFirstAtOnceAndDisposeOfItAfterItsWait)
{
    ASSERT_TRUE(picture.LoadFromMemory(gifOf(frame(50, 2, 0, 0, 4, 4, Red) + frame(10, 1, 4, 4, 4, 4, Blue))));
    EXPECT_TRUE(picture.IsAnimated());
    ASSERT_EQ(picture.frames().size(), 2);
    EXPECT_EQ(picture.frames()[1].left, 4);
    EXPECT_FALSE(picture.Show());
    EXPECT_TRUE(picture.isAnimationRunning());
    EXPECT_EQ(picture.animationWait(), 500);
    EXPECT_EQ(picture.currentFrame(), 0);
    EXPECT_EQ(At(1, 1), QColor(Qt::red));
    EXPECT_EQ(At(5, 5), Menu);

    picture.stepAnimation();
    // Disposal 2 left the first frame's rectangle in the background colour.
    EXPECT_EQ(picture.currentFrame(), 1);
    EXPECT_EQ(At(1, 1), Face);
    EXPECT_EQ(At(5, 5), QColor(Qt::blue));
    EXPECT_EQ(picture.animationWait(), 100);
    EXPECT_TRUE(picture.isAnimationRunning());
}

TEST_F(CAnimatedPictureTest, AfterTheLastFrameTheWholeBufferTakesTheBackgroundColour)
{
    ASSERT_TRUE(picture.LoadFromMemory(gifOf(frame(5, 1, 0, 0, 2, 2, Red) + frame(5, 1, 6, 6, 2, 2, Blue))));
    picture.Show();
    picture.stepAnimation();
    EXPECT_EQ(At(1, 1), QColor(Qt::red));
    EXPECT_EQ(At(4, 4), Menu);
    picture.stepAnimation();
    EXPECT_EQ(picture.currentFrame(), 0);
    EXPECT_EQ(At(1, 1), QColor(Qt::red));
    EXPECT_EQ(At(4, 4), Face);
    EXPECT_EQ(At(7, 7), Face);
}

TEST_F(CAnimatedPictureTest, DisposalThreeBringsBackWhatWasUnderTheFrame)
{
    // A whole green screen, a blue square over it that goes again, then a red corner.
    const QByteArray data = gifOf(frame(5, 1, 0, 0, 8, 8, Green) + frame(5, 3, 2, 2, 3, 3, Blue)
                                  + frame(5, 1, 7, 0, 1, 1, Red));
    ASSERT_TRUE(picture.LoadFromMemory(data));
    picture.Show();
    picture.stepAnimation();
    EXPECT_EQ(At(3, 3), QColor(Qt::blue));
    picture.stepAnimation();
    EXPECT_EQ(At(3, 3), QColor(Qt::green));
    EXPECT_EQ(At(7, 0), QColor(Qt::red));
}

TEST_F(CAnimatedPictureTest, TransparentPixelsOfAFrameLeaveTheBufferUnderThem)
{
    QByteArray second = TestGif::graphicControl(5, 1, White)
        + TestGif::image(0, 0, 2, 1, QByteArray(1, char(White)) + QByteArray(1, char(Blue)));
    ASSERT_TRUE(picture.LoadFromMemory(gifOf(frame(5, 1, 0, 0, 8, 8, Green) + second)));
    picture.Show();
    picture.stepAnimation();
    EXPECT_EQ(At(0, 0), QColor(Qt::green));
    EXPECT_EQ(At(1, 0), QColor(Qt::blue));
}

TEST_F(CAnimatedPictureTest, WaitsOfTheFrameDelays)
{
    const struct {
        quint32 delay;
        int wait;
    } cases[] = {{0, 100}, {1, 100}, {4, 100}, {5, 50}, {10, 100}, {50, 500}, {GifFrameParser::NoDelay, 100}};
    for (const auto& c : cases)
        EXPECT_EQ(CAnimatedPicture::FrameWait(c.delay), c.wait) << c.delay;

    // A frame without a graphic control extension waits the default.
    ASSERT_TRUE(picture.LoadFromMemory(gifOf(TestGif::filledImage(0, 0, 1, 1, Red) + frame(5, 0, 0, 0, 1, 1, Blue))));
    picture.Show();
    EXPECT_EQ(picture.animationWait(), 100);
}

TEST_F(CAnimatedPictureTest, StillPicturesOfOtherFormatsAndOtherGifVersions)
{
    ASSERT_TRUE(picture.LoadFromMemory(filledPng(QSize(5, 3), Qt::green)));
    EXPECT_EQ(picture.pictureSize(), QSize(5, 3));
    EXPECT_FALSE(picture.IsAnimated());
    EXPECT_TRUE(picture.Show());
    EXPECT_EQ(At(4, 2), QColor(Qt::green));

    // An animated GIF's blocks under another version are not split: Qt's reader refuses them.
    EXPECT_FALSE(picture.LoadFromMemory(gifOf(frame(5, 0, 0, 0, 1, 1, Red) + frame(5, 0, 0, 0, 1, 1, Blue), "GIF88a")));
    ExpectEmpty();
}

TEST_F(CAnimatedPictureTest, WhatCannotBeReadOrDecodedLeavesTheControlEmpty)
{
    QTemporaryDir folder;
    ASSERT_TRUE(picture.LoadFromMemory(filledPng(QSize(2, 2), Qt::red)));
    EXPECT_FALSE(picture.LoadFromFile(folder.filePath("none.gif")));
    ExpectEmpty();

    const QByteArray undecodable[] = {
        QByteArray("not a picture"),
        QByteArray(),
        gifOf({}),
        // A logical screen of no pixels.
        TestGif::header(0, 0, TestGif::fourColours()) + TestGif::filledImage(0, 0, 1, 1, 1) + TestGif::trailer(),
        // Frames that are all plain text.
        gifOf(TestGif::plainText("a") + TestGif::plainText("b")),
    };
    for (const QByteArray& data : undecodable) {
        ASSERT_TRUE(picture.LoadFromMemory(filledPng(QSize(2, 2), Qt::red)));
        EXPECT_FALSE(picture.LoadFromMemory(data)) << data.toHex().toStdString();
        ExpectEmpty();
    }
}

TEST_F(CAnimatedPictureTest, APlainTextFrameIsDroppedAndTheFrameLeftShowsStill)
{
    ASSERT_TRUE(picture.LoadFromMemory(gifOf(frame(5, 0, 1, 1, 2, 2, Red) + TestGif::plainText("texto"))));
    EXPECT_FALSE(picture.IsAnimated());
    EXPECT_TRUE(picture.Show());
    EXPECT_FALSE(picture.isAnimationRunning());
    EXPECT_EQ(At(1, 1), QColor(Qt::red));
    EXPECT_EQ(At(0, 0), Menu);
}

TEST_F(CAnimatedPictureTest, ClearingOrDestroyingWhileAnimatingLeavesNoTimer)
{
    const QByteArray data = gifOf(frame(5, 0, 0, 0, 1, 1, Red) + frame(5, 0, 0, 0, 1, 1, Blue));
    ASSERT_TRUE(picture.LoadFromMemory(data));
    picture.Show();
    ASSERT_TRUE(picture.isAnimationRunning());
    picture.Clear();
    ExpectEmpty();
    // A step the timer had queued does nothing now.
    picture.stepAnimation();
    EXPECT_FALSE(picture.isBufferReady());

    ASSERT_TRUE(picture.LoadFromMemory(data));
    picture.Show();
    picture.OnDestroy();
    EXPECT_FALSE(picture.isAnimationRunning());

    // A new load stops the running animation too.
    ASSERT_TRUE(picture.LoadFromMemory(data));
    picture.Show();
    ASSERT_TRUE(picture.LoadFromMemory(filledPng(QSize(1, 1), Qt::red)));
    EXPECT_FALSE(picture.isAnimationRunning());
}

TEST_F(CAnimatedPictureTest, PaintingCopiesTheBackBufferToTheTopLeft)
{
    ASSERT_TRUE(picture.LoadFromMemory(filledPng(QSize(3, 2), Qt::blue)));
    picture.Show();
    const QImage shown = picture.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(3, 2));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(2, 1), QColor(Qt::blue));
}

TEST_F(CAnimatedPictureTest, AFileThatIsNoRegularFileOrTooLargeLeavesTheControlEmpty)
{
    QTemporaryDir folder;
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::UnreadableFiles(CAnimatedPicture::MaxFileBytes)) {
        const std::string what = c.what.toStdString();
        const QString path = folder.filePath(QString("picture%1.gif").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        ASSERT_TRUE(picture.LoadFromMemory(filledPng(QSize(2, 2), Qt::red)));
        {
            const Watchdog bound(what);
            EXPECT_FALSE(picture.LoadFromFile(path)) << what;
        }
        ExpectEmpty();
    }
}

namespace {

// The most memory the process has held so far, in bytes.
qint64 peakMemory()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

qint64 heldByFrames(const CAnimatedPicture& picture)
{
    qint64 bytes = 0;
    for (const CAnimatedPicture::FrameRecord& frame : picture.frames())
        bytes += frame.picture.sizeInBytes();
    return bytes;
}

} // namespace

TEST_F(CAnimatedPictureTest, HostileGifsStayWithinTheMemoryBudget)
{
    // Far below what either file took before its frames were clipped and budgeted (gigabytes),
    // with room for a sanitizer's own bookkeeping.
    constexpr qint64 PeakGrowthBound = 512 * 1024 * 1024;
    struct Case {
        const char* file;
        QSize screen;
    };
    // A frame claiming 30000 × 30000 pixels on a 16 × 16 screen, with disposal 3; 400 frames
    // of one pixel each on a 1000 × 1000 screen.
    const Case cases[] = {{"unclipped-frame.gif", QSize(16, 16)}, {"many-screen-frames.gif", QSize(1000, 1000)}};
    const qint64 before = peakMemory();
    for (const Case& c : cases) {
        ASSERT_TRUE(picture.LoadFromFile(QDir(ORMI_GIF_CORPUS).filePath(c.file))) << c.file;
        EXPECT_EQ(picture.pictureSize(), c.screen) << c.file;
        EXPECT_TRUE(picture.IsAnimated()) << c.file;
        EXPECT_LE(heldByFrames(picture), CAnimatedPicture::MemoryBudget) << c.file;
        EXPECT_LE(picture.frames().size(), CAnimatedPicture::MemoryBudget / CAnimatedPicture::MinFrameCost) << c.file;
        picture.Show();
        for (qsizetype step = 0; step <= picture.frames().size(); ++step)
            picture.stepAnimation();
        EXPECT_EQ(picture.backBuffer().size(), c.screen) << c.file;
    }
    EXPECT_LE(peakMemory() - before, PeakGrowthBound);
}

TEST_F(CAnimatedPictureTest, PastTheBudgetTheFramesDecodedSoFarAnimate)
{
    ASSERT_TRUE(picture.LoadFromFile(QDir(ORMI_GIF_CORPUS).filePath("many-screen-frames.gif")));
    const qint64 screenBytes = qint64(1000) * 1000 * 4;
    EXPECT_EQ(picture.frames().size(), CAnimatedPicture::MemoryBudget / screenBytes);
    // The first frame's one pixel, at its place.
    EXPECT_EQ(picture.frames().first().left, 0);
    EXPECT_EQ(picture.frames().at(1).left, 37);
    EXPECT_TRUE(picture.IsAnimated());
}

TEST_F(CAnimatedPictureTest, AFrameRectangleBeyondTheScreenIsClippedToIt)
{
    // Disposal 3 over a frame that claims far more than the 8 × 8 screen, then one more frame.
    ASSERT_TRUE(picture.LoadFromMemory(gifOf(TestGif::graphicControl(5, 3) + TestGif::image(2, 2, 30000, 30000, QByteArray(1, Red))
                                             + frame(5, 0, 0, 0, 1, 1, Blue))));
    ASSERT_TRUE(picture.IsAnimated());
    picture.Show();
    EXPECT_EQ(At(2, 2), QColor(Qt::red));
    picture.stepAnimation();
    // What was under the frame comes back over the screen's part of it.
    EXPECT_EQ(At(2, 2), Menu);
    EXPECT_EQ(At(7, 7), Menu);
    EXPECT_EQ(picture.backBuffer().size(), QSize(8, 8));
}
