#include "app/CRCFile.h"

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
