#include "tests/support/ClassicMachine.h"

#include "tests/support/PtyPair.h"

#include <cerrno>
#include <utility>

#include <poll.h>
#include <sys/prctl.h>
#include <stdlib.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr quint8 Soh = 0x01, Stx = 0x02, Eot = 0x04, Enq = 0x05, Ack = 0x06, Nak = 0x15, Etb = 0x17;
constexpr auto AnnouncementPeriod = std::chrono::milliseconds(200);

quint8 checksum(QByteArrayView bytes)
{
    quint8 sum = 0;
    for (const char byte : bytes)
        sum = quint8(sum + quint8(byte));
    return quint8(-sum);
}

} // namespace

ClassicMachine::ClassicMachine(int masterFd, Mode mode)
    : m_master(masterFd)
    , m_mode(mode)
    , m_watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (const char* slave = ::ptsname(masterFd); slave && m_watch >= 0)
        ::inotify_add_watch(m_watch, slave, IN_OPEN | IN_CLOSE);
    m_thread = std::thread([this] { run(); });
}

ClassicMachine::~ClassicMachine()
{
    m_stop = true;
    m_thread.join();
    if (m_watch >= 0)
        ::close(m_watch);
}

void ClassicMachine::setAnnouncementNoise(const QByteArray& before) { setAnnouncementNoise(Noise{.before = before}); }

void ClassicMachine::setAnnouncementNoise(const Noise& noise)
{
    std::lock_guard lock(m_mutex);
    m_announcementNoise = noise;
}

void ClassicMachine::queueConfirmations(const QList<quint8>& replies)
{
    std::lock_guard lock(m_mutex);
    m_confirmations += replies;
}

void ClassicMachine::queueControlReplies(const QList<quint8>& replies)
{
    std::lock_guard lock(m_mutex);
    m_controlReplies += replies;
}

void ClassicMachine::scriptBlockNoise(quint32 address, const Noise& noise)
{
    std::lock_guard lock(m_mutex);
    m_blockNoise.insert(address, noise);
}

void ClassicMachine::queueConfirmationNoise(const QList<Noise>& noise)
{
    std::lock_guard lock(m_mutex);
    m_confirmationNoise += noise;
}

QMap<ClassicMachine::Key, QByteArray> ClassicMachine::records() const
{
    std::lock_guard lock(m_mutex);
    return m_records;
}

void ClassicMachine::setMemory(const QByteArray& memory)
{
    std::lock_guard lock(m_mutex);
    m_memory = memory.left(MemorySize);
    m_memory.resize(MemorySize, '\0');
}

QByteArray ClassicMachine::memory() const
{
    std::lock_guard lock(m_mutex);
    return m_memory;
}

QList<QByteArray> ClassicMachine::frames() const
{
    std::lock_guard lock(m_mutex);
    return m_frames;
}

QList<QByteArray> ClassicMachine::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QByteArray ClassicMachine::line() const
{
    std::lock_guard lock(m_mutex);
    return m_line;
}

void ClassicMachine::run()
{
    // A line's bytes come on time: the thread's sleeps must not overrun by the system's slack.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    while (!m_stop) {
        pollfd entry{m_master, POLLIN, 0};
        ::poll(&entry, 1, 2);
        char buffer[512];
        if (portClosed()) {
            m_state = State::Closed;
            m_input.clear();
        }
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n < 0 && errno == EIO) {
            // No slave open: the port is closed; the next opening starts the announcement again.
            m_state = State::Closed;
            m_input.clear();
            ::usleep(2000);
            continue;
        }
        if (n > 0 && m_baud > 0)
            std::this_thread::sleep_for(n * byteTime());
        if (n > 0) {
            std::lock_guard lock(m_mutex);
            m_line.append(buffer, n);
            m_input.append(buffer, n);
        }
        if (m_state == State::Closed) {
            m_state = State::Announcing;
            m_lastAnnouncement = std::chrono::steady_clock::now() - AnnouncementPeriod;
            m_firstAnnouncement = true;
        }
        process();
    }
}

