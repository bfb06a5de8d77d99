#pragma once

class QWidget;

// What every dialog of the program does before it first appears: a width that lets the title
// bar show the whole caption, and the focus in the first field, so that typing goes there.
namespace fw::DialogFit {

// The window width that shows its caption in a title bar: the caption in a title font, the
// window's icon and its buttons.
int captionWidth(const QWidget& window);
// Keeps a window laid out by a layout at least as wide as its caption. carrier is a widget of
// that layout that takes the width (a layout of fixed size would undo a minimum set on the
// window itself).
void fitCaption(QWidget& window, QWidget& carrier);
// The first widget in tab order that takes the user's input (an edit, a list, a choice), not
// a button; null when the window has none.
QWidget* firstField(const QWidget& window);
// Gives the first field the focus with its text selected, so that what is typed replaces it.
void focusFirstField(QWidget& window);

} // namespace fw::DialogFit
