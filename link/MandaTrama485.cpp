#include "link/MandaTrama485.h"

#include "fw/Application.h"
#include "fw/Clock.h"
#include "fw/MessageBoxes.h"
#include "fw/Profile.h"
#include "fw/TextFormat.h"
#include "link/SerialPort.h"
#include "link/T38AFrame.h"

#include <cstring>
#include <random>

namespace {

// The log's own lines, kept as the machines' service staff know them.
const QString NoFrameText = QStringLiteral("Sale de mandaComandoMaquina sin trama");
const QString SendingText = QStringLiteral("Mandando trama:");
const QString SentDataText = QStringLiteral("Contenido de datos enviados decodificados:");
const QString ReceivingText = QStringLiteral("Recibiendo trama:");
const QString TwoStartsText = QStringLiteral("Se han recibido 2 inicios de cadena, ignoramos el primero.");
const QString GoodReplyText = QStringLiteral("Trama Ok en %d ms. Contenido de la respuesta decodificada:");
const QString OutOfBandText = QStringLiteral("Trama fuera de banda recibida. Contenido decodificado:");
const QString BadFrameText = QStringLiteral("Trama erronea: %d.El número de reintentos es %d, de %d");
const QString GivingUpText = QStringLiteral("Prueba::Trama erronea: %d. El número max de reintentos es %d");

const QString ComSection = QStringLiteral("GlobalCom");

QString logPath(const fw::Profile& profile)
{
    // The folder is taken as written, the name directly after it.
    return profile.GetString(QStringLiteral("Configuracion"), QStringLiteral("TempDir"))
        + QLatin1String(MandaTrama485::LogFileName);
}

std::function<int()> timeSeededDraw(fw::Clock& clock)
{
    auto generator = std::make_shared<std::minstd_rand>(quint32(clock.CurrentDateTime().toSecsSinceEpoch()));
    return [generator] { return std::uniform_int_distribution<int>(0, 3)(*generator); };
}

} // namespace

MandaTrama485::MandaTrama485(const fw::Profile& profile, fw::Clock& clock)
    : m_clock(clock)
    , m_log(logPath(profile), clock)
    , m_draw(timeSeededDraw(clock))
    , m_logOn(profile.GetInt(ComSection, QStringLiteral("LOG"), 0) != 0)
    , m_stepByStep(profile.GetInt(ComSection, QStringLiteral("PararTrasEnviar"), 0) != 0)
    , m_randomBad(profile.GetInt(ComSection, QStringLiteral("ReintentosAleatorios"), 0) != 0)
{
    if (m_stepByStep)
        m_logOn = true;
}

MandaTrama485::~MandaTrama485() { CierraLog(); }

int MandaTrama485::mandaComandoMaquina(quint8* reply, int replyCapacity, const quint8* command, int length)
{
    const quint8 sequence = s_sequence.load();
    const QByteArrayView commandBytes(command, std::max(length, 0));
    const QByteArray frame = T38AFrame::request(Address, sequence, commandBytes);
    int tryCount = 0;
    qint64 exchangeEnd = m_clock.TickCount() + exchangeLimitMs(m_retries, m_replyTimeoutMs);
    m_reception.clearMark();
    for (;;) {
        if (aborted()) {
            EscribeTextoLog(NoFrameText);
            return Aborted;
        }
        if (m_clock.TickCount() >= exchangeEnd) {
            EscribeTextoLog(fw::TextFormat::format(GivingUpText, {m_elapsedMs, m_retries}));
            return NoReply;
        }
        const bool listenOnly = m_reception.mark() == T38AReception::Mark::OutOfBandPending && tryCount % 2 == 1;
        if (!listenOnly)
            send(frame, commandBytes);
        if (!m_port || !m_port->IsOpen())
            return PortFailed;
        if (m_stepByStep) {
            const int answer = askStep(tryCount, exchangeEnd);
            if (answer >= 0)
                return answer;
        }
        const Reception reception = receive(exchangeEnd);
        if (reception == Reception::ReadFailed)
            return PortFailed;
        if (reception == Reception::Aborted) {
            EscribeTextoLog(NoFrameText);
            return Aborted;
        }

        const QByteArray& stored = m_reception.stored();
        const bool valid = !spoiled() && T38AFrame::isValid(stored, sequence, tryCount);
        const bool outOfBand = m_reception.mark() == T38AReception::Mark::OutOfBandPending;
        if (valid && outOfBand) {
            const QByteArray data = T38AFrame::decodeData(stored);
            EscribeTextoLog(OutOfBandText);
            EscribeHexLog(data);
            NuevaLineaLog();
        } else if (valid) {
            const QByteArray data = T38AFrame::decodeData(stored);
            if (!reply) {
                s_sequence.store(T38AFrame::nextSequence(sequence));
                return Ok;
            }
            if (data.size() <= replyCapacity) {
                s_sequence.store(T38AFrame::nextSequence(sequence));
                std::memcpy(reply, data.constData(), size_t(data.size()));
                m_replyLength = int(data.size());
                EscribeTextoLog(fw::TextFormat::format(GoodReplyText, {m_elapsedMs}));
                EscribeHexLog(data);
                NuevaLineaLog();
                return Ok;
            }
        }
        if (!valid || !outOfBand) {
            // A broken out-of-band frame ends the announcement.
            if (outOfBand && !stored.isEmpty())
                m_reception.clearMark();
            if (m_reception.mark() != T38AReception::Mark::OutOfBandPending)
                EscribeTextoLog(fw::TextFormat::format(BadFrameText, {m_elapsedMs, tryCount, m_retries}));
        }
        // Out-of-band frames count too, so a machine that keeps sending them cannot hold the
        // exchange.
        if (++tryCount > m_retries) {
            EscribeTextoLog(fw::TextFormat::format(GivingUpText, {m_elapsedMs, m_retries}));
            return NoReply;
        }
    }
}

