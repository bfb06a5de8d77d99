#include "link/CGrabador.h"

#include "fw/Clock.h"
#include "link/SerialPort.h"
#include "tests/support/ClassicMachine.h"
#include "tests/support/FakeClock.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestBytes.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <thread>

namespace {

using Mode = ClassicMachine::Mode;
using Noise = ClassicMachine::Noise;
constexpr quint8 Stx = 0x02, Enq = 0x05, Ack = 0x06, Bel = 0x07, Nak = 0x15, Etb = 0x17;

// A line as a case sets it: instant, paced, or paced behind a USB adapter that hands the
// machine's bytes over every 16 ms.
struct Line {
    const char* name;
    int baud;
    int periodMs;
};
constexpr Line Lines[] = {{"instant", 0, 0}, {"9600 baud", 9600, 0}, {"behind a USB adapter", 9600, 16}};

// A classic machine on a pseudo-terminal known to the profile as COM3, the recorder with a
// scripted wait window and short windows.
class CGrabadorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(pty.isOpen());
        app.profile().WriteInt("Ormi", "SerialPort", 3);
        app.profile().WriteString("Puertos", "COM3", pty.slavePath());
    }

    void start(Mode mode, fw::Clock& clock = fw::Clock::System())
    {
        machine = std::make_unique<ClassicMachine>(pty.master(), mode);
        recorder = std::make_unique<CGrabador>(wait, app.profile(), clock);
        CGrabador::Timing timing;
        timing.pollsPerWindow = 8;
        timing.controlMs = 400;
        timing.blockMs = 400;
        recorder->setTiming(timing);
    }

    // Connects in record mode.
    void connectRecordMode(fw::Clock& clock = fw::Clock::System())
    {
        start(Mode::Record, clock);
        ASSERT_EQ(recorder->Conecta(&port), 2);
    }

    // The next case of a table starts with nothing shown.
    void forgetShown()
    {
        app.messages().clear();
        wait.messages.clear();
        wait.finalTexts.clear();
        wait.stops = 0;
    }

    // A case of a table ends: recorder and machine go, and so does what the line still holds.
    void endCase()
    {
        recorder.reset();
        machine.reset();
        port.PurgeRx();
        port.Close();
    }

    // The machine has seen the bytes (it reads them in its own time).
    bool lineEndsWith(const QByteArray& suffix)
    {
        for (int i = 0; i < 200 && !machine->line().endsWith(suffix); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return machine->line().endsWith(suffix);
    }

    // The failure as the user sees it: the stop box, the final text, the window stopped.
    void expectTransferError(const QString& text)
    {
        ASSERT_EQ(app.messages().shown().size(), 1) << app.messages().texts().join('|').toStdString();
        EXPECT_EQ(app.messages().shown()[0].text, text);
        EXPECT_EQ(app.messages().shown()[0].kind, fw::MessageKind::PlainStop);
        EXPECT_EQ(app.messages().shown()[0].icon, fw::MessageIcon::Stop);
        EXPECT_EQ(wait.finalTexts, QStringList{"¡¡ TRANSFERENCIA ERRONEA !!"});
        EXPECT_EQ(wait.stops, 1);
        EXPECT_TRUE(recorder->HaFallado());
    }

    TestApplication app;
    PtyPair pty;
    ScriptedWaitUi wait;
    SerialPort port;
    std::unique_ptr<ClassicMachine> machine;
    std::unique_ptr<CGrabador> recorder;
};

TEST(CGrabadorBytesTest, FramesAndRequests)
{
    EXPECT_EQ(CGrabador::frame(2, 0x2005, 0x40, bytes({0x12, 0x34})), bytes({0x02, 0x00, 0x20, 0x05, 0x40, 0x12, 0x34, 0x53}));
    EXPECT_EQ(CGrabador::frame(80, 0x2000, 0x40, {}), bytes({0x50, 0x00, 0x20, 0x00, 0x40, 0x50}));
    EXPECT_EQ(CGrabador::frame(1, 0x2100, 0x40, bytes({90})), bytes({0x01, 0x00, 0x21, 0x00, 0x40, 0x5A, 0x44}));
    EXPECT_EQ(CGrabador::CalculaChecksum({}), 0);
    EXPECT_EQ(CGrabador::CalculaChecksum(bytes({0x01})), 0xFF);
}

