#pragma once

#include <QString>

// Files as a user's machine may one day have them, for the tests of the loaders and the
// database layer.
namespace DamagedFiles {

// A FIFO at the path: opening it for reading blocks until a writer comes.
bool MakeFifo(const QString& path);
// Leaves the database at the path as a writer that stopped in the middle of a transaction
// leaves it: some pages already written and its rollback journal beside it.
bool LeaveHalfWritten(const QString& path);
// An empty file at the path.
bool MakeEmptyFile(const QString& path);

} // namespace DamagedFiles
