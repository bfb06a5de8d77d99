#include "fw/DialogFit.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontMetrics>
#include <QLayout>
#include <QLineEdit>
#include <QWidget>

namespace fw::DialogFit {

namespace {

// A title bar holds, beside the caption, the window's icon and its minimise, maximise and close
// buttons, each about as wide as the bar is high, and some padding: room for five of them.
constexpr int TitleBarSquares = 5;
// Window managers draw the caption in a bold title font of their own, often a point larger
// than the program's.
constexpr int TitleFontGrowth = 1;
constexpr int TitleBarPadding = 8;

// Of a group of exclusive choices the keyboard reaches the one checked, or the first when
// none is.
bool holdsItsGroupsFocus(const QAbstractButton& button)
{
    const QButtonGroup* group = button.group();
    if (button.isChecked() || !group || !group->exclusive())
        return true;
    return group->checkedButton() == nullptr;
}

bool takesInput(const QWidget& widget)
{
    if (!widget.isVisible() || !widget.isEnabled() || !(widget.focusPolicy() & Qt::TabFocus) || widget.focusProxy())
        return false;
    if (const auto* edit = qobject_cast<const QLineEdit*>(&widget))
        return !edit->isReadOnly();
    if (const auto* spin = qobject_cast<const QAbstractSpinBox*>(&widget))
        return !spin->isReadOnly();
    // Radio buttons and check boxes are choices; push and tool buttons are commands.
    if (const auto* button = qobject_cast<const QAbstractButton*>(&widget))
        return button->isCheckable() && !button->inherits("QPushButton") && !button->inherits("QToolButton")
            && holdsItsGroupsFocus(*button);
    return true;
}

} // namespace

int captionWidth(const QWidget& window)
{
    QFont titleFont = window.font();
    titleFont.setBold(true);
    if (titleFont.pointSizeF() > 0)
        titleFont.setPointSizeF(titleFont.pointSizeF() + TitleFontGrowth);
    const QFontMetrics metrics(titleFont);
    return metrics.horizontalAdvance(window.windowTitle()) + TitleBarSquares * (metrics.height() + TitleBarPadding);
}

void fitCaption(QWidget& window, QWidget& carrier)
{
    const int wanted = captionWidth(window);
    QLayout* layout = window.layout();
    if (!layout)
        return;
    const QMargins margins = layout->contentsMargins();
    carrier.setMinimumWidth(qMax(carrier.minimumWidth(), wanted - margins.left() - margins.right()));
    // Sized now, before the window first appears.
    layout->activate();
    if (window.width() < wanted)
        window.resize(wanted, window.height());
}

QWidget* firstField(const QWidget& window)
{
    for (QWidget* widget = window.nextInFocusChain(); widget && widget != &window; widget = widget->nextInFocusChain()) {
        if (window.isAncestorOf(widget) && takesInput(*widget))
            return widget;
    }
    return nullptr;
}

void focusFirstField(QWidget& window)
{
    QWidget* field = firstField(window);
    if (!field)
        return;
    field->setFocus(Qt::TabFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(field))
        spin->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
}

} // namespace fw::DialogFit
