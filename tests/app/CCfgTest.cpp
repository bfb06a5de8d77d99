#include "app/CCfg.h"
#include "app/DefaultProductNames.h"
#include "tests/db/LocaleScope.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

DeviceTypeRecord record(const char* name, int code, int subCode)
{
    DeviceTypeRecord r;
    r.name = name;
    r.displayName = QByteArray(name) + " (display)";
    r.code = code;
    r.subCode = subCode;
    return r;
}

// A catalogue of 30 types and 10 dispenser rows with its records and names made.
class LoadedCatalogue : public ::testing::Test {
protected:
    LoadedCatalogue()
    {
        cfg.ResetDeviceTypes();
        cfg.ResetDispenserTable();
        cfg.ResizeProductNames();
    }
    CCfg cfg{30, 10};
};

const int OutOfRange[] = {-1, 30, 100, INT_MIN, INT_MAX};

} // namespace

TEST(CCfgTest, AnUnloadedCatalogueAnswersEveryLookupEmpty)
{
    const CCfg cfg(30, 10);
    EXPECT_EQ(cfg.GetTypeCount(), 30);
    EXPECT_EQ(cfg.GetRowCount(), 10);
    EXPECT_EQ(cfg.GetDeviceTypeCount(), 0);
    EXPECT_EQ(cfg.GetProductNameCount(), 0);
    EXPECT_EQ(cfg.GetDispenserTable().rowCount(), 0);
    EXPECT_FALSE(cfg.GetListFlagMark());
    EXPECT_FALSE(cfg.GetFlowMeterMark());
    EXPECT_EQ(cfg.GetPumpRate(), 0.0f);

    QByteArray text = "kept";
    EXPECT_FALSE(cfg.GetTypeName(0, text));
    EXPECT_EQ(cfg.FindDeviceType(0xF1, 1, text), -1);
    EXPECT_EQ(text, "kept");
    EXPECT_FALSE(cfg.GetProductName(0, text));
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(cfg.CountNamedTypes(), 0);
    EXPECT_TRUE(cfg.GetEstimateText(0, 40).isEmpty());
    EXPECT_TRUE(cfg.GetDefaultName(1).isEmpty());
}

TEST_F(LoadedCatalogue, NewRecordsAreUnnamedListedAndOfCodeZero)
{
    ASSERT_EQ(cfg.GetDeviceTypeCount(), 30);
    const DeviceTypeRecord* first = cfg.GetDeviceType(0);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->name.isEmpty());
    EXPECT_TRUE(first->displayName.isEmpty());
    EXPECT_EQ(first->code, 0);
    EXPECT_EQ(first->subCode, 0);
    EXPECT_TRUE(first->listFlag);
    EXPECT_EQ(cfg.GetProductNameCount(), 100);
    EXPECT_EQ(cfg.GetDispenserTable().row(9), DispenserTable::Row{});
}

TEST_F(LoadedCatalogue, ProductNamesOutsideTheEntriesGiveAnEmptyNameAndFalse)
{
    ASSERT_TRUE(cfg.SetProductName(99, "TE"));
    QByteArray name;
    EXPECT_TRUE(cfg.GetProductName(99, name));
    EXPECT_EQ(name, "TE");
    for (int index : OutOfRange) {
        if (index == 30)
            continue; // a product index, inside the names
        name = "left over";
        EXPECT_FALSE(cfg.GetProductName(index, name)) << index;
        EXPECT_TRUE(name.isEmpty()) << index;
        EXPECT_FALSE(cfg.SetProductName(index, "X")) << index;
    }
}

TEST_F(LoadedCatalogue, ResizingKeepsTheNamesAnEarlierLoadGave)
{
    cfg.SetProductName(4, "CHOCOLATE");
    cfg.ResizeProductNames();
    QByteArray name;
    cfg.GetProductName(4, name);
    EXPECT_EQ(name, "CHOCOLATE");
}

TEST_F(LoadedCatalogue, FindProductNameTrimsComparesExactlyAndFindsNothingForAnEmptyName)
{
    cfg.SetProductName(3, "LECHE");
    cfg.SetProductName(7, "LECHE");
    int index = -1;
    EXPECT_TRUE(cfg.FindProductName(index, "  LECHE \t"));
    EXPECT_EQ(index, 3);

    for (const char* missing : {"leche", "LECHE ENTERA", "", "   "}) {
        index = -1;
        EXPECT_FALSE(cfg.FindProductName(index, missing)) << missing;
        EXPECT_EQ(index, 0) << missing;
    }
}

