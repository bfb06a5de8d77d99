#include "tests/support/T38APeer.h"

#include "tests/support/PtyPair.h"

#include <cerrno>
#include <chrono>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr quint8 Soh = 0x01, Stx = 0x02, Etx = 0x03, Eot = 0x04, Enq = 0x05, Escape = 0x16;

void appendCoded(QByteArray& out, quint8 byte)
{
    if (quint8(~byte) >= 0x17) {
        out.append(char(~byte));
    } else {
        out.append(char(Escape));
        out.append(char(byte));
    }
}

} // namespace

T38APeer::T38APeer(int masterFd, Handler handler)
    : m_master(masterFd)
    , m_handler(std::move(handler))
    , m_thread([this] { run(); })
{
}

T38APeer::~T38APeer()
{
    m_stop = true;
    m_thread.join();
}

void T38APeer::scriptFault(int exchange, Fault fault)
{
    std::lock_guard lock(m_mutex);
    m_faults.insert(exchange, fault);
}

void T38APeer::setDefaultFault(Fault fault)
{
    std::lock_guard lock(m_mutex);
    m_defaultFault = fault;
}

QList<T38APeer::Request> T38APeer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QString T38APeer::describe() const
{
    QString text;
    for (const Request& request : requests())
        text += QStringLiteral("%1 %2%3\n")
                    .arg(QString::fromLatin1(request.frame.toHex(' ')), request.valid ? QString() : QStringLiteral(" (bad)"),
                         request.retry ? QStringLiteral(" (retry)") : QString());
    return text;
}

QByteArray T38APeer::frame(quint8 start, quint8 sequence, QByteArrayView data, int sumOffset)
{
    QByteArray out;
    for (const quint8 byte : {start, quint8('<'), Stx, sequence})
        out.append(char(byte));
    for (const char byte : data)
        appendCoded(out, quint8(byte));
    quint8 sum = 0;
    for (qsizetype i = 3; i < out.size(); ++i)
        sum = quint8(sum + quint8(out[i]));
    out.append(char(Etx));
    out.append(char(quint8(sum + sumOffset)));
    out.append(char(Eot));
    return out;
}

void T38APeer::run()
{
    while (!m_stop) {
        pollfd entry{m_master, POLLIN, 0};
        ::poll(&entry, 1, m_babble == Babble::None || m_babble == Babble::OutOfBand ? 5 : 0);
        char buffer[512];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            if (m_input.isEmpty())
                m_frameStart = std::chrono::steady_clock::now();
            m_input.append(buffer, n);
            m_bytesReceived += n;
            takeFrames();
        } else if (n < 0 && errno == EIO) {
            // No slave open: the port was closed.
            m_lastFrame.clear();
            m_babble = Babble::None;
            m_input.clear();
            ::usleep(2000);
        } else {
            babble();
        }
    }
}

void T38APeer::babble()
{
    constexpr int Chunk = 16;
    QByteArray bytes;
    switch (m_babble) {
    case Babble::None: return;
    case Babble::OutOfBand:
        pause(m_replyDelayMs);
        bytes = frame(Enq, m_babbleSequence, outOfBandData);
        break;
    case Babble::Starts:
        for (int i = 0; i < Chunk / 2; ++i)
            bytes.append("\x01\x00", 2);
        break;
    case Babble::Noise:
        for (int i = 0; i < Chunk; ++i)
            bytes.append(char(m_noise() & 0xFF));
        break;
    case Babble::Frame: bytes = QByteArray(Chunk, char(0x55)); break;
    }
    send(bytes);
}

void T38APeer::takeFrames()
{
    for (;;) {
        const qsizetype start = m_input.indexOf(char(Soh));
        if (start < 0) {
            m_input.clear();
            return;
        }
        m_input.remove(0, start);
        const qsizetype etx = m_input.indexOf(char(Etx), 4);
        if (etx < 0 || etx + 2 >= m_input.size())
            return;
        const QByteArray received = m_input.left(etx + 3);
        m_input.remove(0, etx + 3);
        handle(received);
    }
}

T38APeer::Request T38APeer::parse(const QByteArray& frame)
{
    Request request;
    request.frame = frame;
    request.sequence = quint8(frame[3]);
    const qsizetype etx = frame.size() - 3;
    quint8 sum = 0;
    for (qsizetype i = 3; i < etx; ++i)
        sum = quint8(sum + quint8(frame[i]));
    request.valid = frame[1] == '0' && quint8(frame[2]) == Stx && quint8(frame[etx + 1]) == sum
                    && quint8(frame[etx + 2]) == Eot;
    if (etx > 4)
        request.command.append(frame[4]);
    for (qsizetype i = 5; i < etx; ++i) {
        if (quint8(frame[i]) == Escape && i + 1 < etx)
            request.command.append(frame[++i]);
        else
            request.command.append(char(~quint8(frame[i])));
    }
    return request;
}

