#include "link/CGrabador.h"

#include "fw/Application.h"
#include "fw/Clock.h"
#include "fw/MessageBoxes.h"
#include "fw/Profile.h"
#include "fw/WaitUi.h"
#include "link/SerialPort.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <utility>

namespace {
QString text(int id) { return fw::Application::get().strings().text(id); }
// A read that brings nothing returns after this long, and the window is pumped.
constexpr int EmptyReadMs = 40;
} // namespace

CGrabador::CGrabador(fw::WaitUi& wait, const fw::Profile& profile, fw::Clock& clock, bool trace)
    : m_wait(wait)
    , m_profile(profile)
    , m_clock(clock)
    , m_started(m_wait.Inicia())
{
    m_elapsed.start();
    if (trace) {
        m_trace.setFileName(QLatin1String(TraceFileName));
        m_trace.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
}

CGrabador::~CGrabador()
{
    m_trace.close();
    // A window this transfer did not start belongs to another one.
    if (m_started && !m_stopped)
        m_wait.Detiene();
}

int CGrabador::Conecta(SerialPort* port)
{
    // Without its window the transfer does not run: another one holds the window, or the
    // user closed it at once.
    if (!m_started)
        return 0;
    m_port = port;
    return BuscaMaquina();
}

int CGrabador::BuscaMaquina()
{
    int tries = m_timing.windows;
    m_portName = QStringLiteral("COM%1").arg(m_profile.GetInt(QStringLiteral("Ormi"), QStringLiteral("SerialPort"), 1));
    AsignaLinea2(fw::Application::get().strings().format(CommunicatingText, {m_portName, tries}));
    if (!openPort())
        return 0;
    int polls = 1;
    if (EstaCancelado())
        return 0;
    // When the line last brought a byte.
    qint64 lastByteUs = nowUs() - LineTiming::QuietFloorUs;
    for (;;) {
        if (polls >= m_timing.pollsPerWindow) {
            if (tries > 1) {
                --tries;
            } else if (m_portName == QLatin1String("COM1")) {
                m_portName = QStringLiteral("COM2");
                tries = m_timing.windows;
            } else {
                fail(NoAnswerText);
                return 0;
            }
            AsignaLinea2(fw::Application::get().strings().format(CommunicatingText, {m_portName, tries}));
            m_port->Close();
            if (!openPort())
                return 0;
            polls = 0;
            m_clock.Sleep(m_timing.pauseMs);
        } else {
            quint8 byte = 0;
            quint32 count = 0;
            if (!m_port->Read(&byte, 1, count)) {
                fail(NoAnswerText);
                return 0;
            }
            if (count == 0) {
                AtiendeMensajes();
            } else {
                trace(QByteArrayView(reinterpret_cast<const char*>(&byte), 1));
                const qint64 at = nowUs();
                // A real announcement is one byte on a line that then waits for EOT: one with
                // another byte just before or after it may be noise, or beside noise.
                const bool besideAnother = at - lastByteUs < LineTiming::QuietFloorUs;
                lastByteUs = at;
                if (byte == Enq || byte == Stx) {
                    const std::optional<bool> alone =
                        besideAnother ? std::optional<bool>(false) : staysSilent(lastByteUs);
                    if (!alone)
                        return 0;
                    if (*alone) {
                        if (!write(QByteArray(1, char(Eot))))
                            return 0;
                        m_announcement = byte;
                        return byte == Enq ? 1 : 2;
                    }
                }
            }
        }
        m_clock.Sleep(m_timing.pauseMs);
        ++polls;
        if (EstaCancelado())
            return 0;
    }
}

std::optional<bool> CGrabador::staysSilent(qint64& lastByteUs)
{
    const qint64 until = nowUs() + LineTiming::QuietFloorUs;
    bool silent = true;
    for (qint64 left = LineTiming::QuietFloorUs; left > 0; left = until - nowUs()) {
        const std::optional<QByteArray> bytes = takeFromLine(BufferBytes, int((left + 999) / 1000));
        if (!bytes)
            return std::nullopt;
        if (!bytes->isEmpty()) {
            lastByteUs = nowUs();
            silent = false;
        }
    }
    return silent;
}

bool CGrabador::openPort() { return m_port->Open(m_portName, true, Baud); }

bool CGrabador::EscribeDatos(quint8 blockId, quint8 field, QByteArrayView data)
{
    // The length travels in one byte and the checksum covers n + 5 bytes.
    if (data.size() > MaxRecord) {
        m_failed = true;
        return false;
    }
    const QByteArray bytes = frame(int(data.size()), recordAddress(blockId, field), RecordType, data);
    return runJob(Job{.control = Soh, .bytes = bytes}, false);
}

bool CGrabador::EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size)
{
    if (size != 1) {
        m_failed = true;
        return false;
    }
    return EscribeDatos(blockId, field, QByteArrayView(reinterpret_cast<const char*>(&value), 1));
}

