#pragma once

#include <QString>
#include <QVariant>

class QComboBox;

// What the edit dialogs' lists share: sorted insertion as the system's sorted lists do it
// (ignoring case), finding by item data, and the list of the product-name code pages.
namespace ComboItems {

// Inserts before the first item that sorts after the text, ignoring case; returns its position.
int addSorted(QComboBox* combo, const QString& text, const QVariant& data);
// The first position whose item data is the value, -1 when none.
int findData(const QComboBox* combo, int value);
// The item data of the current position, -1 when nothing is selected.
int currentData(const QComboBox* combo);

// The four code-page names (strings 207..210, item data 0..3), sorted; the first item whose
// text holds the code page in decimal is selected, or the first item. The list is disabled:
// the code page changes only for the whole document.
void fillCodePages(QComboBox* combo, quint32 codePage);
// The code page of item data 0..3; 0 for anything else.
quint32 codePageOf(int itemData);

} // namespace ComboItems
