#pragma once

#include <QString>

struct sqlite3;
struct sqlite3_stmt;

// One prepared statement of the program's Jet dialect (see JetSql), finalized with the object.
class SqliteStatement {
public:
    SqliteStatement() = default;
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // Exactly one statement; false with the engine's description (also for an empty text or
    // for text after the statement).
    bool Prepare(sqlite3* db, const QString& sql, QString* error);
    // SQLITE_ROW or SQLITE_DONE; any other code leaves the engine's description in error.
    int Step(QString* error);

    sqlite3_stmt* Handle() const { return m_statement; }
    int ColumnCount() const;
    // A query that changes nothing: the only kind a recordset opens.
    bool IsQuery() const;

    static QString EngineMessage(sqlite3* db);

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_statement = nullptr;
};
