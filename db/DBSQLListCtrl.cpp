#include "db/DBSQLListCtrl.h"

#include "db/DBConnection.h"
#include "db/GridCopyText.h"
#include "db/OrderByClause.h"
#include "fw/Application.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

// Menu 1166's one popup, its items by command; their texts are the string table's menu
// texts of these commands, so a language file can replace them.
constexpr int Menu1166[] = {
    DBSQLListCtrl::CopySelection,  DBSQLListCtrl::CopyAll,           DBSQLListCtrl::SaveCurrentSetup,
    DBSQLListCtrl::ResetToDefault, DBSQLListCtrl::ClearSortSequence, DBSQLListCtrl::FilterContaining,
};

// The wait cursor for the length of a fill.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

} // namespace

DBSQLListCtrl::DBSQLListCtrl(QWidget* parent)
    : QTableView(parent)
    , m_model(new DBQueryModel(this))
{
    m_widthPercents.fill(-1);
    m_appliedWidths.fill(-1);
    m_alignmentOverrides.fill(-1);
    m_model->SetFlagText(fw::Application::get().strings().text(FlagTextId));
    setModel(m_model);

    setSortingEnabled(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    verticalHeader()->hide();
    // List rows: one line of text each.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    QHeaderView* header = horizontalHeader();
    header->setSectionsMovable(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setMinimumSectionSize(0);
    header->setHighlightSections(false);
    connect(header, &QHeaderView::sectionClicked, this, &DBSQLListCtrl::OnColumnClick);
}

DBSQLListCtrl::~DBSQLListCtrl() = default;

void DBSQLListCtrl::SetQuery(const QString& sql, DBConnection* connection, bool redraw)
{
    m_givenQuery = sql;
    m_connection = connection;
    FillFromQuery(sql, redraw);
}

void DBSQLListCtrl::SetWholeNumberColumn(int column, bool on)
{
    if (column >= 0 && column < MaxColumns)
        m_wholeNumberColumns[size_t(column)] = on;
}

void DBSQLListCtrl::SetAlignmentOverride(int column, int format)
{
    if (column >= 0 && column < MaxColumns)
        m_alignmentOverrides[size_t(column)] = format;
}

int DBSQLListCtrl::GetAppliedWidth(int column) const
{
    return column >= 0 && column < MaxColumns ? m_appliedWidths[size_t(column)] : -1;
}

void DBSQLListCtrl::SetColumnWidthPercent(int column, int percent)
{
    if (column < 0 || column >= MaxColumns)
        return;
    m_widthPercents[size_t(column)] = percent;
    // Before the first show Qt has not laid the grid out: the show takes the percentages.
    if (ColumnsResizedByUser() || !m_shownOnce)
        return;
    const int width = (viewport()->width() - 1) * percent / 100;
    m_appliedWidths[size_t(column)] = width;
    horizontalHeader()->resizeSection(column, width);
}

bool DBSQLListCtrl::ColumnsResizedByUser()
{
    if (m_widthsKept)
        return true;
    for (int c = 0; c < m_columnCount; ++c) {
        const int applied = m_appliedWidths[size_t(c)];
        if (applied != -1 && horizontalHeader()->sectionSize(c) != applied) {
            m_widthsKept = true;
            return true;
        }
    }
    return false;
}

void DBSQLListCtrl::BuildOrderedSql(QString& sql)
{
    if (m_sort.IsEmpty())
        return;
    const OrderByClause::Rewrite rewrite = OrderByClause::BuildOrderedSql(sql, m_sort);
    sql = rewrite.sql;
    m_orderClause = rewrite.clause;
}

DBQueryModel::ReadOptions DBSQLListCtrl::ReadOptions() const
{
    DBQueryModel::ReadOptions options;
    options.columnCount = m_columnCount;
    options.wholeNumber = m_wholeNumberColumns;
    options.filterColumn = m_filterColumn;
    options.filterText = m_filterText;
    return options;
}

void DBSQLListCtrl::FillFromQuery(const QString& sql, bool redraw)
{
    const WaitCursor wait;
    setUpdatesEnabled(false);
    m_model->ClearRows();

    QString rewritten = sql;
    BuildOrderedSql(rewritten);
    m_currentQuery = rewritten;
    if (!m_connection) {
        EndFill(redraw);
        return;
    }
    const std::unique_ptr<DBRecordset> recordset = m_connection->CreateRecordset();
    // The database layer has reported why; the grid stays empty.
    if (!recordset->Open(rewritten, false)) {
        EndFill(redraw);
        return;
    }

    const int fields = std::min(recordset->GetFieldCount(), MaxColumns);
    if (m_columnCount == 0 || m_columnCount > fields)
        m_columnCount = fields;
    if (!m_columnsBuilt) {
        BuildColumns(*recordset);
        m_columnsBuilt = true;
        // A saved layout has filled the grid with its own sort sequence.
        if (LoadSetup())
            return;
    }

    m_model->SetRows(DBQueryModel::ReadRows(*recordset, *m_connection, ReadOptions()));
    SelectFirstRow();
    EndFill(redraw);
}

void DBSQLListCtrl::BuildColumns(DBRecordset& recordset)
{
    m_widthsKept = false;
    QList<DBQueryModel::Column> columns;
    for (int c = 0; c < m_columnCount; ++c) {
        QString header = recordset.GetFieldName(c);
        if (header.startsWith(QLatin1Char('_')))
            header.remove(0, 1);
        const int override = m_alignmentOverrides[size_t(c)];
        const int format = override != -1 ? override : DBQueryModel::FormatOfFieldType(recordset.GetFieldType(c));
        columns += DBQueryModel::Column{header, format};
    }
    m_model->SetColumns(columns);
    // A new set of columns: the displayed order starts over, as do the widths.
    QHeaderView* header = horizontalHeader();
    for (int c = 0; c < m_columnCount; ++c)
        header->moveSection(header->visualIndex(c), c);
    SetEqualWidths();
}

void DBSQLListCtrl::SetEqualWidths()
{
    const int usable = viewport()->width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    for (int c = 0; c < MaxColumns; ++c) {
        if (c >= m_columnCount) {
            m_appliedWidths[size_t(c)] = -1;
            continue;
        }
        const int width = std::max(0, usable / m_columnCount);
        m_appliedWidths[size_t(c)] = width;
        horizontalHeader()->resizeSection(c, width);
    }
}

void DBSQLListCtrl::ApplyWidthPercents()
{
    for (int c = 0; c < MaxColumns; ++c) {
        if (m_widthPercents[size_t(c)] != -1)
            SetColumnWidthPercent(c, m_widthPercents[size_t(c)]);
    }
}

void DBSQLListCtrl::SelectFirstRow()
{
    if (m_model->rowCount() == 0)
        return;
    selectionModel()->setCurrentIndex(m_model->index(0, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void DBSQLListCtrl::EndFill(bool redraw)
{
    if (!redraw)
        return;
    setUpdatesEnabled(true);
    viewport()->update();
}

void DBSQLListCtrl::showEvent(QShowEvent* event)
{
    QTableView::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    // Widths taken before Qt laid the grid out were of no real size.
    if (ColumnsResizedByUser())
        return;
    if (m_columnsBuilt)
        SetEqualWidths();
    ApplyWidthPercents();
}

void DBSQLListCtrl::OnColumnClick(int column)
{
    if (m_model->HasImages() && !m_model->RowImageMode() && !m_sortWithImages)
        return;
    m_sort.Push(column);
    m_widthsKept = true;
    FillFromQuery(m_currentQuery, true);
}

void DBSQLListCtrl::OnClearSortSequence()
{
    m_sort.Clear();
    // The current query keeps the last clause, so the rows keep their order.
    FillFromQuery(m_currentQuery, true);
}

void DBSQLListCtrl::OnFilterContaining()
{
    if (m_filterColumn == -1)
        return;
    SearchDlgData data;
    if (!m_prompt->Run(data))
        return;
    m_filterText = data.value.toUpper();
    FillFromQuery(m_givenQuery, true);
}

QString DBSQLListCtrl::SetupPath() const
{
    const QString folder = fw::Application::get().profile().GetString(QStringLiteral("Vistas"), QStringLiteral("Dir"));
    return GridLayoutFile::Path(folder, m_layoutName, m_controlId);
}

bool DBSQLListCtrl::LoadSetup()
{
    const QString path = SetupPath();
    if (path.isEmpty())
        return false;
    const std::optional<QByteArray> contents = GridLayoutFile::Load(path);
    if (!contents)
        return false;
    return ReadSetupFile(*contents);
}

bool DBSQLListCtrl::ReadSetupFile(const QByteArray& contents)
{
    const GridLayoutFile::Contents layout = GridLayoutFile::Read(contents, m_columnCount);
    for (int slot = 0; slot < SortSequence::Slots; ++slot) {
        if (layout.sort[size_t(slot)])
            m_sort.Set(slot, *layout.sort[size_t(slot)]);
    }

    QHeaderView* header = horizontalHeader();
    QList<std::pair<int, int>> moves; // (displayed position, column)
    for (const GridLayoutColumn& line : layout.columns) {
        for (int c = 0; c < m_columnCount; ++c) {
            if (m_model->Header(c) != line.header)
                continue;
            m_appliedWidths[size_t(c)] = line.width;
            header->resizeSection(c, line.width);
            moves += {line.order, c};
        }
    }
    // Leftmost first, so that each move keeps the places already set.
    std::stable_sort(moves.begin(), moves.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [position, column] : moves)
        header->moveSection(header->visualIndex(column), position);

    FillFromQuery(m_currentQuery, true);
    m_widthsKept = true;
    return true;
}

GridLayout DBSQLListCtrl::WriteSetupFile() const
{
    GridLayout layout;
    layout.query = m_currentQuery;
    layout.sort = m_sort;
    const QHeaderView* header = horizontalHeader();
    for (int c = 0; c < m_model->columnCount(); ++c)
        layout.columns += GridLayoutColumn{m_model->Header(c), header->sectionSize(c), header->visualIndex(c)};
    return layout;
}

void DBSQLListCtrl::OnSaveCurrentSetup()
{
    const QString path = SetupPath();
    // A layout that cannot be saved leaves the old file as it was; nothing is said.
    if (!path.isEmpty())
        GridLayoutFile::Save(path, WriteSetupFile());
}

void DBSQLListCtrl::OnResetToDefault()
{
    m_columnsBuilt = false;
    m_sort.Clear();
    m_filterText.clear();
    FillFromQuery(m_givenQuery, true);
    m_widthsKept = false;
    ApplyWidthPercents();
    const QString path = SetupPath();
    if (!path.isEmpty())
        QFile::remove(path);
}

QString DBSQLListCtrl::CopyText(bool focusedRowOnly) const
{
    QStringList headers;
    QList<int> widths;
    for (int c = 0; c < m_model->columnCount(); ++c) {
        headers += m_model->Header(c);
        widths += horizontalHeader()->sectionSize(c);
    }
    QList<QStringList> rows;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        if (focusedRowOnly && r != currentIndex().row())
            continue;
        QStringList cells;
        for (int c = 0; c < m_model->columnCount(); ++c)
            cells += m_model->Cell(r, c);
        rows += cells;
    }
    return GridCopyText::Build(headers, widths, rows);
}

void DBSQLListCtrl::OnCopySelection() { QGuiApplication::clipboard()->setText(CopyText(true)); }

void DBSQLListCtrl::OnCopyAll() { QGuiApplication::clipboard()->setText(CopyText(false)); }

void DBSQLListCtrl::OnCommand(int command)
{
    switch (command) {
    case CopySelection: OnCopySelection(); break;
    case CopyAll: OnCopyAll(); break;
    case SaveCurrentSetup: OnSaveCurrentSetup(); break;
    case ResetToDefault: OnResetToDefault(); break;
    case ClearSortSequence: OnClearSortSequence(); break;
    case FilterContaining: OnFilterContaining(); break;
    default: break;
    }
}

QString DBSQLListCtrl::MenuText(int command)
{
    if (std::find(std::begin(Menu1166), std::end(Menu1166), command) == std::end(Menu1166))
        return QString();
    return fw::Application::get().strings().text(fw::TextKey::menu(command));
}

QMenu* DBSQLListCtrl::CreateContextMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (const int command : Menu1166) {
        QAction* action = menu->addAction(MenuText(command));
        action->setData(command);
        connect(action, &QAction::triggered, this, [this, command] { OnCommand(command); });
    }
    return menu;
}

void DBSQLListCtrl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        OnRButtonDown(event);
    else
        QTableView::mousePressEvent(event);
}

void DBSQLListCtrl::OnRButtonDown(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    QMenu* menu = CreateContextMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->exec(viewport()->mapToGlobal(event->position().toPoint()));
}
