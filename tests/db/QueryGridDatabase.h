#pragma once

#include "db/DBConnection.h"

#include <QStringList>

#include <gtest/gtest.h>

// The grids' test table T (ID, NAME, PRICE, NOTE) with ids 1..count: odd rows named
// "Impar <id>", even ones "par", the price id + 0.5, the note null except for row 2, which
// holds two lines. Written in one transaction, so a large table is quick to make.
inline void FillGridTable(DBConnection& connection, int count)
{
    ASSERT_GE(connection.Execute("CREATE TABLE T (ID INTEGER, NAME TEXT, PRICE DOUBLE, NOTE MEMO)"), 0);
    ASSERT_TRUE(connection.BeginTrans());
    for (int i = 1; i <= count; ++i) {
        const QString name = i % 2 ? QStringLiteral("Impar %1").arg(i) : QStringLiteral("par");
        ASSERT_EQ(connection.Execute(QStringLiteral("INSERT INTO T VALUES (%1, '%2', %1.5, NULL)").arg(i).arg(name)), 1);
    }
    ASSERT_GE(connection.Execute("UPDATE T SET NOTE = 'dos' || char(13) || char(10) || 'lineas' WHERE ID = 2"), 0);
    ASSERT_TRUE(connection.CommitTrans());
}
