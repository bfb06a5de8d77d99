#include "app/CCfg.h"
#include "app/CDeviceCoffee.h"
#include "app/CSugarCoffee.h"
#include "fw/ArchiveReader.h"
#include "fw/ArchiveWriter.h"
#include "fw/ProgramWide.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

namespace {

QByteArray wideUnits(const char16_t* text)
{
    fw::ArchiveWriter w;
    const WideName name(text);
    for (const char16_t unit : name.units())
        w.writeU16(unit);
    return w.data();
}

// The start of a stored row up to its selection number: x, y, type, colour, start, end,
// type name, name, product number, selection number.
QByteArray rowStart(int typeIndex, const QByteArray& typeName, const QByteArray& name, int number)
{
    fw::ArchiveWriter w;
    for (const int v : {10, 20, typeIndex, 2, 30, 40})
        w.writeI32(v);
    w.writeString(typeName);
    w.writeString(name);
    w.writeI32(number);
    w.writeI32(number);
    return w.data();
}

// The program-wide catalogue the rows consult while loading: product names 0 "---",
// 3 "LECHE" and 5 "TE"; type 3 a valve shown as "AGUA".
class RowArchive : public ::testing::Test {
protected:
    RowArchive()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        DeviceTypeRecord valve;
        valve.name = "VALVULA";
        valve.displayName = "AGUA";
        valve.code = DeviceTypeRecord::WaterValveCode;
        valve.subCode = 1;
        c.SetDeviceType(3, valve);
        c.ResizeProductNames();
        c.SetProductName(0, "---");
        c.SetProductName(3, "LECHE");
        c.SetProductName(5, "TE");
    }

    static QByteArray store(const CDeviceCoffee& row)
    {
        fw::ArchiveWriter w;
        row.Serialize(w);
        return w.data();
    }
    // Loads one row from the bytes; the bytes left over go to rest.
    CDeviceCoffee load(const QByteArray& stored, bool& legacyRows, qsizetype* left = nullptr)
    {
        fw::ArchiveReader reader(stored);
        CDeviceCoffee row;
        row.Serialize(reader, legacyRows);
        if (left)
            *left = reader.remaining();
        return row;
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
};

// A row drawn and timed as rowStart stores it.
CDeviceCoffee placedRow()
{
    CDeviceCoffee row;
    row.SetX(10);
    row.SetY(20);
    row.SetColour(2);
    row.SetStart(30);
    row.SetEnd(40);
    return row;
}

CDeviceCoffee header(int number, const QByteArray& name, int nameIndex)
{
    CDeviceCoffee row = placedRow();
    row.SetProductNumber(number);
    row.SetSelectionNumber(number);
    row.SetName(name);
    row.SetNameIndex(nameIndex);
    return row;
}

} // namespace

TEST_F(RowArchive, AHeaderWithANameIndexIsStoredWithAnEmptyNameAndTheIndex)
{
    CDeviceCoffee row = header(2, "TE", 5);
    row.SetWideName(WideName(u"TE"));
    row.SetCodePageFlag(1);
    const QByteArray stored = store(row);
    const QByteArray expected = rowStart(0, "", "", 2) + bytes({0x72, 1, 1, 1}) + le32(0) + le32(0) + bytes({1}) +
                                le32(5) + wideUnits(u"TE");
    EXPECT_EQ(stored, expected);
    EXPECT_EQ(row.GetName(), "TE"); // storing leaves the row's name alone

    bool legacy = false;
    const CDeviceCoffee loaded = load(stored, legacy);
    EXPECT_EQ(loaded.GetName(), "TE");
    EXPECT_EQ(loaded.GetNameIndex(), 5);
    EXPECT_EQ(loaded.GetWideName(), WideName(u"TE"));
    EXPECT_EQ(loaded.GetCodePageFlag(), 1);
    EXPECT_FALSE(legacy);
}

TEST_F(RowArchive, AHeaderWithoutIndexKeepsItsNameAndFindsItsIndexOnLoading)
{
    const CDeviceCoffee row = header(1, "LECHE", 0);
    const QByteArray stored = store(row);
    EXPECT_EQ(stored, rowStart(0, "", "LECHE", 1) + bytes({0x72, 1, 1, 1}) + le32(0) + le32(0) + bytes({0}) +
                          wideUnits(u""));

    bool legacy = false;
    EXPECT_EQ(load(stored, legacy).GetNameIndex(), 3);
    const CDeviceCoffee padded = load(rowStart(0, "", "  LECHE \t", 1) + bytes({0x72, 1, 1, 1}) + le32(0) + le32(0) +
                                          bytes({0}) + wideUnits(u""),
                                      legacy);
    EXPECT_EQ(padded.GetName(), "LECHE");
    EXPECT_EQ(padded.GetNameIndex(), 3);
}

