#include "fw/Windows1252.h"

#include <array>

namespace fw::Windows1252 {

namespace {

// The characters of the bytes 80..9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t characterOf(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return HighControls[byte - 0x80];
    return char16_t(byte);
}

char byteOf(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return char(unit);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == unit)
            return char(0x80 + i);
    }
    return '?';
}

} // namespace

QString decode(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        text[i] = QChar(characterOf(static_cast<unsigned char>(bytes.at(i))));
    return text;
}

QByteArray encode(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        // A character beyond the basic plane is one character, so one '?'.
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes += byteOf(unit.unicode());
    }
    return bytes;
}

} // namespace fw::Windows1252