void T38APeer::handle(const QByteArray& received)
{
    if (m_baud > 0)
        std::this_thread::sleep_until(m_frameStart + received.size() * byteTime());
    m_frameStart = std::chrono::steady_clock::now();
    Request request = parse(received);
    request.retry = request.valid && received == m_lastFrame;
    int exchange = 0;
    {
        std::lock_guard lock(m_mutex);
        exchange = int(m_requests.size());
        m_requests.append(request);
    }
    m_babble = Babble::None;
    if (!request.valid)
        return; // the machine ignores a broken frame
    if (!request.retry) {
        m_lastFrame = received;
        m_lastReply = m_handler(request.command);
        ++m_commandsRun;
    }
    transmit(request, m_lastReply, faultOf(exchange));
}

void T38APeer::transmit(const Request& request, const QByteArray& reply, Fault fault)
{
    const quint8 sequence = request.sequence;
    pause(m_replyDelayMs);
    switch (fault) {
    case Fault::None: send(frame(Soh, sequence, reply)); break;
    case Fault::DropReply: break;
    case Fault::BadSum: send(frame(Soh, sequence, reply, 1)); break;
    case Fault::WrongSequence: send(frame(Soh, sequence == '9' ? '0' : sequence + 1, reply)); break;
    case Fault::NoEot: {
        QByteArray broken = frame(Soh, sequence, reply);
        broken.back() = 0;
        send(broken);
        break;
    }
    case Fault::DoubleSoh: send(QByteArrayLiteral("\x01<\x02") + frame(Soh, sequence, reply)); break;
    case Fault::Noise: send(QByteArrayLiteral("\x55\xAA\x01\x30\x99\x3C\x7E")); break;
    case Fault::OutOfBand:
        send(frame(Enq, sequence, outOfBandData));
        pause(m_replyDelayMs);
        send(frame(Soh, sequence, reply));
        break;
    case Fault::TwoOutOfBand:
        send(frame(Enq, sequence, outOfBandData));
        pause(m_replyDelayMs);
        send(frame(Enq, sequence, outOfBandData));
        break;
    case Fault::BadOutOfBand: send(frame(Enq, sequence, outOfBandData, 1)); break;
    case Fault::EndlessOutOfBand:
        send(frame(Enq, sequence, outOfBandData));
        m_babble = Babble::OutOfBand;
        m_babbleSequence = sequence;
        break;
    case Fault::EndlessStarts: m_babble = Babble::Starts; break;
    case Fault::EndlessNoise: m_babble = Babble::Noise; break;
    case Fault::EndlessFrame:
        send(QByteArrayLiteral("\x01<\x02") + char(sequence));
        m_babble = Babble::Frame;
        break;
    case Fault::Oversized: send(frame(Soh, sequence, QByteArray(oversizeLength, 'x'))); break;
    case Fault::Refusal: send(frame(Soh, sequence, "?")); break;
    case Fault::StrayByte: {
        QByteArray spoiled = frame(Soh, sequence, reply);
        const qsizetype etx = spoiled.size() - 3;
        spoiled.insert(std::min<qsizetype>(5, etx), char(strayByte));
        quint8 sum = 0;
        for (qsizetype i = 3; i <= etx; ++i)
            sum = quint8(sum + quint8(spoiled[i]));
        spoiled[etx + 2] = char(sum);
        send(spoiled);
        break;
    }
    }
}

T38APeer::Fault T38APeer::faultOf(int exchange) const
{
    std::lock_guard lock(m_mutex);
    return m_faults.value(exchange, m_defaultFault);
}

std::chrono::nanoseconds T38APeer::byteTime() const
{
    return std::chrono::nanoseconds(11'000'000'000LL / std::max(1, m_baud.load()));
}

void T38APeer::send(QByteArrayView bytes)
{
    m_bytesSent += bytes.size();
    const auto start = std::chrono::steady_clock::now();
    if (m_baud <= 0) {
        PtyPair::writeAll(m_master, bytes, &m_stop);
        return;
    }
    for (qsizetype done = 0; done < bytes.size(); ++done) {
        std::this_thread::sleep_until(start + (done + 1) * byteTime());
        if (!PtyPair::writeAll(m_master, bytes.sliced(done, 1), &m_stop))
            return;
    }
}

void T38APeer::pause(int milliseconds)
{
    if (milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
