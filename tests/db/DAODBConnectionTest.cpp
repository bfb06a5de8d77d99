#include "db/DBException.h"
#include "tests/db/DatabaseTest.h"
#include "tests/db/FullDiskVfs.h"
#include "tests/db/ThrowingConnection.h"
#include "tests/db/WriteProtectionVfs.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/FileOwners.h"
#include "tests/support/LinkedTargets.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ProtectedTargets.h"
#include "tests/support/SyncProbe.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace {

class DAODBConnectionTest : public DatabaseTest {
protected:
    QString MakeMachines()
    {
        return MakeDatabase("gestion.mdb", {
            "CREATE TABLE MAQUINAS (CODIGO INTEGER, TIPO INTEGER, NOMBRE TEXT COLLATE NOCASE)",
            "CREATE TABLE VACIA (CODIGO INTEGER)",
        });
    }

    static QByteArray FileBytes(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // What the call throws; an empty exception, and a test failure, when it throws nothing.
    template <typename Call>
    static DBException Thrown(Call call)
    {
        try {
            call();
        } catch (const DBException& e) {
            return e;
        }
        ADD_FAILURE() << "no exception";
        return DBException(QString());
    }
};

} // namespace

TEST_F(DAODBConnectionTest, AMissingFileFailsToOpenAndIsNotCreated)
{
    const QString path = Path("CONFIGURACIONES.MDB");
    DAODBConnection connection;
    EXPECT_FALSE(connection.Open(path, true, true));
    EXPECT_FALSE(connection.Open(path, false, false));
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_EQ(QDir(app.tempPath()).entryList({"CONFIGURACIONES*"}, QDir::Files), QStringList());
    ASSERT_EQ(Boxes().size(), 2);
    EXPECT_EQ(Boxes()[0], "unable to open database file (" + QDir::toNativeSeparators(path) + ")");
    EXPECT_EQ(app.messages().shown()[0].kind, fw::MessageKind::Framework);
}

TEST_F(DAODBConnectionTest, AFileThatIsNotADatabaseFailsAtOpenAndStaysAsItWas)
{
    const QString path = Path("NombresProductos.MDB");
    const QByteArray bytes = QByteArray("Standard Jet DB\0", 16).repeated(64);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    DAODBConnection connection;
    EXPECT_FALSE(connection.Open(path, false, false));
    EXPECT_EQ(Boxes(), QStringList({"file is not a database (" + QDir::toNativeSeparators(path) + ")"}));
    EXPECT_EQ(FileBytes(path), bytes);
}

TEST_F(DAODBConnectionTest, AReadOnlyConnectionRefusesWrites)
{
    const QString path = MakeMachines();
    auto connection = OpenDatabase(path, false, true);
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)"), -1);
    EXPECT_EQ(Boxes(), QStringList({"attempt to write a readonly database"}));
    EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM MAQUINAS"), 0);
}

TEST_F(DAODBConnectionTest, AWriteProtectedFileDoesNotOpenForWriting)
{
    const QString path = MakeMachines();
    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const WriteProtectionVfs protection;
    const QByteArray before = FileBytes(path);
    for (bool exclusive : {false, true}) {
        SCOPED_TRACE(exclusive ? "exclusive" : "shared");
        ClearBoxes();
        DAODBConnection connection;
        EXPECT_FALSE(connection.Open(path, exclusive, false));
        EXPECT_FALSE(connection.IsOpen());
        EXPECT_EQ(Boxes(), QStringList{"attempt to write a readonly database (" + QDir::toNativeSeparators(path) + ")"});
    }
    // Reading is what it allows.
    ClearBoxes();
    auto reader = OpenDatabase(path, true, true);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->QueryInt("SELECT COUNT(*) FROM MAQUINAS"), 0);
    EXPECT_EQ(Boxes(), QStringList());
    EXPECT_EQ(FileBytes(path), before);
}

