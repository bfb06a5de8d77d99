#include "tests/support/DescriptorPath.h"

#include <QByteArray>
#include <QFile>

#include <climits>

#include <unistd.h>

QString descriptorPath(int fd)
{
    char name[PATH_MAX];
    const QByteArray link = "/proc/self/fd/" + QByteArray::number(fd);
    const ssize_t length = ::readlink(link.constData(), name, sizeof name);
    return length > 0 ? QFile::decodeName(QByteArray(name, length)) : QString();
}
