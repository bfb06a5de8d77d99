#include "ui/ViewLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace ViewLayout {

namespace {

int hundredthsOfInch(int millimetres) { return int(std::trunc(double(millimetres) / 25.4 * 100.0)); }

} // namespace

int PageHeight(int vertSizeMm) { return hundredthsOfInch(vertSizeMm); }

int PaperWidth(int horzSizeMm) { return hundredthsOfInch(horzSizeMm); }

int RowsPerPage(int pageHeight) { return std::max(1, (pageHeight - PageMargins) / RowPitch); }

int PageCount(int rowCount, int rowsPerPage)
{
    const int pages = rowCount / rowsPerPage + (rowCount % rowsPerPage != 0 ? 1 : 0);
    return std::max(1, pages);
}

QSize TotalSize(int rowCount, int rowsPerPage)
{
    const qint64 rows = qint64(PageCount(rowCount, rowsPerPage)) * rowsPerPage;
    const qint64 height = std::min<qint64>(rows * RowPitch, std::numeric_limits<int>::max());
    return QSize(ScrollWidth, int(height));
}

RowRange PageRows(int pageIndex, int rowsPerPage, int rowCount)
{
    const qint64 first = std::min<qint64>(qint64(pageIndex) * rowsPerPage, rowCount);
    const qint64 last = std::min<qint64>(first + rowsPerPage, rowCount);
    return {int(first), int(last)};
}

} // namespace ViewLayout
