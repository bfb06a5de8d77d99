#include "export/MountInfo.h"

namespace MountInfo {

namespace {

bool isOctal(char c) { return c >= '0' && c <= '7'; }

bool parseDeviceNumber(const QByteArray& field, Volume& volume)
{
    const QList<QByteArray> parts = field.split(':');
    if (parts.size() != 2)
        return false;
    bool majorOk = false;
    bool minorOk = false;
    volume.major = parts[0].toUInt(&majorOk);
    volume.minor = parts[1].toUInt(&minorOk);
    return majorOk && minorOk;
}

} // namespace

QByteArray unescape(const QByteArray& field)
{
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            out += char(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) | (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

// id parent MAJ:MIN root mount-point options [optional fields...] - fstype source super-options
QList<Volume> parse(const QByteArray& list)
{
    QList<Volume> volumes;
    for (const QByteArray& line : list.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        const qsizetype separator = fields.indexOf("-");
        Volume volume;
        if (fields.size() < 6 || separator < 6 || separator + 2 >= fields.size() ||
            !parseDeviceNumber(fields[2], volume))
            continue;
        volume.mountPoint = QString::fromUtf8(unescape(fields[4]));
        volume.source = QString::fromUtf8(unescape(fields[separator + 2]));
        volumes.append(volume);
    }
    return volumes;
}

} // namespace MountInfo
