#include "app/SetupT38A.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

void setProduct(SetupT38A& setup, int setupRow, int productIndex)
{
    auto row = setup.GetSetupRow(setupRow).value();
    row.productIndex = productIndex;
    setup.SetSetupRow(setupRow, row);
}

} // namespace

TEST(SetupT38ATest, DefaultTables)
{
    const SetupT38A setup;
    const int valves[] = {2, 0, 1, 1, 2, 3, 0, 0, 0, 0};
    const int whippers[] = {0, 0, 1, 1, 2, 3, 0, 0, 0, 0};
    for (int k = 0; k < SetupT38A::SetupRowCount; ++k) {
        const auto row = setup.GetSetupRow(k);
        ASSERT_TRUE(row.has_value());
        EXPECT_EQ(row->mgPerTurn, 0) << k;
        EXPECT_EQ(row->valveNumber, valves[k]) << k;
        EXPECT_EQ(row->whipperNumber, whippers[k]) << k;
        EXPECT_EQ(row->productIndex, -1) << k;
        EXPECT_EQ(row->whipSpeed, 100) << k;
    }
}

TEST(SetupT38ATest, DefaultNamesAreSpanishWhateverTheInterfaceLanguage)
{
    TestApplication app;
    app.profile().WriteInt("Ormi", "Idioma", 1);
    const SetupT38A setup;
    const char* names[] = {"CAFE", "CAFE DESCAFEINADO", "LECHE", "CHOCOLATE", "TE", "INFUSION / SOPA", "AZUCAR",
                           "SHALEB", "TE A LA MENTA", "NUTS", "TE AL LIMON", "VAINILLA", "NARANJA"};
    for (int k = 0; k < SetupT38A::ProductNameCount; ++k) {
        const QByteArray expected = k < 13 ? QByteArray(names[k]) : QByteArray();
        EXPECT_EQ(setup.GetProductName(k), expected) << k;
        EXPECT_EQ(setup.GetName2(k), expected) << k;
    }
    EXPECT_EQ(setup.GetGroupName(0), "GRUPO DE CAFE");
    EXPECT_EQ(setup.GetGroupName(1), "AGUA CALIENTE");
    EXPECT_EQ(setup.GetGroupName2(0), "GRUPO DE CAFE");
    EXPECT_EQ(setup.GetGroupName2(1), "AGUA CALIENTE");
}

TEST(SetupT38ATest, RowCountOfAFamily)
{
    const std::pair<quint32, int> cases[] = {{0, 5}, {1, 6}, {2, 5}, {3, 5}, {4, 5}, {5, 6}, {7, 5}, {UINT_MAX, 5}};
    for (const auto& [family, rows] : cases)
        EXPECT_EQ(SetupT38A::GetRowCount(family), rows) << family;
}

