#include "fw/InputFile.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/GrowingFile.h"
#include "tests/support/Watchdog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr qint64 Limit = 1000;

} // namespace

TEST(InputFileTest, ARegularFileUpToTheLimitIsReadWhole)
{
    QTemporaryDir dir;
    const QByteArray bytes(Limit, 'x');
    ASSERT_TRUE(DamagedFiles::MakeFile(dir.filePath("justo"), bytes));
    ASSERT_TRUE(DamagedFiles::MakeEmptyFile(dir.filePath("vacio")));
    ASSERT_TRUE(QFile::link(dir.filePath("justo"), dir.filePath("enlace")));
    EXPECT_EQ(fw::InputFile::read(dir.filePath("justo"), Limit), bytes);
    EXPECT_EQ(fw::InputFile::read(dir.filePath("enlace"), Limit), bytes);
    EXPECT_EQ(fw::InputFile::read(dir.filePath("vacio"), Limit), QByteArray());
    EXPECT_TRUE(fw::InputFile::opens(dir.filePath("justo")));
    EXPECT_TRUE(fw::InputFile::opens(dir.filePath("vacio")));
}

TEST(InputFileTest, TheHeadOfAFileIsItsFirstBytesUpToTheLimit)
{
    QTemporaryDir dir;
    const QByteArray bytes = QByteArray(Limit, 'x') + "resto";
    ASSERT_TRUE(DamagedFiles::MakeFile(dir.filePath("largo"), bytes));
    EXPECT_EQ(fw::InputFile::readHead(dir.filePath("largo"), Limit), bytes.left(Limit));
    EXPECT_EQ(fw::InputFile::readHead(dir.filePath("largo"), 2 * Limit), bytes);
    EXPECT_EQ(fw::InputFile::readHead(dir.filePath("largo"), 0), QByteArray());
}

TEST(InputFileTest, WhatIsNoRegularFileOrIsTooLargeIsNotReadAndNeverWaitedFor)
{
    QTemporaryDir dir;
    QList<DamagedFiles::Unreadable> cases = DamagedFiles::UnreadableFiles(Limit) + DamagedFiles::NotRegularFiles();
    cases.append({"a huge file", [](const QString& path) { return DamagedFiles::MakeSparseFile(path, qint64(1) << 34); }});
    int n = 0;
    for (const DamagedFiles::Unreadable& c : cases) {
        const std::string what = c.what.toStdString();
        const QString path = dir.filePath(QString("file%1").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        const Watchdog bound(what);
        EXPECT_FALSE(fw::InputFile::read(path, Limit).has_value()) << what;
        const bool regular = c.what == "an oversized file" || c.what == "a huge file"
                             || c.what == "a file that grows while it is read";
        EXPECT_EQ(fw::InputFile::opens(path), regular) << what;
        EXPECT_EQ(fw::InputFile::readHead(path, Limit).has_value(), regular) << what;
    }
    EXPECT_FALSE(fw::InputFile::opens(dir.filePath("no-existe")));
    EXPECT_FALSE(fw::InputFile::opens(QString()));
    EXPECT_FALSE(fw::InputFile::read(QString(), Limit).has_value());
    EXPECT_FALSE(fw::InputFile::readHead(dir.filePath("no-existe"), Limit).has_value());
}

TEST(InputFileTest, AFileThatGrowsWhileItIsReadIsReadOnlyUpToTheLimit)
{
    if (!GrowingFile::available())
        GTEST_SKIP() << "watching the reads of a file needs CAP_SYS_ADMIN";
    QTemporaryDir dir;
    constexpr qint64 limit = 4 * GrowingFile::Step;
    {
        GrowingFile file(dir.filePath("entero"));
        ASSERT_TRUE(file.growing());
        const Watchdog bound("a whole read of a growing file");
        EXPECT_FALSE(fw::InputFile::read(dir.filePath("entero"), limit).has_value());
    }
    {
        GrowingFile file(dir.filePath("cabeza"));
        ASSERT_TRUE(file.growing());
        const Watchdog bound("a read of the head of a growing file");
        const std::optional<QByteArray> bytes = fw::InputFile::readHead(dir.filePath("cabeza"), limit);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(bytes->size(), limit);
    }
}
