#include "app/MachineModel.h"

#include <gtest/gtest.h>

TEST(MachineModelTest, FamilyTypeAndKindOfEveryModel)
{
    struct Case {
        qint32 model;
        bool t38a;
        qint32 family;
        qint32 machineType;
    };
    const Case cases[] = {
        {1, false, 0, 42},  {18, false, 0, 42}, {19, true, 0, 87},   {20, false, 0, 42}, {21, true, 1, 95},
        {22, true, 3, 95},  {23, true, 5, 100}, {24, true, 4, 100},  {25, false, 0, 42}, {-1, false, 0, 42},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MachineModel::isT38AFamily(c.model), c.t38a) << c.model;
        EXPECT_EQ(MachineModel::programFamily(c.model), c.family) << c.model;
        EXPECT_EQ(MachineModel::managementMachineType(c.model), c.machineType) << c.model;
    }
}

TEST(MachineModelTest, BlockIdsOfEachKindForBothKindsOfMachine)
{
    const qint32 t38a[] = {'5', 'Q', 0, '5', 'L', '4', '3', '6', 'E'};
    const qint32 classic[] = {0, 30, 31, 32, 33, 0, 0, 0, 'E'};
    for (qint32 kind = 0; kind < 9; ++kind) {
        EXPECT_EQ(MachineModel::blockCode(22, kind), t38a[kind]) << kind;
        EXPECT_EQ(MachineModel::blockCode(1, kind), classic[kind]) << kind;
    }
    for (qint32 kind : {-1, 9, 1000}) {
        EXPECT_EQ(MachineModel::blockCode(22, kind), 0);
        EXPECT_EQ(MachineModel::blockCode(1, kind), 0);
    }
}

TEST(MachineModelTest, OnlyTemperatureFlagsWhippingAndMilligramsAreRaw)
{
    for (int id = 0; id < 256; ++id)
        EXPECT_EQ(IsRawRecordCode(id), id == 'L' || id == '3' || id == 'E' || id == '6') << id;
}
