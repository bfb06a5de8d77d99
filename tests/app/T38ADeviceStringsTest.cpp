#include "app/CDeviceCoffee.h"
#include "app/DispositivoT38ADlgData.h"
#include "app/SetupT38A.h"
#include "app/T38ADeviceStrings.h"
#include "fw/ByteWriter.h"
#include "fw/ProgramWide.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

#include <QList>

namespace {

const QByteArray GroupField = bytes({0xF5, 0x01, 0x80, 0x00, 0x81, 0x00});
const QByteArray GroupWater = bytes({0xF4, 0x03, 0x80, 0x00, 0x81, 0x50});
const QByteArray DispenserField = bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0x0A});
const QByteArray DispenserWater = bytes({0xF4, 0x01, 0x80, 0x00, 0x81, 0x14});
const QByteArray WhipperField = bytes({0xF3, 0x01, 0x80, 0x00, 0x81, 0x00});
const QByteArray HotWater = bytes({0xF4, 0x02, 0x80, 0x00, 0x81, 0x64});
// Written with set-up row 0 without a product (the shift), or with one; the coffee group on
// set-up row 1's valve either way.
const T38ASlotLayout Shifted{true, 1};
const T38ASlotLayout Unshifted{false, 1};

class T38ARowParser : public ::testing::Test {
protected:
    // Every device the string yields, in order.
    QList<QByteArray> parseAll(QByteArray string, int n)
    {
        QList<QByteArray> devices;
        QByteArray out;
        while (ParseT38ARow(string, n, out) && devices.size() < 10)
            devices.append(out);
        return devices;
    }
    void setRow0Product(int productIndex)
    {
        auto row = setup.object().GetSetupRow(0).value();
        row.productIndex = productIndex;
        setup.object().SetSetupRow(0, row);
    }

    fw::ProgramWide<SetupT38A>::Scope setup;
};

} // namespace

TEST_F(T38ARowParser, AnEndOrSeparatorBeforeAnyFieldGivesFalseAtOnce)
{
    for (int first : {0xFF, 0xCC}) {
        QByteArray string = bytes({first}) + GroupField + GroupWater;
        const QByteArray before = string;
        QByteArray out = "untouched";
        EXPECT_FALSE(ParseT38ARow(string, int(string.size()), out));
        EXPECT_EQ(string, before);
        EXPECT_EQ(out, "untouched");
    }
}

TEST_F(T38ARowParser, CoffeeGroupAndItsWater)
{
    QByteArray string = GroupField + GroupWater + bytes({0xFF, 0x01});
    ASSERT_EQ(string.size(), 14);
    QByteArray out;
    EXPECT_TRUE(ParseT38ARow(string, 14, out));
    EXPECT_EQ(out, GroupField + GroupWater);
    EXPECT_FALSE(ParseT38ARow(string, 14, out));
}

TEST_F(T38ARowParser, TakesOneDeviceAtATimeInTheEncodersOrder)
{
    const QByteArray string = GroupField + GroupWater + DispenserField + DispenserWater + WhipperField +
                              HotWater + bytes({0xFF, 0x03});
    const QList<QByteArray> devices = parseAll(string, int(string.size()));
    ASSERT_EQ(devices.size(), 3);
    EXPECT_EQ(devices[0], GroupField + GroupWater);
    EXPECT_EQ(devices[1], DispenserField + DispenserWater + WhipperField);
    EXPECT_EQ(devices[2], HotWater);
}

TEST_F(T38ARowParser, FieldsOnBothSidesOfASeparatorMakeOneDevice)
{
    const QByteArray string = DispenserField + bytes({0xF6, 0xCC}) + DispenserWater + WhipperField + bytes({0xFF, 0});
    const QList<QByteArray> devices = parseAll(string, int(string.size()));
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0], DispenserField + DispenserWater + WhipperField);
}

