#include "app/CatalogueTextFile.h"

bool CatalogueTextFile::Open(const QString& path)
{
    m_file.setFileName(path);
    return m_file.open(QIODevice::ReadOnly);
}

std::optional<QByteArray> CatalogueTextFile::ReadLine()
{
    if (!m_file.isOpen() || m_file.atEnd())
        return std::nullopt;
    QByteArray line = m_file.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    line.truncate(MaxLineLength);
    return line;
}
