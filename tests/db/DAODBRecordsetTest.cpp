#include "db/DAODBRecordset.h"
#include "db/DBException.h"
#include "tests/db/DatabaseTest.h"
#include "tests/db/ThrowingConnection.h"

#include <functional>
#include <variant>

namespace {

// One column of every type the layer knows, and a binary one it does not.
const char* const ValuesTable =
    "CREATE TABLE VALORES (B BOOLEAN, S SMALLINT, Y BYTE, L INTEGER, F SINGLE, D DOUBLE, "
    "T TEXT, M MEMO, DT DATETIME, C CURRENCY, BIN LONGBINARY)";

class DAODBRecordsetTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        path = MakeDatabase("datos.mdb", {
            ValuesTable,
            "CREATE TABLE CANALES (NUMERO TEXT, PRODUCTO INTEGER, PRECIO INTEGER)",
            "INSERT INTO CANALES VALUES ('1',10,0)",
            "INSERT INTO CANALES VALUES ('2',20,0)",
            "INSERT INTO CANALES VALUES ('3',30,0)",
            "INSERT INTO CANALES VALUES ('4',40,0)",
        });
        connection = OpenDatabase(path);
        ASSERT_TRUE(connection);
    }

    // A recordset on the one row that holds the value in the column.
    std::unique_ptr<DBRecordset> RowWith(const QString& column, const QString& literal)
    {
        connection->Execute("DELETE FROM VALORES");
        connection->Execute(QStringLiteral("INSERT INTO VALORES (%1) VALUES (%2)").arg(column, literal));
        auto recordset = connection->CreateRecordset();
        recordset->Open("SELECT * FROM VALORES", false);
        return recordset;
    }

    std::unique_ptr<DBRecordset> Channels()
    {
        auto recordset = connection->CreateRecordset();
        recordset->Open("SELECT * FROM CANALES ORDER BY NUMERO", false);
        return recordset;
    }

    QString path;
    std::unique_ptr<DAODBConnection> connection;
};

} // namespace

TEST_F(DAODBRecordsetTest, FieldTypesFollowTheDeclaredColumnTypes)
{
    auto recordset = RowWith("L", "1");
    ASSERT_EQ(recordset->GetFieldCount(), 11);
    const int expected[] = {0, 1, 2, 3, 4, 5, 6, 6, 7, 8};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(recordset->GetFieldType(i), expected[i]) << recordset->GetFieldName(i).toStdString();
    EXPECT_EQ(Boxes(), QStringList());
    // A binary column is reported on every call and read as text.
    EXPECT_EQ(recordset->GetFieldType(10), DBRecordset::Text);
    EXPECT_EQ(recordset->GetFieldType(10), DBRecordset::Text);
    EXPECT_EQ(Boxes(), QStringList({"Tipo de datos no permitido", "Tipo de datos no permitido"}));

    ClearBoxes();
    auto expressions = connection->CreateRecordset();
    expressions->Open("SELECT COUNT(*), 'x' AS E, MAX(D) FROM VALORES", false);
    EXPECT_EQ(expressions->GetFieldType(0), DBRecordset::Long);
    EXPECT_EQ(expressions->GetFieldType(1), DBRecordset::Text);
    EXPECT_EQ(expressions->GetFieldType(2), DBRecordset::Text); // null: no type of its own
    EXPECT_EQ(expressions->GetFieldName(1), "E");
    EXPECT_EQ(expressions->GetFieldName(3), QString());
    EXPECT_EQ(Boxes(), QStringList({DAODBRecordset::ItemNotFoundText()}));
}

