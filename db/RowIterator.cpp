#include "db/RowIterator.h"

#include "db/DBConnection.h"

bool RowIterator::Next(DBConnection& connection, const QString& sql)
{
    if (m_recordset) {
        m_recordset->MoveNext();
    } else {
        // A statement that fails to open has been reported by the connection and reads as empty.
        m_recordset = connection.CreateRecordset();
        m_recordset->Open(sql, false);
    }
    if (m_recordset->IsEOF()) {
        m_recordset.reset();
        return false;
    }
    return true;
}
