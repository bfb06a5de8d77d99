#pragma once

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>

// How the program meets the screen, decided from the environment and the command line before
// the application object exists: without a display Qt's default platform aborts the process.
struct StartPlatform {
    enum class Mode {
        // A display or a platform is given: windows and message boxes as usual.
        Windows,
        // A print ("/p", "/pt") where no one can click: every message is a line on standard
        // error and the exit code says how the print ended.
        Headless,
        // The editor without a display: it says what to set, on standard error, and ends.
        NoDisplay,
    };

    Mode mode = Mode::Windows;
    // The platform to set in QT_QPA_PLATFORM before the application object exists; empty:
    // the one given, or Qt's default.
    QByteArray forcedPlatform;

    // The arguments after the program's name, Qt's own ("-platform", "-display") included.
    static StartPlatform choose(const QProcessEnvironment& environment, const QStringList& arguments);
};