bool CGrabador::EscribeMemoria(quint32 address, int length, const quint8* data, quint8 type)
{
    for (int done = 0; done < length;) {
        const int chunk = std::min(MaxChunk, length - done);
        const QByteArrayView piece(reinterpret_cast<const char*>(data + done), chunk);
        const QByteArray bytes = frame(chunk, address + quint32(done), type, piece);
        if (!runJob(Job{.control = Soh, .bytes = bytes}, false))
            return false;
        done += chunk;
    }
    return true;
}

bool CGrabador::LeeMemoria(quint32 address, int length, quint8* destination, quint8 type)
{
    return readBlocks(memoryReads(address, length, destination, type));
}

bool CGrabador::LeeRegistro(quint8 blockId, quint8 field, int length, quint8* destination)
{
    return readBlocks({BlockRead{recordAddress(blockId, field), length, RecordType, destination}});
}

QList<CGrabador::BlockRead> CGrabador::memoryReads(quint32 address, int length, quint8* destination, quint8 type)
{
    QList<BlockRead> reads;
    for (int done = 0; done < length; done += MaxChunk)
        reads.append({address + quint32(done), std::min(MaxChunk, length - done), type, destination + done});
    return reads;
}

bool CGrabador::readBlocks(const QList<BlockRead>& reads)
{
    for (const BlockRead& read : reads) {
        if (read.length < 0 || read.length > MaxRecordRead)
            return false;
    }
    for (qsizetype i = 0; i < reads.size(); ++i) {
        const BlockRead& read = reads[i];
        if (read.before)
            read.before();
        const Job job{.control = Stx, .bytes = frame(read.length, read.address, read.type, {}),
                      .destination = read.destination, .length = read.length};
        if (!runJob(job, i + 1 < reads.size()))
            return false;
    }
    return settle();
}

bool CGrabador::settle()
{
    while (m_unsettled) {
        Job job = m_unsettled->job;
        const std::optional<int> late = waitQuiet(m_unsettled->takenUs);
        m_unsettled.reset();
        if (!late)
            return false;
        if (*late == 0)
            return true;
        // The line is quiet now: the job goes again from its control byte.
        std::optional<Job> none;
        if (!spendTry(job) || EnviaControl(job.control, none) != Handshake::Taken || !EsperaConfirmacion(job, false))
            return false;
    }
    return true;
}

bool CGrabador::runJob(Job job, bool moreFollow)
{
    for (;;) {
        std::optional<Job> voided;
        const Handshake handshake = EnviaControl(job.control, voided);
        if (handshake == Handshake::Failed)
            return false;
        if (handshake == Handshake::Taken)
            return EsperaConfirmacion(job, moreFollow);
        // The machine waits for the voided job's bytes; this job's control byte goes after.
        if (!spendTry(*voided) || !EsperaConfirmacion(*voided, true))
            return false;
    }
}

bool CGrabador::spendTry(Job& job)
{
    if (job.control == Soh) {
        if (job.resendsLeft == 0)
            return fail(CommunicationErrorText);
        --job.resendsLeft;
        return true;
    }
    if (--job.blocksLeft == 0)
        return fail(ChecksumErrorText);
    return true;
}

CGrabador::Handshake CGrabador::EnviaControl(quint8 control, std::optional<Job>& voided)
{
    // Times tell answers apart only on a line that hands bytes over at once, and only between
    // jobs of one kind (the voided job must suit the machine's state after this byte).
    if (m_unsettled && (m_unsettled->job.control != control || !m_line.prompt()) && !settle())
        return Handshake::Failed;
    if (m_unsettled)
        return overlappingHandshake(control, voided);
    if (m_announcement)
        return firstHandshake(control);
    // Whatever the line brought since the last answer cannot be the answer to this byte.
    if (m_port)
        m_port->PurgeRx();
    return plainHandshake(control);
}

