#include "fw/AtomicFile.h"

#include "fw/ReplacementFile.h"

#include <unistd.h>

#include <cerrno>

namespace fw::AtomicFile {

namespace {

// Every byte, or false at the first write that fails (a full disk takes a short write, then
// an error).
bool writeAll(int fd, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

} // namespace

bool write(const QString& path, QByteArrayView bytes)
{
    ReplacementFile file(path);
    return file.open() && writeAll(file.handle(), bytes) && file.commit();
}

} // namespace fw::AtomicFile
