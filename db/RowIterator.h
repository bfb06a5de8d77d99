#pragma once

#include "db/DBRecordset.h"

#include <memory>

class DBConnection;

// The rows of one statement given out one call at a time: the first call runs the
// statement, each later call moves to the next row; running past the last row forgets the
// result, so that the call after it starts again.
class RowIterator {
public:
    // True when standing on a row.
    bool Next(DBConnection& connection, const QString& sql);
    // The row Next stands on; only after Next gave true.
    DBRecordset& Row() { return *m_recordset; }

private:
    std::unique_ptr<DBRecordset> m_recordset;
};
