#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/COrmiApp.h"
#include "fw/StringTable.h"
#include "tests/support/TestApplication.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

const QString ShippedFolder = QStringLiteral(ORMI_LANGUAGE_DIR);
const QStringList ShippedFiles{"OrmiEng.lng", "OrmiEngl.lng", "OrmiFran.lng", "OrmiGerm.lng", "OrmiPort.lng"};

// A program folder with a language file per name that says which one it is.
class LanguageTest : public ::testing::Test {
protected:
    LanguageTest()
    {
        app.application().setProgramFolder(app.tempPath());
        for (const QString& name : ShippedFiles)
            write(name, "1584\t" + name.toUtf8() + "\n");
    }

    void write(const QString& name, const QByteArray& bytes)
    {
        QFile file(app.tempPath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    TestApplication app;
};

// The printf placeholders of a text in order.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("%[-+ #0]*[0-9]*(\\.[0-9]+)?[hlL]*[diouxXeEfgGcs%]"));
    QStringList out;
    for (const QRegularExpressionMatch& match : pattern.globalMatch(text))
        out << match.captured();
    return out;
}

} // namespace

TEST_F(LanguageTest, TheProfileChoosesTheLanguageFile)
{
    const struct {
        int ormi;        // Ormi/Idioma, -2 for none written
        int legacy;      // Configuracion/Idioma, -2 for none written
        const char* loaded;
        int written;     // Ormi/Idioma afterwards
        const char* qtCancel; // Qt's own dialogs in the same language
    } cases[] = {
        {-2, 2, "OrmiEngl.lng", 2, "Cancel"},    {-2, -2, "", 0, "Cancelar"},
        {-1, 3, "OrmiPort.lng", 3, "Cancelar"},  {0, 2, "", 0, "Cancelar"},
        {1, 0, "OrmiFran.lng", 1, "Annuler"},    {4, 0, "OrmiGerm.lng", 4, "Abbrechen"},
        {7, 0, "OrmiEng.lng", 7, "Cancel"},      {-5, 0, "OrmiEng.lng", -5, "Cancel"},
    };
    for (const auto& c : cases) {
        TestApplication fresh;
        fresh.application().setProgramFolder(app.tempPath());
        if (c.ormi != -2)
            fresh.profile().WriteInt("Ormi", "Idioma", c.ormi);
        if (c.legacy != -2)
            fresh.profile().WriteInt("Configuracion", "Idioma", c.legacy);
        COrmiApp ormi(fresh.application(), {});
        ormi.LoadLanguageDll();
        const QString where = QStringLiteral("Ormi %1, Configuracion %2").arg(c.ormi).arg(c.legacy);
        EXPECT_EQ(ormi.languageFile(), QString::fromLatin1(c.loaded)) << where.toStdString();
        EXPECT_EQ(fresh.strings().text(1584), *c.loaded ? QString::fromLatin1(c.loaded) : QString("Versión "))
            << where.toStdString();
        EXPECT_EQ(fresh.profile().GetInt("Ormi", "Idioma", -9), c.written) << where.toStdString();
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString::fromUtf8(c.qtCancel))
            << where.toStdString();
    }
}

TEST_F(LanguageTest, AMissingFileLeavesSpanishWithoutAWord)
{
    QFile::remove(app.tempPath("OrmiFran.lng"));
    app.profile().WriteInt("Ormi", "Idioma", 1);
    COrmiApp ormi(app.application(), {});
    ormi.LoadLanguageDll();
    EXPECT_EQ(ormi.languageFile(), "");
    EXPECT_EQ(app.strings().text(1584), "Versión ");
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(LanguageTest, ALoadedFileChangesStringsMenusAndDialogs)
{
    QFile::remove(app.tempPath("OrmiEngl.lng"));
    ASSERT_TRUE(QFile::copy(ShippedFolder + "/OrmiEngl.lng", app.tempPath("OrmiEngl.lng")));
    app.profile().WriteInt("Ormi", "Idioma", 2);
    COrmiApp ormi(app.application(), {});
    ormi.LoadLanguageDll();

    EXPECT_EQ(app.strings().text(61828), "Untitled");
    CMainFrame frame;
    EXPECT_EQ(frame.menuBar()->actions().first()->text(), "&File");
    EXPECT_EQ(frame.action(57600)->text(), "&New");
    EXPECT_EQ(frame.action(57600)->statusTip(), "Creates a new document");
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), "About Ormi");
    EXPECT_EQ(about.titleText(), "DRAVOLINO Configuration Version 18");
}

TEST(ShippedLanguageFilesTest, EveryFileHasEveryKeyWithTheSamePlaceholders)
{
    const fw::StringTable spanish;
    for (const QString& name : ShippedFiles) {
        fw::StringTable file(fw::StringTable::Contents::Empty);
        ASSERT_TRUE(file.loadLanguage(ShippedFolder + "/" + name)) << name.toStdString();
        for (auto it = spanish.entries().cbegin(); it != spanish.entries().cend(); ++it) {
            const QString where = name + " " + it.key();
            ASSERT_TRUE(file.entries().contains(it.key())) << "missing " << where.toStdString();
            EXPECT_EQ(placeholders(file.entries().value(it.key())), placeholders(it.value())) << where.toStdString();
        }
        for (auto it = file.entries().cbegin(); it != file.entries().cend(); ++it)
            EXPECT_TRUE(spanish.entries().contains(it.key())) << "unknown " << (name + " " + it.key()).toStdString();
    }
}
