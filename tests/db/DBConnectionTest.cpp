#include "db/DBException.h"
#include "db/DBTimer.h"
#include "tests/db/DatabaseTest.h"
#include "tests/db/ThrowingConnection.h"

#include <QDir>
#include <QRegularExpression>

namespace {

const char* const MissingTable = "INSERT INTO NO_EXISTE (A) VALUES (1)";

class DBConnectionTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        path = MakeDatabase("base.mdb", {"CREATE TABLE T (A INTEGER)"});
        connection = OpenDatabase(path);
        ASSERT_TRUE(connection);
    }

    int Count(const QString& table)
    {
        return connection->QueryInt(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table));
    }

    QString path;
    std::unique_ptr<DAODBConnection> connection;
};

} // namespace

TEST_F(DBConnectionTest, ExecuteRetryWaitsBetweenAttemptsButNotAfterTheLast)
{
    struct WaitCase {
        qint64 tick;
        int attempts;
        std::vector<int> waits;
    };
    const WaitCase cases[] = {
        {0, 1, {}},
        {3, 3, {800, 800}},
        {3, 10, {800, 800, 800, 800, 800, 1600, 1600, 8000, 8000}},
        {9, 10, {2000, 2000, 2000, 2000, 2000, 4000, 4000, 10000, 10000}},
    };
    for (const WaitCase& c : cases) {
        clock.tick = c.tick;
        clock.sleeps.clear();
        ClearBoxes();
        EXPECT_EQ(connection->ExecuteRetry(MissingTable, c.attempts), -1);
        EXPECT_EQ(clock.sleeps, c.waits) << c.attempts << " attempts";
        // Only the last failure is shown, and the caller's error mode is back.
        EXPECT_EQ(Boxes(), QStringList({"no such table: NO_EXISTE"}));
        EXPECT_FALSE(connection->IsThrowMode());
    }
}

TEST_F(DBConnectionTest, ExecuteRetryWithNoAttemptsStillReportsItsOneFailure)
{
    EXPECT_EQ(connection->ExecuteRetry(MissingTable, 0), -1);
    EXPECT_EQ(Boxes(), QStringList({"no such table: NO_EXISTE"}));
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST_F(DBConnectionTest, ExecuteRetryEndsAtTheFirstSuccess)
{
    // Another program creates the missing table while the second wait runs.
    clock.onSleep = [this] {
        if (clock.sleeps.size() == 2) {
            DAODBConnection other;
            other.Open(path, false, false);
            other.Execute("CREATE TABLE NO_EXISTE (A INTEGER)");
        }
    };
    EXPECT_EQ(connection->ExecuteRetry(MissingTable, 5), 1);
    EXPECT_EQ(clock.sleeps.size(), 2u);
    EXPECT_EQ(Boxes(), QStringList());
    EXPECT_EQ(connection->ExecuteRetry("DELETE FROM T", 5), 0);
}

TEST_F(DBConnectionTest, ExecuteRetryInThrowModeRethrowsTheLastError)
{
    ThrowingConnection throwing;
    throwing.SetClock(clock);
    ASSERT_TRUE(throwing.Open(path, false, false));
    try {
        throwing.ExecuteRetry(MissingTable, 2);
        ADD_FAILURE() << "no exception";
    } catch (const DBException& e) {
        EXPECT_EQ(e.GetErrorMessage(), "no such table: NO_EXISTE");
        EXPECT_EQ(e.GetQuery(), MissingTable);
        EXPECT_EQ(e.GetCode(), 0);
    }
    EXPECT_TRUE(throwing.IsThrowMode());
    EXPECT_EQ(clock.sleeps, std::vector<int>({200}));
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DBConnectionTest, EveryFailedAttemptLeavesTwoLogLines)
{
    app.profile().WriteString("Configuracion", "TempDir", app.tempPath() + "/");
    connection->SetSqlLogName("ventas");
    connection->ExecuteRetry(MissingTable, 2);
    const QString log = FileText(app.tempPath("ventas_202403.sql"));
    EXPECT_EQ(log.count("Excepcion: no such table: NO_EXISTE Query: INSERT INTO NO_EXISTE (A) VALUES (1)"), 2);
    EXPECT_TRUE(log.contains("Excepcion al ejecutar query (1 reintentos): no such table: NO_EXISTE"));
    EXPECT_TRUE(log.contains("Excepcion al ejecutar query (2 reintentos): no such table: NO_EXISTE"));
}

TEST_F(DBConnectionTest, SqlLogChangesFileWithTheMonthAndTheYear)
{
    const QString folder = app.tempPath("logs") + "/";
    app.profile().WriteString("Configuracion", "TempDir", folder);
    connection->SetSqlLogName("ventas");
    connection->WriteSqlLog("sin carpeta");
    ASSERT_TRUE(QDir().mkpath(folder));

    const std::pair<QDate, const char*> lines[] = {
        {QDate(2024, 1, 31), "enero"},
        {QDate(2024, 2, 1), "febrero"},
        {QDate(2025, 2, 1), "febrero siguiente"},
    };
    for (const auto& [date, text] : lines) {
        clock.now = QDateTime(date, QTime(10, 0));
        connection->WriteSqlLog(text);
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files),
              QStringList({"ventas_202401.sql", "ventas_202402.sql", "ventas_202502.sql"}));
    const QString february = FileText(folder + "ventas_202402.sql");
    EXPECT_TRUE(february.endsWith(" febrero\n\n"));
    EXPECT_FALSE(february.contains("siguiente"));
    EXPECT_FALSE(FileText(folder + "ventas_202401.sql").contains("sin carpeta"));
}

