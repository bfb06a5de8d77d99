#include "app/SetupT38A.h"
#include "app/T38ADeviceStrings.h"
#include "fw/ProgramWide.h"

#include <gtest/gtest.h>

#include <QList>

namespace {

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

const QByteArray GroupField = bytes({0xF5, 0x01, 0x80, 0x00, 0x81, 0x00});
const QByteArray GroupWater = bytes({0xF4, 0x03, 0x80, 0x00, 0x81, 0x50});
const QByteArray DispenserField = bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0x0A});
const QByteArray DispenserWater = bytes({0xF4, 0x01, 0x80, 0x00, 0x81, 0x14});
const QByteArray WhipperField = bytes({0xF3, 0x01, 0x80, 0x00, 0x81, 0x00});
const QByteArray HotWater = bytes({0xF4, 0x02, 0x80, 0x00, 0x81, 0x64});

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

TEST_F(T38ARowParser, SlotZeroIsTheCoffeeGroupWhenSetupRowZeroHasNoProduct)
{
    const QByteArray slotZero = bytes({0xF1, 0x00, 0x80, 0x00, 0x81, 0x05});
    const QByteArray string = slotZero + DispenserWater + WhipperField + bytes({0xFF, 0});

    // Set-up row 0 has no product by default: the field and its water make a coffee group.
    QList<QByteArray> devices = parseAll(string, int(string.size()));
    ASSERT_FALSE(devices.isEmpty());
    EXPECT_EQ(devices[0], slotZero + DispenserWater);

    setRow0Product(3);
    devices = parseAll(string, int(string.size()));
    ASSERT_EQ(devices.size(), 1);
    EXPECT_EQ(devices[0], slotZero + DispenserWater + WhipperField);
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
