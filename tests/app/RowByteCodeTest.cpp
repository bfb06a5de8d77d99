#include "app/CCfg.h"
#include "app/CDeviceCoffee.h"
#include "app/CSugarCoffee.h"
#include "app/RowByteCode.h"
#include "app/SetupT38A.h"
#include "fw/ByteWriter.h"
#include "fw/ProgramWide.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestBytes.h"
#include "tests/support/TestDeviceTypes.h"

#include <gtest/gtest.h>

namespace {

// The catalogue and set-up tables the byte code consults.
class ByteCode : public ::testing::Test {
protected:
    static constexpr int Dispenser1 = 0;
    static constexpr int Whipper1 = 1;
    static constexpr int Valve1 = 2;
    static constexpr int GroupCoded = 3; // a device code 0xF5 the relay file gives
    static constexpr int SpareCoded = 4; // 0xF8

    ByteCode()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        c.SetDeviceType(Dispenser1, deviceType("DOSIFICADOR 1", 0xF1, 1));
        c.SetDeviceType(Whipper1, deviceType("BATIDOR 1", 0xF3, 1));
        c.SetDeviceType(Valve1, deviceType("VALVULA 1", 0xF4, 1));
        c.SetDeviceType(GroupCoded, deviceType("GRUPO", 0xF5, 7));
        c.SetDeviceType(SpareCoded, deviceType("RESERVA", 0xF8, 2));
        c.ResizeProductNames();
        c.SetProductName(3, "LECHE");
    }

    static CDeviceCoffee header(int number, const QByteArray& name)
    {
        CDeviceCoffee row;
        row.SetProductNumber(number);
        row.SetSelectionNumber(number);
        row.SetName(name);
        return row;
    }
    static CDeviceCoffee device(int typeIndex, int start, int end)
    {
        CDeviceCoffee row;
        row.SetTypeIndex(typeIndex);
        row.SetStart(start);
        row.SetEnd(end);
        return row;
    }
    static CDeviceCoffee t38aDevice(int typeIndex, int turns, int pulses, const QByteArray& typeName = "DOSIS")
    {
        CDeviceCoffee row;
        row.SetTypeIndex(typeIndex);
        row.SetContainerTurns(turns);
        row.SetWaterPulses(pulses);
        row.SetTypeName(typeName);
        return row;
    }
    static QByteArray standard(const CDeviceCoffee& row)
    {
        fw::ByteWriter out;
        const int length = row.EncodeRowStandard(out);
        EXPECT_EQ(length, out.size());
        return out.data();
    }
    static QByteArray t38a(CDeviceCoffee& row, bool shift = false)
    {
        fw::ByteWriter out;
        const int length = row.EncodeRowT38A(out, shift);
        EXPECT_EQ(length, out.size());
        return out.data();
    }
    void setProduct(int setupRow, int productIndex)
    {
        auto row = setup.object().GetSetupRow(setupRow).value();
        row.productIndex = productIndex;
        setup.object().SetSetupRow(setupRow, row);
    }
    void setValveAndWhipper(int setupRow, int valve, int whipper)
    {
        auto row = setup.object().GetSetupRow(setupRow).value();
        row.valveNumber = valve;
        row.whipperNumber = whipper;
        setup.object().SetSetupRow(setupRow, row);
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
};

} // namespace

// --- value pairs ---

TEST(ValuePairs, FirstPartAndContinuationPairs)
{
    struct Case {
        int value;
        int firstPart;
        QByteArray pairs;
    };
    const Case cases[] = {
        {0, 0, {}},
        {-5, 0, {}},
        {239, 239, {}},
        {240, 239, bytes({0x83, 1})},
        {478, 239, bytes({0x83, 239})},
        {479, 239, bytes({0x83, 239, 0x83, 1})},
        {600, 239, bytes({0x83, 0xEF, 0x83, 0x7A})},
    };
    for (const Case& c : cases) {
        fw::ByteWriter out;
        EncodeValuePairs(RowByteCode::Rest(c.value), 0x83, out);
        EXPECT_EQ(RowByteCode::FirstPart(c.value), c.firstPart) << c.value;
        EXPECT_EQ(out.data(), c.pairs) << c.value;
    }
}

