#pragma once

#include "link/ExportarProgramacion.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <optional>

class SerialPort;

namespace fw {
class Clock;
class Profile;
class WaitUi;
} // namespace fw

// Writes into and reads from a classic machine with its byte protocol: the machine announces
// record mode (STX) or memory mode (ENQ) and gets EOT; writes go as SOH (ACK) and a frame of
// length, 24-bit address, type, data and checksum, confirmed by ACK, NAK (sent again up to
// three times), BEL or ETB; reads go as STX (ACK) and a six-byte request, answered by a block of
// data and checksum that the program acknowledges or NAKs (three blocks at most). A block is
// taken only when the line falls quiet after it, and a refused block or confirmation is
// answered only once the line is quiet, so that no byte of one answer, nor noise, is read as
// part of the next. Every failure is reported here through the transfer error box.
class CGrabador : public ExportarProgramacion {
public:
    struct Timing {
        int controlMs = 5000; // a control answer or a confirmation
        int blockMs = 2000;
        int pollsPerWindow = 200;
        int windows = 3;
        int pauseMs = 1;
    };

    static constexpr quint8 Soh = 0x01, Stx = 0x02, Eot = 0x04, Enq = 0x05, Ack = 0x06, Bel = 0x07;
    static constexpr quint8 Nak = 0x15, Etb = 0x17;
    static constexpr quint8 RecordType = 0x40;
    static constexpr int Baud = 9600;
    // The line counts as quiet after five character times without a byte (eleven bits each,
    // two stop bits included): 6 ms at 9600 baud.
    static constexpr int QuietCharacters = 5;
    static constexpr int BitsPerCharacter = 11;
    static constexpr int QuietMs = (QuietCharacters * BitsPerCharacter * 1000 + Baud - 1) / Baud;
    static constexpr int MaxRecord = 250;
    static constexpr int MaxChunk = 50;
    static constexpr int MaxRecordRead = 254;
    static constexpr int Resends = 3;
    static constexpr int BlockTries = 3;
    static constexpr const char* TraceFileName = "Grabador.mon";

    static constexpr int CommunicationErrorText = 20203;
    static constexpr int ChecksumErrorText = 20204;
    static constexpr int WriteErrorText = 20205;
    static constexpr int RecordingText = 20206;
    static constexpr int NoAnswerText = 20210;
    static constexpr int CardFullText = 20211;
    static constexpr int TransferFailedText = 20212;
    static constexpr int CommunicatingText = 20213;

    // Starts the wait window; with trace on, every byte both ways goes to Grabador.mon in the
    // current folder. When the window does not start (another transfer holds it), Conecta
    // gives 0 without opening the port and the window is left alone.
    CGrabador(fw::WaitUi& wait, const fw::Profile& profile, fw::Clock& clock, bool trace = false);
    ~CGrabador() override;
    CGrabador(const CGrabador&) = delete;
    CGrabador& operator=(const CGrabador&) = delete;

    // 0: no machine, cancelled or no port; 1: memory mode; 2: record mode.
    int Conecta(SerialPort* port);

    bool EscribeDatos(quint8 blockId, quint8 field, QByteArrayView data) override;
    // Only a size of 1 is valid.
    bool EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size) override;
    bool EscribeMemoria(quint32 address, int length, const quint8* data, quint8 type);
    bool LeeMemoria(quint32 address, int length, quint8* destination, quint8 type);
    bool LeeRegistro(quint8 blockId, quint8 field, int length, quint8* destination);

    void MuestraMensaje(const QString& text) override;
    void MuestraProgreso(qint32 percent) override;
    void AsignaLinea1(const QString& text);
    void AsignaLinea1(int stringId);
    void AsignaLinea2(const QString& text);
    void AsignaLinea2(int stringId);
    void MuestraResultado(const QString& text);
    void MuestraResultado(int stringId);
    void AtiendeMensajes();
    bool EstaCancelado() const;
    void MuestraErrorTransferencia(int stringId);

    // The two's complement of the 8-bit sum.
    static quint8 CalculaChecksum(QByteArrayView bytes);
    // A frame or request: length, address bytes, type, data, checksum.
    static QByteArray frame(int length, quint32 address, quint8 type, QByteArrayView data);

    bool HaFallado() const { return m_failed; }
    const QString& portName() const { return m_portName; }
    void setTiming(const Timing& timing) { m_timing = timing; }

private:
    int BuscaMaquina();
    bool openPort();
    bool LeeBytes(int count, int limitMs);
    bool EsperaByte(quint8 expected);
    bool EnviaControl(quint8 byte);
    bool EnviaTrama();
    // Awaits the confirmation of what send() sent, sending it again on NAK or another byte.
    bool EsperaConfirmacion(const std::function<bool()>& send);
    bool sendRequest(const QByteArray& request);
    // A block of count data bytes and its checksum; one that fails the sum, or after which the
    // line still brings bytes (it was read out of step), is refused with NAK on a quiet line.
    bool readBlock(int count, quint8* destination);
    // Discards what the line still brings until it has been quiet for QuietMs, so that the next
    // answer is read from its first byte; the count discarded. None after reporting: the port
    // failed, the user cancelled, or bytes kept coming for a block's time.
    std::optional<int> drainLine();
    bool write(QByteArrayView bytes);
    void showLines();
    bool fail(int stringId);

    fw::WaitUi& m_wait;
    const fw::Profile& m_profile;
    fw::Clock& m_clock;
    Timing m_timing;
    QFile m_trace;
    SerialPort* m_port = nullptr;
    QByteArray m_frame;
    QByteArray m_received;
    QString m_portName;
    QString m_line1;
    QString m_line2;
    const bool m_started;
    bool m_stopped = false;
    bool m_failed = false;
};
