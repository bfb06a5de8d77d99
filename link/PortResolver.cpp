#include "link/PortResolver.h"

#include "fw/InputFile.h"
#include "fw/Profile.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>

#include <sys/stat.h>

namespace {

const QString PortsSection = QStringLiteral("Puertos");

// A ttyS device exists for every possible UART; its type is 0 when no UART answers there.
bool hasUart(const QString& ttyClass, const QString& name)
{
    const std::optional<QByteArray> type =
        fw::InputFile::read(ttyClass + QLatin1Char('/') + name + QStringLiteral("/type"), fw::InputFile::MaxSysfsAttributeBytes);
    if (!type)
        return false;
    bool ok = false;
    const int value = type->trimmed().toInt(&ok);
    return ok && value != 0;
}

} // namespace

PortResolver::PortResolver(const fw::Profile& profile)
    : PortResolver(profile, Roots())
{
}

PortResolver::PortResolver(const fw::Profile& profile, Roots roots)
    : m_profile(profile)
    , m_roots(std::move(roots))
{
}

QString PortResolver::devicePath(const QString& portName) const
{
    const int n = portNumber(portName);
    const QString configured = m_profile.GetString(PortsSection, QStringLiteral("COM%1").arg(n));
    if (!configured.isEmpty())
        return configured;
    return resolve(n, QString(), findSerialDevices(m_roots));
}

bool PortResolver::exists(const QString& portName) const
{
    const QString path = devicePath(portName);
    struct stat info{};
    return !path.isEmpty() && ::stat(path.toLocal8Bit().constData(), &info) == 0 && S_ISCHR(info.st_mode);
}

int PortResolver::portNumber(const QString& portName)
{
    // As atoi: the leading digits, 0 when there are none.
    const QString rest = portName.mid(3);
    qsizetype digits = 0;
    while (digits < rest.size() && digits < 9 && rest.at(digits).isDigit())
        ++digits;
    return rest.left(digits).toInt();
}

QString PortResolver::resolve(int n, const QString& configured, const QStringList& devicesFound)
{
    if (!configured.isEmpty())
        return configured;
    if (n < 1 || n > devicesFound.size())
        return QString();
    return devicesFound.at(n - 1);
}

QStringList PortResolver::findSerialDevices(const Roots& roots)
{
    static const QRegularExpression pattern(QStringLiteral("^tty(S|USB|ACM)(\\d{1,6})$"));
    static const QStringList kinds{QStringLiteral("S"), QStringLiteral("USB"), QStringLiteral("ACM")};
    struct Found {
        int kind;
        int number;
        QString name;
    };
    std::vector<Found> found;
    const QDir devices(roots.devices);
    for (const QString& name : devices.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot)) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const int kind = int(kinds.indexOf(match.captured(1)));
        if (kind == 0 && !hasUart(roots.ttyClass, name))
            continue;
        found.push_back({kind, match.captured(2).toInt(), name});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return std::tie(a.kind, a.number) < std::tie(b.kind, b.number); });
    QStringList paths;
    for (const Found& device : found)
        paths.append(devices.filePath(device.name));
    return paths;
}
