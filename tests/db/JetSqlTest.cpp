#include "db/JetSql.h"

#include <gtest/gtest.h>

TEST(JetSqlTest, RewritesDateLiteralsAndTheIndexColumnOnly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"UPDATE O SET F=#03/05/2024 14:07:09# WHERE C=1", "UPDATE O SET F='2024-03-05 14:07:09' WHERE C=1"},
        {"SELECT * FROM O WHERE F>#03/05/2024#", "SELECT * FROM O WHERE F>'2024-03-05 00:00:00'"},
        {"VALUES (1,#3/5/2024 14:07#)", "VALUES (1,'2024-03-05 14:07:00')"},
        {"VALUES (#2024-03-05 14:07:09#)", "VALUES ('2024-03-05 14:07:09')"},
        {"WHERE A='#03/05/2024#'", "WHERE A='#03/05/2024#'"},
        {"WHERE A='it''s #03/05/2024#'", "WHERE A='it''s #03/05/2024#'"},
        {"WHERE F=#13/45/2024#", "WHERE F=#13/45/2024#"},
        {"SELECT NUMERO_OPCION FROM TIPOS_OPCIONES WHERE TIPO=31 AND NUMERO_TIPO=87 AND INDEX=1",
         "SELECT NUMERO_OPCION FROM TIPOS_OPCIONES WHERE TIPO=31 AND NUMERO_TIPO=87 AND [INDEX]=1"},
        {"SELECT VALOR,[INDEX] FROM OPCIONES", "SELECT VALOR,[INDEX] FROM OPCIONES"},
        {"SELECT T.INDEX FROM T", "SELECT T.[INDEX] FROM T"},
        {"SELECT \"INDEX\", INDEXED FROM T", "SELECT \"INDEX\", INDEXED FROM T"},
        {"CREATE TABLE T (INDEX INTEGER)", "CREATE TABLE T ([INDEX] INTEGER)"},
        {"CREATE INDEX I ON T (INDEX)", "CREATE INDEX I ON T ([INDEX])"},
        {"CREATE UNIQUE INDEX I ON T (A)", "CREATE UNIQUE INDEX I ON T (A)"},
        {"DROP INDEX I", "DROP INDEX I"},
        {"WHERE N='INDEX=1'", "WHERE N='INDEX=1'"},
    };
    for (const auto& [jet, sqlite] : cases)
        EXPECT_EQ(JetSql::ToSqlite(QString::fromUtf8(jet)), QString::fromUtf8(sqlite)) << jet;
}
