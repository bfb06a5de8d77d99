#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The lines of a model's relay file, one device type a line:
//   | <index> | <name> | 0x<code> | <sub-code> | [<list flag> |]
// The index counts from 1 up to the type count. The name is taken without the blanks around
// it, up to 60 characters; a longer name gives its first 60 characters and leaves the rest of
// the line to be read from there; a NUL byte ends the name, as it ends a zero-ended field. The
// optional fifth column sets the list flag of its line and of the lines after it that have
// none; before the first one the flag is 1.
class RelayFileReader {
public:
    struct Entry {
        int index = 0; // 1..type count
        QByteArray name;
        int code = 0;
        int subCode = 0;
        bool listFlag = true;
    };

    static constexpr int MaxNameLength = 60;

    explicit RelayFileReader(int typeCount) : m_typeCount(typeCount) {}

    // The device type of a line; none for a line that is not one, or whose index lies
    // outside 1..type count, or that lacks the code or the sub-code.
    std::optional<Entry> ReadLine(QByteArrayView line);
    // A line with the fifth column was read.
    bool SawListColumn() const { return m_sawListColumn; }

private:
    // Reads the fifth column when the fourth '|' from the one that ends the name follows.
    void ReadListColumn(QByteArrayView rest);

    int m_typeCount;
    int m_listFlag = 1;
    bool m_sawListColumn = false;
};
