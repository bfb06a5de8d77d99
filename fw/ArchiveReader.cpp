#include "fw/ArchiveReader.h"

#include "fw/ArchiveFormat.h"
#include "fw/CodePage.h"

#include <QString>

namespace fw {

using namespace ArchiveFormat;

template <class Read>
auto ArchiveReader::checked(Read read) -> decltype(read())
{
    try {
        return read();
    } catch (const ByteRangeError& error) {
        throw ArchiveError(ArchiveError::Cause::EndOfFile, error.what());
    }
}

void ArchiveReader::fail(const std::string& what) const
{
    throw ArchiveError(ArchiveError::Cause::BadFormat, what + " at offset " + std::to_string(position()));
}

quint8 ArchiveReader::readU8()
{
    return checked([this] { return m_reader.u8(); });
}

quint16 ArchiveReader::readU16()
{
    return checked([this] { return m_reader.u16(); });
}

quint32 ArchiveReader::readU32()
{
    return checked([this] { return m_reader.u32(); });
}

quint32 ArchiveReader::readCount(qsizetype minItemBytes)
{
    const quint16 word = readU16();
    const quint32 count = word == WordLengthEscape ? readU32() : word;
    if (minItemBytes > 0 && qint64(count) > remaining() / minItemBytes)
        fail("count " + std::to_string(count) + " larger than the file can hold");
    return count;
}

qsizetype ArchiveReader::readLength(bool& wide)
{
    const quint8 byte = readU8();
    if (byte < ByteLengthEscape)
        return byte;
    const quint16 word = readU16();
    // The UTF-16 form: the mark, then the length again in the same scheme.
    if (word == WideStringMark && !wide) {
        wide = true;
        return readLength(wide);
    }
    if (word < WordLengthEscape)
        return word;
    return qsizetype(readU32());
}

QByteArray ArchiveReader::readString()
{
    const qsizetype start = position();
    bool wide = false;
    const qsizetype length = readLength(wide);
    const qsizetype unitBytes = wide ? 2 : 1;
    if (length > remaining() / unitBytes)
        throw ArchiveError(ArchiveError::Cause::EndOfFile,
                           "string of " + std::to_string(length) + " units past the end at offset " +
                               std::to_string(start));
    if (!wide)
        return checked([this, length] { return m_reader.bytes(length); });
    QString text;
    text.reserve(length);
    for (qsizetype k = 0; k < length; ++k)
        text.append(QChar(char16_t(readU16())));
    return CodePage::encodeLossy(text, CodePage::Ansi);
}

const ArchiveReader::ClassInfo& ArchiveReader::classAt(quint32 index) const
{
    if (index == 0 || index >= m_map.size())
        fail("class index " + std::to_string(index) + " not in the archive's map");
    const MapEntry& entry = m_map[index];
    if (!entry.isClass)
        fail("class index " + std::to_string(index) + " names an object");
    return entry.info;
}

ArchiveReader::ClassInfo ArchiveReader::readObjectClass()
{
    const quint16 tag = readU16();
    ClassInfo info;
    if (tag == NewClassTag) {
        info.schema = readU16();
        const quint16 nameLength = readU16();
        if (nameLength > MaxClassNameLength)
            fail("class name of " + std::to_string(nameLength) + " bytes");
        info.name = checked([this, nameLength] { return m_reader.bytes(nameLength); });
        m_map.push_back(MapEntry{true, info});
    } else if (tag == NullTag) {
        fail("null object");
    } else if (tag == BigObjectTag) {
        const quint32 bigTag = readU32();
        if (!(bigTag & BigClassTagBit))
            fail("reference to an object read before");
        info = classAt(bigTag & ~BigClassTagBit);
    } else if (tag & ClassTagBit) {
        info = classAt(tag & ~ClassTagBit);
    } else {
        fail("reference to an object read before");
    }
    m_map.push_back(MapEntry{false, info});
    return info;
}

void ArchiveReader::seek(qsizetype position)
{
    if (position < 0 || position > m_bytes.size())
        fail("seek to " + std::to_string(position) + " outside the file");
    m_reader = ByteReader(m_bytes);
    m_reader.skip(position);
}

} // namespace fw
