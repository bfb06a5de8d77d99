#pragma once

#include <QString>
#include <QStringList>

namespace fw {

// What the command line asks the program to do at start: nothing (a new document), open a
// file, or print a file and end ("/p file", "/pt file printer"). The shell's flags start with
// '/' or '-' and ignore case (those of no use here, such as "/dde", are skipped); the first
// other word is the file, the next one after "/pt" the printer.
struct CommandLineInfo {
    enum class ShellCommand { FileNew, FileOpen, FilePrint, FilePrintTo };

    ShellCommand shellCommand = ShellCommand::FileNew;
    QString fileName;
    QString printerName;

    // The arguments after the program's own name.
    static CommandLineInfo parse(const QStringList& arguments);
};

} // namespace fw
