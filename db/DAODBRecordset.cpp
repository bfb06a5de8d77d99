#include "db/DAODBRecordset.h"

#include "db/DAODBConnection.h"
#include "db/DBTimer.h"
#include "db/JetSql.h"
#include "db/SqliteStatement.h"
#include "fw/MessageBoxes.h"
#include "fw/TextFormat.h"

#include <sqlite3.h>

#include <algorithm>

namespace {

QString quoted(const QString& name)
{
    QString out = name;
    out.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

} // namespace

DAODBRecordset::DAODBRecordset(DAODBConnection& connection)
    : DBRecordset(connection)
    , m_connection(connection)
{
    m_connection.AddRecordset(this);
}

DAODBRecordset::~DAODBRecordset()
{
    Close();
    if (m_attached)
        m_connection.RemoveRecordset(this);
}

bool DAODBRecordset::Open(const QString& sql, bool snapshot) { return Load(sql, snapshot, false); }

bool DAODBRecordset::OpenFirstRow(const QString& sql) { return Load(sql, true, true); }

bool DAODBRecordset::Load(const QString& sql, bool snapshot, bool firstRowOnly)
{
    Close();
    m_sql = sql;
    m_snapshot = snapshot;
    m_firstRowOnly = firstRowOnly;
    const qint64 start = StartTimer();
    if (!m_connection.Handle()) {
        ReportStatement(DAODBConnection::NotOpenText());
        return false;
    }
    if (m_connection.Refused(sql))
        return false;
    // A dynaset reads each row's rowid with it when its statement allows one, so that Update
    // writes the row that was read and no other row that holds the same values.
    SqliteStatement statement;
    QString error;
    const QString withRowid = snapshot ? QString() : JetSql::WithRowidColumn(sql);
    const bool hasRowid = !withRowid.isEmpty() && statement.Prepare(m_connection.Handle(), withRowid, &error)
        && statement.IsQuery();
    if (!hasRowid && !statement.Prepare(m_connection.Handle(), sql, &error)) {
        m_connection.StatementFailed();
        ReportStatement(error);
        return false;
    }
    if (!statement.IsQuery()) {
        // Checked before the first step, so an action statement never runs here.
        ReportStatement(QStringLiteral("No se puede abrir una consulta de acción."));
        return false;
    }
    // The rowid is the last column.
    const int columnCount = statement.ColumnCount() - (hasRowid ? 1 : 0);
    std::vector<SqliteColumn> columns;
    for (int i = 0; i < columnCount; ++i)
        columns.push_back(SqliteColumn::FromStatement(statement.Handle(), i));
    std::vector<std::vector<SqliteCell>> rows;
    std::vector<qint64> rowids;
    for (;;) {
        const int rc = statement.Step(&error);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_ROW) {
            m_connection.StatementFailed();
            ReportStatement(error);
            return false;
        }
        std::vector<SqliteCell> row;
        row.reserve(columns.size());
        for (int i = 0; i < columnCount; ++i)
            row.push_back(SqliteCell::FromColumn(statement.Handle(), i));
        rows.push_back(std::move(row));
        if (hasRowid)
            rowids.push_back(sqlite3_column_int64(statement.Handle(), columnCount));
        if (firstRowOnly)
            break;
    }
    TypeExpressionColumns(columns, rows);
    // A dynaset whose every column is a column of the table whose rowids it read, one row for
    // one row of that table, can be written back.
    QString table;
    if (hasRowid) {
        table = SqliteColumn::FromStatement(statement.Handle(), columnCount).originTable;
        for (const SqliteColumn& column : columns) {
            if (column.originTable != table || column.originColumn.isEmpty())
                table.clear();
        }
        std::vector<qint64> sorted = rowids;
        std::sort(sorted.begin(), sorted.end());
        if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
            table.clear();
    }
    m_columns = std::move(columns);
    m_rows = std::move(rows);
    m_rowids = std::move(rowids);
    m_updateTable = snapshot ? QString() : table;
    m_current = 0;
    m_position = 0;
    SetOpen(true);
    if (m_connection.StatementTiming())
        m_connection.WriteSqlLog(fw::TextFormat::format(QStringLiteral("OpenRec: %s; EOF:%s\nTiempo: %.3f ms"),
                                                        {sql, IsEOF() ? "TRUE" : "FALSE", double(GetElapsedMs(start))}));
    return true;
}

