#include "link/SerialPort.h"

#include "tests/support/PtyPair.h"
#include "tests/support/TestApplication.h"

#include <QElapsedTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <thread>

namespace {

const QString Port = QStringLiteral("COM7");

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.isOpen());
        app.profile().WriteString("Puertos", Port, pty.slavePath());
    }

    // Reads once and reports how long it took.
    qint64 timedRead(quint32 wanted, QByteArray& got)
    {
        got.resize(wanted);
        quint32 count = 0;
        QElapsedTimer timer;
        timer.start();
        EXPECT_TRUE(port.Read(reinterpret_cast<quint8*>(got.data()), wanted, count));
        got.resize(count);
        return timer.elapsed();
    }

    void settle() { std::this_thread::sleep_for(std::chrono::milliseconds(20)); }

    TestApplication app;
    PtyPair pty;
    SerialPort port;
};

TEST_F(SerialPortTest, OpensTheLineRawAtNineThousandSixHundredEightBitsNoParity)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.devicePath(), pty.slavePath());
    const termios line = pty.lineSettings();
    EXPECT_EQ(cfgetospeed(&line), speed_t(B9600));
    EXPECT_EQ(cfgetispeed(&line), speed_t(B9600));
    EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(line.c_cflag & (PARENB | CSTOPB | CRTSCTS), 0u);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP), 0u);
    EXPECT_EQ(line.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(line.c_oflag & OPOST, 0u);
    EXPECT_TRUE(app.messages().shown().isEmpty());

    port.SetTwoStopBits();
    EXPECT_NE(pty.lineSettings().c_cflag & CSTOPB, 0u);
}

TEST_F(SerialPortTest, TwoStopBitsFollowTheProfile)
{
    for (const auto& [value, twoBits] : {std::pair{0, false}, {1, true}, {2, true}}) {
        app.profile().WriteInt("GlobalCom", "UseTwoBits", value);
        ASSERT_TRUE(port.Open(Port, true, 9600));
        EXPECT_EQ((pty.lineSettings().c_cflag & CSTOPB) != 0, twoBits) << "UseTwoBits " << value;
        port.Close();
    }
}

TEST_F(SerialPortTest, EveryByteValuePassesUnchangedBothWays)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));

    ASSERT_TRUE(port.Write(all));
    EXPECT_EQ(pty.read(256, 2000), all);

    ASSERT_TRUE(pty.write(all));
    settle();
    QByteArray got;
    timedRead(256, got);
    EXPECT_EQ(got, all);
}

TEST_F(SerialPortTest, ReadsEndByTheirTimeOuts)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    QByteArray got;

    // Silent line, one byte: 4 + 40 ms.
    qint64 elapsed = timedRead(1, got);
    EXPECT_TRUE(got.isEmpty());
    EXPECT_GE(elapsed, 40);
    EXPECT_LT(elapsed, 300);

    // Silent line, ten bytes: 40 + 40 ms.
    elapsed = timedRead(10, got);
    EXPECT_TRUE(got.isEmpty());
    EXPECT_GE(elapsed, 75);
    EXPECT_LT(elapsed, 350);

    // Everything wanted is there: back at once.
    ASSERT_TRUE(pty.write("0123456789"));
    settle();
    elapsed = timedRead(10, got);
    EXPECT_EQ(got, "0123456789");
    EXPECT_LT(elapsed, 40);
}

TEST_F(SerialPortTest, AGapAfterTheFirstBytesEndsTheReadAtTheInterval)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    ASSERT_TRUE(pty.write("abc"));
    settle();
    std::thread late([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(70));
        pty.write("def");
    });
    QByteArray got;
    const qint64 elapsed = timedRead(10, got);
    late.join();
    // 50 ms after the last byte, before the total of 80 ms would let the late bytes in.
    EXPECT_EQ(got, "abc");
    EXPECT_GE(elapsed, 45);
}

// What has come is taken at once, up to the capacity; a silent line gives nothing after the
// wait; a hang-up fails the read.
TEST_F(SerialPortTest, ReadSomeTakesWhatHasComeWithoutWaitingForMore)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    std::array<quint8, 8> buffer{};
    quint32 count = 99;
    QElapsedTimer timer;
    timer.start();
    EXPECT_TRUE(port.ReadSome(buffer.data(), quint32(buffer.size()), count, 30));
    EXPECT_EQ(count, 0u);
    EXPECT_GE(timer.elapsed(), 25);

    ASSERT_TRUE(pty.write("abcdef"));
    settle();
    timer.restart();
    EXPECT_TRUE(port.ReadSome(buffer.data(), 4, count, 1000));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), int(count)), "abcd");
    EXPECT_TRUE(port.ReadSome(buffer.data(), quint32(buffer.size()), count, 0));
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(buffer.data()), int(count)), "ef");
    EXPECT_LT(timer.elapsed(), 500);

    pty.closeMaster();
    EXPECT_FALSE(port.ReadSome(buffer.data(), quint32(buffer.size()), count, 100));
    EXPECT_EQ(count, 0u);
}

