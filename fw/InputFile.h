#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace fw {

// The one way the program reads a file from outside: only a regular file (a link to one
// included) is read, and never more than the caller's limit. The check is made on the opened
// file, and the open itself never waits, so a FIFO, a device or a folder takes the caller's
// "cannot open" path at once instead of freezing the program or feeding it without end. What
// is read is counted, so a file that another program keeps appending to stops at the limit
// as one that was too large at the open does.
namespace InputFile {

// A sysfs attribute fills at most one memory page; a large page is 64 KiB.
inline constexpr qint64 MaxSysfsAttributeBytes = 64 * 1024;

// True when the path is a regular file that opens for reading; nothing is read.
bool opens(const QString& path);
// The whole file when it is a regular file of at most maxBytes that reads without error;
// none otherwise.
std::optional<QByteArray> read(const QString& path, qint64 maxBytes);
// The file's first maxBytes bytes (all of it when it is shorter) when it is a regular file
// that reads without error; none otherwise. The rest is never read.
std::optional<QByteArray> readHead(const QString& path, qint64 maxBytes);

} // namespace InputFile

} // namespace fw
