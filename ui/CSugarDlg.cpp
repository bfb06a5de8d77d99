#include "ui/CSugarDlg.h"

#include "fw/Application.h"
#include "fw/UpDownEdit.h"
#include "ui/DialogLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace {
constexpr int DoseRange = 200;
constexpr int TurnsExtraSweetRange = 240;

QString tableText(int id) { return fw::Application::get().strings().text(id); }
} // namespace

CSugarDlg::CSugarDlg(SugarDlgData& record, QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_record(record)
    , m_data(record)
    , m_normal(addItem(NormalEdit, new fw::UpDownEdit))
    , m_extraSweet(addItem(ExtraSweetEdit, new fw::UpDownEdit))
    , m_extraSweetGroup(addItem(ExtraSweetGroup, new QGroupBox(itemText(ExtraSweetGroup))))
    , m_normalUnit(addItem(NormalUnit, new QLabel(itemText(NormalUnit))))
    , m_extraSweetUnit(addItem(ExtraSweetUnit, new QLabel(itemText(ExtraSweetUnit))))
{
    setWindowTitle(captionText());
    DialogLayout::fixNumberWidth(m_normal, 3);
    DialogLayout::fixNumberWidth(m_extraSweet, 3);

    auto* times = new QGroupBox(itemText(TimesGroup));
    auto* normalGroup = new QGroupBox(itemText(NormalGroup));
    auto* normalRow = new QHBoxLayout(normalGroup);
    normalRow->addWidget(m_normal);
    normalRow->addWidget(m_normalUnit);
    auto* extraRow = new QHBoxLayout(m_extraSweetGroup);
    extraRow->addWidget(m_extraSweet);
    extraRow->addWidget(m_extraSweetUnit);
    auto* groups = new QHBoxLayout(times);
    groups->addWidget(normalGroup);
    groups->addWidget(m_extraSweetGroup);
    DialogLayout::stack(this, {times}, makeButtons());

    connect(m_normal, &fw::UpDownEdit::stepped, this, &CSugarDlg::OnDeltaposNormal);
}

void CSugarDlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    m_normal->setRange(0, m_data.turnsMode ? MaxNormal : DoseRange);
    m_extraSweet->setRange(0, m_data.turnsMode ? TurnsExtraSweetRange : DoseRange);
}

void CSugarDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.text(m_normal->edit(), m_data.normal);
    dx.text(m_extraSweet->edit(), m_data.extraSweet);
    SetTurnsMode();
    if (!dx.isSaving())
        return;
    // In turns mode the extra-sweet edit is disabled: the user mends it through normal's arrows.
    QWidget* extraSweetControl = m_data.turnsMode ? static_cast<QWidget*>(m_normal) : m_extraSweet;
    if (m_data.normal > MaxNormal)
        dx.fail(m_normal, tableText(WrongNormalText));
    const double lowest = 1.5 * m_data.normal;
    const double highest = 2.0 * m_data.normal;
    if (m_data.extraSweet < lowest || m_data.extraSweet > highest)
        dx.fail(extraSweetControl, tableText(ExtraSweetRangeText));
}

void CSugarDlg::SetTurnsMode()
{
    if (!m_data.turnsMode)
        return;
    m_normalUnit->setText(tableText(TurnsUnitText));
    m_extraSweetUnit->setText(tableText(TurnsUnitText));
    m_extraSweetGroup->setEnabled(false);
    m_normal->setRange(0, MaxNormal);
}

void CSugarDlg::OnDeltaposNormal(int from, int to)
{
    if (m_data.turnsMode && to != from)
        m_extraSweet->setText(QString::number(2 * to));
}
