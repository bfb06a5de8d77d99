#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <string>

#include <sys/types.h>

class OrdinaryUser;

// Files that a user may not write or replace, in a folder that lets him put a new file beside
// them, for the writers' tests: each writer refuses them before it writes anything. The cases
// run as an ordinary user (OrdinaryUser); a file the user may write and replace is the control
// that the writer reaches the folder as that user.
namespace ProtectedTargets {

enum class Folder {
    OpenToAll,        // 0777, the test's own
    StickyOpenToAll,  // 1777, the test's own: a file goes only for its owner or the folder's
    UsersOwnSticky,   // 1777, the user's own
};

struct Case {
    const char* what;
    bool anotherUsers; // else the ordinary user's own
    mode_t mode;
    bool refused;
    Folder folder = Folder::OpenToAll;
};

QList<Case> cases();
// The cases this process can set up; the others' names go to notRun (another user's file
// needs root).
QList<Case> runnableCases(QStringList& notRun);
// Why the cases in notRun were not run, for a test's skip.
std::string notRunReason(const QStringList& notRun);
// Gives the path's folder the case's mode and owner and makes the file of the case there,
// holding the bytes. False when it cannot (another user's file needs root).
bool make(const QString& path, const QByteArray& bytes, const Case& c, const OrdinaryUser& user);
// The file's owner, group, mode, inode, size and bytes' digest, and the names in its folder.
QString state(const QString& path);

} // namespace ProtectedTargets
