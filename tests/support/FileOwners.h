#pragma once

#include <QFile>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

// Files of another owner, for the tests of the writers that must keep a file's owner, group
// and mode: only root may make them, so the tests skip the cases without root.
namespace FileOwners {

// A user and a group that no one of the machine is.
constexpr uid_t OtherUser = 4242;
constexpr gid_t OtherGroup = 4343;

inline bool mayGiveAway() { return ::geteuid() == 0; }

// Gives the file to the owner and the group with that mode; false when it cannot.
inline bool give(const QString& path, uid_t owner, gid_t group, mode_t mode)
{
    const QByteArray name = QFile::encodeName(path);
    return ::chown(name.constData(), owner, group) == 0 && ::chmod(name.constData(), mode) == 0;
}

// The file's status; all zero when there is none.
inline struct stat status(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        status = {};
    return status;
}

} // namespace FileOwners