TEST_F(DAODBRecordsetTest, TypedGettersConvertAndGiveTheirNullValues)
{
    using Getter = std::function<std::variant<qint32, bool, float, double, QString>(DBRecordset&, const QString&)>;
    const Getter asLong = [](DBRecordset& r, const QString& c) { return r.GetFieldLong(c); };
    const Getter asInt = [](DBRecordset& r, const QString& c) { return qint32(r.GetFieldInt(c)); };
    const Getter asBool = [](DBRecordset& r, const QString& c) { return r.GetFieldBool(c); };
    const Getter asFloat = [](DBRecordset& r, const QString& c) { return r.GetFieldFloat(c); };
    const Getter asDouble = [](DBRecordset& r, const QString& c) { return r.GetFieldDouble(c); };
    const Getter asString = [](DBRecordset& r, const QString& c) { return r.GetFieldString(c); };
    const Getter asText = [](DBRecordset& r, const QString& c) { return r.GetFieldText(c); };
    struct GetterCase {
        const char* column;
        const char* literal;
        Getter getter;
        std::variant<qint32, bool, float, double, QString> expected;
    };
    const GetterCase cases[] = {
        {"D", "3.99", asLong, 3},
        {"D", "-3.99", asLong, -3},
        {"S", "-5", asLong, -5},
        {"Y", "200", asInt, 200},
        {"F", "2.5", asLong, 2},
        {"T", "'42'", asLong, 42},
        {"L", "NULL", asLong, -1},
        {"L", "256", asBool, false},
        {"L", "257", asBool, true},
        {"B", "1", asBool, true},
        {"B", "-1", asBool, true},
        {"B", "0", asBool, false},
        {"B", "NULL", asBool, false},
        {"D", "0.1", asFloat, 0.1f},
        {"L", "3", asFloat, 3.0f},
        {"F", "NULL", asFloat, 0.0f},
        {"F", "2.5", asDouble, 2.5},
        {"C", "10.5", asDouble, 10.5},
        {"D", "NULL", asDouble, 0.0},
        {"T", "'O''Neil'", asString, QString("O'Neil")},
        {"M", "'línea 1\r\nlínea 2'", asString, QString("línea 1\r\nlínea 2")},
        {"L", "7", asString, QString("7")},
        {"T", "NULL", asString, QString()},
        {"T", "'O''Neil'", asText, QString("O`Neil")},
        {"B", "1", asText, QString("SI")},
        {"DT", "#03/05/2024 14:07:09#", asText, QString("05/03/2024 14:07:09")},
        {"C", "10.5", asText, QString("10.5")},
        {"Y", "300", asText, QString("300")}, // too large for a byte: kept as it is stored
    };
    for (const GetterCase& c : cases) {
        auto recordset = RowWith(c.column, QString::fromUtf8(c.literal));
        EXPECT_EQ(c.getter(*recordset, c.column), c.expected) << c.column << " = " << c.literal;
    }
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBRecordsetTest, GetFieldDateGivesNullAndInvalidDates)
{
    EXPECT_EQ(RowWith("DT", "'2024-03-05 14:07:09'")->GetFieldDate("DT"), OleDateTime(2024, 3, 5, 14, 7, 9));
    EXPECT_EQ(RowWith("DT", "NULL")->GetFieldDate("DT").GetStatus(), OleDateTime::Status::Null);
    EXPECT_EQ(RowWith("T", "'nunca'")->GetFieldDate("T").GetStatus(), OleDateTime::Status::Invalid);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBRecordsetTest, GetterFailuresAreShownAndGiveTheirFailureValues)
{
    auto recordset = RowWith("T", "'abc'");
    EXPECT_EQ(recordset->GetFieldLong("T"), -1);
    EXPECT_EQ(recordset->GetFieldLong("NADA"), -1);
    EXPECT_EQ(recordset->GetFieldFloat("NADA"), -1.0f);
    EXPECT_EQ(recordset->GetFieldDouble("NADA"), -1.0);
    EXPECT_FALSE(recordset->GetFieldBool("NADA"));
    EXPECT_EQ(recordset->GetFieldText("NADA"), QString());
    EXPECT_EQ(recordset->GetFieldDate("NADA"), OleDateTime::FromDateTime(clock.now));
    EXPECT_EQ(recordset->GetFieldValue(11), DBValue::FromInt32(0));
    EXPECT_EQ(recordset->GetFieldText(11), QString());
    QStringList expected = {DBValue::TypeMismatchText()};
    for (int i = 0; i < 8; ++i)
        expected.append(DAODBRecordset::ItemNotFoundText());
    EXPECT_EQ(Boxes(), expected);

    ClearBoxes();
    recordset->MoveNext();
    EXPECT_EQ(recordset->GetFieldLong("L"), -1);
    EXPECT_EQ(Boxes(), QStringList({DAODBRecordset::NoCurrentRecordText()}));
}

