#include "ui/CDispositivoDlg.h"

#include "app/CCfg.h"
#include "db/LeeDbConfiguraciones.h"
#include "fw/Application.h"
#include "fw/UpDownEdit.h"
#include "fw/Windows1252.h"
#include "ui/ComboItems.h"
#include "ui/DialogLayout.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>

namespace {

constexpr int FirstColourText = 1571;
constexpr int ColourCount = 9;
constexpr int TenthsText = 1565;
constexpr int PulsesText = 1566;
constexpr int ValveText = 1567;
constexpr int SumTooLargeText = 1586;
constexpr int EndBeforeStartText = 1568;
// Without list flags in the relay file these types are never offered.
constexpr int UnlistedTypes[] = {0, 1, 13, 14};

QString tableText(int id) { return fw::Application::get().strings().text(id); }

// Wide enough for either unit the end field may show.
QLabel* unitLabel(const QString& text)
{
    auto* label = new QLabel(text);
    const QFontMetrics metrics = label->fontMetrics();
    const int widest = qMax(metrics.horizontalAdvance(tableText(PulsesText)), metrics.horizontalAdvance(tableText(TenthsText)));
    label->setMinimumWidth(widest + metrics.horizontalAdvance(QLatin1Char(' ')) * 2);
    return label;
}

} // namespace

bool CDispositivoDlg::AskConfigurationDatabase(int model) { return LeeDbConfiguraciones().UsaPulsosCaudalimetro(model); }

CDispositivoDlg::CDispositivoDlg(DispositivoDlgData& record, const CCfg& catalogue, QWidget* parent,
                                 FlowMeterQuestion usesFlowMeter)
    : fw::Dialog(TemplateId, parent)
    , m_record(record)
    , m_data(record)
    , m_catalogue(catalogue)
    , m_usesFlowMeterQuestion(std::move(usesFlowMeter))
    , m_type(addItem(TypeList, new QComboBox))
    , m_colour(addItem(ColourList, new QComboBox))
    , m_start(addItem(StartEdit, new fw::UpDownEdit))
    , m_end(addItem(EndEdit, new fw::UpDownEdit))
    , m_endUnit(addItem(EndUnit, unitLabel(itemText(EndUnit))))
{
    setWindowTitle(captionText());
    m_end->setDigitsOnly(true);
    m_type->setMinimumContentsLength(30);
    m_type->setMaxVisibleItems(20);
    DialogLayout::fixNumberWidth(m_start, 4);
    DialogLayout::fixNumberWidth(m_end, 4);

    auto* lists = new QWidget;
    QGridLayout* listGrid = DialogLayout::fieldGrid(lists);
    auto* typeLabel = new QLabel(itemText(TypeLabel));
    typeLabel->setBuddy(m_type);
    auto* colourLabel = new QLabel(itemText(ColourLabel));
    colourLabel->setBuddy(m_colour);
    listGrid->addWidget(typeLabel, 0, 0);
    listGrid->addWidget(m_type, 0, 1);
    listGrid->addWidget(colourLabel, 1, 0);
    listGrid->addWidget(m_colour, 1, 1, Qt::AlignLeft);

    auto* times = new QGroupBox(itemText(TimesGroup));
    QGridLayout* timeGrid = DialogLayout::fieldGrid(times);
    timeGrid->setColumnStretch(1, 0);
    timeGrid->setColumnStretch(3, 1);
    timeGrid->addWidget(new QLabel(itemText(StartLabel)), 0, 0);
    timeGrid->addWidget(m_start, 0, 1);
    timeGrid->addWidget(addItem(StartUnit, unitLabel(itemText(StartUnit))), 0, 2);
    timeGrid->addWidget(new QLabel(itemText(EndLabel)), 1, 0);
    timeGrid->addWidget(m_end, 1, 1);
    timeGrid->addWidget(m_endUnit, 1, 2);

    DialogLayout::stack(this, {lists, times}, makeButtons());
    connect(m_type, &QComboBox::activated, this, &CDispositivoDlg::OnEditchangeTipo);
}

void CDispositivoDlg::OnInitDialog()
{
    m_usesFlowMeter = m_usesFlowMeterQuestion(m_data.model);
    fw::Dialog::OnInitDialog();
    fillColours();
    // A colour outside the list selects none; the dialog still opens whole.
    m_colour->setCurrentIndex(m_data.colour >= 0 && m_data.colour < ColourCount ? m_data.colour : -1);
    fillTypes();
    m_type->setCurrentIndex(ComboItems::findData(m_type, m_data.type));
    ActualizaTipo();
    if (m_data.valveMode) {
        m_data.endTime = std::max(0, m_data.endTime - m_data.startTime);
        m_end->setText(QString::number(m_data.endTime));
    }
    m_start->setRange(0, MaxTime);
    m_end->setRange(0, MaxTime);
}

void CDispositivoDlg::fillColours()
{
    m_colour->clear();
    for (int colour = 0; colour < ColourCount; ++colour)
        m_colour->insertItem(colour, tableText(FirstColourText + colour));
}

void CDispositivoDlg::fillTypes()
{
    m_type->clear();
    const bool listFlags = m_catalogue.GetListFlagMark();
    for (int k = 0; k < m_catalogue.CountNamedTypes(); ++k) {
        const DeviceTypeRecord* record = m_catalogue.GetDeviceType(k);
        if (!record)
            continue;
        if (listFlags ? !record->listFlag : std::ranges::find(UnlistedTypes, k) != std::end(UnlistedTypes))
            continue;
        QString text = fw::Windows1252::decode(record->displayName);
        if (record->code == DeviceTypeRecord::DispenserCode)
            text += QStringLiteral(" (") + fw::Windows1252::decode(m_catalogue.GetDefaultName(record->subCode))
                + QLatin1Char(')');
        ComboItems::addSorted(m_type, text, k);
    }
}

void CDispositivoDlg::ActualizaTipo()
{
    m_data.valveMode = false;
    QString unit = tableText(TenthsText);
    if (m_usesFlowMeter && m_type->currentIndex() >= 0) {
        const DeviceTypeRecord* record = m_catalogue.GetDeviceType(ComboItems::currentData(m_type));
        if (m_type->currentText().contains(tableText(ValveText))
            || (record && record->code == DeviceTypeRecord::WaterValveCode)) {
            m_data.valveMode = true;
            unit = tableText(PulsesText);
        }
    }
    m_endUnit->setText(unit);
}

void CDispositivoDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.comboIndex(m_colour, m_data.colour);
    dx.comboIndex(m_type, m_data.type);
    dx.text(m_end->edit(), m_data.endTime);
    dx.minMaxInt(m_end->edit(), m_data.endTime, 0, MaxTime);
    dx.text(m_start->edit(), m_data.startTime);
    dx.minMaxInt(m_start->edit(), m_data.startTime, 0, MaxTime);
    if (!dx.isSaving())
        return;
    // Without a type the row could not be filled.
    if (m_type->currentIndex() < 0)
        dx.fail(m_type, tableText(NoTypeText));
    m_data.type = ComboItems::currentData(m_type);
    if (m_data.valveMode) {
        m_data.endTime += m_data.startTime;
        if (m_data.endTime > MaxTime)
            dx.fail(m_start, tableText(SumTooLargeText));
    }
    if (m_data.endTime < m_data.startTime)
        dx.fail(m_start, tableText(EndBeforeStartText));
}
