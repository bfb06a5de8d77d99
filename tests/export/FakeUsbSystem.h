#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <optional>

// A sysfs tree and a mount list in a temporary folder, shaped as the kernel lays them out
// for USB sticks and fixed disks, with folders standing for the mounted media.
class FakeUsbSystem {
public:
    struct Disk {
        QString name = QStringLiteral("sdb");
        quint32 major = 8;
        quint32 minor = 16;
        bool removable = true;
        // SCSI inquiry fields, padded with blanks as the kernel gives them.
        std::optional<QByteArray> vendor = QByteArray("PEMVORA ");
        QByteArray model = "QUORVANEL       ";
        QByteArray revision = "1.00";
        // The USB device's serial; none: the device has no serial attribute.
        std::optional<QByteArray> serial = QByteArray("975");
        // Below a USB device; false: an internal disk on a SATA host.
        bool usb = true;
    };

    FakeUsbSystem();

    QString sysfsRoot() const { return m_root + QStringLiteral("/sys"); }
    QString mountList() const { return m_root + QStringLiteral("/mountinfo"); }

    // A disk with one partition (minor + 1, name + "1").
    void addDisk(const Disk& disk);
    // A folder standing for a mounted medium; the relative folders given are made in it.
    QString addMedium(const QString& name, const QStringList& folders = {});
    void addMount(quint32 major, quint32 minor, const QString& mountPoint, const QString& source = QStringLiteral("/dev/sdb1"));
    // A line of the list as it stands.
    void addMountLine(const QByteArray& line);

private:
    void writeAttribute(const QString& entry, const QString& name, const QByteArray& value);
    void link(const QString& target, const QString& linkName);

    QTemporaryDir m_dir;
    QString m_root;
    int m_nextHost = 1;
    int m_nextMountId = 30;
};