TEST(ValuePairs, NothingForZeroOrLessAndNoWorkPastAFullWriter)
{
    fw::ByteWriter out;
    EncodeValuePairs(0, 0x82, out);
    EncodeValuePairs(-1, 0x82, out);
    EXPECT_EQ(out.size(), 0);

    // A huge time from a file stops at the writer's capacity instead of building megabytes.
    fw::ByteWriter small(4);
    EncodeValuePairs(2000000000, 0x82, small);
    EXPECT_EQ(small.data(), bytes({0x82, 239, 0x82, 239}));
    EXPECT_TRUE(small.overflowed());
}

// --- classic encoder ---

TEST_F(ByteCode, ClassicDeviceGoldenBytes)
{
    struct Case {
        int start;
        int end;
        QByteArray expected;
    };
    const Case cases[] = {
        {0, 1024, bytes({0xF1, 0x01, 0x80, 0x00, 0x81, 0xEF, 0x83, 0xEF, 0x83, 0xEF, 0x83, 0xEF, 0x83, 0x44})},
        {0, 600, bytes({0xF1, 0x01, 0x80, 0x00, 0x81, 0xEF, 0x83, 0xEF, 0x83, 0x7A})},
        {10, 50, bytes({0xF1, 0x01, 0x80, 0x0A, 0x81, 0x32})},
        // Start pairs come before end pairs, after both first parts.
        {300, 500, bytes({0xF1, 0x01, 0x80, 0xEF, 0x81, 0xEF, 0x82, 0x3D, 0x83, 0xEF, 0x83, 0x16})},
        // A negative time from a file is sent as 0, never as a marker byte.
        {-1, 5, bytes({0xF1, 0x01, 0x80, 0x00, 0x81, 0x05})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(standard(device(Dispenser1, c.start, c.end)), c.expected) << c.start << ".." << c.end;
    EXPECT_EQ(standard(device(Valve1, 3, 4)), bytes({0xF4, 0x01, 0x80, 0x03, 0x81, 0x04}));
}

TEST_F(ByteCode, ClassicHeaderSendsAtMost17NameBytes)
{
    EXPECT_EQ(standard(header(2, "")), bytes({0xF0, 0x02, 0xF7}));
    EXPECT_EQ(standard(header(3, "CAFE")), bytes({0xF0, 0x03, 0xF7}) + "CAFE");
    EXPECT_EQ(standard(header(4, "ABCDEFGHIJKLMNOPQR")), bytes({0xF0, 0x04, 0xF7}) + "ABCDEFGHIJKLMNOPQ");
    // The name ends at a zero byte, as the machine reads it.
    EXPECT_EQ(standard(header(5, QByteArray("AB\0CD", 5))), bytes({0xF0, 0x05, 0xF7}) + "AB");
    EXPECT_EQ(standard(header(6, QByteArray("\0X", 2))), bytes({0xF0, 0x06, 0xF7}));
}

TEST_F(ByteCode, ARowThatDoesNotFitIsNotAppendedAtAll)
{
    fw::ByteWriter out(10);
    ASSERT_EQ(header(1, "CAFE").EncodeRowStandard(out), 7);
    EXPECT_EQ(device(Dispenser1, 0, 1024).EncodeRowStandard(out), 0);
    EXPECT_EQ(out.data(), bytes({0xF0, 0x01, 0xF7}) + "CAFE");

    fw::ByteWriter t38aOut(8);
    CDeviceCoffee leche = header(1, "LECHE");
    EXPECT_EQ(leche.EncodeRowT38A(t38aOut, false), 0);
    EXPECT_EQ(t38aOut.size(), 0);
}

TEST_F(ByteCode, DevicesThatCannotBeEncodedAreRefused)
{
    fw::ByteWriter out;
    // A classic type the catalogue does not hold.
    EXPECT_EQ(device(30, 0, 10).EncodeRowStandard(out), 0);
    EXPECT_EQ(device(-1, 0, 10).EncodeRowStandard(out), 0);
    // T38A rows whose set-up row is outside the ten-row tables.
    CDeviceCoffee far = t38aDevice(10, 1, 1);
    EXPECT_EQ(far.EncodeRowT38A(out, false), 0);
    CDeviceCoffee negative = t38aDevice(-1, 1, 1);
    EXPECT_EQ(negative.EncodeRowT38A(out, false), 0);
    EXPECT_EQ(out.size(), 0);
    // The last set-up row is still in the tables (with the shift, row 10 reaches row 9).
    CDeviceCoffee last = t38aDevice(10, 1, 1);
    EXPECT_GT(last.EncodeRowT38A(out, true), 0);
}

// --- T38A encoder ---

TEST_F(ByteCode, T38AHeader)
{
    CDeviceCoffee leche = header(7, "LECHE");
    EXPECT_EQ(t38a(leche), bytes({0xF0, 0x07, 0xF9, 0x05}) + "LECHE");
    CDeviceCoffee empty = header(8, "");
    EXPECT_EQ(t38a(empty), bytes({0xF0, 0x08, 0xF9, 0x00}));
    // The length always counts the bytes that follow.
    CDeviceCoffee zeroFirst = header(9, QByteArray("\0AB", 3));
    EXPECT_EQ(t38a(zeroFirst), bytes({0xF0, 0x09, 0xF9, 0x00}));
    // The machine keeps 51 name bytes: a longer name goes cut, one too long for its length
    // byte as well.
    for (const int length : {51, 52, 94, 256}) {
        CDeviceCoffee named = header(3, QByteArray(length - 1, 'A') + 'Z');
        const int sent = std::min(length, 51);
        EXPECT_EQ(t38a(named), bytes({0xF0, 0x03, 0xF9, sent}) + named.GetName().left(sent)) << length;
    }
}

TEST_F(ByteCode, T38ACoffeeGroupSendsNoTurnsAndTheValveOfTheFirstRowWithoutProduct)
{
    // Defaults: every product index is -1, so the group takes set-up row 1's valve (0).
    CDeviceCoffee group = t38aDevice(0, 7, 80, "GRUPO DE CAFE");
    EXPECT_EQ(t38a(group), bytes({0xF5, 0x01, 0x80, 0x00, 0x81, 0x00, 0xF4, 0x00, 0x80, 0x00, 0x81, 0x50}));
    EXPECT_EQ(group.GetContainerTurns(), 0);

    setProduct(0, 1);
    setProduct(1, 2);
    setValveAndWhipper(3, 9, 0);
    CDeviceCoffee second = t38aDevice(0, 0, 80, "GRUPO DE CAFE");
    EXPECT_EQ(t38a(second), bytes({0xF5, 0x01, 0x80, 0x00, 0x81, 0x00, 0xF4, 0x09, 0x80, 0x00, 0x81, 0x50}));
}

TEST_F(ByteCode, T38ACoffeeGroupWaterFieldAlwaysCarriesAValve)
{
    for (int k = 0; k < 5; ++k)
        setProduct(k, k);
    setValveAndWhipper(1, 6, 0);
    CDeviceCoffee group = t38aDevice(0, 0, 5, "GRUPO DE CAFE");
    EXPECT_EQ(t38a(group), bytes({0xF5, 0x01, 0x80, 0x00, 0x81, 0x00, 0xF4, 0x06, 0x80, 0x00, 0x81, 0x05}));
}

TEST_F(ByteCode, T38AHotWaterIsTheWaterFieldAlone)
{
    CDeviceCoffee water = t38aDevice(1, 3, 100, "AGUA CALIENTE");
    // Set-up row 0's valve is 2 by default.
    EXPECT_EQ(t38a(water), bytes({0xF4, 0x02, 0x80, 0x00, 0x81, 0x64}));
    CDeviceCoffee more = t38aDevice(1, 0, 500, "AGUA CALIENTE");
    EXPECT_EQ(t38a(more), bytes({0xF4, 0x02, 0x80, 0x00, 0x81, 0xEF, 0x83, 0xEF, 0x83, 0x16}));
}

TEST_F(ByteCode, T38ADispenserWithWaterAndWhipper)
{
    // Type 3: slot 2, set-up row 3 (valve 1, whipper 1 by default).
    CDeviceCoffee dispenser = t38aDevice(3, 300, 20);
    EXPECT_EQ(t38a(dispenser), bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0xEF, 0x83, 0x3D,
                                      0xF4, 0x01, 0x80, 0x00, 0x81, 0x14,
                                      0xF3, 0x01, 0x80, 0x00, 0x81, 0x00}));
    EXPECT_EQ(dispenser.GetContainerTurns(), 300);

    // With the shift the slot and the set-up row move down by one: row 2 (valve 1, whipper 1).
    setValveAndWhipper(2, 4, 5);
    CDeviceCoffee shifted = t38aDevice(3, 2, 3);
    EXPECT_EQ(t38a(shifted, true), bytes({0xF1, 0x01, 0x80, 0x00, 0x81, 0x02,
                                          0xF4, 0x04, 0x80, 0x00, 0x81, 0x03,
                                          0xF3, 0x05, 0x80, 0x00, 0x81, 0x00}));
}

