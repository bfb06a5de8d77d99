#include "link/CGrabadorT38A.h"

#include "app/MachineModel.h"
#include "fw/Application.h"
#include "fw/Clock.h"
#include "fw/Profile.h"
#include "fw/WaitUi.h"
#include "link/PackedBcd.h"
#include "link/SerialPort.h"

#include <cstdlib>

namespace {

constexpr quint8 RecordStart = 0xEC;
constexpr quint8 EndOfRecords = 0x01;
constexpr quint8 EndOfDataByte = 0xFF;
constexpr char Accepted = 'O';
constexpr char Refused = '?';

QString text(int id) { return fw::Application::get().strings().text(id); }

} // namespace

CGrabadorT38A::CGrabadorT38A(fw::WaitUi& wait, const fw::Profile& profile, fw::Clock& clock)
    : m_wait(wait)
    , m_profile(profile)
    , m_clock(clock)
    , m_layer(profile, clock)
{
    m_layer.AsignaAbortar(&wait.cancelado());
    // One pump pass per empty read keeps the window painted and its cancel alive.
    m_layer.setIdleHook([this] { m_wait.ProcesaMensajes(false); });
    m_started = m_wait.Inicia();
}

CGrabadorT38A::~CGrabadorT38A() = default;

bool CGrabadorT38A::Conecta(SerialPort* port)
{
    // Without its window the transfer does not run: another one holds the window, or the
    // user closed it at once.
    if (!m_started)
        return false;
    m_port = port;
    port->Close();
    m_portName = QStringLiteral("COM%1").arg(m_profile.GetInt(QStringLiteral("Ormi"), QStringLiteral("SerialPort"), 1));
    port->Open(m_portName, true, Baud);
    m_layer.AsignaPuerto(port);
    // A port that did not open gets no line settings; the hello fails on it.
    if (port->IsOpen()) {
        port->SetTwoStopBits();
        sendBreak();
    }
    if (!Saluda()) {
        port->Close();
        fail(CannotConnectText);
        MuestraProgreso(100);
        return false;
    }
    if (m_accessCode && m_connected) {
        message(EnteringCodeText);
        MuestraProgreso(25);
        QByteArray reply;
        if (exchange(ComponeComandoClave(AccessCode), HelloReplyCapacity, reply) != MandaTrama485::Ok) {
            MuestraProgreso(100);
            return fail(CommunicationErrorText);
        }
        // An empty reply is taken as accepted.
        if (!reply.isEmpty() && reply[0] == Refused)
            return fail(WrongCodeText);
    }
    return true;
}

void CGrabadorT38A::sendBreak()
{
    m_port->SetBreak(true);
    for (int waited = 0; waited < m_breakMs && !m_wait.EstaCancelado(); waited += BreakStepMs) {
        m_clock.Sleep(std::min(BreakStepMs, m_breakMs - waited));
        m_wait.ProcesaMensajes(false);
    }
    m_port->SetBreak(false);
}

bool CGrabadorT38A::Saluda()
{
    m_layer.AsignaReintentos(HelloRetries);
    QByteArray reply;
    if (exchange("0", HelloReplyCapacity, reply) != MandaTrama485::Ok) {
        message(CannotConnectText);
        MuestraProgreso(100);
        return false;
    }
    if (!EsFinDatos(reply)) {
        MuestraProgreso(100);
        return false;
    }
    m_connected = true;
    return true;
}

void CGrabadorT38A::Finaliza()
{
    // A machine that answered nothing to the last command is not kept waiting for.
    if (!m_silent)
        m_layer.mandaComandoMaquina(nullptr, 0, QByteArrayView("9"));
    if (m_port)
        m_port->PurgeRx();
}

void CGrabadorT38A::CierraEspera()
{
    // A window this transfer did not start belongs to another one.
    if (m_started)
        m_wait.Detiene();
}

bool CGrabadorT38A::EscribeDatos(quint8 blockId, quint8 field, QByteArrayView data)
{
    QByteArray payload;
    if (IsRawRecordCode(blockId)) {
        for (qsizetype i = data.size(); i-- > 0;)
            payload.append(data[i]);
    } else {
        payload = data.toByteArray().toHex().toUpper();
    }
    for (qsizetype at = 0; at < payload.size(); at += MaxPiece)
        if (!EscribeTrozo(blockId, field, QByteArrayView(payload).sliced(at, std::min<qsizetype>(MaxPiece, payload.size() - at))))
            return false;
    return true;
}

bool CGrabadorT38A::EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32)
{
    const std::optional<QByteArray> bcd = IntToBcd(value, 2, false);
    QByteArray record(1, '\0');
    record.append(bcd ? bcd->at(0) : '\0');
    return EscribeDatos(blockId, field, record);
}

bool CGrabadorT38A::EscribeTrozo(quint8 blockId, quint8 field, QByteArrayView piece)
{
    // After a command no try of which was answered, the records still to come are refused
    // at once: the machine is gone, and each would wait out every try again.
    if (m_silent)
        return false;
    QByteArray command;
    command.append('3');
    command.append(char(blockId));
    command.append(char(field));
    command.append(piece.first(std::min<qsizetype>(piece.size(), MaxPiece)));
    QByteArray reply;
    if (exchange(command, PieceReplyCapacity, reply) != MandaTrama485::Ok)
        return fail(CommunicationErrorText);
    if (!reply.isEmpty() && reply[0] == Accepted)
        return true;
    return fail(!reply.isEmpty() && reply[0] == Refused ? ChecksumErrorText : WriteErrorText);
}

