#include "tests/export/ManagementDatabase.h"

#include <QFile>

#include <sqlite3.h>

QString ManagementDatabase::MakeManagement(const QString& name, const QString& statements)
{
    QFile schema(QStringLiteral(ORMI_MANAGEMENT_SCHEMA));
    EXPECT_TRUE(schema.open(QIODevice::ReadOnly)) << ORMI_MANAGEMENT_SCHEMA;
    const QString path = Path(name);
    // One transaction: the file is written once.
    Run(path, QStringLiteral("BEGIN;") + QString::fromUtf8(schema.readAll()) + statements + QStringLiteral(";COMMIT;"));
    return path;
}

void ManagementDatabase::Run(const QString& path, const QString& statements)
{
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, statements.toUtf8().constData(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

QStringList ManagementDatabase::Rows(const QString& path, const QString& select)
{
    sqlite3* db = nullptr;
    QStringList rows;
    EXPECT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, select.toUtf8().constData(), -1, &statement, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db) << " " << select.toStdString();
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        QStringList columns;
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            columns << (text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
        }
        rows << columns.join(QLatin1Char('|'));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}
