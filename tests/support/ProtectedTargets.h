#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <sys/types.h>

class OrdinaryUser;

// Files that a user may not write, in a folder that lets him put a new file in their place,
// for the writers' tests: each writer refuses them before it writes anything. The cases run as
// an ordinary user (OrdinaryUser); a file the user may write is the control that the writer
// reaches the folder as that user.
namespace ProtectedTargets {

struct Case {
    const char* what;
    bool anotherUsers; // else the ordinary user's own
    mode_t mode;
    bool refused;
};

QList<Case> cases();
// Opens the path's folder to all (0777) and makes the file of the case there, holding the
// bytes. False when it cannot (another user's file needs root).
bool make(const QString& path, const QByteArray& bytes, const Case& c, const OrdinaryUser& user);
// The file's owner, group, mode, inode, size and bytes' digest, and the names in its folder.
QString state(const QString& path);

} // namespace ProtectedTargets
