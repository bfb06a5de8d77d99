#include "ui/CTemperDlg.h"

#include "fw/UpDownEdit.h"
#include "ui/DialogLayout.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>

CTemperDlg::CTemperDlg(TemperDlgData& record, QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_record(record)
    , m_data(record)
    , m_temperature(addItem(TemperatureEdit, new fw::UpDownEdit))
{
    setWindowTitle(captionText());
    auto* group = new QGroupBox(itemText(TemperatureGroup));
    auto* row = new QHBoxLayout(group);
    row->addWidget(m_temperature);
    DialogLayout::fixNumberWidth(m_temperature, 4);
    row->addStretch();
    DialogLayout::stack(this, {group}, makeButtons());
}

void CTemperDlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    m_temperature->setRange(Lowest, Highest);
}

void CTemperDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.text(m_temperature->edit(), m_data.temperature);
    dx.minMaxInt(m_temperature->edit(), m_data.temperature, Lowest, Highest);
}