void DAODBRecordset::TypeExpressionColumns(std::vector<SqliteColumn>& columns,
                                           const std::vector<std::vector<SqliteCell>>& rows)
{
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (columns[i].kind != SqliteColumn::Kind::Untyped)
            continue;
        // Dates are stored as text, so a MAX of a date column gives text in the stored form.
        bool anyValue = false;
        bool allDates = true;
        for (const std::vector<SqliteCell>& row : rows) {
            anyValue = anyValue || !row[i].IsNull();
            allDates = allDates && (row[i].IsNull() || row[i].IsStoredDate());
        }
        if (anyValue && allDates) {
            const SqliteColumn date = SqliteColumn::FromDeclaredType(QStringLiteral("DATETIME"));
            columns[i].kind = date.kind;
            columns[i].fieldType = date.fieldType;
            continue;
        }
        // Any other expression column takes the type of its first value.
        if (rows.empty() || rows.front()[i].IsNull())
            continue;
        const SqliteColumn storage = rows.front()[i].StorageColumn();
        columns[i].kind = storage.kind;
        columns[i].fieldType = storage.fieldType;
    }
}

void DAODBRecordset::Close()
{
    SetOpen(false);
    m_columns.clear();
    m_rows.clear();
    m_rowids.clear();
    m_updateTable.clear();
    m_current = 0;
    m_editing = false;
    m_edits.clear();
}

void DAODBRecordset::Requery()
{
    if (!IsOpen()) {
        ReportStatement(NoCurrentRecordText());
        return;
    }
    Load(m_sql, m_snapshot, m_firstRowOnly);
}

bool DAODBRecordset::HasCurrentRow() const { return IsOpen() && m_current >= 0 && m_current < int(m_rows.size()); }

bool DAODBRecordset::IsEOF() { return !IsOpen() || m_current >= int(m_rows.size()); }

bool DAODBRecordset::IsBOF() { return !IsOpen() || m_rows.empty() || m_current < 0; }

void DAODBRecordset::MoveNext()
{
    if (IsEOF()) {
        ReportStatement(NoCurrentRecordText());
        return;
    }
    ++m_current;
    ++m_position;
    m_editing = false;
}

void DAODBRecordset::MovePrev()
{
    if (IsBOF()) {
        ReportStatement(NoCurrentRecordText());
        return;
    }
    m_current = qMin(m_current, int(m_rows.size())) - 1;
    --m_position;
    m_editing = false;
}

void DAODBRecordset::MoveFirst()
{
    if (!IsOpen() || m_rows.empty()) {
        ReportStatement(NoCurrentRecordText());
        return;
    }
    m_current = 0;
    m_position = 0;
    m_editing = false;
}

void DAODBRecordset::MoveLast()
{
    if (!IsOpen() || m_rows.empty()) {
        ReportStatement(NoCurrentRecordText());
        return;
    }
    m_current = int(m_rows.size()) - 1;
    m_position = GetRecordCount();
    m_editing = false;
}

int DAODBRecordset::GetRecordCount() { return IsOpen() ? int(m_rows.size()) : 0; }

float DAODBRecordset::GetPercentPosition()
{
    const int count = GetRecordCount();
    return count == 0 ? 0.0f : float(double(m_position) * 100.0 / double(count));
}

int DAODBRecordset::GetFieldCount() { return IsOpen() ? int(m_columns.size()) : 0; }

int DAODBRecordset::GetFieldType(int index)
{
    if (index < 0 || index >= GetFieldCount()) {
        ReportStatement(ItemNotFoundText());
        return Text;
    }
    const SqliteColumn& column = m_columns[std::size_t(index)];
    if (column.kind == SqliteColumn::Kind::Unsupported) {
        fw::MessageBoxes::box(DataTypeNotAllowedText());
        return Text;
    }
    return column.kind == SqliteColumn::Kind::Typed ? column.fieldType : int(Text);
}

QString DAODBRecordset::GetFieldName(int index)
{
    if (index < 0 || index >= GetFieldCount()) {
        ReportStatement(ItemNotFoundText());
        return QString();
    }
    return m_columns[std::size_t(index)].name;
}

std::optional<int> DAODBRecordset::ColumnIndex(const QString& name) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    return std::nullopt;
}

