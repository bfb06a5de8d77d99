#include "link/SerialPort.h"

#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "link/PortResolver.h"

#include <QElapsedTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

std::optional<speed_t> speedOf(quint32 baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return std::nullopt;
    }
}

QString resolvePath(const QString& name)
{
    return PortResolver(fw::Application::get().profile()).devicePath(name);
}

// poll() on one descriptor, retrying interrupted calls within the same time.
int pollFor(int fd, short events, qint64 milliseconds, short& revents)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        pollfd entry{fd, events, 0};
        const qint64 left = std::max<qint64>(0, milliseconds - timer.elapsed());
        const int result = ::poll(&entry, 1, int(std::min<qint64>(left, 1 << 30)));
        if (result < 0 && errno == EINTR)
            continue;
        revents = entry.revents;
        return result;
    }
}

} // namespace

SerialPort::~SerialPort() { Close(); }

bool SerialPort::Open(const QString& name, bool showErrors, quint32 baud)
{
    if (IsOpen()) {
        if (showErrors)
            fw::MessageBoxes::box(fw::Application::get().strings().text(AlreadyOpenTextId));
        return false;
    }
    m_name = name;
    m_path = resolvePath(name);
    if (m_path.isEmpty()) {
        m_lastError = ENOENT;
        if (showErrors)
            ShowLastError();
        return false;
    }
    m_fd = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0) {
        fail();
        if (showErrors)
            ShowLastError();
        return false;
    }
    // No sharing: TIOCEXCL keeps other users out, the lock also other processes of root.
    if (!::isatty(m_fd) || ::ioctl(m_fd, TIOCEXCL) != 0 || ::flock(m_fd, LOCK_EX | LOCK_NB) != 0)
        return failAndClose(showErrors);
    const bool twoStopBits = fw::Application::get().profile().GetInt(QStringLiteral("GlobalCom"),
                                                                      QStringLiteral("UseTwoBits"), 0) != 0;
    if (!applyLine(twoStopBits, baud))
        return failAndClose(showErrors);
    m_readTimeouts = ReadTimeouts();
    ClearCtsFlow();
    return true;
}

void SerialPort::Close()
{
    if (!IsOpen())
        return;
    ::close(m_fd);
    m_fd = -1;
}