CGrabador::Handshake CGrabador::plainHandshake(quint8 control)
{
    if (!write(QByteArray(1, char(control))) || !LeeBytes(1, m_timing.controlMs))
        return Handshake::Failed;
    return takeAck();
}

CGrabador::Handshake CGrabador::firstHandshake(quint8 control)
{
    // Until the machine answers, nothing may come but its announcement again: another byte
    // means the one taken was not alone after all (a USB adapter may hand the byte beside it
    // over a burst later), and the mode is in doubt.
    const quint8 announcement = *std::exchange(m_announcement, std::nullopt);
    const auto other = [announcement](QByteArrayView bytes) {
        return std::any_of(bytes.begin(), bytes.end(),
                           [announcement](char byte) { return quint8(byte) != announcement; });
    };
    const std::optional<QByteArray> waiting = takeWaiting();
    if (!waiting)
        return Handshake::Failed;
    if (other(*waiting)) {
        fail(CommunicationErrorText);
        return Handshake::Failed;
    }
    if (!write(QByteArray(1, char(control))))
        return Handshake::Failed;
    do {
        if (!LeeBytes(1, m_timing.controlMs))
            return Handshake::Failed;
    } while (!other(m_received));
    return takeAck();
}

CGrabador::Handshake CGrabador::takeAck()
{
    m_line.noteAnswer(lastDeliveryUs() - (m_outFreeUs + m_line.characterUs()), true);
    if (quint8(m_received[0]) != Ack) {
        fail(CommunicationErrorText);
        return Handshake::Failed;
    }
    // Nothing is in doubt: what comes after the ACK, before the frame or request has gone,
    // cannot answer it.
    m_port->PurgeRx();
    return Handshake::Taken;
}

std::optional<QByteArray> CGrabador::takeWaiting()
{
    QByteArray waiting;
    for (;;) {
        const std::optional<QByteArray> bytes = takeFromLine(BufferBytes, 0);
        if (!bytes)
            return std::nullopt;
        if (bytes->isEmpty())
            return waiting;
        waiting.append(*bytes);
    }
}

CGrabador::Handshake CGrabador::overlappingHandshake(quint8 control, std::optional<Job>& voided)
{
    // Bytes there before the control byte goes out came behind the unsettled answer: its job
    // goes again on a quiet line, from its own control byte.
    const std::optional<QByteArray> waiting = takeWaiting();
    if (!waiting)
        return Handshake::Failed;
    if (!waiting->isEmpty()) {
        Job job = std::exchange(m_unsettled, std::nullopt)->job;
        if (!drainLine() || !spendTry(job) || plainHandshake(job.control) != Handshake::Taken
            || !EsperaConfirmacion(job, true))
            return Handshake::Failed;
        return EnviaControl(control, voided);
    }
    if (!write(QByteArray(1, char(control))) || !LeeBytes(1, m_timing.controlMs))
        return Handshake::Failed;
    // The answer cannot come before the control byte is out and a character back: a byte
    // sooner was behind the unsettled answer.
    const qint64 earliestUs = m_outFreeUs + m_line.characterUs();
    const qint64 answeredUs = lastDeliveryUs();
    const std::optional<QByteArray> with = takeWaiting();
    if (!with)
        return Handshake::Failed;
    Job job = std::exchange(m_unsettled, std::nullopt)->job;
    if (answeredUs >= earliestUs - m_line.characterUs() / 4 && with->isEmpty() && quint8(m_received[0]) == Ack) {
        m_line.noteAnswer(answeredUs - earliestUs, true);
        return Handshake::Taken;
    }
    // More than the answer came: the unsettled answer is void. The machine answers the control
    // byte after all it sent before, so its answer is the last byte once the line is quiet.
    quint8 last = with->isEmpty() ? quint8(m_received[0]) : quint8(with->back());
    const std::optional<int> more = drainLine();
    if (!more)
        return Handshake::Failed;
    if (*more > 0)
        last = m_lastDrained;
    if (last != Ack) {
        fail(CommunicationErrorText);
        return Handshake::Failed;
    }
    voided = job;
    return Handshake::Redo;
}

