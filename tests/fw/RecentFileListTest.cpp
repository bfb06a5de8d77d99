#include "fw/Profile.h"
#include "fw/RecentFileList.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class RecentFileListTest : public ::testing::Test {
protected:
    QString ini() const { return m_dir.filePath("profile.ini"); }
    QStringList stored() const
    {
        fw::Profile profile(ini());
        QStringList out;
        for (int i = 1; i <= 4; ++i)
            out << profile.GetString("Recent File List", QStringLiteral("File%1").arg(i));
        return out;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(RecentFileListTest, AnOpenedFileGoesToTheTopAndFourAreKept)
{
    fw::Profile profile(ini());
    fw::RecentFileList list(profile, 4);
    for (const char* path : {"/d/a.caf", "/d/b.caf", "/d/c.caf", "/d/d.caf", "/d/e.caf", "/d/c.caf"})
        list.Add(path);
    EXPECT_EQ(list.files(), QStringList({"/d/c.caf", "/d/e.caf", "/d/d.caf", "/d/b.caf"}));
    EXPECT_EQ(stored(), QStringList({"/d/c.caf", "/d/e.caf", "/d/d.caf", "/d/b.caf"}));

    list.Remove(1);
    list.Remove(7);
    EXPECT_EQ(stored(), QStringList({"/d/c.caf", "/d/d.caf", "/d/b.caf", ""}));

    fw::RecentFileList next(profile, 4);
    next.ReadList();
    EXPECT_EQ(next.files(), QStringList({"/d/c.caf", "/d/d.caf", "/d/b.caf"}));
}

TEST_F(RecentFileListTest, TheSameFileWrittenTwoWaysIsOneEntry)
{
    fw::Profile profile(ini());
    fw::RecentFileList list(profile, 4);
    list.Add("/d/x/../a.caf");
    list.Add("/d//a.caf");
    EXPECT_EQ(list.files(), QStringList({"/d/a.caf"}));
}

TEST_F(RecentFileListTest, DisplayNamesAreShortenedInTheMiddle)
{
    fw::Profile profile(ini());
    fw::RecentFileList list(profile, 4);
    list.Add("/home/ana/configuraciones/cafeteras/oficina/dosis.caf");
    list.Add("/tmp/a.caf");
    list.Add("/datos/una-configuracion-de-nombre-muy-largo.caf");
    EXPECT_EQ(list.GetDisplayName(0, "/elsewhere"), "una-configuracion-de-nombre-muy-largo.caf");
    EXPECT_EQ(list.GetDisplayName(1, "/elsewhere"), "/tmp/a.caf");
    EXPECT_EQ(list.GetDisplayName(1, "/tmp"), "a.caf");
    EXPECT_EQ(list.GetDisplayName(2, "/elsewhere"), "/.../oficina/dosis.caf");
    EXPECT_EQ(list.GetDisplayName(3, "/tmp"), "");
}
