#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the program syncs, seen from below: while a probe lives, every fsync of the test
// program passes through it. It records what each call synced (the path that the descriptor
// names at that moment and, for a folder, the names in it then) and fails the syncs it is told
// to fail, without syncing, as a medium pulled out or a failing disk fails them. Linked only
// into the tests of the file writers; without a probe the calls go to the system unchanged.
// One probe at a time.
class SyncProbe {
public:
    struct Sync {
        QString path;
        bool folder = false;
        QStringList entries; // a folder's names, without . and ..
    };

    SyncProbe();
    ~SyncProbe();
    SyncProbe(const SyncProbe&) = delete;
    SyncProbe& operator=(const SyncProbe&) = delete;

    // The syncs of folders, or of files, fail with this errno from now on (0: they succeed).
    void failFolders(int error) { m_folderError = error; }
    void failFiles(int error) { m_fileError = error; }

    // The syncs seen so far, in their order; those under the folder alone with where.
    QList<Sync> syncs() const;
    QList<Sync> syncsUnder(const QString& folder) const;
    QString describe() const;

    // For the interposed call.
    int sync(int fd);

private:
    QList<Sync> m_syncs;
    int m_folderError = 0;
    int m_fileError = 0;
};
