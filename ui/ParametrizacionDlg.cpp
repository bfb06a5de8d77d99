#include "ui/ParametrizacionDlg.h"

#include "app/CCfg.h"
#include "fw/Windows1252.h"
#include "ui/DialogLayout.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

namespace {

QLabel* wrappedText(const QString& text)
{
    auto* label = new QLabel(text);
    label->setWordWrap(true);
    return label;
}

} // namespace

ParametrizacionDlg::ParametrizacionDlg(ParametrizacionDlgData& record, const CCfg& catalogue, QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_record(record)
    , m_data(record)
    , m_catalogue(catalogue)
    , m_pump(addItem(PumpEdit, new QLineEdit))
{
    setWindowTitle(captionText());
    auto* fields = new QWidget;
    QGridLayout* grid = DialogLayout::fieldGrid(fields);
    grid->addWidget(wrappedText(itemText(IntroText)), 0, 0, 1, 2);
    for (int k = 0; k < ParametrizacionDlgData::DispenserCount; ++k) {
        m_labels[k] = addItem(DispenserLabels[k], new QLabel);
        m_labels[k]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_dispensers[k] = addItem(DispenserEdits[k], new QLineEdit);
        grid->addWidget(m_labels[k], k + 1, 0);
        grid->addWidget(m_dispensers[k], k + 1, 1);
        if (k > 0)
            setTabOrder(m_dispensers[k - 1], m_dispensers[k]);
    }
    auto* pumpLabel = new QLabel(itemText(PumpLabel));
    pumpLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(pumpLabel, ParametrizacionDlgData::DispenserCount + 1, 0);
    grid->addWidget(m_pump, ParametrizacionDlgData::DispenserCount + 1, 1);
    setTabOrder(m_dispensers.back(), m_pump);
    grid->addWidget(wrappedText(itemText(WarningText)), ParametrizacionDlgData::DispenserCount + 2, 0, 1, 2);
    fields->setFixedWidth(460);
    DialogLayout::stack(this, {fields}, makeButtons());
}

void ParametrizacionDlg::DoDataExchange(fw::DataExchange& dx)
{
    for (int k = 0; k < ParametrizacionDlgData::DispenserCount; ++k)
        dx.text(m_dispensers[k], m_data.gramsPer10s[k]);
    dx.text(m_pump, m_data.pumpCcPerSecond);
    if (dx.isSaving())
        return;
    for (int k = 0; k < ParametrizacionDlgData::DispenserCount; ++k) {
        m_labels[k]->setText(itemText(DispenserLabels[k]) + QLatin1Char('\n') + fw::Windows1252::decode(m_catalogue.GetDefaultName(k + 1)));
    }
}

void ParametrizacionDlg::OnOK()
{
    if (!UpdateData(true))
        return;
    m_record = m_data;
    EndDialogOk();
}
