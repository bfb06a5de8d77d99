#pragma once

#include <QString>

struct sqlite3_stmt;

// What a recordset knows of one result column: its name, the field type its declared type
// maps to, and the table column it comes from (for updates through the recordset).
class SqliteColumn {
public:
    enum class Kind {
        Typed,       // a declared type the layer supports: fieldType holds its code
        Unsupported, // binary and unknown declared types: read as text
        Untyped,     // an expression: typed by the values it gives
    };

    static SqliteColumn FromStatement(sqlite3_stmt* statement, int index);
    // The kind and field type code of a declared column type (Jet and SQLite spellings).
    static SqliteColumn FromDeclaredType(const QString& declaredType);

    QString name;
    Kind kind = Kind::Untyped;
    int fieldType = 6;
    QString originTable; // empty for an expression or a column of another database
    QString originColumn;
};
