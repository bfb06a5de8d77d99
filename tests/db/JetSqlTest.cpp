#include "db/JetSql.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <sqlite3.h>

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

TEST(JetSqlTest, JetColumnTypesThatWouldChangeValuesAreTranslated)
{
    const std::pair<const char*, const char*> cases[] = {
        {"CREATE TABLE T (A MEMO, B STRING(20), C TEXT(10), D NOTE NOT NULL)",
         "CREATE TABLE T (A TEXT, B TEXT(20), C TEXT(10), D TEXT NOT NULL)"},
        {"CREATE TABLE T (ID COUNTER, N LONG)", "CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, N LONG)"},
        {"CREATE TABLE T (ID COUNTER(1,1), N LONG)", "CREATE TABLE T (ID INTEGER PRIMARY KEY AUTOINCREMENT, N LONG)"},
        {"create table T (id autoincrement primary key)", "create table T (id INTEGER primary key)"},
        {"CREATE TABLE T (ID COUNTER, CONSTRAINT PK PRIMARY KEY (ID))", "CREATE TABLE T (ID INTEGER, CONSTRAINT PK PRIMARY KEY (ID))"},
        {"CREATE TABLE T ([MEMO] MEMO, \"STRING\" STRING)", "CREATE TABLE T ([MEMO] TEXT, \"STRING\" TEXT)"},
        {"CREATE TABLE T (F DATETIME, C CURRENCY, Y YESNO)", "CREATE TABLE T (F DATETIME, C CURRENCY, Y YESNO)"},
        {"ALTER TABLE T ADD COLUMN N MEMO", "ALTER TABLE T ADD COLUMN N TEXT"},
        {"ALTER TABLE T ADD N COUNTER", "ALTER TABLE T ADD N INTEGER"},
        // Outside a column definition the words are names or texts.
        {"SELECT MEMO, STRING FROM T WHERE N='MEMO'", "SELECT MEMO, STRING FROM T WHERE N='MEMO'"},
        {"INSERT INTO T (MEMO) VALUES ('COUNTER')", "INSERT INTO T (MEMO) VALUES ('COUNTER')"},
    };
    for (const auto& [jet, sqlite] : cases)
        EXPECT_EQ(JetSql::ToSqlite(QString::fromUtf8(jet)), QString::fromUtf8(sqlite)) << jet;
}

TEST(JetSqlTest, TheRowidColumnIsAddedOnlyToASelectOfRowsOneForOne)
{
    const std::pair<const char*, const char*> cases[] = {
        {"SELECT NOMBRE FROM T WHERE ID=2", "SELECT NOMBRE , rowid AS \"ormi_rowid\" FROM T WHERE ID=2"},
        {"  select * from T ORDER BY 1", "  select * , rowid AS \"ormi_rowid\" from T ORDER BY 1"},
        {"SELECT (SELECT MAX(X) FROM U) AS M, A FROM T", "SELECT (SELECT MAX(X) FROM U) AS M, A , rowid AS \"ormi_rowid\" FROM T"},
        // Words inside texts and names do not count.
        {"SELECT A FROM T WHERE B='GROUP'", "SELECT A , rowid AS \"ormi_rowid\" FROM T WHERE B='GROUP'"},
        {"SELECT [FROM] FROM T", "SELECT [FROM] , rowid AS \"ormi_rowid\" FROM T"},
        // Rows that are not each one row of a table.
        {"SELECT DISTINCT A FROM T", ""},
        {"SELECT A FROM T GROUP BY A", ""},
        {"SELECT A FROM T UNION SELECT B FROM U", ""},
        {"SELECT A FROM T JOIN U ON T.X=U.X", ""},
        {"SELECT 1", ""},
        {"PRAGMA table_info(T)", ""},
        {"WITH X AS (SELECT 1) SELECT * FROM X", ""},
    };
    for (const auto& [select, withRowid] : cases)
        EXPECT_EQ(JetSql::WithRowidColumn(QString::fromUtf8(select)), QString::fromUtf8(withRowid)) << select;
}

TEST(JetSqlTest, IsNullAndTextJoinsBecomeSqliteOperators)
{
    const std::pair<const char*, const char*> cases[] = {
        {"WHERE ISNULL(L)", "WHERE (L IS NULL)"},
        {"WHERE isnull(F(A,B)) AND C=1", "WHERE (F(A,B) IS NULL) AND C=1"},
        {"SELECT A+'x', 'y'+B, A+B, CODIGO+1 FROM T", "SELECT A||'x', 'y'||B, A+B, CODIGO+1 FROM T"},
        {"SELECT D +IIF(ISNULL(L),' ',' ('+L+')') FROM T", "SELECT D ||IIF((L IS NULL),' ',' ('||L||')') FROM T"},
        {"SELECT IIF(A>1,'a','b')+D FROM T", "SELECT IIF(A>1,'a','b')||D FROM T"},
        // A text only in the condition is no text result.
        {"SELECT IIF(A='a',1,2)+D FROM T", "SELECT IIF(A='a',1,2)+D FROM T"},
        {"SELECT F(A)+'a' FROM T", "SELECT F(A)||'a' FROM T"},
        // Names and texts stay as written.
        {"SELECT \"A\"+1, [ISNULL] FROM T WHERE N='ISNULL(X)+1'", "SELECT \"A\"+1, [ISNULL] FROM T WHERE N='ISNULL(X)+1'"},
        {"SELECT A+#03/05/2024# FROM T", "SELECT A||'2024-03-05 00:00:00' FROM T"},
    };
    for (const auto& [jet, sqlite] : cases)
        EXPECT_EQ(JetSql::ToSqlite(QString::fromUtf8(jet)), QString::fromUtf8(sqlite)) << jet;
}

TEST(JetSqlTest, TheMachineListStatementRunsWithJetsResults)
{
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    const char* setup =
        "CREATE TABLE MAQUINAS (CODIGO INTEGER, TIPO INTEGER, EMPLAZAMIENTO INTEGER);"
        "CREATE TABLE EMPLAZAMIENTOS (CODIGO INTEGER, DESCRIPCION TEXT, LOCALIZACION TEXT);"
        "INSERT INTO EMPLAZAMIENTOS VALUES (1,'BAR',NULL),(2,'HOTEL','PLANTA 2');"
        "INSERT INTO MAQUINAS VALUES (10,42,1),(11,42,2),(12,87,1),(13,42,9);";
    ASSERT_EQ(sqlite3_exec(db, setup, nullptr, nullptr, nullptr), SQLITE_OK);
    const QString select = JetSql::ToSqlite(QStringLiteral(
        "SELECT MAQUINAS.CODIGO AS [Codigo],EMPLAZAMIENTOS.DESCRIPCION +IIF(ISNULL(LOCALIZACION),' ',' ('+LOCALIZACION+')') "
        "AS [Descripcion] FROM MAQUINAS,EMPLAZAMIENTOS WHERE MAQUINAS.TIPO=42 AND "
        "EMPLAZAMIENTOS.CODIGO=MAQUINAS.EMPLAZAMIENTO ORDER BY MAQUINAS.CODIGO+1"));
    sqlite3_stmt* statement = nullptr;
    ASSERT_EQ(sqlite3_prepare_v2(db, select.toUtf8().constData(), -1, &statement, nullptr), SQLITE_OK)
        << sqlite3_errmsg(db);
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        rows << QString::number(sqlite3_column_int(statement, 0)) + QLatin1Char('|')
                    + QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1)));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    EXPECT_EQ(rows, QStringList({QStringLiteral("10|BAR "), QStringLiteral("11|HOTEL (PLANTA 2)")}));
}
