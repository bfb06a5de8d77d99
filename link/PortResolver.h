#pragma once

#include <QString>
#include <QStringList>

namespace fw {
class Profile;
}

// Where the machine links find the port the user knows as "COMn": the path in profile value
// `Puertos`/`COMn` when set (a USB adapter, a pseudo-terminal), else the n-th serial device of
// the computer: the ttyS devices that have a UART, then ttyUSB, then ttyACM, each by number.
class PortResolver {
public:
    // Where the devices and their descriptions are looked for; tests give folders of their own.
    struct Roots {
        QString devices = QStringLiteral("/dev");
        QString ttyClass = QStringLiteral("/sys/class/tty");
    };

    // The computer's own devices.
    explicit PortResolver(const fw::Profile& profile);
    PortResolver(const fw::Profile& profile, Roots roots);

    // The device of a port name such as "COM3"; empty when there is none.
    QString devicePath(const QString& portName) const;
    // An existing character device stands behind the name (it is not opened).
    bool exists(const QString& portName) const;

    // The number formed by the characters after the first three ("COM10" gives 10, "" and
    // "COM" give 0).
    static int portNumber(const QString& portName);
    // COMn from the configured path (empty when not set) and the serial devices found, in order.
    static QString resolve(int n, const QString& configured, const QStringList& devicesFound);
    // The serial devices under the roots, in COM order.
    static QStringList findSerialDevices(const Roots& roots);

private:
    const fw::Profile& m_profile;
    Roots m_roots;
};
