#include "fw/InputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fw::InputFile {

namespace {

// A descriptor of the path when it is a regular file, -1 otherwise. O_NONBLOCK keeps the
// open of a FIFO from waiting for a writer; it is cleared again for the reads.
int openRegular(const QString& path)
{
    if (path.isEmpty())
        return -1;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat status {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || flags < 0
        || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

bool open(QFile& file, const QString& path, QIODevice::OpenMode mode)
{
    const int fd = openRegular(path);
    if (fd < 0)
        return false;
    if (!file.open(fd, mode | QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

std::optional<QByteArray> read(const QString& path, qint64 maxBytes)
{
    QFile file;
    if (!open(file, path) || file.size() > maxBytes)
        return std::nullopt;
    QByteArray bytes;
    bytes.reserve(file.size());
    // Read to the end, not by the size: a file may grow while it is read, and some
    // (in /proc) tell no size at all.
    char block[64 * 1024];
    qint64 count;
    while ((count = file.read(block, sizeof block)) > 0) {
        if (count > maxBytes - bytes.size())
            return std::nullopt;
        bytes.append(block, count);
    }
    if (count < 0)
        return std::nullopt;
    return bytes;
}

} // namespace fw::InputFile
