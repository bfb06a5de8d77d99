#include "app/CCfg.h"
#include "app/CDeviceCoffee.h"
#include "app/CSugarCoffee.h"
#include "app/DispositivoDlgData.h"
#include "app/DispositivoT38ADlgData.h"
#include "app/ProductDlgData.h"
#include "app/SetupT38A.h"
#include "app/SugarDlgData.h"
#include "app/TemperDlgData.h"
#include "fw/ProgramWide.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr int DispenserType = 4;

class RowFillTest : public ::testing::Test {
protected:
    RowFillTest()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        DeviceTypeRecord dispenser;
        dispenser.name = "DOSIF 2";
        dispenser.displayName = "DOSIFICADOR 2";
        dispenser.code = 0xF1;
        dispenser.subCode = 2;
        c.SetDeviceType(DispenserType, dispenser);
    }

    // A product header with every field set, to see what a device fill keeps.
    static CDeviceCoffee header()
    {
        CDeviceCoffee row;
        row.SetName("LECHE");
        row.SetProductNumber(3);
        row.SetSelectionNumber(3);
        row.SetWideName(WideName(u"LECHE"));
        row.SetNameIndex(5);
        row.SetStirrerFlag(0);
        row.SetCupFlag(0);
        row.SetCodePageFlag(1);
        row.SetWaterPulses(4);
        row.SetContainerTurns(9);
        row.SetStart(33);
        row.SetEnd(44);
        return row;
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
};

} // namespace

TEST_F(RowFillTest, RecordsStartAsTheirDialogsDo)
{
    app.profile().WriteInt("Ormi", "Codepage", 1255);
    const ProductDlgData product;
    EXPECT_EQ(product.productNumber, 0);
    EXPECT_EQ(product.selectionNumber, 0);
    EXPECT_TRUE(product.name.isEmpty());
    EXPECT_EQ(product.sugarFlag + product.cupFlag + product.stirrerFlag, 0);
    EXPECT_TRUE(product.wideName.isEmpty());
    EXPECT_EQ(product.nameIndex, 0);
    EXPECT_FALSE(product.t38aFlag);
    EXPECT_EQ(product.codePage, 1255u);

    const DispositivoDlgData device(22);
    EXPECT_EQ(device.model, 22);
    EXPECT_FALSE(device.valveMode);
    EXPECT_EQ(device.colour, -1);
    EXPECT_EQ(device.type, -1);
    EXPECT_EQ(device.startTime, 0);
    EXPECT_EQ(device.endTime, 0);

    const DispositivoT38ADlgData t38a;
    EXPECT_EQ(t38a.type, -1);
    EXPECT_EQ(t38a.waterPulses + t38a.turns + t38a.estimatedMilligrams + t38a.family, 0);

    const SugarDlgData sugar;
    EXPECT_EQ(sugar.bitter + sugar.normal + sugar.extraSweet, 0);
    EXPECT_FALSE(sugar.turnsMode);
    EXPECT_EQ(TemperDlgData().temperature, 0);
}

TEST_F(RowFillTest, AProductRecordFilledWithoutADialogMakesAHeader)
{
    CDeviceCoffee row;
    row.SetColour(3);
    row.SetStart(10);
    row.SetEnd(20);
    row.SetTypeIndex(DispenserType);
    row.SetTypeName("DOSIFICADOR 2");
    row.SetWaterPulses(5);
    row.SetContainerTurns(6);

    ProductDlgData record;
    record.productNumber = 7;
    record.selectionNumber = 7;
    record.name = "---";
    record.sugarFlag = record.stirrerFlag = record.cupFlag = 1;
    record.t38aFlag = true;
    record.nameIndex = 12;
    record.codePage = 1251;
    record.wideName.assign(u"CAFE CON LECHE Y AZUCAR"); // longer than a row holds
    row.FillFromProductDlg(record);

    EXPECT_TRUE(row.IsProductHeader());
    EXPECT_EQ(row.GetProductNumber(), 7);
    EXPECT_EQ(row.GetSelectionNumber(), 7);
    EXPECT_EQ(row.GetName(), "---");
    EXPECT_EQ(row.GetSugarFlag(), 1);
    EXPECT_EQ(row.GetStirrerFlag(), 1);
    EXPECT_EQ(row.GetCupFlag(), 1);
    EXPECT_EQ(row.GetNameIndex(), 12);
    EXPECT_EQ(row.GetCodePage(), 1251u);
    EXPECT_EQ(row.GetCodePageFlag(), 1);
    EXPECT_EQ(row.GetWideName().toQString(), "CAFE CON LECHE Y");
    EXPECT_EQ(row.GetColour(), 0);
    EXPECT_EQ(row.GetStart(), 0);
    EXPECT_EQ(row.GetEnd(), 0);
    EXPECT_EQ(row.GetTypeIndex(), 0);
    EXPECT_TRUE(row.GetTypeName().isEmpty());
    EXPECT_EQ(row.GetWaterPulses(), 5);
    EXPECT_EQ(row.GetContainerTurns(), 6);
}