TEST_F(CGrabadorTest, ARecordModeMachineGetsEotAndTheRecords)
{
    connectRecordMode();
    EXPECT_EQ(recorder->portName(), "COM3");
    EXPECT_TRUE(recorder->EscribeDatos(0x20, 5, bytes({0x12, 0x34})));
    EXPECT_TRUE(recorder->EscribeByte('F', 1, 7, 1));
    ASSERT_EQ(machine->frames().size(), 2);
    EXPECT_EQ(machine->frames()[0], bytes({0x02, 0x00, 0x20, 0x05, 0x40, 0x12, 0x34, 0x53}));
    EXPECT_EQ(machine->records().value({0x20, 5}), bytes({0x12, 0x34}));
    EXPECT_EQ(machine->records().value({'F', 1}), bytes({7}));
    EXPECT_TRUE(app.messages().shown().isEmpty());
    EXPECT_FALSE(recorder->HaFallado());

    QByteArray back(80, 'x');
    ASSERT_TRUE(recorder->LeeRegistro(0x20, 5, 80, reinterpret_cast<quint8*>(back.data())));
    EXPECT_EQ(back, bytes({0x12, 0x34}) + QByteArray(78, '\0'));
    EXPECT_EQ(machine->requests().last(), bytes({0x50, 0x00, 0x20, 0x05, 0x40, 0x4B}));
}

// Bytes right before an announcement leave it in doubt: the next one, alone, is taken.
TEST_F(CGrabadorTest, AMemoryModeMachineTakesChunksOfFifty)
{
    start(Mode::Memory);
    recorder->setTiming({});
    machine->setAnnouncementNoise(bytes({0x41, 0x00, 0x99}));
    ASSERT_EQ(recorder->Conecta(&port), 1);
    QByteArray data;
    for (int i = 0; i < 80; ++i)
        data.append(char(i + 1));
    ASSERT_TRUE(recorder->EscribeMemoria(0x100, 80, reinterpret_cast<const quint8*>(data.constData()), 0x40));
    ASSERT_EQ(machine->frames().size(), 2);
    EXPECT_EQ(machine->frames()[0].left(5), bytes({50, 0x00, 0x01, 0x00, 0x40}));
    EXPECT_EQ(machine->frames()[1].left(5), bytes({30, 0x00, 0x01, 0x32, 0x40}));
    EXPECT_EQ(machine->memory().mid(0x100, 80), data);

    QByteArray back(80, '\0');
    ASSERT_TRUE(recorder->LeeMemoria(0x100, 80, reinterpret_cast<quint8*>(back.data()), 0x40));
    EXPECT_EQ(back, data);
    EXPECT_EQ(machine->requests().size(), 2);

    // Nothing to move: no exchange.
    EXPECT_TRUE(recorder->EscribeMemoria(0x100, 0, nullptr, 0x40));
    EXPECT_TRUE(recorder->LeeMemoria(0x100, 0, nullptr, 0x40));
    EXPECT_EQ(machine->frames().size(), 2);
    EXPECT_EQ(machine->requests().size(), 2);
}

