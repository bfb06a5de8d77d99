#include "db/SqliteColumn.h"

#include "db/DBRecordset.h"

#include <sqlite3.h>

#include <QHash>

namespace {

QString utf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

const QHash<QString, int>& declaredTypes()
{
    static const QHash<QString, int> types = {
        {QStringLiteral("BIT"), DBRecordset::Boolean},        {QStringLiteral("BOOL"), DBRecordset::Boolean},
        {QStringLiteral("BOOLEAN"), DBRecordset::Boolean},    {QStringLiteral("YESNO"), DBRecordset::Boolean},
        {QStringLiteral("LOGICAL"), DBRecordset::Boolean},    {QStringLiteral("SMALLINT"), DBRecordset::Integer16},
        {QStringLiteral("SHORT"), DBRecordset::Integer16},    {QStringLiteral("INTEGER2"), DBRecordset::Integer16},
        {QStringLiteral("INT2"), DBRecordset::Integer16},     {QStringLiteral("BYTE"), DBRecordset::Byte},
        {QStringLiteral("TINYINT"), DBRecordset::Byte},       {QStringLiteral("INTEGER1"), DBRecordset::Byte},
        {QStringLiteral("INTEGER"), DBRecordset::Long},       {QStringLiteral("INT"), DBRecordset::Long},
        {QStringLiteral("LONG"), DBRecordset::Long},          {QStringLiteral("INTEGER4"), DBRecordset::Long},
        {QStringLiteral("COUNTER"), DBRecordset::Long},       {QStringLiteral("AUTOINCREMENT"), DBRecordset::Long},
        {QStringLiteral("SINGLE"), DBRecordset::Single},      {QStringLiteral("REAL4"), DBRecordset::Single},
        {QStringLiteral("FLOAT4"), DBRecordset::Single},      {QStringLiteral("DOUBLE"), DBRecordset::Double},
        {QStringLiteral("FLOAT"), DBRecordset::Double},       {QStringLiteral("FLOAT8"), DBRecordset::Double},
        {QStringLiteral("REAL"), DBRecordset::Double},        {QStringLiteral("NUMBER"), DBRecordset::Double},
        {QStringLiteral("NUMERIC"), DBRecordset::Double},     {QStringLiteral("DECIMAL"), DBRecordset::Double},
        {QStringLiteral("TEXT"), DBRecordset::Text},          {QStringLiteral("MEMO"), DBRecordset::Text},
        {QStringLiteral("CHAR"), DBRecordset::Text},          {QStringLiteral("VARCHAR"), DBRecordset::Text},
        {QStringLiteral("STRING"), DBRecordset::Text},        {QStringLiteral("LONGTEXT"), DBRecordset::Text},
        {QStringLiteral("DATE"), DBRecordset::Date},          {QStringLiteral("DATETIME"), DBRecordset::Date},
        {QStringLiteral("TIME"), DBRecordset::Date},          {QStringLiteral("TIMESTAMP"), DBRecordset::Date},
        {QStringLiteral("CURRENCY"), DBRecordset::Currency},  {QStringLiteral("MONEY"), DBRecordset::Currency},
    };
    return types;
}

} // namespace

SqliteColumn SqliteColumn::FromDeclaredType(const QString& declaredType)
{
    SqliteColumn column;
    // "VARCHAR(50)" and "DOUBLE PRECISION" name their type by the first word.
    const QString type = declaredType.section(QLatin1Char('('), 0, 0).trimmed().toUpper();
    if (type.isEmpty())
        return column;
    const auto known = declaredTypes().constFind(type.section(QLatin1Char(' '), 0, 0));
    if (known != declaredTypes().constEnd()) {
        column.kind = Kind::Typed;
        column.fieldType = *known;
        return column;
    }
    // Other spellings by the engine's own affinity rules; binary and the rest are unsupported.
    column.kind = Kind::Typed;
    if (type.contains(QLatin1String("INT")))
        column.fieldType = DBRecordset::Long;
    else if (type.contains(QLatin1String("CHAR")) || type.contains(QLatin1String("CLOB")) || type.contains(QLatin1String("TEXT")))
        column.fieldType = DBRecordset::Text;
    else if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) || type.contains(QLatin1String("DOUB")))
        column.fieldType = DBRecordset::Double;
    else
        column.kind = Kind::Unsupported;
    return column;
}

SqliteColumn SqliteColumn::FromStatement(sqlite3_stmt* statement, int index)
{
    SqliteColumn column = FromDeclaredType(utf8(sqlite3_column_decltype(statement, index)));
    column.name = utf8(sqlite3_column_name(statement, index));
    if (utf8(sqlite3_column_database_name(statement, index)) == QLatin1String("main")) {
        column.originTable = utf8(sqlite3_column_table_name(statement, index));
        column.originColumn = utf8(sqlite3_column_origin_name(statement, index));
    }
    return column;
}
