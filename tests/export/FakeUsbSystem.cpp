#include "tests/export/FakeUsbSystem.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

FakeUsbSystem::FakeUsbSystem()
    : m_root(m_dir.path())
{
    QDir(m_root).mkpath(QStringLiteral("sys/dev/block"));
    QDir(m_root).mkpath(QStringLiteral("sys/class/block"));
    QFile list(mountList());
    EXPECT_TRUE(list.open(QIODevice::WriteOnly));
}

void FakeUsbSystem::addDisk(const Disk& disk)
{
    const int host = m_nextHost++;
    const QString parent = disk.usb ? QStringLiteral("%1/devices/pci0000:00/0000:00:14.0/usb2/2-%2").arg(sysfsRoot()).arg(host)
                                    : QStringLiteral("%1/devices/pci0000:00/0000:00:17.0/ata%2").arg(sysfsRoot()).arg(host);
    if (disk.usb) {
        writeAttribute(parent, QStringLiteral("idVendor"), "1d6b\n");
        if (disk.serial)
            writeAttribute(parent, QStringLiteral("serial"), *disk.serial + '\n');
    }
    const QString interface = disk.usb ? QStringLiteral("%1/2-%2:1.0").arg(parent).arg(host) : parent;
    const QString scsi = QStringLiteral("%1/host%2/target%2:0:0/%2:0:0:0").arg(interface).arg(host);
    if (disk.vendor)
        writeAttribute(scsi, QStringLiteral("vendor"), *disk.vendor + '\n');
    writeAttribute(scsi, QStringLiteral("model"), disk.model + '\n');
    writeAttribute(scsi, QStringLiteral("rev"), disk.revision + '\n');

    const QString entry = scsi + QStringLiteral("/block/") + disk.name;
    writeAttribute(entry, QStringLiteral("dev"), QByteArray::number(disk.major) + ':' + QByteArray::number(disk.minor) + '\n');
    writeAttribute(entry, QStringLiteral("removable"), disk.removable ? "1\n" : "0\n");
    link(scsi, entry + QStringLiteral("/device"));
    link(entry, QStringLiteral("%1/dev/block/%2:%3").arg(sysfsRoot()).arg(disk.major).arg(disk.minor));
    link(entry, sysfsRoot() + QStringLiteral("/class/block/") + disk.name);

    const QString partitionName = disk.name + QLatin1Char('1');
    const QString partition = entry + QLatin1Char('/') + partitionName;
    writeAttribute(partition, QStringLiteral("dev"), QByteArray::number(disk.major) + ':' + QByteArray::number(disk.minor + 1) + '\n');
    writeAttribute(partition, QStringLiteral("partition"), "1\n");
    link(partition, QStringLiteral("%1/dev/block/%2:%3").arg(sysfsRoot()).arg(disk.major).arg(disk.minor + 1));
    link(partition, sysfsRoot() + QStringLiteral("/class/block/") + partitionName);
}

QString FakeUsbSystem::addMedium(const QString& name, const QStringList& folders)
{
    const QString path = m_root + QStringLiteral("/media/") + name;
    EXPECT_TRUE(QDir().mkpath(path));
    for (const QString& folder : folders)
        EXPECT_TRUE(QDir(path).mkpath(folder));
    return path;
}

void FakeUsbSystem::addMount(quint32 major, quint32 minor, const QString& mountPoint, const QString& source)
{
    QByteArray escaped;
    for (char c : mountPoint.toUtf8()) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\')
            escaped += '\\' + QByteArray::number(quint8(c), 8).rightJustified(3, '0');
        else
            escaped += c;
    }
    addMountLine(QByteArray::number(m_nextMountId++) + " 1 " + QByteArray::number(major) + ':' +
                 QByteArray::number(minor) + " / " + escaped + " rw,nosuid,nodev,relatime shared:40 - vfat " +
                 source.toUtf8() + " rw,uid=1000");
}

void FakeUsbSystem::addMountLine(const QByteArray& line)
{
    QFile list(mountList());
    ASSERT_TRUE(list.open(QIODevice::Append));
    list.write(line + '\n');
}

void FakeUsbSystem::writeAttribute(const QString& entry, const QString& name, const QByteArray& value)
{
    ASSERT_TRUE(QDir().mkpath(entry));
    QFile file(entry + QLatin1Char('/') + name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(value);
}

void FakeUsbSystem::link(const QString& target, const QString& linkName)
{
    ASSERT_TRUE(QFile::link(target, linkName)) << linkName.toStdString();
}
