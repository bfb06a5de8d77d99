#include "export/UsbDeviceLocator.h"

#include "export/UsbDeviceId.h"
#include "fw/InputFile.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A sysfs attribute without its line end; none when it cannot be read.
std::optional<QByteArray> readAttribute(const QString& entry, const QString& name)
{
    std::optional<QByteArray> value =
        fw::InputFile::read(entry + QLatin1Char('/') + name, fw::InputFile::MaxSysfsAttributeBytes);
    if (!value)
        return std::nullopt;
    while (value->endsWith('\n'))
        value->chop(1);
    return value;
}

std::optional<UsbDeviceLocator::DeviceNumber> parseDeviceNumber(const QByteArray& text)
{
    const QList<QByteArray> parts = text.trimmed().split(':');
    if (parts.size() != 2)
        return std::nullopt;
    bool majorOk = false;
    bool minorOk = false;
    UsbDeviceLocator::DeviceNumber number{parts[0].toUInt(&majorOk), parts[1].toUInt(&minorOk)};
    if (!majorOk || !minorOk)
        return std::nullopt;
    return number;
}

std::optional<QString> canonical(const QString& path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    if (resolved.isEmpty())
        return std::nullopt;
    return resolved;
}

bool isPartition(const QString& entry) { return QFileInfo::exists(entry + QStringLiteral("/partition")); }

// A folder below root, each component matched exactly first, else regardless of letter case
// (media written on Windows hold any case). The path as it exists, or none.
std::optional<QString> findFolder(const QString& root, const QString& relative)
{
    QString path = root;
    for (const QString& component : relative.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        const QDir dir(path);
        if (QFileInfo(dir.filePath(component)).isDir()) {
            path = dir.filePath(component);
            continue;
        }
        const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
        const auto match = std::find_if(entries.begin(), entries.end(), [&component](const QString& entry) {
            return entry.compare(component, Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return std::nullopt;
        path = dir.filePath(*match);
    }
    return path;
}

} // namespace

UsbDeviceLocator::UsbDeviceLocator(QString sysfsRoot, QString mountList)
    : m_sysfsRoot(std::move(sysfsRoot))
    , m_mountList(std::move(mountList))
{
}

bool UsbDeviceLocator::FindDevice(QString& folder) const
{
    const std::optional<QByteArray> list = fw::InputFile::read(m_mountList, MaxMountListBytes);
    if (!list)
        return false;
    for (const MountInfo::Volume& volume : MountInfo::parse(*list)) {
        const std::optional<QString> disk = diskOf(volume);
        if (!disk || readAttribute(*disk, QStringLiteral("removable")) != QByteArray("1"))
            continue;
        const std::optional<QString> found = findFolder(volume.mountPoint, folder);
        if (found && GetDeviceSerial(volume) >= 0) {
            folder = *found;
            return true;
        }
    }
    return false;
}

qint32 UsbDeviceLocator::GetDeviceSerial(const MountInfo::Volume& volume) const
{
    constexpr qint32 NoDiskNumber = -1;
    constexpr qint32 NotTheDevice = -2;
    const std::optional<QString> disk = diskOf(volume);
    if (!disk)
        return NoDiskNumber;
    const std::optional<QByteArray> dev = readAttribute(*disk, QStringLiteral("dev"));
    const std::optional<DeviceNumber> number = dev ? parseDeviceNumber(*dev) : std::nullopt;
    if (!number)
        return NoDiskNumber;
    const std::optional<QString> instance = FindDiskDevInst(*number);
    const std::optional<QByteArray> id = instance ? deviceId(*instance) : std::nullopt;
    if (!id || !UsbDeviceId::namesProgrammingDevice(*id))
        return NotTheDevice;
    return UsbDeviceId::serialField(*id);
}

std::optional<QString> UsbDeviceLocator::FindDiskDevInst(DeviceNumber number) const
{
    const std::optional<QString> entry =
        canonical(QStringLiteral("%1/dev/block/%2:%3").arg(m_sysfsRoot).arg(number.major).arg(number.minor));
    if (!entry || isPartition(*entry))
        return std::nullopt;
    return entry;
}

std::optional<QString> UsbDeviceLocator::blockEntryOf(const MountInfo::Volume& volume) const
{
    if (volume.major != 0)
        return canonical(QStringLiteral("%1/dev/block/%2:%3").arg(m_sysfsRoot).arg(volume.major).arg(volume.minor));
    // FUSE file systems (exFAT, NTFS) report major 0; their source may still name the device.
    if (!volume.source.startsWith(QStringLiteral("/dev/")))
        return std::nullopt;
    const QString name = QFileInfo(volume.source).fileName();
    if (name.isEmpty())
        return std::nullopt;
    return canonical(m_sysfsRoot + QStringLiteral("/class/block/") + name);
}

std::optional<QString> UsbDeviceLocator::diskOf(const MountInfo::Volume& volume) const
{
    const std::optional<QString> entry = blockEntryOf(volume);
    if (!entry || !isPartition(*entry))
        return entry;
    return canonical(QFileInfo(*entry).path());
}

std::optional<QByteArray> UsbDeviceLocator::deviceId(const QString& disk) const
{
    const QString device = disk + QStringLiteral("/device");
    const std::optional<QByteArray> vendor = readAttribute(device, QStringLiteral("vendor"));
    const std::optional<QByteArray> model = readAttribute(device, QStringLiteral("model"));
    const std::optional<QByteArray> revision = readAttribute(device, QStringLiteral("rev"));
    if (!vendor || !model || !revision)
        return std::nullopt;
    // The serial is the USB device's, the nearest entry above the disk with a vendor id.
    QByteArray serial;
    const QString top = canonical(m_sysfsRoot).value_or(m_sysfsRoot);
    for (QString entry = QFileInfo(disk).path(); entry.startsWith(top + QLatin1Char('/'));
         entry = QFileInfo(entry).path()) {
        if (QFileInfo::exists(entry + QStringLiteral("/idVendor"))) {
            serial = readAttribute(entry, QStringLiteral("serial")).value_or(QByteArray());
            break;
        }
    }
    return UsbDeviceId::compose(*vendor, *model, *revision, serial);
}
