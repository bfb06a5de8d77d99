#include "ui/ViewLayout.h"

#include <gtest/gtest.h>

#include <climits>
#include <utility>

using namespace ViewLayout;

TEST(ViewLayoutTest, APrinterPageGivesItsHeightAndWholeRowsButAlwaysOne)
{
    struct Case {
        int vertSizeMm;
        int pageHeight;
        int rowsPerPage;
    } const cases[] = {{297, 1169, 24}, {279, 1098, 22}, {60, 236, 1}, {0, 0, 1}, {-5, -19, 1}, {66, 259, 1}, {67, 263, 1},
                       {72, 283, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.vertSizeMm);
        EXPECT_EQ(PageHeight(c.vertSizeMm), c.pageHeight);
        EXPECT_EQ(RowsPerPage(c.pageHeight), c.rowsPerPage);
    }
}

TEST(ViewLayoutTest, PagesHoldWholeRowsAndAnEmptyDocumentHasOne)
{
    struct Case {
        int rows;
        int rowsPerPage;
        int pages;
        int scrollHeight;
    } const cases[] = {{0, 23, 1, 920},  {23, 23, 1, 920}, {24, 23, 2, 1840}, {1, 23, 1, 920},
                       {46, 23, 2, 1840}, {3, 1, 3, 120},  {0, 1, 1, 40}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " rows, " << c.rowsPerPage << " a page");
        EXPECT_EQ(PageCount(c.rows, c.rowsPerPage), c.pages);
        EXPECT_EQ(TotalSize(c.rows, c.rowsPerPage), QSize(800, c.scrollHeight));
    }
    // A height past the scroll range is held at its edge.
    EXPECT_EQ(TotalSize(INT_MAX - 1, 1).height(), INT_MAX);
}

TEST(ViewLayoutTest, APageTakesItsRowsAndTheLastPageWhatIsLeft)
{
    EXPECT_EQ(PageRows(0, 23, 24), (RowRange{0, 23}));
    EXPECT_EQ(PageRows(1, 23, 24), (RowRange{23, 24}));
    EXPECT_EQ(PageRows(2, 23, 24), (RowRange{24, 24}));
    EXPECT_EQ(PageRows(0, 23, 0), (RowRange{0, 0}));
    EXPECT_EQ(RowY(0), -40);
    EXPECT_EQ(RowY(2), -120);
}

TEST(ViewLayoutTest, APrinterPageGivesItsWidthInHundredthsOfAnInchTruncated)
{
    // A4, Letter's 215.9 mm as whole millimetres, A5, a 200 mm printable width.
    const std::pair<int, int> cases[] = {{210, 826}, {215, 846}, {148, 582}, {200, 787}, {203, 799}, {0, 0}};
    for (const auto& [horzSizeMm, width] : cases)
        EXPECT_EQ(PaperWidth(horzSizeMm), width) << horzSizeMm;
}
