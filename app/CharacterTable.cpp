#include "app/CharacterTable.h"

#include "fw/InputFile.h"
#include "fw/TextLineReader.h"

namespace {

constexpr quint32 FirstUsableByte = 0x01;
constexpr quint32 LastUsableByte = 0xEF; // 0xF0 and above are the byte code's markers

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// A hexadecimal number the way "%x" reads it from upper-case text: blanks skipped, an
// optional "0X" prefix, as many digits as there are.
std::optional<quint32> scanHex(QByteArrayView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == ' ' || text.at(i) == '\t'))
        ++i;
    if (i + 2 < text.size() && text.at(i) == '0' && text.at(i + 1) == 'X' && hexDigit(text.at(i + 2)) >= 0)
        i += 2;
    quint32 value = 0;
    int digits = 0;
    for (; i < text.size() && hexDigit(text.at(i)) >= 0; ++i, ++digits)
        value = value * 16 + quint32(hexDigit(text.at(i)));
    if (digits == 0)
        return std::nullopt;
    return value;
}

} // namespace

bool CharacterTable::load(const QString& path)
{
    // One byte past the limit tells a larger file, whose last line read may be cut short.
    std::optional<QByteArray> text = fw::InputFile::readHead(path, MaxBytes + 1);
    if (!text)
        return false;
    if (text->size() > MaxBytes) {
        text->truncate(MaxBytes);
        text->truncate(qMax(text->lastIndexOf('\n'), text->lastIndexOf('\r')) + 1);
    }
    read(*text);
    return true;
}

void CharacterTable::read(const QByteArray& text)
{
    fw::TextLineReader lines(text, fw::TextLineReader::ByteOrderMark::Skip);
    while (m_entries.size() < MaxEntries) {
        const std::optional<QByteArrayView> line = lines.next();
        if (!line)
            return;
        for (qsizetype at = 0; at < line->size() && m_entries.size() < MaxEntries; at += MaxLineLength) {
            if (const auto entry = parseLine(line->sliced(at, qMin<qsizetype>(MaxLineLength, line->size() - at)).toByteArray()))
                m_entries.append(*entry);
        }
    }
}

std::optional<CharacterTable::Entry> CharacterTable::parseLine(const QByteArray& line)
{
    const QByteArray text = line.trimmed().toUpper();
    if (text.isEmpty() || text.startsWith("//"))
        return std::nullopt;
    const auto code = scanHex(QByteArrayView(text).first(qMin<qsizetype>(text.size(), 5)));
    const auto byte = scanHex(QByteArrayView(text).last(qMin<qsizetype>(text.size(), 4)));
    if (!code || !byte)
        return std::nullopt;
    return Entry{*code, *byte};
}

std::optional<char> CharacterTable::byteFor(char16_t unit) const
{
    for (const Entry& entry : m_entries) {
        if (entry.code == unit && entry.byte >= FirstUsableByte && entry.byte <= LastUsableByte)
            return char(entry.byte);
    }
    return std::nullopt;
}
