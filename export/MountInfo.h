#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The mounts of a mountinfo list (/proc/self/mountinfo), in its order: the order in which the
// locator looks at volumes, as Windows lists drive letters.
namespace MountInfo {

struct Volume {
    quint32 major = 0;
    quint32 minor = 0;
    QString mountPoint;
    // What was mounted: a block device's path for most file systems, a name for the rest.
    QString source;
};

// Lines that do not have the list's shape are skipped. The octal escapes the kernel writes for
// blanks, tabs, line breaks and backslashes (\040 and so on) are decoded.
QList<Volume> parse(const QByteArray& list);
QByteArray unescape(const QByteArray& field);

} // namespace MountInfo