// Slot 0 is the first product row's dispenser when the machine was written with the shift:
// its whipper is its own, not the next device's.
TEST_F(T38ARowParser, SlotZeroIsADispenserWithItsWhipperWhateverSetupRowZeroHolds)
{
    const QByteArray slotZero = bytes({0xF1, 0x00, 0x80, 0x00, 0x81, 0x05});
    const QByteArray string = slotZero + DispenserWater + WhipperField + DispenserField + DispenserWater +
                              bytes({0xF3, 0x02, 0x80, 0x00, 0x81, 0x00, 0xFF, 0});
    for (int productIndex : {SetupT38A::NoProduct, 3}) {
        SCOPED_TRACE(productIndex);
        setRow0Product(productIndex);
        const QList<QByteArray> devices = parseAll(string, int(string.size()));
        ASSERT_EQ(devices.size(), 2);
        EXPECT_EQ(devices[0], slotZero + DispenserWater + WhipperField);
        EXPECT_EQ(devices[1], DispenserField + DispenserWater + bytes({0xF3, 0x02, 0x80, 0x00, 0x81, 0x00}));
    }
}

TEST_F(T38ARowParser, AGroupKeepsItsOwnWhipperAndAWaterAfterAWaterIsAHotWater)
{
    // A group whose row name is not the first group name is sent with a whipper field.
    const QByteArray groupWhipper = bytes({0xF3, 0x00, 0x80, 0x00, 0x81, 0x00});
    const QByteArray string = GroupField + GroupWater + groupWhipper + DispenserField + DispenserWater + HotWater +
                              HotWater + DispenserField + DispenserWater + WhipperField + bytes({0xFF, 0x04});
    const QList<QByteArray> devices = parseAll(string, int(string.size()));
    ASSERT_EQ(devices.size(), 5);
    EXPECT_EQ(devices[0], GroupField + GroupWater + groupWhipper);
    EXPECT_EQ(devices[1], DispenserField + DispenserWater);
    EXPECT_EQ(devices[2], HotWater);
    EXPECT_EQ(devices[3], HotWater);
    EXPECT_EQ(devices[4], DispenserField + DispenserWater + WhipperField);
}

TEST_F(T38ARowParser, AValueOf204IsAValueNotASeparator)
{
    const QByteArray turns204 = bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0xCC});
    const QByteArray water204 = bytes({0xF4, 0x01, 0x80, 0x00, 0x81, 0xEF, 0x83, 0xCC});
    const QByteArray string = turns204 + water204 + WhipperField + HotWater + bytes({0xFF, 0x01});
    const QList<QByteArray> devices = parseAll(string, int(string.size()));
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0], turns204 + water204 + WhipperField);
    EXPECT_EQ(devices[1], HotWater);
}

TEST_F(T38ARowParser, ADeviceWithoutAWhipperEndsAtTheNextDeviceOrAtTheEnd)
{
    // Dispensers on product rows without a product are sent without a whipper.
    const QByteArray otherDispenser = bytes({0xF1, 0x03, 0x80, 0x00, 0x81, 0x0C});
    const QByteArray string = DispenserField + DispenserWater + GroupField + GroupWater + otherDispenser +
                              DispenserWater + bytes({0xFF, 0x01});
    QList<QByteArray> devices = parseAll(string, int(string.size()));
    ASSERT_EQ(devices.size(), 3);
    EXPECT_EQ(devices[0], DispenserField + DispenserWater);
    EXPECT_EQ(devices[1], GroupField + GroupWater);
    EXPECT_EQ(devices[2], otherDispenser + DispenserWater);

    // A hot water before a dispenser stays a device of its own.
    const QByteArray hotWaterFirst = HotWater + DispenserField + DispenserWater + WhipperField + bytes({0xFF, 0x02});
    devices = parseAll(hotWaterFirst, int(hotWaterFirst.size()));
    ASSERT_EQ(devices.size(), 2);
    EXPECT_EQ(devices[0], HotWater);
    EXPECT_EQ(devices[1], DispenserField + DispenserWater + WhipperField);
}

TEST_F(T38ARowParser, AFieldWithContinuationPairsIsTakenWhole)
{
    const QByteArray turns600 = bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0xEF, 0x83, 0xEF, 0x83, 0x7A});
    const QByteArray string = turns600 + DispenserWater + WhipperField + bytes({0xFF, 0});
    const QList<QByteArray> devices = parseAll(string, int(string.size()));
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0], turns600 + DispenserWater + WhipperField);
}

