#pragma once

#include <QByteArray>
#include <QByteArrayView>

struct DispositivoT38ADlgData;

// The device strings a T38A machine returns for a product: device fields (an opcode 0xF1,
// 0xF3, 0xF4 or 0xF5 and its bytes up to the next opcode), possibly separated by 0xCC and
// ended by 0xFF.

// At most this much of a product's bytes is parsed.
inline constexpr int T38AMaxProductBytes = 180;

// How a machine's set-up rows were numbered when it was written, as the compile step took
// them from the set-up tables.
struct T38ASlotLayout {
    bool shift = true;     // set-up row 0 had no product: slot s is T38A row s + 2
    int groupValveRow = 1; // the set-up row whose valve the coffee group carries
};

// Takes the fields of one device out of the first n bytes of the string (at most 180 and no
// more than the string holds) into out, in the encoder's order: a dispenser or coffee group
// field with its water field and, when one follows, its whipper field; or a water field alone
// (the hot water). Bytes that are no field, separators 0xCC among them, may stand between the
// fields of one device. The string is changed in place: it is moved so that it starts at its
// first field, its last byte is dropped and the fields taken are zeroed, so that the caller
// calls again on the same string until false. A field that runs to the end of the bytes (the
// closing 0xFF dropped) ends after its slot byte and time marker pairs, not with the zero
// fill behind it. A byte 0xCC inside a field is one of its values.
bool ParseT38ARow(QByteArray& string, int n, QByteArray& out);

// Takes one device that ParseT38ARow gave into a T38A device record (type, container turns,
// water pulses, estimated milligrams) and into the program-wide set-up tables: every valve and
// whipper number its fields carry goes back to the set-up row the encoder took it from. Times
// are summed over their continuation pairs. A dispenser in slot s uses set-up row s + 1. A
// dispenser whose set-up row is outside the tables or whose slot is no product row, or fields
// of any other kind, change nothing.
void ParseT38ASlots(QByteArrayView fields, DispositivoT38ADlgData& record, const T38ASlotLayout& layout);
