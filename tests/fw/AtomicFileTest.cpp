#include "fw/AtomicFile.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

} // namespace

TEST(AtomicFileTest, WritesANewFileAndReplacesAnOldOneWhole)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("dosis.caf");
    ASSERT_TRUE(fw::AtomicFile::write(path, "primero, el más largo"));
    EXPECT_EQ(contents(path), "primero, el más largo");
    ASSERT_TRUE(fw::AtomicFile::write(path, "corto"));
    EXPECT_EQ(contents(path), "corto");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"dosis.caf"});
}

TEST(AtomicFileTest, AWriteThroughALinkReplacesTheFileItNames)
{
    QTemporaryDir dir;
    const QString target = dir.filePath("real.caf");
    const QString link = dir.filePath("enlace.caf");
    ASSERT_TRUE(DamagedFiles::MakeFile(target, "viejo"));
    ASSERT_TRUE(QFile::link(target, link));
    ASSERT_TRUE(fw::AtomicFile::write(link, "nuevo"));
    EXPECT_EQ(contents(target), "nuevo");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST(AtomicFileTest, ANameThatIsNoRegularFileIsNeverReplaced)
{
    QTemporaryDir dir;
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::NotRegularFiles()) {
        const std::string what = c.what.toStdString();
        const QString path = dir.filePath(QString("name%1").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        const QFileInfo before(path);
        EXPECT_FALSE(fw::AtomicFile::write(path, "bytes")) << what;
        const QFileInfo after(path);
        EXPECT_EQ(after.isFile(), before.isFile()) << what;
        EXPECT_EQ(after.isDir(), before.isDir()) << what;
        EXPECT_EQ(after.isSymLink(), before.isSymLink()) << what;
    }
    EXPECT_FALSE(fw::AtomicFile::write(QString(), "bytes"));
    EXPECT_FALSE(fw::AtomicFile::write(dir.filePath("no-hay/carpeta"), "bytes"));
}

TEST(AtomicFileTest, OnAFullDiskTheOldFileStaysWholeAndNothingIsLeftBeside)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.caf");
    const QByteArray old(300, 'k');
    ASSERT_TRUE(DamagedFiles::MakeFile(path, old));
    // Larger than fits, smaller than one buffered block: only the flush can fail.
    const QByteArray bytes(5000, 'n');
    {
        FileSizeLimit full(64);
        ASSERT_TRUE(full.held());
        EXPECT_FALSE(fw::AtomicFile::write(path, bytes));
        EXPECT_FALSE(fw::AtomicFile::write(path, QByteArray(64 * 1024 * 3, 'g')));
    }
    EXPECT_EQ(contents(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.caf"});
    ASSERT_TRUE(fw::AtomicFile::write(path, bytes));
    EXPECT_EQ(contents(path), bytes);
}
