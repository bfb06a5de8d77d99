#pragma once

#include <QByteArray>

#include <initializer_list>

// Bytes written as numbers, the way the layouts are given: bytes({0xF0, 1, 0xF7}).
inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    out.reserve(qsizetype(values.size()));
    for (int v : values)
        out += char(v);
    return out;
}

// A 32-bit value in little-endian order, as the files store their counts.
inline QByteArray le32(qint32 value)
{
    const quint32 bits = quint32(value);
    return bytes({int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF), int(bits >> 24)});
}
