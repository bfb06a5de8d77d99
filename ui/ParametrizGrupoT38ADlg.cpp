#include "ui/ParametrizGrupoT38ADlg.h"

#include "app/ProductNameEncoding.h"
#include "app/WideName.h"
#include "fw/Application.h"
#include "fw/Windows1252.h"
#include "ui/ComboItems.h"
#include "ui/DialogLayout.h"
#include "ui/NombrePctoDispensadorT38A.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int T52CTitle = 227;
constexpr int T53CTitle = 228;
constexpr int T38ATitle = 233;
constexpr int EditCaption = 218;
constexpr int FirstColumnTitle = 219; // "ID", "NOMBRE", "TEXTO"
constexpr std::array<int, 5> SixthRowLabelTexts = {223, 225, 224, 226, 230};
constexpr int NameIndexCount = 20;
constexpr int TextColumn = 2;

struct FamilyDefaults {
    std::array<int, 7> valves;   // B[0..6]
    std::array<int, 7> whippers; // C[0..6]
};
constexpr FamilyDefaults FiveDispensers{{6, 5, 1, 1, 2, 3, 4}, {0, 0, 1, 1, 2, 3, 4}};
constexpr FamilyDefaults T53C{{6, 5, 1, 1, 2, 3, 0}, {0, 0, 1, 1, 2, 3, 0}};
constexpr FamilyDefaults T38A{{2, 0, 1, 1, 2, 3, 0}, {0, 0, 1, 1, 2, 3, 0}};

bool hasFiveDispensers(int family) { return family == 1 || family == 5; }
bool isT53C(int family) { return family == 3 || family == 4; }

QString tableText(int id) { return fw::Application::get().strings().text(id); }

QLineEdit* cell(bool readOnly = false)
{
    auto* edit = new QLineEdit;
    edit->setAlignment(Qt::AlignRight);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
    if (readOnly) {
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
    }
    return edit;
}

} // namespace

bool ParametrizGrupoT38ADlg::ShowTextDialog(NombrePctoDlgData& record)
{
    NombrePctoDispensadorT38A dialog(record);
    return dialog.DoModal();
}

ParametrizGrupoT38ADlg::ParametrizGrupoT38ADlg(SetupT38A& setup, int family, QWidget* parent, TextDialog textDialog)
    : fw::Dialog(TemplateId, parent)
    , m_setup(setup)
    , m_family(family)
    , m_textDialog(std::move(textDialog))
    , m_groupName(addItem(GroupNameEdit, cell(true)))
    , m_groupMg(addItem(GroupMgEdit, cell(true)))
    , m_groupValve(addItem(GroupValveEdit, cell(true)))
    , m_hotWaterValve(addItem(HotWaterValveEdit, cell(true)))
    , m_names(addItem(NamesList, new QTreeWidget))
{
    for (int k = 0; k < MaxDispensers; ++k) {
        RowWidgets& row = m_dispensers[std::size_t(k)];
        row.product = addItem(ProductCombos[k], new QComboBox);
        row.product->setMinimumContentsLength(16);
        row.mg = addItem(MgEdits[k], cell());
        row.valve = addItem(ValveEdits[k], cell());
        row.whipper = addItem(WhipperEdits[k], cell());
        row.speed = addItem(SpeedEdits[k], cell());
    }
    // The row's name as the rows' names above it, the repeated column labels centred as the
    // column labels.
    m_sixthRowLabels[0] = addItem(SixthRowLabels[0], DialogLayout::labelEdit(Qt::AlignLeft | Qt::AlignVCenter));
    for (std::size_t i = 1; i < m_sixthRowLabels.size(); ++i)
        m_sixthRowLabels[i] = addItem(SixthRowLabels[i], DialogLayout::labelEdit(Qt::AlignCenter));
    m_groupName->setMinimumWidth(0);
    m_groupName->setMaximumWidth(QWIDGETSIZE_MAX);
    m_groupName->setAlignment(Qt::AlignLeft);
    buildLayout();
    // The rows of the set-up tables as they were before any editing.
    for (int r = 0; r < SetupT38A::SetupRowCount; ++r)
        m_rows[std::size_t(r)] = *m_setup.GetSetupRow(r);
}

