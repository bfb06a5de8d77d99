#pragma once

#include "db/DBRecordset.h"
#include "db/FormatString.h"

#include <QAbstractTableModel>
#include <QIcon>
#include <QList>
#include <QStringList>

#include <array>

// The rows of a query grid, every cell as text, and what the grid shows of them: column
// headers and alignment, flagged rows in blue on white, a state image and a tooltip per row
// in row-image mode (both taken from the row's last column).
class DBQueryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int MaxColumns = 100;
    static constexpr int MaxRecords = 2000;
    static constexpr int TooltipCount = 16;
    // The highest state image index a row takes (index 0 is no image).
    static constexpr int MaxStateImage = 15;

    // Column formats, as the owner gives alignment overrides.
    enum Format { FormatLeft = 0, FormatRight = 1, FormatCenter = 2 };

    struct Column {
        QString header;
        int format = FormatLeft;
    };

    // What a fill reads of each record.
    struct ReadOptions {
        int columnCount = 0;
        std::array<bool, MaxColumns> wholeNumber{};
        int filterColumn = -1;
        QString filterText; // upper case; empty: every row
    };

    explicit DBQueryModel(QObject* parent = nullptr);

    // Rows from the recordset's current record on: at most MaxRecords records are read,
    // those the filter drops included.
    static QList<QStringList> ReadRows(DBRecordset& recordset, const FormatString& format, const ReadOptions& options);
    // "" for null; else the formatted value on one line; in a whole-number column the whole
    // number the text begins with.
    static QString CellText(const DBValue& value, const FormatString& format, bool wholeNumber);
    // The whole number a text begins with after blanks, 0 when none; outside 32 bits it
    // saturates.
    static int LeadingNumber(const QString& text);
    // Right for the numeric field types, left for the others.
    static int FormatOfFieldType(int fieldType);

    void SetColumns(const QList<Column>& columns);
    void SetRows(QList<QStringList> rows);
    void ClearRows() { SetRows({}); }

    QString Header(int column) const { return m_columns.value(column).header; }
    QString Cell(int row, int column) const { return m_rows.value(row).value(column); }
    int Format(int column) const { return m_columns.value(column).format; }

    void SetCustomDraw(bool on);
    void SetRowImageMode(bool on);
    bool RowImageMode() const { return m_rowImageMode; }
    void SetTooltipText(int index, const QString& text);
    // The text that flags a row besides "-1" (compared without regard to case).
    void SetFlagText(const QString& text) { m_flagText = text; }
    void SetImageList(const QList<QIcon>& images);
    bool HasImages() const { return !m_images.isEmpty(); }

    bool IsFlagged(int row) const;
    // Empty when the row has none (outside row-image mode, or an index outside the texts).
    QString RowTooltip(int row) const;
    // 0 (none) to MaxStateImage; only in row-image mode with an image list.
    int StateImage(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QString LastCell(int row) const;
    QVariant Alignment(int column) const;

    QList<Column> m_columns;
    QList<QStringList> m_rows;
    bool m_customDraw = false;
    bool m_rowImageMode = false;
    std::array<QString, TooltipCount> m_tooltips;
    QString m_flagText;
    QList<QIcon> m_images;
};
