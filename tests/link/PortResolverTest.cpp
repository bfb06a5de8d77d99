#include "link/PortResolver.h"

#include "tests/support/DamagedFiles.h"
#include "tests/support/TestApplication.h"
#include "tests/support/Watchdog.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

void touch(const QString& path, const QByteArray& content = QByteArray())
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A computer of the test's making: device nodes (plain files suffice for the listing) and the
// UART type of each ttyS.
class PortResolverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        roots.devices = app.tempPath("dev");
        roots.ttyClass = app.tempPath("class-tty");
        QDir().mkpath(roots.devices);
        QDir().mkpath(roots.ttyClass);
    }

    void addDevice(const QString& name, std::optional<int> uartType = std::nullopt)
    {
        touch(roots.devices + '/' + name);
        if (uartType) {
            QDir().mkpath(roots.ttyClass + '/' + name);
            touch(roots.ttyClass + '/' + name + "/type", QByteArray::number(*uartType) + '\n');
        }
    }

    QString dev(const QString& name) const { return roots.devices + '/' + name; }

    TestApplication app;
    PortResolver::Roots roots;
};

TEST_F(PortResolverTest, PortNumbersAreTheDigitsAfterTheFirstThreeCharacters)
{
    const std::pair<QString, int> cases[] = {{"COM1", 1}, {"COM10", 10}, {"COM", 0},   {"", 0},
                                             {"COM3x", 3}, {"COMx", 0},  {"XYZ12", 12}};
    for (const auto& [name, number] : cases)
        EXPECT_EQ(PortResolver::portNumber(name), number) << name.toStdString();
}

TEST_F(PortResolverTest, SerialDevicesAreListedInComOrderAndTtySOnlyWithAUart)
{
    addDevice("ttyS0", 4);
    addDevice("ttyS1", 0); // no UART behind it
    addDevice("ttyS10", 4);
    addDevice("ttyS2", 4);
    addDevice("ttyS3");    // no description at all
    addDevice("ttyACM1");
    addDevice("ttyUSB0");
    addDevice("ttyUSB12");
    addDevice("tty1");
    addDevice("console");
    addDevice("ttySx");

    EXPECT_EQ(PortResolver::findSerialDevices(roots),
              (QStringList{dev("ttyS0"), dev("ttyS2"), dev("ttyS10"), dev("ttyUSB0"), dev("ttyUSB12"), dev("ttyACM1")}));
}

TEST_F(PortResolverTest, ComNIsTheConfiguredPathElseTheNthDevice)
{
    const QStringList found{"/dev/ttyS0", "/dev/ttyUSB0"};
    struct Case {
        int n;
        QString configured;
        QString path;
    };
    for (const Case& c : {Case{1, "", "/dev/ttyS0"}, Case{2, "", "/dev/ttyUSB0"}, Case{3, "", ""},
                          Case{0, "", ""}, Case{-1, "", ""}, Case{1, "/dev/pts/4", "/dev/pts/4"},
                          Case{7, "/dev/ttyACM3", "/dev/ttyACM3"}})
        EXPECT_EQ(PortResolver::resolve(c.n, c.configured, found), c.path) << c.n;
}

TEST_F(PortResolverTest, TheProfileNamesAPortBeforeTheDevicesFound)
{
    addDevice("ttyS0", 4);
    addDevice("ttyUSB0");
    app.profile().WriteString("Puertos", "COM2", "/dev/pts/9");
    const PortResolver resolver(app.profile(), roots);
    EXPECT_EQ(resolver.devicePath("COM1"), dev("ttyS0"));
    EXPECT_EQ(resolver.devicePath("COM2"), "/dev/pts/9");
    EXPECT_EQ(resolver.devicePath("COM3"), "");
}

} // namespace

TEST_F(PortResolverTest, ATtySWhoseTypeIsNoRegularFileHasNoUartAndIsNeverWaitedFor)
{
    for (const DamagedFiles::Unreadable& c : DamagedFiles::NotRegularFiles()) {
        const std::string what = c.what.toStdString();
        QDir(roots.ttyClass + "/ttyS0").removeRecursively();
        QDir().mkpath(roots.ttyClass + "/ttyS0");
        ASSERT_TRUE(c.make(roots.ttyClass + "/ttyS0/type")) << what;
        touch(dev("ttyS0"));
        const Watchdog bound(what);
        EXPECT_EQ(PortResolver::findSerialDevices(roots), QStringList()) << what;
    }
}
