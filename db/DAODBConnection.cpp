#include "db/DAODBConnection.h"

#include "db/DAODBRecordset.h"
#include "db/DBTimer.h"
#include "db/SqliteStatement.h"
#include "fw/Application.h"
#include "fw/ReplacementFile.h"
#include "fw/TextFormat.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {

QString savepointName(int level) { return QStringLiteral("ormi_trans_%1").arg(level); }

// The engine's connection to the file, or none with the engine's description.
sqlite3* openFile(const QString& path, int flags, QString* error)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) == SQLITE_OK)
        return db;
    *error = db ? SqliteStatement::EngineMessage(db) : QString::fromUtf8(sqlite3_errstr(SQLITE_NOMEM));
    sqlite3_close_v2(db);
    return nullptr;
}

// Runs statements on a connection being set up; false with the engine's description.
bool exec(sqlite3* db, const char* sql, QString* error)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    *error = SqliteStatement::EngineMessage(db);
    return false;
}

// The path made absolute without resolving its "..": after a linked folder ".." leads to the
// folder the link's target lies in, which only the system can tell. An empty path stays empty.
QString absoluteName(const QString& path) { return path.isEmpty() ? path : QDir::current().absoluteFilePath(path); }

QString withPath(const QString& description, const QString& path)
{
    return QStringLiteral("%1 (%2)").arg(description, QDir::toNativeSeparators(path));
}

// Why a file cannot hold a database before the engine opens it, or an empty text: a FIFO or a
// device would block the open for ever, and the engine takes an empty file for an empty database.
QString refusedFile(const QFileInfo& file)
{
    if (!file.exists())
        return QString(); // the engine says so itself
    if (!file.isFile())
        return QString::fromUtf8(sqlite3_errstr(SQLITE_CANTOPEN));
    if (file.size() == 0)
        return QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB));
    return QString();
}

// The engine's result says that the file cannot serve as a database, whatever the statement.
bool unusableFile(int result)
{
    switch (result & 0xff) {
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
    case SQLITE_CANTOPEN:  // a journal that cannot be made
    case SQLITE_READONLY:  // also a folder where no journal can be made
    case SQLITE_PERM:
        return true;
    default:
        return false;
    }
}

} // namespace

DAODBConnection::~DAODBConnection()
{
    Close();
    // A recordset that outlives its connection no longer tells it of its end.
    for (DAODBRecordset* recordset : m_recordsets)
        recordset->m_attached = false;
}

std::unique_ptr<DBRecordset> DAODBConnection::CreateRecordset() { return std::make_unique<DAODBRecordset>(*this); }

void DAODBConnection::ReportStatementError(const QString& description, const QString& sql)
{
    WriteSqlLog(fw::TextFormat::format(QStringLiteral("Excepcion: %s Query: %s"), {description, sql}));
    ReportError(description, sql, std::exchange(m_failureUnusable, false));
}


QString DAODBConnection::HalfWrittenText(const QString& path)
{
    return fw::Application::get().strings().format(HalfWrittenTextId, {QDir::toNativeSeparators(path)});
}

sqlite3* DAODBConnection::OpenEngine(const QString& path, bool exclusive, bool readOnly, QString* error)
{
    // An absolute name is never taken for a "file:" address.
    const QFileInfo file(path);
    const QString absolute = absoluteName(path);
    *error = refusedFile(file);
    if (!error->isEmpty()) {
        *error = withPath(*error, absolute);
        return nullptr;
    }
    sqlite3* db = openFile(absolute, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, error);
    bool ok = db != nullptr;
    // The engine opens a file that it may not write for reading only, and says nothing.
    if (ok && !readOnly && sqlite3_db_readonly(db, "main") == 1) {
        *error = QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY));
        ok = false;
    }
    // A shared reader waits a little for a writer's transaction to end. Everyone else finds a
    // file that another connection holds exclusively at once, as a file that is not a
    // database, when the schema is read.
    if (ok && readOnly && !exclusive)
        sqlite3_busy_timeout(db, ReaderBusyTimeoutMs);
    if (ok && exclusive)
        ok = exec(db, "PRAGMA locking_mode=EXCLUSIVE", error);
    if (ok)
        ok = exec(db, "SELECT count(*) FROM sqlite_master", error);
    // A journal left by a writer that stopped half-way can only be rolled back by a writer.
    if (!ok && db && sqlite3_extended_errcode(db) == SQLITE_READONLY_ROLLBACK) {
        sqlite3_close_v2(db);
        *error = HalfWrittenText(absolute);
        return nullptr;
    }
    // In exclusive locking mode the lock of the first write is kept until the connection closes.
    if (ok && exclusive && !readOnly)
        ok = exec(db, "BEGIN EXCLUSIVE; COMMIT", error);
    if (!ok) {
        sqlite3_close_v2(db);
        *error = withPath(*error, absolute);
        return nullptr;
    }
    return db;
}