TEST_F(CGrabadorTest, ConfirmationsDecideTheFrame)
{
    struct Case {
        const char* name;
        QList<quint8> replies;
        bool ok;
        int frames;
        QString error;
    };
    const Case cases[] = {
        {"three NAKs then ACK", {Nak, Nak, Nak}, true, 4, ""},
        {"mixed refusals then ACK", {Nak, 0x33, Nak}, true, 4, ""},
        {"four NAKs", {Nak, Nak, Nak, Nak}, false, 4, "Checksum erronea"},
        {"four other bytes", {0x33, 0x33, 0x33, 0x33}, false, 4, "Error de comunicación"},
        {"NAKs then another byte", {Nak, Nak, Nak, 0x33}, false, 4, "Error de comunicación"},
        {"BEL", {Bel}, false, 1, "Tarjeta de 128K llena"},
        {"ETB", {Etb}, false, 1, "Error de escritura"},
        {"silence", {0}, false, 1, "No hay respuesta"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        forgetShown();
        connectRecordMode();
        machine->queueConfirmations(c.replies);
        EXPECT_EQ(recorder->EscribeDatos(0x20, 5, bytes({0x12, 0x34})), c.ok);
        EXPECT_EQ(machine->frames().size(), c.frames);
        if (c.ok) {
            EXPECT_TRUE(app.messages().shown().isEmpty());
            EXPECT_EQ(machine->records().value({0x20, 5}), bytes({0x12, 0x34}));
        } else {
            expectTransferError(c.error);
            EXPECT_TRUE(machine->records().isEmpty());
        }
        endCase();
    }
}

TEST_F(CGrabadorTest, AControlByteWithoutAckIsACommunicationError)
{
    connectRecordMode();
    machine->queueControlReplies({0x33});
    EXPECT_FALSE(recorder->EscribeDatos(0x20, 5, bytes({0x12})));
    expectTransferError("Error de comunicación");
    EXPECT_TRUE(machine->frames().isEmpty());
}

TEST_F(CGrabadorTest, BadBlocksAreRefusedUpToThree)
{
    connectRecordMode();
    ASSERT_TRUE(recorder->EscribeDatos(0x20, 0, bytes({0x41, 0x42})));
    QByteArray back(2, '\0');
    machine->queueBadBlocks(1);
    ASSERT_TRUE(recorder->LeeRegistro(0x20, 0, 2, reinterpret_cast<quint8*>(back.data())));
    EXPECT_EQ(back, "AB");
    EXPECT_TRUE(lineEndsWith(bytes({0x41, 0x42, 0x7E, 0x15, 0x41, 0x42, 0x7D, 0x06})))
        << machine->line().toHex(' ').toStdString();

    machine->queueBadBlocks(3);
    EXPECT_FALSE(recorder->LeeRegistro(0x20, 0, 2, reinterpret_cast<quint8*>(back.data())));
    expectTransferError("Checksum erronea");
    // Every bad block was answered with NAK: the one before and these three.
    const QByteArray refused = bytes({0x41, 0x42, 0x7E, 0x15});
    for (int i = 0; i < 200 && machine->line().count(refused) < 4; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(machine->line().count(refused), 4);
}

// Noise shifts a block: the bytes read as the block end before its checksum. The block is
// refused once every byte of it is in, and the one sent again is read from its first byte.
TEST_F(CGrabadorTest, AShiftedBlockIsRefusedOnAQuietLineEvenWhenItsSumMatches)
{
    struct Case {
        const char* name;
        QByteArray data;
        ClassicMachine::Noise noise;
    };
    QByteArray record(80, '\0');
    for (int i = 0; i < 40; ++i)
        record[i] = char(0x30 + i);
    const Case cases[] = {
        // A8 and 58 sum to 0: read as a block of one byte, A8 58 passes the checksum.
        {"one byte before, the sum matching", bytes({0x58}), {.before = bytes({0xA8})}},
        {"seventeen bytes before", record, {.before = QByteArray(17, char(0x5A))}},
        {"one byte inside", record, {.inside = bytes({0x06})}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connectRecordMode();
        ASSERT_TRUE(recorder->EscribeDatos(0x21, 0, c.data));
        machine->scriptBlockNoise(0x2100, c.noise);
        QByteArray back(c.data.size(), '\0');
        ASSERT_TRUE(recorder->LeeRegistro(0x21, 0, int(c.data.size()), reinterpret_cast<quint8*>(back.data())));
        EXPECT_EQ(back.toHex(' '), c.data.toHex(' '));
        EXPECT_EQ(machine->refusedBlocks(), 1);
        const QByteArray block = c.data + char(CGrabador::CalculaChecksum(c.data));
        QByteArray noisy = block;
        noisy.insert(noisy.size() / 2, c.noise.inside);
        const QByteArray expected = c.noise.before + noisy + char(Nak) + block + char(Ack);
        EXPECT_TRUE(lineEndsWith(expected)) << machine->line().toHex(' ').toStdString();
        EXPECT_TRUE(app.messages().shown().isEmpty());
        endCase();
    }
}

// The wait for a quiet line before the NAK has the block's time, and the cancel ends it.
TEST_F(CGrabadorTest, ALineThatStaysBusyAfterABlockEndsTheRead)
{
    struct Case {
        const char* name;
        bool cancel;
        QString error;
    };
    const Case cases[] = {
        {"busy for the block's time", false, "Error de comunicación"},
        {"cancelled meanwhile", true, "No hay respuesta"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        forgetShown();
        // The clock moves only with the window's pump, which the wait runs while bytes come.
        FakeClock clock;
        connectRecordMode(clock);
        ASSERT_TRUE(recorder->EscribeDatos(0x21, 0, bytes({0x58})));
        machine->scriptBlockNoise(0x2100, {.after = QByteArray(3000, char(0x5A))});
        wait.onPass = [&](int) {
            clock.tick += 100;
            if (c.cancel)
                wait.cancel();
        };
        quint8 back = 0;
        EXPECT_FALSE(recorder->LeeRegistro(0x21, 0, 1, &back));
        wait.onPass = nullptr;
        expectTransferError(c.error);
        EXPECT_EQ(back, 0);
        EXPECT_EQ(machine->refusedBlocks(), 0);
        endCase();
    }
}

// Noise next to a frame's confirmation is neither the answer to the frame sent again nor the
// answer to the next control byte.
TEST_F(CGrabadorTest, StrayBytesAroundAConfirmationAreNotTakenForTheNextAnswer)
{
    struct Case {
        const char* name;
        int baud; // 0: every answer arrives whole at once
        ClassicMachine::Noise noise;
        QList<quint8> confirmations;
        bool ok;
        QString error;
    };
    const Case cases[] = {
        // The acceptance comes a character time after the stray byte, while the frame goes again.
        {"a byte before the acceptance, the frame sent again refused", 9600, {.before = bytes({0x5A})}, {Ack, Bel},
         false, "Tarjeta de 128K llena"},
        {"a byte after the acceptance, there before the next frame", 0, {.after = bytes({0x5A})}, {}, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        forgetShown();
        connectRecordMode();
        machine->setLineBaud(c.baud);
        machine->queueConfirmationNoise({c.noise});
        machine->queueConfirmations(c.confirmations);
        const bool ok = recorder->EscribeDatos(0x20, 5, bytes({0x12})) && recorder->EscribeDatos(0x20, 6, bytes({0x34}));
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_TRUE(app.messages().shown().isEmpty());
            EXPECT_EQ(machine->records().value({0x20, 6}), bytes({0x34}));
        } else {
            expectTransferError(c.error);
        }
        endCase();
    }
}

// A stray ACK just before the machine's NAK is no confirmation: bytes came behind it before the
// line fell quiet, so the frame goes again (the same bytes at the same address). The stray ACK
// comes on the first, the middle or the last of three frames, of records and of memory.
TEST_F(CGrabadorTest, AnAckWithBytesBehindItIsARefusalAndTheFrameGoesAgain)
{
    for (const Line& line : Lines) {
        for (int refused = 0; refused < 3; ++refused) {
            for (const Mode mode : {Mode::Record, Mode::Memory}) {
                SCOPED_TRACE(std::string(line.name) + (mode == Mode::Record ? ", records" : ", memory")
                             + ", frame " + std::to_string(refused + 1));
                forgetShown();
                start(mode);
                machine->setLineBaud(line.baud);
                machine->setDeliveryPeriodMs(line.periodMs);
                ASSERT_EQ(recorder->Conecta(&port), mode == Mode::Record ? 2 : 1);
                machine->queueConfirmations(QList<quint8>(refused, Ack) << Nak);
                machine->queueConfirmationNoise(QList<Noise>(refused) << Noise{.before = bytes({Ack})});
                bool written = true;
                for (int i = 0; i < 3; ++i) {
                    const quint8 value = quint8(0x30 + i);
                    written = written
                              && (mode == Mode::Record ? recorder->EscribeDatos(0x20, quint8(i), bytes({value}))
                                                       : recorder->EscribeMemoria(quint32(0x100 + i), 1, &value, 0x40));
                }
                EXPECT_TRUE(written && recorder->settle());
                EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
                EXPECT_EQ(machine->frames().size(), 4);
                for (int i = 0; i < 3; ++i) {
                    const QByteArray value = bytes({quint8(0x30 + i)});
                    const QByteArray held = mode == Mode::Record ? machine->records().value({0x20, quint8(i)})
                                                                 : machine->memory().mid(0x100 + i, 1);
                    EXPECT_EQ(held, value);
                }
                endCase();
            }
        }
    }
}

// An announcement with a byte just before or after it may be noise, or stand beside noise:
// the recorder waits for one that stands alone and takes the mode the machine announced.
// Behind a USB adapter the byte beside it may come a burst later than a few characters: then
// the first exchange shows the mode in doubt and the transfer ends; never is the other mode
// taken with success.
TEST_F(CGrabadorTest, OnlyAnAnnouncementStandingAloneGivesTheMode)
{
    struct Case {
        const char* name;
        Mode mode;
        Noise noise;
    };
    const Case cases[] = {
        {"ENQ just before a record-mode STX", Mode::Record, {.before = bytes({Enq})}},
        {"STX just before a memory-mode ENQ", Mode::Memory, {.before = bytes({Stx})}},
        {"ENQ just after a record-mode STX", Mode::Record, {.after = bytes({Enq})}},
        {"STX just after a memory-mode ENQ", Mode::Memory, {.after = bytes({Stx})}},
    };
    for (const Line& line : Lines) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(line.name) + ", " + c.name);
            forgetShown();
            start(c.mode);
            CGrabador::Timing timing;
            timing.controlMs = 400;
            recorder->setTiming(timing);
            machine->setLineBaud(line.baud);
            machine->setDeliveryPeriodMs(line.periodMs);
            machine->setAnnouncementNoise(c.noise);
            const int mode = recorder->Conecta(&port);
            // The first exchange may come a few bursts later (the caller takes its time).
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            const quint8 value = 0x5A;
            const bool written = mode != 0
                                 && (mode == 2 ? recorder->EscribeDatos(0x20, 1, bytes({value}))
                                               : recorder->EscribeMemoria(0x100, 1, &value, 0x40))
                                 && recorder->settle();
            if (line.periodMs == 0) {
                EXPECT_TRUE(written);
            }
            if (written) {
                EXPECT_EQ(mode, c.mode == Mode::Record ? 2 : 1);
                EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
                EXPECT_EQ(machine->frames().size(), 1);
            } else {
                expectTransferError("Error de comunicación");
                EXPECT_TRUE(machine->frames().isEmpty());
            }
            endCase();
        }
    }
}

// On a paced line the quiet after a block runs while the next request's STX goes out and its
// ACK comes back; a block with bytes behind it (its sum matching, or noise after it) is read
// again (or, on a line not yet seen to hand bytes over at once, refused with NAK). Nothing is
// handed over before it stood.
TEST_F(CGrabadorTest, ABlockWithBytesBehindItIsNeverHandedOver)
{
    struct Case {
        const char* name;
        Noise noise;
    };
    const Case cases[] = {
        // A8 58 sum to 0: read as a block of one byte, A8 passes its checksum 58.
        {"a byte before, the sum matching", {.before = bytes({0xA8})}},
        {"seventeen bytes after", {.after = QByteArray(17, char(0x5A))}},
    };
    const QByteArray data[] = {bytes({0x11}), bytes({0x58}), bytes({0x33})};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connectRecordMode();
        machine->setLineBaud(9600);
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(recorder->EscribeDatos(0x21, quint8(i), data[i]));
        ASSERT_TRUE(recorder->settle());
        machine->scriptBlockNoise(0x2101, c.noise);
        std::array<quint8, 3> back{};
        QList<CGrabador::BlockRead> reads;
        for (int i = 0; i < 3; ++i)
            reads.append({CGrabador::recordAddress(0x21, quint8(i)), 1, CGrabador::RecordType, &back[std::size_t(i)]});
        ASSERT_TRUE(recorder->readBlocks(reads));
        const QByteArray got(reinterpret_cast<const char*>(back.data()), 3);
        EXPECT_EQ(got.toHex(), (data[0] + data[1] + data[2]).toHex());
        EXPECT_EQ(machine->requests().size() + machine->refusedBlocks(), 4);
        EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
        endCase();
    }
}

