#include "db/GridLayoutFile.h"

#include "fw/AtomicFile.h"
#include "fw/CodePage.h"
#include "fw/InputFile.h"
#include "fw/ScanFormat.h"
#include "fw/TextLineReader.h"

namespace {

constexpr int LayoutCodePage = fw::CodePage::Ansi;
// The reader's buffer for a column line's header text, its terminating zero included.
constexpr int HeaderBuffer = 200;

QByteArray encode(const QString& text) { return fw::CodePage::encodeLossy(text, LayoutCodePage); }

// The file is code-page text written by the grid without a byte-order mark; its bytes are
// taken as they stand (a mark could only stand in the header line, which is not checked).
QList<QByteArray> splitLines(const QByteArray& bytes)
{
    QList<QByteArray> lines;
    fw::TextLineReader reader(bytes, fw::TextLineReader::ByteOrderMark::Keep);
    while (const std::optional<QByteArrayView> line = reader.next())
        lines += line->toByteArray();
    return lines;
}

} // namespace

QString GridLayoutFile::Path(const QString& folderValue, const QString& layoutName, int controlId)
{
    if (layoutName == DontSaveName())
        return QString();
    QString name = layoutName;
    if (name.isEmpty() && controlId != 0)
        name = QString::asprintf("SETUP%03d", controlId);
    if (name.isEmpty())
        return QString();
    return folderValue + name;
}

QByteArray GridLayoutFile::Write(const GridLayout& layout)
{
    const QByteArray end = QByteArrayLiteral("\r\n");
    QByteArray out = HeaderLine() + end;
    // Every line end of the query, as the reader takes them, so that it stays one line.
    QString query = layout.query;
    query.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    query.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    query.replace(QLatin1Char('\n'), QLatin1Char('@'));
    out += encode(query) + end;
    for (int slot = 0; slot < SortSequence::Slots; ++slot)
        out += QByteArray("Ordenar ") + QByteArray::number(slot) + ": " + QByteArray::number(layout.sort.At(slot)) + end;
    for (const GridLayoutColumn& column : layout.columns) {
        out += encode(column.header) + "# -> Width:" + QByteArray::number(column.width) +
               " Order: " + QByteArray::number(column.order) + end;
    }
    out += "END" + end;
    return out;
}

GridLayoutFile::Contents GridLayoutFile::Read(const QByteArray& bytes, int columnCount)
{
    Contents contents;
    const QList<QByteArray> lines = splitLines(bytes);
    // Lines 1 and 2 (header, query) are not used: the grid keeps its own query.
    qsizetype next = 2;
    for (int slot = 0; slot < SortSequence::Slots && next < lines.size(); ++slot, ++next) {
        int slotNumber = 0;
        int column = 0;
        if (fw::ScanFormat::scan(lines[next], "Ordenar %d: %d", {&slotNumber, &column}) != 2)
            continue;
        const bool endsSequence = column == -1;
        const bool gridColumn = column >= 0 && column < columnCount && slot < SortSequence::ClickSlots;
        if (endsSequence || gridColumn)
            contents.sort[size_t(slot)] = column;
    }
    for (; next < lines.size() && lines[next] != "END"; ++next) {
        const std::optional<GridLayoutColumn> column = ReadColumnLine(lines[next]);
        if (column && column->width >= 0 && column->order >= 0 && column->order < columnCount)
            contents.columns += *column;
    }
    return contents;
}

std::optional<GridLayoutColumn> GridLayoutFile::ReadColumnLine(const QByteArray& line)
{
    const qsizetype hash = line.indexOf('#');
    if (hash <= 0 || hash >= HeaderBuffer)
        return std::nullopt;
    GridLayoutColumn column;
    const QByteArrayView rest = QByteArrayView(line).sliced(hash);
    if (fw::ScanFormat::scan(rest, "# -> Width:%d Order: %d", {&column.width, &column.order}) != 2)
        return std::nullopt;
    column.header = fw::CodePage::decode(line.left(hash), LayoutCodePage);
    return column;
}

bool GridLayoutFile::Save(const QString& path, const GridLayout& layout)
{
    return fw::AtomicFile::write(path, Write(layout));
}

std::optional<QByteArray> GridLayoutFile::Load(const QString& path)
{
    return fw::InputFile::read(path, MaxBytes);
}
