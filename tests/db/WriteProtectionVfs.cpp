#include "tests/db/WriteProtectionVfs.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <string>

namespace {

// The layer this one stands in front of, while it is registered.
sqlite3_vfs* underlying = nullptr;

bool writable(const struct stat& status) { return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0; }

// A file that does not exist yet, in a folder that has no write permission.
bool newFileInProtectedFolder(const char* name)
{
    struct stat status {};
    if (::stat(name, &status) == 0)
        return false;
    const std::string path(name);
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, std::max<std::size_t>(slash, 1));
    return ::stat(folder.c_str(), &status) == 0 && !writable(status);
}

int openFile(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    struct stat status {};
    const bool protectedDatabase = name && (flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_READWRITE)
        && ::stat(name, &status) == 0 && !writable(status);
    if (protectedDatabase)
        flags = (flags & ~(SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE)) | SQLITE_OPEN_READONLY;
    if (name && (flags & SQLITE_OPEN_CREATE) && newFileInProtectedFolder(name)) {
        file->pMethods = nullptr;
        return SQLITE_READONLY_DIRECTORY;
    }
    return underlying->xOpen(underlying, name, file, flags, outFlags);
}

} // namespace

WriteProtectionVfs::WriteProtectionVfs()
{
    underlying = sqlite3_vfs_find(nullptr);
    m_vfs = new sqlite3_vfs(*underlying);
    m_vfs->zName = "ormi-write-protection";
    m_vfs->xOpen = openFile;
    EXPECT_EQ(sqlite3_vfs_register(m_vfs, 1), SQLITE_OK);
}

WriteProtectionVfs::~WriteProtectionVfs()
{
    sqlite3_vfs_unregister(m_vfs);
    // The layer that was the default is again.
    sqlite3_vfs_register(underlying, 1);
    delete m_vfs;
    underlying = nullptr;
}