TEST_F(DAODBConnectionTest, ATransactionTheEngineEndsKeepsNothingAndRefusesWhatFollows)
{
    const QString rollbackTrigger = "CREATE TRIGGER refuse BEFORE INSERT ON MAQUINAS WHEN NEW.CODIGO=2 "
                                    "BEGIN SELECT RAISE(ROLLBACK,'refused'); END";
    // Room for everything until a case fills the disk.
    FullDiskVfs disk;
    const struct {
        const char* name;
        std::function<void(DAODBConnection&)> setUp;
        QString failing;
        QString box;
        bool diskFullBeforeFailing;
    } cases[] = {
        // The engine rolls the whole transaction back by itself.
        {"rolled back by a trigger",
         [&](DAODBConnection& connection) { ASSERT_EQ(connection.Execute(rollbackTrigger), 0); },
         "INSERT INTO MAQUINAS (CODIGO) VALUES (2)", "refused", false},
        // One row: the engine rolls the whole transaction back by itself.
        {"a full database",
         [](DAODBConnection& connection) {
             ASSERT_EQ(sqlite3_exec(connection.Handle(), "PRAGMA max_page_count=1", nullptr, nullptr, nullptr), SQLITE_OK);
         },
         "INSERT INTO MAQUINAS (CODIGO,NOMBRE) VALUES (2,hex(zeroblob(20000)))", "database or disk is full", false},
        // Rows of a statement that may stop half-way: the engine undoes the statement alone and
        // would go on with the transaction; the connection ends it.
        {"a full disk under a statement of many rows", [](DAODBConnection&) {},
         "INSERT INTO MAQUINAS (CODIGO,NOMBRE) SELECT CODIGO+1,hex(zeroblob(20000)) FROM MAQUINAS",
         "database or disk is full", true},
    };
    const QString ended = QStringLiteral("La base de datos ha anulado la transacción; no se ha guardado nada de ella.");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = MakeMachines();
        auto connection = OpenDatabase(path, true);
        ASSERT_TRUE(connection);
        c.setUp(*connection);
        const QByteArray before = FileBytes(path);
        ClearBoxes();

        ASSERT_TRUE(connection->BeginTrans());
        EXPECT_EQ(connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)"), 1);
        // An ordinary error leaves the transaction going.
        EXPECT_EQ(connection->Execute("INSERT INTO NO_TABLE (CODIGO) VALUES (1)"), -1);
        EXPECT_FALSE(connection->TransactionEnded());
        if (c.diskFullBeforeFailing)
            disk.setFreeBytes(0);
        EXPECT_EQ(connection->Execute(c.failing), -1);
        // Even with room again nothing more is kept.
        disk.makeRoom();
        EXPECT_TRUE(connection->TransactionEnded());
        ASSERT_EQ(Boxes().size(), 2);
        EXPECT_EQ(Boxes().last(), c.box);

        // Nothing after it runs, and nothing more is shown.
        EXPECT_EQ(connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (3)"), -1);
        EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM MAQUINAS"), -1);
        EXPECT_FALSE(connection->Exists("SELECT * FROM VACIA"));
        EXPECT_FALSE(connection->BeginTrans());
        EXPECT_FALSE(connection->CommitTrans());
        EXPECT_EQ(Boxes().size(), 2);
        {
            // A caller in throw mode learns of every refusal.
            const DBConnection::ThrowModeScope throwing(*connection);
            const DBException e = Thrown([&] { connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (4)"); });
            EXPECT_EQ(e.GetErrorMessage(), ended);
            EXPECT_EQ(e.GetQuery(), "INSERT INTO MAQUINAS (CODIGO) VALUES (4)");
        }

        // The rollback acknowledges the end; the file is as it was and takes statements again.
        EXPECT_TRUE(connection->Rollback());
        EXPECT_FALSE(connection->TransactionEnded());
        EXPECT_EQ(connection->GetTransDepth(), 0);
        EXPECT_EQ(FileBytes(path), before);
        EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM MAQUINAS"), 0);
        EXPECT_EQ(connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (5)"), 1);
        EXPECT_EQ(Boxes().size(), 2);
        connection.reset();
        QFile::remove(path);
        ClearBoxes();
    }
}

TEST_F(DAODBConnectionTest, TheLastErrorSaysWhetherTheFileOrTheStatementWasAtFault)
{
    enum class File { AsItIs, DamagedPage, InAFolderWithoutWritePermission };
    const struct {
        const char* what;
        File file;
        std::function<void(DAODBConnection&)> fail;
        bool unusable;
    } cases[] = {
        {"a missing table", File::AsItIs,
         [](DAODBConnection& connection) { EXPECT_EQ(connection.Execute("INSERT INTO NO_TABLE (CODIGO) VALUES (1)"), -1); },
         false},
        {"a refusing trigger", File::AsItIs,
         [](DAODBConnection& connection) {
             ASSERT_EQ(connection.Execute("CREATE TRIGGER refuse BEFORE INSERT ON VACIA BEGIN SELECT RAISE(ABORT,'no'); END"), 0);
             EXPECT_EQ(connection.Execute("INSERT INTO VACIA VALUES (1)"), -1);
         },
         false},
        {"a text read as a number", File::AsItIs,
         [](DAODBConnection& connection) {
             ASSERT_EQ(connection.Execute("INSERT INTO MAQUINAS (CODIGO,TIPO) VALUES (1,'X')"), 1);
             auto rows = connection.CreateRecordset();
             rows->Open("SELECT TIPO FROM MAQUINAS", false);
             EXPECT_EQ(rows->GetFieldLong("TIPO"), -1);
         },
         false},
        {"a damaged page", File::DamagedPage,
         [](DAODBConnection& connection) { EXPECT_EQ(connection.QueryInt("SELECT COUNT(*) FROM MAQUINAS"), -1); }, true},
        {"no journal can be made", File::InAFolderWithoutWritePermission,
         [](DAODBConnection& connection) { EXPECT_EQ(connection.Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)"), -1); },
         true},
    };
    const QString folder = Path("protected");
    ASSERT_TRUE(QDir().mkpath(folder));
    const auto writable = [&](bool on) {
        const QFile::Permissions entered = QFile::ReadOwner | QFile::ExeOwner;
        return QFile::setPermissions(folder, on ? entered | QFile::WriteOwner : entered);
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearBoxes();
        const QString path = MakeDatabase("protected/gestion.mdb", {
            "CREATE TABLE MAQUINAS (CODIGO INTEGER, TIPO INTEGER)",
            "CREATE TABLE VACIA (CODIGO INTEGER)",
        });
        if (c.file == File::DamagedPage) {
            ASSERT_TRUE(DamagedFiles::DamageTablePages(path, {"MAQUINAS"}));
        }
        std::optional<WriteProtectionVfs> protection;
        if (c.file == File::InAFolderWithoutWritePermission) {
            ASSERT_TRUE(writable(false));
            protection.emplace();
        }
        auto connection = OpenDatabase(path, true);
        ASSERT_TRUE(connection);
        EXPECT_FALSE(connection->LastErrorUnusable());
        c.fail(*connection);
        EXPECT_EQ(connection->LastErrorUnusable(), c.unusable);
        EXPECT_EQ(Boxes().size(), 1);
        // It is the last error's: one of a statement after it clears it.
        EXPECT_FALSE(connection->Exists("SELECT * FROM NO_TABLE"));
        EXPECT_FALSE(connection->LastErrorUnusable());
        connection.reset();
        protection.reset();
        ASSERT_TRUE(writable(true));
        QFile::remove(path);
    }
}

TEST_F(DAODBConnectionTest, AnExclusiveConnectionKeepsEveryOtherOut)
{
    const QString path = MakeMachines();
    auto owner = OpenDatabase(path, true, false);
    ASSERT_TRUE(owner);
    const std::pair<bool, bool> modes[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const auto& [exclusive, readOnly] : modes) {
        DAODBConnection other;
        EXPECT_FALSE(other.Open(path, exclusive, readOnly));
    }
    EXPECT_EQ(Boxes().size(), 4);
    EXPECT_TRUE(Boxes()[0].startsWith("database is locked"));

    owner->Close();
    DAODBConnection other;
    EXPECT_TRUE(other.Open(path, true, false));
}

TEST_F(DAODBConnectionTest, ExclusiveReadersShareTheFileAndKeepWritersOut)
{
    const QString path = MakeMachines();
    auto first = OpenDatabase(path, true, true);
    auto second = OpenDatabase(path, true, true);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->QueryInt("SELECT COUNT(*) FROM MAQUINAS"), 0);

    DAODBConnection writer;
    EXPECT_FALSE(writer.Open(path, true, false));
    ASSERT_TRUE(writer.Open(path, false, false));
    EXPECT_EQ(writer.Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)"), -1);
    EXPECT_EQ(Boxes().size(), 2);
}

TEST_F(DAODBConnectionTest, AFailedOpenKeepsTheDatabaseThatWasOpen)
{
    const QString path = MakeMachines();
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    EXPECT_FALSE(connection->Open(Path("otra.mdb"), false, false));
    EXPECT_TRUE(connection->IsOpen());
    EXPECT_EQ(connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)"), 1);
}

TEST_F(DAODBConnectionTest, CloseTwiceDoesNothingTheSecondTimeAndOpenWorksAgain)
{
    const QString path = MakeMachines();
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    connection->Close();
    connection->Close();
    EXPECT_FALSE(connection->IsOpen());
    EXPECT_EQ(connection->Execute("DELETE FROM MAQUINAS"), -1);
    EXPECT_EQ(Boxes(), QStringList({DAODBConnection::NotOpenText()}));
    EXPECT_TRUE(connection->Open(path, false, false));
    EXPECT_EQ(connection->Execute("DELETE FROM MAQUINAS"), 0);
}

TEST_F(DAODBConnectionTest, CreateDatabaseLeavesTheConnectionAsItWas)
{
    const QString first = MakeMachines();
    const QString created = Path("nueva.mdb");
    DAODBConnection connection;
    EXPECT_TRUE(connection.CreateDatabase(created));
    EXPECT_FALSE(connection.IsOpen());
    EXPECT_GT(QFileInfo(created).size(), 0);

    ASSERT_TRUE(connection.Open(first, false, false));
    EXPECT_TRUE(connection.CreateDatabase(Path("otra.mdb")));
    EXPECT_TRUE(connection.Exists("SELECT * FROM sqlite_master WHERE name='MAQUINAS'"));

    ASSERT_TRUE(connection.Open(created, false, false));
    EXPECT_EQ(connection.Execute("CREATE TABLE T (A INTEGER)"), 0);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, CreateDatabaseRefusesAFileThatExists)
{
    const QString path = MakeMachines();
    const QByteArray before = FileBytes(path);
    DAODBConnection connection;
    EXPECT_FALSE(connection.CreateDatabase(path));
    EXPECT_EQ(Boxes(), QStringList({"La base de datos ya existe. (" + QDir::toNativeSeparators(path) + ")"}));
    EXPECT_EQ(FileBytes(path), before);
}

TEST_F(DAODBConnectionTest, ExecuteGivesTheRowsAffected)
{
    auto connection = OpenDatabase(MakeMachines());
    ASSERT_TRUE(connection);
    const std::pair<const char*, int> cases[] = {
        {"INSERT INTO MAQUINAS (CODIGO,TIPO) VALUES (1,42)", 1},
        {"INSERT INTO MAQUINAS (CODIGO,TIPO) SELECT CODIGO+1,TIPO FROM MAQUINAS", 1},
        {"INSERT INTO MAQUINAS (CODIGO,TIPO) SELECT CODIGO+2,87 FROM MAQUINAS", 2},
        {"UPDATE MAQUINAS SET TIPO=95 WHERE TIPO=42", 2},
        {"UPDATE MAQUINAS SET TIPO=95 WHERE CODIGO=99", 0},
        {"CREATE TABLE OTRA (A INTEGER)", 0},
        {"DELETE FROM MAQUINAS WHERE TIPO=87 ", 2},
        {"DELETE FROM MAQUINAS", 2},
    };
    for (const auto& [sql, rows] : cases)
        EXPECT_EQ(connection->Execute(sql), rows) << sql;
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, EveryExecuteModeCountsAndReportsAlike)
{
    auto connection = OpenDatabase(MakeMachines());
    ASSERT_TRUE(connection);
    connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)");
    connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (2)");
    for (int mode : {0, 1, 2}) {
        EXPECT_EQ(connection->Execute("UPDATE MAQUINAS SET TIPO=TIPO", mode), 2) << mode;
        EXPECT_EQ(connection->Execute("UPDATE NO_EXISTE SET TIPO=1", mode), -1) << mode;
    }
    EXPECT_EQ(Boxes().size(), 3);
}

TEST_F(DAODBConnectionTest, ExecuteRefusesWhatIsNotOneActionStatement)
{
    auto connection = OpenDatabase(MakeMachines());
    ASSERT_TRUE(connection);
    connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)");
    EXPECT_EQ(connection->Execute("SELECT * FROM MAQUINAS"), -1);
    EXPECT_EQ(connection->Execute("DELETE FROM VACIA; DROP TABLE MAQUINAS"), -1);
    EXPECT_EQ(connection->Execute("   "), -1);
    EXPECT_EQ(connection->Execute("DELETE FROM VACIA;;  "), 0);
    EXPECT_EQ(Boxes().size(), 3);
    EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM MAQUINAS"), 1);
}

TEST_F(DAODBConnectionTest, ShortcutsReportAMissingTableOnceAndGiveTheirNoRowResult)
{
    auto connection = OpenDatabase(MakeMachines());
    ASSERT_TRUE(connection);
    struct ShortcutCase {
        const char* sql;
        bool exists;
        int integer;
        int boxes;
    };
    const ShortcutCase cases[] = {
        {"SELECT MAX(CODIGO) FROM MAQUINAS", true, -1, 0},
        {"SELECT CODIGO FROM MAQUINAS WHERE TIPO=42", false, -1, 0},
        {"SELECT MAX(CODIGO) FROM NO_EXISTE", false, -1, 1},
    };
    for (const ShortcutCase& c : cases) {
        ClearBoxes();
        EXPECT_EQ(connection->Exists(c.sql), c.exists) << c.sql;
        EXPECT_EQ(connection->QueryInt(c.sql), c.integer) << c.sql;
        EXPECT_EQ(connection->QueryString(c.sql), QString()) << c.sql;
        EXPECT_EQ(Boxes().size(), 3 * c.boxes) << c.sql;
    }
    EXPECT_EQ(Boxes()[0], "no such table: NO_EXISTE");
}

TEST_F(DAODBConnectionTest, ShortcutsReadTheFirstColumnOfTheFirstRow)
{
    auto connection = OpenDatabase(MakeMachines());
    ASSERT_TRUE(connection);
    connection->Execute("INSERT INTO MAQUINAS (CODIGO,TIPO,NOMBRE) VALUES (7,42,'O''Neil')");
    connection->Execute("INSERT INTO MAQUINAS (CODIGO,TIPO,NOMBRE) VALUES (8,42,'abc')");
    EXPECT_EQ(connection->QueryInt("SELECT CODIGO FROM MAQUINAS ORDER BY CODIGO"), 7);
    EXPECT_EQ(connection->QueryInt("SELECT MAX(CODIGO) FROM MAQUINAS"), 8);
    EXPECT_EQ(connection->QueryString("SELECT CODIGO FROM MAQUINAS ORDER BY CODIGO"), "7");
    EXPECT_EQ(connection->QueryString("SELECT NOMBRE FROM MAQUINAS WHERE CODIGO=7"), "O`Neil");
    // Text keys compare without regard to case, as they did in the Jet files.
    EXPECT_EQ(connection->QueryInt("SELECT CODIGO FROM MAQUINAS WHERE NOMBRE='ABC'"), 8);
    EXPECT_EQ(Boxes(), QStringList());

    EXPECT_EQ(connection->QueryInt("SELECT NOMBRE FROM MAQUINAS WHERE CODIGO=8"), -1);
    EXPECT_EQ(Boxes(), QStringList({"No coinciden los tipos de datos."}));
}

TEST_F(DAODBConnectionTest, ShortcutsNeverRunAnActionStatement)
{
    auto connection = OpenDatabase(MakeMachines());
    ASSERT_TRUE(connection);
    connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)");
    EXPECT_EQ(connection->QueryInt("DELETE FROM MAQUINAS"), -1);
    EXPECT_FALSE(connection->Exists("DELETE FROM MAQUINAS"));
    EXPECT_EQ(Boxes().size(), 2);
    EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM MAQUINAS"), 1);
}

