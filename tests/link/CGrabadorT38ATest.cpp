#include "link/CGrabadorT38A.h"

#include "fw/Clock.h"
#include "link/SerialPort.h"
#include "tests/support/FastClock.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestBytes.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

using Fault = T38APeer::Fault;

constexpr int ReplyTimeoutMs = 200;
constexpr int ReplyDelayMs = 50;

// A T38A machine on a pseudo-terminal, known to the profile as COM4, the recorder with a
// scripted wait window, a short break and short time-outs.
class CGrabadorT38ATest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MandaTrama485::AsignaSecuencia('0');
        ASSERT_TRUE(pty.isOpen());
        app.profile().WriteInt("Ormi", "SerialPort", 4);
        app.profile().WriteString("Puertos", "COM4", pty.slavePath());
        restart();
    }

    // A fresh machine and recorder on the same line.
    void restart()
    {
        recorder.reset();
        port.Close();
        machine.reset();
        wait.messages.clear();
        wait.finalTexts.clear();
        wait.progress.clear();
        wait.active = false;
        machine = std::make_unique<T38AMachine>(pty.master());
        machine->peer().setReplyDelayMs(ReplyDelayMs);
        recorder = makeRecorder();
    }

    std::unique_ptr<CGrabadorT38A> makeRecorder()
    {
        auto made = std::make_unique<CGrabadorT38A>(wait, app.profile(), fw::Clock::System());
        made->setBreakMs(0);
        made->frameLayer().setReplyTimeoutMs(ReplyTimeoutMs);
        return made;
    }

    // The commands the machine ran, the hello and end left out.
    QList<QByteArray> pieces() const
    {
        QList<QByteArray> out;
        for (const QByteArray& command : machine->commands())
            if (command.startsWith('3'))
                out.append(command);
        return out;
    }

    TestApplication app;
    PtyPair pty;
    ScriptedWaitUi wait;
    SerialPort port;
    std::unique_ptr<T38AMachine> machine;
    std::unique_ptr<CGrabadorT38A> recorder;
};

TEST_F(CGrabadorT38ATest, ConnectsWithABreakAndTheHelloOnATwoStopBitLine)
{
    EXPECT_EQ(wait.starts, 1);
    ASSERT_TRUE(recorder->Conecta(&port));
    EXPECT_TRUE(recorder->Conectado());
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(recorder->portName(), "COM4");
    EXPECT_NE(pty.lineSettings().c_cflag & CSTOPB, 0u);
    EXPECT_EQ(recorder->frameLayer().Reintentos(), CGrabadorT38A::HelloRetries);
    EXPECT_EQ(machine->commands(), QList<QByteArray>{"0"});
    EXPECT_TRUE(wait.finalTexts.isEmpty());
}

TEST_F(CGrabadorT38ATest, TheHelloComesAfterTheFullBreak)
{
    recorder->setBreakMs(CGrabadorT38A::DefaultBreakMs);
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(recorder->Conecta(&port));
    EXPECT_GE(timer.elapsed(), CGrabadorT38A::DefaultBreakMs);
}

TEST_F(CGrabadorT38ATest, ACancelDuringTheBreakEndsTheConnectionAtOnce)
{
    recorder->setBreakMs(CGrabadorT38A::DefaultBreakMs);
    wait.onPass = [&](int pass) {
        if (pass == 2)
            wait.cancel();
    };
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(recorder->Conecta(&port));
    EXPECT_LT(timer.elapsed(), 500);
    EXPECT_TRUE(machine->commands().isEmpty());
    EXPECT_EQ(wait.finalTexts, QStringList{"Imposible conectar"});
}

