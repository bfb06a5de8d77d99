#include "fw/Application.h"

#include <QCoreApplication>

namespace fw {

Application::Application(Profile& profile, StringTable& strings, MessageSink& messages, const QString& name)
    : m_name(name)
    , m_profile(&profile)
    , m_strings(&strings)
    , m_messages(&messages)
    , m_programFolder(QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString())
    , m_install(*this)
{
}

} // namespace fw
