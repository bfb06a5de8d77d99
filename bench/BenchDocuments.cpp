#include "bench/BenchDocuments.h"

#include "app/COrmiDoc.h"
#include "bench/BenchProgram.h"

namespace BenchDocuments {

namespace {

// Six dispensers, three whippers, three water valves.
int codeOfType(int index)
{
    return index < 6 ? DeviceTypeRecord::DispenserCode
                     : (index < 9 ? DeviceTypeRecord::WhipperCode : DeviceTypeRecord::WaterValveCode);
}

void addHeader(COrmiDoc& document, int number)
{
    CDeviceCoffee* header = document.AddDevice();
    header->SetProductNumber(number);
    header->SetSelectionNumber(number);
    header->SetName("TE");
}

} // namespace

void prepareCompile(BenchProgram& program)
{
    CCfg& cfg = program.cfg();
    cfg.ResetDeviceTypes();
    cfg.ResetDispenserTable();
    for (int i = 0; i < 12; ++i) {
        DeviceTypeRecord type;
        type.name = "TIPO";
        type.displayName = "TIPO";
        type.code = codeOfType(i);
        type.subCode = i + 1;
        cfg.SetDeviceType(i, type);
    }
    for (int k = 1; k < 4; ++k) {
        auto row = program.setup().GetSetupRow(k).value();
        row.productIndex = k;
        row.mgPerTurn = 1200 + k;
        program.setup().SetSetupRow(k, row);
    }
}

void fillClassicForCompile(COrmiDoc& document)
{
    document.OnNewDocument();
    document.SetMachineModel(1);
    for (int p = 1; p <= Products; ++p) {
        addHeader(document, p);
        for (int d = 0; d < DevicesPerProduct; ++d) {
            CDeviceCoffee* device = document.AddDevice();
            device->SetTypeIndex(d);
            device->SetStart(d * 10);
            device->SetEnd(d * 10 + 50);
        }
    }
}

void fillT38AForCompile(COrmiDoc& document)
{
    document.OnNewDocument();
    document.SetMachineModel(19);
    for (int p = 1; p <= Products; ++p) {
        addHeader(document, p);
        for (int d = 0; d < DevicesPerProduct; ++d) {
            CDeviceCoffee* device = document.AddDevice();
            device->SetTypeIndex(d == 0 ? 3 : (d == 1 ? 0 : 1));
            device->SetTypeName(d == 1 ? "GRUPO DE CAFE" : "CAFE");
            device->SetContainerTurns(12);
            device->SetWaterPulses(80);
        }
    }
}

void setWiredDeviceTypes(CCfg& cfg)
{
    cfg.ResetDeviceTypes();
    cfg.ResetDispenserTable();
    for (int i = 0; i < 12; ++i) {
        DeviceTypeRecord type;
        type.name = "TIPO " + QByteArray::number(i);
        type.displayName = type.name;
        type.code = codeOfType(i);
        type.subCode = i < 6 ? i + 1 : (i < 9 ? i - 5 : i - 8);
        cfg.SetDeviceType(i, type);
    }
    for (int row = 0; row < 6; ++row)
        cfg.SetDispenserRow(row, {0, 1, row % 3 + 1, 0, row % 3 + 1, 0});
}

} // namespace BenchDocuments
