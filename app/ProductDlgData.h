#pragma once

#include "app/ProductNameEncoding.h"
#include "app/WideName.h"

#include <QByteArray>

// The fields of the product dialog (CProductDlg): what a caller sets before showing it and
// reads after OK, and what the machine link and the compile step fill without any dialog to
// make a product header (CDeviceCoffee::FillFromProductDlg).
struct ProductDlgData {
    int productNumber = 0;   // 1..24 after OK
    QByteArray name;         // as the machine shows it, system code page
    int selectionNumber = 0; // 1..24 after OK
    int sugarFlag = 0;       // "Con azucar", 0 or 1
    int cupFlag = 0;         // "Con vaso"
    int stirrerFlag = 0;     // "Con paletina"
    WideName wideName;       // at most 16 units
    int nameIndex = 0;       // catalogue id of the chosen product name
    bool t38aFlag = false;   // T38A family: names go through the code page, not the character table
    quint32 codePage = GetNameCodePage(); // of the wide name: 1250, 1251, 1255 or 1256
};
