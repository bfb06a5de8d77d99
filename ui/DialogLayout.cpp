#include "ui/DialogLayout.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace DialogLayout {

void stack(QDialog* dialog, std::initializer_list<QWidget*> sections, QDialogButtonBox* buttons)
{
    auto* layout = new QVBoxLayout(dialog);
    for (QWidget* section : sections)
        layout->addWidget(section);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void fixNumberWidth(QWidget* edit, int digits)
{
    const QFontMetrics metrics(edit->font());
    // Room for the digits, the frame and the arrows.
    edit->setFixedWidth(metrics.horizontalAdvance(QString(digits + 1, QLatin1Char('0'))) + 40);
}

QGridLayout* fieldGrid(QWidget* section)
{
    auto* grid = new QGridLayout(section);
    grid->setColumnStretch(1, 1);
    return grid;
}

QLineEdit* labelEdit(Qt::Alignment alignment)
{
    auto* edit = new QLineEdit;
    edit->setAlignment(alignment);
    edit->setReadOnly(true);
    edit->setFrame(false);
    edit->setFocusPolicy(Qt::NoFocus);
    edit->setStyleSheet(QStringLiteral("background: transparent"));
    return edit;
}

} // namespace DialogLayout
