#include "db/DBQueryModel.h"

#include <QColor>

#include <limits>

DBQueryModel::DBQueryModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

QList<QStringList> DBQueryModel::ReadRows(DBRecordset& recordset, const FormatString& format, const ReadOptions& options)
{
    QList<QStringList> rows;
    const int columns = qBound(0, options.columnCount, MaxColumns);
    for (int records = 0; records < MaxRecords && !recordset.IsEOF(); ++records, recordset.MoveNext()) {
        QStringList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row += CellText(recordset.GetFieldValue(c), format, options.wholeNumber[size_t(c)]);
        if (!options.filterText.isEmpty() &&
            !row.value(options.filterColumn).toUpper().contains(options.filterText))
            continue;
        rows += std::move(row);
    }
    return rows;
}

QString DBQueryModel::CellText(const DBValue& value, const FormatString& format, bool wholeNumber)
{
    if (value.IsNull())
        return QString();
    const QString text = format.FlattenLines(format.FormatValue(value));
    return wholeNumber ? QString::number(LeadingNumber(text)) : text;
}

int DBQueryModel::LeadingNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i).isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        negative = text.at(i++) == QLatin1Char('-');
    qint64 value = 0;
    constexpr qint64 Limit = qint64(std::numeric_limits<int>::max()) + 1;
    for (; i < text.size() && text.at(i) >= QLatin1Char('0') && text.at(i) <= QLatin1Char('9'); ++i)
        value = qMin(Limit, value * 10 + (text.at(i).unicode() - '0'));
    if (negative)
        return int(-value);
    return int(qMin(value, Limit - 1));
}

int DBQueryModel::FormatOfFieldType(int fieldType)
{
    switch (fieldType) {
    case DBRecordset::Integer16:
    case DBRecordset::Byte:
    case DBRecordset::Long:
    case DBRecordset::Single:
    case DBRecordset::Double: return FormatRight;
    default: return FormatLeft;
    }
}

void DBQueryModel::SetColumns(const QList<Column>& columns)
{
    beginResetModel();
    m_columns = columns.mid(0, MaxColumns);
    m_rows.clear();
    endResetModel();
}

void DBQueryModel::SetRows(QList<QStringList> rows)
{
    // Rows removed and inserted, not a reset: a reset would also reset the header's column
    // widths and displayed order, which belong to the columns.
    if (!m_rows.isEmpty()) {
        beginRemoveRows(QModelIndex(), 0, rowCount() - 1);
        m_rows.clear();
        endRemoveRows();
    }
    if (rows.isEmpty())
        return;
    beginInsertRows(QModelIndex(), 0, int(rows.size()) - 1);
    m_rows = std::move(rows);
    endInsertRows();
}

void DBQueryModel::SetCustomDraw(bool on)
{
    m_customDraw = on;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void DBQueryModel::SetRowImageMode(bool on)
{
    m_rowImageMode = on;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void DBQueryModel::SetTooltipText(int index, const QString& text)
{
    if (index >= 0 && index < TooltipCount)
        m_tooltips[size_t(index)] = text;
}

void DBQueryModel::SetImageList(const QList<QIcon>& images)
{
    m_images = images;
    if (!m_rows.isEmpty())
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

QString DBQueryModel::LastCell(int row) const { return Cell(row, columnCount() - 1); }

bool DBQueryModel::IsFlagged(int row) const
{
    if (!m_customDraw || m_columns.isEmpty())
        return false;
    const int flagColumn = columnCount() - (m_rowImageMode ? 2 : 1);
    if (flagColumn < 0)
        return false;
    const QString cell = Cell(row, flagColumn);
    return cell.compare(m_flagText, Qt::CaseInsensitive) == 0 || cell == QLatin1String("-1");
}

QString DBQueryModel::RowTooltip(int row) const
{
    if (!m_rowImageMode || m_columns.isEmpty())
        return QString();
    const int tip = LeadingNumber(LastCell(row));
    return tip >= 0 && tip < TooltipCount ? m_tooltips[size_t(tip)] : QString();
}

int DBQueryModel::StateImage(int row) const
{
    if (!m_rowImageMode || m_images.isEmpty() || m_columns.isEmpty())
        return 0;
    const qint64 image = qint64(LeadingNumber(LastCell(row))) + 1;
    return int(qBound<qint64>(0, image, qint64(MaxStateImage)));
}

int DBQueryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_rows.size()); }

int DBQueryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant DBQueryModel::Alignment(int column) const
{
    switch (Format(column)) {
    case FormatRight: return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    case FormatCenter: return QVariant::fromValue(Qt::AlignHCenter | Qt::AlignVCenter);
    default: return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

QVariant DBQueryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    switch (role) {
    case Qt::DisplayRole: return Cell(index.row(), index.column());
    case Qt::TextAlignmentRole: return Alignment(index.column());
    case Qt::ForegroundRole:
        return IsFlagged(index.row()) ? QVariant(QColor(0, 0, 255)) : QVariant();
    case Qt::BackgroundRole:
        return IsFlagged(index.row()) ? QVariant(QColor(255, 255, 255)) : QVariant();
    case Qt::DecorationRole: {
        const int image = index.column() == 0 ? StateImage(index.row()) : 0;
        return image > 0 && image <= m_images.size() ? QVariant(m_images[image - 1]) : QVariant();
    }
    case Qt::ToolTipRole: {
        const QString tip = index.column() == 0 ? RowTooltip(index.row()) : QString();
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default: return {};
    }
}

QVariant DBQueryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return Header(section);
    if (role == Qt::TextAlignmentRole)
        return Alignment(section);
    return {};
}
