#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace fw {

// A new file beside a target, which takes the target's place in one rename.
//
// open() follows links as the system does when it opens the target's name (the file that
// opening it gives is replaced, or made when the last link names nothing yet; the links stay),
// refuses a name that holds something other than a regular file or a file the process may not
// write, and creates the new file empty in the final folder, under a name that fits the folder
// however long the target's name is. In place of an old file only its owner may read the new
// one until the commit; a file of a new name gets the mode that the user's file-creation mask
// gives.
//
// commit() gives the new file the old one's mode, group and owner (those the process may not
// set stay its own, and the mode is then narrowed so that no one gets access the old file did
// not give him; neither is a failure), syncs it to the medium, renames it over the target and
// syncs the folder, so that the new file, and not the old one or none, is found after a power
// loss or a medium pulled out once commit() said true.
//
// Any failure before the rename leaves the target as it was, and the new file is removed, as
// it is when the object goes without a commit. A folder that cannot be synced after the rename
// leaves the new file in place but perhaps not on the medium: commit() says false then too.
class ReplacementFile {
public:
    // spareNameBytes: what a writer appends to the new file's name for files of its own beside
    // it (a database engine's journal); the new file's name leaves room for it.
    explicit ReplacementFile(const QString& target, int spareNameBytes = 0);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // False with errorString() when the new file could not be made.
    bool open();
    // The new file's descriptor, open for writing, from open() to commit().
    int handle() const { return m_fd; }
    // The new file's path, for a writer that opens it by name itself.
    QString fileName() const;
    // False with errorString() when the new file is not surely in the target's place.
    bool commit();
    // The last failure's description, with the name it concerns.
    QString errorString() const { return m_error; }

private:
    bool resolveTarget();
    // Records the real folder (with its final slash) and the name in it that are replaced; true.
    bool takeFinal(const QByteArray& folder, const QByteArray& name);
    bool openFolder();
    // False when the old file is one the process may not write, by its effective ids.
    bool mayWriteOldFile();
    bool createTemporary();
    // Group, owner and mode of the old file; what cannot be set is no failure.
    void keepAccess();
    // Records the failure of the step with errno's description; false.
    bool fail(const QString& name);
    void removeTemporary();

    QString m_target;
    int m_spareNameBytes = 0;
    QString m_folder;
    QByteArray m_finalName;
    QByteArray m_temporaryName;
    int m_folderFd = -1;
    int m_fd = -1;
    bool m_hadOldFile = false;
    struct stat m_oldFile {};
    QString m_error;
};

} // namespace fw
