#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The classic machines' display characters, from the text file "ConvertLCD.txt": one entry
// per line, the UTF-16 unit in hexadecimal in the first five characters and the machine's
// byte in hexadecimal in the last four ("0410  0xC0"). Blank lines and lines starting with
// "//" are skipped, case does not matter, a "0x" prefix is optional. Lines end with CR LF, LF
// or CR; a UTF-8 byte-order mark at the start is an editor's mark, since the file holds the
// machine's bytes in hexadecimal only.
class CharacterTable {
public:
    static constexpr int MaxEntries = 1000;
    static constexpr int MaxLineLength = 399;
    // Room for MaxEntries lines among comments and blanks; of a larger file only the lines
    // that end within it are read.
    static constexpr qint64 MaxBytes = 1 << 20;

    struct Entry {
        quint32 code = 0;
        quint32 byte = 0;
    };

    // False when the file cannot be opened or is not a regular file.
    bool load(const QString& path);
    // Adds the entries of the text's lines, in file order, up to MaxEntries. At most
    // MaxLineLength characters are taken at once: a longer line goes on as the next one.
    void read(const QByteArray& text);
    // The entry of one line; none for a blank line, a comment or a line that does not give
    // both hexadecimal numbers.
    static std::optional<Entry> parseLine(const QByteArray& line);

    // The byte of the first entry of the unit whose byte the machine can show (1..239).
    std::optional<char> byteFor(char16_t unit) const;
    const QList<Entry>& entries() const { return m_entries; }

private:
    QList<Entry> m_entries;
};
