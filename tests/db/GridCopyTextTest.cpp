#include "db/GridCopyText.h"
#include "tests/db/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct CopyCase {
    const char* name;
    QStringList headers;
    QList<int> widths;
    QList<QStringList> rows;
    QString expected;
};

class GridCopyTextBuild : public ::testing::TestWithParam<CopyCase> {};

TEST_P(GridCopyTextBuild, GivesTabSeparatedLines)
{
    const CopyCase& c = GetParam();
    EXPECT_EQ(GridCopyText::Build(c.headers, c.widths, c.rows), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Grids, GridCopyTextBuild,
    ::testing::Values(
        CopyCase{"HeaderAndRows", {"A", "B"}, {50, 50}, {{"1", "x"}, {"2", "y"}}, "A\tB\n1\tx\n2\ty\n"},
        CopyCase{"EmptyFirstCellStartsWithBlank", {"A", "B"}, {50, 50}, {{"", "x"}}, "A\tB\n \tx\n"},
        CopyCase{"AllCellsEmpty", {"A", "B"}, {50, 50}, {{"", ""}}, "A\tB\n \t\n"},
        CopyCase{"ZeroWidthColumnsLeftOut", {"A", "B", "C"}, {0, 40, 0}, {{"1", "x", "q"}}, "B\nx\n"},
        CopyCase{"NoRows", {"A"}, {10}, {}, "A\n"},
        CopyCase{"NoColumns", {}, {}, {{}}, "\n\n"}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

} // namespace
