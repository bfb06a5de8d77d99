#include "tests/support/TestApplication.h"

TestApplication::TestApplication()
    : m_profile(m_dir.filePath(QStringLiteral("profile.ini")))
    , m_application(m_profile, m_strings, m_messages)
{
}

QString TestApplication::tempPath(const QString& name) const
{
    return name.isEmpty() ? m_dir.path() : m_dir.filePath(name);
}
