#include "app/T38ADeviceStrings.h"

#include "app/DispositivoT38ADlgData.h"
#include "app/RowByteCode.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"

#include <algorithm>
#include <cstring>
#include <limits>

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

// The byte at k, 0 past the end.
int valueAt(QByteArrayView fields, qsizetype k) { return k < fields.size() ? quint8(fields[k]) : 0; }

// How long the field at j lasts: its end less its start, each the sum of its marker pairs
// from j + 2 on.
int fieldSpan(QByteArrayView fields, qsizetype j)
{
    qint64 start = 0;
    qint64 end = 0;
    for (qsizetype k = j + 2; k + 1 < fields.size(); k += 2) {
        const int value = quint8(fields[k + 1]);
        const quint8 marker = quint8(fields[k]);
        if (marker == StartMark)
            start = value;
        else if (marker == EndMark)
            end = value;
        else if (marker == StartMore)
            start += value;
        else if (marker == EndMore)
            end += value;
        else
            break;
    }
    return int(end - start);
}

int saturated(qint64 value)
{
    return int(std::clamp<qint64>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
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
    // A device that ends at its water: a dispenser taken before it and the water.
    const auto endedAtWater = [&] { return (dispenserSeen ? dispenserOrGroup : QByteArray()) + water; };
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
                // A device on a product row without a product is sent without a whipper: its
                // water is the last of its fields, and the field that opens the next device
                // ends it. Left in the string, that field starts the next call.
                if (waterSeen) {
                    out = endedAtWater();
                    return true;
                }
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
            out = endedAtWater();
            return true;
        }
    }
    return false;
}

void ParseT38ASlots(QByteArrayView fields, DispositivoT38ADlgData& record, bool shift)
{
    if (fields.isEmpty())
        return;
    SetupT38A& setup = fw::ProgramWide<SetupT38A>::get();
    const qsizetype water = fields.indexOf(char(WaterValve));
    switch (quint8(fields[0])) {
    case Dispenser: {
        const int slot = valueAt(fields, 1);
        const int setupRow = slot + 1;
        // The slot is a machine byte: it must never reach past the tables.
        auto row = setup.GetSetupRow(setupRow);
        if (!row)
            return;
        record.type = shift ? slot + 2 : slot + 1;
        record.turns = fieldSpan(fields, 0);
        record.estimatedMilligrams = saturated(qint64(row->mgPerTurn) * record.turns);
        if (water >= 0) {
            row->valveNumber = valueAt(fields, water + 1);
            record.waterPulses = fieldSpan(fields, water);
        }
        const qsizetype whipper = fields.indexOf(char(Whipper));
        if (whipper >= 0)
            row->whipperNumber = valueAt(fields, whipper + 1);
        setup.SetSetupRow(setupRow, *row);
        break;
    }
    case CoffeeGroup:
        record.type = 0;
        record.turns = 0;
        if (water >= 0) {
            auto row = setup.GetSetupRow(1);
            row->valveNumber = valueAt(fields, water + 1);
            setup.SetSetupRow(1, *row);
            record.waterPulses = fieldSpan(fields, water);
        }
        break;
    case WaterValve: {
        record.type = 1;
        record.turns = 0;
        auto row = setup.GetSetupRow(0);
        row->valveNumber = valueAt(fields, 1);
        setup.SetSetupRow(0, *row);
        record.waterPulses = fieldSpan(fields, 0);
        break;
    }
    default:
        break;
    }
}