std::optional<DBValue> DAODBRecordset::CurrentValue(int index, QString* error) const
{
    if (!HasCurrentRow()) {
        *error = NoCurrentRecordText();
        return std::nullopt;
    }
    if (index < 0 || index >= int(m_columns.size())) {
        *error = ItemNotFoundText();
        return std::nullopt;
    }
    return m_rows[std::size_t(m_current)][std::size_t(index)].ToValue(m_columns[std::size_t(index)]);
}

void DAODBRecordset::ReportNamed(const QString& name, const QString& description)
{
    m_connection.WriteSqlLog(fw::TextFormat::format(QStringLiteral("Excepcion al obtener campo %s: %s"), {name, description}));
    m_connection.ReportError(description, name);
}

void DAODBRecordset::ReportIndexed(int index, const QString& description)
{
    m_connection.WriteSqlLog(fw::TextFormat::format(QStringLiteral("Excepcion al obtener campo num %d: %s"), {index, description}));
    m_connection.ReportError(description, QString());
}

void DAODBRecordset::ReportStatement(const QString& description) { m_connection.ReportStatementError(description, m_sql); }

void DAODBRecordset::ReportEdit(const QString& description) { m_connection.ReportError(description, QString()); }

DBValue DAODBRecordset::GetFieldValue(int index)
{
    QString error;
    const std::optional<DBValue> value = CurrentValue(index, &error);
    if (!value) {
        ReportIndexed(index, error);
        return DBValue::FromInt32(0);
    }
    return *value;
}

QString DAODBRecordset::GetFieldText(int index)
{
    QString error;
    const std::optional<DBValue> value = CurrentValue(index, &error);
    if (!value) {
        ReportIndexed(index, error);
        return QString();
    }
    return m_connection.FormatValue(*value);
}

QString DAODBRecordset::GetFieldText(const QString& name)
{
    return TypedValue<QString>(name, QString(), QString(),
                               [this](const DBValue& value, QString*) { return std::optional(m_connection.FormatValue(value)); });
}

template <class T, class Convert>
T DAODBRecordset::TypedValue(const QString& name, T nullValue, T failureValue, Convert convert)
{
    const std::optional<int> index = ColumnIndex(name);
    QString error = ItemNotFoundText();
    const std::optional<DBValue> value = index ? CurrentValue(*index, &error) : std::nullopt;
    if (!value) {
        ReportNamed(name, error);
        return failureValue;
    }
    if (value->IsNull())
        return nullValue;
    const std::optional<T> converted = convert(*value, &error);
    if (!converted) {
        ReportNamed(name, error);
        return failureValue;
    }
    return *converted;
}

qint32 DAODBRecordset::GetFieldLong(const QString& name)
{
    return TypedValue<qint32>(name, -1, -1, [](const DBValue& value, QString* error) { return value.ToLong(error); });
}

float DAODBRecordset::GetFieldFloat(const QString& name)
{
    return TypedValue<float>(name, 0.0f, -1.0f, [](const DBValue& value, QString* error) { return value.ToFloat(error); });
}

double DAODBRecordset::GetFieldDouble(const QString& name)
{
    return TypedValue<double>(name, 0.0, -1.0, [](const DBValue& value, QString* error) { return value.ToDouble(error); });
}

bool DAODBRecordset::GetFieldBool(const QString& name)
{
    return TypedValue<bool>(name, false, false, [](const DBValue& value, QString* error) { return value.ToBool(error); });
}

OleDateTime DAODBRecordset::GetFieldDate(const QString& name)
{
    return TypedValue<OleDateTime>(name, OleDateTime::Null(),
                                   OleDateTime::FromDateTime(m_connection.Clock().CurrentDateTime()),
                                   [](const DBValue& value, QString*) { return std::optional(value.ToDate()); });
}

QString DAODBRecordset::GetFieldString(const QString& name)
{
    return TypedValue<QString>(name, QString(), QString(),
                               [this](const DBValue& value, QString*) { return std::optional(m_connection.ValueText(value)); });
}

void DAODBRecordset::Edit()
{
    if (!HasCurrentRow()) {
        ReportStatement(NoCurrentRecordText());
        return;
    }
    if (m_updateTable.isEmpty()) {
        ReportStatement(NotUpdatableText());
        return;
    }
    m_editing = true;
    m_edits.assign(m_columns.size(), std::nullopt);
}