TEST_F(DAODBConnectionTest, QuotedTextsKeepTheirApostrophesAndStayValues)
{
    auto connection = OpenDatabase(MakeMachines());
    ASSERT_TRUE(connection);
    const QString names[] = {"LECHE D'ORO", "x'); DELETE FROM MAQUINAS; --", "''", "'"};
    int code = 0;
    for (const QString& name : names) {
        const QString sql = QStringLiteral("INSERT INTO MAQUINAS (CODIGO,NOMBRE) VALUES (%1,'%2')")
                                .arg(++code)
                                .arg(FormatString::EscapeSqlText(name));
        EXPECT_EQ(connection->Execute(sql), 1) << name.toStdString();
        EXPECT_EQ(connection->QueryInt(QStringLiteral("SELECT CODIGO FROM MAQUINAS WHERE NOMBRE='%1'")
                                           .arg(FormatString::EscapeSqlText(name))),
                  code);
        auto recordset = connection->CreateRecordset();
        recordset->Open(QStringLiteral("SELECT NOMBRE FROM MAQUINAS WHERE CODIGO=%1").arg(code), false);
        EXPECT_EQ(recordset->GetFieldString("NOMBRE"), name);
    }
    EXPECT_EQ(connection->QueryInt("SELECT COUNT(*) FROM MAQUINAS"), 4);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, DateLiteralsRoundTrip)
{
    auto connection = OpenDatabase(MakeDatabase("fechas.mdb", {"CREATE TABLE F (CODIGO INTEGER, FECHA DATETIME)"}));
    ASSERT_TRUE(connection);
    const OleDateTime when(2024, 3, 5, 14, 7, 9);
    EXPECT_EQ(connection->FormatDateLiteral(when, false), "#03/05/2024 14:07:09#");
    EXPECT_EQ(connection->FormatDateLiteral(when, true), "#03/05/2024#");
    EXPECT_EQ(connection->FormatDateLiteral(OleDateTime::Null(), false), "NULL");

    const std::pair<int, QString> rows[] = {
        {1, connection->FormatDateLiteral(when, false)},
        {2, connection->FormatDateLiteral(when, true)},
        {3, connection->FormatDateLiteral(OleDateTime(2024, 2, 30, 0, 0, 0), false)},
    };
    for (const auto& [code, literal] : rows)
        EXPECT_EQ(connection->Execute(QStringLiteral("INSERT INTO F VALUES (%1,%2)").arg(code).arg(literal)), 1);
    auto recordset = connection->CreateRecordset();
    recordset->Open("SELECT * FROM F ORDER BY CODIGO", false);
    EXPECT_EQ(recordset->GetFieldDate("FECHA"), when);
    recordset->MoveNext();
    EXPECT_EQ(recordset->GetFieldDate("FECHA"), OleDateTime(2024, 3, 5, 0, 0, 0));
    EXPECT_EQ(recordset->GetFieldText("FECHA"), "05/03/2024");
    recordset->MoveNext();
    EXPECT_TRUE(recordset->IsFieldNull("FECHA"));
    EXPECT_TRUE(connection->Exists("SELECT * FROM F WHERE FECHA>=#03/05/2024 14:00# AND FECHA<#03/06/2024#"));
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, TheLastMomentOfTheRangeMakesALiteralThatIsTakenBack)
{
    auto connection = OpenDatabase(MakeDatabase("limite.mdb", {"CREATE TABLE F (FECHA DATETIME)"}));
    ASSERT_TRUE(connection);
    const OleDateTime last(OleDateTime(9999, 12, 31, 0, 0, 0).Days() + 0.99999999);
    const QString literal = connection->FormatDateLiteral(last, false);
    EXPECT_EQ(literal, "#12/31/9999 23:59:59#");
    EXPECT_EQ(connection->Execute("INSERT INTO F VALUES (" + literal + ")"), 1);
    EXPECT_EQ(connection->QueryString("SELECT FECHA FROM F"), "31/12/9999 23:59:59");
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, IntegersBeyond32BitsShowAsWholeNumbers)
{
    auto connection = OpenDatabase(MakeMachines());
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->QueryString("SELECT 3000000000"), "3000000000");
    EXPECT_EQ(connection->QueryString("SELECT -3000000000 * 1000"), "-3000000000000");
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, TheBareIndexColumnWorks)
{
    auto connection = OpenDatabase(MakeDatabase("opciones.mdb", {
        "CREATE TABLE TIPOS_OPCIONES (NUMERO_OPCION INTEGER, NUMERO_TIPO INTEGER, TIPO INTEGER, INDEX INTEGER)",
        "CREATE INDEX POR_INDICE ON TIPOS_OPCIONES (INDEX)",
        "INSERT INTO TIPOS_OPCIONES (NUMERO_OPCION,NUMERO_TIPO,TIPO,INDEX) VALUES (500,87,31,1)",
    }));
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->QueryInt("SELECT NUMERO_OPCION FROM TIPOS_OPCIONES WHERE TIPO=31 AND NUMERO_TIPO=87 AND INDEX=1"), 500);
    EXPECT_EQ(connection->QueryInt("SELECT [INDEX] FROM TIPOS_OPCIONES"), 1);
}

