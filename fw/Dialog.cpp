#include "fw/Dialog.h"

#include "fw/Application.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLayout>
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
    fitCaption();
    QDialog::showEvent(event);
}

// A title bar cuts a caption wider than its window, and translated captions are often longer
// than the dialog's contents: the row of buttons keeps the window wide enough for the caption
// in a bold title font, the window's icon and its close button.
void Dialog::fitCaption()
{
    if (!m_buttons)
        return;
    constexpr int TitleBarExtras = 100;
    QFont titleFont = font();
    titleFont.setBold(true);
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    const int wanted = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + TitleBarExtras;
    m_buttons->setMinimumWidth(qMax(0, wanted - margins.left() - margins.right()));
    // Sized now, before the window first appears.
    if (layout())
        layout()->activate();
}

} // namespace fw