void DAODBRecordset::SetFieldString(int index, const QString& text)
{
    if (!m_editing) {
        ReportEdit(NotEditingText());
        return;
    }
    if (index < 0 || index >= int(m_columns.size())) {
        ReportEdit(ItemNotFoundText());
        return;
    }
    m_edits[std::size_t(index)] = text;
}

void DAODBRecordset::SetFieldString(const QString& name, const QString& text)
{
    const std::optional<int> index = ColumnIndex(name);
    if (!index) {
        ReportEdit(ItemNotFoundText());
        return;
    }
    SetFieldString(*index, text);
}

void DAODBRecordset::Update()
{
    if (!m_editing) {
        ReportEdit(NotEditingText());
        return;
    }
    if (m_connection.Refused(m_sql))
        return;
    QString error;
    if (!WriteCurrentRow(&error)) {
        m_connection.StatementFailed();
        ReportStatement(error);
        return;
    }
    m_editing = false;
}

bool DAODBRecordset::WriteCurrentRow(QString* error)
{
    sqlite3* db = m_connection.Handle();
    if (!db || !HasCurrentRow()) {
        *error = db ? NoCurrentRecordText() : DAODBConnection::NotOpenText();
        return false;
    }
    std::vector<SqliteCell>& row = m_rows[std::size_t(m_current)];
    const qint64 rowid = m_rowids[std::size_t(m_current)];
    const QString table = quoted(m_updateTable);
    // Every edit is converted to its column's type before anything is written.
    std::vector<SqliteCell> values;
    QStringList assignments;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (!m_edits[i])
            continue;
        std::optional<SqliteCell> value = EditValue(*m_edits[i], m_columns[i], error);
        if (!value)
            return false;
        values.push_back(std::move(*value));
        assignments.append(quoted(m_columns[i].originColumn) + QStringLiteral("=?"));
    }
    QStringList match;
    QStringList columns;
    for (const SqliteColumn& column : m_columns) {
        match.append(quoted(column.originColumn) + QStringLiteral(" IS ? COLLATE BINARY"));
        columns.append(quoted(column.originColumn));
    }

    // The row read is still there and still holds the values it was read with.
    SqliteStatement find;
    if (!find.Prepare(db, QStringLiteral("SELECT rowid FROM %1 WHERE rowid=? AND %2").arg(table, match.join(QStringLiteral(" AND "))), error))
        return false;
    sqlite3_bind_int64(find.Handle(), 1, rowid);
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i].Bind(find.Handle(), int(i) + 2);
    const int found = find.Step(error);
    if (found == SQLITE_DONE)
        *error = RecordDeletedText();
    if (found != SQLITE_ROW)
        return false;

    if (!assignments.isEmpty()) {
        SqliteStatement update;
        if (!update.Prepare(db, QStringLiteral("UPDATE %1 SET %2 WHERE rowid=?").arg(table, assignments.join(QLatin1Char(','))), error))
            return false;
        int parameter = 1;
        for (const SqliteCell& value : values)
            value.Bind(update.Handle(), parameter++);
        sqlite3_bind_int64(update.Handle(), parameter, rowid);
        if (update.Step(error) != SQLITE_DONE)
            return false;
    }

    // The recordset shows the row as the engine stored it.
    SqliteStatement reread;
    if (!reread.Prepare(db, QStringLiteral("SELECT %1 FROM %2 WHERE rowid=?").arg(columns.join(QLatin1Char(',')), table), error))
        return false;
    sqlite3_bind_int64(reread.Handle(), 1, rowid);
    if (reread.Step(error) != SQLITE_ROW)
        return false;
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = SqliteCell::FromColumn(reread.Handle(), int(i));
    return true;
}

std::optional<SqliteCell> DAODBRecordset::EditValue(const QString& text, const SqliteColumn& column, QString* error)
{
    const bool number = column.kind == SqliteColumn::Kind::Typed && column.fieldType != Text
        && column.fieldType != Date;
    QString edit = text;
    // A number typed with the user's decimal separator.
    if (number)
        m_connection.ReplaceDecimalSeparator(edit);
    return SqliteCell::FromEdit(edit, column, error);
}
