#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// Files as a user's machine may one day have them, for the tests of the loaders and the
// database layer.
namespace DamagedFiles {

// A FIFO at the path: opening it for reading blocks until a writer comes.
bool MakeFifo(const QString& path);
// Leaves the database at the path as a writer that stopped in the middle of a transaction
// leaves it: some pages already written and its rollback journal beside it.
bool LeaveHalfWritten(const QString& path);
// Overwrites the first page of each named table of the SQLite database at the path with
// bytes that are no page, as a failing disk may leave it; the file's header and schema stay
// whole, so that it still opens. False when a table is not there or the file cannot be written.
bool DamageTablePages(const QString& path, const QStringList& tables);
// An empty file at the path.
bool MakeEmptyFile(const QString& path);
// A file of those bytes at the path.
bool MakeFile(const QString& path, const QByteArray& bytes);
// A file of that many zero bytes, sparse, so that even a large one costs no disk.
bool MakeSparseFile(const QString& path, qint64 bytes);

// What stands where a reader expects a file and must not be read: a FIFO (its open would
// wait for a writer), an endless device (a link to /dev/zero), a regular file one byte
// larger than the reader's limit and, where the process may watch reads (GrowingFile), an
// empty file that grows before every read of it while the list lives.
struct Unreadable {
    QString what;
    std::function<bool(const QString& path)> make;
};
QList<Unreadable> UnreadableFiles(qint64 limit);
// What stands at a name and is no regular file: a FIFO, a folder and a link to a FIFO, all
// of the test's own (a writer under test that went wrong must not replace a real device).
QList<Unreadable> NotRegularFiles();

} // namespace DamagedFiles
