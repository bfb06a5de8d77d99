#include "app/CRCFile.h"
#include "app/DocumentFile.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/Watchdog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}
} // namespace

TEST(CRCFileTest, ChecksumsOfKnownContents)
{
    QTemporaryDir dir;
    const CRCFile crc;
    EXPECT_EQ(crc.ComputeFileCrc(writeFile(dir, "check.txt", "123456789")), 0xCBF43926u);
    EXPECT_EQ(crc.ComputeFileCrc(writeFile(dir, "empty.caf", "")), 0u);
    EXPECT_EQ(crc.ComputeFileCrc(dir.filePath("missing.caf")), 0u);
    // Line ends are bytes like any other: no text translation.
    EXPECT_NE(crc.ComputeFileCrc(writeFile(dir, "crlf.txt", "a\r\nb")),
              crc.ComputeFileCrc(writeFile(dir, "lf.txt", "a\nb")));
}

TEST(CRCFileTest, AFileLargerThanOneReadBlockIsCheckedWhole)
{
    QTemporaryDir dir;
    QByteArray big(200 * 1024, 'x');
    const CRCFile crc;
    const quint32 whole = crc.ComputeFileCrc(writeFile(dir, "big", big));
    big[big.size() - 1] = 'y';
    EXPECT_NE(crc.ComputeFileCrc(writeFile(dir, "big2", big)), whole);
}

TEST(CRCFileTest, WhatIsNoRegularFileOrLargerThanADocumentIsUnreadable)
{
    QTemporaryDir dir;
    const CRCFile crc;
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::UnreadableFiles(DocumentFile::MaxBytes)) {
        const std::string what = c.what.toStdString();
        const QString path = dir.filePath(QString("file%1.caf").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        const Watchdog bound(what);
        EXPECT_FALSE(crc.TryComputeFileCrc(path).has_value()) << what;
        EXPECT_EQ(crc.ComputeFileCrc(path), 0u) << what;
    }
}
