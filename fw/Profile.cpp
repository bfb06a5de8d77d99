#include "fw/Profile.h"

namespace fw {

namespace {
QString key(const QString& section, const QString& name) { return section + QLatin1Char('/') + name; }
} // namespace

Profile::Profile()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             QString::fromLatin1(Organization),
                                             QString::fromLatin1(Application)))
{
}

Profile::Profile(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat))
{
}

int Profile::GetInt(const QString& section, const QString& name, int defaultValue) const
{
    const QVariant value = m_settings->value(key(section, name));
    if (!value.isValid())
        return defaultValue;
    bool ok = false;
    const int number = value.toInt(&ok);
    return ok ? number : defaultValue;
}

QString Profile::GetString(const QString& section, const QString& name, const QString& defaultValue) const
{
    const QVariant value = m_settings->value(key(section, name));
    return value.isValid() ? value.toString() : defaultValue;
}

bool Profile::WriteInt(const QString& section, const QString& name, int value)
{
    m_settings->setValue(key(section, name), value);
    return flush();
}

bool Profile::WriteString(const QString& section, const QString& name, const QString& value)
{
    m_settings->setValue(key(section, name), value);
    return flush();
}

bool Profile::flush()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

} // namespace fw
