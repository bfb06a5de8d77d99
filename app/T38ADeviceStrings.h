#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct DispositivoT38ADlgData;

// The device strings a T38A machine returns for a product: device fields (an opcode 0xF1,
// 0xF3, 0xF4 or 0xF5 and its bytes up to the next opcode), possibly separated by 0xCC and
// ended by 0xFF.

// At most this much of a product's bytes is parsed.
inline constexpr int T38AMaxProductBytes = 180;

// Takes the fields of one device out of the first n bytes of the string (at most 180 and no
// more than the string holds) into out, in the encoder's order: a coffee group and its water,
// a dispenser with its water and whipper, or a hot water alone. A dispenser on a row without a
// product has no whipper: its water ends it when the next dispenser or group field or the end
// of the product follows. The string is changed in
// place: it is moved so that it starts at its first field, its last byte is dropped and the
// fields taken are zeroed, so that the caller calls again on the same string until false. A
// field that runs to the end of the bytes ends there, as it would at the closing 0xFF.
bool ParseT38ARow(QByteArray& string, int n, QByteArray& out);

// Takes one device that ParseT38ARow gave into a T38A device record (type, container turns,
// water pulses, estimated milligrams) and into the program-wide set-up tables (the valve and
// whipper numbers of its set-up row). Times are summed over their continuation pairs. A
// dispenser in slot s uses set-up row s + 1 and is T38A row s + 2 when the machine was written
// with the shift (set-up row 0 without a product), s + 1 without it. A dispenser whose set-up
// row is outside the tables, or fields of any other kind, change nothing.
void ParseT38ASlots(QByteArrayView fields, DispositivoT38ADlgData& record, bool shift);
