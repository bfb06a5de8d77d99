#include "app/DispenserFileLine.h"

#include "fw/ScanFormat.h"

std::optional<DispenserFileLine> DispenserFileLine::Read(QByteArrayView line, int rowCount)
{
    DispenserFileLine result;
    DispenserTable::Row& v = result.values;
    const int read = fw::ScanFormat::scan(line, "| %d | %d | %d | %d | %d | %d | %d |",
                                          {&result.dispenser, &v[0], &v[1], &v[2], &v[3], &v[4], &v[5]});
    if (read != 1 + DispenserTable::ColumnCount || result.dispenser < 1 || result.dispenser > rowCount)
        return std::nullopt;
    return result;
}
