#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <stdexcept>

namespace fw {

// Thrown when a read would go past the end of the bytes.
class ByteRangeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Little-endian reads over bytes it does not own; every read is checked against the end.
class ByteReader {
public:
    explicit ByteReader(QByteArrayView bytes) : m_bytes(bytes) {}

    quint8 u8();
    quint16 u16();
    quint32 u32();
    qint16 i16() { return qint16(u16()); }
    qint32 i32() { return qint32(u32()); }
    QByteArray bytes(qsizetype count);
    quint8 peek() const;
    void skip(qsizetype count);

    qsizetype position() const { return m_position; }
    qsizetype remaining() const { return m_bytes.size() - m_position; }
    bool atEnd() const { return remaining() == 0; }

private:
    void require(qsizetype count) const;

    QByteArrayView m_bytes;
    qsizetype m_position = 0;
};

} // namespace fw