TEST_F(ByteCode, T38ADeviceNamedAsTheFirstGroupGetsNoWhipper)
{
    CDeviceCoffee named = t38aDevice(2, 4, 6, "GRUPO DE CAFE");
    EXPECT_EQ(t38a(named), bytes({0xF1, 0x01, 0x80, 0x00, 0x81, 0x04, 0xF4, 0x01, 0x80, 0x00, 0x81, 0x06}));
    // The comparison is exact and case-sensitive.
    CDeviceCoffee lower = t38aDevice(2, 4, 6, "grupo de cafe");
    EXPECT_EQ(t38a(lower).size(), 18);
}

// --- sugar ---

TEST_F(ByteCode, SugarRecord)
{
    CSugarCoffee sugar;
    sugar.SetTimes(10, 15, 20);
    fw::ByteWriter out;
    EXPECT_EQ(sugar.EncodeSugar(out), 5);
    EXPECT_EQ(out.data(), bytes({0xF2, 10, 20, 15, 0xFF}));

    CSugarCoffee read;
    EXPECT_EQ(read.DecodeSugar(bytes({0xF2, 10, 20, 15, 0xFF})), 4);
    EXPECT_EQ(read.GetBitter(), 10);
    EXPECT_EQ(read.GetExtraSweet(), 20);
    EXPECT_EQ(read.GetNormal(), 15);
    EXPECT_TRUE(app.messages().shown().isEmpty());

    fw::ByteWriter full(4);
    EXPECT_EQ(sugar.EncodeSugar(full), 0);
    EXPECT_EQ(full.size(), 0);
}

