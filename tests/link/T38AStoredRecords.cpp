#include "tests/link/T38AStoredRecords.h"

#include "app/MachineModel.h"
#include "link/PackedBcd.h"

#include <algorithm>

bool T38AStoredRecords::EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload)
{
    QByteArray stored = payload.toByteArray();
    if (IsRawRecordCode(blockId))
        std::reverse(stored.begin(), stored.end());
    else
        stored = stored.toHex().toUpper();
    if (!stored.isEmpty())
        records[{blockId, field}] = stored;
    return true;
}

bool T38AStoredRecords::EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32)
{
    QByteArray record(1, '\0');
    record.append(IntToBcd(value, 2, false).value().at(0));
    return EscribeDatos(blockId, field, record);
}

QByteArray T38AStoredRecords::data() const
{
    QByteArray data;
    for (const auto& [key, bytes] : records) {
        data += char(0xEC);
        data += 'R';
        data += char(key.first);
        data += char(key.second);
        data += bytes;
    }
    data += char(0xEC);
    data += char(0x01);
    return data;
}
