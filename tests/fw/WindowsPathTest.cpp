#include "fw/WindowsPath.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using fw::WindowsPath;

namespace {

class WindowsPathTest : public ::testing::Test {
protected:
    WindowsPathTest()
    {
        QDir(dir.path()).mkpath(QStringLiteral("configormi/Prototipo"));
        QFile file(dir.filePath(QStringLiteral("configormi/Prototipo/RELES_P30.TXT")));
        file.open(QIODevice::WriteOnly);
    }
    QString root() const { return dir.path(); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(WindowsPathTest, BackslashesBecomeSlashes)
{
    EXPECT_EQ(WindowsPath::resolve(root() + QStringLiteral("\\configormi\\Prototipo\\RELES_P30.TXT")),
              root() + QStringLiteral("/configormi/Prototipo/RELES_P30.TXT"));
}

TEST_F(WindowsPathTest, PartsInAnotherCaseTakeTheCaseOnDisk)
{
    EXPECT_EQ(WindowsPath::resolve(root() + QStringLiteral("/CONFIGORMI\\prototipo\\reles_p30.txt")),
              root() + QStringLiteral("/configormi/Prototipo/RELES_P30.TXT"));
}

TEST_F(WindowsPathTest, FromThePartThatIsMissingThePathStaysAsWritten)
{
    EXPECT_EQ(WindowsPath::resolve(root() + QStringLiteral("/configormi\\Imagenes\\prototipo\\x.gif")),
              root() + QStringLiteral("/configormi/Imagenes/prototipo/x.gif"));
    EXPECT_EQ(WindowsPath::resolve(QStringLiteral("D:\\datos\\configormi\\CONFIGURACIONES.MDB")),
              QStringLiteral("D:/datos/configormi/CONFIGURACIONES.MDB"));
}

TEST_F(WindowsPathTest, ARelativePathIsResolvedFromTheCurrentFolder)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root()));
    EXPECT_EQ(WindowsPath::resolve(QStringLiteral(".\\ConfigOrmi\\PROTOTIPO\\Reles_P30.txt")),
              QStringLiteral("./configormi/Prototipo/RELES_P30.TXT"));
    QDir::setCurrent(previous);
}

TEST_F(WindowsPathTest, AnExactPartIsKeptEvenWhenAnotherCaseAlsoExists)
{
    QDir(root()).mkpath(QStringLiteral("CONFIGORMI"));
    EXPECT_EQ(WindowsPath::resolve(root() + QStringLiteral("/CONFIGORMI")), root() + QStringLiteral("/CONFIGORMI"));
    EXPECT_EQ(WindowsPath::resolve(root() + QStringLiteral("/configormi")), root() + QStringLiteral("/configormi"));
}
