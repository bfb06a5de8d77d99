#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// Packed BCD as the T38A machines exchange their set-up values: two decimal digits per
// byte, the first of each pair in the high nibble. An odd digit count is raised by one.

// The value in digits/2 bytes, most significant byte first, or least significant first when
// reversed. The first digit is not range-checked: its nibble is the digit modulo 16, so 100
// in 2 digits is 0xA0, which is how the machines read it. More than 10 digits is refused.
std::optional<QByteArray> IntToBcd(quint32 value, int digits, bool reversed);

// The value of digits nibbles of the source. Not reversed: read from byte 0, high nibble
// first, an odd count raised by one. Reversed: the low nibble of byte 0 is the units, the
// count taken as it is. A nibble above 9 weighs like a digit. Refused when the count is
// above 10, the source is too short or the value does not fit 32 bits.
std::optional<quint32> BcdToInt(int digits, QByteArrayView source, bool reversed);

// The highest value IntToBcd writes in this digit count without wrapping: a first digit of
// up to 15 (its nibble), every other digit 9. 159 in 2 digits, 15999 in 4 (an odd count raised
// by one); 0 for no digit or more than 10.
constexpr quint64 highestBcdValue(int digits)
{
    if (digits <= 0 || digits > 10)
        return 0;
    quint64 power = 1;
    for (int i = 1; i < digits + digits % 2; ++i)
        power *= 10;
    return 16 * power - 1;
}

// The value of a packed-BCD record of 1 to 5 bytes, two digits a byte, as any writer may have
// stored it: every nibble a decimal digit but the leading one, a high nibble with no other
// digit above it, which IntToBcd writes as its value modulo 16 (so 0xA0 is 100, and so is
// 0xA0 0x00 least significant byte first). Refused: no byte or more than 5, a nibble above 9
// anywhere else, which no packed BCD holds, and a value beyond 32 bits.
std::optional<quint32> checkedBcdToInt(QByteArrayView source, bool reversed);