TEST_F(T38ARowParser, AHotWaterThatRunsToTheEndOfTheBytesIsComplete)
{
    // The reader's count leaves out the closing 0xFF: the water field ends with the bytes.
    const QByteArray string = HotWater + bytes({0x09});
    const QList<QByteArray> devices = parseAll(string, int(string.size()));
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0], HotWater);
}

// The reader hands over a product's bytes in its zero-filled work area of 180 bytes, the header
// zeroed and the count leaving out only the product number: the last device's field runs to the
// end of the bytes and ends after its time pairs, never with the zero fill behind them.
TEST_F(T38ARowParser, AFieldThatRunsIntoTheZeroFillEndsAfterItsPairs)
{
    const QByteArray turns600 = bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0xEF, 0x83, 0xEF, 0x83, 0x7A});
    const QByteArray water0 = bytes({0xF4, 0x01, 0x80, 0x00, 0x81, 0x00});
    const QByteArray dispenser = DispenserField + DispenserWater + WhipperField;
    const struct {
        const char* what;
        QList<QByteArray> devices;
    } cases[] = {
        {"hot waters", {HotWater, HotWater, HotWater}},
        {"a hot water after a dispenser", {dispenser, HotWater}},
        {"a dispenser with continuation pairs and no whipper", {HotWater, turns600 + water0}},
        {"a dispenser with its whipper", {HotWater, HotWater, dispenser}},
    };
    const QByteArray header(6, '\0');
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray string = header + c.devices.join() + bytes({0xFF, 0x01});
        const int n = int(string.size()) - 1;
        string.resize(180, '\0');
        EXPECT_EQ(parseAll(string, n), c.devices);
    }
}

TEST_F(T38ARowParser, NeverReadsPastTheStringOrPast180Bytes)
{
    QByteArray out;
    QByteArray shortString = GroupField + GroupWater + bytes({0xFF, 0x01});
    EXPECT_TRUE(ParseT38ARow(shortString, 1000, out));
    EXPECT_EQ(out, GroupField + GroupWater);

    QByteArray none = GroupField + GroupWater;
    EXPECT_FALSE(ParseT38ARow(none, -3, out));

    QByteArray beyond = QByteArray(185, '\0') + HotWater + bytes({0xFF});
    const QByteArray before = beyond;
    EXPECT_FALSE(ParseT38ARow(beyond, int(beyond.size()), out));
    EXPECT_EQ(beyond.mid(180), before.mid(180));

    QByteArray inside = QByteArray(170, '\0') + HotWater + bytes({0xFF}) + QByteArray(40, '\0');
    EXPECT_TRUE(ParseT38ARow(inside, int(inside.size()), out));
    EXPECT_EQ(out, HotWater);
}

namespace {

class T38ASlotParser : public ::testing::Test {
protected:
    SetupT38A::SetupRow row(int k) { return setup.object().GetSetupRow(k).value(); }

    fw::ProgramWide<SetupT38A>::Scope setup;
    DispositivoT38ADlgData record;
};

} // namespace

TEST_F(T38ASlotParser, CoffeeGroup)
{
    ParseT38ASlots(GroupField + GroupWater, record, Shifted);
    EXPECT_EQ(record.type, 0);
    EXPECT_EQ(record.turns, 0);
    EXPECT_EQ(record.waterPulses, 80);
    EXPECT_EQ(row(1).valveNumber, 3);
}

TEST_F(T38ASlotParser, HotWater)
{
    ParseT38ASlots(HotWater, record, Shifted);
    EXPECT_EQ(record.type, 1);
    EXPECT_EQ(record.turns, 0);
    EXPECT_EQ(record.waterPulses, 100);
    EXPECT_EQ(row(0).valveNumber, 2);
}

TEST_F(T38ASlotParser, DispenserWithItsValveAndWhipper)
{
    auto rates = row(3);
    rates.mgPerTurn = 250;
    setup.object().SetSetupRow(3, rates);
    // The reader's work area is blank after the fields.
    const QByteArray fields = DispenserField + bytes({0xF4, 0x05, 0x80, 0x00, 0x81, 0x14}) +
                              bytes({0xF3, 0x04, 0x80, 0x00, 0x81, 0x00}) + QByteArray(60, ' ');
    ParseT38ASlots(fields, record, Shifted);
    EXPECT_EQ(record.type, 4);
    EXPECT_EQ(record.turns, 10);
    EXPECT_EQ(record.estimatedMilligrams, 2500);
    EXPECT_EQ(record.waterPulses, 20);
    EXPECT_EQ(row(3).valveNumber, 5);
    EXPECT_EQ(row(3).whipperNumber, 4);
}

