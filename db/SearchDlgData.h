#pragma once

#include <QString>

// The value prompt's record: what it shows and the value typed.
struct SearchDlgData {
    bool password = false;   // the edit shows "*" for each character
    bool digitsOnly = false; // the edit takes digits only
    QString value;           // the edit's text; written back on OK only
    QString label;           // replaces the label's text, also when empty
    QString caption;         // the title; empty keeps "Buscar valor"
};
