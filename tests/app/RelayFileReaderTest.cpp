#include "app/CatalogueTextFile.h"
#include "app/DispenserFileLine.h"
#include "app/RelayFileReader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr int TypeCount = 30;
constexpr int RowCount = 10;

struct RelayCase {
    const char* what;
    QByteArray line;
    std::optional<RelayFileReader::Entry> entry;
};

RelayFileReader::Entry entry(int index, const QByteArray& name, int code, int subCode, bool listFlag = true)
{
    return {index, name, code, subCode, listFlag};
}

void PrintTo(const RelayCase& c, std::ostream* out) { *out << c.what; }

class RelayLines : public ::testing::TestWithParam<RelayCase> {};

const QByteArray Sixty = QByteArray("ABCDEFGHIJ").repeated(6);

} // namespace

TEST_P(RelayLines, ReadAsTheLoaderReadsThem)
{
    const RelayCase& c = GetParam();
    RelayFileReader reader(TypeCount);
    const std::optional<RelayFileReader::Entry> read = reader.ReadLine(c.line);
    ASSERT_EQ(read.has_value(), c.entry.has_value());
    if (!read)
        return;
    EXPECT_EQ(read->index, c.entry->index);
    EXPECT_EQ(read->name, c.entry->name);
    EXPECT_EQ(read->code, c.entry->code);
    EXPECT_EQ(read->subCode, c.entry->subCode);
    EXPECT_EQ(read->listFlag, c.entry->listFlag);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RelayLines,
    ::testing::Values(
        RelayCase{"blanks around the name", "|  7 |   VALVULA 1    |  0xF4  |     1     |", entry(7, "VALVULA 1", 0xF4, 1)},
        RelayCase{"no spacing", "|7|VALVULA 1|0xF4|1|", entry(7, "VALVULA 1", 0xF4, 1)},
        RelayCase{"tabs", "|\t7\t|\tVALVULA 1\t|\t0xF4\t|\t1\t|", entry(7, "VALVULA 1", 0xF4, 1)},
        RelayCase{"lower-case hex digits", "| 3 | DISPENSADOR 1 | 0xf1 | 1 |", entry(3, "DISPENSADOR 1", 0xF1, 1)},
        RelayCase{"the last index", "| 30 | PILOTO | 0xF7 | 3 |", entry(30, "PILOTO", 0xF7, 3)},
        RelayCase{"an empty name", "| 7 |   | 0xF4 | 1 |", entry(7, "", 0xF4, 1)},
        RelayCase{"a fifth column", "| 7 | BOMBA | 0xF7 | 2 | 0 |", entry(7, "BOMBA", 0xF7, 2, false)},
        RelayCase{"sixty characters", "| 7 | " + Sixty + "| 0xF4 | 1 |", entry(7, Sixty, 0xF4, 1)},
        RelayCase{"sixty characters keep their blanks", "| 7 | " + Sixty.left(57) + "   | 0xF4 | 1 |",
                  entry(7, Sixty.left(57) + "   ", 0xF4, 1)},
        RelayCase{"more than sixty characters", "| 7 | " + Sixty + "K | 0xF4 | 1 |", std::nullopt},
        RelayCase{"index 0", "| 0 | X | 0xF1 | 1 |", std::nullopt},
        RelayCase{"index -1", "| -1 | X | 0xF1 | 1 |", std::nullopt},
        RelayCase{"index 31", "| 31 | X | 0xF1 | 1 |", std::nullopt},
        RelayCase{"three columns", "| 7 | VALVULA 1 | 0xF4 |", std::nullopt},
        RelayCase{"two columns", "| 7 | VALVULA 1", std::nullopt},
        RelayCase{"a code without 0x", "| 7 | VALVULA 1 | F4 | 1 |", std::nullopt},
        RelayCase{"the heading", "| N. | NOMBRE | CODIGO | SUBCODIGO |", std::nullopt},
        RelayCase{"the rule", "+----+------+--------+-----------+", std::nullopt},
        RelayCase{"a blank before the first bar", " | 7 | X | 0xF4 | 1 |", std::nullopt},
        RelayCase{"an empty line", "", std::nullopt}));

TEST(RelayFileReaderTest, TheListFlagIsHeldUntilTheNextLineWithAFifthColumn)
{
    RelayFileReader reader(TypeCount);
    EXPECT_TRUE(reader.ReadLine("| 1 | A | 0xF1 | 1 |")->listFlag);
    EXPECT_FALSE(reader.SawListColumn());
    EXPECT_FALSE(reader.ReadLine("| 2 | B | 0xF1 | 2 | 0 |")->listFlag);
    EXPECT_TRUE(reader.SawListColumn());
    EXPECT_FALSE(reader.ReadLine("| 3 | C | 0xF1 | 3 |")->listFlag);
    // A line that is not read leaves the flag alone.
    EXPECT_FALSE(reader.ReadLine("| 31 | D | 0xF1 | 4 | 1 |"));
    EXPECT_FALSE(reader.ReadLine("| 0 | D | 0xF1 | 4 | 1 |"));
    EXPECT_FALSE(reader.ReadLine("| 4 | E | 0xF1 | 5 |")->listFlag);
    EXPECT_TRUE(reader.ReadLine("| 5 | F | 0xF1 | 6 | 1 |")->listFlag);
    EXPECT_TRUE(reader.ReadLine("| 6 | G | 0xF1 | 7 |")->listFlag);
}