void CGrabadorT38A::MuestraMensaje(const QString& textShown)
{
    m_line2 = fw::Application::get().strings().format(RecordingText, {textShown});
    showLines();
    m_wait.ProcesaMensajes(false);
}

void CGrabadorT38A::MuestraProgreso(qint32 percent) { m_wait.AsignaProgreso(percent); }

bool CGrabadorT38A::LeeTodo(QByteArray& destination)
{
    QByteArray collected;
    int progress = 0;
    int emptyInARow = 0;
    for (;;) {
        QByteArray reply;
        if (exchange("2", BlockReplyCapacity, reply) != MandaTrama485::Ok)
            return fail(CommunicationErrorText);
        // A machine that keeps answering nothing, or more than the data can hold, ends the read.
        emptyInARow = reply.isEmpty() ? emptyInARow + 1 : 0;
        const bool end = EsFinDatos(reply);
        if (emptyInARow >= MaxEmptyReplies || collected.size() + reply.size() > DataCapacity)
            return fail(CommunicationErrorText);
        collected += reply;
        MuestraProgreso(progress);
        progress += 4;
        m_wait.ProcesaMensajes(false);
        // A cancel given while the window was pumped ends the read as one during an exchange
        // does, after the last block too: the user asked for nothing to be taken.
        if (m_wait.EstaCancelado())
            return fail(CommunicationErrorText);
        if (end)
            break;
    }
    destination = collected;
    return true;
}

bool CGrabadorT38A::BuscaRegistro(QByteArrayView data, quint8 blockId, quint8 field, QByteArray& destination,
                                  int& length, int capacity)
{
    destination.clear();
    length = 0;
    bool found = false;
    for (qsizetype at = 0; at < data.size(); ++at) {
        if (quint8(data[at]) != RecordStart)
            continue;
        if (at + 1 < data.size() && quint8(data[at + 1]) == EndOfRecords)
            break;
        if (at + 3 >= data.size() || data[at + 1] != 'R' || quint8(data[at + 2]) != blockId
            || quint8(data[at + 3]) != field)
            continue;
        found = true;
        qsizetype end = at + 4;
        while (end < data.size() && quint8(data[end]) != RecordStart)
            ++end;
        const QByteArrayView bytes = data.sliced(at + 4, end - at - 4);
        length += int(bytes.size());
        destination.append(bytes.first(std::clamp<qsizetype>(capacity - destination.size(), 0, bytes.size())));
        at = end - 1;
    }
    return found && length <= capacity;
}

QByteArray CGrabadorT38A::HexABytes(QByteArrayView hex)
{
    QByteArray bytes;
    const qsizetype count = std::min<qsizetype>(hex.size() / 2, MaxHexBytes);
    for (qsizetype i = 0; i < count; ++i) {
        const char pair[3] = {hex[2 * i], hex[2 * i + 1], '\0'};
        bytes.append(char(std::strtol(pair, nullptr, 16)));
    }
    return bytes;
}

QByteArray CGrabadorT38A::HexATexto(QByteArrayView hex)
{
    const QByteArray bytes = HexABytes(hex);
    const qsizetype zero = bytes.indexOf('\0');
    return bytes.left(std::min<qsizetype>(zero < 0 ? bytes.size() : zero, MaxHexText));
}

QByteArray CGrabadorT38A::ComponeComandoClave(QByteArrayView code)
{
    QByteArray command(1, 'C');
    command.append(code.first(std::min<qsizetype>(code.size(), 4)));
    return command.leftJustified(5, ' ');
}

bool CGrabadorT38A::EsFinDatos(QByteArray& reply)
{
    if (reply.isEmpty())
        return false;
    if (quint8(reply[0]) == EndOfDataByte)
        return true;
    for (qsizetype i = 0; i + 4 < reply.size(); ++i)
        if (quint8(reply[i]) == RecordStart && reply[i + 1] == 'B' && reply[i + 2] == 0x0E
            && quint8(reply[i + 4]) == EndOfDataByte)
            reply[i + 4] = ' ';
    return reply.size() >= 2 && quint8(reply[reply.size() - 2]) == RecordStart
           && quint8(reply[reply.size() - 1]) == EndOfRecords;
}

void CGrabadorT38A::AsignaLinea1(int stringId)
{
    m_line1 = text(stringId);
    showLines();
}

void CGrabadorT38A::AsignaLinea2(const QString& line)
{
    m_line2 = line;
    showLines();
}

void CGrabadorT38A::MuestraResultado(int stringId)
{
    m_line2 = text(stringId);
    m_wait.Termina(m_line2);
    m_finished = true;
}

int CGrabadorT38A::exchange(QByteArrayView command, int capacity, QByteArray& reply)
{
    reply.resize(capacity);
    const int result = m_layer.mandaComandoMaquina(reinterpret_cast<quint8*>(reply.data()), capacity, command);
    reply.resize(result == MandaTrama485::Ok ? m_layer.LongitudRespuesta() : 0);
    m_silent = result == MandaTrama485::NoReply || result == MandaTrama485::PortFailed;
    return result;
}

void CGrabadorT38A::showLines()
{
    if (!m_finished)
        m_wait.AsignaMensaje(m_line1 + QLatin1Char('\n') + m_line2);
}

void CGrabadorT38A::message(int stringId)
{
    if (!m_finished)
        m_wait.AsignaMensaje(stringId);
}

bool CGrabadorT38A::fail(int stringId)
{
    m_failed = true;
    if (!m_finished)
        MuestraResultado(stringId);
    return false;
}