TEST_F(DAODBConnectionTest, ThrowModeThrowsInsteadOfShowing)
{
    const QString path = MakeMachines();
    ThrowingConnection connection;
    const DBException missing = Thrown([&] { connection.Open(Path("falta.mdb"), false, false); });
    EXPECT_TRUE(missing.GetErrorMessage().startsWith("unable to open database file"));
    EXPECT_EQ(missing.GetQuery(), QString());
    ASSERT_TRUE(connection.Open(path, false, false));
    const char* const sql = "DELETE FROM NO_EXISTE";
    const DBException noTable = Thrown([&] { connection.Execute(sql); });
    EXPECT_EQ(noTable.GetErrorMessage(), "no such table: NO_EXISTE");
    EXPECT_EQ(noTable.GetQuery(), sql);
    EXPECT_THROW(connection.QueryInt("SELECT A FROM NO_EXISTE"), DBException);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, CompactionShrinksTheFileAndKeepsItsOpenMode)
{
    const QString path = MakeMachines();
    auto connection = OpenDatabase(path, true, false);
    ASSERT_TRUE(connection);
    connection->Execute("INSERT INTO MAQUINAS (CODIGO,NOMBRE) VALUES (1,'primera')");
    connection->BeginTrans();
    for (int i = 2; i < 2000; ++i)
        connection->Execute(QStringLiteral("INSERT INTO MAQUINAS (CODIGO,NOMBRE) VALUES (%1,'%2')").arg(i).arg(QString(200, 'x')));
    connection->CommitTrans();
    connection->Execute("DELETE FROM MAQUINAS WHERE CODIGO>1");
    const qint64 before = QFileInfo(path).size();

    EXPECT_TRUE(connection->Compact());
    EXPECT_LT(QFileInfo(path).size(), before);
    EXPECT_TRUE(connection->IsOpen());
    EXPECT_EQ(connection->QueryString("SELECT NOMBRE FROM MAQUINAS"), "primera");
    EXPECT_EQ(QDir(app.tempPath()).entryList(QDir::Files), QStringList({"gestion.mdb"}));
    EXPECT_EQ(Boxes(), QStringList());

    DAODBConnection other;
    EXPECT_FALSE(other.Open(path, false, true)); // still exclusive
}

