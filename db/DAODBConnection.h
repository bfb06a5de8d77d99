#pragma once

#include "db/DBConnection.h"

#include <vector>

struct sqlite3;
class DAODBRecordset;

// The database connection of this system. The catalogue and management databases are SQLite
// files under their Jet names; the statements keep their Jet form (see JetSql).
//
// Open modes: a missing file, a file that is not a regular file, an empty file or one that is
// not a database fails at once and creates nothing; a read-only connection refuses every
// write; an exclusive writable connection keeps every other connection out (their open fails
// at once; a shared reader's after its busy time-out), an exclusive read-only one keeps
// writers out. A shared read-only connection waits up to ReaderBusyTimeoutMs for a writer's
// transaction before it reports the database locked. A database that a writer left
// half-written (its rollback journal beside it) does not open read-only: HalfWrittenText.
// A writable open of a file that the engine can only read (write-protected, on a read-only
// mount) fails: the engine itself would fall back to reading without a word.
// Engine errors are reported by the error mode (DBConnection); one of the file rather than of the
// statement (damaged, or not writable: no journal can be made) says so (LastErrorUnusable).
// When a failed statement ends the transaction (the engine rolled it back, or the error is one
// after which the engine may have undone part of it: the connection rolls it back itself), that
// failure is reported as usual and every later statement is refused without running: silently
// in message mode, with TransactionEndedText in throw mode.
// Closing the connection (or opening another file on it) closes its recordsets.
class DAODBConnection : public DBConnection {
public:
    DAODBConnection() = default;
    ~DAODBConnection() override;

    std::unique_ptr<DBRecordset> CreateRecordset() override;
    bool Exists(const QString& sql) override;
    // Refuses a path that exists; leaves the connection as it was, the new file closed.
    bool CreateDatabase(const QString& path) override;
    bool Rollback() override;
    bool CommitTrans(bool forceFlush = false) override;
    // Rewrites the file without its free space through a temporary file beside it, which takes
    // its place as fw::ReplacementFile commits (mode, owner and group kept, copy and folder
    // synced), then opens it again in the mode it had. A failure before the rename leaves the
    // old file; one after it (the folder not synced) is reported with the copy in place.
    bool Compact() override;
    bool BeginTrans() override;
    bool Open(const QString& path, bool exclusive, bool readOnly) override;
    bool TransactionEnded() const override;
    void Close() override;
    // Statements are atomic whatever the mode; rows affected, 0 for statements that change no
    // rows (such as CREATE TABLE).
    int Execute(const QString& sql, int mode = 0) override;
    QString QueryString(const QString& sql) override;
    int QueryInt(const QString& sql) override;
    // #mm/dd/yyyy# or #mm/dd/yyyy hh:mm:ss#; NULL for a date-time that is not valid.
    QString FormatDateLiteral(const OleDateTime& dateTime, bool dateOnly) override;

    // The engine's connection while open (for the recordsets of this connection).
    sqlite3* Handle() const { return m_db; }
    // A statement's engine error: its line in the SQL log, then by the error mode.
    void ReportStatementError(const QString& description, const QString& sql);

    static QString NotOpenText() { return QStringLiteral("La base de datos no está abierta."); }
    // "La base de datos %s quedó a medio escribir por otro programa."
    static constexpr int HalfWrittenTextId = 21301;
    static QString HalfWrittenText(const QString& path);

    // "La base de datos ha anulado la transacción; no se ha guardado nada de ella."
    static constexpr int TransactionEndedTextId = 22901;
    static QString TransactionEndedText();

    static constexpr int ReaderBusyTimeoutMs = 2000;

private:
    friend class DAODBRecordset;
    // The recordsets made on this connection, from their construction to their destruction.
    void AddRecordset(DAODBRecordset* recordset) { m_recordsets.push_back(recordset); }
    void RemoveRecordset(DAODBRecordset* recordset) { std::erase(m_recordsets, recordset); }

    // A connection to the file in the given mode, or none with the engine's description.
    static sqlite3* OpenEngine(const QString& path, bool exclusive, bool readOnly, QString* error);
    // Runs an internal statement; false after reporting its error.
    bool Run(const QString& sql);
    // Called at once after a statement of this connection failed in the engine, before the
    // failure is reported: notes whether the file is at fault and ends a transaction that the
    // failure left unsound.
    void StatementFailed();
    // True when the statement must not run because the transaction has ended; in throw mode
    // the refusal is thrown.
    bool Refused(const QString& sql);
    bool CompactInto(const QString& target);

    sqlite3* m_db = nullptr;
    std::vector<DAODBRecordset*> m_recordsets;
    bool m_exclusive = false;
    bool m_readOnly = false;
    bool m_transactionEnded = false;
    bool m_failureUnusable = false; // of the failure StatementFailed saw, until it is reported
};
