#pragma once

#include "tests/res/ReadOnlyDatabase.h"

#include <QString>

#include <vector>

// The catalogue that the build lays beside the program: both databases opened read-only and
// the configurations with the files they name.
class BundledCatalogue {
public:
    struct Configuration {
        int code = 0;
        int machineType = 0;
        bool prototype = false;
        QString dispenserFile; // as stored; empty when the configuration names none
        QString relayFile;
        QString pictureFile;
    };

    BundledCatalogue();

    static QString folder();        // <bin>/configormi
    static QString programFolder(); // <bin>, where the program itself lies
    // A name as the databases store it ('\' separators, relative to the catalogue folder).
    static QString path(const QString& storedName);
    // The machine types whose devices do not come from relay and dispenser files.
    static bool hasDeviceFiles(int machineType);

    const ReadOnlyDatabase& configurations() const { return configurations_; }
    const ReadOnlyDatabase& productNames() const { return productNames_; }
    const std::vector<Configuration>& configurationList() const { return list_; }

    // Where the readers look for a configuration's files: a prototype's are in Prototipo\.
    static QString dispenserPath(const Configuration& configuration);
    static QString relayPath(const Configuration& configuration);

private:
    static QString filePath(const Configuration& configuration, const QString& storedName);

    ReadOnlyDatabase configurations_;
    ReadOnlyDatabase productNames_;
    std::vector<Configuration> list_;
};