bool DAODBConnection::Open(const QString& path, bool exclusive, bool readOnly)
{
    QString error;
    sqlite3* db = OpenEngine(path, exclusive, readOnly, &error);
    if (!db) {
        ReportError(error, QString());
        return false;
    }
    Close();
    m_db = db;
    m_exclusive = exclusive;
    m_readOnly = readOnly;
    m_transactionEnded = false;
    SetPath(absoluteName(path));
    SetOpen(true);
    return true;
}

void DAODBConnection::Close()
{
    for (DAODBRecordset* recordset : m_recordsets)
        recordset->Close();
    if (m_db) {
        // Closing rolls back any transaction still open.
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        DBConnection::Rollback();
    }
    m_transactionEnded = false;
    SetOpen(false);
}

bool DAODBConnection::CreateDatabase(const QString& path)
{
    const QString absolute = absoluteName(path);
    if (QFileInfo::exists(absolute)) {
        ReportError(withPath(QStringLiteral("La base de datos ya existe."), absolute), QString());
        return false;
    }
    QString error;
    sqlite3* db = openFile(absolute, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, &error);
    // The engine writes the file's header only with a first change.
    const bool ok = db && exec(db, "PRAGMA user_version=0", &error);
    sqlite3_close_v2(db);
    if (!ok) {
        QFile::remove(absolute);
        ReportError(withPath(error, absolute), QString());
    }
    return ok;
}

bool DAODBConnection::Run(const QString& sql)
{
    if (!m_db) {
        ReportStatementError(NotOpenText(), sql);
        return false;
    }
    SqliteStatement statement;
    QString error;
    if (!statement.Prepare(m_db, sql, &error) || statement.Step(&error) != SQLITE_DONE) {
        StatementFailed();
        ReportStatementError(error, sql);
        return false;
    }
    return true;
}

bool DAODBConnection::TransactionEnded() const
{
    return GetTransDepth() > 0 && (m_transactionEnded || (m_db && sqlite3_get_autocommit(m_db)));
}

QString DAODBConnection::TransactionEndedText() { return fw::Application::get().strings().text(TransactionEndedTextId); }

void DAODBConnection::StatementFailed()
{
    if (!m_db)
        return;
    const int result = sqlite3_errcode(m_db);
    m_failureUnusable = unusableFile(result);
    if (GetTransDepth() == 0)
        return;
    switch (result & 0xff) {
    // After these the engine has undone the failed statement alone or the whole transaction, as
    // it happened; what is left is not what the caller wrote, and the engine's advice is to
    // roll back. (A busy database is retried: when the engine ended the transaction for it,
    // TransactionEnded sees the autocommit state.)
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_NOMEM:
        m_transactionEnded = true;
        // Refused by the engine when it has rolled back all by itself; when this fails
        // otherwise, Rollback tries again.
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        break;
    default:
        break;
    }
}

bool DAODBConnection::Refused(const QString& sql)
{
    if (!TransactionEnded())
        return false;
    // The failure that ended the transaction has been reported; in message mode the caller
    // learns of the refusals by the failure results.
    WriteSqlLog(fw::TextFormat::format(QStringLiteral("Excepcion: %s Query: %s"), {TransactionEndedText(), sql}));
    if (IsThrowMode())
        ReportError(TransactionEndedText(), sql);
    return true;
}

bool DAODBConnection::BeginTrans()
{
    // Nested levels are savepoints inside the outermost one.
    const QString sql = QStringLiteral("SAVEPOINT ") + savepointName(GetTransDepth() + 1);
    if (Refused(sql) || !Run(sql))
        return false;
    return DBConnection::BeginTrans();
}

bool DAODBConnection::CommitTrans(bool forceFlush)
{
    // Every commit reaches the disk; the force-flush request asks nothing more of this engine.
    const QString sql = QStringLiteral("RELEASE SAVEPOINT ") + savepointName(GetTransDepth());
    if (GetTransDepth() > 0 && (Refused(sql) || !Run(sql)))
        return false;
    return DBConnection::CommitTrans(forceFlush);
}