TEST_F(DAODBRecordsetTest, AColumnNameNoColumnHasIsShownInMessageModeAndThrownInThrowMode)
{
    auto recordset = RowWith("T", "'x'");
    EXPECT_TRUE(recordset->GetFieldValue("t").IsNull()); // the lookup is exact: T is not t
    EXPECT_TRUE(recordset->IsFieldNull("t"));
    EXPECT_EQ(Boxes(), QStringList({"Campo no encontrado", "Campo no encontrado"}));
    EXPECT_EQ(recordset->GetFieldValue("T"), DBValue::FromText("x"));
    EXPECT_FALSE(recordset->IsFieldNull("T"));
    EXPECT_TRUE(recordset->IsFieldNull("L"));

    ThrowingConnection throwing;
    ASSERT_TRUE(throwing.Open(path, false, true));
    auto thrown = throwing.CreateRecordset();
    thrown->Open("SELECT * FROM VALORES", false);
    try {
        thrown->GetFieldValue("t");
        ADD_FAILURE() << "no exception";
    } catch (const DBException& e) {
        EXPECT_EQ(e.GetErrorMessage(), "Campo no encontrado");
        EXPECT_EQ(e.GetQuery(), "t");
    }
    EXPECT_THROW(thrown->GetFieldLong("NADA"), DBException);
    EXPECT_EQ(Boxes().size(), 2);
}

TEST_F(DAODBRecordsetTest, NavigationCountsAndPercentPosition)
{
    auto recordset = Channels();
    EXPECT_FALSE(recordset->IsBOF());
    EXPECT_FALSE(recordset->IsEOF());
    EXPECT_EQ(recordset->GetRecordCount(), 4);
    EXPECT_EQ(recordset->GetPercentPosition(), 0.0f);
    for (int i = 0; i < 3; ++i)
        recordset->MoveNext();
    EXPECT_EQ(recordset->GetFieldString("NUMERO"), "4");
    EXPECT_EQ(recordset->GetPercentPosition(), 75.0f);
    recordset->MoveNext();
    EXPECT_TRUE(recordset->IsEOF());
    recordset->MoveNext();
    EXPECT_TRUE(recordset->IsEOF());
    EXPECT_EQ(Boxes(), QStringList({DAODBRecordset::NoCurrentRecordText()}));
    recordset->MovePrev();
    EXPECT_EQ(recordset->GetFieldString("NUMERO"), "4");
    recordset->MoveFirst();
    EXPECT_EQ(recordset->GetFieldString("NUMERO"), "1");
    recordset->MovePrev();
    EXPECT_TRUE(recordset->IsBOF());
    recordset->MoveLast();
    EXPECT_EQ(recordset->GetFieldString("NUMERO"), "4");
    EXPECT_EQ(recordset->GetPercentPosition(), 100.0f);
    EXPECT_EQ(Boxes().size(), 1);
}

TEST_F(DAODBRecordsetTest, AnEmptyOrUnopenedRecordsetIsAtItsEnd)
{
    auto empty = connection->CreateRecordset();
    EXPECT_TRUE(empty->IsEOF());
    EXPECT_TRUE(empty->Open("SELECT * FROM VALORES", false));
    EXPECT_TRUE(empty->IsEOF());
    EXPECT_TRUE(empty->IsBOF());
    EXPECT_EQ(empty->GetRecordCount(), 0);
    EXPECT_EQ(empty->GetPercentPosition(), 0.0f);
    EXPECT_EQ(Boxes(), QStringList());

    auto failed = connection->CreateRecordset();
    EXPECT_FALSE(failed->Open("SELECT * FROM NO_EXISTE", false));
    EXPECT_FALSE(failed->IsOpen());
    EXPECT_TRUE(failed->IsEOF());
    EXPECT_EQ(failed->GetFieldCount(), 0);
    EXPECT_EQ(Boxes(), QStringList({"no such table: NO_EXISTE"}));
}

