#pragma once

#include "fw/ByteWriter.h"

#include <QByteArrayView>

#include <initializer_list>
#include <iterator>

// The machines' byte code of a product: a header with the product's name, a group of bytes
// for each device it drives, closed by 0xFF and the product number. Bytes 0xF0..0xFF are
// opcodes and markers, every other byte a value 0..239. Inside a device's time fields the
// markers 0x80..0x83 alternate with their values, so a value may itself be 0x80..0x83.
namespace RowByteCode {

inline constexpr quint8 FirstOpcode = 0xF0; // every byte from here up is an opcode
inline constexpr quint8 ProductHeader = 0xF0;
inline constexpr quint8 Dispenser = 0xF1;
inline constexpr quint8 Sugar = 0xF2;
inline constexpr quint8 Whipper = 0xF3;
inline constexpr quint8 WaterValve = 0xF4;
inline constexpr quint8 CoffeeGroup = 0xF5; // T38A family
inline constexpr quint8 ClassicName = 0xF7; // the name follows without its length
inline constexpr quint8 SpareDevice = 0xF8; // a device code only if the catalogue has it
inline constexpr quint8 T38AName = 0xF9;    // a length byte and the name follow
inline constexpr quint8 End = 0xFF;
inline constexpr quint8 StartMark = 0x80;
inline constexpr quint8 EndMark = 0x81;
inline constexpr quint8 StartMore = 0x82; // the next byte is added to the start
inline constexpr quint8 EndMore = 0x83;   // the next byte is added to the end
inline constexpr quint8 Separator = 0xCC; // inside the device strings a T38A machine returns

inline constexpr int MaxValue = 239;
inline constexpr int ClassicNameLength = 17;
// A T38A machine keeps a product name in 52 bytes, the last a zero: longer names are cut.
inline constexpr int T38ANameLength = 51;
// The name a decoded header starts with, kept when no name marker follows.
inline constexpr int BlankNameLength = 18;

// What follows a time's marker: the value itself up to 239 (a negative time as 0).
quint8 FirstPart(qint32 value);
// What is left for the continuation pairs once the first part is sent.
qint32 Rest(qint32 value);

// Appends a few bytes in one write.
inline bool Put(fw::ByteWriter& out, std::initializer_list<quint8> values)
{
    return out.bytes(QByteArrayView(reinterpret_cast<const char*>(std::data(values)), qsizetype(values.size())));
}

// A writer for one row that may take no more than what is left in out, so that nothing
// larger than the target is ever built.
fw::ByteWriter RowWriter(const fw::ByteWriter& out);
// Appends the whole row or nothing. Result: the row's length, 0 when it does not fit.
int AppendRow(fw::ByteWriter& out, const fw::ByteWriter& row);

// Decode errors, shown with the plain stop box: the code ("1-".."5-"), the text "Fichero de
// configuración erroneo" and, where asked, a line break and the first 16 input bytes.
inline constexpr int MalformedRecordText = 1548;
void ReportDecodeError(int code, QByteArrayView input, bool withDump);

} // namespace RowByteCode

// Appends the continuation pairs of a value: (opcode, min(rest, 239)) until it is spent;
// nothing for a value below 1. Stops once out is full.
void EncodeValuePairs(qint32 value, quint8 opcode, fw::ByteWriter& out);