bool DAODBConnection::Rollback()
{
    // The engine rolls back every level, as the depth does; after the engine ended the
    // transaction there is nothing left to roll back.
    if (m_db && !sqlite3_get_autocommit(m_db) && !Run(QStringLiteral("ROLLBACK")))
        return false;
    m_transactionEnded = false;
    return DBConnection::Rollback();
}

int DAODBConnection::Execute(const QString& sql, int)
{
    const qint64 start = StartTimer();
    if (!m_db) {
        ReportStatementError(NotOpenText(), sql);
        return -1;
    }
    if (Refused(sql))
        return -1;
    SqliteStatement statement;
    QString error;
    if (!statement.Prepare(m_db, sql, &error)) {
        StatementFailed();
        ReportStatementError(error, sql);
        return -1;
    }
    if (statement.ColumnCount() > 0) {
        ReportStatementError(QStringLiteral("No se puede ejecutar una consulta de selección."), sql);
        return -1;
    }
    const sqlite3_int64 changesBefore = sqlite3_total_changes64(m_db);
    if (statement.Step(&error) != SQLITE_DONE) {
        StatementFailed();
        ReportStatementError(error, sql);
        return -1;
    }
    const int rows = sqlite3_total_changes64(m_db) == changesBefore ? 0 : sqlite3_changes(m_db);
    if (StatementTiming())
        WriteSqlLog(fw::TextFormat::format(QStringLiteral("Regs: %d Query: %s\nTiempo: %.3f ms"),
                                           {rows, sql, double(GetElapsedMs(start))}));
    return rows;
}

bool DAODBConnection::Exists(const QString& sql)
{
    DAODBRecordset recordset(*this);
    return recordset.OpenFirstRow(sql) && !recordset.IsEOF();
}

int DAODBConnection::QueryInt(const QString& sql)
{
    DAODBRecordset recordset(*this);
    if (!recordset.OpenFirstRow(sql) || recordset.IsEOF())
        return -1;
    const DBValue value = recordset.GetFieldValue(0);
    if (value.IsNull())
        return -1;
    QString error;
    const std::optional<qint32> number = value.ToLong(&error);
    if (!number) {
        ReportStatementError(error, sql);
        return -1;
    }
    return *number;
}

QString DAODBConnection::QueryString(const QString& sql)
{
    DAODBRecordset recordset(*this);
    if (!recordset.OpenFirstRow(sql) || recordset.IsEOF())
        return QString();
    return FormatValue(recordset.GetFieldValue(0));
}

QString DAODBConnection::FormatDateLiteral(const OleDateTime& dateTime, bool dateOnly)
{
    if (!dateTime.ToDateTime())
        return QStringLiteral("NULL");
    if (dateOnly)
        return QString::asprintf("#%02d/%02d/%04d#", dateTime.GetMonth(), dateTime.GetDay(), dateTime.GetYear());
    return QString::asprintf("#%02d/%02d/%04d %02d:%02d:%02d#", dateTime.GetMonth(), dateTime.GetDay(),
                             dateTime.GetYear(), dateTime.GetHour(), dateTime.GetMinute(), dateTime.GetSecond());
}

bool DAODBConnection::Compact()
{
    if (!m_db) {
        ReportStatementError(NotOpenText(), QString());
        return false;
    }
    if (m_readOnly) {
        ReportStatementError(QString::fromUtf8(sqlite3_errstr(SQLITE_READONLY)), QString());
        return false;
    }
    // The copy is made beside the database, so that it replaces the file in one rename, with
    // the database's mode, owner and group, and is on the medium before it does.
    const QString path = Path();
    // The engine writes the copy by its name, and keeps the copy's rollback journal beside it
    // while it does.
    fw::ReplacementFile copy(path, fw::ReplacementFile::Access::Name, int(sizeof "-journal" - 1));
    if (!copy.open()) {
        ReportStatementError(copy.errorString(), QString());
        return false;
    }
    if (!CompactInto(copy.fileName()))
        return false;

    const bool exclusive = m_exclusive;
    Close();
    const bool committed = copy.commit();
    const bool reopened = Open(path, exclusive, false);
    if (!committed) {
        ReportError(copy.errorString(), QString());
        return false;
    }
    return reopened;
}

bool DAODBConnection::CompactInto(const QString& target)
{
    const QString sql = QStringLiteral("VACUUM INTO ?");
    SqliteStatement statement;
    QString error;
    bool ok = statement.Prepare(m_db, sql, &error);
    if (ok) {
        const QByteArray name = QFile::encodeName(target);
        sqlite3_bind_text(statement.Handle(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
        ok = statement.Step(&error) == SQLITE_DONE;
    }
    if (!ok)
        ReportStatementError(error, sql);
    return ok;
}