void ParametrizGrupoT38ADlg::buildLayout()
{
    auto* table = new QWidget;
    auto* grid = new QGridLayout(table);
    grid->setContentsMargins(0, 0, 0, 0);
    for (int c = 0; c < int(ColumnLabels.size()); ++c) {
        const int id = ColumnLabels[std::size_t(c)];
        grid->addWidget(addItem(id, new QLabel(itemText(id))), 0, c + 2, Qt::AlignCenter);
    }
    grid->addWidget(new QLabel(itemText(GroupRowLabel)), 1, 0);
    grid->addWidget(m_groupName, 1, 1);
    grid->addWidget(m_groupMg, 1, 2, Qt::AlignCenter);
    grid->addWidget(m_groupValve, 1, 3, Qt::AlignCenter);
    for (int k = 0; k < MaxDispensers; ++k) {
        const RowWidgets& row = m_dispensers[std::size_t(k)];
        // The sixth row brings its own labels, above its cells.
        int line = k + 2;
        if (k == MaxDispensers - 1) {
            for (int c = 0; c < int(ColumnLabels.size()); ++c)
                grid->addWidget(m_sixthRowLabels[std::size_t(c + 1)], line, c + 2, Qt::AlignCenter);
            ++line;
            grid->addWidget(m_sixthRowLabels[0], line, 0, Qt::AlignLeft | Qt::AlignVCenter);
        } else {
            grid->addWidget(new QLabel(itemText(DispenserLabels[std::size_t(k)])), line, 0);
        }
        grid->addWidget(row.product, line, 1);
        grid->addWidget(row.mg, line, 2, Qt::AlignCenter);
        grid->addWidget(row.valve, line, 3, Qt::AlignCenter);
        grid->addWidget(row.whipper, line, 4, Qt::AlignCenter);
        grid->addWidget(row.speed, line, 5, Qt::AlignCenter);
    }
    auto* hotWater = new QHBoxLayout;
    hotWater->addStretch();
    hotWater->addWidget(new QLabel(itemText(HotWaterLabel)));
    hotWater->addWidget(m_hotWaterValve);
    grid->addLayout(hotWater, MaxRows + 2, 0, 1, 6);

    auto* names = new QGroupBox(itemText(NamesGroup));
    auto* namesLayout = new QVBoxLayout(names);
    m_names->setRootIsDecorated(false);
    m_names->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_names->setAllColumnsShowFocus(true);
    m_names->header()->setSectionsMovable(true);
    m_names->setHeaderLabels({tableText(FirstColumnTitle), tableText(FirstColumnTitle + 1), tableText(FirstColumnTitle + 2)});
    m_names->setMinimumHeight(m_names->fontMetrics().lineSpacing() * 10);
    namesLayout->addWidget(m_names);
    auto* edit = addItem(EditButton, new QPushButton(itemText(EditButton)));
    edit->setAutoDefault(false);
    namesLayout->addWidget(edit, 0, Qt::AlignRight);

    DialogLayout::stack(this, {table, names}, makeButtons());
    connect(edit, &QPushButton::clicked, this, &ParametrizGrupoT38ADlg::OnEditar);
    connect(m_names, &QTreeWidget::itemDoubleClicked, this, &ParametrizGrupoT38ADlg::OnDblclkNombres);
}

void ParametrizGrupoT38ADlg::AplicaValoresPorDefecto()
{
    m_rowCount = SetupT38A::GetRowCount(quint32(m_family));
    const FamilyDefaults& defaults = hasFiveDispensers(m_family) ? FiveDispensers : isT53C(m_family) ? T53C : T38A;
    for (std::size_t r = 0; r < defaults.valves.size(); ++r) {
        SetupT38A::SetupRow row = *m_setup.GetSetupRow(int(r));
        row.valveNumber = defaults.valves[r];
        row.whipperNumber = defaults.whippers[r];
        m_setup.SetSetupRow(int(r), row);
        m_rows[r].valveNumber = row.valveNumber;
        m_rows[r].whipperNumber = row.whipperNumber;
    }
}

void ParametrizGrupoT38ADlg::OnInitDialog()
{
    fw::Dialog::OnInitDialog();
    sizeNameColumns();
}

void ParametrizGrupoT38ADlg::DoDataExchange(fw::DataExchange& dx)
{
    AplicaValoresPorDefecto();
    exchangeCells(dx);
    if (dx.isSaving())
        validateCells(dx);
    const std::array<int, 5>& texts = SixthRowLabelTexts;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        QLineEdit* label = m_sixthRowLabels[i];
        label->setText(tableText(texts[i]));
        // As wide as its text, as a label is, so that the grid centres it on its column.
        label->setFixedWidth(label->fontMetrics().horizontalAdvance(label->text()) + 8);
    }
    PonTitulo();
    if (dx.isSaving()) {
        for (int k = 1; k < m_rowCount; ++k) {
            // A product the combo does not list stays until the user picks another.
            QComboBox* combo = m_dispensers[std::size_t(k - 1)].product;
            if (combo->currentIndex() >= 0)
                m_rows[std::size_t(k)].productIndex = ComboItems::currentData(combo);
        }
        return;
    }
    for (int k = 1; k < m_rowCount; ++k)
        fillProductCombo(m_dispensers[std::size_t(k - 1)].product, m_rows[std::size_t(k)].productIndex);
    fillNamesList();
}

