#pragma once

#include <QByteArray>
#include <QByteArrayView>

// The frames of the T38A machines. A request is SOH, the address, STX, the sequence
// character, the command character unchanged, the rest of the command coded, ETX, the 8-bit
// sum of everything from the sequence character to the last coded byte, and EOT. A reply
// (SOH '<' STX) or out-of-band frame (ENQ '<' STX) codes all its data. Coding: the one's
// complement of a byte when that is 0x17 or more, else the escape 0x16 and the byte itself, so
// the control bytes 01..05 never appear inside the data.
namespace T38AFrame {

constexpr quint8 Soh = 0x01;
constexpr quint8 Stx = 0x02;
constexpr quint8 Etx = 0x03;
constexpr quint8 Eot = 0x04;
constexpr quint8 Enq = 0x05;
constexpr quint8 Escape = 0x16;
constexpr quint8 ReplyAddress = '<';
// The lowest byte sent as its complement, and the lowest the escape goes before.
constexpr quint8 FirstCoded = 0x17;
constexpr quint8 FirstEscaped = 0xE9;

void appendCoded(QByteArray& out, quint8 byte);
// The request frame for a command; the buffer is sized for the worst case, 2n + 6 bytes.
QByteArray request(quint8 address, quint8 sequence, QByteArrayView command);
// The data of a received frame (stored from its SOH), decoded from after the sequence
// character up to the first ETX; an escape right before the ETX adds nothing.
QByteArray decodeData(QByteArrayView stored);
// A complete reply to the request with this sequence character: SOH '<' STX, the sequence,
// data as the coding makes it (no byte below 0x17 but an escape, and each escape before a
// byte of 0xE9 or more), an ETX, its sum and EOT after it. From the fifth try on a sum of 0x04
// is taken without looking at the bytes after the ETX, as the machines' firmware expects.
bool isValid(QByteArrayView stored, quint8 sequence, int tryCount);
// '0' .. '9' and round again.
quint8 nextSequence(quint8 sequence);

} // namespace T38AFrame