bool CGrabador::LeeBytes(int count, int limitMs)
{
    m_received.clear();
    m_deliveries.clear();
    const qint64 start = m_clock.TickCount();
    for (;;) {
        // A port that fails (the device is gone) ends the reception at once.
        const std::optional<QByteArray> bytes = takeFromLine(int(count - m_received.size()), EmptyReadMs);
        if (!bytes)
            return false;
        if (!bytes->isEmpty()) {
            m_deliveries.append(nowUs());
            m_received.append(*bytes);
        } else {
            AtiendeMensajes();
        }
        // A cancel counts after every read, a complete one included: a machine that answers at
        // once would otherwise never let it be seen.
        if (EstaCancelado())
            return fail(NoAnswerText);
        if (m_received.size() == count)
            return true;
        if (m_clock.TickCount() - start >= limitMs || !m_port->IsOpen())
            return fail(NoAnswerText);
    }
}

qint64 CGrabador::longestGapLateUs(qint64 previousUs) const
{
    qint64 longest = std::numeric_limits<qint64>::min();
    for (const qint64 at : m_deliveries) {
        longest = std::max(longest, at - previousUs - m_line.characterUs());
        previousUs = at;
    }
    return longest;
}

bool CGrabador::EsperaConfirmacion(Job& job, bool moreFollow)
{
    for (;;) {
        if (!write(job.bytes) || !LeeBytes(1, m_timing.controlMs))
            return false;
        quint8 reply = quint8(m_received[0]);
        const qint64 at = lastDeliveryUs();
        m_line.noteAnswer(at - (m_outFreeUs + m_line.characterUs()), false);
        bool quiet = false;
        if (reply == Ack) {
            if (job.control == Stx)
                return readBlock(job, moreFollow);
            if (m_line.prompt()) {
                m_unsettled = Unsettled{job, at};
                return true;
            }
            const std::optional<int> late = waitQuiet(at);
            if (!late)
                return false;
            if (*late == 0)
                return true;
            // A confirmation with bytes behind it is a refusal: the frame goes again.
            quiet = true;
            reply = 0;
        }
        if (reply == Bel)
            return fail(CardFullText);
        if (reply == Etb)
            return fail(WriteErrorText);
        if (job.resendsLeft == 0)
            return fail(reply == Nak ? ChecksumErrorText : CommunicationErrorText);
        --job.resendsLeft;
        // A refusal may be noise before the real answer: that answer must not be taken as the
        // one to the resend.
        if ((!quiet && !drainLine()) || plainHandshake(job.control) != Handshake::Taken)
            return false;
    }
}

bool CGrabador::readBlock(Job& job, bool moreFollow)
{
    // The block follows the request's ACK at once; one sent again follows the NAK.
    qint64 previousUs = lastDeliveryUs();
    for (;;) {
        if (!LeeBytes(job.length + 1, m_timing.blockMs))
            return false;
        m_line.noteAnswer(longestGapLateUs(previousUs), true);
        const qint64 at = lastDeliveryUs();
        const QByteArrayView data = QByteArrayView(m_received).first(job.length);
        const bool sumMatches = CalculaChecksum(data) == quint8(m_received.back());
        if (sumMatches && moreFollow && m_line.prompt()) {
            if (!write(QByteArray(1, char(Ack))))
                return false;
            std::copy(data.begin(), data.end(), job.destination);
            m_unsettled = Unsettled{job, at};
            return true;
        }
        // Noise before or inside a block shifts it: its last bytes come after the count, and
        // the sum may match all the same. The block sent again after the NAK must then start
        // on a quiet line, or it is read shifted too.
        const std::optional<int> late = waitQuiet(at);
        if (!late)
            return false;
        if (sumMatches && *late == 0) {
            if (!write(QByteArray(1, char(Ack))))
                return false;
            std::copy(data.begin(), data.end(), job.destination);
            return true;
        }
        if (!write(QByteArray(1, char(Nak))))
            return false;
        if (--job.blocksLeft == 0)
            return fail(ChecksumErrorText);
        previousUs = m_outFreeUs;
    }
}

