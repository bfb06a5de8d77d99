#pragma once

#include "app/CCfg.h"
#include "app/SetupT38A.h"
#include "fw/Application.h"
#include "fw/MessageSink.h"
#include "fw/Profile.h"
#include "fw/ProgramWide.h"
#include "fw/StringTable.h"

#include <QTemporaryDir>

// The program-wide objects a benchmark's code reads: the application (profile in a
// temporary folder, built-in texts, boxes answered with their default and counted), an empty
// catalogue of 30 types and 10 dispenser rows, and the T38A set-up tables with their defaults.
class BenchProgram {
public:
    BenchProgram();

    fw::Application& application() { return m_application; }
    fw::Profile& profile() { return m_profile; }
    CCfg& cfg() { return m_cfg.object(); }
    SetupT38A& setup() { return m_setup.object(); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    // A box in a measured run means the work failed.
    int boxesShown() const { return m_sink.shown; }

private:
    // Says what a box said, so that a failed run explains itself.
    class CountingSink : public fw::MessageSink {
    public:
        fw::MessageAnswer show(const fw::Message& message) override;
        int shown = 0;
    };

    QTemporaryDir m_dir;
    fw::Profile m_profile;
    fw::StringTable m_strings;
    CountingSink m_sink;
    fw::Application m_application;
    fw::ProgramWide<CCfg>::Scope m_cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope m_setup;
};