TEST_F(DAODBRecordsetTest, RowsReadWhileTheirTableChangesAreEachVisitedOnce)
{
    // The channel-price walk: every row read updates its own row and adds to the table.
    auto recordset = Channels();
    QStringList visited;
    int price = 0;
    while (!recordset->IsEOF()) {
        const QString number = recordset->GetFieldString("NUMERO");
        visited.append(number);
        connection->Execute(QStringLiteral("UPDATE CANALES SET PRECIO=%1 WHERE NUMERO='%2'").arg(++price).arg(number));
        connection->Execute(QStringLiteral("INSERT INTO CANALES VALUES ('9%1',0,0)").arg(number));
        recordset->MoveNext();
    }
    EXPECT_EQ(visited, QStringList({"1", "2", "3", "4"}));
    EXPECT_EQ(connection->QueryInt("SELECT PRECIO FROM CANALES WHERE NUMERO='4'"), 4);
}

TEST_F(DAODBRecordsetTest, RequeryReadsTheRowsAgainFromTheFirst)
{
    auto recordset = Channels();
    recordset->MoveNext();
    connection->Execute("INSERT INTO CANALES VALUES ('5',50,0)");
    recordset->Requery();
    EXPECT_EQ(recordset->GetRecordCount(), 5);
    EXPECT_EQ(recordset->GetFieldString("NUMERO"), "1");
    EXPECT_EQ(recordset->GetPercentPosition(), 0.0f);
}

TEST_F(DAODBRecordsetTest, ADynasetOfOneTableWritesItsRowBack)
{
    auto recordset = connection->CreateRecordset();
    recordset->Open("SELECT NUMERO, PRODUCTO FROM CANALES WHERE PRODUCTO>=20 ORDER BY NUMERO", false);
    recordset->Edit();
    recordset->SetFieldString("PRODUCTO", "9999");
    recordset->SetFieldString(0, "B10");
    recordset->Update();
    EXPECT_EQ(Boxes(), QStringList());
    EXPECT_EQ(recordset->GetFieldLong("PRODUCTO"), 9999);
    EXPECT_EQ(recordset->GetFieldString("NUMERO"), "B10");
    EXPECT_EQ(connection->QueryInt("SELECT PRODUCTO FROM CANALES WHERE NUMERO='B10'"), 9999);
    EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM CANALES WHERE PRODUCTO=9999"), 1);
    EXPECT_EQ(connection->QueryInt("SELECT PRODUCTO FROM CANALES WHERE NUMERO='3'"), 30);
}

TEST_F(DAODBRecordsetTest, WhatCannotBeWrittenBackIsReported)
{
    auto snapshot = connection->CreateRecordset();
    snapshot->Open("SELECT * FROM CANALES", true);
    snapshot->Edit();
    auto expression = connection->CreateRecordset();
    expression->Open("SELECT NUMERO, PRODUCTO*2 FROM CANALES", false);
    expression->Edit();
    EXPECT_EQ(Boxes(), QStringList({DAODBRecordset::NotUpdatableText(), DAODBRecordset::NotUpdatableText()}));

    ClearBoxes();
    auto recordset = Channels();
    recordset->SetFieldString("PRODUCTO", "1");
    recordset->Update();
    EXPECT_EQ(Boxes(), QStringList({DAODBRecordset::NotEditingText(), DAODBRecordset::NotEditingText()}));

    ClearBoxes();
    recordset->Edit();
    recordset->SetFieldString("PRODUCTO", "1");
    connection->Execute("DELETE FROM CANALES WHERE NUMERO='1'");
    recordset->Update();
    EXPECT_EQ(Boxes(), QStringList({DAODBRecordset::RecordDeletedText()}));
}

TEST_F(DAODBRecordsetTest, DestroyingAnOpenRecordsetClosesIt)
{
    auto recordset = Channels();
    ASSERT_TRUE(recordset->IsOpen());
    recordset.reset();
    connection->Close();
    ASSERT_TRUE(connection->Open(path, true, false));
    EXPECT_EQ(connection->Execute("DELETE FROM CANALES"), 4);
}

