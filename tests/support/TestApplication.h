#pragma once

#include "fw/Application.h"
#include "fw/Profile.h"
#include "fw/StringTable.h"
#include "tests/support/ScriptedMessageSink.h"

#include <QTemporaryDir>

// A fresh framework application for one test: a profile in a temporary INI file, the
// built-in string table and scripted message boxes.
class TestApplication {
public:
    TestApplication();

    fw::Profile& profile() { return m_profile; }
    fw::StringTable& strings() { return m_strings; }
    ScriptedMessageSink& messages() { return m_messages; }
    fw::Application& application() { return m_application; }
    // A folder that lives as long as the test application.
    QString tempPath(const QString& name = QString()) const;

private:
    QTemporaryDir m_dir;
    fw::Profile m_profile;
    fw::StringTable m_strings;
    ScriptedMessageSink m_messages;
    fw::Application m_application;
};
