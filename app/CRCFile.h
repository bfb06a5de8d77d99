#pragma once

#include <QString>

#include <array>
#include <optional>

// CRC-32 (ISO-HDLC: reflected polynomial 0xEDB88320) of a whole file, so that a machine's
// configuration can be matched with the document file it came from.
class CRCFile {
public:
    CRCFile();

    // The checksum of the file's bytes; 0 when the file cannot be opened or read (as for an
    // empty file). Only a regular file no larger than a document file can be is read.
    quint32 ComputeFileCrc(const QString& path) const;
    // The same, none when the file cannot be opened or read.
    std::optional<quint32> TryComputeFileCrc(const QString& path) const;

private:
    std::array<quint32, 256> m_table;
};
