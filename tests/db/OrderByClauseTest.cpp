#include "db/OrderByClause.h"
#include "tests/db/QtPrinters.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

SortSequence clicks(const std::vector<int>& columns)
{
    SortSequence sequence;
    for (int column : columns)
        sequence.Push(column);
    return sequence;
}

struct RewriteCase {
    const char* name;
    QString sql;
    std::vector<int> clicks;
    QString expected;
};

class BuildOrderedSql : public ::testing::TestWithParam<RewriteCase> {};

TEST_P(BuildOrderedSql, RewritesTheOrderByClause)
{
    const RewriteCase& c = GetParam();
    EXPECT_EQ(OrderByClause::BuildOrderedSql(c.sql, clicks(c.clicks)).sql, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, BuildOrderedSql,
    ::testing::Values(
        RewriteCase{"AggregateSortsByAliasNewestFirst", "SELECT A, MAX(B) AS MB FROM T GROUP BY A", {1, 0, 1},
                    "SELECT A, MAX(B) AS MB FROM T GROUP BY A ORDER BY A,MB DESC"},
        RewriteCase{"NoClicksLeavesOwnOrderBy", "SELECT A FROM T ORDER BY A DESC", {},
                    "SELECT A FROM T ORDER BY A DESC"},
        RewriteCase{"StarGivesNoClause", "SELECT * FROM T", {0, 1}, "SELECT * FROM T"},
        RewriteCase{"OwnOrderByIsReplaced", "SELECT A, B FROM T ORDER BY A", {1},
                    "SELECT A, B FROM T  ORDER BY B"},
        RewriteCase{"OwnOrderByDroppedWhenNoExpression", "SELECT * FROM T ORDER BY A", {0},
                    "SELECT * FROM T "},
        RewriteCase{"ClauseGoesBeforePivot",
                    "TRANSFORM SUM(V) AS S SELECT A, B FROM T GROUP BY A, B PIVOT C", {0, 5},
                    "TRANSFORM SUM(V) AS S SELECT A, B FROM T GROUP BY A, B  ORDER BY A PIVOT C"},
        RewriteCase{"AggregateWithoutAlias", "SELECT A, MAX(X) FROM T GROUP BY A", {1},
                    "SELECT A, MAX(X) FROM T GROUP BY A ORDER BY MAX(X)"},
        RewriteCase{"OtherFunctionKeepsExpression", "SELECT A, SUM(X) AS S FROM T GROUP BY A", {1},
                    "SELECT A, SUM(X) AS S FROM T GROUP BY A ORDER BY SUM(X)"},
        RewriteCase{"ThirdClickIsAscendingAgain", "SELECT A FROM T", {0, 0, 0}, "SELECT A FROM T ORDER BY A"},
        RewriteCase{"ContainingThenContained", "SELECT AB, A FROM T", {0, 1}, "SELECT AB, A FROM T ORDER BY A,AB"},
        RewriteCase{"ContainedTurnsOnlyItself", "SELECT AB, A FROM T", {0, 1, 1},
                    "SELECT AB, A FROM T ORDER BY A DESC,AB"},
        RewriteCase{"ContainedThenContaining", "SELECT A, AB FROM T", {0, 1, 0},
                    "SELECT A, AB FROM T ORDER BY AB,A DESC"}),
    [](const ::testing::TestParamInfo<RewriteCase>& info) { return std::string(info.param.name); });

TEST(BuildOrderedSqlPivot, KeepsALongPivotPartWhole)
{
    const QString values = QStringLiteral("'%1'").arg(QString(300, QLatin1Char('x')));
    const QString sql = QStringLiteral("TRANSFORM SUM(V) SELECT A FROM T GROUP BY A PIVOT C IN (") + values + ")";
    const QString rewritten = OrderByClause::BuildOrderedSql(sql, clicks({0})).sql;
    EXPECT_TRUE(rewritten.endsWith(QStringLiteral(" PIVOT C IN (") + values + ")")) << rewritten.toStdString();
}

TEST(BuildOrderedSqlClause, IsTheListOfTheRewrite)
{
    EXPECT_EQ(OrderByClause::BuildOrderedSql("SELECT A, B FROM T", clicks({0, 1, 0})).clause, "B,A DESC");
}

TEST(SortSequence, TakesNineClicksAndTheTenthStartsOver)
{
    SortSequence sequence;
    for (int column = 0; column < 9; ++column)
        sequence.Push(column);
    EXPECT_EQ(sequence.At(8), 8);
    EXPECT_EQ(sequence.At(9), -1);

    sequence.Push(7);
    EXPECT_EQ(sequence.At(0), 7);
    for (int slot = 1; slot < SortSequence::Slots; ++slot)
        EXPECT_EQ(sequence.At(slot), -1) << slot;
}

} // namespace