void MandaTrama485::send(const QByteArray& frame, QByteArrayView command)
{
    m_reception.clearMark();
    if (!m_port)
        return;
    m_port->PurgeRx();
    m_port->Write(frame);
    EscribeTextoLog(SendingText);
    EscribeHexLog(frame);
    if (command.size() > 1) {
        EscribeTextoLog(SentDataText);
        EscribeHexLog(command.sliced(1));
        NuevaLineaLog();
    }
    // Whatever the line brought meanwhile cannot be the reply.
    m_port->PurgeRx();
}

int MandaTrama485::askStep(int& tryCount, qint64& exchangeEnd)
{
    // Closed and opened again, so it can be read while the question waits.
    CierraLog();
    AbreLog();
    const qint64 asked = m_clock.TickCount();
    const fw::MessageAnswer answer = fw::MessageBoxes::box(fw::Application::get().strings().text(StepQuestionTextId),
                                                           fw::MessageButtons::YesNoCancel,
                                                           fw::MessageIcon::Information);
    const qint64 answered = m_clock.TickCount();
    if (answer == fw::MessageAnswer::No)
        return NoReply;
    if (answer == fw::MessageAnswer::Cancel) {
        tryCount = 0;
        exchangeEnd = answered + exchangeLimitMs(m_retries, m_replyTimeoutMs);
        m_port->PurgeRx();
    } else {
        exchangeEnd += answered - asked;
    }
    return -1;
}

MandaTrama485::Reception MandaTrama485::receive(qint64 exchangeEnd)
{
    m_reception.start();
    const qint64 start = m_clock.TickCount();
    const qint64 end = std::min(start + receptionLimitMs(m_replyTimeoutMs), exchangeEnd);
    qint64 lastByte = start;
    qint64 lastPump = start;
    EscribeTextoLog(ReceivingText);
    Reception result = Reception::Ended;
    for (;;) {
        if (aborted()) {
            result = Reception::Aborted;
            break;
        }
        quint8 byte = 0;
        quint32 count = 0;
        if (!m_port->Read(&byte, 1, count)) {
            result = Reception::ReadFailed;
            break;
        }
        if (count == 0) {
            m_clock.Sleep(m_idlePauseMs);
            pumpCaller(lastPump);
        } else {
            const T38AReception::Feed fed = m_reception.feed(byte);
            if (fed.restarted) {
                NuevaLineaLog();
                EscribeTextoLog(TwoStartsText);
            }
            EscribeHexLog(&byte, 1);
            if (fed.inFrame)
                lastByte = m_clock.TickCount();
            if (fed.ended)
                break;
            if (m_clock.TickCount() - lastPump >= PumpIntervalMs)
                pumpCaller(lastPump);
        }
        const qint64 now = m_clock.TickCount();
        if (now - lastByte > m_replyTimeoutMs || now >= end)
            break;
    }
    m_elapsedMs = quint32(m_clock.TickCount() - start);
    return result;
}

void MandaTrama485::pumpCaller(qint64& lastPump)
{
    if (m_idleHook)
        m_idleHook();
    lastPump = m_clock.TickCount();
}

qint64 MandaTrama485::longestFrameMs()
{
    // The reception takes at most MaxStored + 1 bytes of one frame; rounded up.
    constexpr qint64 bits = qint64(T38AReception::MaxStored + 1) * BitsPerByte;
    return (bits * 1000 + LineBaud - 1) / LineBaud;
}

qint64 MandaTrama485::receptionLimitMs(int replyTimeoutMs) { return replyTimeoutMs + longestFrameMs(); }

qint64 MandaTrama485::exchangeLimitMs(int retries, int replyTimeoutMs)
{
    return qint64(std::max(retries, 0) + 1) * receptionLimitMs(replyTimeoutMs);
}

bool MandaTrama485::spoiled() { return m_randomBad && m_draw() == 0; }

void MandaTrama485::AbreLog()
{
    if (m_logOn)
        m_log.open();
}

void MandaTrama485::CierraLog() { m_log.close(); }

void MandaTrama485::EscribeHoraLog()
{
    if (m_logOn)
        m_log.timePrefix();
}

void MandaTrama485::EscribeHexLog(const quint8* bytes, int count)
{
    if (m_logOn)
        m_log.hex(bytes, count);
}

void MandaTrama485::EscribeTextoLog(const QString& text)
{
    if (m_logOn)
        m_log.text(text);
}

void MandaTrama485::NuevaLineaLog()
{
    if (m_logOn)
        m_log.newLine();
}
