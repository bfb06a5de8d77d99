#include "app/CRCFile.h"

#include "app/DocumentFile.h"
#include "fw/InputFile.h"

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
    // The file checked is a document: what no document can be is not read. The checksum of
    // part of a file would match no file, so a read error counts as unreadable.
    const std::optional<QByteArray> bytes = fw::InputFile::read(path, DocumentFile::MaxBytes);
    if (!bytes)
        return std::nullopt;
    quint32 crc = 0xFFFFFFFFu;
    for (const char byte : *bytes)
        crc = (crc >> 8) ^ m_table[(crc ^ quint8(byte)) & 0xFFu];
    return crc ^ 0xFFFFFFFFu;
}