TEST_F(CGrabadorTest, ARefusedRequestIsAskedAgainNotTheLastFrame)
{
    connectRecordMode();
    ASSERT_TRUE(recorder->EscribeDatos(0x20, 0, bytes({0x41, 0x42})));
    machine->queueConfirmations({Nak, Nak});
    QByteArray back(2, '\0');
    ASSERT_TRUE(recorder->LeeRegistro(0x20, 0, 2, reinterpret_cast<quint8*>(back.data())));
    EXPECT_EQ(back, "AB");
    EXPECT_EQ(machine->requests().size(), 3);
    EXPECT_EQ(machine->frames().size(), 1);
}

TEST_F(CGrabadorTest, OversizedRecordsAndReadsAreRefusedUnsent)
{
    connectRecordMode();
    EXPECT_FALSE(recorder->EscribeDatos(0x20, 0, QByteArray(251, 'x')));
    EXPECT_FALSE(recorder->EscribeByte(0x20, 0, 1, 2));
    QByteArray back(300, '\0');
    EXPECT_FALSE(recorder->LeeRegistro(0x20, 0, 255, reinterpret_cast<quint8*>(back.data())));
    EXPECT_TRUE(recorder->HaFallado());
    EXPECT_TRUE(machine->frames().isEmpty());
    EXPECT_TRUE(machine->requests().isEmpty());
    EXPECT_TRUE(recorder->EscribeDatos(0x20, 0, QByteArray(250, 'x')));
}

