#include "db/FormatString.h"

#include <QLocale>

QString GetLocaleDecimalSeparator()
{
    const QString separator = QLocale().decimalPoint();
    return separator.size() == 1 ? separator : QString();
}

FormatString::FormatString()
    : m_decimalSeparator(GetLocaleDecimalSeparator())
{
}

QString FormatString::FormatValue(const DBValue& value) const
{
    return ValueText(value).replace(QLatin1Char('\''), QLatin1Char('`'));
}

QString FormatString::ValueText(const DBValue& value) const
{
    switch (value.GetType()) {
    case DBValue::Type::Null: return QString();
    case DBValue::Type::Byte: return QString::number(value.Byte());
    case DBValue::Type::Int16: return QString::number(value.Int16());
    case DBValue::Type::Int32: return QString::number(value.Int32());
    case DBValue::Type::Int64: return QString::number(value.Int64());
    case DBValue::Type::Single: return FixedText(double(value.Single()));
    case DBValue::Type::Double: return FixedText(value.Double());
    case DBValue::Type::Currency: return CurrencyText(value.CurrencyTenThousandths());
    case DBValue::Type::Bool: return value.Bool() ? TrueText() : FalseText();
    case DBValue::Type::Date: {
        const OleDateTime date(value.DateDays());
        if (date.GetHour() == 0 && date.GetMinute() == 0)
            return QString::asprintf("%02d/%02d/%d", date.GetDay(), date.GetMonth(), date.GetYear());
        return QString::asprintf("%02d/%02d/%d %02d:%02d:%02d", date.GetDay(), date.GetMonth(),
                                 date.GetYear(), date.GetHour(), date.GetMinute(), date.GetSecond());
    }
    case DBValue::Type::Text: return value.Text();
    }
    return QString();
}

void FormatString::ReplaceDecimalSeparator(QString& text)
{
    if (m_decimalSeparator.isEmpty())
        m_decimalSeparator = GetLocaleDecimalSeparator();
    if (m_decimalSeparator.size() != 1)
        return;
    const QChar separator = m_decimalSeparator.at(0);
    for (qsizetype i = 1; i + 1 < text.size(); ++i) {
        if (text.at(i) == separator && text.at(i - 1).isDigit() && text.at(i + 1).isDigit())
            text[i] = QLatin1Char('.');
    }
}

QString FormatString::FormatFloat(float value)
{
    QString text = FixedText(double(value));
    ReplaceDecimalSeparator(text);
    return text;
}

QString FormatString::FlattenLines(const QString& text) const
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\n'))
            continue;
        out += ch == QLatin1Char('\r') ? QLatin1Char(' ') : ch;
    }
    return out;
}

QString FormatString::EscapeSqlText(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QStringLiteral("''"));
    return out;
}

QString FormatString::DisplaySeparator() const
{
    return m_decimalSeparator.isEmpty() ? QStringLiteral(".") : m_decimalSeparator;
}

QString FormatString::FixedText(double value) const
{
    QString text = QString::asprintf("%.*f", Decimals, value);
    text.replace(QLatin1Char('.'), DisplaySeparator());
    return text;
}

QString FormatString::CurrencyText(qint64 tenThousandths) const
{
    // Plain decimal text: no grouping, no trailing zeros in the fraction.
    const bool negative = tenThousandths < 0;
    const quint64 magnitude = negative ? quint64(0) - quint64(tenThousandths) : quint64(tenThousandths);
    QString text = QString::number(magnitude / 10000);
    QString fraction = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    if (!fraction.isEmpty())
        text += DisplaySeparator() + fraction;
    return negative ? QLatin1Char('-') + text : text;
}
