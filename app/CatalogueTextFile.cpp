#include "app/CatalogueTextFile.h"

#include <QFileInfo>

namespace {

// Bytes read at once while skipping the rest of a long line.
constexpr qint64 SkipChunk = 4096;

} // namespace

bool CatalogueTextFile::Open(const QString& path)
{
    // Only a regular file is a catalogue file: opening a FIFO or a device could block for ever.
    if (!QFileInfo(path).isFile())
        return false;
    m_file.setFileName(path);
    return m_file.open(QIODevice::ReadOnly);
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
