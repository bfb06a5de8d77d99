#pragma once

#include "db/DBQueryModel.h"
#include "db/GridLayoutFile.h"
#include "db/SearchDlgPrompt.h"
#include "db/SortSequence.h"

#include <QTableView>

#include <array>

class DBConnection;
class QMenu;

// A grid showing the result of one SELECT: one column per field, one row per record (2000 at
// most), every cell as text. A header click sorts by that column (the query's ORDER BY is
// rewritten and the query run again); the context menu copies rows to the clipboard, saves
// or resets the column layout, clears the sort and filters the rows on one column.
//
// The owner gives the query with SetQuery and may set the modes (filter column, row-image
// mode, custom draw, whole-number columns, alignment overrides, tooltip texts, sort with
// images, layout name, image list) before the first fill. The connection is not owned and
// must outlive every fill.
class DBSQLListCtrl : public QTableView {
    Q_OBJECT
public:
    static constexpr int MaxColumns = DBQueryModel::MaxColumns;
    static constexpr int MenuId = 1166;
    static constexpr int FlagTextId = 1056;

    enum Command {
        CopySelection = 57634,
        CopyAll = 1151,
        SaveCurrentSetup = 1152,
        ResetToDefault = 1153,
        ClearSortSequence = 1154,
        FilterContaining = 1155,
    };

    explicit DBSQLListCtrl(QWidget* parent = nullptr);
    ~DBSQLListCtrl() override;

    // Qt has no control ids; the layout file is named after this one (0: none).
    void SetDlgCtrlID(int id) { m_controlId = id; }
    int GetDlgCtrlID() const { return m_controlId; }

    void SetQuery(const QString& sql, DBConnection* connection, bool redraw);
    // (viewport width - 1) * percent / 100, unless the widths are the user's or a layout's;
    // before the grid is first shown it is taken at that show.
    void SetColumnWidthPercent(int column, int percent);
    // Runs the query, its ORDER BY rewritten from the sort sequence, and fills the grid. A
    // query that does not open leaves it empty. With redraw false the grid stays unpainted.
    void FillFromQuery(const QString& sql, bool redraw);
    void BuildOrderedSql(QString& sql);
    bool ColumnsResizedByUser();

    void OnColumnClick(int column);
    void OnClearSortSequence();
    void OnFilterContaining();
    void OnCopySelection();
    void OnCopyAll();
    void OnSaveCurrentSetup();
    void OnResetToDefault();
    // Runs a command of the context menu.
    void OnCommand(int command);

    // Applies the layout file when there is one; true when it did (the grid is then filled).
    bool LoadSetup();
    bool ReadSetupFile(const QByteArray& contents);
    GridLayout WriteSetupFile() const;
    // Empty when the grid has no layout file.
    QString SetupPath() const;

    // Menu 1166: one action per command, each running it on this grid.
    QMenu* CreateContextMenu(QWidget* parent);
    static QString MenuText(int command);
    // What the copy commands put on the clipboard.
    QString CopyText(bool focusedRowOnly) const;

    // The owner's modes.
    void SetFilterColumn(int column) { m_filterColumn = column; }
    void SetRowImageMode(bool on) { m_model->SetRowImageMode(on); }
    void SetCustomDraw(bool on) { m_model->SetCustomDraw(on); }
    void SetWholeNumberColumn(int column, bool on);
    // Format 0 left, 1 right, 2 centre; -1 by the field type.
    void SetAlignmentOverride(int column, int format);
    void SetTooltipText(int index, const QString& text) { m_model->SetTooltipText(index, text); }
    void SetSortWithImages(bool on) { m_sortWithImages = on; }
    void SetLayoutName(const QString& name) { m_layoutName = name; }
    void SetImageList(const QList<QIcon>& images) { m_model->SetImageList(images); }
    // The value prompt of the filter command; null restores the program's own.
    void SetSearchPrompt(SearchPrompt* prompt) { m_prompt = prompt ? prompt : &m_ownPrompt; }

    DBQueryModel& Model() const { return *m_model; }
    const SortSequence& GetSortSequence() const { return m_sort; }
    const QString& GetGivenQuery() const { return m_givenQuery; }
    const QString& GetCurrentQuery() const { return m_currentQuery; }
    const QString& GetOrderClause() const { return m_orderClause; }
    const QString& GetFilterText() const { return m_filterText; }
    int GetColumnCount() const { return m_columnCount; }
    bool AreColumnsBuilt() const { return m_columnsBuilt; }
    int GetAppliedWidth(int column) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void OnRButtonDown(QMouseEvent* event);
    void BuildColumns(DBRecordset& recordset);
    void SetEqualWidths();
    void ApplyWidthPercents();
    void SelectFirstRow();
    void EndFill(bool redraw);
    DBQueryModel::ReadOptions ReadOptions() const;

    DBQueryModel* m_model;
    std::array<int, MaxColumns> m_widthPercents;
    std::array<int, MaxColumns> m_appliedWidths;
    std::array<int, MaxColumns> m_alignmentOverrides;
    std::array<bool, MaxColumns> m_wholeNumberColumns{};
    QString m_givenQuery;
    bool m_sortWithImages = false;
    QString m_layoutName;
    QString m_currentQuery;
    QString m_orderClause;
    SortSequence m_sort;
    bool m_columnsBuilt = false;
    bool m_widthsKept = false;
    DBConnection* m_connection = nullptr;
    int m_filterColumn = -1;
    QString m_filterText;
    int m_columnCount = 0;
    int m_controlId = 0;
    bool m_shownOnce = false;
    SearchDlgPrompt m_ownPrompt;
    SearchPrompt* m_prompt = &m_ownPrompt;
};
