#include "fuzz/FuzzCatalogue.h"

#include "app/CCfg.h"

void FillFuzzDeviceTypes(CCfg& cfg)
{
    cfg.ResetDeviceTypes();
    const int codes[] = {DeviceTypeRecord::DispenserCode, DeviceTypeRecord::WhipperCode,
                         DeviceTypeRecord::WaterValveCode};
    for (int type = 0; type < 12; ++type) {
        DeviceTypeRecord record;
        record.name = "TIPO " + QByteArray::number(type);
        record.displayName = record.name;
        record.code = codes[type % 3];
        record.subCode = type / 3 + 1;
        cfg.SetDeviceType(type, record);
    }
}