TEST_F(LoadedCatalogue, FindDeviceTypeGivesTheLowestIndexOfACodeAndSubCode)
{
    cfg.SetDeviceType(4, record("AGUA 1", 0xF4, 1));
    cfg.SetDeviceType(9, record("AGUA 1 BIS", 0xF4, 1));
    QByteArray display;
    EXPECT_EQ(cfg.FindDeviceType(0xF4, 1, display), 4);
    EXPECT_EQ(display, "AGUA 1 (display)");

    display = "kept";
    EXPECT_EQ(cfg.FindDeviceType(0xF4, 2, display), -1);
    EXPECT_EQ(display, "kept");
}

TEST_F(LoadedCatalogue, TypeIndicesOutsideTheRecordsGiveTheEmptyResult)
{
    cfg.SetDeviceType(0, record("AGUA", 0xF4, 1));
    cfg.SetFlowMeterMark(true);
    cfg.SetPumpRate(10.0f);
    for (int index : OutOfRange) {
        QByteArray display = "kept";
        EXPECT_FALSE(cfg.GetTypeName(index, display)) << index;
        EXPECT_EQ(display, "kept");
        EXPECT_EQ(cfg.GetDeviceType(index), nullptr);
        EXPECT_FALSE(cfg.IsEstimatedValve(index));
        EXPECT_TRUE(cfg.GetEstimateText(index, 100).isEmpty());
        EXPECT_FALSE(cfg.SetDeviceType(index, record("X", 0xF1, 1)));
    }
}

TEST_F(LoadedCatalogue, RecordNamesAreCutToSixtyBytes)
{
    cfg.SetDeviceType(2, record(QByteArray(70, 'N').constData(), 0xF1, 1));
    EXPECT_EQ(cfg.GetDeviceType(2)->name, QByteArray(60, 'N'));
}

TEST_F(LoadedCatalogue, OnlyWaterValvesOfAFlowMeterMachineAreEstimatedValves)
{
    cfg.SetDeviceType(0, record("AGUA", 0xF4, 1));
    cfg.SetDeviceType(1, record("CAFE", 0xF1, 1));
    EXPECT_FALSE(cfg.IsEstimatedValve(0));
    cfg.SetFlowMeterMark(true);
    EXPECT_TRUE(cfg.IsEstimatedValve(0));
    EXPECT_FALSE(cfg.IsEstimatedValve(1));
    EXPECT_FALSE(cfg.IsEstimatedValve(2)); // an unnamed record of code 0
}

TEST_F(LoadedCatalogue, CountNamedTypesCountsRecordsWithAName)
{
    cfg.SetDeviceType(0, record("A", 0xF1, 1));
    cfg.SetDeviceType(29, record("B", 0xF4, 1));
    EXPECT_EQ(cfg.CountNamedTypes(), 2);
}

TEST_F(LoadedCatalogue, EstimateTexts)
{
    const LocaleScope locale(QLocale::c());
    struct Case {
        bool twentiethTypeNamed;
        int code;
        int subCode;
        int activeTime;
        const char* expected;
    };
    const Case cases[] = {
        // Dispensers k = 1..5 by their rate in grams per 10 s (rate 1: 12.5, rate 5: 2.0).
        {false, 0xF1, 1, 40, "5.0 gr"},
        {false, 0xF1, 5, 15, "0.3 gr"},
        {false, 0xF1, 2, 40, ""}, // rate 0
        {false, 0xF1, 6, 40, ""}, // no rate for dispensers past 5
        // Water valves at 10 cc/s; one sub-code loses 25 cc, never going below 0.
        {true, 0xF4, 5, 20, "0.0 cc"},
        {true, 0xF4, 5, 100, "75.0 cc"},
        {true, 0xF4, 4, 100, "100.0 cc"},
        {false, 0xF4, 4, 100, "75.0 cc"},
        {false, 0xF4, 4, 10, "0.0 cc"},
        {false, 0xF4, 5, 100, "100.0 cc"},
        {false, 0xF3, 1, 100, ""}, // whippers have no estimate
    };
    cfg.SetDispenserRate(1, 12.5f);
    cfg.SetDispenserRate(5, 2.0f);
    cfg.SetPumpRate(10.0f);
    for (const Case& c : cases) {
        cfg.ResetDeviceTypes();
        if (c.twentiethTypeNamed)
            cfg.SetDeviceType(19, record("TIPO 20", 0x10, 1));
        cfg.SetDeviceType(0, record("DEVICE", c.code, c.subCode));
        EXPECT_EQ(cfg.GetEstimateText(0, c.activeTime), QString::fromLatin1(c.expected))
            << std::hex << c.code << std::dec << " sub-code " << c.subCode << " over " << c.activeTime;
    }
}

