#include "app/MachineModel.h"

#include <array>

namespace {

constexpr std::array<qint32, 9> kT38ABlocks = {'5', 'Q', 0, '5', 'L', '4', '3', '6', 'E'};
constexpr std::array<qint32, 9> kClassicBlocks = {0, 30, 31, 32, 33, 0, 0, 0, 'E'};

} // namespace

bool MachineModel::isT38AFamily(qint32 model)
{
    switch (model) {
    case 19:
    case 21:
    case 22:
    case 23:
    case 24:
        return true;
    default:
        return false;
    }
}

qint32 MachineModel::programFamily(qint32 model)
{
    switch (model) {
    case 21: return 1;
    case 22: return 3;
    case 23: return 5;
    case 24: return 4;
    default: return 0;
    }
}

qint32 MachineModel::managementMachineType(qint32 model)
{
    switch (model) {
    case 19: return 87;
    case 21:
    case 22: return 95;
    case 23:
    case 24: return 100;
    default: return 42;
    }
}

qint32 MachineModel::blockCode(qint32 model, qint32 kind)
{
    if (kind < 0 || kind >= qint32(kT38ABlocks.size()))
        return 0;
    return isT38AFamily(model) ? kT38ABlocks[std::size_t(kind)] : kClassicBlocks[std::size_t(kind)];
}

bool IsRawRecordCode(qint32 blockId)
{
    return blockId == 'L' || blockId == '3' || blockId == 'E' || blockId == '6';
}
