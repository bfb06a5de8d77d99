#include "ui/DispositivoT38ADlg.h"

#include "app/SetupT38A.h"
#include "fw/Application.h"
#include "fw/TextFormat.h"
#include "fw/UpDownEdit.h"
#include "fw/Windows1252.h"
#include "ui/DialogArt.h"
#include "ui/DialogLayout.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

constexpr int MilligramsText = 216;
constexpr int WaterText = 222;

QString tableText(int id) { return fw::Application::get().strings().text(id); }

// The number a text starts with, as the machines' own tools read it: leading digits, 0 for none.
int leadingNumber(const QString& text)
{
    qint64 value = 0;
    for (QChar ch : text.trimmed()) {
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9') || value > 100000000)
            break;
        value = value * 10 + (ch.unicode() - '0');
    }
    return int(value);
}

QToolButton* iconButton(const QIcon& icon)
{
    auto* button = new QToolButton;
    button->setIcon(icon);
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QLineEdit* readOnlyEdit()
{
    auto* edit = new QLineEdit;
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::NoFocus);
    // Wide enough for the longer estimate with six digits.
    const QFontMetrics metrics = edit->fontMetrics();
    const QString product = QStringLiteral("000000  ") + tableText(MilligramsText);
    const QString water = fw::TextFormat::format(tableText(WaterText), {999999});
    edit->setMinimumWidth(qMax(metrics.horizontalAdvance(product), metrics.horizontalAdvance(water)) + 12);
    return edit;
}

} // namespace

DispositivoT38ADlg::DispositivoT38ADlg(DispositivoT38ADlgData& record, const SetupT38A& setup, QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_record(record)
    , m_data(record)
    , m_setup(setup)
    , m_type(addItem(TypeList, new QComboBox))
    , m_turns(addItem(TurnsEdit, new fw::UpDownEdit))
    , m_pulses(addItem(PulsesEdit, new fw::UpDownEdit))
    , m_productIcon(addItem(ProductIcon, iconButton(DialogArt::productIcon())))
    , m_productEstimate(addItem(ProductEstimate, readOnlyEdit()))
    , m_waterEstimate(addItem(WaterEstimate, readOnlyEdit()))
{
    setWindowTitle(captionText());
    // A group type hides the product estimate: its room stays, so the window keeps its size
    // and its buttons stay under the mouse.
    for (QWidget* hidden : {static_cast<QWidget*>(m_productIcon), static_cast<QWidget*>(m_productEstimate)}) {
        QSizePolicy policy = hidden->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        hidden->setSizePolicy(policy);
    }
    m_turns->setDigitsOnly(true);
    m_type->setMinimumContentsLength(24);
    DialogLayout::fixNumberWidth(m_turns, 5);
    DialogLayout::fixNumberWidth(m_pulses, 5);

    auto* typeRow = new QWidget;
    QGridLayout* typeGrid = DialogLayout::fieldGrid(typeRow);
    auto* typeLabel = new QLabel(itemText(TypeLabel));
    typeLabel->setBuddy(m_type);
    typeGrid->addWidget(typeLabel, 0, 0);
    typeGrid->addWidget(m_type, 0, 1);

    auto* values = new QGroupBox(itemText(ValuesGroup));
    QGridLayout* valueGrid = DialogLayout::fieldGrid(values);
    valueGrid->setColumnStretch(1, 0);
    valueGrid->setColumnStretch(2, 1);
    valueGrid->addWidget(new QLabel(itemText(TurnsLabel)), 0, 0);
    valueGrid->addWidget(m_turns, 0, 1);
    valueGrid->addWidget(new QLabel(itemText(PulsesLabel)), 1, 0);
    valueGrid->addWidget(m_pulses, 1, 1);

    auto* estimates = new QGroupBox(itemText(EstimatesGroup));
    QGridLayout* estimateGrid = DialogLayout::fieldGrid(estimates);
    estimateGrid->setColumnStretch(0, 0);
    estimateGrid->addWidget(m_productIcon, 0, 0);
    estimateGrid->addWidget(m_productEstimate, 0, 1);
    estimateGrid->addWidget(addItem(WaterIcon, iconButton(DialogArt::waterIcon())), 1, 0);
    estimateGrid->addWidget(m_waterEstimate, 1, 1);

    DialogLayout::stack(this, {typeRow, values, estimates}, makeButtons());
    connect(m_type, &QComboBox::activated, this, &DispositivoT38ADlg::OnSelchangeTipo);
    connect(m_turns, &fw::UpDownEdit::textChanged, this, &DispositivoT38ADlg::OnChangeProducto);
    connect(m_pulses, &fw::UpDownEdit::textChanged, this, &DispositivoT38ADlg::OnChangeAgua);
}

void DispositivoT38ADlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    selectType();
    HabilitaPorTipo(selectedType());
    m_turns->setRange(0, ArrowRange);
    m_pulses->setRange(0, ArrowRange);
    m_data.estimatedMilligrams = m_data.type < 2 ? 0 : m_data.turns * milligramsPerTurn(m_data.type);
    m_turns->setText(QString::number(m_data.turns));
    showProductEstimate(m_data.estimatedMilligrams);
    OnChangeAgua();
}

