#pragma once

#include <QString>
#include <QStringList>

// The printers the print system lists, as a print from the command line needs them: the
// program asks Qt's print support (CUPS), tests give a list of their own.
struct PrinterList {
    QStringList names;
    // Empty when the print system has no default printer (or no printer at all).
    QString defaultName;

    static PrinterList query();
};
