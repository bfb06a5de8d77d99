#include "ui/NombrePctoDispensadorT38A.h"

#include "fw/Application.h"
#include "fw/Windows1252.h"
#include "ui/ComboItems.h"
#include "ui/DialogLayout.h"
#include "ui/NameConversion.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int HintTextId = 217;
} // namespace

NombrePctoDispensadorT38A::NombrePctoDispensadorT38A(NombrePctoDlgData& record, QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_record(record)
    , m_data(record)
    , m_name(addItem(NameEdit, new QLineEdit))
    , m_wideName(addItem(WideNameEdit, new QLineEdit))
    , m_codePage(addItem(CodePageList, new QComboBox))
    , m_hint(addItem(HintText, new QPlainTextEdit))
{
    m_wideName->setMaxLength(NombrePctoDlgData::MaxWideUnits);
    m_name->setMinimumWidth(m_name->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('M'))));
    m_hint->setReadOnly(true);
    m_hint->setFocusPolicy(Qt::NoFocus);
    m_hint->setFixedHeight(m_hint->fontMetrics().lineSpacing() * 3 + 10);
    auto* convert = addItem(ConvertButton, new QPushButton(itemText(ConvertButton)));
    convert->setAutoDefault(false);

    auto* description = new QGroupBox(itemText(DescriptionGroup));
    auto* layout = new QVBoxLayout(description);
    layout->addWidget(m_name);
    layout->addWidget(m_wideName);
    auto* codePageRow = new QHBoxLayout;
    codePageRow->addWidget(convert);
    codePageRow->addStretch();
    codePageRow->addWidget(new QLabel(itemText(CodePageLabel)));
    codePageRow->addWidget(m_codePage);
    layout->addLayout(codePageRow);
    layout->addWidget(m_hint);

    DialogLayout::stack(this, {description}, makeButtons());
    setTabOrder(m_wideName, convert);
    connect(convert, &QPushButton::clicked, this, &NombrePctoDispensadorT38A::OnConvertir);
    connect(m_codePage, &QComboBox::activated, this, &NombrePctoDispensadorT38A::OnSelchangeCodepage);
}

void NombrePctoDispensadorT38A::DoDataExchange(fw::DataExchange& dx)
{
    setWindowTitle(m_data.caption);
    dx.text(m_name, m_data.name);
    if (dx.isSaving())
        return;
    m_wideName->setText(m_data.wideName.left(NombrePctoDlgData::MaxWideUnits));
    ComboItems::fillCodePages(m_codePage, m_data.codePage);
    m_hint->setPlainText(fw::Application::get().strings().text(HintTextId));
}

void NombrePctoDispensadorT38A::OnConvertir()
{
    if (const auto converted = NameConversion::convertWithCodePage(m_wideName->text(), m_data.codePage))
        m_name->setText(fw::Windows1252::decode(*converted));
}

void NombrePctoDispensadorT38A::OnSelchangeCodepage()
{
    const quint32 codePage = ComboItems::codePageOf(ComboItems::currentData(m_codePage));
    if (codePage != 0)
        m_data.codePage = codePage;
}