TEST_F(CGrabadorT38ATest, AHelloThatIsNoEndOfDataDoesNotConnect)
{
    struct Case {
        QByteArray reply;
        bool connects;
    };
    for (const Case& c : {Case{bytes({0xFF, 0x41}), true}, Case{bytes({0x41, 0xEC, 0x01}), true},
                          Case{bytes({0x41}), false}, Case{QByteArray(), false}}) {
        SCOPED_TRACE(c.reply.toHex().toStdString());
        wait.finalTexts.clear();
        wait.progress.clear();
        machine->setHelloReply(c.reply);
        // One transfer at a time: the last one's window closes before the next one starts.
        recorder->CierraEspera();
        recorder = makeRecorder();
        EXPECT_EQ(recorder->Conecta(&port), c.connects);
        EXPECT_EQ(port.IsOpen(), c.connects);
        if (!c.connects) {
            EXPECT_EQ(wait.finalTexts, QStringList{"Imposible conectar"});
            EXPECT_EQ(wait.progress.last(), 100);
        }
    }
}

TEST_F(CGrabadorT38ATest, APortThatDoesNotOpenFailsTheHelloWithoutTouchingTheLine)
{
    app.profile().WriteString("Puertos", "COM4", app.tempPath("missing"));
    EXPECT_FALSE(recorder->Conecta(&port));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(wait.messages.last(), "Imposible conectar");
    EXPECT_EQ(wait.finalTexts, QStringList{"Imposible conectar"});
    // The port's own box, and no other port tried.
    ASSERT_EQ(app.messages().shown().size(), 1);
    EXPECT_TRUE(app.messages().texts()[0].startsWith("Imposible acceder al puerto serie.\nCOM4"));
}

TEST_F(CGrabadorT38ATest, TheAccessCodeGoesAfterTheHelloWhenSwitchedOn)
{
    EXPECT_EQ(CGrabadorT38A::ComponeComandoClave("9871"), bytes({0x43, 0x39, 0x38, 0x37, 0x31}));
    EXPECT_EQ(CGrabadorT38A::ComponeComandoClave("98"), "C98  ");
    recorder->AsignaClave(true);
    ASSERT_TRUE(recorder->Conecta(&port));
    EXPECT_EQ(machine->commands(), (QList<QByteArray>{"0", "C9871"}));
    EXPECT_TRUE(wait.messages.contains("Introduciendo clave"));
    EXPECT_TRUE(wait.progress.contains(25));
}

TEST_F(CGrabadorT38ATest, RecordsGoAsPiecesInTheMachinesCoding)
{
    ASSERT_TRUE(recorder->Conecta(&port));
    EXPECT_TRUE(recorder->EscribeByte('L', 0, 90, 1));
    EXPECT_TRUE(recorder->EscribeDatos('5', 3, bytes({0xF0, 0x12})));
    EXPECT_TRUE(recorder->EscribeDatos('3', 1, bytes({0x00, 0x90})));
    EXPECT_TRUE(recorder->EscribeDatos('Q', 2, QByteArray(35, char(0xAB))));
    EXPECT_TRUE(recorder->EscribeDatos('Q', 5, QByteArray()));
    const QByteArray hex70 = QByteArray(35, char(0xAB)).toHex().toUpper();
    EXPECT_EQ(pieces(), (QList<QByteArray>{bytes({0x33, 0x4C, 0x00, 0x90, 0x00}),
                                           bytes({0x33, 0x35, 0x03, 'F', '0', '1', '2'}),
                                           bytes({0x33, 0x33, 0x01, 0x90, 0x00}),
                                           bytes({0x33, 'Q', 0x02}) + hex70.left(64),
                                           bytes({0x33, 'Q', 0x02}) + hex70.mid(64)}));
    EXPECT_FALSE(recorder->HaFallado());
}