TEST_F(CGrabadorTest, NoAnnouncementTriesThreeWindowsPerPortAndComOneFallsBackToComTwo)
{
    struct Case {
        int port;
        QStringList lines;
    };
    const Case cases[] = {
        {3, {"\nComunicando por COM3 (3)", "\nComunicando por COM3 (2)", "\nComunicando por COM3 (1)"}},
        {1,
         {"\nComunicando por COM1 (3)", "\nComunicando por COM1 (2)", "\nComunicando por COM1 (1)",
          "\nComunicando por COM2 (3)", "\nComunicando por COM2 (2)", "\nComunicando por COM2 (1)"}},
    };
    for (const Case& c : cases) {
        forgetShown();
        app.profile().WriteInt("Ormi", "SerialPort", c.port);
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
        app.profile().WriteString("Puertos", "COM2", pty.slavePath());
        start(Mode::Record);
        machine->setAnnouncing(false);
        EXPECT_EQ(recorder->Conecta(&port), 0);
        EXPECT_EQ(wait.messages, c.lines);
        expectTransferError("No hay respuesta");
        endCase();
    }
}

TEST_F(CGrabadorTest, ACancelDuringTheAnnouncementEndsQuietly)
{
    start(Mode::Record);
    machine->setAnnouncing(false);
    wait.onPass = [&](int pass) {
        if (pass == 2)
            wait.cancel();
    };
    EXPECT_EQ(recorder->Conecta(&port), 0);
    EXPECT_TRUE(app.messages().shown().isEmpty());
    EXPECT_TRUE(wait.finalTexts.isEmpty());
}

