#include "export/MountInfo.h"
#include "export/UsbDeviceId.h"
#include "export/UsbDeviceLocator.h"
#include "tests/export/FakeUsbSystem.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/Watchdog.h"

#include <gtest/gtest.h>

#include <QDir>

namespace {

const QString Folder = QString::fromLatin1(UsbDeviceLocator::DeviceFolder);

class Locator : public ::testing::Test {
protected:
    UsbDeviceLocator locator() const { return UsbDeviceLocator(system.sysfsRoot(), system.mountList()); }
    // The folder FindDevice gives, or "" when it finds nothing (the folder must then be unchanged).
    QString find() const
    {
        QString folder = Folder;
        if (!locator().FindDevice(folder)) {
            EXPECT_EQ(folder, Folder);
            return QString();
        }
        return folder;
    }
    // A USB stick sdX of major 8 with its one partition mounted, the device's folder on it.
    QString mountStick(const QString& name, quint32 minor, FakeUsbSystem::Disk disk = {},
                       const QStringList& folders = {QStringLiteral("DATA/PROGMAQ")})
    {
        disk.name = name;
        disk.minor = minor;
        system.addDisk(disk);
        const QString medium = system.addMedium(name.toUpper(), folders);
        system.addMount(8, minor + 1, medium, QStringLiteral("/dev/") + name + QLatin1Char('1'));
        return medium;
    }

    FakeUsbSystem system;
};

} // namespace

