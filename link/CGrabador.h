#pragma once

#include "link/ExportarProgramacion.h"
#include "link/LineTiming.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
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
// data and checksum that the program acknowledges or NAKs (three blocks at most).
//
// Noise, or an answer read out of step, must never pass for the machine's answer. An
// announcement is taken only when it stands alone on the line. A confirmation or a block is
// taken only once nothing has come behind it before the line fell quiet, the quiet time
// outlasting how long the line (a USB adapter) may hold bytes back; a refused one is answered
// only on a quiet line. On a line seen to hand bytes over at once, that wait runs while the next
// control byte goes out and its answer comes back: a byte that comes sooner than that answer
// could was behind the last one, whose frame is then sent again or block read again. Every
// failure is reported here through the transfer error box.
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

    // One read request: length bytes (at most MaxRecordRead) at a 24-bit address, of a type,
    // into the destination; before, when given, runs before the request is first sent.
    struct BlockRead {
        quint32 address = 0;
        int length = 0;
        quint8 type = RecordType;
        quint8* destination = nullptr;
        std::function<void()> before = {};
    };

    // 0: no machine, cancelled or no port; 1: memory mode; 2: record mode.
    int Conecta(SerialPort* port);

    bool EscribeDatos(quint8 blockId, quint8 field, QByteArrayView data) override;
    // Only a size of 1 is valid.
    bool EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size) override;
    bool EscribeMemoria(quint32 address, int length, const quint8* data, quint8 type);
    bool LeeMemoria(quint32 address, int length, quint8* destination, quint8 type);
    bool LeeRegistro(quint8 blockId, quint8 field, int length, quint8* destination);
    // Every request in order, each block checked by the exchange after it, the last on a quiet
    // line: nothing is returned before it has stood. False after reporting (or, unsent, for a
    // request too long).
    bool readBlocks(const QList<BlockRead>& reads);
    // Waits until the last frame's confirmation has stood on a quiet line, sending the frame
    // again while bytes come behind it. A write ends with it before its success is shown. False
    // after reporting.
    bool settle();

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
    // The address of a record: 0, block id, field.
    static quint32 recordAddress(quint8 blockId, quint8 field) { return (quint32(blockId) << 8) | field; }
    // A memory read as requests of at most 50 bytes.
    static QList<BlockRead> memoryReads(quint32 address, int length, quint8* destination, quint8 type);

    bool HaFallado() const { return m_failed; }
    const QString& portName() const { return m_portName; }
    void setTiming(const Timing& timing) { m_timing = timing; }

private:
    // The most one read of the port takes: a whole block with its checksum.
    static constexpr int BufferBytes = MaxRecordRead + 2;
    // A frame (after SOH) or a read request (after STX) and the tries it has left.
    struct Job {
        quint8 control = Soh;
        QByteArray bytes;
        quint8* destination = nullptr;
        int length = 0;
        int resendsLeft = Resends;
        int blocksLeft = BlockTries;
    };
    // A confirmation or block taken while the next control byte is still to show that
    // nothing came behind it.
    struct Unsettled {
        Job job;
        qint64 takenUs = 0;
    };
    enum class Handshake { Failed, Taken, Redo };

    int BuscaMaquina();
    bool openPort();
    // Whether no byte comes for a stand-alone time; those that come are taken as line bytes.
    std::optional<bool> staysSilent(qint64& lastByteUs);
    // What the line has handed over within waitMs, at most capacity bytes (traced); none after
    // reporting a port that failed.
    std::optional<QByteArray> takeFromLine(int capacity, int waitMs);
    // count bytes within the time, each read taking what the line has handed over by then; the
    // times they came are kept.
    bool LeeBytes(int count, int limitMs);
    // Sends SOH or STX and takes its ACK, settling the unsettled answer on the way. Redo: more
    // than the answer came (a byte sooner than the answer could come was behind the unsettled
    // one); the machine took the control byte, its ACK the last byte on the line, and the
    // voided job is sent at once.
    Handshake EnviaControl(quint8 control, std::optional<Job>& voided);
    Handshake overlappingHandshake(quint8 control, std::optional<Job>& voided);
    Handshake firstHandshake(quint8 control);
    Handshake plainHandshake(quint8 control);
    // The reception's byte as the answer to a control byte.
    Handshake takeAck();
    // What the line has handed over and not been read, without waiting; none after reporting.
    std::optional<QByteArray> takeWaiting();
    // The job's control byte, then its bytes; a job voided on the way goes first.
    bool runJob(Job job, bool moreFollow);
    // Sends the job's bytes and takes the confirmation, sending them again on a refusal; a
    // read then takes its block.
    bool EsperaConfirmacion(Job& job, bool moreFollow);
    // A block of length data bytes and its checksum. One that fails the sum, or behind which
    // the line brings bytes, is refused with NAK on a quiet line. A good one is acknowledged at
    // once and left unsettled when more reads follow on a prompt line.
    bool readBlock(Job& job, bool moreFollow);
    // A job whose answer had bytes behind it spends a try; none left ends the transfer.
    bool spendTry(Job& job);
    // Reads what the line still brings until it has been silent for its quiet time since
    // sinceUs or the last byte; the count that came. None after reporting: the port failed, the
    // user cancelled, or bytes kept coming for a block's time.
    std::optional<int> waitQuiet(qint64 sinceUs);
    std::optional<int> drainLine() { return waitQuiet(nowUs()); }
    bool write(QByteArrayView bytes);
    qint64 nowUs() const { return m_elapsed.nsecsElapsed() / 1000; }
    // When the line handed over the last byte received, and the longest a byte of the reception
    // came late after the byte before it (the first after previousUs).
    qint64 lastDeliveryUs() const { return m_deliveries.isEmpty() ? nowUs() : m_deliveries.last(); }
    qint64 longestGapLateUs(qint64 previousUs) const;
    void trace(QByteArrayView bytes);
    void showLines();
    bool fail(int stringId);

    fw::WaitUi& m_wait;
    const fw::Profile& m_profile;
    fw::Clock& m_clock;
    Timing m_timing;
    QFile m_trace;
    SerialPort* m_port = nullptr;
    LineTiming m_line{Baud};
    QElapsedTimer m_elapsed;
    // When what was written has left the wire at the line's speed.
    qint64 m_outFreeUs = 0;
    QByteArray m_received;
    // When each read of the reception handed its bytes over.
    QList<qint64> m_deliveries;
    // The last byte a wait for a quiet line took.
    quint8 m_lastDrained = 0;
    std::optional<Unsettled> m_unsettled;
    // The announcement taken, until the first exchange shows it was the machine's.
    std::optional<quint8> m_announcement;
    QString m_portName;
    QString m_line1;
    QString m_line2;
    const bool m_started;
    bool m_stopped = false;
    bool m_failed = false;
};
