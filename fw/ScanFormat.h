#pragma once

#include <QByteArrayView>

#include <initializer_list>

namespace fw {

// Reads numbers out of a line of bytes the way sscanf does with the few directives the
// program's text files are read with: a white-space character skips any white space, "%d" a
// decimal integer, "%<width>X" (or x) a hexadecimal one of at most width digits, and any
// other character must match the next byte. Numbers skip the white space before them. A
// number that does not fit an int does not match.
class ScanFormat {
public:
    // The number of values read before the first directive that did not match; values after
    // it are left as they were.
    static int scan(QByteArrayView line, const char* pattern, std::initializer_list<int*> values);
};

} // namespace fw
