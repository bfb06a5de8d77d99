#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace fw {

// Little-endian writes into a growing buffer, optionally bounded: a write that does not fit
// within the capacity is dropped whole and marks the writer overflowed.
class ByteWriter {
public:
    static constexpr qsizetype Unbounded = -1;

    // A bounded writer takes its room at once, so that writes never grow the buffer.
    explicit ByteWriter(qsizetype capacity = Unbounded);

    bool u8(quint8 value);
    bool u16(quint16 value);
    bool u32(quint32 value);
    bool bytes(QByteArrayView data);

    const QByteArray& data() const { return m_data; }
    qsizetype size() const { return m_data.size(); }
    qsizetype capacity() const { return m_capacity; }
    bool overflowed() const { return m_overflowed; }

private:
    bool fits(qsizetype count);

    QByteArray m_data;
    qsizetype m_capacity;
    bool m_overflowed = false;
};

} // namespace fw
