#pragma once

#include "db/OleDateTime.h"

#include <QString>

#include <optional>
#include <variant>

// The value of one field: a type tag and its value, Null marking a null field.
class DBValue {
public:
    // Int64 holds an engine integer beyond 32 bits, which no Jet column type has.
    enum class Type { Null, Byte, Int16, Int32, Single, Double, Currency, Bool, Date, Text, Int64 };

    DBValue() = default;
    static DBValue FromByte(quint8 value) { return DBValue(value); }
    static DBValue FromInt16(qint16 value) { return DBValue(value); }
    static DBValue FromInt32(qint32 value) { return DBValue(value); }
    static DBValue FromSingle(float value) { return DBValue(value); }
    static DBValue FromDouble(double value) { return DBValue(value); }
    // In ten-thousandths of the currency unit, as the engine keeps currency.
    static DBValue FromCurrency(qint64 tenThousandths) { return DBValue(Currency{tenThousandths}); }
    static DBValue FromBool(bool value) { return DBValue(value); }
    static DBValue FromDate(double days) { return DBValue(Date{days}); }
    static DBValue FromText(const QString& value) { return DBValue(value); }
    static DBValue FromInt64(qint64 value) { return DBValue(value); }

    Type GetType() const { return Type(m_value.index()); }
    bool IsNull() const { return GetType() == Type::Null; }

    // The value of the type the tag names (a default value for any other tag).
    quint8 Byte() const { return get<quint8>(); }
    qint16 Int16() const { return get<qint16>(); }
    qint32 Int32() const { return get<qint32>(); }
    float Single() const { return get<float>(); }
    double Double() const { return get<double>(); }
    qint64 CurrencyTenThousandths() const { return get<Currency>().tenThousandths; }
    bool Bool() const { return get<bool>(); }
    double DateDays() const { return get<Date>().days; }
    QString Text() const { return get<QString>(); }
    qint64 Int64() const { return get<qint64>(); }

    // The conversions of the recordsets' typed getters, for a value that is not null. A value
    // that does not convert gives none and the reason in the error text.
    std::optional<qint32> ToLong(QString* error) const;
    std::optional<float> ToFloat(QString* error) const;
    std::optional<double> ToDouble(QString* error) const;
    std::optional<bool> ToBool(QString* error) const;
    // A value that does not convert gives an invalid date-time; null gives the null one.
    OleDateTime ToDate() const;

    static QString TypeMismatchText();
    static QString OverflowText();

    bool operator==(const DBValue& other) const = default;

private:
    struct Currency {
        qint64 tenThousandths;
        bool operator==(const Currency&) const = default;
    };
    struct Date {
        double days;
        bool operator==(const Date&) const = default;
    };
    using Storage = std::variant<std::monostate, quint8, qint16, qint32, float, double, Currency, bool, Date, QString, qint64>;

    template <class T>
    explicit DBValue(T value) : m_value(std::in_place_type<T>, std::move(value)) {}

    template <class T>
    T get() const
    {
        const T* value = std::get_if<T>(&m_value);
        return value ? *value : T{};
    }

    // The value as a number, when it has one (booleans as -1 and 0, dates as days).
    std::optional<double> Number(QString* error) const;

    Storage m_value;
};
