#include "app/SetupT38A.h"
#include "fw/ArchiveReader.h"
#include "fw/ArchiveWriter.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

namespace {

QByteArray stored(const SetupT38A& setup)
{
    fw::ArchiveWriter w;
    setup.Serialize(w);
    return w.data();
}

void load(SetupT38A& setup, const QByteArray& bytes)
{
    fw::ArchiveReader reader(bytes);
    setup.Serialize(reader);
    EXPECT_TRUE(reader.atEnd());
}

// The tables as a file holds them: product index, milligrams, valve, whipper and, when
// given, whipping speed, each a function of the set-up row.
QByteArray tables(bool withSpeeds, int speedsStored = SetupT38A::SetupRowCount)
{
    fw::ArchiveWriter w;
    for (int k = 0; k < 10; ++k)
        w.writeI32(k % 3 - 1);
    for (int k = 0; k < 10; ++k)
        w.writeI32(1000 + k);
    for (int k = 0; k < 10; ++k)
        w.writeI32(k % 4);
    for (int k = 0; k < 10; ++k)
        w.writeI32(k % 2);
    for (int k = 0; withSpeeds && k < speedsStored; ++k)
        w.writeI32(50 + k);
    return w.data();
}

QByteArray names(std::initializer_list<QByteArray> texts)
{
    fw::ArchiveWriter w;
    for (const QByteArray& text : texts)
        w.writeString(text);
    return w.data();
}

const QByteArray Groups = names({"GRUPO", "AGUA", "GRUPO 2", "AGUA 2"});
const QByteArray Marker = names({"hhhiiijjjX5", "hhhiiijjjX5"});

void expectTables(const SetupT38A& setup, int speedsRead)
{
    for (int k = 0; k < 10; ++k) {
        const auto row = setup.GetSetupRow(k).value();
        EXPECT_EQ(row.productIndex, k % 3 - 1) << k;
        EXPECT_EQ(row.mgPerTurn, 1000 + k) << k;
        EXPECT_EQ(row.valveNumber, k % 4) << k;
        EXPECT_EQ(row.whipperNumber, k % 2) << k;
        EXPECT_EQ(row.whipSpeed, k < speedsRead ? 50 + k : 100) << k;
    }
}

} // namespace

TEST(SetupT38AArchiveTest, StoresTheMarkerPairAndTheLeadingNonEmptyNames)
{
    SetupT38A setup;
    for (int k = 0; k < 10; ++k) {
        SetupT38A::SetupRow row{1000 + k, k % 4, k % 2, k % 3 - 1, 50 + k};
        setup.SetSetupRow(k, row);
    }
    setup.SetGroupName(0, "GRUPO");
    setup.SetGroupName(1, "AGUA");
    setup.SetGroupName2(0, "GRUPO 2");
    setup.SetGroupName2(1, "AGUA 2");
    for (int k = 0; k < SetupT38A::ProductNameCount; ++k)
        setup.SetProductName(k, k == 2 ? QByteArray() : "P" + QByteArray::number(k));
    setup.SetName2(1, "SEGUNDO");
    EXPECT_EQ(stored(setup), Groups + Marker + le32(2) + names({"P0", "CAFE", "P1", "SEGUNDO"}) + tables(true));

    SetupT38A loaded;
    load(loaded, stored(setup));
    EXPECT_EQ(loaded.GetProductName(1), "P1");
    EXPECT_EQ(loaded.GetName2(1), "SEGUNDO");
    EXPECT_EQ(loaded.GetProductName(3), "CHOCOLATE"); // not stored: kept
    EXPECT_EQ(loaded.GetGroupName2(1), "AGUA 2");
    expectTables(loaded, 10);
}

TEST(SetupT38AArchiveTest, ThePairCountStopsAtTheFirstEmptyNameAndAt20)
{
    const std::pair<int, int> cases[] = {{19, 19}, {20, 20}, {0, 0}};
    for (const auto& [named, pairs] : cases) {
        SetupT38A setup;
        for (int k = 0; k < SetupT38A::ProductNameCount; ++k)
            setup.SetProductName(k, k < named ? "N" : "");
        const QByteArray bytes = stored(setup);
        fw::ArchiveReader reader(bytes);
        for (int k = 0; k < 6; ++k)
            reader.readString();
        EXPECT_EQ(reader.readI32(), pairs) << named;
    }
}

