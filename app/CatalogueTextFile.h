#pragma once

#include "fw/TextLineReader.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A relay or dispenser file of the catalogue, read line by line: a line ends with CR LF, LF
// or CR, and only its first MaxLineLength bytes count (the rest of a longer line is dropped,
// never read as a line of its own). The bytes stay as the file holds them, but for a UTF-8
// byte-order mark at its start: every line that counts starts with '|', so those bytes are
// never text of the file. Only a regular file of at most MaxBytes opens, read whole at the
// open: anything else counts as absent.
class CatalogueTextFile {
public:
    static constexpr int MaxLineLength = 99;
    // Far above the few dozen lines of a model's file; a bound on what a wrong file costs.
    static constexpr qint64 MaxBytes = 16 * 1024 * 1024;

    // False when the file cannot be opened for reading.
    bool Open(const QString& path);
    // The next line without its end; none after the last one.
    std::optional<QByteArray> ReadLine();

private:
    std::optional<fw::TextLineReader> m_lines;
};