TEST(UsbDeviceId, SerialFieldIsReadAsAtoiBetweenTheBackslashAfterRevAndTheNextAmpersand)
{
    const struct {
        const char* id;
        qint32 serial;
    } cases[] = {
        {"USBSTOR\\DISK&VEN_PEMVORA&PROD_QUORVANEL&REV_1.00\\975&0", 975},
        {"USBSTOR\\DISK&VEN_PEMVORA&PROD_QUORVANEL\\975&0", 0},        // no "REV"
        {"USBSTOR\\DISK&VEN_PEMVORA&PROD_QUORVANEL&REV_1.00", 0},      // no backslash after it
        {"USBSTOR\\DISK&VEN_PEMVORA&PROD_QUORVANEL&REV_1.00\\975", 0}, // no '&' after that
        {"X&REV_1\\ 42x&0", 42},
        {"X&REV_1\\-5&0", -5},
        {"X&REV_1\\+7&0", 7},
        {"X&REV_1\\abc&0", 0},
        {"X&REV_1\\&0", 0},
        {"X&REV_1\\99999999999&0", 2147483647},
        {"REV\\12&", 12},
        // The backslash before "REV" does not count; the first one at or after it does.
        {"A\\5&REV\\6&", 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UsbDeviceId::serialField(c.id), c.serial) << c.id;
}

TEST(UsbDeviceId, BothNamesInUpperCaseConfirmTheDevice)
{
    const struct {
        const char* id;
        bool confirmed;
    } cases[] = {
        {"USBSTOR\\DISK&VEN_PEMVORA&PROD_QUORVANEL&REV_1.00\\975&0", true},
        {"USBSTOR\\DISK&VEN_XPEMVORAX&PROD_MYQUORVANEL2&REV_1.00\\1&0", true},
        {"QUORVANEL PEMVORA", true},
        {"USBSTOR\\DISK&VEN_pemvora&PROD_quorvanel&REV_1.00\\975&0", false},
        {"USBSTOR\\DISK&VEN_PEMVORA&PROD_FLASH&REV_1.00\\975&0", false},
        {"USBSTOR\\DISK&VEN_KINGSTON&PROD_QUORVANEL&REV_1.00\\975&0", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UsbDeviceId::namesProgrammingDevice(c.id), c.confirmed) << c.id;
}

TEST(UsbDeviceId, IsComposedAsWindowsComposesIt)
{
    EXPECT_EQ(UsbDeviceId::compose("PEMVORA ", "QUORVANEL       ", "1.00", "975"),
              "USBSTOR\\DISK&VEN_PEMVORA&PROD_QUORVANEL&REV_1.00\\975&0");
    EXPECT_EQ(UsbDeviceId::compose("Pemvora", "Quorvanel Prog  ", "1.0a", ""),
              "USBSTOR\\DISK&VEN_PEMVORA&PROD_QUORVANEL_PROG&REV_1.0A\\0&0");
}

TEST(MountInfo, ReadsEveryMountInOrderWithItsEscapesDecoded)
{
    const QByteArray list = "22 1 0:21 / /proc rw,nosuid - proc proc rw\n"
                            "35 22 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
                            "61 35 8:17 / /media/u/MI\\040STICK\\134X rw shared:40 master:2 - vfat /dev/sdb1 rw\n"
                            "62 35 0:55 / /media/u/EXFAT rw - fuseblk /dev/sdc1 rw\n"
                            "broken line\n"
                            "63 35 8:x / /bad rw - vfat /dev/sdd1 rw\n"
                            "64 35 8:33 / /no/separator rw vfat /dev/sdd1 rw\n"
                            "\n"
                            "65 35 8:49 /sub /media/u/tab\\011 rw - vfat /dev/sde1 rw";
    const QList<MountInfo::Volume> volumes = MountInfo::parse(list);
    ASSERT_EQ(volumes.size(), 5);
    EXPECT_EQ(volumes[0].major, 0u);
    EXPECT_EQ(volumes[0].source, QStringLiteral("proc"));
    EXPECT_EQ(volumes[1].mountPoint, QStringLiteral("/"));
    EXPECT_EQ(volumes[2].major, 8u);
    EXPECT_EQ(volumes[2].minor, 17u);
    EXPECT_EQ(volumes[2].mountPoint, QStringLiteral("/media/u/MI STICK\\X"));
    EXPECT_EQ(volumes[2].source, QStringLiteral("/dev/sdb1"));
    EXPECT_EQ(volumes[3].major, 0u);
    EXPECT_EQ(volumes[3].minor, 55u);
    EXPECT_EQ(volumes[3].source, QStringLiteral("/dev/sdc1"));
    EXPECT_EQ(volumes[4].source, QStringLiteral("/dev/sde1"));
    EXPECT_EQ(volumes[4].mountPoint, QStringLiteral("/media/u/tab\t"));
    // A backslash that starts no escape stays.
    EXPECT_EQ(MountInfo::unescape("a\\b\\04\\0400"), QByteArray("a\\b\\04 0"));
}

TEST_F(Locator, FindsTheDeviceFolderOnTheStick)
{
    const QString medium = mountStick(QStringLiteral("sdb"), 16);
    EXPECT_EQ(find(), medium + QStringLiteral("/DATA/PROGMAQ"));
}

TEST_F(Locator, TakesTheFolderInTheMediumsOwnCase)
{
    const QString medium = mountStick(QStringLiteral("sdb"), 16, {}, {QStringLiteral("data/ProgMaq")});
    EXPECT_EQ(find(), medium + QStringLiteral("/data/ProgMaq"));
}

TEST_F(Locator, UpperCasesAMixedCaseVendorAsWindowsDoes)
{
    FakeUsbSystem::Disk disk;
    disk.vendor = "Pemvora ";
    disk.model = "Quorvanel Prog  ";
    disk.serial = "12";
    const QString medium = mountStick(QStringLiteral("sdb"), 16, disk);
    EXPECT_EQ(find(), medium + QStringLiteral("/DATA/PROGMAQ"));
    MountInfo::Volume volume{8, 17, medium, QStringLiteral("/dev/sdb1")};
    EXPECT_EQ(locator().GetDeviceSerial(volume), 12);
}

TEST_F(Locator, IgnoresMediaThatAreNotTheDevice)
{
    // Without the folder, on a fixed disk, with other names, with a negative serial.
    mountStick(QStringLiteral("sdb"), 16, {}, {QStringLiteral("DATA/OTHER")});
    FakeUsbSystem::Disk fixed;
    fixed.removable = false;
    fixed.usb = false;
    mountStick(QStringLiteral("sdc"), 32, fixed);
    FakeUsbSystem::Disk other;
    other.vendor = "KINGSTON";
    mountStick(QStringLiteral("sdd"), 48, other);
    FakeUsbSystem::Disk negative;
    negative.serial = "-5";
    mountStick(QStringLiteral("sde"), 64, negative);
    EXPECT_EQ(find(), QString());

    // A device after all of them is found.
    const QString medium = mountStick(QStringLiteral("sdf"), 80);
    EXPECT_EQ(find(), medium + QStringLiteral("/DATA/PROGMAQ"));
}

TEST_F(Locator, TakesTheFirstOfTwoDevicesInMountOrder)
{
    const QString first = mountStick(QStringLiteral("sdc"), 32);
    mountStick(QStringLiteral("sdb"), 16);
    EXPECT_EQ(find(), first + QStringLiteral("/DATA/PROGMAQ"));
}

TEST_F(Locator, FindsAWholeDiskMount)
{
    system.addDisk({});
    const QString medium = system.addMedium(QStringLiteral("WHOLE"), {Folder});
    system.addMount(8, 16, medium, QStringLiteral("/dev/sdb"));
    EXPECT_EQ(find(), medium + QLatin1Char('/') + Folder);
}

TEST_F(Locator, ResolvesAMajorZeroMountThroughItsDeviceSource)
{
    system.addDisk({});
    const QString tmp = system.addMedium(QStringLiteral("TMP"), {Folder});
    system.addMount(0, 40, tmp, QStringLiteral("tmpfs"));
    const QString medium = system.addMedium(QStringLiteral("EXFAT"), {Folder});
    system.addMount(0, 55, medium, QStringLiteral("/dev/sdb1"));
    EXPECT_EQ(find(), medium + QLatin1Char('/') + Folder);
}

TEST_F(Locator, FindsAMountPointWithABlank)
{
    system.addDisk({});
    const QString medium = system.addMedium(QStringLiteral("MI STICK"), {Folder});
    system.addMount(8, 17, medium);
    EXPECT_EQ(find(), medium + QLatin1Char('/') + Folder);
}

TEST_F(Locator, ADeviceWithoutSerialIsConfirmedWithSerialZero)
{
    FakeUsbSystem::Disk disk;
    disk.serial.reset();
    const QString medium = mountStick(QStringLiteral("sdb"), 16, disk);
    EXPECT_EQ(locator().GetDeviceSerial({8, 17, medium, QStringLiteral("/dev/sdb1")}), 0);
    EXPECT_EQ(find(), medium + QLatin1Char('/') + Folder);
}

TEST_F(Locator, GetDeviceSerialTellsAMissingDiskFromAnUnreadableId)
{
    FakeUsbSystem::Disk noVendor;
    noVendor.vendor.reset();
    mountStick(QStringLiteral("sdb"), 16, noVendor);
    FakeUsbSystem::Disk other;
    other.model = "FLASH";
    mountStick(QStringLiteral("sdc"), 32, other);
    mountStick(QStringLiteral("sdd"), 48);

    const UsbDeviceLocator l = locator();
    EXPECT_EQ(l.GetDeviceSerial({8, 99, {}, {}}), -1);
    EXPECT_EQ(l.GetDeviceSerial({0, 5, {}, QStringLiteral("/dev/sdz1")}), -1);
    EXPECT_EQ(l.GetDeviceSerial({0, 5, {}, QStringLiteral("proc")}), -1);
    EXPECT_EQ(l.GetDeviceSerial({8, 17, {}, {}}), -2);
    EXPECT_EQ(l.GetDeviceSerial({8, 33, {}, {}}), -2);
    EXPECT_EQ(l.GetDeviceSerial({8, 49, {}, {}}), 975);
    EXPECT_EQ(l.GetDeviceSerial({8, 48, {}, {}}), 975); // the whole disk

    // Only whole disks are found by number.
    const std::optional<QString> disk = l.FindDiskDevInst({8, 48});
    ASSERT_TRUE(disk.has_value());
    EXPECT_TRUE(disk->endsWith(QStringLiteral("/block/sdd"))) << disk->toStdString();
    EXPECT_FALSE(l.FindDiskDevInst({8, 49}).has_value());
    EXPECT_FALSE(l.FindDiskDevInst({8, 99}).has_value());
}

TEST_F(Locator, FindsNothingWithoutMountsOrSysfs)
{
    EXPECT_EQ(find(), QString());

    // Mounted, but no sysfs, or no mount list at all.
    const QString medium = system.addMedium(QStringLiteral("STICK"), {Folder});
    system.addMount(8, 17, medium);
    EXPECT_EQ(find(), QString());
    QString folder = Folder;
    EXPECT_FALSE(UsbDeviceLocator(system.sysfsRoot() + QStringLiteral("/missing"), system.mountList()).FindDevice(folder));
    EXPECT_FALSE(UsbDeviceLocator(system.sysfsRoot(), system.mountList() + QStringLiteral(".missing")).FindDevice(folder));
    EXPECT_EQ(folder, Folder);
}

TEST_F(Locator, AMountListThatIsNoRegularFileOrTooLargeFindsNothingAndIsNeverWaitedFor)
{
    mountStick(QStringLiteral("sdb"), 16);
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::UnreadableFiles(UsbDeviceLocator::MaxMountListBytes)) {
        const std::string what = c.what.toStdString();
        const QString list = system.mountList() + QString::number(++n);
        ASSERT_TRUE(c.make(list)) << what;
        QString folder = Folder;
        const Watchdog bound(what);
        EXPECT_FALSE(UsbDeviceLocator(system.sysfsRoot(), list).FindDevice(folder)) << what;
        EXPECT_EQ(folder, Folder) << what;
    }
}