bool ClassicMachine::portClosed()
{
    bool closed = false;
    alignas(inotify_event) char events[1024];
    ssize_t n = 0;
    while (m_watch >= 0 && (n = ::read(m_watch, events, sizeof events)) > 0) {
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events + at);
            if (event->mask & IN_OPEN) {
                ++m_openings;
            } else if (event->mask & (IN_CLOSE_WRITE | IN_CLOSE_NOWRITE)) {
                // A machine started on an open port saw no opening: its first closing counts.
                m_openings = std::max(0, m_openings - 1);
                closed = closed || m_openings == 0;
            }
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    return closed;
}

void ClassicMachine::process()
{
    for (;;) {
        switch (m_state) {
        case State::Closed:
            return;
        case State::Announcing: {
            const qsizetype eot = m_input.indexOf(char(Eot));
            if (eot >= 0) {
                m_input.remove(0, eot + 1);
                m_state = State::Idle;
                continue;
            }
            m_input.clear();
            const auto now = std::chrono::steady_clock::now();
            if (m_announcing && now - m_lastAnnouncement >= AnnouncementPeriod) {
                m_lastAnnouncement = now;
                ++m_announcements;
                Noise noise;
                if (std::exchange(m_firstAnnouncement, false)) {
                    std::lock_guard lock(m_mutex);
                    noise = m_announcementNoise;
                }
                sendWithNoise(QByteArray(1, char(m_mode == Mode::Record ? Stx : Enq)), noise);
            }
            return;
        }
        case State::Idle: {
            if (m_input.isEmpty())
                return;
            const quint8 byte = quint8(m_input[0]);
            m_input.remove(0, 1);
            if (byte != Soh && byte != Stx)
                continue;
            quint8 reply = Ack;
            {
                std::lock_guard lock(m_mutex);
                reply = confirmation(Ack, m_controlReplies);
            }
            if (reply != 0)
                send(QByteArray(1, char(reply)));
            if (reply == Ack)
                m_state = byte == Soh ? State::Frame : State::Request;
            continue;
        }
        case State::Frame: {
            if (m_input.isEmpty() || m_input.size() < quint8(m_input[0]) + 6)
                return;
            const int n = quint8(m_input[0]);
            const QByteArray frame = m_input.left(n + 6);
            m_input.remove(0, n + 6);
            m_state = State::Idle;
            quint8 normal = Ack;
            if (checksum(frame.first(n + 5)) != quint8(frame.back()))
                normal = Nak;
            else if (quint8(frame[4]) != 0x40)
                normal = Etb;
            quint8 reply = normal;
            {
                std::lock_guard lock(m_mutex);
                m_frames.append(frame);
                reply = confirmation(normal, m_confirmations);
                if (reply == Ack && normal == Ack) {
                    const QByteArray data = frame.mid(5, n);
                    if (m_mode == Mode::Record) {
                        m_records.insert({quint8(frame[2]), quint8(frame[3])}, data);
                    } else {
                        const int address = (quint8(frame[1]) << 16) | (quint8(frame[2]) << 8) | quint8(frame[3]);
                        if (address + n <= MemorySize)
                            m_memory.replace(address, n, data);
                    }
                }
            }
            sendConfirmation(reply);
            continue;
        }
        case State::Request: {
            if (m_input.size() < 6)
                return;
            const QByteArray request = m_input.left(6);
            m_input.remove(0, 6);
            m_state = State::Idle;
            const int n = quint8(request[0]);
            const int address = (quint8(request[1]) << 16) | (quint8(request[2]) << 8) | quint8(request[3]);
            quint8 reply = checksum(request.first(5)) == quint8(request[5]) ? Ack : Nak;
            {
                std::lock_guard lock(m_mutex);
                m_requests.append(request);
                reply = confirmation(reply, m_confirmations);
                if (reply == Ack) {
                    m_blockAddress = quint32(address);
                    if (m_mode == Mode::Record) {
                        m_block = m_records.value({quint8(request[2]), quint8(request[3])}).left(n);
                        m_block.resize(n, '\0');
                    } else {
                        m_block = m_memory.mid(address, n);
                        m_block.resize(n, '\0');
                    }
                }
            }
            sendConfirmation(reply);
            if (reply == Ack) {
                sendBlock();
                m_state = State::BlockAnswer;
            }
            continue;
        }
        case State::BlockAnswer: {
            if (m_input.isEmpty())
                return;
            const quint8 answer = quint8(m_input[0]);
            m_input.remove(0, 1);
            if (answer == Nak) {
                ++m_refusedBlocks;
                sendBlock();
                continue;
            }
            m_state = State::Idle;
            continue;
        }
        }
    }
}

