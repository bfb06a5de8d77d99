#pragma once

#include "fw/ByteReader.h"

#include <QByteArray>
#include <QByteArrayView>

#include <stdexcept>
#include <string>
#include <vector>

namespace fw {

// A file that does not hold what its reader expects. An end of file is told apart from
// other damage because some readers take a file that simply ends early.
class ArchiveError : public std::runtime_error {
public:
    enum class Cause { EndOfFile, BadFormat };

    ArchiveError(Cause cause, const std::string& what)
        : std::runtime_error(what)
        , m_cause(cause)
    {
    }
    Cause cause() const { return m_cause; }
    bool isEndOfFile() const { return m_cause == Cause::EndOfFile; }

private:
    Cause m_cause;
};

// Reads the framework's archive format (little-endian) over bytes it does not own: integers,
// counts, 8-bit strings in their three length forms and the UTF-16 form, and the class tags
// of objects with the archive's map of classes and objects. Every length and count is
// checked against the bytes left before anything is taken; a failed read throws ArchiveError.
class ArchiveReader {
public:
    // The longest class name the framework accepts.
    static constexpr int MaxClassNameLength = 63;

    struct ClassInfo {
        QByteArray name;
        quint16 schema = 0;
    };

    explicit ArchiveReader(QByteArrayView bytes) : m_bytes(bytes), m_reader(bytes) {}
    // The reader keeps a view: the bytes must outlive it.
    explicit ArchiveReader(const QByteArray&&) = delete;

    quint8 readU8();
    quint16 readU16();
    quint32 readU32();
    qint32 readI32() { return qint32(readU32()); }
    // A count of items that take at least minItemBytes each: a count the bytes left cannot
    // hold is refused.
    quint32 readCount(qsizetype minItemBytes = 1);
    // 8-bit text as stored, never re-encoded; the UTF-16 form is turned into the system's
    // ANSI code page.
    QByteArray readString();
    // The class of the next object, from its tag: a new class definition or a reference to
    // a class read before. The object is entered in the map. A null object and a reference
    // to an object read before are refused: every object read here is a new one.
    ClassInfo readObjectClass();

    qsizetype position() const { return m_reader.position(); }
    qsizetype remaining() const { return m_reader.remaining(); }
    bool atEnd() const { return m_reader.atEnd(); }
    // Back to (or on to) a position within the bytes, to read them again.
    void seek(qsizetype position);

private:
    struct MapEntry {
        bool isClass = false;
        ClassInfo info;
    };

    template <class Read>
    auto checked(Read read) -> decltype(read());
    qsizetype readLength(bool& wide);
    [[noreturn]] void fail(const std::string& what) const;
    const ClassInfo& classAt(quint32 index) const;

    QByteArrayView m_bytes;
    ByteReader m_reader;
    // Index 0 of the archive's map is the null object; entries count from 1.
    std::vector<MapEntry> m_map{MapEntry{}};
};

} // namespace fw
