#include "fw/InputFile.h"

#include <QFile>

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

bool open(QFile& file, const QString& path)
{
    const int fd = openRegular(path);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

// At most maxBytes from the file's start; none on a read error. Read to the end, not by the
// size: a file may grow while it is read, and some (in /proc) tell no size at all.
std::optional<QByteArray> readUpTo(QFile& file, qint64 maxBytes)
{
    QByteArray bytes;
    bytes.reserve(qMin(file.size(), maxBytes));
    char block[64 * 1024];
    while (bytes.size() < maxBytes) {
        const qint64 count = file.read(block, qMin<qint64>(sizeof block, maxBytes - bytes.size()));
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        bytes.append(block, count);
    }
    return bytes;
}

} // namespace

bool opens(const QString& path)
{
    const int fd = openRegular(path);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

std::optional<QByteArray> read(const QString& path, qint64 maxBytes)
{
    QFile file;
    if (!open(file, path) || file.size() > maxBytes)
        return std::nullopt;
    // One byte past the limit tells a file that grew beyond it.
    std::optional<QByteArray> bytes = readUpTo(file, maxBytes + 1);
    if (!bytes || bytes->size() > maxBytes)
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> readHead(const QString& path, qint64 maxBytes)
{
    QFile file;
    if (!open(file, path))
        return std::nullopt;
    return readUpTo(file, maxBytes);
}

} // namespace fw::InputFile
