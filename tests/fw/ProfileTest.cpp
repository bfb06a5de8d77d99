#include "fw/Profile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ProfileTest, AbsentValuesGiveTheCallersDefaults)
{
    QTemporaryDir dir;
    fw::Profile profile(dir.filePath("p.ini"));
    EXPECT_EQ(profile.GetInt("Ormi", "Idioma", -1), -1);
    EXPECT_EQ(profile.GetInt("Ormi", "SerialPort", 1), 1);
    EXPECT_EQ(profile.GetString("Configuracion", "Moneda", "2"), "2");
    EXPECT_EQ(profile.GetString("Configuracion", "WorkDir"), QString());
}

TEST(ProfileTest, ValuesSurviveAReopenAndStayApartBySection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("p.ini");
    {
        fw::Profile profile(path);
        ASSERT_TRUE(profile.WriteInt("Ormi", "Idioma", 2));
        ASSERT_TRUE(profile.WriteInt("Configuracion", "Idioma", 4));
        ASSERT_TRUE(profile.WriteString("Configuracion", "TempDir", "/tmp/ormi/"));
        ASSERT_TRUE(profile.WriteString("Otros", "Crear opciones como dirty", "1"));
    }
    fw::Profile reopened(path);
    EXPECT_EQ(reopened.GetInt("Ormi", "Idioma", -1), 2);
    EXPECT_EQ(reopened.GetInt("Configuracion", "Idioma", 0), 4);
    EXPECT_EQ(reopened.GetString("Configuracion", "TempDir"), "/tmp/ormi/");
    EXPECT_EQ(reopened.GetInt("Otros", "Crear opciones como dirty", 0), 1);
}

TEST(ProfileTest, ATextThatIsNoNumberReadsAsTheDefaultInteger)
{
    QTemporaryDir dir;
    fw::Profile profile(dir.filePath("p.ini"));
    profile.WriteString("Ormi", "SerialPort", "abc");
    EXPECT_EQ(profile.GetInt("Ormi", "SerialPort", 1), 1);
}
