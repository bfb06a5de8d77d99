#include "app/CatalogueTextFile.h"

#include "fw/InputFile.h"

namespace {

// Bytes read at once while skipping the rest of a long line.
constexpr qint64 SkipChunk = 4096;

} // namespace

bool CatalogueTextFile::Open(const QString& path)
{
    if (!fw::InputFile::open(m_file, path))
        return false;
    if (m_file.size() > MaxBytes) {
        m_file.close();
        return false;
    }
    return true;
}

std::optional<QByteArray> CatalogueTextFile::ReadLine()
{
    if (!m_file.isOpen() || m_file.atEnd())
        return std::nullopt;
    // Room for the counted bytes and a CR LF; readLine(n) reads at most n - 1 bytes.
    QByteArray line = m_file.readLine(MaxLineLength + 3);
    if (!line.endsWith('\n'))
        SkipToLineEnd();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    line.truncate(MaxLineLength);
    return line;
}

void CatalogueTextFile::SkipToLineEnd()
{
    while (!m_file.atEnd()) {
        if (m_file.readLine(SkipChunk).endsWith('\n'))
            return;
    }
}
