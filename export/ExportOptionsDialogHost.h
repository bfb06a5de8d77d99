#pragma once

#include "export/ExportaZentroluxDlgData.h"

// Opens the export-options dialog for the management-database export, whose library has no
// widgets. Program-wide (fw::ProgramWide<ExportOptionsDialogHost>): start-up installs the one
// that shows the real dialog, tests one that answers by script.
class ExportOptionsDialogHost {
public:
    virtual ~ExportOptionsDialogHost() = default;
    // Runs the dialog modally on the record; true on OK, the record then holding the chosen
    // machine and options (and the profile the options). Cancel changes neither.
    virtual bool Run(ExportaZentroluxDlgData& data) = 0;
};
