#include "db/ParseSQL.h"
#include "tests/db/QtPrinters.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* name;
    QString sql;
    QStringList expressions;
    QStringList aliases;
    QString head;
    QString tail;
    bool complete;
};

class ParseSQLSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(ParseSQLSplit, GivesEntriesHeadAndTail)
{
    const SplitCase& c = GetParam();
    ParseSQL split;
    split.SplitSelect(c.sql);

    QStringList expressions;
    QStringList aliases;
    for (int i = 0; i < ParseSQL::MaxEntries && !split.FieldExpression(i).isEmpty(); ++i) {
        expressions += split.FieldExpression(i);
        aliases += split.Alias(i);
    }
    EXPECT_EQ(expressions, c.expressions);
    EXPECT_EQ(aliases, c.aliases);
    EXPECT_EQ(split.Head(), c.head);
    EXPECT_EQ(split.Tail(), c.tail);
    EXPECT_EQ(split.IsComplete(), c.complete);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, ParseSQLSplit,
    ::testing::Values(
        SplitCase{"Star", "SELECT * FROM T", {"*"}, {""}, "SELECT ", " FROM T", true},
        SplitCase{"AliasesAndFunctions", "SELECT A, B AS X, COUNT(C) FROM T GROUP BY A",
                  {"A", "B", "COUNT(C)"}, {"", "X", ""}, "SELECT ", " FROM T GROUP BY A", true},
        SplitCase{"CommaInsideParentheses", "SELECT A, MAX(IIF(B>0,B,0)) AS MB FROM T",
                  {"A", "MAX(IIF(B>0,B,0))"}, {"", "MB"}, "SELECT ", " FROM T", true},
        SplitCase{"Crosstab", "TRANSFORM SUM(V) AS S SELECT A, B FROM T GROUP BY A, B PIVOT C",
                  {"A", "B"}, {"", ""}, "TRANSFORM SUM(V) AS S SELECT ", " FROM T GROUP BY A, B PIVOT C", true},
        SplitCase{"CrosstabWithoutSelect", "TRANSFORM SUM(V) FROM T", {}, {}, "", "", false},
        SplitCase{"Top", "SELECT TOP   5  A, B FROM T", {"A", "B"}, {"", ""}, "SELECT TOP 5  ", " FROM T", true},
        SplitCase{"Distinct", "SELECT DISTINCT A FROM T", {"A"}, {""}, "SELECT DISTINCT  ", " FROM T", true},
        SplitCase{"LowerCaseAsIsPartOfTheExpression", "SELECT A as X, B FROM T", {"A as X", "B"}, {"", ""},
                  "SELECT ", " FROM T", true},
        SplitCase{"FromAfterLineFeedEndsIncomplete", "SELECT A, B\nFROM T", {"A"}, {""}, "SELECT ", "", false},
        SplitCase{"LeadingBlankGivesNothing", " SELECT A FROM T", {}, {}, "", "", false},
        SplitCase{"LowerCaseSelectGivesNothing", "select A from T", {}, {}, "", "", false},
        SplitCase{"QuotedCommaDoesNotSplit", "SELECT 'a,b' AS Q, B FROM T", {"'a,b'", "B"}, {"Q", ""},
                  "SELECT ", " FROM T", true},
        SplitCase{"QuotedParenthesisDoesNotNest", "SELECT IIF(X='(', 1, 2) AS P, B FROM T",
                  {"IIF(X='(', 1, 2)", "B"}, {"P", ""}, "SELECT ", " FROM T", true},
        SplitCase{"DoubledQuoteStaysInside", "SELECT 'it''s, AS FROM here' AS Q FROM T",
                  {"'it''s, AS FROM here'"}, {"Q"}, "SELECT ", " FROM T", true},
        SplitCase{"DoubleQuotedText", "SELECT \"x,y\", B FROM T", {"\"x,y\"", "B"}, {"", ""}, "SELECT ",
                  " FROM T", true}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

TEST(ParseSQL, StopsAtOneHundredEntries)
{
    QStringList fields;
    for (int i = 0; i < 101; ++i)
        fields += QStringLiteral("F%1").arg(i);
    ParseSQL split;
    split.SplitSelect(QStringLiteral("SELECT ") + fields.join(QStringLiteral(", ")) + QStringLiteral(" FROM T"));

    EXPECT_FALSE(split.IsComplete());
    EXPECT_EQ(split.FieldExpression(0), "F0");
    EXPECT_EQ(split.FieldExpression(99), "F99");
    EXPECT_EQ(split.FieldExpression(100), "");
    EXPECT_EQ(split.Tail(), "");
}

} // namespace