TEST_F(CGrabadorTest, ACancelDuringAReceptionIsNoAnswer)
{
    connectRecordMode();
    machine->queueConfirmations({0});
    wait.onPass = [&](int pass) {
        if (pass == 2)
            wait.cancel();
    };
    EXPECT_FALSE(recorder->EscribeDatos(0x20, 5, bytes({0x12})));
    expectTransferError("No hay respuesta");
}

// A machine that answers every byte at once leaves no empty read to look at the cancel after:
// the next answer that arrives must not hide it.
TEST_F(CGrabadorTest, ACancelIsSeenEvenWhileTheMachineAnswersAtOnce)
{
    connectRecordMode();
    ASSERT_TRUE(recorder->EscribeDatos(0x20, 5, bytes({0x12})));
    const int framesBefore = int(machine->records().size());
    wait.cancel();
    EXPECT_FALSE(recorder->EscribeDatos(0x20, 6, bytes({0x34})));
    expectTransferError("No hay respuesta");
    EXPECT_EQ(int(machine->records().size()), framesBefore);
}

TEST_F(CGrabadorTest, AVanishedDeviceEndsTheReceptionAtOnce)
{
    connectRecordMode();
    machine.reset();
    pty.closeMaster();
    EXPECT_FALSE(recorder->EscribeDatos(0x20, 5, bytes({0x12})));
    expectTransferError("No hay respuesta");
}

TEST_F(CGrabadorTest, TheTraceHoldsEveryByteBothWays)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(app.tempPath()));
    machine = std::make_unique<ClassicMachine>(pty.master(), Mode::Record);
    {
        CGrabador traced(wait, app.profile(), fw::Clock::System(), true);
        ASSERT_EQ(traced.Conecta(&port), 2);
        ASSERT_TRUE(traced.EscribeDatos(0x20, 5, bytes({0x12, 0x34})));
        QByteArray back(2, '\0');
        ASSERT_TRUE(traced.LeeRegistro(0x20, 5, 2, reinterpret_cast<quint8*>(back.data())));
    }
    QDir::setCurrent(previous);
    QFile trace(app.tempPath("Grabador.mon"));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QByteArray expected = bytes({0x02, 0x04, 0x01, 0x06, 0x02, 0x00, 0x20, 0x05, 0x40, 0x12, 0x34, 0x53, 0x06,
                                       0x02, 0x06, 0x02, 0x00, 0x20, 0x05, 0x40, 0x99, 0x06, 0x12, 0x34, 0xBA, 0x06});
    EXPECT_EQ(trace.readAll().toHex(' '), expected.toHex(' '));
}

} // namespace
