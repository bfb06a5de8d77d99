#pragma once

#include "fw/MessageSink.h"
#include "fw/Profile.h"
#include "fw/ProgramWide.h"
#include "fw/StringTable.h"

#include <QString>

namespace fw {

// What the program's code asks of the framework's application object: its name (the caption
// of the framework's message boxes), the profile, the string table and the message sink.
// It is the program-wide one while it lives; the program's application object owns one,
// tests create their own.
class Application {
public:
    Application(Profile& profile, StringTable& strings, MessageSink& messages,
                const QString& name = QStringLiteral("Ormi"));

    static Application& get() { return ProgramWide<Application>::get(); }

    const QString& name() const { return m_name; }
    Profile& profile() { return *m_profile; }
    StringTable& strings() { return *m_strings; }
    MessageSink& messages() { return *m_messages; }
    // The folder of the program's own executable (empty without a Qt application object:
    // the current folder); the catalogue is looked for beside it.
    const QString& programFolder() const { return m_programFolder; }
    void setProgramFolder(const QString& folder) { m_programFolder = folder; }

private:
    QString m_name;
    Profile* m_profile;
    StringTable* m_strings;
    MessageSink* m_messages;
    QString m_programFolder;
    ProgramWide<Application>::Install m_install;
};

} // namespace fw
