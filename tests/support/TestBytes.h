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
