#include "tests/support/ChildProcess.h"

#include <QByteArray>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace ChildProcess {

namespace {

constexpr std::chrono::seconds Limit(10);

void writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return;
        data += written;
        left -= written;
    }
}

// Everything the child writes until it closes its end; false when the limit comes first.
bool readUntilClosed(int fd, QByteArray& bytes)
{
    const auto deadline = std::chrono::steady_clock::now() + Limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd ready{fd, POLLIN, 0};
        const int polled = ::poll(&ready, 1, int(left.count()));
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0)
            return false;
        char chunk[4096];
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return true;
        bytes.append(chunk, got);
    }
}

QString errorText(const char* what)
{
    return QStringLiteral("(%1: %2)").arg(QString::fromUtf8(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

QString run(const std::function<QString()>& step)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return errorText("no pipe to the child");
    const pid_t child = ::fork();
    if (child < 0) {
        const QString error = errorText("no child");
        ::close(ends[0]);
        ::close(ends[1]);
        return error;
    }
    if (child == 0) {
        ::close(ends[0]);
        writeAll(ends[1], step().toUtf8());
        // Nothing of the test program's own (its output buffers, its exit handlers) runs twice.
        ::_exit(0);
    }
    ::close(ends[1]);
    QByteArray bytes;
    const bool ended = readUntilClosed(ends[0], bytes);
    ::close(ends[0]);
    if (!ended)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!ended)
        return QStringLiteral("(the child ran longer than %1 s)").arg(Limit.count());
    if (WIFSIGNALED(status))
        return QStringLiteral("(the child was killed by signal %1)").arg(WTERMSIG(status));
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("(the child ended abnormally, status %1)").arg(status);
    return QString::fromUtf8(bytes);
}

} // namespace ChildProcess
