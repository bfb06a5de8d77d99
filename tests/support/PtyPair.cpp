#include "tests/support/PtyPair.h"

#include <QElapsedTimer>

#include <cerrno>
#include <cstdlib>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0)
        return;
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        closeMaster();
        return;
    }
    m_slavePath = QString::fromLocal8Bit(::ptsname(m_master));
    const int slave = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        closeMaster();
        return;
    }
    termios line{};
    ::tcgetattr(slave, &line);
    ::cfmakeraw(&line);
    ::tcsetattr(slave, TCSANOW, &line);
    ::close(slave);
}

PtyPair::~PtyPair() { closeMaster(); }

bool PtyPair::write(QByteArrayView bytes) { return writeAll(m_master, bytes); }

bool PtyPair::writeAll(int master, QByteArrayView bytes, const std::atomic<bool>* stop)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        if (stop && *stop)
            return false;
        const ssize_t n = ::write(master, bytes.data() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        pollfd entry{master, POLLOUT, 0};
        ::poll(&entry, 1, 5);
    }
    return true;
}

QByteArray PtyPair::read(int count, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer timer;
    timer.start();
    while (got.size() < count && timer.elapsed() < timeoutMs) {
        pollfd entry{m_master, POLLIN, 0};
        ::poll(&entry, 1, int(std::max<qint64>(1, timeoutMs - timer.elapsed())));
        char buffer[256];
        const ssize_t n = ::read(m_master, buffer, std::min<size_t>(sizeof buffer, size_t(count - got.size())));
        if (n > 0)
            got.append(buffer, n);
        else if (entry.revents & POLLHUP)
            ::usleep(1000); // no slave open yet: nothing can come
    }
    return got;
}

termios PtyPair::lineSettings() const
{
    termios line{};
    ::tcgetattr(m_master, &line);
    return line;
}

void PtyPair::closeMaster()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
}
