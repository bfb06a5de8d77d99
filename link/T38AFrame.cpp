#include "link/T38AFrame.h"

namespace T38AFrame {

namespace {
// Position of the first ETX from the data on, or -1.
qsizetype findEtx(QByteArrayView stored)
{
    for (qsizetype i = 4; i < stored.size(); ++i)
        if (quint8(stored[i]) == Etx)
            return i;
    return -1;
}
// Whether the bytes between the sequence character and the ETX are data as the coding makes
// it: every byte 0x17 or more, or the escape followed by a byte it escapes. Anything else (a
// NUL of a line break, a stray control byte) is no data, and a NUL keeps the sum.
bool isCoded(QByteArrayView stored, qsizetype etx)
{
    for (qsizetype i = 4; i < etx; ++i) {
        const quint8 byte = quint8(stored[i]);
        if (byte == Escape) {
            if (++i >= etx || quint8(stored[i]) < FirstEscaped)
                return false;
        } else if (byte < FirstCoded) {
            return false;
        }
    }
    return true;
}

} // namespace

void appendCoded(QByteArray& out, quint8 byte)
{
    const quint8 complement = quint8(~byte);
    if (complement >= FirstCoded) {
        out.append(char(complement));
    } else {
        out.append(char(Escape));
        out.append(char(byte));
    }
}

QByteArray request(quint8 address, quint8 sequence, QByteArrayView command)
{
    QByteArray frame;
    frame.reserve(2 * command.size() + 6);
    frame.append(char(Soh));
    frame.append(char(address));
    frame.append(char(Stx));
    frame.append(char(sequence));
    if (!command.isEmpty()) {
        frame.append(command[0]);
        for (qsizetype i = 1; i < command.size(); ++i)
            appendCoded(frame, quint8(command[i]));
    }
    quint8 sum = 0;
    for (qsizetype i = 3; i < frame.size(); ++i)
        sum = quint8(sum + quint8(frame[i]));
    frame.append(char(Etx));
    frame.append(char(sum));
    frame.append(char(Eot));
    return frame;
}

QByteArray decodeData(QByteArrayView stored)
{
    QByteArray data;
    const qsizetype etx = findEtx(stored);
    const qsizetype end = etx < 0 ? stored.size() : etx;
    for (qsizetype i = 4; i < end; ++i) {
        const quint8 byte = quint8(stored[i]);
        if (byte == Escape) {
            if (++i < end)
                data.append(stored[i]);
        } else {
            data.append(char(~byte));
        }
    }
    return data;
}

bool isValid(QByteArrayView stored, quint8 sequence, int tryCount)
{
    if (stored.size() < 4 || quint8(stored[0]) != Soh || quint8(stored[1]) != ReplyAddress
        || quint8(stored[2]) != Stx || quint8(stored[3]) != sequence)
        return false;
    const qsizetype etx = findEtx(stored);
    if (etx < 0 || !isCoded(stored, etx))
        return false;
    quint8 sum = sequence;
    for (qsizetype i = 4; i < etx; ++i)
        sum = quint8(sum + quint8(stored[i]));
    if (sum == Eot && tryCount >= 5)
        return true;
    return etx + 2 < stored.size() && quint8(stored[etx + 1]) == sum && quint8(stored[etx + 2]) == Eot;
}

quint8 nextSequence(quint8 sequence) { return sequence >= '9' ? '0' : quint8(sequence + 1); }

} // namespace T38AFrame
