#include "tests/support/DamagedFiles.h"

#include "tests/support/GrowingFile.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include <memory>

namespace DamagedFiles {

bool MakeFifo(const QString& path) { return mkfifo(QFile::encodeName(path).constData(), 0600) == 0; }

bool MakeEmptyFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

bool MakeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool MakeSparseFile(const QString& path, qint64 bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(bytes);
}

QList<Unreadable> UnreadableFiles(qint64 limit)
{
    QList<Unreadable> files = {
        {QStringLiteral("a FIFO"), MakeFifo},
        {QStringLiteral("an endless device"), [](const QString& path) { return QFile::link(QStringLiteral("/dev/zero"), path); }},
        {QStringLiteral("an oversized file"), [limit](const QString& path) { return MakeSparseFile(path, limit + 1); }},
    };
    if (GrowingFile::available()) {
        // The list keeps the file growing until it goes.
        auto growing = std::make_shared<std::unique_ptr<GrowingFile>>();
        files.append({QStringLiteral("a file that grows while it is read"), [growing](const QString& path) {
                          *growing = std::make_unique<GrowingFile>(path);
                          return (*growing)->growing();
                      }});
    }
    return files;
}

QList<Unreadable> NotRegularFiles()
{
    return {
        {QStringLiteral("a FIFO"), MakeFifo},
        {QStringLiteral("a folder"), [](const QString& path) { return QDir().mkpath(path); }},
        {QStringLiteral("a link to a FIFO"),
         [](const QString& path) { return MakeFifo(path + QStringLiteral(".fifo")) && QFile::link(path + QStringLiteral(".fifo"), path); }},
    };
}

bool LeaveHalfWritten(const QString& path)
{
    sqlite3* handle = nullptr;
    const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, SQLITE_OPEN_READWRITE, nullptr);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(handle, sqlite3_close);
    if (opened != SQLITE_OK)
        return false;
    // A cache of one page spills the transaction's pages into the file, after the journal
    // has been made hot.
    const char* const transaction = "PRAGMA cache_size=1; BEGIN; CREATE TABLE MEDIO_ESCRITA (X);"
                                    "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I+1 FROM N WHERE I<200) "
                                    "INSERT INTO MEDIO_ESCRITA SELECT zeroblob(500) FROM N;";
    if (sqlite3_exec(db.get(), transaction, nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    const QString journal = path + QStringLiteral("-journal");
    const QString crashed = path + QStringLiteral(".crashed");
    // Both files as they are at this moment, then put back once the writer has gone.
    if (!QFile::copy(path, crashed) || !QFile::copy(journal, crashed + QStringLiteral("-journal")))
        return false;
    sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    db.reset();
    return QFile::remove(path) && QFile::rename(crashed, path) && (!QFile::exists(journal) || QFile::remove(journal))
        && QFile::rename(crashed + QStringLiteral("-journal"), journal);
}

bool DamageTablePages(const QString& path, const QStringList& tables)
{
    QList<qint64> pages;
    {
        sqlite3* handle = nullptr;
        const int opened = sqlite3_open_v2(QFile::encodeName(path).constData(), &handle, SQLITE_OPEN_READONLY, nullptr);
        std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(handle, sqlite3_close);
        if (opened != SQLITE_OK)
            return false;
        for (const QString& table : tables) {
            sqlite3_stmt* prepared = nullptr;
            sqlite3_prepare_v2(db.get(), "SELECT rootpage FROM sqlite_master WHERE type='table' AND name=?", -1, &prepared,
                               nullptr);
            std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared, sqlite3_finalize);
            const QByteArray name = table.toUtf8();
            if (!statement || sqlite3_bind_text(statement.get(), 1, name.constData(), int(name.size()), SQLITE_TRANSIENT) != SQLITE_OK
                || sqlite3_step(statement.get()) != SQLITE_ROW)
                return false;
            pages << sqlite3_column_int64(statement.get(), 0);
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    // The page size is the big-endian 16-bit value at offset 16; 1 stands for 65536.
    const QByteArray header = file.read(100);
    if (header.size() < 100)
        return false;
    const int sizeField = (quint8(header.at(16)) << 8) | quint8(header.at(17));
    const qint64 pageSize = sizeField == 1 ? 65536 : sizeField;
    for (const qint64 page : pages) {
        // An invalid page type first, then no valid cell.
        if (page < 2 || !file.seek((page - 1) * pageSize) || file.write(QByteArray(pageSize, char(0xFF))) != pageSize)
            return false;
    }
    return file.flush();
}

} // namespace DamagedFiles
