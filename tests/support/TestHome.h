#pragma once

#include <QTemporaryDir>

// A home of the test program's own in a fresh temporary folder: HOME, XDG_CONFIG_HOME and
// XDG_RUNTIME_DIR point into it while the object lives, so that nothing a test runs (Qt's file
// dialogs keep their history in the configuration folder) reads or writes the user's own
// settings. Made first thing in a test program's main, before anything reads those variables;
// a program that cannot have one stops there.
class TestHome {
public:
    TestHome();

private:
    void makeFolder(const char* name, const char* variable);

    QTemporaryDir m_dir;
};