TEST(SetupT38ATest, DisplayNamesOverFamiliesAndRows)
{
    SetupT38A setup;
    // With no products every product row shows the coffee group.
    for (int row = 2; row <= 6; ++row)
        EXPECT_EQ(setup.GetRowDisplayName(row, 0), "GRUPO DE CAFE") << row;

    setProduct(setup, 0, 2);
    setProduct(setup, 4, 12);
    setup.SetName2(2, "LECHE ENTERA");
    const struct {
        int row;
        quint32 family;
        const char* name;
    } cases[] = {
        {0, 0, "GRUPO DE CAFE"}, {1, 0, "AGUA CALIENTE"}, {2, 0, "LECHE ENTERA"}, {3, 0, "GRUPO DE CAFE"},
        {6, 0, "NARANJA"},       {7, 0, ""},              {7, 1, "GRUPO DE CAFE"}, {8, 1, ""},
        {7, 5, "GRUPO DE CAFE"}, {7, 4, ""},              {-1, 0, ""},             {INT_MIN, 1, ""},
        {INT_MAX, 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(setup.GetRowDisplayName(c.row, c.family), QByteArray(c.name)) << c.row << " family " << c.family;
}

TEST(SetupT38ATest, RenamingTheEditedCoffeeGroupChangesProductRowsWithoutAProductOnly)
{
    SetupT38A setup;
    setup.SetGroupName2(0, "CAFE EXPRESO");
    EXPECT_EQ(setup.GetRowDisplayName(0, 0), "GRUPO DE CAFE");
    EXPECT_EQ(setup.GetRowDisplayName(2, 0), "CAFE EXPRESO");
}

TEST(SetupT38ATest, AProductIndexOutsideTheNamesGivesAnEmptyName)
{
    SetupT38A setup;
    for (int product : {20, -2, INT_MIN, INT_MAX}) {
        setProduct(setup, 1, product);
        EXPECT_TRUE(setup.GetRowDisplayName(3, 0).isEmpty()) << product;
    }
}

TEST(SetupT38ATest, RowNamesOfBothSetsAndRenaming)
{
    SetupT38A setup;
    EXPECT_EQ(setup.GetRowName(1), "AGUA CALIENTE");
    EXPECT_EQ(setup.GetRowName(4), "LECHE");
    EXPECT_TRUE(setup.SetRowName2(1, "AGUA"));
    EXPECT_TRUE(setup.SetRowName2(4, "LAIT"));
    EXPECT_TRUE(setup.SetRowName2(21, "ULTIMO"));
    EXPECT_EQ(setup.GetRowName2(1), "AGUA");
    EXPECT_EQ(setup.GetRowName2(4), "LAIT");
    EXPECT_EQ(setup.GetName2(2), "LAIT");
    EXPECT_EQ(setup.GetName2(19), "ULTIMO");
    EXPECT_EQ(setup.GetRowName(4), "LECHE"); // the first set stays
    for (int row : {-1, 22, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(setup.SetRowName2(row, "X")) << row;
        EXPECT_TRUE(setup.GetRowName(row).isEmpty()) << row;
        EXPECT_TRUE(setup.GetRowName2(row).isEmpty()) << row;
    }
}

TEST(SetupT38ATest, SetupRowsAndNamesOutsideTheirTablesAreRefused)
{
    SetupT38A setup;
    for (int index : {-1, 10, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(setup.GetSetupRow(index).has_value()) << index;
        EXPECT_FALSE(setup.SetSetupRow(index, {})) << index;
        EXPECT_TRUE(setup.GetMgPerTurnBcd(index).isEmpty()) << index;
        EXPECT_TRUE(setup.GetWhipSpeedBcd(index).isEmpty()) << index;
    }
    for (int index : {-1, 20, INT_MIN}) {
        EXPECT_TRUE(setup.GetName2(index).isEmpty());
        EXPECT_TRUE(setup.CopyMachineName(index).isEmpty());
        EXPECT_FALSE(setup.SetName2(index, "X"));
        EXPECT_FALSE(setup.SetProductName(index, "X"));
        EXPECT_FALSE(setup.SetGroupName(2, "X"));
    }
}

TEST(SetupT38ATest, ValuesGoToTheMachineAsFourBcdDigits)
{
    SetupT38A setup;
    SetupT38A::SetupRow row;
    row.mgPerTurn = 2468;
    row.whipSpeed = 100;
    setup.SetSetupRow(3, row);
    EXPECT_EQ(setup.GetMgPerTurnBcd(3), bytes({0x24, 0x68}));
    EXPECT_EQ(setup.GetWhipSpeedBcd(3), bytes({0x01, 0x00}));
    row.mgPerTurn = 10000; // past four digits: the machines' nibble wrap
    setup.SetSetupRow(3, row);
    EXPECT_EQ(setup.GetMgPerTurnBcd(3), bytes({0xA0, 0x00}));
}

TEST(SetupT38ATest, TheMachineNameIsTheSecondSetNameUpToAZeroByte)
{
    SetupT38A setup;
    setup.SetName2(0, "");
    EXPECT_TRUE(setup.CopyMachineName(0).isEmpty());
    setup.SetName2(1, QByteArray("CAFE\0XX", 7));
    EXPECT_EQ(setup.CopyMachineName(1), "CAFE");
}
