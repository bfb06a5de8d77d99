#include "fw/ArchiveWriter.h"

#include "fw/ArchiveFormat.h"

namespace fw {

using namespace ArchiveFormat;

namespace {

// Lengths from here on take the 32-bit form (0xFFFE marks the UTF-16 form).
constexpr qsizetype FirstLongLength = 0xFFFE;

} // namespace

void ArchiveWriter::writeCount(quint32 count)
{
    if (count < WordLengthEscape) {
        writeU16(quint16(count));
        return;
    }
    writeU16(WordLengthEscape);
    writeU32(count);
}

void ArchiveWriter::writeString(QByteArrayView text)
{
    const qsizetype length = text.size();
    Q_ASSERT(length <= qsizetype(0xFFFFFFFFu));
    if (length < ByteLengthEscape) {
        writeU8(quint8(length));
    } else {
        writeU8(ByteLengthEscape);
        if (length < FirstLongLength) {
            writeU16(quint16(length));
        } else {
            writeU16(WordLengthEscape);
            writeU32(quint32(length));
        }
    }
    m_writer.bytes(text);
}

void ArchiveWriter::writeObjectClass(QByteArrayView className, quint16 schema)
{
    const QByteArray name = className.toByteArray();
    const auto known = m_classIndices.constFind(name);
    if (known == m_classIndices.cend()) {
        Q_ASSERT(name.size() < WordLengthEscape);
        writeU16(NewClassTag);
        writeU16(schema);
        writeU16(quint16(name.size()));
        m_writer.bytes(name);
        m_classIndices.insert(name, m_nextMapIndex++);
    } else if (*known < BigObjectTag) {
        writeU16(quint16(ClassTagBit | *known));
    } else {
        writeU16(BigObjectTag);
        writeU32(BigClassTagBit | *known);
    }
    ++m_nextMapIndex; // the object itself
}

} // namespace fw
