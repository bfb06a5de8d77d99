#pragma once

#include <QtGlobal>

// What a machine model (a configuration code of the catalogue) decides: the T38A family,
// the program family, the management machine type and the block id of each record kind.
class MachineModel {
public:
    // Record kinds of the compile step and of the reading of a T38A machine.
    enum BlockKind : qint32 {
        DocumentName = 0,
        SetupNames = 1, // product names of the set-up tables; classic: dispenser table
        DeviceTypes = 2,
        Products = 3,
        Temperature = 4,
        SugarTimes = 5,
        ProductFlags = 6,
        MilligramsPerTurn = 7,
        WhippingSpeed = 8,
    };

    static bool isT38AFamily(qint32 model);
    static qint32 programFamily(qint32 model);
    static qint32 managementMachineType(qint32 model);
    // The block id of a record kind for the model's kind of machine; 0 where it has none.
    static qint32 blockCode(qint32 model, qint32 kind);
};

// Blocks whose data a T38A machine and the .prg file take as raw bytes in reverse order.
bool IsRawRecordCode(qint32 blockId);
