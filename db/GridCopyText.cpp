#include "db/GridCopyText.h"

namespace GridCopyText {

QString Build(const QStringList& headers, const QList<int>& widths, const QList<QStringList>& rows)
{
    const qsizetype count = headers.size();
    auto shown = [&](qsizetype column) { return widths.value(column) > 0; };

    QString text;
    QString line;
    for (qsizetype c = 0; c < count; ++c) {
        if (!shown(c))
            continue;
        if (!line.isEmpty())
            line += QLatin1Char('\t');
        line += headers[c];
    }
    text += line + QLatin1Char('\n');

    for (const QStringList& row : rows) {
        line.clear();
        for (qsizetype c = 0; c < count; ++c) {
            if (!shown(c))
                continue;
            if (!line.isEmpty())
                line += QLatin1Char('\t');
            line += row.value(c);
            if (line.isEmpty())
                line = QStringLiteral(" ");
        }
        text += line + QLatin1Char('\n');
    }
    return text;
}

} // namespace GridCopyText
