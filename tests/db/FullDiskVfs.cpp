#include "tests/db/FullDiskVfs.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

namespace {

// The layer this one stands in front of, and the bytes left on the disk (negative: no limit),
// while it is registered.
sqlite3_vfs* underlying = nullptr;
qint64 freeBytes = -1;

// A file of this layer: the underlying layer's file lies right behind it.
struct File {
    sqlite3_file base;
    sqlite3_file* real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
};

File* of(sqlite3_file* file) { return reinterpret_cast<File*>(file); }
sqlite3_file* real(sqlite3_file* file) { return of(file)->real(); }

int write(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset)
{
    sqlite3_int64 size = 0;
    const int rc = real(file)->pMethods->xFileSize(real(file), &size);
    if (rc != SQLITE_OK)
        return rc;
    const qint64 growth = qMax<qint64>(0, offset + amount - size);
    if (freeBytes >= 0) {
        if (growth > freeBytes)
            return SQLITE_FULL;
        freeBytes -= growth;
    }
    return real(file)->pMethods->xWrite(real(file), data, amount, offset);
}

int close(sqlite3_file* file) { return real(file)->pMethods->xClose(real(file)); }
int read(sqlite3_file* file, void* data, int amount, sqlite3_int64 offset)
{
    return real(file)->pMethods->xRead(real(file), data, amount, offset);
}
int truncate(sqlite3_file* file, sqlite3_int64 size) { return real(file)->pMethods->xTruncate(real(file), size); }
int sync(sqlite3_file* file, int flags) { return real(file)->pMethods->xSync(real(file), flags); }
int fileSize(sqlite3_file* file, sqlite3_int64* size) { return real(file)->pMethods->xFileSize(real(file), size); }
int lock(sqlite3_file* file, int level) { return real(file)->pMethods->xLock(real(file), level); }
int unlock(sqlite3_file* file, int level) { return real(file)->pMethods->xUnlock(real(file), level); }
int checkReservedLock(sqlite3_file* file, int* out) { return real(file)->pMethods->xCheckReservedLock(real(file), out); }
int fileControl(sqlite3_file* file, int op, void* argument)
{
    return real(file)->pMethods->xFileControl(real(file), op, argument);
}
int sectorSize(sqlite3_file* file) { return real(file)->pMethods->xSectorSize(real(file)); }
int deviceCharacteristics(sqlite3_file* file) { return real(file)->pMethods->xDeviceCharacteristics(real(file)); }

// Version 1: no shared memory (no WAL) and no memory mapping, so every write comes through here.
const sqlite3_io_methods Methods = {
    1, close, read, write, truncate, sync, fileSize, lock, unlock, checkReservedLock, fileControl, sectorSize,
    deviceCharacteristics, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
};

int openFile(sqlite3_vfs*, const char* name, sqlite3_file* file, int flags, int* outFlags)
{
    File* wrapper = of(file);
    const int rc = underlying->xOpen(underlying, name, wrapper->real(), flags, outFlags);
    // The engine closes a file only when its methods are set.
    file->pMethods = rc == SQLITE_OK ? &Methods : nullptr;
    if (rc != SQLITE_OK && wrapper->real()->pMethods)
        wrapper->real()->pMethods->xClose(wrapper->real());
    return rc;
}

} // namespace

FullDiskVfs::FullDiskVfs()
{
    underlying = sqlite3_vfs_find(nullptr);
    freeBytes = -1;
    m_vfs = new sqlite3_vfs(*underlying);
    m_vfs->zName = "ormi-full-disk";
    m_vfs->szOsFile = int(sizeof(File)) + underlying->szOsFile;
    m_vfs->xOpen = openFile;
    EXPECT_EQ(sqlite3_vfs_register(m_vfs, 1), SQLITE_OK);
}

FullDiskVfs::~FullDiskVfs()
{
    sqlite3_vfs_unregister(m_vfs);
    // The layer that was the default is again.
    sqlite3_vfs_register(underlying, 1);
    delete m_vfs;
    underlying = nullptr;
    freeBytes = -1;
}

void FullDiskVfs::setFreeBytes(qint64 bytes) { freeBytes = qMax<qint64>(0, bytes); }

void FullDiskVfs::makeRoom() { freeBytes = -1; }
