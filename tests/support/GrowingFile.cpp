#include "tests/support/GrowingFile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int makeGroup() { return fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_LARGEFILE); }

} // namespace

bool GrowingFile::available()
{
    const int group = makeGroup();
    if (group < 0)
        return false;
    ::close(group);
    return true;
}

GrowingFile::GrowingFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    m_file = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    m_group = makeGroup();
    m_stop = ::eventfd(0, EFD_CLOEXEC);
    if (m_file < 0 || m_group < 0 || m_stop < 0
        || fanotify_mark(m_group, FAN_MARK_ADD, FAN_ACCESS_PERM, AT_FDCWD, name.constData()) != 0)
        return;
    m_watcher = std::thread([this] { watch(); });
}

GrowingFile::~GrowingFile()
{
    if (m_watcher.joinable()) {
        ::eventfd_write(m_stop, 1);
        m_watcher.join();
    }
    // Closing the group lets any read still held go on.
    for (const int fd : {m_group, m_stop, m_file}) {
        if (fd >= 0)
            ::close(fd);
    }
}

void GrowingFile::watch()
{
    pollfd fds[] = {{m_group, POLLIN, 0}, {m_stop, POLLIN, 0}};
    for (;;) {
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents != 0)
            return;
        if ((fds[0].revents & POLLIN) != 0 && !answer())
            return;
    }
}

bool GrowingFile::answer()
{
    alignas(fanotify_event_metadata) char buffer[4096];
    const ssize_t length = ::read(m_group, buffer, sizeof buffer);
    if (length < 0)
        return errno == EINTR || errno == EAGAIN;
    ssize_t left = length;
    for (auto* event = reinterpret_cast<fanotify_event_metadata*>(buffer); FAN_EVENT_OK(event, left);
         event = FAN_EVENT_NEXT(event, left)) {
        if (event->fd < 0)
            continue;
        // A file that could not grow lets the reader find its end: the test then fails.
        struct stat status {};
        if (::fstat(m_file, &status) == 0 && ::ftruncate(m_file, status.st_size + Step) != 0)
            ::perror("GrowingFile: ftruncate");
        const fanotify_response allow{event->fd, FAN_ALLOW};
        const bool answered = ::write(m_group, &allow, sizeof allow) == sizeof allow;
        ::close(event->fd);
        if (!answered)
            return false;
    }
    return true;
}
