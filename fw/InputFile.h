#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace fw {

// The one way the program opens a file from outside: only a regular file (a link to one
// included) is read. The check is made on the opened file, and the open itself never waits,
// so a FIFO, a device or a folder takes the caller's "cannot open" path at once instead of
// freezing the program or feeding it without end.
namespace InputFile {

// Opens the file for reading (mode adds e.g. QIODevice::Text); false, the file left closed,
// when it is no regular file or cannot be opened.
bool open(QFile& file, const QString& path, QIODevice::OpenMode mode = QIODevice::ReadOnly);
// The whole file when it is a regular file of at most maxBytes that reads without error;
// none otherwise.
std::optional<QByteArray> read(const QString& path, qint64 maxBytes);

} // namespace InputFile

} // namespace fw
