#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The text a query grid puts on the clipboard: a header line, then one line per row, cells
// separated by a tab, lines ended by "\n". Columns go in column-number order (not in their
// displayed order); columns of width 0 are left out. A row line that would begin empty
// begins with a blank, so that its second cell still follows a tab.
namespace GridCopyText {
// headers and widths by column number; each row its cells by column number.
QString Build(const QStringList& headers, const QList<int>& widths, const QList<QStringList>& rows);
} // namespace GridCopyText
