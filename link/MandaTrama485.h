#pragma once

#include "link/ComLog.h"
#include "link/T38AReception.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <functional>

class SerialPort;

namespace fw {
class Clock;
class Profile;
} // namespace fw

// The framed-command layer of the T38A machines: sends a command as one request frame,
// waits for the reply frame, checks and decodes it, and sends the same frame again while
// replies are missing or bad. Frames the machine sends on its own (ENQ '<' ...) are taken
// while one is announced. Profile section `GlobalCom`: `LOG` keeps the text log LogCom.log in
// `Configuracion`/`TempDir`, `PararTrasEnviar` asks the user after every frame (and forces
// the log), `ReintentosAleatorios` spoils one reception in four for tests of the retries.
// Every reception and every exchange has a deadline made from the reply time-out and the
// longest frame on the line, so a noisy line cannot hold a command, and the abort flag is
// looked at while a reply is awaited.
class MandaTrama485 {
public:
    enum Result {
        Ok = 0,         // a valid reply came (decoded into the reply buffer when one was given)
        PortFailed = 1, // the port read failed, or the port is not open after a send
        NoReply = 2,    // the retries are exhausted, or the user chose to stop
        Aborted = 3,    // the abort flag was set before a try
    };

    static constexpr quint8 Address = '0';
    static constexpr int DefaultRetries = 10;
    static constexpr int DefaultReplyTimeoutMs = 1600;
    static constexpr int DefaultIdlePauseMs = 1;
    // The machines' line: 9600 baud, a start bit, eight data bits and two stop bits.
    static constexpr int LineBaud = 9600;
    static constexpr int BitsPerByte = 11;
    // While bytes keep coming the caller's window is still pumped this often.
    static constexpr int PumpIntervalMs = 50;
    static constexpr int StepQuestionTextId = 20130;
    static constexpr const char* LogFileName = "LogCom.log";

    MandaTrama485(const fw::Profile& profile, fw::Clock& clock);
    ~MandaTrama485();
    MandaTrama485(const MandaTrama485&) = delete;
    MandaTrama485& operator=(const MandaTrama485&) = delete;

    void AsignaPuerto(SerialPort* port) { m_port = port; }

    // Sends the command and waits for its reply; returns a Result. With a reply buffer
    // (reply not null) the decoded reply goes there and its length to LongitudRespuesta(); a
    // reply longer than the capacity is a bad reply, sent for again, never cut.
    int mandaComandoMaquina(quint8* reply, int replyCapacity, const quint8* command, int length);
    int mandaComandoMaquina(quint8* reply, int replyCapacity, QByteArrayView command)
    {
        return mandaComandoMaquina(reply, replyCapacity, reinterpret_cast<const quint8*>(command.data()),
                                   int(command.size()));
    }

    // Repeats after the first try; the T38A hello sets 12.
    int Reintentos() const { return m_retries; }
    void AsignaReintentos(int retries) { m_retries = retries; }
    // While it reads true no further try is made, and a reception under way ends.
    void AsignaAbortar(const std::atomic<bool>* abort) { m_abort = abort; }
    int LongitudRespuesta() const { return m_replyLength; }
    // Duration of the last reception.
    quint32 TiempoTranscurrido() const { return m_elapsedMs; }

    // The longest frame a reception takes in, on the line.
    static qint64 longestFrameMs();
    // A reception never lasts longer than the reply time-out plus the longest frame.
    static qint64 receptionLimitMs(int replyTimeoutMs);
    // An exchange never lasts longer than a full reception for every try.
    static qint64 exchangeLimitMs(int retries, int replyTimeoutMs);

    // Runs after every read that brought nothing, and at least every PumpIntervalMs while
    // bytes keep coming, so the caller's window stays alive and its cancel is taken.
    void setIdleHook(std::function<void()> hook) { m_idleHook = std::move(hook); }
    void setReplyTimeoutMs(int milliseconds) { m_replyTimeoutMs = milliseconds; }
    void setIdlePauseMs(int milliseconds) { m_idlePauseMs = milliseconds; }
    // A draw from 0 .. 3 for the spoiled replies; 0 spoils.
    void setRandomDraw(std::function<int()> draw) { m_draw = std::move(draw); }
    bool logOn() const { return m_logOn; }

    void AbreLog();
    void CierraLog();
    void EscribeHoraLog();
    void EscribeHexLog(const quint8* bytes, int count);
    void EscribeHexLog(QByteArrayView bytes)
    {
        EscribeHexLog(reinterpret_cast<const quint8*>(bytes.data()), int(bytes.size()));
    }
    void EscribeTextoLog(const QString& text);
    void NuevaLineaLog();

    // The sequence character shared by every layer for the whole program run: '0' at the start,
    // advanced after every good reply.
    static quint8 Secuencia() { return s_sequence.load(); }
    static void AsignaSecuencia(quint8 sequence) { s_sequence.store(sequence); }

private:
    enum class Reception { Ended, ReadFailed, Aborted };

    bool aborted() const { return m_abort && m_abort->load(); }
    void send(const QByteArray& frame, QByteArrayView command);
    // The step-by-step question; a Result to return, or -1 to go on (tryCount may be reset).
    // The time the user takes does not count against the exchange's deadline.
    int askStep(int& tryCount, qint64& exchangeEnd);
    // Takes in one reply, at the latest until the exchange's end.
    Reception receive(qint64 exchangeEnd);
    void pumpCaller(qint64& lastPump);
    bool spoiled();

    SerialPort* m_port = nullptr;
    fw::Clock& m_clock;
    ComLog m_log;
    T38AReception m_reception;
    const std::atomic<bool>* m_abort = nullptr;
    std::function<void()> m_idleHook;
    std::function<int()> m_draw;
    int m_retries = DefaultRetries;
    int m_replyTimeoutMs = DefaultReplyTimeoutMs;
    int m_idlePauseMs = DefaultIdlePauseMs;
    quint32 m_elapsedMs = 0;
    int m_replyLength = 0;
    bool m_logOn = false;
    bool m_stepByStep = false;
    bool m_randomBad = false;

    static inline std::atomic<quint8> s_sequence{'0'};
};
