#pragma once

#include "db/DAODBConnection.h"
#include "tests/support/FakeClock.h"
#include "tests/db/LocaleScope.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/TestApplication.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// Real database files in a temporary folder, scripted message boxes, a point decimal
// separator and a clock that stands still.
class DatabaseTest : public ::testing::Test {
protected:
    QString Path(const QString& name) const { return app.tempPath(name); }
    // A new database file holding what the statements make.
    QString MakeDatabase(const QString& name, const QStringList& statements);
    // An open connection on the fake clock; none (and a test failure) when it does not open.
    std::unique_ptr<DAODBConnection> OpenDatabase(const QString& path, bool exclusive = false, bool readOnly = false);
    QStringList Boxes() { return app.messages().texts(); }
    void ClearBoxes() { app.messages().clear(); }
    // The text of a file (the SQL log).
    static QString FileText(const QString& path);

    LocaleScope locale{QLocale::c()};
    TestApplication app;
    FakeClock clock;
};
