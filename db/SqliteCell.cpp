#include "db/SqliteCell.h"

#include "db/DBRecordset.h"

#include <sqlite3.h>

#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace {

template <class T>
bool fits(qint64 value)
{
    return value >= qint64(std::numeric_limits<T>::min()) && value <= qint64(std::numeric_limits<T>::max());
}

} // namespace

SqliteCell SqliteCell::FromColumn(sqlite3_stmt* statement, int index)
{
    SqliteCell cell;
    switch (sqlite3_column_type(statement, index)) {
    case SQLITE_INTEGER: cell.m_value = qint64(sqlite3_column_int64(statement, index)); break;
    case SQLITE_FLOAT: cell.m_value = sqlite3_column_double(statement, index); break;
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
        cell.m_value = Text{QByteArray(text, sqlite3_column_bytes(statement, index))};
        break;
    }
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, index));
        cell.m_value = Blob{QByteArray(bytes, sqlite3_column_bytes(statement, index))};
        break;
    }
    default: break;
    }
    return cell;
}

std::optional<SqliteCell> SqliteCell::FromEdit(const QString& text, const SqliteColumn& column, QString* error)
{
    SqliteCell cell;
    if (column.kind != SqliteColumn::Kind::Typed || column.fieldType == DBRecordset::Text) {
        cell.m_value = Text{text.toUtf8()};
        return cell;
    }
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return cell; // null
    bool isNumber = false;
    const double number = trimmed.toDouble(&isNumber);
    auto integer = [&](qint64 low, qint64 high) -> std::optional<SqliteCell> {
        // Whole numbers round half to even, as Jet's conversion does.
        const double rounded = std::nearbyint(number);
        if (!(rounded >= double(low) && rounded <= double(high))) {
            *error = DBValue::OverflowText();
            return std::nullopt;
        }
        cell.m_value = qint64(rounded);
        return cell;
    };
    switch (column.fieldType) {
    case DBRecordset::Boolean: {
        static const QStringList trueTexts = {QStringLiteral("SI"), QStringLiteral("TRUE"), QStringLiteral("VERDADERO")};
        static const QStringList falseTexts = {QStringLiteral("NO"), QStringLiteral("FALSE"), QStringLiteral("FALSO")};
        if (trueTexts.contains(trimmed, Qt::CaseInsensitive) || falseTexts.contains(trimmed, Qt::CaseInsensitive)) {
            cell.m_value = qint64(trueTexts.contains(trimmed, Qt::CaseInsensitive) ? 1 : 0);
            return cell;
        }
        if (isNumber && std::isfinite(number)) {
            cell.m_value = qint64(number != 0.0 ? 1 : 0);
            return cell;
        }
        break;
    }
    case DBRecordset::Date: {
        const OleDateTime date = OleDateTime::FromText(trimmed);
        if (const std::optional<QDateTime> value = date.ToDateTime()) {
            cell.m_value = Text{value->toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toUtf8()};
            return cell;
        }
        break;
    }
    default:
        if (!isNumber || !std::isfinite(number))
            break;
        switch (column.fieldType) {
        case DBRecordset::Integer16: return integer(std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max());
        case DBRecordset::Byte: return integer(0, std::numeric_limits<quint8>::max());
        case DBRecordset::Long: return integer(std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max());
        case DBRecordset::Single:
            if (std::fabs(number) > double(std::numeric_limits<float>::max())) {
                *error = DBValue::OverflowText();
                return std::nullopt;
            }
            cell.m_value = double(float(number));
            return cell;
        case DBRecordset::Currency:
            cell.m_value = std::round(number * 10000.0) / 10000.0;
            return cell;
        default:
            cell.m_value = number;
            return cell;
        }
    }
    *error = DBValue::TypeMismatchText();
    return std::nullopt;
}

