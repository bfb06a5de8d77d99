#include "fw/ByteWriter.h"

namespace fw {

ByteWriter::ByteWriter(qsizetype capacity)
    : m_capacity(capacity)
{
    if (capacity > 0)
        m_data.reserve(capacity);
}

bool ByteWriter::fits(qsizetype count)
{
    if (m_capacity != Unbounded && m_data.size() + count > m_capacity) {
        m_overflowed = true;
        return false;
    }
    return true;
}

bool ByteWriter::u8(quint8 value)
{
    if (!fits(1))
        return false;
    m_data.append(char(value));
    return true;
}

bool ByteWriter::u16(quint16 value)
{
    if (!fits(2))
        return false;
    m_data.append(char(value & 0xFF));
    m_data.append(char(value >> 8));
    return true;
}

bool ByteWriter::u32(quint32 value)
{
    if (!fits(4))
        return false;
    for (int shift = 0; shift < 32; shift += 8)
        m_data.append(char((value >> shift) & 0xFF));
    return true;
}

bool ByteWriter::bytes(QByteArrayView data)
{
    if (!fits(data.size()))
        return false;
    m_data.append(data.data(), data.size());
    return true;
}

} // namespace fw
