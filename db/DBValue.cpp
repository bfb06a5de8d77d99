#include "db/DBValue.h"

#include <cmath>
#include <limits>

namespace {

constexpr double CurrencyScale = 10000.0;

void fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

QString DBValue::TypeMismatchText() { return QStringLiteral("No coinciden los tipos de datos."); }

QString DBValue::OverflowText() { return QStringLiteral("Desbordamiento."); }

std::optional<double> DBValue::Number(QString* error) const
{
    switch (GetType()) {
    case Type::Byte: return double(Byte());
    case Type::Int16: return double(Int16());
    case Type::Int32: return double(Int32());
    case Type::Int64: return double(Int64());
    case Type::Single: return double(Single());
    case Type::Double: return Double();
    case Type::Currency: return double(CurrencyTenThousandths()) / CurrencyScale;
    case Type::Bool: return Bool() ? -1.0 : 0.0;
    case Type::Date: return DateDays();
    case Type::Text: {
        bool ok = false;
        const double value = Text().trimmed().toDouble(&ok);
        if (ok)
            return value;
        break;
    }
    case Type::Null: break;
    }
    fail(error, TypeMismatchText());
    return std::nullopt;
}

std::optional<qint32> DBValue::ToLong(QString* error) const
{
    switch (GetType()) {
    case Type::Byte: return qint32(Byte());
    case Type::Int16: return qint32(Int16());
    case Type::Int32: return Int32();
    default: break;
    }
    const std::optional<double> number = Number(error);
    if (!number)
        return std::nullopt;
    const double truncated = std::trunc(*number);
    if (!(truncated >= double(std::numeric_limits<qint32>::min())
          && truncated <= double(std::numeric_limits<qint32>::max()))) {
        fail(error, OverflowText());
        return std::nullopt;
    }
    return qint32(truncated);
}

std::optional<float> DBValue::ToFloat(QString* error) const
{
    if (GetType() == Type::Single)
        return Single();
    const std::optional<double> number = Number(error);
    if (!number)
        return std::nullopt;
    if (std::isfinite(*number) && std::fabs(*number) > double(std::numeric_limits<float>::max())) {
        fail(error, OverflowText());
        return std::nullopt;
    }
    return float(*number);
}

std::optional<double> DBValue::ToDouble(QString* error) const { return Number(error); }

std::optional<bool> DBValue::ToBool(QString* error) const
{
    switch (GetType()) {
    case Type::Bool: return Bool();
    // An integer counts by its lowest byte, as the engine's boolean conversion does.
    case Type::Byte: return Byte() != 0;
    case Type::Int16: return (Int16() & 0xFF) != 0;
    case Type::Int32: return (Int32() & 0xFF) != 0;
    case Type::Int64: return (Int64() & 0xFF) != 0;
    default: break;
    }
    const std::optional<double> number = Number(error);
    if (!number)
        return std::nullopt;
    return *number != 0.0;
}

OleDateTime DBValue::ToDate() const
{
    switch (GetType()) {
    case Type::Null: return OleDateTime::Null();
    case Type::Date: return OleDateTime(DateDays());
    case Type::Text: return OleDateTime::FromText(Text());
    default: break;
    }
    const std::optional<double> number = Number(nullptr);
    // A number converts only when it names a day of the calendar's years.
    if (number && OleDateTime(*number).ToDateTime())
        return OleDateTime(*number);
    return OleDateTime(0.0, OleDateTime::Status::Invalid);
}
