#pragma once

#include <QString>
#include <QTranslator>

namespace fw {

// Qt's own texts (file, print and page-setup dialogs, standard buttons) in the interface's
// language, from the translations the system's Qt ships. Installed for as long as it lives.
class FrameworkTranslation {
public:
    FrameworkTranslation() = default;
    ~FrameworkTranslation();
    FrameworkTranslation(const FrameworkTranslation&) = delete;
    FrameworkTranslation& operator=(const FrameworkTranslation&) = delete;

    // Loads and installs the translation of a locale name ("es", "pt_BR") from the folder;
    // false when the folder has none, leaving Qt's English texts.
    bool install(const QString& localeName, const QString& folder = systemFolder());

    static QString systemFolder();

private:
    QTranslator m_translator;
    bool m_installed = false;
};

} // namespace fw
