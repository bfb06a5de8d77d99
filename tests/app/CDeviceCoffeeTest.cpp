#include "app/CCfg.h"
#include "app/CDeviceCoffee.h"
#include "app/CSugarCoffee.h"
#include "fw/ProgramWide.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestDeviceTypes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The program-wide catalogue the rows consult: type 0 a dispenser, type 1 a water valve, on
// a flow-meter machine.
class RowWithCatalogue : public ::testing::Test {
protected:
    static constexpr int DispenserType = 0;
    static constexpr int ValveType = 1;

    RowWithCatalogue()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        c.SetDeviceType(DispenserType, deviceType("TIPO", 0xF1, 1));
        c.SetDeviceType(ValveType, deviceType("TIPO", 0xF4, 1));
        c.SetFlowMeterMark(true);
        c.SetDispenserRate(1, 12.5f);
        c.SetPumpRate(10.0f);
    }
    CDeviceCoffee device(int type, int start, int end)
    {
        CDeviceCoffee row;
        row.SetTypeIndex(type);
        row.SetStart(start);
        row.SetEnd(end);
        return row;
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
};

} // namespace

TEST_F(RowWithCatalogue, ANewRowIsADeviceOfTypeZeroWithItsFlagsSetAndTheProfilesCodePage)
{
    app.profile().WriteInt("Ormi", "Codepage", 1255);
    const CDeviceCoffee row;
    EXPECT_FALSE(row.IsProductHeader());
    EXPECT_EQ(row.GetProductNumber(), 0);
    EXPECT_EQ(row.GetSelectionNumber(), 0);
    EXPECT_EQ(row.GetTypeIndex(), 0);
    EXPECT_EQ(row.GetColour(), 0);
    EXPECT_EQ(row.GetStart(), 0);
    EXPECT_EQ(row.GetEnd(), 0);
    EXPECT_EQ(row.GetX(), 0);
    EXPECT_EQ(row.GetWidth(), 0);
    EXPECT_EQ(row.GetNameIndex(), 0);
    EXPECT_EQ(row.GetEstimatedEndByTurns(), 0.0);
    EXPECT_TRUE(row.GetName().isEmpty());
    EXPECT_TRUE(row.GetTypeName().isEmpty());
    EXPECT_TRUE(row.GetWideName().isEmpty());
    EXPECT_EQ(row.GetSugarFlag(), 1);
    EXPECT_EQ(row.GetStirrerFlag(), 1);
    EXPECT_EQ(row.GetCupFlag(), 1);
    EXPECT_EQ(row.GetSortMark(), 0);
    EXPECT_EQ(row.GetCodePageFlag(), 0);
    EXPECT_EQ(row.GetWaterPulses(), 0);
    EXPECT_EQ(row.GetContainerTurns(), 0);
    EXPECT_EQ(row.GetCodePage(), 1255u);

    app.profile().WriteInt("Ormi", "Codepage", 1252);
    EXPECT_EQ(CDeviceCoffee().GetCodePage(), 1250u);
}

TEST(CDeviceCoffeeT38ATest, TimesFollowTheDeviceBeforeAndTheLargerEstimate)
{
    struct Case {
        int previousEnd;
        int turns;
        int pulses;
        int start;
        double byTurns;
        double byPulses;
        int end;
    };
    const Case cases[] = {
        {0, 3, 26, 0, 24.0, 20.0, 24},
        {20, 3, 26, 25, 49.0, 45.0, 49},
        {-7, 3, 26, 0, 24.0, 20.0, 24}, // a negative previous end starts at 0
        {0, 0, 12, 0, 0.0, 9.0, 9},     // 120 / 13 truncates
        {0, 0, 13, 0, 0.0, 10.0, 10},
        {0, 0, 0, 0, 0.0, 0.0, 0},
    };
    for (const Case& c : cases) {
        CDeviceCoffee row;
        row.SetContainerTurns(c.turns);
        row.SetWaterPulses(c.pulses);
        EXPECT_EQ(row.ComputeT38ATimes(c.previousEnd), c.end) << c.previousEnd << " " << c.turns << " " << c.pulses;
        EXPECT_EQ(row.GetStart(), c.start);
        EXPECT_DOUBLE_EQ(row.GetEstimatedEndByTurns(), c.byTurns);
        EXPECT_DOUBLE_EQ(row.GetEstimatedEndByPulses(), c.byPulses);
        EXPECT_EQ(row.GetEnd(), c.end);
    }
}

