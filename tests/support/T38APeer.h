#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <random>
#include <thread>

// A T38A machine's frame handling on the master side of a pseudo-terminal, in a thread of its
// own. It takes request frames, runs each command through a handler and answers with a reply
// frame after a short delay (the sender discards what comes right after its send). A frame
// identical to the last one is a retry: the same reply is sent again and the command is not run
// again; a closed port forgets the last frame. Faults are scripted by exchange (every frame
// received counts as one), changing what goes back on the line.
class T38APeer {
public:
    enum class Fault {
        None,
        DropReply,        // nothing comes back
        BadSum,           // the reply's sum is off by one
        WrongSequence,    // the reply carries the next sequence character
        NoEot,            // 00 stands where the EOT belongs
        DoubleSoh,        // a reply begun and broken off by a new SOH, then the reply
        Noise,            // bytes that make no frame instead of the reply
        OutOfBand,        // a valid out-of-band frame, then the reply
        TwoOutOfBand,     // two valid out-of-band frames and no reply
        BadOutOfBand,     // an out-of-band frame with a wrong sum and no reply
        EndlessOutOfBand, // valid out-of-band frames every delay until the next request
        EndlessStarts,    // 01 00 again and again until the next request: frames begun and dropped
        EndlessNoise,     // seeded random bytes until the next request, as a noisy cable gives
        EndlessFrame,     // a reply begun (01 '<' 02 sequence) that goes on without an ETX
        Oversized,        // a valid reply of oversizeLength bytes
        Refusal,          // a valid reply "?"
        StrayByte,        // strayByte after the reply's first coded byte, its sum counting it
    };

    struct Request {
        QByteArray frame;
        quint8 sequence = 0;
        QByteArray command;
        bool valid = false;
        bool retry = false;
    };

    using Handler = std::function<QByteArray(const QByteArray& command)>;

    T38APeer(int masterFd, Handler handler);
    ~T38APeer();
    T38APeer(const T38APeer&) = delete;
    T38APeer& operator=(const T38APeer&) = delete;

    void setReplyDelayMs(int milliseconds) { m_replyDelayMs = milliseconds; }
    // A line of this speed (11 bits a byte): requests are handled when their last byte would
    // have arrived, replies go out paced. 0, the default, is an instant line.
    void setLineBaud(int baud) { m_baud = baud; }
    qint64 bytesReceived() const { return m_bytesReceived.load(); }
    qint64 bytesSent() const { return m_bytesSent.load(); }
    // The fault of exchange n (from 0), and of every exchange not scripted.
    void scriptFault(int exchange, Fault fault);
    void setDefaultFault(Fault fault);

    QList<Request> requests() const;
    int commandsRun() const { return m_commandsRun.load(); }
    QString describe() const;

    QByteArray outOfBandData = QByteArrayLiteral("E1");
    int oversizeLength = 200;
    quint8 strayByte = 0x00;

    // A frame as the machine sends it: start (SOH or ENQ), '<', STX, sequence, coded data,
    // ETX, sum, EOT.
    static QByteArray frame(quint8 start, quint8 sequence, QByteArrayView data, int sumOffset = 0);

private:
    // What goes on the line, unasked, until the next request comes.
    enum class Babble { None, OutOfBand, Starts, Noise, Frame };

    void run();
    void babble();
    void takeFrames();
    void handle(const QByteArray& frame);
    void transmit(const Request& request, const QByteArray& reply, Fault fault);
    Fault faultOf(int exchange) const;
    void send(QByteArrayView bytes);
    void pause(int milliseconds);
    std::chrono::nanoseconds byteTime() const;
    static Request parse(const QByteArray& frame);

    const int m_master;
    Handler m_handler;
    std::atomic<int> m_replyDelayMs{20};
    std::atomic<int> m_baud{0};
    std::atomic<qint64> m_bytesReceived{0};
    std::atomic<qint64> m_bytesSent{0};
    std::chrono::steady_clock::time_point m_frameStart;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_commandsRun{0};
    mutable std::mutex m_mutex;
    QMap<int, Fault> m_faults;
    Fault m_defaultFault = Fault::None;
    QList<Request> m_requests;
    // Thread side only.
    QByteArray m_input;
    QByteArray m_lastFrame;
    QByteArray m_lastReply;
    Babble m_babble = Babble::None;
    quint8 m_babbleSequence = 0;
    std::minstd_rand m_noise{27};
    std::thread m_thread;
};
