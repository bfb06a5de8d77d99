#pragma once

// The record of the machine-model dialog: the model in (the document's configuration code)
// and out (the chosen one, after OK), and whether OK asks the user to confirm the choice.
struct TipoMaquinaDlgData {
    int model = 0;
    bool confirm = true;
};
