#include "link/PackedBcd.h"

namespace {

constexpr int MaxDigits = 10;

quint32 powerOfTen(int exponent)
{
    quint32 power = 1;
    for (int i = 0; i < exponent; ++i)
        power *= 10;
    return power;
}

quint8 nibbleAt(QByteArrayView bytes, int byteIndex, bool high)
{
    const quint8 byte = quint8(bytes.at(byteIndex));
    return high ? quint8(byte >> 4) : quint8(byte & 0x0F);
}

// The bytes a digit count takes, an odd count raised by one; none for a count outside 0..10.
std::optional<int> byteCountOf(int digits)
{
    if (digits < 0 || digits > MaxDigits)
        return std::nullopt;
    return (digits + 1) / 2;
}

} // namespace

std::optional<QByteArray> IntToBcd(quint32 value, int digits, bool reversed)
{
    const std::optional<int> bytes = byteCountOf(digits);
    if (!bytes)
        return std::nullopt;
    const int byteCount = *bytes;
    digits = 2 * byteCount;
    QByteArray out(byteCount, '\0');
    if (digits == 0)
        return out;

    quint32 power = powerOfTen(digits - 1);
    quint32 rest = value;
    for (int i = 0; i < digits; ++i) {
        const quint8 nibble = quint8((rest / power) & 0x0F);
        rest %= power;
        power /= 10;
        const int pair = i / 2;
        const int position = reversed ? byteCount - 1 - pair : pair;
        if (i % 2 == 0)
            out[position] = char(nibble << 4);
        else
            out[position] = char(quint8(out.at(position)) | nibble);
    }
    return out;
}

std::optional<quint32> BcdToInt(int digits, QByteArrayView source, bool reversed)
{
    if (digits < 0 || digits > MaxDigits)
        return std::nullopt;
    quint64 value = 0;
    if (!reversed) {
        if (digits % 2 != 0)
            ++digits;
        if (source.size() < digits / 2)
            return std::nullopt;
        for (int i = 0; i < digits; ++i)
            value = value * 10 + nibbleAt(source, i / 2, i % 2 == 0);
    } else {
        if (source.size() < (digits + 1) / 2)
            return std::nullopt;
        quint64 weight = 1;
        for (int i = 0; i < digits; ++i) {
            value += nibbleAt(source, i / 2, i % 2 != 0) * weight;
            weight *= 10;
        }
    }
    if (value > 0xFFFFFFFFu)
        return std::nullopt;
    return quint32(value);
}

std::optional<quint32> checkedBcdToInt(QByteArrayView source, bool reversed)
{
    const int byteCount = int(source.size());
    if (byteCount < 1 || 2 * byteCount > MaxDigits)
        return std::nullopt;
    // From the most significant nibble down; only the first digit that is not 0 may pass 9.
    bool leading = true;
    for (int i = 0; i < byteCount; ++i) {
        const int byteIndex = reversed ? byteCount - 1 - i : i;
        const quint8 high = nibbleAt(source, byteIndex, true);
        const quint8 low = nibbleAt(source, byteIndex, false);
        if ((high > 9 && !leading) || low > 9)
            return std::nullopt;
        leading = leading && high == 0 && low == 0;
    }
    return BcdToInt(2 * byteCount, source, reversed);
}
