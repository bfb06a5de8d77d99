#pragma once

struct sqlite3_vfs;

// While it lives, SQLite opens a database file that has no write permission for reading only,
// as it does for every user but root: the unix file system layer then falls back to a read-only
// open without an error. Tests run as root, who may write a 0444 file; this layer, the default
// one for its lifetime, checks the permission bits as an unprivileged user's open would.
class WriteProtectionVfs {
public:
    WriteProtectionVfs();
    ~WriteProtectionVfs();
    WriteProtectionVfs(const WriteProtectionVfs&) = delete;
    WriteProtectionVfs& operator=(const WriteProtectionVfs&) = delete;

private:
    sqlite3_vfs* m_vfs;
};
