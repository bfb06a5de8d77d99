#pragma once

#include "export/MountInfo.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Finds the Quorvanel programming device: among the mounted removable disks that hold the
// folder DATA/PROGMAQ, the first (in mount order) whose composed device instance id names
// both the maker and the device and carries a serial field of 0 or more. It reads sysfs and
// the mount list on each call and keeps nothing; media that are not mounted are not found.
class UsbDeviceLocator {
public:
    // The folder searched for on each medium, matched regardless of letter case.
    static constexpr const char* DeviceFolder = "DATA/PROGMAQ";
    // The largest mount list read: far above the mounts of any machine the program runs on.
    static constexpr qint64 MaxMountListBytes = 16 * 1024 * 1024;

    // A disk's device number, as its sysfs "dev" attribute gives it.
    struct DeviceNumber {
        quint32 major = 0;
        quint32 minor = 0;
    };

    explicit UsbDeviceLocator(QString sysfsRoot = QStringLiteral("/sys"),
                              QString mountList = QStringLiteral("/proc/self/mountinfo"));

    // In: a folder relative to a medium's root. True when a device was found and confirmed;
    // the folder is then that folder on the device as it exists there (the medium's own
    // letter case). False leaves it unchanged.
    bool FindDevice(QString& folder) const;
    // -1 when the volume's disk is not in sysfs, -2 when the disk's id cannot be read or does
    // not name the programming device, else the id's serial field. Callers test for >= 0.
    qint32 GetDeviceSerial(const MountInfo::Volume& volume) const;
    // The sysfs entry of the whole disk with this number, or none.
    std::optional<QString> FindDiskDevInst(DeviceNumber number) const;

private:
    // The sysfs entry of the disk a volume lives on: the parent of a partition, the entry
    // itself for a whole-disk mount. Mounts of major 0 go through a /dev source.
    std::optional<QString> diskOf(const MountInfo::Volume& volume) const;
    std::optional<QString> blockEntryOf(const MountInfo::Volume& volume) const;
    std::optional<QByteArray> deviceId(const QString& disk) const;

    QString m_sysfsRoot;
    QString m_mountList;
};
