#include "tests/support/ProtectedTargets.h"

#include "tests/support/FileOwners.h"
#include "tests/support/OrdinaryUser.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace ProtectedTargets {

QList<Case> cases()
{
    return {
        {"the user's own write-protected file (0444)", false, 0444, true},
        {"another user's file that the user may only read (0644), in a folder open to all", true, 0644, true},
        {"the user's own file that he may write (0644)", false, 0644, false},
        {"another user's file that the user may write (0666), in a sticky folder open to all", true, 0666, true,
         Folder::StickyOpenToAll},
        {"another user's file that the user may write (0666), in his own sticky folder", true, 0666, false,
         Folder::UsersOwnSticky},
        {"the user's own file (0644), in a sticky folder open to all", false, 0644, false, Folder::StickyOpenToAll},
    };
}

QList<Case> runnableCases(QStringList& notRun)
{
    QList<Case> runnable;
    for (const Case& c : cases()) {
        if (c.anotherUsers && !FileOwners::mayGiveAway())
            notRun << c.what;
        else
            runnable << c;
    }
    return runnable;
}

std::string notRunReason(const QStringList& notRun)
{
    return "not run, as only root may make another user's file: " + notRun.join("; ").toStdString();
}

bool make(const QString& path, const QByteArray& bytes, const Case& c, const OrdinaryUser& user)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (c.folder == Folder::UsersOwnSticky && ::chown(folder.constData(), user.uid(), user.gid()) != 0)
        return false;
    if (::chmod(folder.constData(), c.folder == Folder::OpenToAll ? 0777 : 01777) != 0)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        return false;
    file.close();
    if (c.anotherUsers)
        return FileOwners::give(path, FileOwners::OtherUser, FileOwners::OtherGroup, c.mode);
    return FileOwners::give(path, user.uid(), user.gid(), c.mode);
}

QString state(const QString& path)
{
    const struct stat status = FileOwners::status(path);
    QFile file(path);
    const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    const QStringList beside = QDir(QFileInfo(path).absolutePath())
                                   .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    return QStringLiteral("owner %1, group %2, mode %3, inode %4, %5 bytes of SHA-1 %6; beside it: %7")
        .arg(status.st_uid)
        .arg(status.st_gid)
        .arg(status.st_mode & 07777, 4, 8, QLatin1Char('0'))
        .arg(status.st_ino)
        .arg(bytes.size())
        .arg(QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex()))
        .arg(beside.join(QStringLiteral(", ")));
}

} // namespace ProtectedTargets