TEST_F(RowArchive, ADeviceIsStoredWithoutTypeNameAndTakesTheCataloguesOnLoading)
{
    CDeviceCoffee row = placedRow();
    row.SetTypeIndex(3);
    row.SetTypeName("VALVULA VIEJA");
    row.SetWaterPulses(7);
    row.SetContainerTurns(9);
    const QByteArray stored = store(row);
    EXPECT_EQ(stored, rowStart(3, "", "", 0) + bytes({0x72, 1, 1, 1}) + le32(7) + le32(9) + bytes({0}));
    EXPECT_EQ(row.GetTypeName(), "VALVULA VIEJA");

    bool legacy = false;
    const CDeviceCoffee loaded = load(rowStart(3, "ANTIGUO", "", 0) + bytes({0x72, 0, 1, 0}) + le32(7) + le32(9) +
                                          bytes({0}),
                                      legacy);
    EXPECT_EQ(loaded.GetTypeName(), "AGUA");
    EXPECT_EQ(loaded.GetWaterPulses(), 7);
    EXPECT_EQ(loaded.GetContainerTurns(), 9);
    EXPECT_EQ(loaded.GetStirrerFlag(), 1);
    EXPECT_EQ(loaded.GetCupFlag(), 0);
    // A type the catalogue does not hold has no name.
    EXPECT_TRUE(load(rowStart(25, "ANTIGUO", "", 0) + bytes({0x72, 1, 1, 1}) + le32(0) + le32(0) + bytes({0}), legacy)
                    .GetTypeName()
                    .isEmpty());
}

TEST_F(RowArchive, EachLayoutIsToldByTheByteAfterTheSelectionNumber)
{
    // A header named "LECHE" in each layout, followed by the four bytes 'E' 'N' 'D' '!'.
    const QByteArray tail("END!");
    const QByteArray start = rowStart(0, "", "LECHE", 1);
    struct Case {
        const char* layout;
        QByteArray stored;
        quint8 sugar, stirrer, cup;
        int pulses;
        quint8 codePageFlag;
        WideName wide;
        bool legacyAfter;
    };
    const Case cases[] = {
        {"current", start + bytes({0x72, 0, 0, 1}) + le32(6) + le32(8) + bytes({1}) + wideUnits(u"LÉCHE"), 0, 0, 1, 6,
         1, WideName(u"LÉCHE"), false},
        {"flags and wide name 0x71", start + bytes({0x71, 0, 1, 0}) + wideUnits(u"MILK"), 0, 1, 0, 0, 0,
         WideName(u"MILK"), false},
        {"flags and wide name 0x79", start + bytes({0x79, 1, 0, 0}) + wideUnits(u"MILK"), 1, 0, 0, 0, 0,
         WideName(u"MILK"), false},
        {"flags only", start + bytes({0x70, 0, 0, 0}), 0, 0, 0, 0, 0, WideName(), false},
        {"oldest, sugar 1", start + bytes({0x01}), 1, 1, 1, 0, 0, WideName(), true},
        {"oldest, sugar 0", start + bytes({0x00}), 0, 1, 1, 0, 0, WideName(), true},
    };
    for (const Case& c : cases) {
        bool legacy = false;
        qsizetype left = 0;
        const CDeviceCoffee row = load(c.stored + tail, legacy, &left);
        EXPECT_EQ(left, tail.size()) << c.layout;
        EXPECT_EQ(row.GetName(), "LECHE") << c.layout;
        EXPECT_EQ(row.GetNameIndex(), 3) << c.layout;
        EXPECT_EQ(row.GetSugarFlag(), c.sugar) << c.layout;
        EXPECT_EQ(row.GetStirrerFlag(), c.stirrer) << c.layout;
        EXPECT_EQ(row.GetCupFlag(), c.cup) << c.layout;
        EXPECT_EQ(row.GetWaterPulses(), c.pulses) << c.layout;
        EXPECT_EQ(row.GetCodePageFlag(), c.codePageFlag) << c.layout;
        EXPECT_EQ(row.GetWideName(), c.wide) << c.layout;
        EXPECT_EQ(legacy, c.legacyAfter) << c.layout;
    }
}

