#pragma once

// The fields of the sugar dialog (CSugarDlg), exchanged with the document's sugar times by
// CSugarCoffee::CopyToDialog and CopyFromDialog.
struct SugarDlgData {
    int bitter = 0;         // kept, not shown
    int normal = 0;
    int extraSweet = 0;
    bool turnsMode = false; // the doses are container turns (T38A family), not tenths of a second
};
