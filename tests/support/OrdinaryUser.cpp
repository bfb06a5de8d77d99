#include "tests/support/OrdinaryUser.h"

#include "tests/support/ChildProcess.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

OrdinaryUser::OrdinaryUser()
    : m_uid(::geteuid())
    , m_gid(::getegid())
{
    if (::geteuid() != 0)
        return;
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody || nobody->pw_uid == 0) {
        m_whyNot = QStringLiteral("the test runs as root, and this system has no user nobody to run the case as");
        return;
    }
    m_uid = nobody->pw_uid;
    m_gid = nobody->pw_gid;
    const QString tried = run([] { return QStringLiteral("ok"); });
    if (tried != QLatin1String("ok"))
        m_whyNot = QStringLiteral("the test runs as root and cannot run a child as nobody: ") + tried;
}

QString OrdinaryUser::run(const std::function<QString()>& step) const
{
    return ChildProcess::run([&] {
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(m_gid) != 0 || ::setuid(m_uid) != 0))
            return QStringLiteral("(the child cannot take the ids of nobody: %1)").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return step();
    });
}