TEST_F(RowArchive, AnOldestHeaderWithAnEmptyNameReadsNoNameIndex)
{
    // As the last stored row, the next bytes are the bitter sugar time (3): it must not be
    // taken for the name index.
    bool legacy = false;
    qsizetype left = 0;
    const CDeviceCoffee row = load(rowStart(0, "", "", 1) + bytes({0x01}) + le32(3), legacy, &left);
    EXPECT_TRUE(legacy);
    EXPECT_EQ(left, 4);
    EXPECT_TRUE(row.GetName().isEmpty());
    EXPECT_EQ(row.GetNameIndex(), 0);
}

TEST_F(RowArchive, OnceTheFileIsOfTheOldestLayoutEveryLaterRowIsReadSo)
{
    bool legacy = true;
    qsizetype left = 0;
    // 0x72 is then the sugar flag itself, and nothing of the later layouts follows.
    const CDeviceCoffee row = load(rowStart(0, "", "LECHE", 1) + bytes({0x72}) + "END!", legacy, &left);
    EXPECT_EQ(left, 4);
    EXPECT_EQ(row.GetSugarFlag(), 0x72);
    EXPECT_EQ(row.GetStirrerFlag(), 1);
    EXPECT_EQ(row.GetNameIndex(), 3);
    EXPECT_TRUE(row.GetWideName().isEmpty());
}

TEST_F(RowArchive, ANameIndexAbove100IsTheNextRowAndIsReadAgain)
{
    // A header with an empty name followed at once by the next row's class tag 0x8001.
    const QByteArray next = bytes({0x01, 0x80, 0xC8, 0x00});
    bool legacy = false;
    qsizetype left = 0;
    const CDeviceCoffee row = load(rowStart(0, "", "", 1) + bytes({0x70, 1, 1, 1}) + next, legacy, &left);
    EXPECT_TRUE(legacy);
    EXPECT_EQ(left, next.size());
    EXPECT_EQ(row.GetNameIndex(), 0);
    EXPECT_TRUE(row.GetName().isEmpty());
}

TEST_F(RowArchive, NameIndexZeroAfterAnEmptyNameKeepsTheNameEmpty)
{
    bool legacy = false;
    const CDeviceCoffee row = load(store(header(1, "", 0)), legacy);
    EXPECT_TRUE(row.GetName().isEmpty()); // not the catalogue's name 0
    EXPECT_EQ(row.GetNameIndex(), 0);
}

TEST_F(RowArchive, ANameIndexOutsideTheCatalogueIsAFormatError)
{
    for (const int index : {-1, 100}) {
        bool legacy = false;
        const QByteArray stored = rowStart(0, "", "", 1) + bytes({0x72, 1, 1, 1}) + le32(0) + le32(0) + bytes({0}) +
                                  le32(index) + wideUnits(u"");
        try {
            load(stored, legacy);
            ADD_FAILURE() << index;
        } catch (const fw::ArchiveError& error) {
            EXPECT_FALSE(error.isEndOfFile()) << index;
        }
    }
}

TEST_F(RowArchive, AStoredWideNameAlwaysEndsInAZeroUnit)
{
    fw::ArchiveWriter w;
    for (int k = 0; k < WideName::StoredUnits; ++k)
        w.writeU16(u'W');
    bool legacy = false;
    const CDeviceCoffee row = load(rowStart(0, "", "X", 1) + bytes({0x71, 1, 1, 1}) + w.data(), legacy);
    EXPECT_EQ(row.GetWideName().size(), WideName::Capacity);
    EXPECT_EQ(row.GetWideName().units().back(), 0);
}

TEST_F(RowArchive, ARowCutShortIsAnEndOfFile)
{
    const QByteArray stored = store(header(1, "LECHE", 0));
    for (const qsizetype cut : {qsizetype(0), qsizetype(7), qsizetype(30), stored.size() - 1}) {
        bool legacy = false;
        try {
            load(stored.left(cut), legacy);
            ADD_FAILURE() << cut;
        } catch (const fw::ArchiveError& error) {
            EXPECT_TRUE(error.isEndOfFile()) << cut;
        }
    }
}

TEST(SugarArchiveTest, TheTimesAreStoredBitterExtraSweetNormal)
{
    CSugarCoffee sugar;
    sugar.SetTimes(1, 2, 3); // bitter, normal, extra sweet
    fw::ArchiveWriter w;
    sugar.Serialize(w);
    EXPECT_EQ(w.data(), le32(1) + le32(3) + le32(2));

    CSugarCoffee loaded;
    fw::ArchiveReader reader(w.data());
    loaded.Serialize(reader);
    EXPECT_EQ(loaded.GetBitter(), 1);
    EXPECT_EQ(loaded.GetNormal(), 2);
    EXPECT_EQ(loaded.GetExtraSweet(), 3);
}