TEST_F(SerialPortTest, TheReadTimeOutRule)
{
    const SerialPort::ReadTimeouts t;
    struct Case {
        quint32 wanted;
        qint64 sinceStart;
        std::optional<qint64> sinceLastByte;
        qint64 left;
    };
    for (const Case& c : {Case{1, 0, std::nullopt, 44}, Case{10, 0, std::nullopt, 80},
                          Case{10, 30, std::nullopt, 50}, Case{10, 30, 10, 40}, Case{10, 70, 5, 10},
                          Case{10, 60, 50, 0}, Case{1, 50, std::nullopt, -6}})
        EXPECT_EQ(SerialPort::readWaitLeft(t, c.wanted, c.sinceStart, c.sinceLastByte), c.left)
            << c.wanted << " " << c.sinceStart;
    // Without an interval only the total counts; without any time-out the read does not wait.
    EXPECT_EQ(SerialPort::readWaitLeft({0, 4, 40}, 10, 30, 29), 50);
    EXPECT_EQ(SerialPort::readWaitLeft({0, 0, 0}, 10, 0, std::nullopt), 0);
}

TEST_F(SerialPortTest, PurgeDiscardsWhatCameIn)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    ASSERT_TRUE(pty.write("stale"));
    settle();
    EXPECT_TRUE(port.PurgeRx());
    QByteArray got;
    timedRead(5, got);
    EXPECT_TRUE(got.isEmpty());
}

TEST_F(SerialPortTest, ASecondOpenIsRefused)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    EXPECT_FALSE(port.Open(Port, true, 9600));
    EXPECT_TRUE(port.IsOpen());
    ASSERT_EQ(app.messages().texts(), QStringList{"Puerto serie ya esta abierto"});

    SerialPort other;
    app.messages().clear();
    EXPECT_FALSE(other.Open(Port, true, 9600));
    EXPECT_FALSE(other.IsOpen());
    ASSERT_EQ(app.messages().shown().size(), 1);
    EXPECT_TRUE(app.messages().texts()[0].startsWith(
        "Imposible acceder al puerto serie.\nCOM7 (" + pty.slavePath() + "): "));

    // The first one still works.
    EXPECT_TRUE(port.WriteByte(0x41));
    EXPECT_EQ(pty.read(1, 1000), "A");
    port.Close();
    EXPECT_TRUE(other.Open(Port, true, 9600));
}

TEST_F(SerialPortTest, MissingAndNonTerminalDevicesFailWithTheirErrorWhenAsked)
{
    const QString plainFile = app.tempPath("not-a-port");
    QFile file(plainFile);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    app.profile().WriteString("Puertos", "COM8", app.tempPath("missing"));
    app.profile().WriteString("Puertos", "COM9", plainFile);

    struct Case {
        QString name;
        QString path;
        QString error;
    };
    for (const Case& c : {Case{"COM8", app.tempPath("missing"), "No such file or directory"},
                          Case{"COM9", plainFile, "Inappropriate ioctl for device"}}) {
        app.messages().clear();
        SerialPort quiet;
        EXPECT_FALSE(quiet.Open(c.name, false, 9600));
        EXPECT_FALSE(quiet.IsOpen());
        EXPECT_TRUE(app.messages().shown().isEmpty());

        SerialPort loud;
        EXPECT_FALSE(loud.Open(c.name, true, 9600));
        EXPECT_FALSE(loud.IsOpen());
        ASSERT_EQ(app.messages().shown().size(), 1) << c.name.toStdString();
        const fw::Message& box = app.messages().shown()[0];
        EXPECT_EQ(box.text, "Imposible acceder al puerto serie.\n" + c.name + " (" + c.path + "): " + c.error);
        EXPECT_EQ(box.kind, fw::MessageKind::Framework);
        EXPECT_EQ(box.icon, fw::MessageIcon::Information);
    }
}

TEST_F(SerialPortTest, AHangUpFailsTheRead)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    pty.closeMaster();
    quint8 byte = 0;
    quint32 count = 0;
    EXPECT_FALSE(port.Read(&byte, 1, count));
    EXPECT_EQ(count, 0u);
}

TEST_F(SerialPortTest, AClosedPortNeitherReadsNorWrites)
{
    quint8 byte = 0;
    quint32 count = 0;
    EXPECT_FALSE(port.Read(&byte, 1, count));
    EXPECT_FALSE(port.WriteByte(0));
    EXPECT_FALSE(port.PurgeRx());
    EXPECT_FALSE(port.SetBreak(true));
    port.Close();
}

TEST_F(SerialPortTest, BreakOnAnOpenPort)
{
    ASSERT_TRUE(port.Open(Port, true, 9600));
    EXPECT_TRUE(port.SetBreak(true));
    EXPECT_TRUE(port.SetBreak(false));
}

TEST_F(SerialPortTest, APortExistsWhenACharacterDeviceStandsBehindIt)
{
    app.profile().WriteString("Puertos", "COM1", "/dev/null");
    app.profile().WriteString("Puertos", "COM2", app.tempPath());
    app.profile().WriteString("Puertos", "COM3", app.tempPath("missing"));
    EXPECT_TRUE(SerialPort::PortExists("COM1"));
    EXPECT_FALSE(SerialPort::PortExists("COM2"));
    EXPECT_FALSE(SerialPort::PortExists("COM3"));
    EXPECT_TRUE(SerialPort::PortExists(Port));
}

} // namespace
