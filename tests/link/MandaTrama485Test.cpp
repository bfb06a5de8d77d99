#include "link/MandaTrama485.h"

#include "fw/Clock.h"
#include "link/SerialPort.h"
#include "link/T38AFrame.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FastClock.h"
#include "tests/support/PtyPair.h"
#include "tests/support/T38APeer.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestBytes.h"

#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>
#include <thread>

namespace {

using Fault = T38APeer::Fault;

const QString Port = QStringLiteral("COM5");
constexpr int ReplyTimeoutMs = 200;
// Long enough for the discard after a send to fall before the answer, also on a busy computer.
constexpr int ReplyDelayMs = 50;
constexpr int Capacity = 100;

// The machine answers "R" and the command.
QByteArray answer(const QByteArray& command) { return 'R' + command; }

// A T38A machine on a pseudo-terminal line, the port open on its far end, and the layer.
class MandaTrama485Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        MandaTrama485::AsignaSecuencia('0');
        app.profile().WriteString("Configuracion", "TempDir", app.tempPath() + '/');
        connect();
    }

    // A fresh line and layer, after profile changes.
    void connect(fw::Clock& clock = fw::Clock::System())
    {
        layer.reset();
        peer.reset();
        port.reset();
        pty = std::make_unique<PtyPair>();
        ASSERT_TRUE(pty->isOpen());
        app.profile().WriteString("Puertos", Port, pty->slavePath());
        peer = std::make_unique<T38APeer>(pty->master(), answer);
        peer->setReplyDelayMs(ReplyDelayMs);
        port = std::make_unique<SerialPort>();
        ASSERT_TRUE(port->Open(Port, true, 9600));
        layer = std::make_unique<MandaTrama485>(app.profile(), clock);
        layer->AsignaPuerto(port.get());
        layer->setReplyTimeoutMs(ReplyTimeoutMs);
    }

    int send(const QByteArray& command, int capacity = Capacity)
    {
        reply.fill(0, capacity);
        return layer->mandaComandoMaquina(reinterpret_cast<quint8*>(reply.data()), capacity, command);
    }
    QByteArray replyData() const { return reply.left(layer->LongitudRespuesta()); }

    // Every request the machine got was the first one, unchanged.
    void expectSameFrame(const QByteArray& command, int sends)
    {
        const QList<T38APeer::Request> requests = peer->requests();
        ASSERT_EQ(requests.size(), sends) << peer->describe().toStdString();
        for (const T38APeer::Request& request : requests)
            EXPECT_EQ(request.frame, T38AFrame::request('0', '0', command)) << peer->describe().toStdString();
    }

    // The machine has taken so many requests (it reads them in its own time).
    void waitForRequests(int count)
    {
        for (int i = 0; i < 200 && peer->requests().size() < count; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

    QString log() const
    {
        QFile file(app.tempPath("LogCom.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

    TestApplication app;
    std::unique_ptr<PtyPair> pty;
    std::unique_ptr<T38APeer> peer;
    std::unique_ptr<SerialPort> port;
    std::unique_ptr<MandaTrama485> layer;
    QByteArray reply;
};

TEST_F(MandaTrama485Test, AGoodReplyIsDecodedAndAdvancesTheSequence)
{
    ASSERT_EQ(send("0"), MandaTrama485::Ok);
    EXPECT_EQ(replyData(), "R0");
    EXPECT_EQ(MandaTrama485::Secuencia(), '1');
    ASSERT_EQ(peer->requests().size(), 1);
    EXPECT_EQ(peer->requests()[0].frame, bytes({0x01, 0x30, 0x02, 0x30, 0x30, 0x03, 0x60, 0x04}));

    // The next command goes with the next character; without a reply buffer only the result.
    ASSERT_EQ(layer->mandaComandoMaquina(nullptr, 0, QByteArrayView("2")), MandaTrama485::Ok);
    EXPECT_EQ(peer->requests()[1].sequence, '1');
    EXPECT_EQ(MandaTrama485::Secuencia(), '2');
    EXPECT_EQ(peer->commandsRun(), 2);
}

TEST_F(MandaTrama485Test, TheMachineRunsARepeatedFrameAgainOnlyAfterThePortWasClosed)
{
    ASSERT_EQ(send("0"), MandaTrama485::Ok);
    MandaTrama485::AsignaSecuencia('0');
    ASSERT_EQ(send("0"), MandaTrama485::Ok);
    EXPECT_EQ(peer->commandsRun(), 1) << peer->describe().toStdString();

    port->Close();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(port->Open(Port, true, 9600));
    MandaTrama485::AsignaSecuencia('0');
    ASSERT_EQ(send("0"), MandaTrama485::Ok);
    EXPECT_EQ(peer->commandsRun(), 2) << peer->describe().toStdString();
}

TEST_F(MandaTrama485Test, TheSequenceRoundsFromNineToZero)
{
    MandaTrama485::AsignaSecuencia('9');
    ASSERT_EQ(send("0"), MandaTrama485::Ok);
    EXPECT_EQ(peer->requests()[0].sequence, '9');
    EXPECT_EQ(MandaTrama485::Secuencia(), '0');
}

TEST_F(MandaTrama485Test, ALongCommandOfEscapedBytesGoesWhole)
{
    const QByteArray command = '3' + QByteArray(120, char(0xFF));
    ASSERT_EQ(send(command, 300), MandaTrama485::Ok);
    EXPECT_EQ(peer->requests()[0].frame.size(), 2 * command.size() + 6);
    EXPECT_EQ(peer->requests()[0].command, command);
}

TEST_F(MandaTrama485Test, AFaultyExchangeIsSentAgainWithTheSameFrame)
{
    struct Case {
        Fault fault;
        const char* name;
        int sends;
    };
    const Case cases[] = {
        {Fault::DropReply, "dropped reply", 2},
        {Fault::BadSum, "bad sum", 2},
        {Fault::WrongSequence, "wrong sequence", 2},
        {Fault::NoEot, "no EOT", 2},
        {Fault::Noise, "noise", 2},
        {Fault::BadOutOfBand, "invalid out-of-band frame", 2},
        {Fault::Oversized, "reply over the buffer", 2},
        {Fault::TwoOutOfBand, "two out-of-band frames", 2},
        {Fault::DoubleSoh, "double SOH", 1},
        {Fault::OutOfBand, "one out-of-band frame", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MandaTrama485::AsignaSecuencia('0');
        connect();
        peer->scriptFault(0, c.fault);
        ASSERT_EQ(send("3AB"), MandaTrama485::Ok);
        EXPECT_EQ(replyData(), "R3AB");
        expectSameFrame("3AB", c.sends);
        EXPECT_EQ(peer->commandsRun(), 1);
        EXPECT_EQ(MandaTrama485::Secuencia(), '1');
    }
}

TEST_F(MandaTrama485Test, AFaultOnEveryExchangeExhaustsTheRetries)
{
    struct Case {
        Fault fault;
        const char* name;
        int sends;
    };
    // Three retries: four tries. Out-of-band frames count as tries; the command is sent again
    // at every even try.
    const Case cases[] = {
        {Fault::BadSum, "bad sum", 4},
        {Fault::WrongSequence, "wrong sequence", 4},
        {Fault::Noise, "noise", 4},
        {Fault::Oversized, "reply over the buffer", 4},
        {Fault::TwoOutOfBand, "two out-of-band frames", 2},
        {Fault::EndlessOutOfBand, "endless out-of-band frames", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MandaTrama485::AsignaSecuencia('0');
        connect();
        peer->setDefaultFault(c.fault);
        layer->AsignaReintentos(3);
        EXPECT_EQ(send("3AB"), MandaTrama485::NoReply);
        expectSameFrame("3AB", c.sends);
        EXPECT_EQ(MandaTrama485::Secuencia(), '0');
    }
}

TEST_F(MandaTrama485Test, ARefusalIsAReply)
{
    peer->scriptFault(0, Fault::Refusal);
    ASSERT_EQ(send("3AB"), MandaTrama485::Ok);
    EXPECT_EQ(replyData(), "?");
}

// A byte the coding never sends inside a reply's data, the sum still right (a NUL keeps it as
// it is): the reply is bad and the command is sent again; the good reply comes through.
TEST_F(MandaTrama485Test, AReplyHoldingAByteTheCodingNeverSendsIsSentForAgain)
{
    for (const quint8 stray : {0x00, 0x02, 0x04, 0x05, 0x10, 0x15, 0x16}) {
        SCOPED_TRACE(int(stray));
        MandaTrama485::AsignaSecuencia('0');
        connect();
        peer->strayByte = stray;
        peer->scriptFault(0, Fault::StrayByte);
        ASSERT_EQ(send("3AB"), MandaTrama485::Ok);
        EXPECT_EQ(replyData(), "R3AB");
        expectSameFrame("3AB", 2);
    }
}

TEST_F(MandaTrama485Test, SilenceGivesUpAfterTheRetries)
{
    peer->setDefaultFault(Fault::DropReply);
    EXPECT_EQ(send("0"), MandaTrama485::NoReply);
    expectSameFrame("0", 11);

    connect();
    peer->setDefaultFault(Fault::DropReply);
    layer->AsignaReintentos(12);
    EXPECT_EQ(send("0"), MandaTrama485::NoReply);
    expectSameFrame("0", 13);
}

TEST_F(MandaTrama485Test, TheAbortFlagStopsBeforeTheNextTry)
{
    app.profile().WriteInt("GlobalCom", "LOG", 1);
    connect();
    std::atomic<bool> abort{true};
    layer->AsignaAbortar(&abort);
    EXPECT_EQ(send("0"), MandaTrama485::Aborted);
    EXPECT_TRUE(peer->requests().isEmpty());
    EXPECT_TRUE(log().contains(QRegularExpression("^\\d\\d:\\d\\d:\\d\\d \\d+ Sale de mandaComandoMaquina sin trama\n$")))
        << log().toStdString();

    // A cancel while the reply is awaited: the idle hook runs then, as the wait window's pump.
    abort = false;
    peer->setDefaultFault(Fault::DropReply);
    int idle = 0;
    layer->setIdleHook([&] {
        if (++idle == 3)
            abort = true;
    });
    EXPECT_EQ(send("0"), MandaTrama485::Aborted);
    EXPECT_EQ(peer->requests().size(), 1);
}

// On a line that never falls silent the reads hardly ever come back empty: the caller's
// window is pumped all the same, and a cancel there ends the reception at once.
TEST_F(MandaTrama485Test, ACancelWhileAReplyIsAwaitedEndsTheExchangeAtOnce)
{
    struct Case {
        Fault fault;
        const char* name;
    };
    const Case cases[] = {
        {Fault::DropReply, "silence"},
        {Fault::EndlessStarts, "01 00 again and again"},
        {Fault::EndlessNoise, "random bytes"},
        {Fault::EndlessFrame, "a reply that never ends"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connect();
        layer->setReplyTimeoutMs(MandaTrama485::DefaultReplyTimeoutMs);
        peer->setLineBaud(9600);
        peer->setDefaultFault(c.fault);
        std::atomic<bool> abort{false};
        layer->AsignaAbortar(&abort);
        std::chrono::steady_clock::time_point cancelled;
        int passes = 0;
        layer->setIdleHook([&] {
            if (++passes == 3) {
                abort = true;
                cancelled = std::chrono::steady_clock::now();
            }
        });
        EXPECT_EQ(send("2"), MandaTrama485::Aborted);
        EXPECT_LT(std::chrono::steady_clock::now() - cancelled, std::chrono::milliseconds(500));
        EXPECT_EQ(peer->requests().size(), 1) << peer->describe().toStdString();
    }
}

// The layer's own time-outs on a clock run eight times faster: each case takes about a second.
TEST_F(MandaTrama485Test, AHostileLineEndsEveryReceptionAndTheExchangeInTime)
{
    constexpr int Timeout = MandaTrama485::DefaultReplyTimeoutMs;
    constexpr int Retries = 2;
    const qint64 receptionLimit = MandaTrama485::receptionLimitMs(Timeout);
    // One read of the port past a deadline, and a busy computer.
    constexpr qint64 Slack = 400;
    struct Case {
        Fault fault;
        const char* name;
        qint64 shortest, longest; // the last reception's length
    };
    const Case cases[] = {
        // Dropped frames do not count as received: the reception ends at the reply time-out.
        {Fault::EndlessStarts, "01 00 again and again", Timeout, receptionLimit - Slack},
        {Fault::EndlessNoise, "random bytes", 0, receptionLimit + Slack},
        // A frame that keeps coming is cut at the reply time-out and the longest frame.
        {Fault::EndlessFrame, "a reply that never ends", Timeout + 600, receptionLimit + Slack},
    };
    FastClock clock(8);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        connect(clock);
        layer->setReplyTimeoutMs(Timeout);
        layer->AsignaReintentos(Retries);
        peer->setLineBaud(9600);
        peer->setDefaultFault(c.fault);
        const qint64 start = clock.TickCount();
        EXPECT_EQ(send("2"), MandaTrama485::NoReply);
        EXPECT_LE(clock.TickCount() - start, MandaTrama485::exchangeLimitMs(Retries, Timeout) + Slack);
        EXPECT_GE(layer->TiempoTranscurrido(), c.shortest);
        EXPECT_LE(layer->TiempoTranscurrido(), c.longest);
        waitForRequests(Retries + 1);
        EXPECT_LE(peer->requests().size(), Retries + 1) << peer->describe().toStdString();
        if (c.fault != Fault::EndlessNoise) {
            EXPECT_EQ(peer->requests().size(), Retries + 1) << peer->describe().toStdString();
        }
    }
    layer.reset();
}

// Time spent outside the receptions (here a caller's window that takes two receptions' time
// at every pump) does not buy more tries: none starts once the exchange's deadline is past.
TEST_F(MandaTrama485Test, NoTryStartsAfterTheExchangesDeadline)
{
    constexpr int Retries = 5;
    FakeClock clock;
    connect(clock);
    peer->setDefaultFault(Fault::DropReply);
    layer->AsignaReintentos(Retries);
    const qint64 pumpMs = 2 * MandaTrama485::receptionLimitMs(ReplyTimeoutMs);
    std::vector<qint64> triesAt;
    layer->setIdleHook([&] {
        triesAt.push_back(clock.tick);
        clock.tick += pumpMs;
    });
    EXPECT_EQ(send("0"), MandaTrama485::NoReply);
    // The deadline is six receptions' time: tries start at 0, 2 and 4 of them, each ended by its
    // first pump; without the deadline three more would follow.
    const qint64 deadline = MandaTrama485::exchangeLimitMs(Retries, ReplyTimeoutMs);
    EXPECT_EQ(triesAt, (std::vector<qint64>{0, pumpMs, 2 * pumpMs}));
    for (const qint64 at : triesAt)
        EXPECT_LT(at, deadline);
    waitForRequests(3);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    expectSameFrame("0", 3);
    layer.reset();
}

TEST(MandaTrama485LimitsTest, DeadlinesComeFromTheReplyTimeOutAndTheLongestFrameAt9600Baud)
{
    // 1021 bytes of 11 bits: 1169.9 ms.
    EXPECT_EQ(MandaTrama485::longestFrameMs(), 1170);
    EXPECT_EQ(MandaTrama485::receptionLimitMs(1600), 2770);
    EXPECT_EQ(MandaTrama485::receptionLimitMs(200), 1370);
    EXPECT_EQ(MandaTrama485::exchangeLimitMs(10, 1600), 11 * 2770);
    EXPECT_EQ(MandaTrama485::exchangeLimitMs(12, 1600), 13 * 2770);
    EXPECT_EQ(MandaTrama485::exchangeLimitMs(0, 1600), 2770);
}

TEST_F(MandaTrama485Test, APortThatIsNotOpenOrFailsGivesOne)
{
    SerialPort closed;
    layer->AsignaPuerto(&closed);
    EXPECT_EQ(send("0"), MandaTrama485::PortFailed);

    layer->AsignaPuerto(port.get());
    peer.reset();
    pty->closeMaster();
    EXPECT_EQ(send("0"), MandaTrama485::PortFailed);
}

TEST_F(MandaTrama485Test, StepByStepAsksAfterEverySend)
{
    app.profile().WriteInt("GlobalCom", "PararTrasEnviar", 1);
    connect();
    EXPECT_TRUE(layer->logOn());
    app.messages().queueAnswer(fw::MessageAnswer::No);
    EXPECT_EQ(send("0"), MandaTrama485::NoReply);
    waitForRequests(1);
    EXPECT_EQ(peer->requests().size(), 1);
    ASSERT_EQ(app.messages().shown().size(), 1);
    const fw::Message& question = app.messages().shown()[0];
    EXPECT_EQ(question.text, "SI -> Seguir, No -> Salir, Esc -> Reintentar");
    EXPECT_EQ(question.buttons, fw::MessageButtons::YesNoCancel);
    EXPECT_EQ(question.icon, fw::MessageIcon::Information);

    // Esc starts the count again: with one retry, three sends.
    connect();
    app.messages().clear();
    peer->setDefaultFault(Fault::DropReply);
    layer->AsignaReintentos(1);
    for (const fw::MessageAnswer a : {fw::MessageAnswer::Yes, fw::MessageAnswer::Cancel, fw::MessageAnswer::Yes})
        app.messages().queueAnswer(a);
    EXPECT_EQ(send("0"), MandaTrama485::NoReply);
    EXPECT_EQ(peer->requests().size(), 3);
    EXPECT_EQ(app.messages().shown().size(), 3);

    connect();
    app.messages().queueAnswer(fw::MessageAnswer::Yes);
    EXPECT_EQ(send("0"), MandaTrama485::Ok);
}

// The user's time in the step-by-step question does not count against the exchange's
// deadline; "Reintentar" starts it again with the count.
TEST_F(MandaTrama485Test, TheStepQuestionsTimeDoesNotCountAgainstTheExchange)
{
    app.profile().WriteInt("GlobalCom", "PararTrasEnviar", 1);
    FakeClock clock;
    // Every empty read lets the time move on, every question ten minutes.
    clock.onSleep = [&] { clock.tick += 50; };
    app.messages().onShow = [&] { clock.tick += 600000; };
    connect(clock);
    peer->setDefaultFault(Fault::DropReply);
    layer->AsignaReintentos(1);
    for (const fw::MessageAnswer a : {fw::MessageAnswer::Yes, fw::MessageAnswer::Cancel, fw::MessageAnswer::Yes})
        app.messages().queueAnswer(a);
    EXPECT_EQ(send("0"), MandaTrama485::NoReply);
    EXPECT_EQ(peer->requests().size(), 3) << peer->describe().toStdString();
    app.messages().onShow = nullptr;
    layer.reset();
}

TEST_F(MandaTrama485Test, RandomBadRepliesAreSentForAgain)
{
    app.profile().WriteInt("GlobalCom", "ReintentosAleatorios", 1);
    connect();
    QList<int> draws{0, 3, 1};
    layer->setRandomDraw([&] { return draws.takeFirst(); });
    ASSERT_EQ(send("0"), MandaTrama485::Ok);
    expectSameFrame("0", 2);
    EXPECT_EQ(draws.size(), 1);
}

TEST_F(MandaTrama485Test, TheLogShowsEveryFrameAndItsDecodedData)
{
    app.profile().WriteInt("GlobalCom", "LOG", 1);
    connect();
    peer->scriptFault(0, Fault::BadSum);
    ASSERT_EQ(send("3AB"), MandaTrama485::Ok);
    const QStringList lines = log().split('\n');
    const QString prefix = QStringLiteral("^\\d\\d:\\d\\d:\\d\\d \\d{1,4} ");
    const QString request = T38AFrame::request('0', '0', "3AB").toHex(' ').toUpper() + ' ';
    const QString good = T38APeer::frame(0x01, '0', "R3AB").toHex(' ').toUpper() + ' ';
    const QStringList expected{
        prefix + "Mandando trama:$",
        prefix + QRegularExpression::escape(request) + "$",
        prefix + "Contenido de datos enviados decodificados:$",
        prefix + "41 42 $",
        prefix + "Recibiendo trama:$",
        prefix + "[0-9A-F ]+ 04 $",
        prefix + "Trama erronea: \\d+\\.El número de reintentos es 0, de 10$",
        prefix + "Mandando trama:$",
        prefix + QRegularExpression::escape(request) + "$",
        prefix + "Contenido de datos enviados decodificados:$",
        prefix + "41 42 $",
        prefix + "Recibiendo trama:$",
        prefix + QRegularExpression::escape(good) + "$",
        prefix + "Trama Ok en \\d+ ms\\. Contenido de la respuesta decodificada:$",
        prefix + "52 33 41 42 $",
        "^$",
    };
    ASSERT_EQ(lines.size(), expected.size()) << log().toStdString();
    for (int i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(lines[i].contains(QRegularExpression(expected[i]))) << i << ": " << lines[i].toStdString();
}

TEST_F(MandaTrama485Test, OutOfBandFramesAreLoggedDecoded)
{
    app.profile().WriteInt("GlobalCom", "LOG", 1);
    connect();
    peer->scriptFault(0, Fault::OutOfBand);
    ASSERT_EQ(send("0"), MandaTrama485::Ok);
    const QString text = log();
    const qsizetype at = text.indexOf("Trama fuera de banda recibida. Contenido decodificado:\n");
    ASSERT_GE(at, 0) << text.toStdString();
    EXPECT_TRUE(text.mid(at).contains(QRegularExpression("decodificado:\n\\d\\d:\\d\\d:\\d\\d \\d+ 45 31 \n")))
        << text.toStdString();
}

TEST(ComLogTest, LinesHaveTheTimeAndTheTickAndDumpsEndOnlyAtAnEot)
{
    TestApplication app;
    app.profile().WriteString("Configuracion", "TempDir", app.tempPath() + '/');
    app.profile().WriteInt("GlobalCom", "LOG", 1);
    FakeClock clock;
    clock.tick = 51234;
    {
        MandaTrama485 layer(app.profile(), clock);
        layer.EscribeTextoLog("Recibiendo trama:");
        layer.EscribeHexLog(bytes({0x04, 0x30}));
        layer.EscribeHexLog(bytes({0x31}));
        layer.NuevaLineaLog();
        clock.tick = 7;
        layer.EscribeHexLog(bytes({0xAB, 0x04}));
        layer.EscribeHoraLog();
        layer.EscribeTextoLog("Ñandú");
    }
    QFile file(app.tempPath("LogCom.log"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(file.readAll()), "14:07:09 1234 Recibiendo trama:\n"
                                                 "14:07:09 1234 04 30 31 \n"
                                                 "AB 04 \n"
                                                 "14:07:09 7 14:07:09 7 Ñandú\n");
}

TEST(ComLogTest, NothingIsWrittenWithTheLogOff)
{
    TestApplication app;
    app.profile().WriteString("Configuracion", "TempDir", app.tempPath() + '/');
    {
        MandaTrama485 layer(app.profile(), fw::Clock::System());
        EXPECT_FALSE(layer.logOn());
        layer.EscribeTextoLog("Recibiendo trama:");
        layer.EscribeHexLog(bytes({0x04}));
    }
    EXPECT_FALSE(QFile::exists(app.tempPath("LogCom.log")));
}

} // namespace