TEST_F(DAODBRecordsetTest, UpdateWritesTheRowThatWasReadNotTheFirstWithTheSameValues)
{
    const QString twins = MakeDatabase("gemelas.mdb", {
        "CREATE TABLE T (ID INTEGER, NOMBRE TEXT)",
        "INSERT INTO T VALUES (1,'A')",
        "INSERT INTO T VALUES (2,'A')",
    });
    auto db = OpenDatabase(twins);
    ASSERT_TRUE(db);
    auto recordset = db->CreateRecordset();
    recordset->Open("SELECT NOMBRE FROM T WHERE ID=2", false);
    recordset->Edit();
    recordset->SetFieldString("NOMBRE", "B");
    recordset->Update();
    EXPECT_EQ(Boxes(), QStringList());
    EXPECT_EQ(recordset->GetFieldString("NOMBRE"), "B");
    EXPECT_EQ(db->QueryString("SELECT NOMBRE FROM T WHERE ID=1"), "A");
    EXPECT_EQ(db->QueryString("SELECT NOMBRE FROM T WHERE ID=2"), "B");

    // Columns named by their place keep their place.
    ASSERT_EQ(db->Execute("INSERT INTO T VALUES (3,'0')"), 1);
    auto ordered = db->CreateRecordset();
    ordered->Open("SELECT NOMBRE, ID FROM T ORDER BY 1", false);
    ASSERT_EQ(ordered->GetFieldCount(), 2);
    EXPECT_EQ(ordered->GetFieldLong("ID"), 3);
    ordered->Edit();
    ordered->SetFieldString(0, "C");
    ordered->Update();
    EXPECT_EQ(db->QueryString("SELECT NOMBRE FROM T WHERE ID=3"), "C");
    EXPECT_EQ(db->QueryString("SELECT NOMBRE FROM T WHERE ID=1"), "A");
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBRecordsetTest, ADynasetWhoseRowsAreNotRowsOfOneTableRefusesTheUpdate)
{
    connection->Execute("CREATE TABLE OTRA (X INTEGER)");
    connection->Execute("INSERT INTO OTRA VALUES (1)");
    connection->Execute("INSERT INTO OTRA VALUES (2)");
    const char* const statements[] = {
        "SELECT DISTINCT PRECIO FROM CANALES",
        "SELECT PRECIO FROM CANALES GROUP BY PRECIO",
        "SELECT NUMERO FROM CANALES UNION SELECT NUMERO FROM CANALES",
        "SELECT CANALES.NUMERO FROM CANALES, OTRA",
        "SELECT CANALES.NUMERO FROM CANALES JOIN OTRA ON PRODUCTO/10=X",
    };
    for (const char* sql : statements) {
        ClearBoxes();
        auto recordset = connection->CreateRecordset();
        ASSERT_TRUE(recordset->Open(sql, false)) << sql;
        EXPECT_FALSE(recordset->IsEOF()) << sql;
        recordset->Edit();
        EXPECT_EQ(Boxes(), QStringList({DAODBRecordset::NotUpdatableText()})) << sql;
    }
    EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM CANALES WHERE PRECIO=0"), 4);
}

