// Every input kept for the GIF fuzz target, and every GIF of the bundled catalogue, goes
// through the same split again: the seeds with the frames they hold, the inputs that once
// broke the splitter (crash-*, and anything else) only safely.
#include "fuzz/GifFrameFuzz.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHash>

namespace {

int split(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = file.readAll();
    return SplitGifFuzzInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
}

} // namespace

TEST(GifCorpusTest, EveryKeptInputGoesThroughTheSplitterAgain)
{
    const QHash<QString, int> seeds = {
        {"two-frames.gif", 2}, {"one-frame.gif", 1},         {"no-control.gif", 2},
        {"plain-text.gif", 2}, {"control-without-image.gif", 1}, {"truncated.gif", 1},
        {"unclipped-frame.gif", 2}, {"many-screen-frames.gif", 400},
    };
    const QDir corpus(QStringLiteral(ORMI_GIF_CORPUS));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    for (auto seed = seeds.cbegin(); seed != seeds.cend(); ++seed)
        EXPECT_TRUE(names.contains(seed.key())) << seed.key().toStdString();
    for (const QString& name : names) {
        const int frames = split(corpus.filePath(name));
        if (seeds.contains(name)) {
            EXPECT_EQ(frames, seeds.value(name)) << name.toStdString();
        }
    }
}

TEST(GifCorpusTest, TheBundledPicturesSplitIntoTheirFrames)
{
    const QDir pictures(QStringLiteral(ORMI_BUNDLED_PICTURES));
    const QStringList names = pictures.entryList({QStringLiteral("*.GIF")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(names.isEmpty());
    for (const QString& name : names)
        EXPECT_GE(split(pictures.filePath(name)), 1) << name.toStdString();
}
