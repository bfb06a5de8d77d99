#include "tests/support/UnnamedFilesRefused.h"

// Not <fcntl.h>: it declares openat, maybe under another name or as an inline wrapper, and
// this file defines it.
#include <linux/fcntl.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace {

std::atomic<UnnamedFilesRefused*> active{nullptr};

int openAt(int folder, const char* path, int flags, va_list rest)
{
    const bool unnamed = (flags & O_TMPFILE) == O_TMPFILE;
    const mode_t mode = (flags & O_CREAT) != 0 || unnamed ? mode_t(va_arg(rest, unsigned)) : 0;
    UnnamedFilesRefused* guard = active.load();
    if (guard && unnamed)
        return guard->refuse();
    return int(::syscall(SYS_openat, folder, path, flags, mode));
}

} // namespace

// Take the place of the C library's openat, under both its names, in the test program.
extern "C" int openat(int folder, const char* path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    const int fd = openAt(folder, path, flags, rest);
    va_end(rest);
    return fd;
}

extern "C" int openat64(int folder, const char* path, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    const int fd = openAt(folder, path, flags, rest);
    va_end(rest);
    return fd;
}

UnnamedFilesRefused::UnnamedFilesRefused(int error)
    : m_error(error)
{
    UnnamedFilesRefused* none = nullptr;
    if (!active.compare_exchange_strong(none, this)) {
        std::fputs("UnnamedFilesRefused: a second guard while one lives\n", stderr);
        std::abort();
    }
}

UnnamedFilesRefused::~UnnamedFilesRefused() { active.store(nullptr); }

int UnnamedFilesRefused::refuse()
{
    ++m_refused;
    errno = m_error;
    return -1;
}
