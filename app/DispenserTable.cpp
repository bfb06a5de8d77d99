#include "app/DispenserTable.h"

DispenserTable::DispenserTable(int rowCount)
    : m_rows(qMax(rowCount, 0), Row{})
{
}

std::optional<DispenserTable::Row> DispenserTable::row(int rowIndex) const
{
    if (rowIndex < 0 || rowIndex >= rowCount())
        return std::nullopt;
    return m_rows.at(rowIndex);
}

std::optional<int> DispenserTable::value(int rowIndex, int column) const
{
    const auto values = row(rowIndex);
    if (!values || column < 0 || column >= ColumnCount)
        return std::nullopt;
    return (*values)[std::size_t(column)];
}

bool DispenserTable::setRow(int rowIndex, const Row& values)
{
    if (rowIndex < 0 || rowIndex >= rowCount())
        return false;
    m_rows[rowIndex] = values;
    return true;
}