int SqliteCell::Bind(sqlite3_stmt* statement, int parameter) const
{
    if (const auto* i = std::get_if<qint64>(&m_value))
        return sqlite3_bind_int64(statement, parameter, *i);
    if (const auto* d = std::get_if<double>(&m_value))
        return sqlite3_bind_double(statement, parameter, *d);
    if (const auto* t = std::get_if<Text>(&m_value))
        return sqlite3_bind_text(statement, parameter, t->utf8.constData(), int(t->utf8.size()), SQLITE_TRANSIENT);
    if (const auto* b = std::get_if<Blob>(&m_value))
        return sqlite3_bind_blob(statement, parameter, b->bytes.constData(), int(b->bytes.size()), SQLITE_TRANSIENT);
    return sqlite3_bind_null(statement, parameter);
}

DBValue SqliteCell::NaturalValue() const
{
    if (const auto* i = std::get_if<qint64>(&m_value))
        return fits<qint32>(*i) ? DBValue::FromInt32(qint32(*i)) : DBValue::FromInt64(*i);
    if (const auto* d = std::get_if<double>(&m_value))
        return DBValue::FromDouble(*d);
    if (const auto* t = std::get_if<Text>(&m_value))
        return DBValue::FromText(QString::fromUtf8(t->utf8));
    if (const auto* b = std::get_if<Blob>(&m_value))
        return DBValue::FromText(QString::fromUtf8(b->bytes));
    return DBValue();
}

DBValue SqliteCell::ToValue(const SqliteColumn& column) const
{
    if (IsNull() || column.kind != SqliteColumn::Kind::Typed)
        return NaturalValue();
    const auto* integer = std::get_if<qint64>(&m_value);
    const auto* real = std::get_if<double>(&m_value);
    const bool number = integer || real;
    const double numberValue = integer ? double(*integer) : real ? *real : 0.0;
    // A stored value that does not fit the column's type keeps its own, so no data is cut.
    switch (column.fieldType) {
    case DBRecordset::Boolean:
        if (number)
            return DBValue::FromBool(numberValue != 0.0);
        break;
    case DBRecordset::Integer16:
        if (integer && fits<qint16>(*integer))
            return DBValue::FromInt16(qint16(*integer));
        break;
    case DBRecordset::Byte:
        if (integer && fits<quint8>(*integer))
            return DBValue::FromByte(quint8(*integer));
        break;
    case DBRecordset::Single:
        if (number && std::fabs(numberValue) <= double(std::numeric_limits<float>::max()))
            return DBValue::FromSingle(float(numberValue));
        break;
    case DBRecordset::Double:
        if (number)
            return DBValue::FromDouble(numberValue);
        break;
    case DBRecordset::Date:
        if (number)
            return DBValue::FromDate(numberValue);
        if (const auto* t = std::get_if<Text>(&m_value)) {
            const OleDateTime date = OleDateTime::FromText(QString::fromUtf8(t->utf8));
            if (date.IsValid())
                return DBValue::FromDate(date.Days());
        }
        break;
    case DBRecordset::Currency: {
        const double units = std::round(numberValue * 10000.0);
        if (number && std::fabs(units) < 9.2e18)
            return DBValue::FromCurrency(qint64(units));
        break;
    }
    default: break;
    }
    return NaturalValue();
}

bool SqliteCell::IsStoredDate() const
{
    static const QRegularExpression storedForm(QStringLiteral(R"(^\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2}$)"));
    const auto* t = std::get_if<Text>(&m_value);
    if (!t)
        return false;
    const QString text = QString::fromUtf8(t->utf8);
    return storedForm.match(text).hasMatch() && OleDateTime::FromText(text).IsValid();
}

SqliteColumn SqliteCell::StorageColumn() const
{
    SqliteColumn column;
    if (std::holds_alternative<qint64>(m_value))
        column = SqliteColumn::FromDeclaredType(QStringLiteral("INTEGER"));
    else if (std::holds_alternative<double>(m_value))
        column = SqliteColumn::FromDeclaredType(QStringLiteral("DOUBLE"));
    else if (std::holds_alternative<Blob>(m_value))
        column = SqliteColumn::FromDeclaredType(QStringLiteral("BLOB"));
    else
        column = SqliteColumn::FromDeclaredType(QStringLiteral("TEXT"));
    return column;
}