TEST_F(T38ASlotParser, WithoutTheShiftTheSlotIsOneRowLowerOnTheSameSetupRow)
{
    const QByteArray fields = DispenserField + bytes({0xF4, 0x05, 0x80, 0x00, 0x81, 0x14}) +
                              bytes({0xF3, 0x04, 0x80, 0x00, 0x81, 0x00});
    ParseT38ASlots(fields, record, Unshifted);
    EXPECT_EQ(record.type, 3);
    EXPECT_EQ(record.turns, 10);
    EXPECT_EQ(row(3).valveNumber, 5);
    EXPECT_EQ(row(3).whipperNumber, 4);
}

TEST_F(T38ASlotParser, ASlotOutsideTheTablesChangesNothing)
{
    const SetupT38A before = setup.object();
    record.turns = 77;
    for (int slot : {9, 0xEF}) {
        const QByteArray fields = bytes({0xF1, slot, 0x80, 0x00, 0x81, 0x0A}) + DispenserWater + WhipperField;
        ParseT38ASlots(fields, record, Shifted);
        EXPECT_EQ(record.type, DispositivoT38ADlgData::NoType) << slot;
        EXPECT_EQ(record.turns, 77) << slot;
    }
    for (int k = 0; k < SetupT38A::SetupRowCount; ++k) {
        EXPECT_EQ(row(k).valveNumber, before.GetSetupRow(k)->valveNumber) << k;
        EXPECT_EQ(row(k).whipperNumber, before.GetSetupRow(k)->whipperNumber) << k;
    }
    // Set-up row 9, the last one, is still in the tables.
    ParseT38ASlots(bytes({0xF1, 8, 0x80, 0x00, 0x81, 0x0A}) + DispenserWater + WhipperField, record, Shifted);
    EXPECT_EQ(record.type, 10);
    EXPECT_EQ(row(9).valveNumber, 1);
}

TEST_F(T38ASlotParser, NothingForAnEmptyOrUnknownDevice)
{
    ParseT38ASlots(QByteArrayView(), record, Shifted);
    ParseT38ASlots(bytes({0xF3, 0x01, 0x80, 0x00, 0x81, 0x00}), record, Shifted);
    ParseT38ASlots(bytes({0xF1}), record, Shifted);
    EXPECT_EQ(record.type, 2); // the lone dispenser byte is slot 0; its missing values are 0
    EXPECT_EQ(record.turns, 0);
    EXPECT_EQ(record.waterPulses, 0);
}

TEST_F(T38ASlotParser, TurnsAndPulsesAbove239SurviveAWriteAndReadBack)
{
    struct Case {
        int type;
        int turns;
        int pulses;
    };
    // Set-up row 0 has no product, so the rows are written with the shift, as the compile
    // step does; the coffee group itself has no turns.
    const Case cases[] = {{3, 600, 300}, {3, 240, 479}, {1, 0, 1024}, {0, 0, 700}};
    for (const Case& c : cases) {
        CDeviceCoffee device;
        device.SetTypeIndex(c.type);
        device.SetContainerTurns(c.turns);
        device.SetWaterPulses(c.pulses);
        device.SetTypeName(c.type == 0 ? "GRUPO DE CAFE" : "DOSIS");
        fw::ByteWriter out;
        ASSERT_GT(device.EncodeRowT38A(out, true), 0);
        QByteArray string = out.data() + bytes({0xFF, 0x01});
        QByteArray fields;
        ASSERT_TRUE(ParseT38ARow(string, int(string.size()), fields)) << c.type;
        DispositivoT38ADlgData read;
        ParseT38ASlots(fields, read, Shifted);
        EXPECT_EQ(read.type, c.type);
        EXPECT_EQ(read.turns, c.turns) << c.type;
        EXPECT_EQ(read.waterPulses, c.pulses) << c.type;
    }
}