TEST_F(CGrabadorT38ATest, PieceRepliesOtherThanOkFailTheRecordWithTheirMessage)
{
    struct Case {
        std::optional<QByteArray> reply; // none: no reply at all
        QString message;
    };
    for (const Case& c : {Case{QByteArray("?"), "Checksum erronea"}, Case{QByteArray("X"), "Error de escritura"},
                          Case{QByteArray(), "Error de escritura"}}) {
        SCOPED_TRACE(c.message.toStdString());
        restart();
        ASSERT_TRUE(recorder->Conecta(&port));
        machine->scriptPieceReply(0, *c.reply);
        EXPECT_FALSE(recorder->EscribeDatos('5', 3, bytes({0xF0, 0x12})));
        EXPECT_TRUE(recorder->HaFallado());
        // The failure stays with "Aceptar"; the status texts that follow do not replace it.
        EXPECT_EQ(wait.finalTexts, QStringList{c.message});
        recorder->MuestraMensaje("producto 2");
        recorder->AsignaLinea1(CGrabadorT38A::RecordingText);
        EXPECT_EQ(wait.shown, c.message);
        EXPECT_TRUE(wait.confirming);
        port.Close();
    }
}

TEST_F(CGrabadorT38ATest, ASilentMachineFailsThePieceAfterThirteenSends)
{
    ASSERT_TRUE(recorder->Conecta(&port));
    machine->peer().setDefaultFault(Fault::DropReply);
    EXPECT_FALSE(recorder->EscribeDatos('5', 3, bytes({0xF0, 0x12})));
    EXPECT_EQ(wait.finalTexts, QStringList{"Error de comunicación"});
    EXPECT_EQ(pieces().size(), 1);
    EXPECT_EQ(machine->peer().requests().size(), 1 + 13);
}

TEST_F(CGrabadorT38ATest, ARefusedRecordDoesNotStopTheOthersButIsRemembered)
{
    ASSERT_TRUE(recorder->Conecta(&port));
    machine->scriptPieceReply(0, "?");
    EXPECT_FALSE(recorder->EscribeDatos('F', 0, bytes({0x01})));
    EXPECT_TRUE(recorder->EscribeDatos('F', 1, bytes({0x02})));
    EXPECT_TRUE(recorder->HaFallado());
    EXPECT_EQ(machine->records().value({'F', 1}), "02");
}

TEST_F(CGrabadorT38ATest, TheFirstFailureStaysShownWhenLaterRecordsAreRefusedToo)
{
    ASSERT_TRUE(recorder->Conecta(&port));
    machine->scriptPieceReply(0, "?");
    machine->scriptPieceReply(1, "X");
    EXPECT_FALSE(recorder->EscribeDatos('F', 0, bytes({0x01})));
    EXPECT_FALSE(recorder->EscribeDatos('F', 1, bytes({0x02})));
    // The window waits with the first failure for the user's "Aceptar"; the next does not
    // replace it.
    EXPECT_EQ(wait.finalTexts, QStringList{"Checksum erronea"});
    EXPECT_EQ(wait.shown, "Checksum erronea");
    EXPECT_EQ(pieces().size(), 2);
}

TEST_F(CGrabadorT38ATest, ACancelStopsTheNextTryAndTheEndCommand)
{
    ASSERT_TRUE(recorder->Conecta(&port));
    machine->peer().setDefaultFault(Fault::DropReply);
    wait.onPass = [&](int pass) {
        if (pass == 3)
            wait.cancel();
    };
    EXPECT_FALSE(recorder->EscribeDatos('5', 3, bytes({0xF0, 0x12})));
    EXPECT_EQ(wait.finalTexts, QStringList{"Error de comunicación"});
    recorder->Finaliza();
    EXPECT_EQ(machine->peer().requests().size(), 2);
    recorder->CierraEspera();
    EXPECT_FALSE(wait.EstaCancelado());
    EXPECT_EQ(wait.stops, 1);
}

// A line that never falls silent, at the hello or once the read has begun, with or without the
// user's cancel. The recorder's own time-outs, on a clock run 32 times faster.
struct NoisyLine {
    Fault fault;
    bool midRead;
    bool cancel;
};

void PrintTo(const NoisyLine& line, std::ostream* out)
{
    *out << (line.fault == Fault::EndlessStarts ? "01 00 again and again" : "random bytes")
         << (line.midRead ? " mid-read" : " at the hello") << (line.cancel ? ", cancelled" : "");
}

class CGrabadorT38ANoisyLineTest : public CGrabadorT38ATest, public ::testing::WithParamInterface<NoisyLine> {};

