#include "tests/support/SyncProbe.h"

#include "tests/support/DescriptorPath.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <mutex>

namespace {

std::atomic<SyncProbe*> active{nullptr};
std::mutex guard;

} // namespace

// Takes the place of the C library's fsync in the test program.
extern "C" int fsync(int fd)
{
    SyncProbe* probe = active.load();
    return probe ? probe->sync(fd) : int(::syscall(SYS_fsync, fd));
}

SyncProbe::SyncProbe()
{
    SyncProbe* none = nullptr;
    if (!active.compare_exchange_strong(none, this)) {
        std::fputs("SyncProbe: a second probe while one lives\n", stderr);
        std::abort();
    }
}

SyncProbe::~SyncProbe() { active.store(nullptr); }

int SyncProbe::sync(int fd)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return -1;
    Sync seen;
    seen.path = descriptorPath(fd);
    seen.folder = S_ISDIR(status.st_mode);
    if (seen.folder)
        seen.entries = QDir(seen.path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    const std::lock_guard lock(guard);
    m_syncs.append(seen);
    const int error = seen.folder ? m_folderError : m_fileError;
    if (error != 0) {
        errno = error;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

QList<SyncProbe::Sync> SyncProbe::syncs() const
{
    const std::lock_guard lock(guard);
    return m_syncs;
}

QList<SyncProbe::Sync> SyncProbe::syncsUnder(const QString& folder) const
{
    const QString root = QDir(folder).canonicalPath();
    QList<Sync> under;
    for (const Sync& s : syncs()) {
        if (s.path == root || s.path.startsWith(root + QLatin1Char('/')))
            under.append(s);
    }
    return under;
}

QString SyncProbe::describe() const
{
    QStringList lines;
    for (const Sync& s : syncs())
        lines << (s.folder ? QStringLiteral("folder %1 [%2]").arg(s.path, s.entries.join(QLatin1Char(' ')))
                           : QStringLiteral("file %1").arg(s.path));
    return lines.join(QLatin1Char('\n'));
}
