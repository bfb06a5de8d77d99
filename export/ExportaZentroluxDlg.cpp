#include "export/ExportaZentroluxDlg.h"

#include "db/DBQueryModel.h"
#include "db/DBSQLListCtrl.h"
#include "fw/Application.h"
#include "fw/TextFormat.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {

constexpr int CodeColumnPercent = 30;
constexpr int DescriptionColumnPercent = 70;
constexpr int DescriptionColumn = 1;
// The dialog's size in dialog units: a quarter of the average character's width, an eighth of
// the line's height.
constexpr int WidthUnits = 244;
constexpr int HeightUnits = 245;

// A column caption: the language's, or the Spanish one when the language has none.
QString caption(int id)
{
    const QString text = fw::Application::get().strings().text(id);
    return text.trimmed().isEmpty() ? fw::StringTable().text(id) : text;
}

} // namespace

ExportaZentroluxDlg::ExportaZentroluxDlg(ExportaZentroluxDlgData& data, QWidget* parent)
    : fw::Dialog(TemplateId, parent)
    , m_data(data)
    , m_machines(addItem(MachineListId, new DBSQLListCtrl(this)))
    , m_products(addItem(ProductsOptionId, new QCheckBox(itemText(ProductsOptionId), this)))
    , m_union(addItem(UnionOptionId, new QCheckBox(itemText(UnionOptionId), this)))
{
    setWindowTitle(captionText());
    // Its layout file is SETUP1035.
    m_machines->SetDlgCtrlID(MachineListId);
    m_machines->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_machines->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_machines, 1);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(m_products);
    layout->addWidget(m_union);
    layout->addSpacing(fontMetrics().height() / 2);
    layout->addWidget(makeButtons());
    resize(fontMetrics().averageCharWidth() * WidthUnits / 4, fontMetrics().height() * HeightUnits / 8);
}

ExportaZentroluxDlg::~ExportaZentroluxDlg() = default;

QString ExportaZentroluxDlg::MachineQuery(int machineType, const QString& codeCaption, const QString& descriptionCaption)
{
    // The captions are bracketed: a translated one may hold blanks.
    return fw::TextFormat::format(
        QStringLiteral("SELECT MAQUINAS.CODIGO AS [%s],EMPLAZAMIENTOS.DESCRIPCION +IIF(ISNULL(LOCALIZACION),' ',' ('+"
                       "LOCALIZACION+')') AS [%s] FROM MAQUINAS,EMPLAZAMIENTOS WHERE MAQUINAS.TIPO=%d AND "
                       "EMPLAZAMIENTOS.CODIGO=MAQUINAS.EMPLAZAMIENTO ORDER BY MAQUINAS.CODIGO"),
        {QString(codeCaption).remove(QLatin1Char(']')), QString(descriptionCaption).remove(QLatin1Char(']')),
         machineType});
}

void ExportaZentroluxDlg::DoDataExchange(fw::DataExchange& dx)
{
    dx.check(m_products, m_data.ExportarProds);
    dx.check(m_union, m_data.ExportarUnion);
    if (!dx.isSaving()) {
        m_machines->SetQuery(MachineQuery(m_data.machineType, caption(CodeCaptionText), caption(DescriptionCaptionText)),
                             m_data.connection, true);
        m_machines->SetColumnWidthPercent(0, CodeColumnPercent);
        m_machines->SetColumnWidthPercent(1, DescriptionColumnPercent);
        m_machines->SetFilterColumn(DescriptionColumn);
        return;
    }
    // The row with the keyboard focus, not the selected ones.
    const QModelIndex focused = m_machines->currentIndex();
    if (focused.isValid())
        m_data.machineCode = m_machines->Model().index(focused.row(), 0).data().toString().toLong();
    m_data.saveOptions();
}
