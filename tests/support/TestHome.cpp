#include "tests/support/TestHome.h"

#include <QDir>

#include <sys/stat.h>

TestHome::TestHome()
    : m_dir(QDir(QDir::tempPath()).filePath(QStringLiteral("ormi-test-home-XXXXXX")))
{
    if (!m_dir.isValid())
        qFatal("cannot make a temporary home: %s", qPrintable(m_dir.errorString()));
    makeFolder("home", "HOME");
    makeFolder("home/.config", "XDG_CONFIG_HOME");
    makeFolder("runtime", "XDG_RUNTIME_DIR");
}

void TestHome::makeFolder(const char* name, const char* variable)
{
    const QString path = m_dir.filePath(QString::fromLatin1(name));
    // Qt refuses a runtime folder that others may enter; the others need no more.
    const auto ownerOnly = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
    struct stat made {};
    if (!QDir().mkdir(path, ownerOnly) || ::stat(QFile::encodeName(path).constData(), &made) != 0 ||
        (made.st_mode & 07777) != 0700)
        qFatal("cannot make %s with mode 0700", qPrintable(path));
    if (!qputenv(variable, QFile::encodeName(path)))
        qFatal("cannot set %s", variable);
}
