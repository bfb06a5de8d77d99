#include "tests/support/OrdinaryUser.h"

#include <QByteArray>

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

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

OrdinaryUser::OrdinaryUser()
    : m_uid(::geteuid())
    , m_gid(::getegid())
{
    if (::geteuid() != 0)
        return;
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody || nobody->pw_uid == 0) {
        m_whyNot = QStringLiteral("the test runs as root, and this system has no user nobody to run the case as");
        return;
    }
    m_uid = nobody->pw_uid;
    m_gid = nobody->pw_gid;
    const QString tried = run([] { return QStringLiteral("ok"); });
    if (tried != QLatin1String("ok"))
        m_whyNot = QStringLiteral("the test runs as root and cannot run a child as nobody: ") + tried;
}

QString OrdinaryUser::run(const std::function<QString()>& step) const
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
        QString text;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(m_gid) != 0 || ::setuid(m_uid) != 0))
            text = errorText("the child cannot take the ids of nobody");
        else
            text = step();
        writeAll(ends[1], text.toUtf8());
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("(the child ended abnormally, status %1)").arg(status);
    return QString::fromUtf8(bytes);
}
