#pragma once

#include <qnamespace.h>

#include <initializer_list>

class QDialog;
class QDialogButtonBox;
class QGridLayout;
class QLineEdit;
class QWidget;

// The one layout of the edit dialogs: their sections top-down, the buttons at the bottom
// right, a size the contents fix.
namespace DialogLayout {

void stack(QDialog* dialog, std::initializer_list<QWidget*> sections, QDialogButtonBox* buttons);
// A number edit wide enough for so many digits and its arrows.
void fixNumberWidth(QWidget* edit, int digits);
// A grid of label, field and unit columns for a section.
QGridLayout* fieldGrid(QWidget* section);
// A read-only edit that shows a label's text as a label does: no frame, no background, no focus.
QLineEdit* labelEdit(Qt::Alignment alignment);

} // namespace DialogLayout
