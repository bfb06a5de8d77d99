#pragma once

#include <QSize>

// Where the view puts the rows, on the screen and on paper, in 0.01 inch with y upwards:
// one row every 40 units down from the top, at x = 200, pages of whole rows.
namespace ViewLayout {

inline constexpr int RowX = 200;
inline constexpr int RowPitch = 40;
// Rows per page until a printer has been measured.
inline constexpr int InitialRowsPerPage = 23;
inline constexpr int ScrollWidth = 800;
inline constexpr int LineStep = 30;
// Room on a page for its header and footer.
inline constexpr int PageMargins = 200;

// The y of the k-th row drawn (from 0): -40, -80, ...
constexpr int RowY(int k) { return -RowPitch * (k + 1); }
// The page height in 0.01 inch of a printable height in millimetres, truncated.
int PageHeight(int vertSizeMm);
// Whole rows below the header and above the footer; at least one on any paper.
int RowsPerPage(int pageHeight);
// Pages for the rows; an empty document has one.
int PageCount(int rowCount, int rowsPerPage);
// The scroll area: whole pages of rows, an empty document one page.
QSize TotalSize(int rowCount, int rowsPerPage);
// The row width on paper in 0.01 inch of a printable width in millimetres, truncated.
int PaperWidth(int horzSizeMm);

// The rows of one page (zero-based), or of the whole document: first and one past last.
struct RowRange {
    int first = 0;
    int last = 0;
    bool operator==(const RowRange&) const = default;
};
RowRange PageRows(int pageIndex, int rowsPerPage, int rowCount);

} // namespace ViewLayout
