#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class QIODevice;

// The classic machines' display characters, from the text file "ConvertLCD.txt": one entry
// per line, the UTF-16 unit in hexadecimal in the first five characters and the machine's
// byte in hexadecimal in the last four ("0410  0xC0"). Blank lines and lines starting with
// "//" are skipped, case does not matter, a "0x" prefix is optional.
class CharacterTable {
public:
    static constexpr int MaxEntries = 1000;
    static constexpr int MaxLineLength = 399;
    // Room for MaxEntries lines among comments and blanks; the rest of a larger file is not read.
    static constexpr qint64 MaxBytes = 1 << 20;

    struct Entry {
        quint32 code = 0;
        quint32 byte = 0;
    };

    // False when the file cannot be opened or is not a regular file.
    bool load(const QString& path);
    // Adds the entries of every line, in file order, up to MaxEntries and MaxBytes.
    void read(QIODevice& device);
    // The entry of one line; none for a blank line, a comment or a line that does not give
    // both hexadecimal numbers.
    static std::optional<Entry> parseLine(const QByteArray& line);

    // The byte of the first entry of the unit whose byte the machine can show (1..239).
    std::optional<char> byteFor(char16_t unit) const;
    const QList<Entry>& entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
};
