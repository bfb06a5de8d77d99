#pragma once

#include "db/DBValue.h"

#include <QString>

// The decimal separator of the user's default locale: one character, or empty when the
// locale gives none that is a single character.
QString GetLocaleDecimalSeparator();

// Turns database values into text for display and for SQL. Every connection is one.
class FormatString {
public:
    // Decimals of every floating-point text.
    static constexpr int Decimals = 2;

    FormatString();
    virtual ~FormatString() = default;

    // Display text of a value: numbers with the locale's decimal separator, booleans "SI" and
    // "NO", dates dd/mm/yyyy (with the time unless it is 00:00), apostrophes as backquotes.
    QString FormatValue(const DBValue& value) const;
    // Every one-character separator that stands between two digits becomes '.'.
    void ReplaceDecimalSeparator(QString& text);
    // A number for SQL: two decimals and a '.' whatever the locale.
    QString FormatFloat(float value);
    // One line for a grid cell: line feeds dropped, carriage returns as blanks.
    QString FlattenLines(const QString& text) const;

    // A text value for a statement's '%s' between single quotes: apostrophes doubled, so a
    // value can neither end its literal nor add SQL of its own.
    static QString EscapeSqlText(const QString& text);

    static QString TrueText() { return QStringLiteral("SI"); }
    static QString FalseText() { return QStringLiteral("NO"); }

    // The value's text before the apostrophe rule.
    QString ValueText(const DBValue& value) const;

private:
    QString DisplaySeparator() const;
    QString FixedText(double value) const;
    QString CurrencyText(qint64 tenThousandths) const;

    QString m_decimalSeparator;
};
