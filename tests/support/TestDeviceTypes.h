#pragma once

#include "app/DeviceTypeRecord.h"

#include <QByteArray>

// A device-type record of the catalogue whose display name is its name.
inline DeviceTypeRecord deviceType(const QByteArray& name, int code, int subCode)
{
    DeviceTypeRecord record;
    record.name = name;
    record.displayName = name;
    record.code = code;
    record.subCode = subCode;
    return record;
}