// Read-only and hidden cells only show or keep their values: only editable ones are read back.
void ParametrizGrupoT38ADlg::exchangeCells(fw::DataExchange& dx)
{
    if (!dx.isSaving()) {
        m_groupName->setText(fw::Windows1252::decode(m_setup.GetGroupName2(0)));
        m_groupMg->setText(QString::number(m_rows[1].mgPerTurn));
        m_groupValve->setText(QString::number(m_rows[1].valveNumber));
    }
    for (int k = 1; k <= MaxDispensers; ++k) {
        RowWidgets& widgets = m_dispensers[std::size_t(k - 1)];
        SetupT38A::SetupRow& row = m_rows[std::size_t(k + 1)];
        dx.text(widgets.mg, row.mgPerTurn);
        dx.text(widgets.valve, row.valveNumber);
        dx.text(widgets.whipper, row.whipperNumber);
        dx.text(widgets.speed, row.whipSpeed);
    }
    if (!dx.isSaving())
        m_hotWaterValve->setText(QString::number(m_rows[0].valveNumber));
}

void ParametrizGrupoT38ADlg::validateCells(fw::DataExchange& dx)
{
    // The coffee group's row (1) is read-only or hidden. Milligrams beyond four packed-BCD
    // digits would reach the machine wrapped.
    for (int r = 2; r <= m_rowCount; ++r)
        dx.minMaxInt(m_dispensers[std::size_t(r - 2)].mg, m_rows[std::size_t(r)].mgPerTurn, 0, MaxMilligrams);
    for (int r = 2; r <= m_rowCount; ++r)
        dx.minMaxInt(m_dispensers[std::size_t(r - 2)].valve, m_rows[std::size_t(r)].valveNumber, 0, MaxValve);
    for (int r = 2; r <= m_rowCount; ++r)
        dx.minMaxInt(m_dispensers[std::size_t(r - 2)].whipper, m_rows[std::size_t(r)].whipperNumber, 0, MaxWhipper);
    for (int r = 2; r <= m_rowCount; ++r)
        dx.minMaxInt(m_dispensers[std::size_t(r - 2)].speed, m_rows[std::size_t(r)].whipSpeed, 0, MaxSpeed);
}

void ParametrizGrupoT38ADlg::Commit()
{
    for (int r = 0; r < SetupT38A::SetupRowCount; ++r)
        m_setup.SetSetupRow(r, m_rows[std::size_t(r)]);
}

void ParametrizGrupoT38ADlg::PonTitulo()
{
    const bool sixthRow = hasFiveDispensers(m_family);
    setWindowTitle(tableText(sixthRow ? T52CTitle : isT53C(m_family) ? T53CTitle : T38ATitle));
    const RowWidgets& last = m_dispensers.back();
    for (QWidget* widget : {static_cast<QWidget*>(last.product), static_cast<QWidget*>(last.mg),
                            static_cast<QWidget*>(last.valve), static_cast<QWidget*>(last.whipper),
                            static_cast<QWidget*>(last.speed)})
        widget->setVisible(sixthRow);
    for (QLineEdit* label : m_sixthRowLabels)
        label->setVisible(sixthRow);
}

void ParametrizGrupoT38ADlg::fillProductCombo(QComboBox* combo, int productIndex)
{
    combo->clear();
    for (int i = 0; i < SetupT38A::ProductNameCount; ++i) {
        const QByteArray name = m_setup.GetName2(i);
        if (name.isEmpty())
            break;
        combo->addItem(fw::Windows1252::decode(name), i);
    }
    combo->setCurrentIndex(ComboItems::findData(combo, productIndex));
}

void ParametrizGrupoT38ADlg::fillNamesList()
{
    m_names->clear();
    for (int i = 0; i < NameIndexCount; ++i) {
        const QByteArray name = m_setup.GetRowName(i);
        if (name.isEmpty())
            break;
        auto* item = new QTreeWidgetItem(m_names);
        item->setText(0, QString::number(i));
        item->setText(1, fw::Windows1252::decode(name));
        item->setText(TextColumn, fw::Windows1252::decode(m_setup.GetRowName2(i)));
    }
}

void ParametrizGrupoT38ADlg::sizeNameColumns()
{
    layout()->activate();
    const int client = m_names->width() - 2 * m_names->frameWidth() - style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int percents[] = {10, 45, 45};
    for (int c = 0; c < 3; ++c)
        m_names->setColumnWidth(c, client * percents[c] / 100);
}

void ParametrizGrupoT38ADlg::OnEditar()
{
    // Without a current item there is no name to edit.
    QTreeWidgetItem* item = m_names->currentItem();
    if (!item)
        return;
    NombrePctoDlgData text;
    text.caption = tableText(EditCaption);
    text.name = fw::Windows1252::encode(item->text(TextColumn));
    WideName wide;
    ConvertNameToWide(text.name, wide, GetNameCodePage());
    text.wideName = wide.toQString();
    if (!m_textDialog(text))
        return;
    item->setText(TextColumn, fw::Windows1252::decode(text.name));
    m_setup.SetRowName2(m_names->indexOfTopLevelItem(item), text.name);
    for (int k = 1; k < m_rowCount; ++k) {
        QComboBox* combo = m_dispensers[std::size_t(k - 1)].product;
        const int selected = combo->currentIndex() >= 0 ? ComboItems::currentData(combo) : m_rows[std::size_t(k)].productIndex;
        fillProductCombo(combo, selected);
    }
}
