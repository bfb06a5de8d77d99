#include "fw/Dialog.h"

#include "fw/Application.h"
#include "fw/DialogFit.h"

#include <QDialogButtonBox>
#include <QPushButton>

namespace fw {

Dialog::Dialog(int templateId, QWidget* parent)
    : QDialog(parent)
    , m_templateId(templateId)
{
}

void Dialog::InitDialog()
{
    if (m_initialised)
        return;
    m_initialised = true;
    OnInitDialog();
}

bool Dialog::UpdateData(bool saveAndValidate)
{
    return DataExchange::run(saveAndValidate ? DataExchange::Direction::Save : DataExchange::Direction::Load,
                             [this](DataExchange& dx) { DoDataExchange(dx); });
}

bool Dialog::DoModal()
{
    InitDialog();
    return exec() == QDialog::Accepted;
}

void Dialog::OnInitDialog() { UpdateData(false); }

void Dialog::OnOK()
{
    if (!UpdateData(true))
        return;
    Commit();
    QDialog::accept();
}

QString Dialog::captionText() const { return Application::get().strings().text(TextKey::dialog(m_templateId)); }

QString Dialog::itemText(int controlId) const
{
    return Application::get().strings().text(TextKey::dialog(m_templateId, controlId));
}

QDialogButtonBox* Dialog::makeButtons()
{
    auto* buttons = new QDialogButtonBox(this);
    m_buttons = buttons;
    QPushButton* ok = buttons->addButton(itemText(IdOk), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(itemText(IdCancel), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    addItem(IdOk, ok);
    addItem(IdCancel, cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &Dialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &Dialog::reject);
    return buttons;
}

void Dialog::showEvent(QShowEvent* event)
{
    InitDialog();
    if (m_buttons) {
        // Translated captions are often longer than the dialog's contents.
        DialogFit::fitCaption(*this, *m_buttons);
        if (!m_shownOnce)
            putButtonsLast();
    }
    if (!m_shownOnce)
        DialogFit::focusFirstField(*this);
    m_shownOnce = true;
    QDialog::showEvent(event);
}

// The buttons are made before the sections they close, so they would come first in tab order
// and take the focus from the fields.
void Dialog::putButtonsLast()
{
    QWidget* last = this;
    for (QWidget* widget = nextInFocusChain(); widget != this; widget = widget->nextInFocusChain()) {
        if (isAncestorOf(widget) && widget != m_buttons && !m_buttons->isAncestorOf(widget))
            last = widget;
    }
    for (QAbstractButton* button : m_buttons->buttons()) {
        setTabOrder(last, button);
        last = button;
    }
}

} // namespace fw
