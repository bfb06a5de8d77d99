#include "fw/FrameworkTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace fw {

FrameworkTranslation::~FrameworkTranslation()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

bool FrameworkTranslation::install(const QString& localeName, const QString& folder)
{
    if (m_installed) {
        QCoreApplication::removeTranslator(&m_translator);
        m_installed = false;
    }
    if (!m_translator.load(QLocale(localeName), QStringLiteral("qtbase"), QStringLiteral("_"), folder))
        return false;
    m_installed = QCoreApplication::installTranslator(&m_translator);
    return m_installed;
}

QString FrameworkTranslation::systemFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

} // namespace fw
