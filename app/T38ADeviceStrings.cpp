#include "app/T38ADeviceStrings.h"

#include "app/RowByteCode.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace RowByteCode;

bool isFieldOpcode(quint8 b) { return b == Dispenser || b == Whipper || b == WaterValve || b == CoffeeGroup; }

quint8 byteAt(const QByteArray& s, qsizetype k) { return quint8(s[k]); }

// Moves the field at p, its opcode and the bytes up to the next opcode or to end, into field
// and zeroes it in the string. Result: the position of the byte that stopped it (end when
// none did).
qsizetype moveField(QByteArray& s, qsizetype p, qsizetype end, QByteArray& field)
{
    qsizetype q = p + 1;
    while (q < end && byteAt(s, q) < FirstOpcode)
        ++q;
    field = s.mid(p, q - p);
    std::fill(s.begin() + p, s.begin() + q, '\0');
    return q;
}

// Moves the string so that it starts at its first field, dropping its last byte; zero after
// it. Result: the bytes kept, or -1 when an end or separator comes before any field.
qsizetype moveToFirstField(QByteArray& s, qsizetype size)
{
    qsizetype first = 0;
    for (; first < size; ++first) {
        const quint8 b = byteAt(s, first);
        if (b == End || b == Separator)
            return -1;
        if (isFieldOpcode(b))
            break;
    }
    const qsizetype kept = std::max<qsizetype>(size - first - 1, 0);
    char* data = s.data();
    std::memmove(data, data + first, std::size_t(kept));
    std::fill(data + kept, data + size, '\0');
    return kept;
}

} // namespace

bool ParseT38ARow(QByteArray& string, int n, QByteArray& out)
{
    const qsizetype size = std::clamp<qsizetype>(n, 0, std::min<qsizetype>(string.size(), T38AMaxProductBytes));
    const qsizetype end = moveToFirstField(string, size);
    if (end < 0)
        return false;

    // On a machine whose set-up row 0 has no product, slot 0 is the coffee group's.
    const auto row0 = fw::ProgramWide<SetupT38A>::get().GetSetupRow(0);
    const bool slotZeroIsGroup = row0->productIndex == SetupT38A::NoProduct;

    QByteArray dispenserOrGroup;
    QByteArray water;
    QByteArray whipper;
    bool dispenserSeen = false;
    bool groupSeen = false;
    bool waterSeen = false;
    bool whipperSeen = false;
    bool waterAtEnd = false;
    // The flags hold across separators: fields on both sides of one make one device.
    for (qsizetype i = 0; i < end; ++i) {
        if (byteAt(string, i) == End || byteAt(string, i) == Separator)
            return false;
        qsizetype p = i;
        for (; p < end && byteAt(string, p) != Separator; ++p) {
            const quint8 b = byteAt(string, p);
            if (b == End || waterAtEnd)
                break;
            if (b == Whipper) {
                const qsizetype stop = moveField(string, p, end, whipper);
                // A whipper field's last value byte may have been taken for an opcode.
                if (quint8(whipper.back()) == EndMark && stop < end)
                    string[stop] = '\0';
                whipperSeen = true;
            } else if (b == WaterValve) {
                const qsizetype stop = moveField(string, p, end, water);
                waterSeen = true;
                if (stop >= end || byteAt(string, stop) == End)
                    waterAtEnd = true;
            } else if (b == Dispenser || b == CoffeeGroup) {
                if (b == CoffeeGroup) {
                    groupSeen = true;
                } else if (slotZeroIsGroup && p + 1 < end && byteAt(string, p + 1) == 0) {
                    groupSeen = true;
                    dispenserSeen = false;
                } else {
                    dispenserSeen = true;
                }
                moveField(string, p, end, dispenserOrGroup);
            }
            if (groupSeen && waterSeen) {
                out = dispenserOrGroup + water;
                return true;
            }
            if (dispenserSeen && waterSeen && whipperSeen) {
                out = dispenserOrGroup + water + whipper;
                return true;
            }
        }
        i = p;
        if (waterSeen && waterAtEnd) {
            out = water;
            return true;
        }
    }
    return false;
}