void DispositivoT38ADlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.text(m_pulses->edit(), m_data.waterPulses);
    dx.minMaxInt(m_pulses->edit(), m_data.waterPulses, 0, MaxPulses);
    dx.text(m_turns->edit(), m_data.turns);
    dx.minMaxInt(m_turns->edit(), m_data.turns, 0, MaxTurns);
    if (!dx.isSaving()) {
        fillTypes();
        return;
    }
    // Without a type the row could not be filled.
    if (m_type->currentIndex() < 0)
        dx.fail(m_type, tableText(NoTypeText));
    m_data.type = selectedType();
}

void DispositivoT38ADlg::fillTypes()
{
    m_type->clear();
    for (int position = 0;; ++position) {
        const QByteArray name = m_setup.GetRowDisplayName(typeOfPosition(position), quint32(m_data.family));
        if (name.isEmpty())
            break;
        m_type->addItem(fw::Windows1252::decode(name), position);
    }
}

// By type, not by name: every product row without a product shows the coffee group's name.
void DispositivoT38ADlg::selectType()
{
    int position = -1;
    if (m_data.type == 0 || m_data.type == 1)
        position = m_data.type;
    else if (m_data.type >= 3)
        position = m_data.type - 1;
    else if (m_data.type == 2)
        position = m_type->findText(fw::Windows1252::decode(m_setup.GetRowDisplayName(2, quint32(m_data.family))),
                                    Qt::MatchFixedString);
    m_type->setCurrentIndex(position < m_type->count() ? position : -1);
}

int DispositivoT38ADlg::selectedType() const
{
    return m_type->currentIndex() < 0 ? DispositivoT38ADlgData::NoType : typeOfPosition(m_type->currentIndex());
}

bool DispositivoT38ADlg::isGroupType(int type) const
{
    if (type < 0)
        return false;
    const QByteArray name = m_setup.GetRowDisplayName(type, quint32(m_data.family));
    return name == m_setup.GetGroupName2(0) || name == m_setup.GetGroupName2(1);
}

int DispositivoT38ADlg::milligramsPerTurn(int type) const
{
    const auto row = m_setup.GetSetupRow(type - 1);
    return type >= 2 && row ? row->mgPerTurn : 0;
}

void DispositivoT38ADlg::HabilitaPorTipo(int type)
{
    if (isGroupType(type)) {
        m_turns->setEnabled(false);
        m_productEstimate->setVisible(false);
        m_productIcon->setVisible(false);
        return;
    }
    m_pulses->setEnabled(true);
    m_turns->setEnabled(true);
    m_productEstimate->setVisible(true);
    m_productIcon->setVisible(true);
}

void DispositivoT38ADlg::OnSelchangeTipo()
{
    const int type = selectedType();
    if (type == 0 || isGroupType(type)) {
        m_turns->setEnabled(false);
        m_turns->setText(QStringLiteral("0"));
        m_productIcon->setVisible(false);
        m_productEstimate->setVisible(false);
        return;
    }
    m_productIcon->setVisible(true);
    m_turns->setText(QStringLiteral("0"));
    HabilitaPorTipo(type);
}

void DispositivoT38ADlg::OnChangeProducto()
{
    const int type = selectedType();
    showProductEstimate(type < 2 ? 0 : leadingNumber(m_turns->text()) * milligramsPerTurn(type));
}

void DispositivoT38ADlg::OnChangeAgua()
{
    m_waterEstimate->setText(fw::TextFormat::format(tableText(WaterText), {PulsosACc(leadingNumber(m_pulses->text()))}));
}

void DispositivoT38ADlg::showProductEstimate(int milligrams)
{
    m_productEstimate->setText(QString::number(milligrams) + QStringLiteral("  ") + tableText(MilligramsText));
}