std::optional<int> CGrabador::waitQuiet(qint64 sinceUs)
{
    const auto failed = [this](int stringId) {
        fail(stringId);
        return std::optional<int>();
    };
    int late = 0;
    qint64 lastUs = sinceUs;
    const qint64 start = m_clock.TickCount();
    for (;;) {
        const qint64 leftUs = lastUs + m_line.quietUs() - nowUs();
        const std::optional<QByteArray> bytes = takeFromLine(BufferBytes, int(std::max<qint64>(0, leftUs + 999) / 1000));
        if (!bytes)
            return std::nullopt;
        if (bytes->isEmpty()) {
            if (nowUs() - lastUs >= m_line.quietUs())
                return late;
            continue;
        }
        late += int(bytes->size());
        lastUs = nowUs();
        m_lastDrained = quint8(bytes->back());
        AtiendeMensajes();
        if (EstaCancelado() || !m_port->IsOpen())
            return failed(NoAnswerText);
        // A line that never falls quiet is no line to talk on.
        if (m_clock.TickCount() - start >= m_timing.blockMs)
            return failed(CommunicationErrorText);
    }
}

std::optional<QByteArray> CGrabador::takeFromLine(int capacity, int waitMs)
{
    std::array<quint8, BufferBytes> buffer{};
    quint32 read = 0;
    if (!m_port || !m_port->ReadSome(buffer.data(), quint32(std::clamp(capacity, 0, BufferBytes)), read, waitMs)) {
        fail(NoAnswerText);
        return std::nullopt;
    }
    QByteArray bytes(reinterpret_cast<const char*>(buffer.data()), read);
    trace(bytes);
    return bytes;
}

bool CGrabador::write(QByteArrayView bytes)
{
    trace(bytes);
    // The bytes leave after those still on the wire, a character each at the line's speed.
    m_outFreeUs = std::max(m_outFreeUs, nowUs()) + bytes.size() * m_line.characterUs();
    // A line that takes nothing any more is as good as a silent machine.
    return (m_port && m_port->Write(bytes)) || fail(NoAnswerText);
}

void CGrabador::trace(QByteArrayView bytes)
{
    if (m_trace.isOpen() && !bytes.isEmpty())
        m_trace.write(bytes.data(), bytes.size());
}

void CGrabador::MuestraMensaje(const QString& shown)
{
    MuestraProgreso(0);
    AsignaLinea2(fw::Application::get().strings().format(RecordingText, {shown}));
    AtiendeMensajes();
}

void CGrabador::MuestraProgreso(qint32 percent) { m_wait.AsignaProgreso(percent); }

void CGrabador::AsignaLinea1(const QString& line)
{
    m_line1 = line;
    showLines();
}

void CGrabador::AsignaLinea1(int stringId) { AsignaLinea1(text(stringId)); }

void CGrabador::AsignaLinea2(const QString& line)
{
    m_line2 = line;
    showLines();
}

void CGrabador::AsignaLinea2(int stringId) { AsignaLinea2(text(stringId)); }

void CGrabador::MuestraResultado(const QString& line)
{
    m_line2 = line;
    m_wait.Termina(m_line2);
}

void CGrabador::MuestraResultado(int stringId) { MuestraResultado(text(stringId)); }

void CGrabador::AtiendeMensajes() { m_wait.ProcesaMensajes(false); }

bool CGrabador::EstaCancelado() const { return m_wait.EstaCancelado(); }

void CGrabador::MuestraErrorTransferencia(int stringId)
{
    fw::MessageBoxes::stop(text(stringId));
    m_wait.Termina(TransferFailedText);
    m_wait.Detiene();
    m_stopped = true;
}

quint8 CGrabador::CalculaChecksum(QByteArrayView bytes)
{
    quint8 sum = 0;
    for (const char byte : bytes)
        sum = quint8(sum + quint8(byte));
    return quint8(-sum);
}

QByteArray CGrabador::frame(int length, quint32 address, quint8 type, QByteArrayView data)
{
    QByteArray out;
    out.append(char(length));
    out.append(char((address >> 16) & 0xFF));
    out.append(char((address >> 8) & 0xFF));
    out.append(char(address & 0xFF));
    out.append(char(type));
    out.append(data);
    out.append(char(CalculaChecksum(out)));
    return out;
}

void CGrabador::showLines() { m_wait.AsignaMensaje(m_line1 + QLatin1Char('\n') + m_line2); }

bool CGrabador::fail(int stringId)
{
    MuestraErrorTransferencia(stringId);
    m_failed = true;
    return false;
}