TEST(RelayFileReaderTest, AFifthColumnWithoutANumberKeepsTheFlagButSetsTheMark)
{
    RelayFileReader reader(TypeCount);
    EXPECT_TRUE(reader.ReadLine("| 1 | A | 0xF1 | 1 |  |")->listFlag);
    EXPECT_TRUE(reader.SawListColumn());
}

namespace {

struct DispenserCase {
    const char* what;
    QByteArray line;
    std::optional<int> dispenser;
    DispenserTable::Row values;
};

void PrintTo(const DispenserCase& c, std::ostream* out) { *out << c.what; }

class DispenserLines : public ::testing::TestWithParam<DispenserCase> {};

} // namespace

TEST_P(DispenserLines, ReadAsTheLoaderReadsThem)
{
    const DispenserCase& c = GetParam();
    const std::optional<DispenserFileLine> read = DispenserFileLine::Read(c.line, RowCount);
    ASSERT_EQ(read.has_value(), c.dispenser.has_value());
    if (!read)
        return;
    EXPECT_EQ(read->dispenser, *c.dispenser);
    EXPECT_EQ(read->values, c.values);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DispenserLines,
    ::testing::Values(
        DispenserCase{"a table row", "|    1 |     3 |        1 |       1 |      1 |       0 |       0 |", 1, {3, 1, 1, 1, 0, 0}},
        DispenserCase{"no spacing", "|10|1|2|3|4|5|-6|", 10, {1, 2, 3, 4, 5, -6}},
        DispenserCase{"row 11", "| 11 | 1 | 2 | 3 | 4 | 5 | 6 |", std::nullopt, {}},
        DispenserCase{"row 0", "| 0 | 1 | 2 | 3 | 4 | 5 | 6 |", std::nullopt, {}},
        DispenserCase{"six numbers", "| 1 | 1 | 2 | 3 | 4 | 5 |", std::nullopt, {}},
        DispenserCase{"the heading", "| DISP | MOTOR | PRODUCTO | VALVULA | CAMARA | BATIDOR | RETARDO |", std::nullopt, {}}));

TEST(CatalogueTextFileTest, LinesEndWithLfOrCrLfAndOnlyTheirFirst99BytesCount)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("RELES.TXT");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray longLine = QByteArray(99, 'a') + "| 8 | SEGUNDA | 0xF1 | 1 |";
    file.write("uno\r\ndos\n\r\n" + longLine + "\r\n" + QByteArray(99, 'b') + "\r\nfin");
    file.close();

    CatalogueTextFile text;
    ASSERT_TRUE(text.Open(path));
    EXPECT_EQ(text.ReadLine(), QByteArray("uno"));
    EXPECT_EQ(text.ReadLine(), QByteArray("dos"));
    EXPECT_EQ(text.ReadLine(), QByteArray(""));
    EXPECT_EQ(text.ReadLine(), QByteArray(99, 'a'));
    EXPECT_EQ(text.ReadLine(), QByteArray(99, 'b'));
    EXPECT_EQ(text.ReadLine(), QByteArray("fin"));
    EXPECT_EQ(text.ReadLine(), std::nullopt);
}

TEST(CatalogueTextFileTest, AMissingFileDoesNotOpen)
{
    QTemporaryDir dir;
    CatalogueTextFile text;
    EXPECT_FALSE(text.Open(dir.filePath("NO.TXT")));
    EXPECT_EQ(text.ReadLine(), std::nullopt);
    EXPECT_FALSE(text.Open(dir.path()));
}

TEST(CatalogueTextFileTest, ALongLineEndedByACrAloneIsCutAndTheNextLineStandsOnItsOwn)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("RELES.TXT");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\xEF\xBB\xBF" + QByteArray(150, 'a') + "\r| 8 | SEGUNDA | 0xF1 | 1 |\r");
    file.close();

    CatalogueTextFile text;
    ASSERT_TRUE(text.Open(path));
    EXPECT_EQ(text.ReadLine(), QByteArray(99, 'a'));
    EXPECT_EQ(text.ReadLine(), QByteArray("| 8 | SEGUNDA | 0xF1 | 1 |"));
    EXPECT_EQ(text.ReadLine(), std::nullopt);
}