TEST_F(T38ASlotParser, TheGroupsValveAndWhipperGoBackToTheRowsTheyCameFrom)
{
    const QByteArray groupWhipper = bytes({0xF3, 0x04, 0x80, 0x00, 0x81, 0x00});
    struct Case {
        T38ASlotLayout layout;
        int valveRow, whipperRow;
    };
    // With the shift the group's slot is one below set-up row 0's; without it, set-up row 3
    // stands for the first row without a product.
    const Case cases[] = {{{true, 1}, 1, 0}, {{false, 3}, 3, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.valveRow);
        setup.object() = SetupT38A();
        ParseT38ASlots(GroupField + GroupWater + groupWhipper, record, c.layout);
        EXPECT_EQ(record.type, 0);
        EXPECT_EQ(record.waterPulses, 80);
        EXPECT_EQ(row(c.valveRow).valveNumber, 3);
        EXPECT_EQ(row(c.whipperRow).whipperNumber, 4);
        for (int k = 0; k < SetupT38A::SetupRowCount; ++k) {
            if (k != c.valveRow) {
                EXPECT_EQ(row(k).valveNumber, SetupT38A().GetSetupRow(k)->valveNumber) << k;
            }
            if (k != c.whipperRow) {
                EXPECT_EQ(row(k).whipperNumber, SetupT38A().GetSetupRow(k)->whipperNumber) << k;
            }
        }
    }
}

TEST_F(T38ASlotParser, WithoutTheShiftSlotZeroIsNoProductRow)
{
    ParseT38ASlots(bytes({0xF1, 0x00, 0x80, 0x00, 0x81, 0x0A}) + DispenserWater + WhipperField, record, Unshifted);
    EXPECT_EQ(record.type, DispositivoT38ADlgData::NoType);
    EXPECT_EQ(row(1).valveNumber, SetupT38A().GetSetupRow(1)->valveNumber);
}

TEST_F(T38ASlotParser, ValuesOf204AreTakenWhole)
{
    const QByteArray fields = bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0xCC, 0xF4, 0x01, 0x80, 0x00, 0x81, 0xEF, 0x83, 0xCC});
    ParseT38ASlots(fields, record, Shifted);
    EXPECT_EQ(record.turns, 204);
    EXPECT_EQ(record.waterPulses, 239 + 204);
}

// Set-up row 0 without a product (the shift): the first product row's dispenser is slot 0,
// the next one slot 1; each keeps its own valve and whipper.
TEST_F(T38ASlotParser, TwoDispensersWrittenWithTheShiftKeepTheirOwnRows)
{
    QByteArray string = bytes({0xF1, 0x00, 0x80, 0x00, 0x81, 0x05, 0xF4, 0x02, 0x80, 0x00, 0x81, 0x06,
                               0xF3, 0x01, 0x80, 0x00, 0x81, 0x00, 0xF1, 0x01, 0x80, 0x00, 0x81, 0x07,
                               0xF4, 0x03, 0x80, 0x00, 0x81, 0x08, 0xF3, 0x02, 0x80, 0x00, 0x81, 0x00,
                               0xFF, 0x01});
    const int n = int(string.size()) - 1; // the reader leaves out the product number
    struct Read {
        int type, turns, pulses;
    };
    const Read expected[] = {{2, 5, 6}, {3, 7, 8}};
    QByteArray fields;
    for (const Read& want : expected) {
        ASSERT_TRUE(ParseT38ARow(string, n, fields));
        DispositivoT38ADlgData device;
        ParseT38ASlots(fields, device, Shifted);
        EXPECT_EQ(device.type, want.type);
        EXPECT_EQ(device.turns, want.turns);
        EXPECT_EQ(device.waterPulses, want.pulses);
    }
    EXPECT_FALSE(ParseT38ARow(string, n, fields));
    EXPECT_EQ(row(1).valveNumber, 2);
    EXPECT_EQ(row(1).whipperNumber, 1);
    EXPECT_EQ(row(2).valveNumber, 3);
    EXPECT_EQ(row(2).whipperNumber, 2);
}
