#pragma once

#include "fw/Clock.h"
#include "db/DBRecordset.h"
#include "db/FormatString.h"
#include "db/OleDateTime.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <memory>

// A connection to one database file, with query shortcuts, action statements, transaction
// bookkeeping, the two error modes, a retrying execute and an optional SQL log.
//
// Error modes: in message mode (the normal one) an engine error is shown in the framework's
// box and the operation returns its failure result (false, -1, an empty text); in throw mode,
// used inside ExecuteRetry and a ThrowModeScope, it is thrown as a DBException instead.
class DBConnection : public FormatString {
public:
    DBConnection();
    ~DBConnection() override;
    DBConnection(const DBConnection&) = delete;
    DBConnection& operator=(const DBConnection&) = delete;

    virtual std::unique_ptr<DBRecordset> CreateRecordset() = 0;
    // The SELECT returns at least one row.
    virtual bool Exists(const QString& sql) = 0;
    // Makes a new, empty database file; the connection itself is left as it was.
    virtual bool CreateDatabase(const QString& path) = 0;
    // Rolls back every level; the depth becomes 0.
    virtual bool Rollback();
    virtual bool CommitTrans(bool forceFlush = false);
    virtual bool Compact() = 0;
    virtual bool BeginTrans();
    virtual bool Open(const QString& path, bool exclusive, bool readOnly) = 0;
    virtual void Close() = 0;
    // Rows affected, or -1 on failure.
    virtual int Execute(const QString& sql, int mode = 0) = 0;
    // Execute with up to the given number of attempts (at least one), waiting between them.
    int ExecuteRetry(const QString& sql, int attempts);
    // First column of the first row; empty without a row.
    virtual QString QueryString(const QString& sql) = 0;
    // First column of the first row; -1 without a row, for a null value or after an error.
    virtual int QueryInt(const QString& sql) = 0;
    virtual QString FormatDateLiteral(const OleDateTime& dateTime, bool dateOnly) = 0;
    int GetTransDepth() const { return m_transDepth; }
    // The engine has ended the transaction this connection holds (it rolled it back by itself,
    // or after an error that only a rollback mends): nothing of it is kept, and every statement
    // is refused until Rollback acknowledges the end.
    virtual bool TransactionEnded() const = 0;
    void WriteSqlLog(const QString& text);

    // 1 for every connection of this system; another engine would have its own kind.
    int GetDatabaseKind() const { return 1; }
    bool IsOpen() const { return m_open; }
    bool IsThrowMode() const { return m_throwMode; }

    // The SQL log is kept in "<name>_<yyyy><mm>.sql" in the profile's TempDir while a name is set.
    void SetSqlLogName(const QString& name) { m_sqlLogName = name; }
    // Timing lines of every statement in the SQL log.
    void SetStatementTiming(bool on) { m_statementTiming = on; }
    bool StatementTiming() const { return m_statementTiming; }
    void SetClock(fw::Clock& clock) { m_clock = &clock; }
    fw::Clock& Clock() const { return *m_clock; }

    // Reports an error by the error mode: shows the description and returns, or throws. The
    // flag tells that the database file itself cannot serve (LastErrorUnusable).
    void ReportError(const QString& description, const QString& query, bool databaseUnusable = false);
    // The last error reported came from the database file rather than from the statement: the
    // file is damaged, or it cannot be written (no journal can be made beside it, for example).
    bool LastErrorUnusable() const { return m_lastErrorUnusable; }

    // Throw mode for its lifetime, then the mode the connection had: for a caller that reports
    // a whole series of statements once.
    class ThrowModeScope {
    public:
        explicit ThrowModeScope(DBConnection& connection);
        ~ThrowModeScope();
        ThrowModeScope(const ThrowModeScope&) = delete;
        ThrowModeScope& operator=(const ThrowModeScope&) = delete;
        // The mode the connection had before.
        bool SavedThrowMode() const { return m_saved; }

    private:
        DBConnection& m_connection;
        bool m_saved;
    };

    // The full path of the database file last opened.
    const QString& Path() const { return m_path; }

protected:
    void SetThrowMode(bool on) { m_throwMode = on; }
    void SetOpen(bool open) { m_open = open; }
    void SetPath(const QString& path) { m_path = path; }

private:
    // The wait after a failed attempt of ExecuteRetry.
    int RetryWaitMs(int failures);

    bool m_throwMode = false;
    bool m_open = false;
    QString m_path;
    QString m_sqlLogName;
    bool m_statementTiming = false;
    QFile m_sqlLog;
    QDateTime m_logStamp;
    int m_transDepth = 0;
    bool m_lastErrorUnusable = false;
    fw::Clock* m_clock;
};