bool SerialPort::Write(const quint8* bytes, quint32 count)
{
    if (!IsOpen()) {
        m_lastError = EBADF;
        return false;
    }
    QElapsedTimer timer;
    timer.start();
    quint32 written = 0;
    while (written < count) {
        const ssize_t n = ::write(m_fd, bytes + written, count - written);
        if (n > 0) {
            written += quint32(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return fail();
        short revents = 0;
        const qint64 left = m_writeTimeoutMs - timer.elapsed();
        if (left <= 0 || pollFor(m_fd, POLLOUT, left, revents) == 0) {
            m_lastError = ETIMEDOUT;
            return false;
        }
        if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
            m_lastError = EIO;
            return false;
        }
    }
    return true;
}

qint64 SerialPort::readWaitLeft(const ReadTimeouts& timeouts, quint32 wanted, qint64 sinceStart,
                                std::optional<qint64> sinceLastByte)
{
    qint64 left = qint64(timeouts.perByteMs) * wanted + timeouts.constantMs - sinceStart;
    if (timeouts.intervalMs > 0 && sinceLastByte)
        left = std::min(left, timeouts.intervalMs - *sinceLastByte);
    return left;
}

bool SerialPort::Read(quint8* buffer, quint32 wanted, quint32& read, const ReadTimeouts& timeouts)
{
    read = 0;
    if (!IsOpen()) {
        m_lastError = EBADF;
        return false;
    }
    QElapsedTimer sinceStart;
    sinceStart.start();
    QElapsedTimer sinceLastByte;
    while (read < wanted) {
        const std::optional<qint64> lastByte =
            sinceLastByte.isValid() ? std::optional<qint64>(sinceLastByte.elapsed()) : std::nullopt;
        const qint64 left = readWaitLeft(timeouts, wanted, sinceStart.elapsed(), lastByte);
        if (left <= 0)
            break;
        short revents = 0;
        if (pollFor(m_fd, POLLIN, left, revents) < 0)
            return fail();
        if (revents & POLLIN) {
            const ssize_t n = ::read(m_fd, buffer + read, wanted - read);
            if (n > 0) {
                read += quint32(n);
                sinceLastByte.start();
                continue;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return fail();
            if (n == 0) {
                m_lastError = EIO;
                return false;
            }
        } else if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
            m_lastError = EIO;
            return false;
        }
    }
    return true;
}

bool SerialPort::ReadSome(quint8* buffer, quint32 capacity, quint32& read, int waitMs)
{
    read = 0;
    if (!IsOpen()) {
        m_lastError = EBADF;
        return false;
    }
    if (capacity == 0)
        return true;
    short revents = 0;
    if (pollFor(m_fd, POLLIN, std::max(0, waitMs), revents) < 0)
        return fail();
    if (revents & POLLIN) {
        const ssize_t n = ::read(m_fd, buffer, capacity);
        if (n > 0) {
            read = quint32(n);
            return true;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return fail();
        if (n < 0)
            return true;
    } else if (!(revents & (POLLERR | POLLHUP | POLLNVAL))) {
        return true;
    }
    m_lastError = EIO;
    return false;
}

bool SerialPort::PurgeRx()
{
    if (!IsOpen())
        return false;
    return ::tcflush(m_fd, TCIFLUSH) == 0 || fail();
}

bool SerialPort::ClearHandshake() { return changeFlags(CRTSCTS, 0); }

bool SerialPort::ClearCtsFlow() { return changeFlags(CRTSCTS, 0); }

void SerialPort::SetTwoStopBits() { changeFlags(0, CSTOPB); }

bool SerialPort::SetBreak(bool on)
{
    if (!IsOpen())
        return false;
    return ::ioctl(m_fd, on ? TIOCSBRK : TIOCCBRK) == 0 || fail();
}

bool SerialPort::PortExists(const QString& name)
{
    return PortResolver(fw::Application::get().profile()).exists(name);
}

void SerialPort::ShowLastError() const
{
    QString text = fw::Application::get().strings().text(CannotAccessTextId) + QLatin1Char('\n') + m_name;
    if (!m_path.isEmpty())
        text += QStringLiteral(" (") + m_path + QLatin1Char(')');
    text += QStringLiteral(": ") + lastErrorText();
    fw::MessageBoxes::box(text, fw::MessageButtons::Ok, fw::MessageIcon::Information);
}

QString SerialPort::lastErrorText() const { return QString::fromLocal8Bit(std::strerror(m_lastError)); }

bool SerialPort::fail()
{
    m_lastError = errno;
    return false;
}

bool SerialPort::failAndClose(bool showErrors)
{
    // The error of the set-up, not of the close.
    m_lastError = errno ? errno : ENOTTY;
    Close();
    if (showErrors)
        ShowLastError();
    return false;
}

bool SerialPort::applyLine(bool twoStopBits, quint32 baud)
{
    const std::optional<speed_t> speed = speedOf(baud);
    if (!speed) {
        errno = EINVAL;
        return false;
    }
    termios line{};
    if (::tcgetattr(m_fd, &line) != 0)
        return false;
    // Raw like a Windows port: the T38A machines send 03 04 11 13 16 as data.
    ::cfmakeraw(&line);
    line.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    line.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB | CRTSCTS);
    line.c_cflag |= CS8 | CLOCAL | CREAD;
    if (twoStopBits)
        line.c_cflag |= CSTOPB;
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    if (::cfsetispeed(&line, *speed) != 0 || ::cfsetospeed(&line, *speed) != 0)
        return false;
    return ::tcsetattr(m_fd, TCSANOW, &line) == 0;
}

bool SerialPort::changeFlags(unsigned clear, unsigned set)
{
    if (!IsOpen())
        return false;
    termios line{};
    if (::tcgetattr(m_fd, &line) != 0)
        return fail();
    line.c_cflag = (line.c_cflag & ~tcflag_t(clear)) | tcflag_t(set);
    return ::tcsetattr(m_fd, TCSANOW, &line) == 0 || fail();
}
