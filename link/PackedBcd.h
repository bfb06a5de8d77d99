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

// The value IntToBcd wrote as exactly these bytes with this digit count (an odd count raised
// by one): the source is digits/2 bytes long and every nibble is a decimal digit but the first
// digit's, which IntToBcd does not range-check (so 0xA0 in 2 digits is 100). Bytes IntToBcd
// never writes are refused. Where IntToBcd wrapped a first digit of 16 or more, the smallest
// value it could have written is given.
std::optional<quint32> writtenBcdToInt(int digits, QByteArrayView source, bool reversed);
