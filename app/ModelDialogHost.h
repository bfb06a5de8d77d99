#pragma once

#include "app/TipoMaquinaDlgData.h"

// Opens the machine-model dialog for the document, whose library has no widgets. Program-wide
// (fw::ProgramWide<ModelDialogHost>): start-up installs the one that shows the real dialog,
// tests one that answers by script.
class ModelDialogHost {
public:
    virtual ~ModelDialogHost() = default;
    // Runs the dialog modally on the record; true on OK, the record then holding the chosen
    // model. Cancel leaves the record as it was and gives false.
    virtual bool Run(TipoMaquinaDlgData& data) = 0;
};
