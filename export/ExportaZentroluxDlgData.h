#pragma once

class DBConnection;

// What the export-options dialog is given and gives back: the machines listed are those of the
// machine type on the export's connection (not owned); OK leaves the chosen machine's code (0
// when no row had the focus) and the two options, which the profile remembers between runs.
class ExportaZentroluxDlgData {
public:
    // Takes the two options from the profile (Ormi/ExportarProds, Ormi/ExportarUnion, default 0).
    ExportaZentroluxDlgData(int machineType, DBConnection* connection);

    // Keeps the two options in the profile for the next run.
    void saveOptions() const;

    int machineType;
    DBConnection* connection;
    long machineCode = 0;
    int ExportarProds;
    int ExportarUnion;
};