TEST_F(LoadedCatalogue, EstimatesCarryTheUsersDecimalSeparator)
{
    cfg.SetDeviceType(0, record("CAFE", 0xF1, 1));
    cfg.SetDeviceType(1, record("AGUA", 0xF4, 1));
    cfg.SetDispenserRate(1, 12.5f);
    cfg.SetPumpRate(10.0f);
    const LocaleScope locale(QLocale(QLocale::Spanish, QLocale::Spain));
    EXPECT_EQ(cfg.GetEstimateText(0, 100), "12,5 gr");
    EXPECT_EQ(cfg.GetEstimateText(1, 10000), "10000,0 cc"); // no thousands grouping
}

TEST_F(LoadedCatalogue, AValveHasNoEstimateWithoutAPumpRate)
{
    cfg.SetDeviceType(0, record("AGUA", 0xF4, 1));
    EXPECT_TRUE(cfg.GetEstimateText(0, 100).isEmpty());
}

TEST(CCfgRatesTest, RatesExistForDispensersOneToFiveOnly)
{
    CCfg cfg(30, 10);
    EXPECT_TRUE(cfg.SetDispenserRate(5, 3.5f));
    EXPECT_EQ(cfg.GetDispenserRate(5), 3.5f);
    for (int dispenser : {0, 6, -1, INT_MIN}) {
        EXPECT_FALSE(cfg.SetDispenserRate(dispenser, 1.0f));
        EXPECT_EQ(cfg.GetDispenserRate(dispenser), 0.0f);
    }
}

TEST_F(LoadedCatalogue, DefaultNameOfADispenserComesFromItsProductType)
{
    TestApplication app;
    ASSERT_TRUE(cfg.SetDispenserRow(2, {0, 13, 0, 0, 0, 0}));
    ASSERT_TRUE(cfg.SetDispenserRow(3, {0, 42, 0, 0, 0, 0}));
    EXPECT_EQ(cfg.GetDefaultName(3), "NARANJA");
    EXPECT_TRUE(cfg.GetDefaultName(4).isEmpty()); // product type outside 0..19
    EXPECT_TRUE(cfg.GetDefaultName(1).isEmpty()); // product type 0
    for (int dispenser : {0, 11, -5, INT_MIN, INT_MAX})
        EXPECT_TRUE(cfg.GetDefaultName(dispenser).isEmpty()) << dispenser;
    EXPECT_FALSE(cfg.SetDispenserRow(10, {}));
    EXPECT_FALSE(cfg.SetDispenserRow(-1, {}));
}

TEST(DefaultProductNamesTest, TheInterfaceLanguagePicksTheColumn)
{
    EXPECT_EQ(GetDefaultTypeName(13), "NARANJA"); // no application yet: Spanish
    TestApplication app;
    EXPECT_EQ(GetDefaultTypeName(13), "NARANJA");
    EXPECT_EQ(GetDefaultTypeName(2), "CAFE DESCAFEINADO");
    app.profile().WriteInt("Ormi", "Idioma", 3);
    EXPECT_EQ(GetDefaultTypeName(13), "ORANGE");
    EXPECT_EQ(GetDefaultTypeName(2), "DESC COFFEE");
    for (int type : {0, 14, 19, 20, -1})
        EXPECT_TRUE(GetDefaultTypeName(type).isEmpty()) << type;
}

TEST(DispenserTableTest, CellsOutsideTheTableAreAbsent)
{
    DispenserTable table(10);
    table.setRow(0, {1, 2, 3, 4, 5, 6});
    EXPECT_EQ(table.value(0, DispenserTable::WhipperColumn), 5);
    EXPECT_FALSE(table.value(0, 6).has_value());
    EXPECT_FALSE(table.value(0, -1).has_value());
    EXPECT_FALSE(table.value(10, 0).has_value());
    EXPECT_FALSE(table.value(-1, 0).has_value());
    EXPECT_EQ(DispenserTable(-3).rowCount(), 0);
}
