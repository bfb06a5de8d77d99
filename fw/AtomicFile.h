#pragma once

#include <QByteArrayView>
#include <QString>

namespace fw {

// The one way the program replaces a file: the bytes go to a new file beside it, which is
// checked, synced to the medium, and only then renamed over the name, and the folder is synced
// after the rename (fw::ReplacementFile). The new file keeps the old one's mode, group and
// owner as far as the process may set them. A failure before the rename (a full disk, a
// folder that cannot be written, a medium pulled out) leaves the old file whole. A name that
// stands for something other than a regular file (a FIFO, a device, a folder, a link to one
// of them), or for a file the user may not write, is never written nor replaced. A link is
// followed as the system follows it when it opens the name.
namespace AtomicFile {

// False when the file could not be replaced, or when the folder could not be synced after the
// rename (the new file is then in place but perhaps not on the medium); the caller reports it.
bool write(const QString& path, QByteArrayView bytes);

} // namespace AtomicFile

} // namespace fw
