#pragma once

#include <QSettings>
#include <QString>

#include <memory>

namespace fw {

// The per-user profile: HKEY_CURRENT_USER\Software\Pemvora\Pemvora Pradovique on Windows,
// the matching INI file elsewhere. Values are read and written by section and name.
class Profile {
public:
    static constexpr const char* Organization = "Pemvora";
    static constexpr const char* Application = "Pemvora Pradovique";

    // The user's own profile.
    Profile();
    // A profile kept in the given INI file (tests, or a portable set-up).
    explicit Profile(const QString& iniFile);

    int GetInt(const QString& section, const QString& name, int defaultValue) const;
    QString GetString(const QString& section, const QString& name,
                      const QString& defaultValue = QString()) const;
    bool WriteInt(const QString& section, const QString& name, int value);
    bool WriteString(const QString& section, const QString& name, const QString& value);

private:
    bool flush();

    std::unique_ptr<QSettings> m_settings;
};

} // namespace fw
