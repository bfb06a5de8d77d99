#include "link/CGrabador.h"

#include "fw/Application.h"
#include "fw/Clock.h"
#include "fw/MessageBoxes.h"
#include "fw/Profile.h"
#include "fw/WaitUi.h"
#include "link/SerialPort.h"

#include <array>
#include <optional>

namespace {
QString text(int id) { return fw::Application::get().strings().text(id); }
} // namespace

CGrabador::CGrabador(fw::WaitUi& wait, const fw::Profile& profile, fw::Clock& clock, bool trace)
    : m_wait(wait)
    , m_profile(profile)
    , m_clock(clock)
    , m_started(m_wait.Inicia())
{
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
                if (m_trace.isOpen())
                    m_trace.write(reinterpret_cast<const char*>(&byte), 1);
                if (byte == Enq || byte == Stx) {
                    if (!write(QByteArray(1, char(Eot))))
                        return 0;
                    m_port->PurgeRx();
                    return byte == Enq ? 1 : 2;
                }
            }
        }
        m_clock.Sleep(m_timing.pauseMs);
        ++polls;
        if (EstaCancelado())
            return 0;
    }
}

bool CGrabador::openPort() { return m_port->Open(m_portName, true, Baud); }

bool CGrabador::EscribeDatos(quint8 blockId, quint8 field, QByteArrayView data)
{
    // The length travels in one byte and the checksum covers n + 5 bytes.
    if (data.size() > MaxRecord) {
        m_failed = true;
        return false;
    }
    m_frame = frame(int(data.size()), (quint32(blockId) << 8) | field, RecordType, data);
    if (EnviaTrama() && EsperaConfirmacion([this] { return EnviaTrama(); }))
        return true;
    m_failed = true;
    return false;
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
        m_frame = frame(chunk, address + quint32(done), type,
                        QByteArrayView(reinterpret_cast<const char*>(data + done), chunk));
        if (!EnviaTrama() || !EsperaConfirmacion([this] { return EnviaTrama(); }))
            return false;
        done += chunk;
    }
    return true;
}

bool CGrabador::LeeMemoria(quint32 address, int length, quint8* destination, quint8 type)
{
    for (int done = 0; done < length;) {
        const int chunk = std::min(MaxChunk, length - done);
        const QByteArray request = frame(chunk, address + quint32(done), type, {});
        // A refused request is asked again, not the last write frame.
        if (!sendRequest(request) || !EsperaConfirmacion([&] { return sendRequest(request); })
            || !readBlock(chunk, destination + done))
            return false;
        done += chunk;
    }
    return true;
}

bool CGrabador::LeeRegistro(quint8 blockId, quint8 field, int length, quint8* destination)
{
    if (length < 0 || length > MaxRecordRead)
        return false;
    const QByteArray request = frame(length, (quint32(blockId) << 8) | field, RecordType, {});
    return sendRequest(request) && EsperaConfirmacion([&] { return sendRequest(request); })
           && readBlock(length, destination);
}

bool CGrabador::LeeBytes(int count, int limitMs)
{
    m_received.clear();
    const qint64 start = m_clock.TickCount();
    for (;;) {
        QByteArray buffer(count - m_received.size(), '\0');
        quint32 read = 0;
        // A port that fails (the device is gone) ends the reception at once.
        if (!m_port || !m_port->Read(reinterpret_cast<quint8*>(buffer.data()), quint32(buffer.size()), read))
            return fail(NoAnswerText);
        if (read > 0) {
            m_received.append(buffer.left(read));
            if (m_trace.isOpen())
                m_trace.write(buffer.left(read));
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

bool CGrabador::EsperaByte(quint8 expected)
{
    if (!LeeBytes(1, m_timing.controlMs))
        return false;
    return quint8(m_received[0]) == expected || fail(CommunicationErrorText);
}

bool CGrabador::EnviaControl(quint8 byte)
{
    // Whatever the line brought since the last answer cannot be the answer to this byte.
    if (m_port)
        m_port->PurgeRx();
    return write(QByteArray(1, char(byte))) && EsperaByte(Ack);
}

bool CGrabador::EnviaTrama()
{
    if (!EnviaControl(Soh))
        return false;
    m_port->PurgeRx();
    return write(m_frame);
}

bool CGrabador::EsperaConfirmacion(const std::function<bool()>& send)
{
    int resends = Resends;
    if (!LeeBytes(1, m_timing.controlMs))
        return false;
    for (;;) {
        const quint8 reply = quint8(m_received[0]);
        if (reply == Ack)
            return true;
        if (reply == Bel)
            return fail(CardFullText);
        if (reply == Etb)
            return fail(WriteErrorText);
        if (resends == 0)
            return fail(reply == Nak ? ChecksumErrorText : CommunicationErrorText);
        --resends;
        // A refusal may be noise before the real answer: that answer must not be taken as the
        // one to the resend.
        if (!drainLine() || !send() || !LeeBytes(1, m_timing.controlMs))
            return false;
    }
}

bool CGrabador::sendRequest(const QByteArray& request) { return EnviaControl(Stx) && write(request); }

bool CGrabador::readBlock(int count, quint8* destination)
{
    for (int block = 0; block < BlockTries; ++block) {
        if (!LeeBytes(count + 1, m_timing.blockMs))
            return false;
        // Noise before or inside a block shifts it: its last bytes come after the count, and
        // the sum may match all the same. The block sent again after the NAK must then start
        // on a quiet line, or it is read shifted too.
        const std::optional<int> late = drainLine();
        if (!late)
            return false;
        const QByteArrayView data = QByteArrayView(m_received).first(count);
        if (*late == 0 && CalculaChecksum(data) == quint8(m_received.back())) {
            if (!write(QByteArray(1, char(Ack))))
                return false;
            std::copy(data.begin(), data.end(), destination);
            return true;
        }
        if (!write(QByteArray(1, char(Nak))))
            return false;
    }
    return fail(ChecksumErrorText);
}

std::optional<int> CGrabador::drainLine()
{
    const auto failed = [this](int stringId) {
        fail(stringId);
        return std::optional<int>();
    };
    int late = 0;
    const SerialPort::ReadTimeouts quiet{.intervalMs = QuietMs, .perByteMs = 0, .constantMs = QuietMs};
    const qint64 start = m_clock.TickCount();
    for (;;) {
        std::array<quint8, 64> buffer{};
        quint32 read = 0;
        if (!m_port || !m_port->Read(buffer.data(), quint32(buffer.size()), read, quiet))
            return failed(NoAnswerText);
        if (read == 0)
            return late;
        late += int(read);
        if (m_trace.isOpen())
            m_trace.write(reinterpret_cast<const char*>(buffer.data()), read);
        AtiendeMensajes();
        if (EstaCancelado() || !m_port->IsOpen())
            return failed(NoAnswerText);
        // A line that never falls quiet is no line to talk on.
        if (m_clock.TickCount() - start >= m_timing.blockMs)
            return failed(CommunicationErrorText);
    }
}

bool CGrabador::write(QByteArrayView bytes)
{
    if (m_trace.isOpen())
        m_trace.write(bytes.data(), bytes.size());
    // A line that takes nothing any more is as good as a silent machine.
    return (m_port && m_port->Write(bytes)) || fail(NoAnswerText);
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