TEST_F(DAODBConnectionTest, AFailedCompactionSaysSoAndLeavesTheDatabaseUsable)
{
    const QString path = MakeMachines();
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    connection->BeginTrans();
    EXPECT_FALSE(connection->Compact());
    EXPECT_EQ(Boxes().size(), 1);
    EXPECT_EQ(connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (1)"), 1);
    EXPECT_EQ(QDir(app.tempPath()).entryList({"gestion.mdb.*"}, QDir::Files | QDir::Hidden), QStringList());

    ClearBoxes();
    auto reader = OpenDatabase(MakeDatabase("lectura.mdb", {}), false, true);
    ASSERT_TRUE(reader);
    EXPECT_FALSE(reader->Compact());
    EXPECT_EQ(Boxes(), QStringList({"attempt to write a readonly database"}));
    EXPECT_TRUE(reader->IsOpen());
}

TEST_F(DAODBConnectionTest, CompactionKeepsTheFilesGroupOwnerAndModeAndTakesALongName)
{
    // The longest name whose rollback journal still fits beside it: 247 bytes.
    const QString name = QString(243, 'g') + ".mdb";
    const QString path = MakeDatabase(name, {"CREATE TABLE MAQUINAS (CODIGO INTEGER)"});
    const bool givenAway = FileOwners::mayGiveAway();
    if (givenAway) {
        ASSERT_TRUE(FileOwners::give(path, FileOwners::OtherUser, FileOwners::OtherGroup, 0640));
    }
    const struct stat before = FileOwners::status(path);
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (7)");

    EXPECT_TRUE(connection->Compact());
    EXPECT_EQ(Boxes(), QStringList());
    EXPECT_EQ(connection->QueryInt("SELECT CODIGO FROM MAQUINAS"), 7);
    EXPECT_EQ(QDir(app.tempPath()).entryList(QDir::Files | QDir::Hidden), QStringList{name});
    const struct stat after = FileOwners::status(path);
    EXPECT_NE(after.st_ino, before.st_ino); // the copy took the place of the file
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode, before.st_mode);
    if (givenAway) {
        EXPECT_EQ(after.st_gid, FileOwners::OtherGroup);
    }
}

