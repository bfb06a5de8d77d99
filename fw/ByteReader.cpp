#include "fw/ByteReader.h"

#include <string>

namespace fw {

void ByteReader::require(qsizetype count) const
{
    if (count < 0 || count > remaining())
        throw ByteRangeError("read of " + std::to_string(count) + " bytes at offset " +
                             std::to_string(m_position) + " past the end (" +
                             std::to_string(m_bytes.size()) + " bytes)");
}

quint8 ByteReader::u8()
{
    require(1);
    return quint8(m_bytes[m_position++]);
}

quint16 ByteReader::u16()
{
    require(2);
    const quint16 low = quint8(m_bytes[m_position]);
    const quint16 high = quint8(m_bytes[m_position + 1]);
    m_position += 2;
    return quint16(low | (high << 8));
}

quint32 ByteReader::u32()
{
    const quint32 low = u16();
    const quint32 high = u16();
    return low | (high << 16);
}

QByteArray ByteReader::bytes(qsizetype count)
{
    require(count);
    QByteArray out(m_bytes.data() + m_position, count);
    m_position += count;
    return out;
}

quint8 ByteReader::peek() const
{
    require(1);
    return quint8(m_bytes[m_position]);
}

void ByteReader::skip(qsizetype count)
{
    require(count);
    m_position += count;
}

} // namespace fw