TEST_P(CGrabadorT38ANoisyLineTest, TheTransferEndsInTimeWithItsFailureText)
{
    const NoisyLine line = GetParam();
    recorder.reset();
    wait.active = false;
    FastClock clock(32);
    CGrabadorT38A noisy(wait, app.profile(), clock);
    noisy.setBreakMs(0);
    machine->peer().setReplyDelayMs(10);
    machine->peer().setLineBaud(9600);
    if (!line.midRead)
        machine->peer().setDefaultFault(line.fault);
    std::optional<std::chrono::steady_clock::time_point> cancelled;
    wait.onPass = [&](int pass) {
        const bool due = line.midRead ? machine->commands().contains("2") : pass == 5;
        if (line.cancel && due && !cancelled) {
            wait.cancel();
            cancelled = std::chrono::steady_clock::now();
        }
    };

    // The read command's steps.
    const auto started = std::chrono::steady_clock::now();
    const qint64 start = clock.TickCount();
    bool read = false;
    if (noisy.Conecta(&port)) {
        machine->peer().setDefaultFault(line.fault);
        QByteArray data;
        read = noisy.LeeTodo(data);
    }
    noisy.Finaliza();
    noisy.CierraEspera();
    const auto ended = std::chrono::steady_clock::now();

    EXPECT_FALSE(read);
    EXPECT_EQ(noisy.Conectado(), line.midRead);
    const QString failure = line.midRead ? "Error de comunicación" : "Imposible conectar";
    EXPECT_EQ(wait.finalTexts, QStringList{failure});
    EXPECT_EQ(wait.shown, failure);
    EXPECT_TRUE(wait.confirming);
    // The noisy exchanges (the hello, or the read and the end command) each within its
    // deadline; one read of the port past it at most.
    const qint64 exchange = MandaTrama485::exchangeLimitMs(CGrabadorT38A::HelloRetries, MandaTrama485::DefaultReplyTimeoutMs);
    constexpr qint64 Slack = 2000;
    EXPECT_LE(clock.TickCount() - start, (line.midRead ? 2 : 1) * exchange + Slack);
    EXPECT_LT(ended - started, std::chrono::seconds(3));
    if (line.cancel) {
        ASSERT_TRUE(cancelled.has_value());
        EXPECT_LT(ended - *cancelled, std::chrono::milliseconds(500));
        // Nothing is sent after the cancel, the end command neither.
        for (const T38APeer::Request& request : machine->peer().requests())
            EXPECT_NE(request.command, "9") << machine->peer().describe().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(StartsAndNoise, CGrabadorT38ANoisyLineTest,
                         ::testing::Values(NoisyLine{Fault::EndlessStarts, false, false},
                                           NoisyLine{Fault::EndlessStarts, false, true},
                                           NoisyLine{Fault::EndlessStarts, true, false},
                                           NoisyLine{Fault::EndlessStarts, true, true},
                                           NoisyLine{Fault::EndlessNoise, false, false},
                                           NoisyLine{Fault::EndlessNoise, false, true},
                                           NoisyLine{Fault::EndlessNoise, true, false},
                                           NoisyLine{Fault::EndlessNoise, true, true}),
                         [](const auto& info) {
                             const NoisyLine& line = info.param;
                             return std::string(line.fault == Fault::EndlessStarts ? "Starts" : "Noise") +
                                    (line.midRead ? "MidRead" : "AtTheHello") + (line.cancel ? "Cancelled" : "");
                         });

TEST_F(CGrabadorT38ATest, WrittenRecordsReadBackWhole)
{
    ASSERT_TRUE(recorder->Conecta(&port));
    // Every third exchange goes wrong somehow; retries make up for it.
    const Fault faults[] = {Fault::DropReply, Fault::BadSum, Fault::Noise, Fault::OutOfBand, Fault::WrongSequence};
    for (int i = 0; i < 60; ++i)
        machine->peer().scriptFault(3 * i + 2, faults[i % 5]);
    QMap<std::pair<int, int>, QByteArray> sent;
    for (int id : {'5', 'Q', 'F'})
        for (int field = 0; field < 4; ++field) {
            QByteArray record;
            for (int i = 0; i < 10 + 25 * field; ++i)
                record.append(char(id * 7 + field * 13 + i));
            sent.insert({id, field}, record);
            ASSERT_TRUE(recorder->EscribeDatos(quint8(id), quint8(field), record));
        }
    ASSERT_TRUE(recorder->EscribeByte('L', 0, 90, 1));
    recorder->Finaliza();

    ASSERT_TRUE(recorder->Saluda());
    QByteArray data;
    ASSERT_TRUE(recorder->LeeTodo(data));
    for (auto it = sent.cbegin(); it != sent.cend(); ++it) {
        QByteArray hex;
        int length = 0;
        ASSERT_TRUE(CGrabadorT38A::BuscaRegistro(data, quint8(it.key().first), quint8(it.key().second), hex, length))
            << it.key().first << "/" << it.key().second;
        EXPECT_EQ(length, it.value().size() * 2);
        EXPECT_EQ(CGrabadorT38A::HexABytes(hex), it.value());
    }
    QByteArray temperature;
    int length = 0;
    ASSERT_TRUE(CGrabadorT38A::BuscaRegistro(data, 'L', 0, temperature, length));
    EXPECT_EQ(temperature, bytes({0x90, 0x00}));
    // Retried pieces were not run again.
    EXPECT_EQ(machine->piecesStored(), pieces().size());
}

TEST_F(CGrabadorT38ATest, ReadingCollectsTheBlocksUpToTheEndOfData)
{
    ASSERT_TRUE(recorder->Conecta(&port));
    machine->scriptBlocks({"ab", "cd", bytes({'e', 0xEC, 0x01})});
    wait.progress.clear();
    QByteArray data;
    ASSERT_TRUE(recorder->Saluda());
    ASSERT_TRUE(recorder->LeeTodo(data));
    EXPECT_EQ(data, "abcd" + bytes({'e', 0xEC, 0x01}));
    EXPECT_EQ(wait.progress, (QList<int>{0, 4, 8}));

    // FF first ends too; empty replies ask again.
    machine->scriptBlocks({QByteArray(), "ab", QByteArray(), bytes({0xFF, 0x31})});
    ASSERT_TRUE(recorder->Saluda());
    ASSERT_TRUE(recorder->LeeTodo(data));
    EXPECT_EQ(data, "ab" + bytes({0xFF, 0x31}));
}

TEST_F(CGrabadorT38ATest, AReadThatDoesNotEndFailsWithACommunicationError)
{
    struct Case {
        const char* name;
        QList<QByteArray> blocks;
    };
    const Case cases[] = {
        {"ten empty replies", QList<QByteArray>(10, QByteArray())},
        {"past 14384 bytes", QList<QByteArray>(60, QByteArray(250, 'x'))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        machine->scriptBlocks(c.blocks);
        ASSERT_TRUE(recorder->Conecta(&port));
        QByteArray data;
        EXPECT_FALSE(recorder->LeeTodo(data));
        EXPECT_EQ(wait.finalTexts, QStringList{"Error de comunicación"});
        port.Close();
    }
}

TEST_F(CGrabadorT38ATest, AReplyOverTheBlockBufferIsBad)
{
    ASSERT_TRUE(recorder->Conecta(&port));
    recorder->frameLayer().AsignaReintentos(2);
    machine->scriptBlocks({QByteArray(301, 'x')});
    ASSERT_TRUE(recorder->Saluda());
    recorder->frameLayer().AsignaReintentos(2);
    QByteArray data;
    EXPECT_FALSE(recorder->LeeTodo(data));
    EXPECT_EQ(wait.finalTexts, QStringList{"Error de comunicación"});
}

TEST(CGrabadorT38ABytesTest, EndOfDataAndItsFixUp)
{
    struct Case {
        QByteArray reply;
        bool end;
        QByteArray after;
    };
    const Case cases[] = {
        {bytes({0xFF}), true, bytes({0xFF})},
        {bytes({0x41, 0xEC, 0x01}), true, bytes({0x41, 0xEC, 0x01})},
        {bytes({0xEC, 0x01}), true, bytes({0xEC, 0x01})},
        {bytes({0x41}), false, bytes({0x41})},
        {QByteArray(), false, QByteArray()},
        {bytes({0xEC, 0x42, 0x0E, 0x07, 0xFF, 0xEC, 0x01}), true, bytes({0xEC, 0x42, 0x0E, 0x07, 0x20, 0xEC, 0x01})},
        {bytes({0xEC, 0x42, 0x0E, 0xEC, 0x01}), true, bytes({0xEC, 0x42, 0x0E, 0xEC, 0x01})},
    };
    for (Case c : cases) {
        QByteArray reply = c.reply;
        EXPECT_EQ(CGrabadorT38A::EsFinDatos(reply), c.end) << c.reply.toHex().toStdString();
        EXPECT_EQ(reply, c.after);
    }
}

TEST(CGrabadorT38ABytesTest, RecordSearch)
{
    const QByteArray data = bytes({0xEC, 0x52, 0x51, 0x02, 0x41, 0x42, 0xEC, 0x52, 0x51, 0x03, 0x43, 0xEC, 0x01});
    QByteArray found;
    int length = -1;
    EXPECT_TRUE(CGrabadorT38A::BuscaRegistro(data, 'Q', 2, found, length));
    EXPECT_EQ(found, "AB");
    EXPECT_EQ(length, 2);
    EXPECT_FALSE(CGrabadorT38A::BuscaRegistro(data, 'Q', 4, found, length));
    EXPECT_EQ(length, 0);

    // Two records of one id and field are joined; nothing after the end marker counts.
    const QByteArray split = bytes({0xEC, 0x52, 0x51, 0x02, 0x41, 0xEC, 0x52, 0x51, 0x02, 0x42, 0xEC, 0x01,
                                    0xEC, 0x52, 0x51, 0x02, 0x43});
    EXPECT_TRUE(CGrabadorT38A::BuscaRegistro(split, 'Q', 2, found, length));
    EXPECT_EQ(found, "AB");

    // Data ended by FF carry no marker: the search stops at their end.
    EXPECT_TRUE(CGrabadorT38A::BuscaRegistro(bytes({0xFF, 0xEC, 0x52, 0x51, 0x02, 0x41}), 'Q', 2, found, length));
    EXPECT_EQ(found, "A");
    EXPECT_FALSE(CGrabadorT38A::BuscaRegistro(bytes({0xEC, 0x52, 0x51}), 'Q', 2, found, length));

    // Longer than the destination: false, the full length, the destination filled up.
    const QByteArray big = bytes({0xEC, 0x52, 0x51, 0x02}) + QByteArray(450, 'x') + bytes({0xEC, 0x01});
    EXPECT_FALSE(CGrabadorT38A::BuscaRegistro(big, 'Q', 2, found, length));
    EXPECT_EQ(length, 450);
    EXPECT_EQ(found.size(), CGrabadorT38A::RecordCapacity);
}

TEST(CGrabadorT38ABytesTest, HexPairsReadAsStrtolReadsThem)
{
    EXPECT_EQ(CGrabadorT38A::HexABytes("F0124G"), bytes({0xF0, 0x12, 0x04}));
    EXPECT_EQ(CGrabadorT38A::HexABytes("G4ab7"), bytes({0x00, 0xAB}));
    EXPECT_EQ(CGrabadorT38A::HexABytes(QByteArray(500, 'A')).size(), CGrabadorT38A::MaxHexBytes);
    EXPECT_EQ(CGrabadorT38A::HexATexto("41420043"), "AB");
    EXPECT_EQ(CGrabadorT38A::HexATexto(QByteArray(400, '4')).size(), CGrabadorT38A::MaxHexText);
}

} // namespace