TEST_F(DAODBConnectionTest, CompactionSyncsTheCopyBeforeItTakesThePlaceOfTheDatabaseAndThenTheFolder)
{
    const QString path = MakeMachines();
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    SyncProbe probe;
    ASSERT_TRUE(connection->Compact());
    const QList<SyncProbe::Sync> syncs = probe.syncsUnder(app.tempPath());
    qsizetype copySynced = -1;
    qsizetype folderSynced = -1;
    for (qsizetype i = 0; i < syncs.size(); ++i) {
        const QString name = QFileInfo(syncs[i].path).fileName();
        if (!syncs[i].folder && name.startsWith("gestion.mdb.") && copySynced < 0)
            copySynced = i;
        if (syncs[i].folder && syncs[i].entries == QStringList{"gestion.mdb"})
            folderSynced = i;
    }
    EXPECT_GE(copySynced, 0) << probe.describe().toStdString();
    EXPECT_GT(folderSynced, copySynced) << probe.describe().toStdString();
}

TEST_F(DAODBConnectionTest, CompactionReplacesTheFileThatOpeningItsNameGivesWhateverLinksLeadThere)
{
    const QString source = MakeMachines();
    {
        auto connection = OpenDatabase(source);
        ASSERT_TRUE(connection);
        connection->Execute("INSERT INTO MAQUINAS (CODIGO,NOMBRE) VALUES (1,'primera')");
    }
    const QByteArray database = FileBytes(source);
    for (const LinkedTargets::Case& c : LinkedTargets::cases()) {
        if (!c.openedThere)
            continue; // only a database that is there opens
        ClearBoxes();
        QTemporaryDir dir;
        ASSERT_TRUE(LinkedTargets::make(dir.path(), c, database)) << c.what;
        const QString others = LinkedTargets::others(dir.path(), c);
        const ino_t before = FileOwners::status(dir.filePath(c.opened)).st_ino;
        auto connection = OpenDatabase(dir.path() + "/" + c.name);
        ASSERT_TRUE(connection) << c.what;
        EXPECT_TRUE(connection->Compact()) << c.what;
        EXPECT_EQ(Boxes(), QStringList()) << c.what;
        EXPECT_NE(FileOwners::status(dir.filePath(c.opened)).st_ino, before) << c.what;
        EXPECT_EQ(connection->QueryString("SELECT NOMBRE FROM MAQUINAS"), "primera") << c.what;
        connection.reset();
        EXPECT_EQ(LinkedTargets::others(dir.path(), c), others) << c.what;
    }
}

