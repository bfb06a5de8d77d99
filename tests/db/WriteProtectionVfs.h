#pragma once

struct sqlite3_vfs;

// While it lives, SQLite sees the permission bits as every user but root does. Tests run as
// root, who may write a 0444 file and make files in a 0555 folder; this layer, the default one
// for its lifetime, checks the bits as an unprivileged user's open would: a database file
// without write permission opens for reading only (the unix file system layer then falls back
// to that without an error), and no new file (a rollback journal) is made in a folder without
// write permission (the engine's SQLITE_READONLY_DIRECTORY).
class WriteProtectionVfs {
public:
    WriteProtectionVfs();
    ~WriteProtectionVfs();
    WriteProtectionVfs(const WriteProtectionVfs&) = delete;
    WriteProtectionVfs& operator=(const WriteProtectionVfs&) = delete;

private:
    sqlite3_vfs* m_vfs;
};
