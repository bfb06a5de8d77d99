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

bool isTimeMarker(quint8 b) { return b >= StartMark && b <= EndMore; }

// Where the field at p ends when nothing stops it before end: after its slot byte and the
// time marker pairs that follow.
qsizetype afterPairs(const QByteArray& s, qsizetype p, qsizetype end)
{
    qsizetype k = p + 2;
    while (k + 1 < end && isTimeMarker(byteAt(s, k)))
        k += 2;
    return std::min(k, end);
}

// Moves the field at p, its opcode and the bytes up to the next opcode, into field and zeroes
// it in the string. A field that runs to end has lost its closing byte: it ends after its
// pairs, so that the zero fill behind it is not taken for its bytes. Result: the position
// after the field.
qsizetype moveField(QByteArray& s, qsizetype p, qsizetype end, QByteArray& field)
{
    qsizetype q = p + 1;
    while (q < end && byteAt(s, q) < FirstOpcode)
        ++q;
    if (q == end)
        q = afterPairs(s, p, end);
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
    if (end <= 0)
        return false;

    QByteArray device;
    qsizetype p = 0;
    // Takes the field with this opcode when it is the next field before the end; what
    // stands before it belongs to the device and is zeroed with it.
    const auto take = [&](quint8 opcode) {
        qsizetype q = p;
        while (q < end && !isFieldOpcode(byteAt(string, q)) && byteAt(string, q) != End)
            ++q;
        if (q >= end || byteAt(string, q) != opcode)
            return false;
        std::fill(string.begin() + p, string.begin() + q, '\0');
        QByteArray field;
        p = moveField(string, q, end, field);
        // A whipper field's last value byte may have been taken for an opcode.
        if (opcode == Whipper && quint8(field.back()) == EndMark && p < end)
            string[p] = '\0';
        device += field;
        return true;
    };
    // Written as the encoder writes them: a dispenser or group, its water, its whipper unless
    // its row has none; a hot water alone.
    const quint8 first = byteAt(string, 0);
    if (first == Dispenser || first == CoffeeGroup) {
        take(first);
        if (take(WaterValve))
            take(Whipper);
    } else {
        take(first);
    }
    out = device;
    return true;
}

void ParseT38ASlots(QByteArrayView fields, DispositivoT38ADlgData& record, const T38ASlotLayout& layout)
{
    if (fields.isEmpty())
        return;
    SetupT38A& setup = fw::ProgramWide<SetupT38A>::get();
    const qsizetype water = fields.indexOf(char(WaterValve));
    const qsizetype whipper = fields.indexOf(char(Whipper));
    // The valve and whipper numbers the fields carry, back into the set-up rows they came from.
    const auto storeNumbers = [&](int valveRow, int whipperRow) {
        if (auto row = setup.GetSetupRow(valveRow); row && water >= 0) {
            row->valveNumber = valueAt(fields, water + 1);
            setup.SetSetupRow(valveRow, *row);
        }
        if (auto row = setup.GetSetupRow(whipperRow); row && whipper >= 0) {
            row->whipperNumber = valueAt(fields, whipper + 1);
            setup.SetSetupRow(whipperRow, *row);
        }
    };
    switch (quint8(fields[0])) {
    case Dispenser: {
        const int slot = valueAt(fields, 1);
        const int setupRow = slot + 1;
        const int type = layout.shift ? slot + 2 : slot + 1;
        // The slot is a machine byte: it must never reach past the tables, nor name a group.
        const auto row = setup.GetSetupRow(setupRow);
        if (!row || type < SetupT38A::GroupRowCount)
            return;
        record.type = type;
        record.turns = fieldSpan(fields, 0);
        record.estimatedMilligrams = saturated(qint64(row->mgPerTurn) * record.turns);
        if (water >= 0)
            record.waterPulses = fieldSpan(fields, water);
        storeNumbers(setupRow, setupRow);
        break;
    }
    case CoffeeGroup:
        record.type = 0;
        record.turns = 0;
        if (water >= 0)
            record.waterPulses = fieldSpan(fields, water);
        // The group's slot is one below set-up row 1, and one less again with the shift.
        storeNumbers(layout.groupValveRow, layout.shift ? 0 : 1);
        break;
    case WaterValve:
        record.type = 1;
        record.turns = 0;
        record.waterPulses = fieldSpan(fields, 0);
        storeNumbers(0, -1);
        break;
    default:
        break;
    }
}