TEST_F(DAODBConnectionTest, ACompactionOfAFileWriteProtectedSinceItWasOpenedIsRefused)
{
    const OrdinaryUser user;
    if (!user.available())
        GTEST_SKIP() << user.whyNot().toStdString();
    const QByteArray database = FileBytes(MakeMachines());
    QTemporaryDir dir;
    const QString path = dir.filePath("gestion.mdb");
    const ProtectedTargets::Case own{"the user's own database", false, 0644, false};
    ASSERT_TRUE(ProtectedTargets::make(path, database, own, user));
    const QString result = user.run([&] {
        DAODBConnection connection;
        if (!connection.Open(path, false, false))
            return "not opened: " + Boxes().join(" | ");
        const QByteArray name = QFile::encodeName(path);
        if (::chmod(name.constData(), 0444) != 0)
            return QStringLiteral("not write-protected");
        const QString before = ProtectedTargets::state(path);
        const bool compacted = connection.Compact();
        const QString after = ProtectedTargets::state(path);
        return QStringList{compacted ? "compacted" : "not compacted", after == before ? "file as it was" : after,
                           Boxes().join(" | "), QString::number(connection.QueryInt("SELECT COUNT(*) FROM MAQUINAS"))}
            .join("; ");
    });
    EXPECT_EQ(result, "not compacted; file as it was; " + qt_error_string(EACCES) + " (" + QDir::toNativeSeparators(path) + "); 0");
}

TEST_F(DAODBConnectionTest, ACompactionWhoseSyncFailsSaysSoOnceAndLeavesTheDatabaseUsable)
{
    struct Case {
        const char* what;
        bool folder;
        bool oldFileKept;
    };
    const Case cases[] = {
        {"the copy cannot be synced: the old database stays", false, true},
        {"the folder cannot be synced: the copy is in place", true, false},
    };
    for (const Case& c : cases) {
        ClearBoxes();
        const QString path = MakeMachines();
        auto connection = OpenDatabase(path, true, false);
        ASSERT_TRUE(connection) << c.what;
        connection->Execute("INSERT INTO MAQUINAS (CODIGO,NOMBRE) VALUES (1,'primera')");
        const QByteArray old = FileBytes(path);
        const ino_t oldFile = FileOwners::status(path).st_ino;
        {
            SyncProbe probe;
            (c.folder ? probe.failFolders(EIO) : probe.failFiles(EIO));
            EXPECT_FALSE(connection->Compact()) << c.what;
        }
        ASSERT_EQ(Boxes().size(), 1) << c.what;
        EXPECT_TRUE(Boxes()[0].startsWith(qt_error_string(EIO))) << c.what << ": " << Boxes()[0].toStdString();
        EXPECT_EQ(FileOwners::status(path).st_ino == oldFile, c.oldFileKept) << c.what;
        if (c.oldFileKept) {
            EXPECT_EQ(FileBytes(path), old) << c.what;
        }
        EXPECT_EQ(QDir(app.tempPath()).entryList(QDir::Files | QDir::Hidden), QStringList{"gestion.mdb"}) << c.what;
        EXPECT_TRUE(connection->IsOpen()) << c.what;
        EXPECT_EQ(connection->QueryString("SELECT NOMBRE FROM MAQUINAS"), "primera") << c.what;
        connection.reset();
        ASSERT_TRUE(QFile::remove(path));
    }
}