TEST_F(DAODBRecordsetTest, UpdateConvertsEachTextToItsColumnsTypeOrChangesNothing)
{
    struct Case {
        const char* column;
        const char* text;
        const char* shown; // the field's text after the update; empty: refused
        const char* refusal;
    };
    const Case cases[] = {
        {"L", "42", "42", nullptr},
        {"L", " 2.5 ", "2", nullptr}, // half to even
        {"L", "abc", nullptr, "No coinciden los tipos de datos."},
        {"L", "3000000000", nullptr, "Desbordamiento."},
        {"S", "40000", nullptr, "Desbordamiento."},
        {"Y", "-1", nullptr, "Desbordamiento."},
        {"D", "1e3", "1000.00", nullptr},
        {"D", "uno", nullptr, "No coinciden los tipos de datos."},
        {"B", "SI", "SI", nullptr},
        {"B", "falso", "NO", nullptr},
        {"B", "quizá", nullptr, "No coinciden los tipos de datos."},
        {"DT", "06/03/2024", "06/03/2024", nullptr},
        {"DT", "2024-03-06 14:07:09", "06/03/2024 14:07:09", nullptr},
        {"DT", "30/02/2024", nullptr, "No coinciden los tipos de datos."},
        {"C", "10.25", "10.25", nullptr},
        {"T", "007", "007", nullptr},
        {"L", "", "", nullptr}, // blank: null
    };
    for (const Case& c : cases) {
        const QString what = QStringLiteral("%1 := '%2'").arg(c.column, c.text);
        ClearBoxes();
        auto recordset = RowWith(c.column, c.column == QStringLiteral("DT") ? "'2000-01-01 00:00:00'" : "1");
        const QString before = recordset->GetFieldText(c.column);
        recordset->Edit();
        recordset->SetFieldString(c.column, c.text);
        recordset->Update();
        if (c.refusal) {
            EXPECT_EQ(Boxes(), QStringList({c.refusal})) << what.toStdString();
            EXPECT_EQ(recordset->GetFieldText(c.column), before) << what.toStdString();
            EXPECT_EQ(connection->QueryString(QStringLiteral("SELECT %1 FROM VALORES").arg(c.column)), before)
                << what.toStdString();
        } else {
            EXPECT_EQ(Boxes(), QStringList()) << what.toStdString();
            EXPECT_EQ(recordset->GetFieldText(c.column), c.shown) << what.toStdString();
        }
    }
    // A date written through the recordset in its display form is found by a date literal.
    auto recordset = RowWith("DT", "NULL");
    recordset->Edit();
    recordset->SetFieldString("DT", "06/03/2024");
    recordset->Update();
    EXPECT_TRUE(connection->Exists("SELECT * FROM VALORES WHERE DT > #03/01/2024#"));
}

TEST_F(DAODBRecordsetTest, ClosingTheConnectionClosesItsRecordsets)
{
    auto recordset = Channels();
    ASSERT_FALSE(recordset->IsEOF());
    connection->Close();
    EXPECT_FALSE(recordset->IsOpen());
    EXPECT_TRUE(recordset->IsEOF());
    EXPECT_EQ(recordset->GetRecordCount(), 0);

    // Opened on another file, the connection takes no update of the old recordset there.
    const QString other = MakeDatabase("otro.mdb", {"CREATE TABLE CANALES (NUMERO TEXT, PRODUCTO INTEGER, PRECIO INTEGER)",
                                                    "INSERT INTO CANALES VALUES ('1',10,0)"});
    ASSERT_TRUE(connection->Open(path, false, false));
    ASSERT_TRUE(recordset->Open("SELECT * FROM CANALES ORDER BY NUMERO", false));
    ASSERT_TRUE(connection->Open(other, false, false));
    EXPECT_FALSE(recordset->IsOpen());
    recordset->Edit();
    recordset->SetFieldString("PRODUCTO", "77");
    recordset->Update();
    EXPECT_FALSE(Boxes().isEmpty());
    EXPECT_EQ(connection->QueryInt("SELECT PRODUCTO FROM CANALES"), 10);
    EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM CANALES"), 1);
}

TEST_F(DAODBRecordsetTest, AnAggregateOfADateColumnIsADate)
{
    connection->Execute("INSERT INTO VALORES (DT) VALUES (#03/06/2024 14:07:09#)");
    connection->Execute("INSERT INTO VALORES (DT) VALUES (#03/01/2024#)");
    auto recordset = connection->CreateRecordset();
    recordset->Open("SELECT MAX(DT), MIN(DT), MAX(T) FROM VALORES", false);
    EXPECT_EQ(recordset->GetFieldType(0), DBRecordset::Date);
    EXPECT_EQ(recordset->GetFieldText(0), "06/03/2024 14:07:09");
    EXPECT_EQ(recordset->GetFieldText(1), "01/03/2024");
    EXPECT_EQ(recordset->GetFieldDate(recordset->GetFieldName(0)), OleDateTime(2024, 3, 6, 14, 7, 9));
    EXPECT_EQ(connection->QueryString("SELECT MAX(DT) FROM VALORES"), "06/03/2024 14:07:09");
    // Text that only looks like a date in part stays text.
    EXPECT_EQ(connection->QueryString("SELECT '2024-03-06 14:07'"), "2024-03-06 14:07");
    EXPECT_EQ(Boxes(), QStringList());
}