TEST_F(DBConnectionTest, WithoutALogNameNothingIsWritten)
{
    app.profile().WriteString("Configuracion", "TempDir", app.tempPath() + "/");
    connection->Execute(MissingTable);
    EXPECT_EQ(QDir(app.tempPath()).entryList({"*.sql"}, QDir::Files), QStringList());
}

TEST_F(DBConnectionTest, TimingLinesFollowEveryStatement)
{
    app.profile().WriteString("Configuracion", "TempDir", app.tempPath() + "/");
    connection->SetSqlLogName("t");
    connection->SetStatementTiming(true);
    connection->Execute("INSERT INTO T (A) VALUES (1)");
    auto recordset = connection->CreateRecordset();
    recordset->Open("SELECT A FROM T WHERE A=2", false);
    const QString log = FileText(app.tempPath("t_202403.sql"));
    EXPECT_TRUE(log.contains(QRegularExpression(R"(Regs: 1 Query: INSERT INTO T \(A\) VALUES \(1\)\nTiempo: \d+\.\d{3} ms)")));
    EXPECT_TRUE(log.contains(QRegularExpression(R"(OpenRec: SELECT A FROM T WHERE A=2; EOF:TRUE\nTiempo: \d+\.\d{3} ms)")));
}

TEST_F(DBConnectionTest, TransactionDepthAndTheEngineAgree)
{
    EXPECT_TRUE(connection->CommitTrans());
    EXPECT_EQ(connection->GetTransDepth(), 0);

    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(connection->BeginTrans());
        connection->Execute("INSERT INTO T (A) VALUES (1)");
    }
    EXPECT_EQ(connection->GetTransDepth(), 3);
    EXPECT_TRUE(connection->Rollback());
    EXPECT_EQ(connection->GetTransDepth(), 0);
    EXPECT_EQ(Count("T"), 0); // every level rolled back

    EXPECT_TRUE(connection->BeginTrans());
    connection->Execute("INSERT INTO T (A) VALUES (1)");
    EXPECT_TRUE(connection->BeginTrans());
    connection->Execute("INSERT INTO T (A) VALUES (2)");
    EXPECT_TRUE(connection->CommitTrans(true));
    EXPECT_EQ(connection->GetTransDepth(), 1);
    EXPECT_TRUE(connection->CommitTrans());
    EXPECT_EQ(connection->GetTransDepth(), 0);
    EXPECT_EQ(Boxes(), QStringList());

    DAODBConnection other;
    ASSERT_TRUE(other.Open(path, false, true));
    EXPECT_EQ(other.QueryInt("SELECT COUNT(*) FROM T"), 2);
}

TEST_F(DBConnectionTest, ClosingEndsTheTransactionItHeld)
{
    connection->BeginTrans();
    connection->Execute("INSERT INTO T (A) VALUES (1)");
    connection->Close();
    EXPECT_EQ(connection->GetTransDepth(), 0);
    ASSERT_TRUE(connection->Open(path, false, false));
    EXPECT_EQ(Count("T"), 0);
}

TEST(DBTimerTest, ElapsedTimeCountsTenthsOfAMillisecond)
{
    const qint64 nanosecond = 1'000'000'000;
    EXPECT_FLOAT_EQ(ElapsedMs(1000, 1000 + 2'500'300'000, nanosecond), 2500.3f);
    EXPECT_FLOAT_EQ(ElapsedMs(0, 99'999, nanosecond), 0.0f);
    EXPECT_FLOAT_EQ(ElapsedMs(0, 25'003, 10'000), 2500.3f);
    EXPECT_GE(GetElapsedMs(StartTimer()), 0.0f);
}
