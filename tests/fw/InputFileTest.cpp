#include "fw/InputFile.h"
#include "tests/support/DamagedFiles.h"
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

    QFile file;
    ASSERT_TRUE(fw::InputFile::open(file, dir.filePath("justo"), QIODevice::Text));
    EXPECT_EQ(file.readLine(4), "xxx");
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
        QFile file;
        const bool opened = fw::InputFile::open(file, path);
        EXPECT_EQ(opened, file.isOpen()) << what;
        EXPECT_EQ(opened, c.what == "an oversized file" || c.what == "a huge file") << what;
    }
    QFile file;
    EXPECT_FALSE(fw::InputFile::open(file, dir.filePath("no-existe")));
    EXPECT_FALSE(fw::InputFile::read(QString(), Limit).has_value());
}