// --- classic decoder ---

TEST_F(ByteCode, DecodeGivesBackWhatWasEncoded)
{
    const QByteArray encoded = standard(device(Dispenser1, 0, 1024)) + bytes({0xFF, 0x01});
    CDeviceCoffee row;
    EXPECT_EQ(row.DecodeRow(encoded), 14);
    EXPECT_EQ(row.GetStart(), 0);
    EXPECT_EQ(row.GetEnd(), 1024);
    EXPECT_EQ(row.GetTypeIndex(), Dispenser1);
    EXPECT_EQ(row.GetTypeName(), "DOSIFICADOR 1");
    EXPECT_FALSE(row.IsProductHeader());

    const QByteArray both = standard(device(Valve1, 300, 500)) + bytes({0xFF});
    CDeviceCoffee valve;
    EXPECT_EQ(valve.DecodeRow(both), both.size() - 1);
    EXPECT_EQ(valve.GetStart(), 300);
    EXPECT_EQ(valve.GetEnd(), 500);
    EXPECT_EQ(valve.GetColour(), 2);
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(ByteCode, DecodeHeader)
{
    CDeviceCoffee named;
    EXPECT_EQ(named.DecodeRow(bytes({0xF0, 0x03, 0xF7}) + "  LECHE " + bytes({0xF4})), 11);
    EXPECT_EQ(named.GetProductNumber(), 3);
    EXPECT_EQ(named.GetName(), "LECHE");
    EXPECT_EQ(named.GetNameIndex(), 3);
    EXPECT_EQ(named.GetTypeIndex(), 0);

    // Without its name marker the name is 18 blanks and the name index stays; the blanks go
    // back to a machine as its 17 name bytes.
    for (const QByteArray& in : {bytes({0xF0, 0x04, 0xF1, 0x01}), bytes({0xF0, 0x04})}) {
        CDeviceCoffee bare;
        bare.SetNameIndex(9);
        bare.SetName("OLD");
        EXPECT_EQ(bare.DecodeRow(in), 2);
        EXPECT_EQ(bare.GetProductNumber(), 4);
        EXPECT_EQ(bare.GetName(), QByteArray(18, ' '));
        EXPECT_EQ(bare.GetNameIndex(), 9);
        EXPECT_EQ(standard(bare), bytes({0xF0, 0x04, 0xF7}) + QByteArray(17, ' '));
    }

    // More than 17 name bytes: 17 are taken; the 18th is the caller's next byte.
    CDeviceCoffee longName;
    EXPECT_EQ(longName.DecodeRow(bytes({0xF0, 0x05, 0xF7}) + "ABCDEFGHIJKLMNOPQRS" + bytes({0xFF})), 20);
    EXPECT_EQ(longName.GetName(), "ABCDEFGHIJKLMNOPQ");
    EXPECT_EQ(longName.GetNameIndex(), 0);

    // A name that runs to the end of the input ends there.
    CDeviceCoffee cut;
    EXPECT_EQ(cut.DecodeRow(bytes({0xF0, 0x06, 0xF7}) + "TE"), 5);
    EXPECT_EQ(cut.GetName(), "TE");
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(ByteCode, DecodeColoursByDeviceCode)
{
    struct Case {
        int typeIndex;
        int colour;
    };
    const Case cases[] = {{Dispenser1, 0}, {Whipper1, 1}, {Valve1, 2}, {GroupCoded, 5}, {SpareCoded, 0}};
    for (const Case& c : cases) {
        const DeviceTypeRecord* record = cfg.object().GetDeviceType(c.typeIndex);
        CDeviceCoffee row;
        row.SetColour(5);
        const QByteArray in = bytes({record->code, record->subCode, 0x80, 0x01, 0x81, 0x02, 0xFF});
        EXPECT_EQ(row.DecodeRow(in), 6) << c.typeIndex;
        EXPECT_EQ(row.GetColour(), c.colour) << c.typeIndex;
        EXPECT_EQ(row.GetTypeIndex(), c.typeIndex);
    }
}

TEST_F(ByteCode, DecodeErrorsAreReportedWithTheirCode)
{
    const QString text = QStringLiteral("Fichero de configuración erroneo");
    struct Case {
        QByteArray in;
        QString message;
    };
    const Case cases[] = {
        {bytes({0xF1, 0x09, 0x80, 0x00, 0x81, 0x00, 0xFF}), "1-" + text},
        {bytes({0xF1, 0x01, 0x80, 0x05, 0x84, 0x00, 0xFF}), "2-" + text + "\nF1 01 80 05 84 00 FF "},
        {bytes({0xE0, 0x01}), "3-" + text + "\nE0 01 "},
        {bytes({0xFA}), "3-" + text + "\nFA "},
        {bytes({0xF1, 0x01, 0x05, 0x00, 0xFF}), "4-" + text + "\nF1 01 05 00 FF "},
        {bytes({0xF1, 0x01, 0xFF}), "4-" + text + "\nF1 01 FF "},
        // Running out of input is a decode error, never a read past the end.
        {QByteArray(), "3-" + text + "\n"},
        {bytes({0xF0}), "3-" + text + "\nF0 "},
        {bytes({0xF1, 0x01}), "4-" + text + "\nF1 01 "},
        // The device is looked up before its times are asked for.
        {bytes({0xF1, 0x09}), "1-" + text},
        {bytes({0xF1, 0x01, 0x80}), "2-" + text + "\nF1 01 80 "},
        {bytes({0xF1, 0x01, 0x80, 0x05}), "2-" + text + "\nF1 01 80 05 "},
        // The dump shows the first 16 bytes only.
        {bytes({0xF1, 0x01, 0x80, 0, 0x81, 1, 0x82, 2, 0x83, 3, 0x80, 4, 0x81, 5, 0x70, 6, 0x83, 7}),
         "2-" + text + "\nF1 01 80 00 81 01 82 02 83 03 80 04 81 05 70 06 "},
    };
    for (const Case& c : cases) {
        app.messages().clear();
        CDeviceCoffee row;
        EXPECT_EQ(row.DecodeRow(c.in), 0) << c.in.toHex().constData();
        ASSERT_EQ(app.messages().shown().size(), 1) << c.in.toHex().constData();
        const fw::Message& shown = app.messages().shown().first();
        EXPECT_EQ(shown.text.toStdString(), c.message.toStdString());
        EXPECT_EQ(shown.kind, fw::MessageKind::PlainStop);
        EXPECT_EQ(shown.icon, fw::MessageIcon::Stop);
    }
}

TEST_F(ByteCode, WhatWasDecodedBeforeAnErrorStays)
{
    CDeviceCoffee unknown;
    unknown.SetProductNumber(4);
    unknown.SetName("X");
    EXPECT_EQ(unknown.DecodeRow(bytes({0xF3, 0x09, 0x80, 0x00, 0xFF})), 0);
    EXPECT_EQ(unknown.GetProductNumber(), 0);
    EXPECT_TRUE(unknown.GetName().isEmpty());
    EXPECT_EQ(unknown.GetColour(), 1);
    EXPECT_EQ(unknown.GetTypeIndex(), -1);

    // A known device cut before its times keeps its type.
    CDeviceCoffee cut;
    EXPECT_EQ(cut.DecodeRow(bytes({0xF4, 0x01})), 0);
    EXPECT_EQ(cut.GetTypeIndex(), Valve1);
    EXPECT_EQ(cut.GetTypeName(), "VALVULA 1");
    EXPECT_EQ(cut.GetColour(), 2);

    CSugarCoffee sugar;
    EXPECT_EQ(sugar.DecodeSugar(bytes({0xF2, 1, 2, 3, 0x00})), 0);
    EXPECT_EQ(sugar.GetBitter(), 1);
    EXPECT_EQ(sugar.GetExtraSweet(), 2);
    EXPECT_EQ(sugar.GetNormal(), 3);
}

TEST_F(ByteCode, SugarDecodeErrors)
{
    const QString text = QStringLiteral("Fichero de configuración erroneo");
    struct Case {
        QByteArray in;
        QString message;
    };
    const Case cases[] = {
        {bytes({0xF3, 1, 2, 3, 0xFF}), "4-" + text},
        {QByteArray(), "4-" + text},
        {bytes({0xF2, 1, 2, 3, 4}), "5-" + text},
        {bytes({0xF2, 1, 2, 3}), "5-" + text},
        {bytes({0xF2, 1}), "5-" + text},
    };
    for (const Case& c : cases) {
        app.messages().clear();
        CSugarCoffee sugar;
        sugar.SetTimes(7, 7, 7);
        EXPECT_EQ(sugar.DecodeSugar(c.in), 0);
        EXPECT_EQ(app.messages().texts(), QStringList{c.message});
    }
    // A record cut before its three times leaves the times alone.
    CSugarCoffee cut;
    cut.SetTimes(7, 8, 9);
    cut.DecodeSugar(bytes({0xF2, 1, 2}));
    EXPECT_EQ(cut.GetBitter(), 7);
    EXPECT_EQ(cut.GetNormal(), 8);
}
