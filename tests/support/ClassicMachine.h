#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>

// A classic machine on the master side of a pseudo-terminal, in a thread of its own. From each
// opening of the port (seen through inotify on the slave, so a close followed at once by a new
// opening starts a new announcement) it announces its mode (STX record mode, ENQ memory mode) every 200 ms until it
// gets EOT; then it takes write frames (SOH, ACK, frame: ACK, NAK on a bad sum, ETB on a type
// other than 0x40) and read requests (STX, ACK, request: ACK and the block, again after a NAK).
// Records are kept by block and field and read back zero-padded; memory is 0x3000 zero bytes.
// Scripted answers replace the next confirmations (0: no answer); bad blocks spoil the next
// blocks' checksums; line noise goes around chosen blocks, the next confirmations and the first
// announcement. The line may be paced (at the speed and the stop bits the port set) and may
// stand behind a USB adapter that hands the machine's bytes over in bursts.
class ClassicMachine {
public:
    enum class Mode { Memory, Record };
    using Key = std::pair<quint8, quint8>;
    static constexpr int MemorySize = 0x3000;

    // Bytes the line adds to one answer, sent with it in one piece: just before it, in its
    // middle (after the first half of a block and its checksum), just after it. Behind an
    // adapter, the burst with the noise before or inside ends right after it.
    struct Noise {
        QByteArray before = QByteArray();
        QByteArray inside = QByteArray();
        QByteArray after = QByteArray();
    };

    ClassicMachine(int masterFd, Mode mode);
    ~ClassicMachine();
    ClassicMachine(const ClassicMachine&) = delete;
    ClassicMachine& operator=(const ClassicMachine&) = delete;

    void setAnnouncing(bool on) { m_announcing = on; }
    // A line of this speed (a start bit, eight data bits and the stop bits the port set): what
    // comes in is handled when its last byte would have arrived, replies go out paced. 0, the
    // default, is an instant line.
    void setLineBaud(int baud) { m_baud = baud; }
    // A USB adapter between the line and the port: what the machine sends is held and handed
    // over every this many milliseconds, all that has arrived by then at once. 0: none.
    void setDeliveryPeriodMs(int milliseconds) { m_deliveryPeriodMs = milliseconds; }
    // Sent with the first announcement after each opening of the port: before, or after it.
    void setAnnouncementNoise(const QByteArray& before);
    void setAnnouncementNoise(const Noise& noise);
    void queueConfirmations(const QList<quint8>& replies);
    void queueControlReplies(const QList<quint8>& replies);
    void queueBadBlocks(int count) { m_badBlocks += count; }
    // The next block answered to a request at this address (a record's is 0, block id, field)
    // comes with the noise; the one sent again after a NAK comes clean.
    void scriptBlockNoise(quint32 address, const Noise& noise);
    // The next confirmations (of frames and requests) come with these noises, in turn.
    void queueConfirmationNoise(const QList<Noise>& noise);
    // Blocks the program refused with NAK.
    int refusedBlocks() const { return m_refusedBlocks.load(); }

    QMap<Key, QByteArray> records() const;
    // Preloads the memory (cut or zero-padded to its size).
    void setMemory(const QByteArray& memory);
    QByteArray memory() const;
    QList<QByteArray> frames() const;
    QList<QByteArray> requests() const;
    // Every byte the machine got and sent, in order, as the other side's trace shows them.
    QByteArray line() const;
    int announcements() const { return m_announcements.load(); }

private:
    enum class State { Closed, Announcing, Idle, Frame, Request, BlockAnswer };

    void run();
    // The slave's openings and closings since the last look; true when the port was closed.
    bool portClosed();
    void process();
    void send(QByteArrayView bytes);
    quint8 confirmation(quint8 normal, QList<quint8>& queue);
    // A frame's or request's confirmation (0: none) with its scripted noise.
    void sendConfirmation(quint8 reply);
    void sendBlock();
    void sendWithNoise(QByteArray answer, const Noise& noise);
    std::chrono::nanoseconds byteTime() const;
    // When a byte that reaches the adapter at this time is handed over.
    std::chrono::steady_clock::time_point handedOver(std::chrono::steady_clock::time_point arrival) const;

    const int m_master;
    const Mode m_mode;
    int m_watch = -1;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_announcing{true};
    std::atomic<int> m_baud{0};
    std::atomic<int> m_deliveryPeriodMs{0};
    const std::chrono::steady_clock::time_point m_epoch = std::chrono::steady_clock::now();
    std::atomic<int> m_badBlocks{0};
    std::atomic<int> m_announcements{0};
    std::atomic<int> m_refusedBlocks{0};
    mutable std::mutex m_mutex;
    Noise m_announcementNoise;
    QList<quint8> m_confirmations;
    QList<quint8> m_controlReplies;
    QMap<quint32, Noise> m_blockNoise;
    QList<Noise> m_confirmationNoise;
    QMap<Key, QByteArray> m_records;
    QByteArray m_memory = QByteArray(MemorySize, '\0');
    QList<QByteArray> m_frames;
    QList<QByteArray> m_requests;
    QByteArray m_line;
    // Thread side only.
    State m_state = State::Closed;
    QByteArray m_input;
    QByteArray m_block;
    quint32 m_blockAddress = 0;
    int m_openings = 0;
    std::chrono::steady_clock::time_point m_lastAnnouncement;
    bool m_firstAnnouncement = false;
    std::thread m_thread;
};
