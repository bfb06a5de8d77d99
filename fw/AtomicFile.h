#pragma once

#include <QByteArrayView>
#include <QString>

namespace fw {

// The one way the program replaces a file: the bytes go to a new file beside it, which is
// flushed and checked, synced to the medium, and only then renamed over the name. Any
// failure (a full disk, a folder that cannot be written, a medium pulled out) leaves the
// old file whole. A name that stands for something other than a regular file (a FIFO, a
// device, a folder, a link to one of them) is never written nor replaced.
namespace AtomicFile {

// False when the file could not be replaced; the caller reports it.
bool write(const QString& path, QByteArrayView bytes);

} // namespace AtomicFile

} // namespace fw