TEST_F(DAODBConnectionTest, ADamagedDatabaseFileIsRefusedAtOpenWithOneMessageNamingIt)
{
    struct Case {
        const char* what;
        std::function<bool(const QString&)> make;
        QString (*message)(const QString& nativePath);
    };
    const QString source = MakeMachines();
    const Case cases[] = {
        {"a FIFO", DamagedFiles::MakeFifo,
         [](const QString& p) { return "unable to open database file (" + p + ")"; }},
        {"a folder", [](const QString& p) { return QDir().mkpath(p); },
         [](const QString& p) { return "unable to open database file (" + p + ")"; }},
        {"an empty file", DamagedFiles::MakeEmptyFile,
         [](const QString& p) { return "file is not a database (" + p + ")"; }},
        {"a journal left beside it",
         [&](const QString& p) { return QFile::copy(source, p) && DamagedFiles::LeaveHalfWritten(p); },
         [](const QString& p) { return "La base de datos " + p + " quedó a medio escribir por otro programa."; }},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString path = Path(QStringLiteral("danada%1.MDB").arg(++n));
        ASSERT_TRUE(c.make(path)) << c.what;
        ClearBoxes();
        DAODBConnection connection;
        EXPECT_FALSE(connection.Open(path, false, true)) << c.what;
        EXPECT_FALSE(connection.IsOpen()) << c.what;
        EXPECT_EQ(Boxes(), QStringList({c.message(QDir::toNativeSeparators(path))})) << c.what;
    }
}

TEST_F(DAODBConnectionTest, AWriterOpenRollsBackWhatTheStoppedWriterLeftHalfWritten)
{
    const QString path = MakeMachines();
    {
        auto connection = OpenDatabase(path);
        ASSERT_TRUE(connection);
        ASSERT_EQ(connection->Execute("INSERT INTO MAQUINAS (CODIGO) VALUES (7)"), 1);
    }
    ASSERT_TRUE(DamagedFiles::LeaveHalfWritten(path));
    auto writer = OpenDatabase(path);
    ASSERT_TRUE(writer);
    EXPECT_EQ(writer->QueryInt("SELECT CODIGO FROM MAQUINAS"), 7);
    EXPECT_FALSE(writer->Exists("SELECT * FROM sqlite_master WHERE name='MEDIO_ESCRITA'"));
    writer->Close();
    auto reader = OpenDatabase(path, false, true);
    ASSERT_TRUE(reader);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, AReaderWaitsForAWritersTransactionToEnd)
{
    const QString path = MakeMachines();
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &writer, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE; INSERT INTO MAQUINAS (CODIGO) VALUES (3)", nullptr, nullptr, nullptr),
              SQLITE_OK);
    // The writer commits a moment after the reader has started to open.
    std::thread commit([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
    });
    DAODBConnection reader;
    const bool opened = reader.Open(path, false, true);
    commit.join();
    sqlite3_close(writer);
    ASSERT_TRUE(opened);
    EXPECT_EQ(reader.QueryInt("SELECT CODIGO FROM MAQUINAS"), 3);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DAODBConnectionTest, JetColumnTypesKeepJetsValues)
{
    auto connection = OpenDatabase(MakeDatabase("jet.mdb", {
        "CREATE TABLE J (ID COUNTER, M MEMO, S STRING, N NOTE, T TEXT(10), D DATETIME, C CURRENCY, Y YESNO)",
        "CREATE TABLE K (ID COUNTER, NOMBRE TEXT(20), CONSTRAINT PK_K PRIMARY KEY (ID))",
        "ALTER TABLE K ADD COLUMN NOTA MEMO",
    }));
    ASSERT_TRUE(connection);
    ASSERT_EQ(connection->Execute("INSERT INTO J (M, S, N, T) VALUES ('007', '1e3', '0x10', '1.50')"), 1);
    ASSERT_EQ(connection->Execute("INSERT INTO J (M) VALUES ('segunda')"), 1);
    auto recordset = connection->CreateRecordset();
    recordset->Open("SELECT * FROM J ORDER BY ID", false);
    // Text columns keep what looks like a number as it was written.
    const std::pair<const char*, const char*> texts[] = {{"M", "007"}, {"S", "1e3"}, {"N", "0x10"}, {"T", "1.50"}};
    for (const auto& [column, text] : texts)
        EXPECT_EQ(recordset->GetFieldString(column), text) << column;
    EXPECT_EQ(recordset->GetFieldLong("ID"), 1);
    const int types[] = {DBRecordset::Long, DBRecordset::Text, DBRecordset::Text, DBRecordset::Text,
                         DBRecordset::Text, DBRecordset::Date, DBRecordset::Currency, DBRecordset::Boolean};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(recordset->GetFieldType(i), types[i]) << recordset->GetFieldName(i).toStdString();
    recordset->MoveNext();
    EXPECT_EQ(recordset->GetFieldLong("ID"), 2);

    // A counter of a table with a key of its own numbers itself too; an added memo keeps text.
    ASSERT_EQ(connection->Execute("INSERT INTO K (NOMBRE, NOTA) VALUES ('a', '0012')"), 1);
    ASSERT_EQ(connection->Execute("INSERT INTO K (NOMBRE) VALUES ('b')"), 1);
    EXPECT_EQ(connection->QueryInt("SELECT ID FROM K WHERE NOMBRE='b'"), 2);
    EXPECT_EQ(connection->QueryString("SELECT NOTA FROM K WHERE ID=1"), "0012");
    EXPECT_EQ(Boxes(), QStringList());
}
