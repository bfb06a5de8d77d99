#include "db/SqliteStatement.h"

#include "db/JetSql.h"

#include <sqlite3.h>

SqliteStatement::~SqliteStatement() { sqlite3_finalize(m_statement); }

QString SqliteStatement::EngineMessage(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

bool SqliteStatement::Prepare(sqlite3* db, const QString& sql, QString* error)
{
    sqlite3_finalize(m_statement);
    m_statement = nullptr;
    m_db = db;
    const QByteArray text = JetSql::ToSqlite(sql).toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, &tail) != SQLITE_OK) {
        *error = EngineMessage(db);
        return false;
    }
    if (!m_statement) {
        *error = QStringLiteral("Instrucción SQL no válida.");
        return false;
    }
    // The engine compiles only the first statement; anything after it must not go unseen.
    bool onlySeparators = true;
    for (const char* p = tail; p < text.constData() + text.size(); ++p)
        onlySeparators = onlySeparators && (*p == ';' || *p == ' ' || (*p >= '\t' && *p <= '\r'));
    if (!onlySeparators) {
        *error = QStringLiteral("Se encontraron caracteres después del final de la instrucción SQL.");
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
        return false;
    }
    return true;
}

int SqliteStatement::Step(QString* error)
{
    const int rc = sqlite3_step(m_statement);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        *error = EngineMessage(m_db);
    return rc;
}

int SqliteStatement::ColumnCount() const { return sqlite3_column_count(m_statement); }

bool SqliteStatement::IsQuery() const { return ColumnCount() > 0 && sqlite3_stmt_readonly(m_statement); }
