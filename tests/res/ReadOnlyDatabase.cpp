#include "tests/res/ReadOnlyDatabase.h"

#include <sqlite3.h>

ReadOnlyDatabase::ReadOnlyDatabase(const QString& path)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK) {
        db_ = db;
        return;
    }
    openError_ = db ? QString::fromUtf8(sqlite3_errmsg(db)) : QString::fromUtf8(sqlite3_errstr(rc));
    sqlite3_close(db);
}

ReadOnlyDatabase::~ReadOnlyDatabase()
{
    sqlite3_close(db_);
}

ReadOnlyDatabase::Result ReadOnlyDatabase::query(const QString& sql) const
{
    Result result;
    if (!db_) {
        result.error = openError_;
        return result;
    }
    sqlite3_stmt* statement = nullptr;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db_, text.constData(), int(text.size()), &statement, nullptr) != SQLITE_OK) {
        result.error = QString::fromUtf8(sqlite3_errmsg(db_));
        return result;
    }
    const int columns = sqlite3_column_count(statement);
    for (int c = 0; c < columns; ++c)
        result.columns << QString::fromUtf8(sqlite3_column_name(statement, c));
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        std::vector<QVariant> row;
        for (int c = 0; c < columns; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_NULL:
                row.emplace_back();
                break;
            case SQLITE_INTEGER:
                row.emplace_back(qlonglong(sqlite3_column_int64(statement, c)));
                break;
            default:
                row.emplace_back(QString::fromUtf8(
                    reinterpret_cast<const char*>(sqlite3_column_text(statement, c))));
                break;
            }
        }
        result.rows.push_back(std::move(row));
    }
    result.ok = rc == SQLITE_DONE;
    if (!result.ok)
        result.error = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_finalize(statement);
    return result;
}
