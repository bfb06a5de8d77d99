#include "fw/ArchiveWriter.h"

namespace fw {

namespace {

constexpr quint16 NewClassTag = 0xFFFF;
constexpr quint16 ClassTagBit = 0x8000;
constexpr quint16 BigObjectTag = 0x7FFF;
constexpr quint32 BigClassTagBit = 0x80000000u;

constexpr quint8 ByteLengthEscape = 0xFF;
constexpr quint16 WordLengthEscape = 0xFFFF;
// Lengths from here on take the 32-bit form (0xFFFE marks the UTF-16 form).
constexpr qsizetype FirstLongLength = 0xFFFE;

} // namespace

void ArchiveWriter::writeCount(quint32 count)
{
    if (count < WordLengthEscape) {
        m_out.u16(quint16(count));
        return;
    }
    m_out.u16(WordLengthEscape);
    m_out.u32(count);
}

void ArchiveWriter::writeString(QByteArrayView text)
{
    const qsizetype length = text.size();
    Q_ASSERT(length <= qsizetype(0xFFFFFFFFu));
    if (length < ByteLengthEscape) {
        m_out.u8(quint8(length));
    } else {
        m_out.u8(ByteLengthEscape);
        if (length < FirstLongLength) {
            m_out.u16(quint16(length));
        } else {
            m_out.u16(WordLengthEscape);
            m_out.u32(quint32(length));
        }
    }
    m_out.bytes(text);
}

void ArchiveWriter::writeObjectClass(QByteArrayView className, quint16 schema)
{
    const QByteArray name = className.toByteArray();
    const auto known = m_classIndices.constFind(name);
    if (known == m_classIndices.cend()) {
        Q_ASSERT(name.size() < WordLengthEscape);
        m_out.u16(NewClassTag);
        m_out.u16(schema);
        m_out.u16(quint16(name.size()));
        m_out.bytes(name);
        m_classIndices.insert(name, m_nextMapIndex++);
    } else if (*known < BigObjectTag) {
        m_out.u16(quint16(ClassTagBit | *known));
    } else {
        m_out.u16(BigObjectTag);
        m_out.u32(BigClassTagBit | *known);
    }
    ++m_nextMapIndex; // the object itself
}

} // namespace fw