TEST(CDeviceCoffeeT38ATest, CountsFromAFileBeyondTheirRangeDoNotOverflow)
{
    CDeviceCoffee row;
    row.SetContainerTurns(INT_MAX);
    row.SetWaterPulses(INT_MAX);
    EXPECT_EQ(row.ComputeT38ATimes(INT_MAX), INT_MAX);
    EXPECT_EQ(row.GetStart(), INT_MAX);
    row.SetContainerTurns(INT_MIN);
    row.SetWaterPulses(INT_MIN);
    EXPECT_EQ(row.ComputeT38ATimes(0), -1651910498); // by pulses: -21474836480 / 13
}

TEST_F(RowWithCatalogue, AFlowMeterValvesPulsesBecomeTenthsOfASecond)
{
    const CDeviceCoffee valve = device(ValveType, 10, 110);
    EXPECT_EQ(valve.GetEndTime(), 88); // 10 + truncate(100 x 0.72 + 6.4)
    EXPECT_EQ(valve.GetFlowMeterEnd(), 110);

    const CDeviceCoffee dispenser = device(DispenserType, 10, 110);
    EXPECT_EQ(dispenser.GetEndTime(), 110);
    EXPECT_EQ(dispenser.GetFlowMeterEnd(), 0);

    cfg.object().SetFlowMeterMark(false);
    EXPECT_EQ(valve.GetEndTime(), 110);
    EXPECT_EQ(valve.GetFlowMeterEnd(), 0);
}

TEST_F(RowWithCatalogue, TypeIndicesOutsideTheCatalogueAreNoValveAndHaveNoEstimate)
{
    for (int type : {-1, 2, 30, INT_MIN, INT_MAX}) {
        const CDeviceCoffee row = device(type, 10, 110);
        EXPECT_EQ(row.GetEndTime(), 110) << type;
        EXPECT_EQ(row.GetFlowMeterEnd(), 0) << type;
        EXPECT_TRUE(row.GetEstimateText().isEmpty()) << type;
    }
}

TEST_F(RowWithCatalogue, ExtremeTimesOfAValveDoNotOverflow)
{
    EXPECT_EQ(device(ValveType, INT_MIN, INT_MAX).GetEndTime(), 944892810);
    EXPECT_EQ(device(ValveType, INT_MAX, INT_MAX).GetEndTime(), INT_MAX);
    EXPECT_FALSE(device(ValveType, INT_MIN, INT_MAX).GetEstimateText().isEmpty());
}

TEST_F(RowWithCatalogue, TheEstimateCoversTheActiveTime)
{
    EXPECT_EQ(device(DispenserType, 10, 50).GetEstimateText(), "5.0 gr");
    // A flow-meter valve: 100 pulses are 78 tenths, at 10 cc/s 78 cc.
    EXPECT_EQ(device(ValveType, 0, 100).GetEstimateText(), "78.0 cc");
}

TEST(CSugarCoffeeTest, TimesAreStoredInTheOrderBitterNormalExtraSweet)
{
    CSugarCoffee sugar;
    EXPECT_EQ(sugar.GetBitter(), 0);
    sugar.SetTimes(10, 20, 40);
    EXPECT_EQ(sugar.GetBitter(), 10);
    EXPECT_EQ(sugar.GetNormal(), 20);
    EXPECT_EQ(sugar.GetExtraSweet(), 40);
}
