#include "fw/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fw::AtomicFile {

namespace {

// Nothing there yet, or a regular file (through any links): a file that may be replaced.
bool replaceable(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT;
    return S_ISREG(status.st_mode);
}

} // namespace

bool write(const QString& path, QByteArrayView bytes)
{
    if (path.isEmpty() || !replaceable(path))
        return false;
    QSaveFile file(path);
    // Writing in place would leave half a file behind a failure.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile buffers: a failed write may only show at the flush, and commit() alone can
    // report success after it. The new file is discarded when it goes out of scope.
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush())
        return false;
    if (::fsync(file.handle()) != 0)
        return false;
    return file.commit();
}

} // namespace fw::AtomicFile