TEST_F(RowFillTest, ADeviceRecordClearsTheProductButKeepsTheWideNameAndNameIndex)
{
    CDeviceCoffee row = header();
    DispositivoDlgData record(1);
    record.type = DispenserType;
    record.colour = 2;
    record.startTime = 10;
    record.endTime = 50;
    ASSERT_TRUE(row.FillFromDeviceDlg(record));

    EXPECT_FALSE(row.IsProductHeader());
    EXPECT_EQ(row.GetSelectionNumber(), 0);
    EXPECT_TRUE(row.GetName().isEmpty());
    EXPECT_EQ(row.GetSugarFlag(), 0);
    EXPECT_EQ(row.GetTypeIndex(), DispenserType);
    EXPECT_EQ(row.GetTypeName(), "DOSIFICADOR 2");
    EXPECT_EQ(row.GetColour(), 2);
    EXPECT_EQ(row.GetStart(), 10);
    EXPECT_EQ(row.GetEnd(), 50);
    EXPECT_EQ(row.GetWideName(), WideName(u"LECHE"));
    EXPECT_EQ(row.GetNameIndex(), 5);
    EXPECT_EQ(row.GetStirrerFlag(), 0);
    EXPECT_EQ(row.GetCupFlag(), 0);
    EXPECT_EQ(row.GetCodePageFlag(), 1);
    EXPECT_EQ(row.GetWaterPulses(), 4);
    EXPECT_EQ(row.GetContainerTurns(), 9);
}

TEST_F(RowFillTest, DeviceRecordsWithoutAUsableTypeAreRefused)
{
    for (int type : {-1, 30, INT_MAX, INT_MIN}) {
        CDeviceCoffee row = header();
        DispositivoDlgData record(1);
        record.type = type;
        record.colour = 2;
        EXPECT_FALSE(row.FillFromDeviceDlg(record)) << type;
        EXPECT_EQ(row.GetProductNumber(), 3) << type;
        EXPECT_EQ(row.GetName(), "LECHE") << type;
        EXPECT_EQ(row.GetTypeIndex(), 0) << type;
        EXPECT_EQ(row.GetColour(), 0) << type;
    }
    struct Case {
        int type;
        int family;
    };
    // Family 0 has rows 0..6, family 1 rows 0..7.
    for (const Case c : {Case{-1, 0}, Case{7, 0}, Case{8, 1}, Case{INT_MAX, 1}}) {
        CDeviceCoffee row = header();
        DispositivoT38ADlgData record;
        record.type = c.type;
        record.family = c.family;
        record.turns = 3;
        EXPECT_FALSE(row.FillFromDeviceT38ADlg(record)) << c.type;
        EXPECT_EQ(row.GetProductNumber(), 3) << c.type;
        EXPECT_EQ(row.GetContainerTurns(), 9) << c.type;
    }
}

TEST_F(RowFillTest, AT38ADeviceRecordNamesTheRowFromTheSetupTables)
{
    // "КОФЕ" in code page 1251.
    setup.object().SetGroupName(0, "\xCA\xCE\xD4\xC5");
    struct Case {
        quint32 codePage;
        int type;
        int family;
        QString wideName;
    };
    const Case cases[] = {
        {1250, 0, 0, QStringLiteral("LECHE")},         // the wide name stays
        {1251, 0, 0, QStringLiteral("КОФЕ")},          // the device's name in its alphabet
        {1251, 7, 1, QStringLiteral("GRUPO DE CAFE")}, // a set-up row without a product
        {1250, 1, 3, QStringLiteral("LECHE")},
    };
    for (const Case& c : cases) {
        CDeviceCoffee row = header();
        row.SetCodePage(c.codePage);
        row.SetCodePageFlag(0);
        DispositivoT38ADlgData record;
        record.type = c.type;
        record.family = c.family;
        record.waterPulses = 130;
        record.turns = 12;
        ASSERT_TRUE(row.FillFromDeviceT38ADlg(record)) << c.type;

        EXPECT_EQ(row.GetTypeIndex(), c.type);
        EXPECT_EQ(row.GetTypeName(), setup.object().GetRowDisplayName(c.type, quint32(c.family)));
        EXPECT_EQ(row.GetWideName().toQString(), c.wideName) << c.codePage << " " << c.type;
        EXPECT_EQ(row.GetWaterPulses(), 130);
        EXPECT_EQ(row.GetContainerTurns(), 12);
        EXPECT_EQ(row.GetCodePageFlag(), 1);
        EXPECT_FALSE(row.IsProductHeader());
        EXPECT_EQ(row.GetSelectionNumber(), 0);
        EXPECT_TRUE(row.GetName().isEmpty());
        EXPECT_EQ(row.GetSugarFlag(), 0);
        // The document chains the times afterwards.
        EXPECT_EQ(row.GetStart(), 33);
        EXPECT_EQ(row.GetEnd(), 44);
    }
}

TEST_F(RowFillTest, SugarTimesGoToTheirRecordAndBack)
{
    CSugarCoffee sugar;
    sugar.SetTimes(10, 20, 30);
    SugarDlgData record;
    record.turnsMode = true;
    sugar.CopyToDialog(record);
    EXPECT_EQ(record.bitter, 10);
    EXPECT_EQ(record.normal, 20);
    EXPECT_EQ(record.extraSweet, 30);
    EXPECT_TRUE(record.turnsMode);

    sugar.CopyFromDialog(record);
    EXPECT_EQ(sugar.GetBitter(), 10);
    EXPECT_EQ(sugar.GetNormal(), 20);
    EXPECT_EQ(sugar.GetExtraSweet(), 30);

    record.normal = 25;
    sugar.CopyFromDialog(record);
    EXPECT_EQ(sugar.GetNormal(), 25);
}
