#pragma once

#include <QtGlobal>

struct sqlite3_vfs;

// While it lives, SQLite's default layer writes to a disk that can fill up: once it is given
// a number of free bytes, the files together may grow by that many bytes and no more, and a
// write that would go past it fails whole with SQLITE_FULL, as the unix layer reports a disk
// without space. Space freed by truncating a file is not given back. Until then the disk has
// room for everything.
class FullDiskVfs {
public:
    FullDiskVfs();
    ~FullDiskVfs();
    FullDiskVfs(const FullDiskVfs&) = delete;
    FullDiskVfs& operator=(const FullDiskVfs&) = delete;

    // From now on the files may grow by this many bytes in all.
    void setFreeBytes(qint64 bytes);
    // Room for everything again.
    void makeRoom();

private:
    sqlite3_vfs* m_vfs;
};