quint8 ClassicMachine::confirmation(quint8 normal, QList<quint8>& queue)
{
    return queue.isEmpty() ? normal : queue.takeFirst();
}

void ClassicMachine::sendBlock()
{
    QByteArray block = m_block;
    quint8 sum = checksum(m_block);
    if (m_badBlocks > 0) {
        --m_badBlocks;
        sum = quint8(sum + 1);
    }
    block.append(char(sum));
    Noise noise;
    {
        std::lock_guard lock(m_mutex);
        noise = m_blockNoise.take(m_blockAddress);
    }
    sendWithNoise(block, noise);
}

void ClassicMachine::sendConfirmation(quint8 reply)
{
    Noise noise;
    {
        std::lock_guard lock(m_mutex);
        if (!m_confirmationNoise.isEmpty())
            noise = m_confirmationNoise.takeFirst();
    }
    sendWithNoise(reply != 0 ? QByteArray(1, char(reply)) : QByteArray(), noise);
}

void ClassicMachine::sendWithNoise(QByteArray answer, const Noise& noise)
{
    // Behind an adapter a burst ends right after the noise before or inside the answer: the
    // rest of it comes a burst later, the worst place for a quiet time too short.
    QByteArray pending = noise.before;
    const auto endBurst = [&] {
        if (m_deliveryPeriodMs > 0 && !pending.isEmpty()) {
            send(pending);
            pending.clear();
        }
    };
    endBurst();
    const qsizetype half = answer.size() / 2;
    pending += answer.left(half) + noise.inside;
    if (!noise.inside.isEmpty())
        endBurst();
    send(pending + answer.mid(half) + noise.after);
}

std::chrono::nanoseconds ClassicMachine::byteTime() const
{
    termios line{};
    ::tcgetattr(m_master, &line);
    const long long bits = 1 + 8 + ((line.c_cflag & PARENB) ? 1 : 0) + ((line.c_cflag & CSTOPB) ? 2 : 1);
    return std::chrono::nanoseconds(bits * 1'000'000'000LL / std::max(1, m_baud.load()));
}

std::chrono::steady_clock::time_point ClassicMachine::handedOver(std::chrono::steady_clock::time_point arrival) const
{
    const auto period = std::chrono::milliseconds(m_deliveryPeriodMs.load());
    if (period.count() <= 0)
        return arrival;
    const auto ticks = (arrival - m_epoch + period - std::chrono::nanoseconds(1)) / period;
    return m_epoch + ticks * period;
}

void ClassicMachine::send(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    {
        std::lock_guard lock(m_mutex);
        m_line.append(bytes);
    }
    const auto start = std::chrono::steady_clock::now();
    const bool paced = m_baud > 0;
    const auto byte = std::chrono::duration_cast<std::chrono::steady_clock::duration>(byteTime());
    const auto arrival = [&](qsizetype index) { return paced ? start + byte * int(index + 1) : start; };
    qsizetype done = 0;
    while (done < bytes.size() && !m_stop) {
        // The bytes handed over together: each alone on a paced line, all that have arrived by
        // the adapter's next burst behind one.
        const auto at = handedOver(arrival(done));
        qsizetype end = done + 1;
        while (end < bytes.size() && (!paced || m_deliveryPeriodMs > 0) && handedOver(arrival(end)) == at)
            ++end;
        std::this_thread::sleep_until(at);
        if (!PtyPair::writeAll(m_master, bytes.sliced(done, end - done), &m_stop))
            return;
        done = end;
    }
}
