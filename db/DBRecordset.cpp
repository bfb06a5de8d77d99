#include "db/DBRecordset.h"

#include "db/DBConnection.h"

DBRecordset::DBRecordset(DBConnection& connection)
    : m_connection(&connection)
{
}

std::optional<int> DBRecordset::LookUpField(const QString& name)
{
    const int count = GetFieldCount();
    for (int i = 0; i < count; ++i) {
        if (GetFieldName(i) == name)
            return i;
    }
    m_connection->ReportError(FieldNotFoundText(), name);
    return std::nullopt;
}

DBValue DBRecordset::GetFieldValue(const QString& name)
{
    const std::optional<int> index = LookUpField(name);
    return index ? GetFieldValue(*index) : DBValue();
}

bool DBRecordset::IsFieldNull(int index) { return GetFieldValue(index).IsNull(); }

bool DBRecordset::IsFieldNull(const QString& name)
{
    const std::optional<int> index = LookUpField(name);
    return index ? IsFieldNull(*index) : true;
}
