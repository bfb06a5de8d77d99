#include "tests/support/ModeProbe.h"

#include "tests/support/DescriptorPath.h"

#include <QDir>
#include <QFile>
#include <QStringList>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace {

std::atomic<ModeProbe*> active{nullptr};
std::mutex guard;

} // namespace

// Takes the place of the C library's fchmod in the test program.
extern "C" int fchmod(int fd, mode_t mode)
{
    ModeProbe* probe = active.load();
    return probe ? probe->change(fd, mode) : int(::syscall(SYS_fchmod, fd, mode));
}

ModeProbe::ModeProbe()
{
    ModeProbe* none = nullptr;
    if (!active.compare_exchange_strong(none, this)) {
        std::fputs("ModeProbe: a second probe while one lives\n", stderr);
        std::abort();
    }
}

ModeProbe::~ModeProbe() { active.store(nullptr); }

int ModeProbe::change(int fd, mode_t mode)
{
    struct stat status {};
    if (::fstat(fd, &status) == 0) {
        const std::lock_guard lock(guard);
        m_changes.append({descriptorPath(fd), mode_t(status.st_mode & 07777), mode_t(mode & 07777)});
    }
    return int(::syscall(SYS_fchmod, fd, mode));
}

QList<ModeProbe::Change> ModeProbe::changesUnder(const QString& folder) const
{
    const QString root = QDir(folder).canonicalPath();
    const std::lock_guard lock(guard);
    QList<Change> under;
    for (const Change& c : m_changes) {
        if (c.path.startsWith(root + QLatin1Char('/')))
            under.append(c);
    }
    return under;
}

QString ModeProbe::describe() const
{
    const std::lock_guard lock(guard);
    QStringList lines;
    for (const Change& c : m_changes)
        lines << QStringLiteral("%1: %2 to %3").arg(c.path).arg(c.before, 4, 8, QLatin1Char('0')).arg(c.after, 4, 8, QLatin1Char('0'));
    return lines.join(QLatin1Char('\n'));
}
