#include "app/CharacterTable.h"
#include "app/NameConverter.h"
#include "app/ProductNameEncoding.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/GrowingFile.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TextFileShapes.h"
#include "tests/support/Watchdog.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::u16string u16(const QString& text) { return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())); }

QString fromU16(const std::u16string& text) { return QString::fromUtf16(text.data(), qsizetype(text.size())); }

// A converter over a table file of the given text, with a fresh application for its boxes.
class TableConversion : public ::testing::Test {
protected:
    void writeTable(const QByteArray& text)
    {
        QFile file(app.tempPath("ConvertLCD.txt"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    NameConverter converter() const
    {
        NameConverter c;
        c.SetCaption("Carácter erróneo");
        c.SetFileErrorText("No se ha podido abrir el archivo ConvertLCD.txt");
        c.SetTablePath(app.tempPath("ConvertLCD.txt"));
        return c;
    }
    TestApplication app;
};

} // namespace

TEST(NameCodePageTest, TheProfileSelectsOneOfTheFourPages)
{
    EXPECT_EQ(GetNameCodePage(), 1250u); // before the application exists
    TestApplication app;
    EXPECT_EQ(GetNameCodePage(), 1250u); // no value
    const std::pair<int, quint32> cases[] = {{1251, 1251}, {1255, 1255}, {1256, 1256}, {1250, 1250},
                                             {1252, 1250}, {0, 1250},    {-1, 1250}};
    for (const auto& [value, expected] : cases) {
        app.profile().WriteInt("Ormi", "Codepage", value);
        EXPECT_EQ(GetNameCodePage(), expected) << value;
    }
}

TEST(CharacterTableTest, LinesGiveTheirCodeAndByte)
{
    struct Case {
        const char* line;
        quint32 code;
        quint32 byte;
    };
    const Case entries[] = {
        {"0410  0xC0", 0x0410, 0xC0},
        {"0x4d1 0xc1\r\n", 0x04D1, 0xC1}, // lower case, prefix on both, CRLF
        {"0x0411 0xC1", 0x0041, 0xC1},     // only the first five characters give the code
        {"   00e9   e9   \n", 0x00E9, 0xE9},
        {"\t00C7\t0xC7", 0x00C7, 0xC7},
        {"0410", 0x0410, 0x0410}, // one number serves as both
    };
    for (const Case& c : entries) {
        const auto entry = CharacterTable::parseLine(c.line);
        ASSERT_TRUE(entry.has_value()) << c.line;
        EXPECT_EQ(entry->code, c.code) << c.line;
        EXPECT_EQ(entry->byte, c.byte) << c.line;
    }
    for (const char* skipped : {"// 0410 0xC0", "//", "", "    \r\n", "\r\n", "KKKKK KKKK", "0410 0xC0 ZZZZ", "ZZZZZ 00C0"})
        EXPECT_FALSE(CharacterTable::parseLine(skipped).has_value()) << skipped;
}

TEST(CharacterTableTest, TheFirstUsableEntryOfACodeGivesItsByte)
{
    QByteArray text = "// duplicates\r\n"
                      "00C0 0xF0\r\n" // a marker byte: not usable
                      "00C0 0xC1\r\n"
                      "00C2 0xC2\r\n"
                      "00C2 0xC3\r\n"
                      "00C4 0x00\r\n"
                      "00C5 0xEF\r\n"
                      "00C6 01FF\r\n";
    CharacterTable table;
    table.read(text);
    EXPECT_EQ(table.entries().size(), 7);
    EXPECT_EQ(table.byteFor(0x00C0), char(0xC1));
    EXPECT_EQ(table.byteFor(0x00C2), char(0xC2));
    EXPECT_FALSE(table.byteFor(0x00C4).has_value());
    EXPECT_EQ(table.byteFor(0x00C5), char(0xEF));
    EXPECT_FALSE(table.byteFor(0x00C6).has_value());
    EXPECT_FALSE(table.byteFor(0x00C7).has_value());
}

TEST(CharacterTableTest, ATableOfMoreThanAThousandLinesKeepsTheFirstThousand)
{
    QByteArray text;
    for (int i = 0; i < 1005; ++i)
        text += QByteArray::number(0x1000 + i, 16) + " 0x41\r\n";
    CharacterTable table;
    table.read(text);
    EXPECT_EQ(table.entries().size(), CharacterTable::MaxEntries);
    EXPECT_TRUE(table.byteFor(char16_t(0x1000 + 999)).has_value());
    EXPECT_FALSE(table.byteFor(char16_t(0x1000 + 1000)).has_value());
}

TEST(CharacterTableTest, AHugeTableOfCommentsIsReadOnlyUpToItsByteLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ConvertLCD.txt");
    const QByteArray comment = "// " + QByteArray(CharacterTable::MaxLineLength - 4, '-') + "\n";
    const QByteArray first = "0041 0x41\r\n";
    const qsizetype firstStart = CharacterTable::MaxBytes - 5 - first.size();
    QByteArray text;
    while (text.size() + comment.size() <= firstStart)
        text += comment;
    text += QByteArray(firstStart - text.size(), '\n');
    text += first;         // ends within the limit
    text += "0042 0x42\r\n"; // passes it: not read, so never read cut short
    while (text.size() <= CharacterTable::MaxBytes + 100)
        text += comment;
    text += "0043 0x43\n";
    ASSERT_TRUE(DamagedFiles::MakeFile(path, text));
    CharacterTable table;
    const Watchdog bound("a huge table");
    ASSERT_TRUE(table.load(path));
    ASSERT_EQ(table.entries().size(), 1);
    EXPECT_EQ(table.byteFor(0x41), 'A');
}

TEST(CharacterTableTest, ATableThatGrowsWhileItIsReadIsReadOnlyUpToItsByteLimit)
{
    if (!GrowingFile::available())
        GTEST_SKIP() << "watching the reads of a file needs CAP_SYS_ADMIN";
    QTemporaryDir dir;
    const QString path = dir.filePath("ConvertLCD.txt");
    GrowingFile file(path);
    ASSERT_TRUE(file.growing());
    CharacterTable table;
    const Watchdog bound("a growing table");
    EXPECT_TRUE(table.load(path));
    EXPECT_TRUE(table.entries().isEmpty());
}

TEST(CharacterTableTest, EveryLineEndAndALeadingByteOrderMarkKeepEveryEntry)
{
    QTemporaryDir dir;
    for (const TextFileShape& c : TextFileShapes({"0041 0x41", "// letras", "00C9 0x90"})) {
        const std::string what = c.what.toStdString();
        const QString path = dir.filePath("ConvertLCD.txt");
        ASSERT_TRUE(DamagedFiles::MakeFile(path, c.bytes)) << what;
        CharacterTable table;
        ASSERT_TRUE(table.load(path)) << what;
        ASSERT_EQ(table.entries().size(), 2) << what;
        EXPECT_EQ(table.byteFor(0x41), 'A') << what;
        EXPECT_EQ(table.byteFor(0xC9), char(0x90)) << what;
    }
}

TEST_F(TableConversion, UnitsBelow0x80StandForThemselvesAndOthersGoThroughTheTable)
{
    writeTable("// letters of the display\r\n\r\n00C9  0x90\r\n0416 0xA6\r\n");
    QByteArray out;
    EXPECT_TRUE(converter().ConvertWithTable(u"CAFÉ ЖX", out));
    EXPECT_EQ(out, QByteArray("CAF\x90 \xA6X"));
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(TableConversion, ConversionStopsAtTheFirstZeroUnit)
{
    writeTable("");
    const char16_t buffer[6] = {u'A', u'B', 0, 0x0416, u'C', 0};
    QByteArray out;
    EXPECT_TRUE(converter().ConvertWithTable(std::u16string_view(buffer, 6), out));
    EXPECT_EQ(out, "AB");
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(TableConversion, AUnitWithoutAUsableEntryIsShownAndRefused)
{
    writeTable("0416 0xF0\r\n0417 0x00\r\n");
    for (const char16_t refused : {char16_t(0x0416), char16_t(0x0417), char16_t(0x0418)}) {
        app.messages().clear();
        const std::u16string name = {u'C', u'A', refused, u'X'};
        QByteArray out;
        EXPECT_FALSE(converter().ConvertWithTable(name, out));
        EXPECT_EQ(out, "CA"); // what was converted before it
        ASSERT_EQ(app.messages().shown().size(), 1);
        const fw::Message& box = app.messages().shown().first();
        EXPECT_EQ(box.kind, fw::MessageKind::Information);
        EXPECT_EQ(box.text, QString(QChar(refused)));
        EXPECT_EQ(box.caption, "Carácter erróneo");
    }
}

TEST_F(TableConversion, TheCaptionIsCutTo190Characters)
{
    writeTable("");
    NameConverter c = converter();
    c.SetCaption(QString(200, QLatin1Char('c')));
    QByteArray out;
    EXPECT_FALSE(c.ConvertWithTable(u"Ж", out));
    ASSERT_EQ(app.messages().shown().size(), 1);
    EXPECT_EQ(app.messages().shown().first().caption.size(), 190);
}

TEST_F(TableConversion, AMissingTableRefusesEvenPlainLetters)
{
    QByteArray out = "old";
    EXPECT_FALSE(converter().ConvertWithTable(u"CAFE", out));
    EXPECT_TRUE(out.isEmpty());
    ASSERT_EQ(app.messages().shown().size(), 1);
    const fw::Message& box = app.messages().shown().first();
    EXPECT_EQ(box.kind, fw::MessageKind::Framework);
    EXPECT_EQ(box.text, "No se ha podido abrir el archivo ConvertLCD.txt");
    EXPECT_EQ(box.icon, fw::MessageIcon::Warning);
}

TEST(CodePageConversionTest, EachPageTakesItsOwnScriptAndRefusesAnother)
{
    TestApplication app;
    struct Case {
        quint32 page;
        QString own;
        QByteArray bytes;
        QString foreign;
    };
    const Case cases[] = {
        {1250, "Łódź", "\xA3\xF3" "d\x9F", "Кофе"},
        {1251, "Кофе", "\xCA\xEE\xF4\xE5", "קפה"},
        {1255, "קפה", "\xF7\xF4\xE4", "قهوة"},
        {1256, "قهوة", "\xDE\xE5\xE6\xC9", "Кофе"},
    };
    for (const Case& c : cases) {
        QByteArray out;
        EXPECT_TRUE(NameConverter::ConvertWithCodePage(u16(c.own), out, c.page)) << c.page;
        EXPECT_EQ(out, c.bytes) << c.page;

        app.messages().clear();
        out = "old";
        EXPECT_FALSE(NameConverter::ConvertWithCodePage(u16(c.foreign), out, c.page)) << c.page;
        EXPECT_TRUE(out.isEmpty());
        ASSERT_EQ(app.messages().shown().size(), 1);
        EXPECT_EQ(app.messages().shown().first().text, app.strings().text(NameConverter::CodePageRefusedText));
        EXPECT_FALSE(app.messages().shown().first().text.isEmpty());
    }
}

TEST(CodePageConversionTest, AQuestionMarkOfTheNamesOwnIsRefusedAndTheNameEndsAtItsFirstZero)
{
    TestApplication app;
    QByteArray out;
    // Every page represents '?', and still it is refused like a character the page lacks.
    for (quint32 page : {1250u, 1251u, 1255u, 1256u}) {
        for (const char16_t* name : {u"TE?", u"?", u"¿TE?"}) {
            SCOPED_TRACE(page);
            app.messages().clear();
            out = "old";
            EXPECT_FALSE(NameConverter::ConvertWithCodePage(name, out, page));
            EXPECT_TRUE(out.isEmpty());
            ASSERT_EQ(app.messages().shown().size(), 1);
            EXPECT_EQ(app.messages().shown().first().text, app.strings().text(NameConverter::CodePageRefusedText));
        }
    }
    app.messages().clear();
    const char16_t buffer[5] = {u'T', u'E', 0, 0x05D0, 0};
    EXPECT_TRUE(NameConverter::ConvertWithCodePage(std::u16string_view(buffer, 5), out, 1251));
    EXPECT_EQ(out, "TE");
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST(ToWideTest, DecodesUpToTheFirstZeroByteAndFailsOnNothing)
{
    std::u16string out;
    EXPECT_TRUE(NameConverter::ToWide("\xCA\xEE\xF4\xE5", 1251, out));
    EXPECT_EQ(fromU16(out), "Кофе");
    EXPECT_TRUE(NameConverter::ToWide(QByteArray("TE\0XX", 5), 1255, out));
    EXPECT_EQ(fromU16(out), "TE");
    EXPECT_FALSE(NameConverter::ToWide("", 1251, out));
    EXPECT_FALSE(NameConverter::ToWide(QByteArray("\0A", 2), 1251, out));
    EXPECT_FALSE(NameConverter::ToWide("TE", 437, out));
}

TEST(ConvertNameToWideTest, FillerNamesPage1250AndEmptyNamesLeaveTheWideNameAsItWas)
{
    const WideName before(u"ANTES");
    for (const auto& [name, page] : {std::pair<QByteArray, quint32>{"---", 1251}, {"\xCA\xEE", 1250}, {"", 1251}}) {
        WideName wide = before;
        ConvertNameToWide(name, wide, page);
        EXPECT_EQ(wide, before) << name.constData() << " " << page;
    }
}

TEST(ConvertNameToWideTest, TheNameIsRebuiltCutToSixteenAndEndsAtAMachineFiller)
{
    WideName wide(u"ABCDEFGHIJKLMNOP");
    ConvertNameToWide("\xCA\xEE\xF4\xE5", wide, 1251);
    EXPECT_EQ(wide.toQString(), "Кофе");
    EXPECT_EQ(wide.units()[4], 0); // nothing of the longer name before it is left
    EXPECT_EQ(wide.units()[15], 0);

    ConvertNameToWide(QByteArray(20, '\xC0'), wide, 1251);
    EXPECT_EQ(wide.toQString(), QString(16, QChar(0x0410)));
    EXPECT_EQ(wide.units()[WideName::Capacity], 0);

    // A 0xCC separator left by a machine reads as U+00CC in the Western page.
    ConvertNameToWide("AB\xCC" "CD", wide, 1252);
    EXPECT_EQ(wide.toQString(), "AB");
}
