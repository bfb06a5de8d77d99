#include "app/RelayFileReader.h"

#include "fw/ScanFormat.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The position of the n-th '|' from the start (n counts from 1), or -1.
qsizetype nthBar(QByteArrayView text, int n)
{
    qsizetype position = -1;
    for (int i = 0; i < n; ++i) {
        position = text.indexOf('|', position + 1);
        if (position < 0)
            return -1;
    }
    return position;
}

} // namespace

std::optional<RelayFileReader::Entry> RelayFileReader::ReadLine(QByteArrayView line)
{
    Entry entry;
    if (fw::ScanFormat::scan(line, "| %d |", {&entry.index}) != 1 || entry.index < 1 || entry.index > m_typeCount)
        return std::nullopt;
    const qsizetype secondBar = nthBar(line, 2);
    if (secondBar < 0)
        return std::nullopt;

    qsizetype position = secondBar + 1;
    while (position < line.size() && isBlank(line[position]))
        ++position;
    const qsizetype nameStart = position;
    while (position < line.size() && line[position] != '|' && position - nameStart < MaxNameLength)
        ++position;
    entry.name = line.sliced(nameStart, position - nameStart).toByteArray();
    if (entry.name.size() < MaxNameLength) {
        while (!entry.name.isEmpty() && isBlank(entry.name.back()))
            entry.name.chop(1);
    }
    // The name is a zero-ended text: a NUL byte ends it, so "\0" names nothing.
    if (const qsizetype nul = entry.name.indexOf('\0'); nul >= 0)
        entry.name.truncate(nul);

    const QByteArrayView rest = line.sliced(position);
    const bool codesRead = fw::ScanFormat::scan(rest, "| 0x%02X | %d |", {&entry.code, &entry.subCode}) == 2;
    ReadListColumn(rest);
    if (!codesRead)
        return std::nullopt;
    entry.listFlag = m_listFlag != 0;
    return entry;
}

void RelayFileReader::ReadListColumn(QByteArrayView rest)
{
    // The '|' that ends the name is the first one.
    const qsizetype nameEnd = rest.indexOf('|');
    if (nameEnd < 0)
        return;
    const QByteArrayView columns = rest.sliced(nameEnd);
    if (nthBar(columns, 4) < 0)
        return;
    m_sawListColumn = true;
    fw::ScanFormat::scan(columns.sliced(nthBar(columns, 3) + 1), " %d |", {&m_listFlag});
}