TEST(SetupT38AArchiveTest, ACountOfZeroLeavesTheFirstNamesAsTheyWere)
{
    SetupT38A setup;
    load(setup, Groups + Marker + le32(0) + tables(true));
    EXPECT_EQ(setup.GetProductName(0), "CAFE");
    EXPECT_EQ(setup.GetName2(0), "CAFE");
    EXPECT_EQ(setup.GetGroupName(0), "GRUPO");
}

TEST(SetupT38AArchiveTest, ACountOutside0To20IsAFormatError)
{
    for (const int n : {-1, 21, 1000}) {
        SetupT38A setup;
        const QByteArray bytes = Groups + Marker + le32(n) + QByteArray(100000, '\0');
        fw::ArchiveReader reader(bytes);
        try {
            setup.Serialize(reader);
            ADD_FAILURE() << n;
        } catch (const fw::ArchiveError& error) {
            EXPECT_FALSE(error.isEndOfFile()) << n;
        }
    }
}

TEST(SetupT38AArchiveTest, TheOlderLayoutTakesAsManyPairsAsThereAreNamesInMemory)
{
    // The defaults hold 13 leading names: the file has 13 pairs, and no whipping speeds.
    QByteArray pairs;
    for (int k = 0; k < 13; ++k)
        pairs += names({"V" + QByteArray::number(k), "W" + QByteArray::number(k)});
    SetupT38A setup;
    load(setup, Groups + pairs + tables(false));
    EXPECT_EQ(setup.GetProductName(0), "V0");
    EXPECT_EQ(setup.GetName2(12), "W12");
    EXPECT_TRUE(setup.GetProductName(13).isEmpty());
    expectTables(setup, 0);
}

TEST(SetupT38AArchiveTest, TheOlderLayoutPrefersTheCountAfterWhichOnlyTheTablesRemain)
{
    // Three pairs while memory holds 13 names: only three pairs leave exactly the tables.
    SetupT38A setup;
    load(setup, Groups + names({"A", "A2", "B", "B2", "C", "C2"}) + tables(true));
    EXPECT_EQ(setup.GetProductName(2), "C");
    EXPECT_EQ(setup.GetName2(2), "C2");
    EXPECT_EQ(setup.GetProductName(3), "CHOCOLATE");
    expectTables(setup, 10);

    // Memory holds one name; the file has two pairs, then the tables without speeds.
    SetupT38A few;
    for (int k = 1; k < SetupT38A::ProductNameCount; ++k)
        few.SetProductName(k, "");
    load(few, Groups + names({"A", "A2", "B", "B2"}) + tables(false));
    EXPECT_EQ(few.GetProductName(1), "B");
    expectTables(few, 0);
}

TEST(SetupT38AArchiveTest, WhenNoCountFitsTheOlderLayoutFollowsTheNamesInMemory)
{
    // One pair and tables cut after three speeds: no count leaves exactly the tables.
    SetupT38A setup;
    for (int k = 1; k < SetupT38A::ProductNameCount; ++k)
        setup.SetProductName(k, "");
    load(setup, Groups + names({"A", "A2"}) + tables(true, 3));
    EXPECT_EQ(setup.GetProductName(0), "A");
    expectTables(setup, 3);
}

TEST(SetupT38AArchiveTest, AFileEndingWithinTheSpeedsKeepsTheSpeedsNotRead)
{
    for (const int speeds : {0, 4, 10}) {
        SetupT38A setup;
        QByteArray bytes = Groups + Marker + le32(1) + names({"X", "Y"}) + tables(true, speeds);
        if (speeds == 4)
            bytes += "\x01\x02"; // half of the fifth
        load(setup, bytes);
        expectTables(setup, speeds);
    }
}

TEST(SetupT38AArchiveTest, AFileEndingBeforeTheSpeedsIsAnErrorOnlyWithinTheOtherTables)
{
    SetupT38A setup;
    const QByteArray bytes = Groups + Marker + le32(1) + names({"X", "Y"}) + tables(false).left(150);
    fw::ArchiveReader reader(bytes);
    try {
        setup.Serialize(reader);
        ADD_FAILURE();
    } catch (const fw::ArchiveError& error) {
        EXPECT_TRUE(error.isEndOfFile());
    }
}
