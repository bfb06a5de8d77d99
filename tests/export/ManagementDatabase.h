#pragma once

#include "tests/db/DatabaseTest.h"

#include <QStringList>

// A management database made by the shipped schema script in a temporary folder, with rows of
// the test's own; its rows are read back straight through the engine.
class ManagementDatabase : public DatabaseTest {
protected:
    // A new database holding the schema and what the statements (';'-separated) make.
    QString MakeManagement(const QString& name, const QString& statements);
    // The rows of a query, each its columns joined by '|' (null as "NULL").
    static QStringList Rows(const QString& path, const QString& select);
    // Runs statements on the file straight through the engine.
    static void Run(const QString& path, const QString& statements);
};
