#include "app/CRCFile.h"

#include <QFile>

CRCFile::CRCFile()
{
    for (quint32 i = 0; i < m_table.size(); ++i) {
        quint32 entry = i;
        for (int bit = 0; bit < 8; ++bit)
            entry = (entry & 1) ? (entry >> 1) ^ 0xEDB88320u : entry >> 1;
        m_table[i] = entry;
    }
}

quint32 CRCFile::ComputeFileCrc(const QString& path) const { return TryComputeFileCrc(path).value_or(0); }

std::optional<quint32> CRCFile::TryComputeFileCrc(const QString& path) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    quint32 crc = 0xFFFFFFFFu;
    char block[64 * 1024];
    qint64 count;
    while ((count = file.read(block, sizeof block)) > 0) {
        for (qint64 i = 0; i < count; ++i)
            crc = (crc >> 8) ^ m_table[(crc ^ quint8(block[i])) & 0xFFu];
    }
    // The checksum of part of a file would match no file: a read error counts as unreadable.
    if (count < 0)
        return std::nullopt;
    return crc ^ 0xFFFFFFFFu;
}
