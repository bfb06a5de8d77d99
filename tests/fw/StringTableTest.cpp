#include "fw/StringTable.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/TextFileShapes.h"
#include "tests/support/Watchdog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(StringTableTest, BuiltInSpanishTextsKeepTheirTrailingBlanks)
{
    fw::StringTable strings;
    EXPECT_EQ(strings.text(1584), "Versión ");
    EXPECT_EQ(strings.text(fw::TextKey::dialog(203, 1026)), "Configuración DRAVOLINO ");
    EXPECT_EQ(strings.text(57600), "Crea un nuevo documento\nNuevo");
    EXPECT_FALSE(strings.contains(1));
    EXPECT_EQ(strings.text(1), QString());
}

TEST(StringTableTest, APromptSplitsAtItsFirstNewline)
{
    const fw::CommandPrompt both = fw::StringTable::splitPrompt("Añade un nuevo dispositivo\nNuevo dispositivo");
    EXPECT_EQ(both.statusPrompt, "Añade un nuevo dispositivo");
    EXPECT_EQ(both.tooltip, "Nuevo dispositivo");
    const fw::CommandPrompt promptOnly = fw::StringTable::splitPrompt("Parametrización");
    EXPECT_EQ(promptOnly.statusPrompt, "Parametrización");
    EXPECT_EQ(promptOnly.tooltip, QString());
}

TEST(StringTableTest, ALanguageFileReplacesOnlyTheTextsItHolds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("OrmiFran.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# francais\r\n1026\tConfiguration DRAVOLINO \r\n1557\tMaximum %u\\nappareils\r\nbad line\r\n");
    file.close();

    fw::StringTable strings;
    ASSERT_TRUE(strings.loadLanguage(path));
    EXPECT_EQ(strings.text(1026), "Configuration DRAVOLINO ");
    EXPECT_EQ(strings.format(1557, {12}), "Maximum 12\nappareils");
    EXPECT_EQ(strings.text(1584), "Versión ");
    EXPECT_FALSE(strings.loadLanguage(dir.filePath("missing.txt")));
}

TEST(StringTableTest, ALanguageFileThatIsNoRegularFileOrTooLargeLeavesTheBuiltInTexts)
{
    QTemporaryDir dir;
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::UnreadableFiles(fw::StringTable::MaxLanguageFileBytes)) {
        const std::string what = c.what.toStdString();
        const QString path = dir.filePath(QString("Ormi%1.lng").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        fw::StringTable strings;
        const Watchdog bound(what);
        EXPECT_FALSE(strings.loadLanguage(path)) << what;
        EXPECT_EQ(strings.entries(), fw::StringTable().entries()) << what;
    }
}

TEST(StringTableTest, ALanguageFileReadsTheSameWhateverItsLineEndsAndByteOrderMark)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Ormi.lng");
    for (const TextFileShape& c : TextFileShapes({"1026\tConfiguration", "# note", "1557\tMaximum %u\\nappareils"})) {
        const std::string what = c.what.toStdString();
        ASSERT_TRUE(DamagedFiles::MakeFile(path, c.bytes)) << what;
        fw::StringTable strings(fw::StringTable::Contents::Empty);
        ASSERT_TRUE(strings.loadLanguage(path)) << what;
        EXPECT_EQ(strings.entries().size(), 2) << what;
        EXPECT_EQ(strings.text(1026), "Configuration") << what;
        EXPECT_EQ(strings.text(1557), "Maximum %u\nappareils") << what;
    }
}
