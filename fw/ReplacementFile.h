#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

#include <functional>

namespace fw {

// A new file beside a target, which takes the target's place in one rename.
//
// open() follows links as the system does when it opens the target's name (the file that
// opening it gives is replaced, or made when the last link names nothing yet; the links stay),
// refuses a name that holds something other than a regular file, a file the process may not
// write, or another's file in another's folder where only a file's owner may remove it (a
// sticky folder, as /tmp), and creates the new file empty in the final folder, under a name
// that fits the folder however long the target's name is (given at the commit, for
// Access::Handle). In place of an old file only its owner may read the new one until the
// commit; a file of a new name gets the mode that the user's file-creation mask gives.
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
    // How the writer reaches the new file.
    enum class Access {
        // Through handle() alone. The new file has no name until commit() links it in under a
        // name that fits the folder, just before the rename, so that a crash or a kill before
        // then leaves nothing beside the target. Where the system makes no unnamed files (the
        // file system, the kernel, no /proc) it is made as for Name.
        Handle,
        // Through fileName() too, for a writer that opens the new file by name itself (a
        // database engine): it has that name, beside the target, from open() on.
        Name,
    };

    // spareNameBytes: what a writer by name appends to the new file's name for files of its
    // own beside it (a database engine's journal); the new file's name leaves room for it.
    explicit ReplacementFile(const QString& target, Access access = Access::Handle, int spareNameBytes = 0);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // False with errorString() when the new file could not be made.
    bool open();
    // The new file's descriptor, open for writing, from open() to commit().
    int handle() const { return m_fd; }
    // The new file's path, from open() on; for Access::Name only.
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
    // False when the folder would refuse the rename over the old file for its owner's sake.
    bool mayRemoveOldFile();
    bool createTemporary();
    // A new file under a fresh name in the folder.
    bool createNamed();
    // The unnamed new file linked in under a fresh name in the folder.
    bool linkUnnamed();
    // Tries fresh names that fit the folder until make() takes one, which becomes the new
    // file's name; false at the first failure other than a name already taken.
    bool takeFreshName(const std::function<bool(const QByteArray&)>& make);
    mode_t newFileMode() const;
    // Group, owner and mode of the old file; what cannot be set is no failure.
    void keepAccess();
    // The new file's path for a failure's text: its name, or the target's while it has none.
    QString newFilePath() const;
    // Records the failure of the step with errno's description; false.
    bool fail(const QString& name);
    void removeTemporary();

    QString m_target;
    Access m_access;
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
