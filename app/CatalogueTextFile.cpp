#include "app/CatalogueTextFile.h"

#include "fw/InputFile.h"

bool CatalogueTextFile::Open(const QString& path)
{
    m_lines.reset();
    std::optional<QByteArray> bytes = fw::InputFile::read(path, MaxBytes);
    if (!bytes)
        return false;
    m_lines.emplace(std::move(*bytes), fw::TextLineReader::ByteOrderMark::Skip);
    return true;
}

std::optional<QByteArray> CatalogueTextFile::ReadLine()
{
    if (!m_lines)
        return std::nullopt;
    const std::optional<QByteArrayView> line = m_lines->next();
    if (!line)
        return std::nullopt;
    return line->first(qMin<qsizetype>(line->size(), MaxLineLength)).toByteArray();
}
