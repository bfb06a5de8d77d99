#include "db/DBException.h"

DBException::DBException(const QString& message, const QString& query)
    : m_message(message)
    , m_query(query)
{
}
