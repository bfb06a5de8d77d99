#pragma once

#include "fw/ByteWriter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>

namespace fw {

// Writes the framework's archive format (little-endian): integers, counts, 8-bit strings
// with the shortest length form, and the class tags of objects with the archive's map of
// classes and objects, so that the framework's reader (and ArchiveReader) takes them back.
class ArchiveWriter {
public:
    void writeU8(quint8 value) { m_writer.u8(value); }
    void writeU16(quint16 value) { m_writer.u16(value); }
    void writeU32(quint32 value) { m_writer.u32(value); }
    void writeI32(qint32 value) { writeU32(quint32(value)); }
    void writeCount(quint32 count);
    // 8-bit text as it is held, without a terminator.
    void writeString(QByteArrayView text);
    // The tag of the next object: its class's definition the first time the class appears,
    // a reference to the class after that. The object is entered in the map.
    void writeObjectClass(QByteArrayView className, quint16 schema);

    const QByteArray& data() const { return m_writer.data(); }

private:
    ByteWriter m_writer;
    QHash<QByteArray, quint32> m_classIndices;
    // Index 0 of the archive's map is the null object; entries count from 1.
    quint32 m_nextMapIndex = 1;
};

} // namespace fw
