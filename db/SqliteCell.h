#pragma once

#include "db/DBValue.h"
#include "db/SqliteColumn.h"

#include <QByteArray>

#include <optional>
#include <variant>

struct sqlite3_stmt;

// One stored value exactly as the engine gave it, turned into a field value by its column.
class SqliteCell {
public:
    static SqliteCell FromColumn(sqlite3_stmt* statement, int index);
    // An edited text converted to the column's type: numbers (with a '.') in the range of
    // their type, booleans (SI/NO, TRUE/FALSE, VERDADERO/FALSO or a number) as 1 and 0, dates
    // (stored or display form) in the stored form, blank text as null outside text columns;
    // none with "No coinciden los tipos de datos." or "Desbordamiento." in error.
    static std::optional<SqliteCell> FromEdit(const QString& text, const SqliteColumn& column, QString* error);

    // Binds the stored value to a parameter (1-based); the engine's result code.
    int Bind(sqlite3_stmt* statement, int parameter) const;
    DBValue ToValue(const SqliteColumn& column) const;
    // The column type that the stored value itself has (for expression columns).
    SqliteColumn StorageColumn() const;
    bool IsNull() const { return std::holds_alternative<std::monostate>(m_value); }
    // Text in the form the layer stores dates in, "yyyy-mm-dd hh:mm:ss", naming a valid date.
    bool IsStoredDate() const;

private:
    struct Blob {
        QByteArray bytes;
    };
    struct Text {
        QByteArray utf8;
    };

    // Integers, reals and texts as they come; blobs as text.
    DBValue NaturalValue() const;

    std::variant<std::monostate, qint64, double, Text, Blob> m_value;
};
