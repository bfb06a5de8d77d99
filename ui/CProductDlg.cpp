#include "ui/CProductDlg.h"

#include "db/LeeDbNombresProductos.h"
#include "fw/Application.h"
#include "fw/Windows1252.h"
#include "ui/ComboItems.h"
#include "ui/DialogLayout.h"
#include "ui/NameConversion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

namespace {

constexpr int HintTextId = 217;

QString tableText(int id) { return fw::Application::get().strings().text(id); }

} // namespace

CProductDlg::NameSource CProductDlg::DatabaseNames()
{
    auto reader = std::make_shared<LeeDbNombresProductos>();
    return [reader](QByteArray& name, int& id) { return reader->LeeSiguienteNombreProducto(name, id); };
}

CProductDlg::CProductDlg(ProductDlgData& record, QWidget* parent, NameSource names)
    : fw::Dialog(TemplateId, parent)
    , m_record(record)
    , m_data(record)
    , m_names(std::move(names))
    , m_name(addItem(NameCombo, new QComboBox))
    , m_wideName(addItem(WideNameEdit, new QLineEdit))
    , m_codePageLabel(addItem(CodePageLabel, DialogLayout::labelEdit(Qt::AlignLeft | Qt::AlignVCenter)))
    , m_codePage(addItem(CodePageList, new QComboBox))
    , m_hint(addItem(HintText, new QPlainTextEdit))
    , m_sugar(addItem(SugarCheck, new QCheckBox(itemText(SugarCheck))))
    , m_stirrer(addItem(StirrerCheck, new QCheckBox(itemText(StirrerCheck))))
    , m_cup(addItem(CupCheck, new QCheckBox(itemText(CupCheck))))
{
    setWindowTitle(captionText());
    // Typed names stay as typed: no completion, no new list items.
    m_name->setEditable(true);
    m_name->setCompleter(nullptr);
    m_name->setInsertPolicy(QComboBox::NoInsert);
    m_name->setMaxVisibleItems(20);
    m_name->setMinimumContentsLength(30);
    m_codePageLabel->setFixedWidth(m_codePageLabel->fontMetrics().horizontalAdvance(itemText(CodePageLabel) + QLatin1Char(' ')) + 8);
    m_hint->setReadOnly(true);
    m_hint->setFocusPolicy(Qt::NoFocus);
    m_hint->setFixedHeight(m_hint->fontMetrics().lineSpacing() * 3 + 10);
    m_hint->setMinimumWidth(m_hint->fontMetrics().horizontalAdvance(tableText(HintTextId)) / 2 + 40);
    auto* convert = addItem(ConvertButton, new QPushButton(itemText(ConvertButton)));
    convert->setAutoDefault(false);

    auto* description = new QGroupBox(itemText(DescriptionGroup));
    auto* descriptionLayout = new QVBoxLayout(description);
    descriptionLayout->addWidget(m_name);
    descriptionLayout->addWidget(m_wideName);
    auto* codePageRow = new QHBoxLayout;
    codePageRow->addWidget(convert);
    codePageRow->addStretch();
    codePageRow->addWidget(m_codePageLabel);
    codePageRow->addWidget(m_codePage);
    descriptionLayout->addLayout(codePageRow);
    descriptionLayout->addWidget(m_hint);

    auto* flags = new QWidget;
    auto* flagRow = new QHBoxLayout(flags);
    flagRow->setContentsMargins(0, 0, 0, 0);
    flagRow->addWidget(m_sugar);
    flagRow->addWidget(m_stirrer);
    flagRow->addWidget(m_cup);
    flagRow->addStretch();

    DialogLayout::stack(this, {description, flags}, makeButtons());
    setTabOrder(m_wideName, convert);
    setTabOrder(convert, m_sugar);
    connect(convert, &QPushButton::clicked, this, &CProductDlg::OnConvertir);
    connect(m_codePage, &QComboBox::activated, this, &CProductDlg::OnSelchangeCodepage);
}

void CProductDlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    m_wideName->setFont(QFont(QStringLiteral("Arial"), 16));
    if (!m_data.t38aFlag) {
        // A classic machine's product has no code page of its own.
        m_codePage->setEnabled(false);
        m_codePage->hide();
        m_codePageLabel->hide();
        m_hint->hide();
    }
}

void CProductDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.comboText(m_name, m_data.name);
    dx.check(m_sugar, m_data.sugarFlag);
    dx.check(m_cup, m_data.cupFlag);
    dx.check(m_stirrer, m_data.stirrerFlag);
    if (dx.isSaving()) {
        m_data.nameIndex = savedNameIndex();
        m_data.wideName = WideName::fromQString(m_wideName->text());
        return;
    }
    fillNames();
    m_wideName->setText(m_data.wideName.toQString());
    ComboItems::fillCodePages(m_codePage, m_data.codePage);
    m_codePageLabel->setText(itemText(CodePageLabel));
    m_hint->setPlainText(tableText(HintTextId));
}

void CProductDlg::fillNames()
{
    m_name->clear();
    QByteArray name;
    int id = 0;
    while (m_names(name, id))
        ComboItems::addSorted(m_name, fw::Windows1252::decode(name), id);
    // The record's name stands in the edit field even when the list does not hold it.
    m_name->setCurrentIndex(-1);
    m_name->setEditText(fw::Windows1252::decode(m_data.name));
}

// A picked item, else the item the name equals exactly; a name no item matches keeps its
// index only while unchanged: a changed name must not take the old index's name on reload.
int CProductDlg::savedNameIndex() const
{
    const int current = m_name->currentIndex();
    if (current >= 0 && m_name->itemText(current) == m_name->currentText())
        return m_name->itemData(current).toInt();
    const int exact = m_name->findText(m_name->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (exact >= 0)
        return m_name->itemData(exact).toInt();
    return m_data.name == m_record.name ? m_record.nameIndex : 0;
}

void CProductDlg::OnConvertir()
{
    const auto converted = m_data.t38aFlag ? NameConversion::convertWithCodePage(m_wideName->text(), m_data.codePage)
                                           : NameConversion::convertWithTable(m_wideName->text());
    if (converted)
        m_name->setEditText(fw::Windows1252::decode(*converted));
}

void CProductDlg::OnSelchangeCodepage()
{
    const quint32 codePage = ComboItems::codePageOf(ComboItems::currentData(m_codePage));
    if (codePage != 0)
        m_data.codePage = codePage;
}
