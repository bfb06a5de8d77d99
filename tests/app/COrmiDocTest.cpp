#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/MachineModel.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestDeviceTypes.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <vector>

namespace {

// Device types of the small catalogue: dispensers of sub-code 1..3 and two broken ones,
// whippers of sub-code 0..2, valves of sub-code 1 and 2. Dispenser 1 feeds valve 1 with
// whipper 1, dispenser 2 valve 1 with whipper 2, dispenser 3 valve 2 with no whipper.
enum Type {
    D1,
    D2,
    D3,
    DispenserSubCode0,
    DispenserSubCode11,
    W0,
    W1,
    W2,
    V1,
    V2,
    TypeCount,
    OutsideCatalogue = 40,
    Header = -1,
};

// One row of a document built for a test; a header when its type is Header.
struct RowSpec {
    const char* label;
    int type = Header;
    int start = 0;
    int end = 0;
};

class DocumentTest : public ::testing::Test {
protected:
    DocumentTest()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        c.ResetDispenserTable();
        const DeviceTypeRecord records[TypeCount] = {
            deviceType("DOSIFICADOR 1", 0xF1, 1), deviceType("DOSIFICADOR 2", 0xF1, 2), deviceType("DOSIFICADOR 3", 0xF1, 3),
            deviceType("DOSIFICADOR 0", 0xF1, 0), deviceType("DOSIFICADOR 11", 0xF1, 11), deviceType("BATIDOR 0", 0xF3, 0),
            deviceType("BATIDOR 1", 0xF3, 1),     deviceType("BATIDOR 2", 0xF3, 2),       deviceType("VALVULA 1", 0xF4, 1),
            deviceType("VALVULA 2", 0xF4, 2),
        };
        for (int type = 0; type < TypeCount; ++type)
            c.SetDeviceType(type, records[type]);
        c.SetDispenserRow(0, {0, 0, 1, 0, 1, 0});
        c.SetDispenserRow(1, {0, 0, 1, 0, 2, 0});
        c.SetDispenserRow(2, {0, 0, 2, 0, 0, 0});
        doc.OnNewDocument();
    }

    // Rows in display order; headers numbered 1, 2, ... in order.
    void build(const std::vector<RowSpec>& rows)
    {
        int number = 0;
        for (const RowSpec& spec : rows) {
            CDeviceCoffee* row = doc.AddDevice();
            row->SetName(spec.label);
            if (spec.type == Header) {
                ++number;
                row->SetProductNumber(number);
                row->SetSelectionNumber(number);
            } else {
                row->SetTypeIndex(spec.type);
                row->SetStart(spec.start);
                row->SetEnd(spec.end);
            }
        }
        doc.SetModifiedFlag(false);
    }
    std::string labels() const
    {
        QStringList out;
        for (auto p = doc.GetFirstRowPosition(); p; p = doc.GetNextRowPosition(p))
            out << QString::fromLatin1(doc.GetRowAt(p)->GetName());
        return out.join(' ').toStdString();
    }
    std::string storedLabels() const
    {
        QStringList out;
        for (auto p = doc.GetLastRowPosition(); p; p = doc.GetPreviousRowPosition(p))
            out << QString::fromLatin1(doc.GetRowAt(p)->GetName());
        return out.join(' ').toStdString();
    }
    COrmiDoc::RowPosition find(const char* label) const
    {
        for (auto p = doc.GetFirstRowPosition(); p; p = doc.GetNextRowPosition(p)) {
            if (doc.GetRowAt(p)->GetName() == label)
                return p;
        }
        ADD_FAILURE() << "no row " << label;
        return {};
    }
    std::string cursorLabel() { return doc.GetCurrentRow() ? doc.GetCurrentRow()->GetName().toStdString() : "(none)"; }
    // Product numbers of the headers in display order.
    std::vector<int> productNumbers() const
    {
        std::vector<int> out;
        for (auto p = doc.GetFirstRowPosition(); p; p = doc.GetNextRowPosition(p)) {
            const CDeviceCoffee* row = doc.GetRowAt(p);
            if (row->IsProductHeader()) {
                EXPECT_EQ(row->GetProductNumber(), row->GetSelectionNumber());
                out.push_back(row->GetProductNumber());
            }
        }
        return out;
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    COrmiDoc doc;
};

} // namespace

TEST_F(DocumentTest, ANewDocumentIsEmptyAndKeepsItsCodePageAndTheSetupTables)
{
    app.profile().WriteInt("Ormi", "Codepage", 1251);
    COrmiDoc fresh;
    EXPECT_EQ(fresh.GetProductNameCodePage(), 1251u);

    int updates = 0;
    doc.AddViewListener([&] { ++updates; });
    build({{"H"}, {"a", D1, 10, 20}});
    doc.GetSugar().SetTimes(10, 20, 30);
    doc.SetWorkingTemperature(95);
    doc.SetMachineModel(22);
    doc.SetProductNameCodePage(1256);
    doc.SetPathName("/tmp/cafe/dosis.caf");
    doc.SetModifiedFlag();
    doc.SetCurrentPosition(doc.GetFirstRowPosition());
    setup.object().SetGroupName(0, "GRUPO EDITADO");

    doc.OnNewDocument();
    EXPECT_EQ(doc.GetRowCount(), 0);
    EXPECT_FALSE(doc.GetFirstRowPosition());
    EXPECT_FALSE(doc.GetCurrentPosition());
    EXPECT_EQ(doc.GetSugar().GetBitter(), 0);
    EXPECT_EQ(doc.GetSugar().GetNormal(), 0);
    EXPECT_EQ(doc.GetSugar().GetExtraSweet(), 0);
    EXPECT_EQ(doc.GetWorkingTemperature(), 80);
    EXPECT_EQ(doc.GetMachineModel(), 1);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_EQ(doc.GetTitle(), "dosis.caf");
    EXPECT_EQ(doc.GetProductNameCodePage(), 1256u);
    EXPECT_EQ(setup.object().GetGroupName(0), "GRUPO EDITADO");
    EXPECT_EQ(updates, 1);
}

TEST_F(DocumentTest, RowsAreAddedBelowTheDisplayAndStoredInReverse)
{
    CDeviceCoffee* first = doc.AddDevice();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(doc.GetFirstRowPosition(), doc.GetLastRowPosition());
    EXPECT_TRUE(doc.IsModified());
    first->SetName("a");
    doc.AddDevice()->SetName("b");
    doc.AddDevice()->SetName("c");
    EXPECT_EQ(labels(), "a b c");
    EXPECT_EQ(storedLabels(), "c b a");

    // The file's reader gives the stored rows in their order: each lands above the others.
    COrmiDoc loaded;
    for (const char* label : {"c", "b", "a"}) {
        auto row = std::make_unique<CDeviceCoffee>();
        row->SetName(label);
        loaded.AddStoredRow(std::move(row));
    }
    QStringList display;
    for (auto p = loaded.GetFirstRowPosition(); p; p = loaded.GetNextRowPosition(p))
        display << QString::fromLatin1(loaded.GetRowAt(p)->GetName());
    EXPECT_EQ(display.join(' ').toStdString(), "a b c");
    EXPECT_FALSE(loaded.IsModified());
}

TEST_F(DocumentTest, InsertPutsTheNewRowJustAboveTheCursorRow)
{
    struct Case {
        const char* cursor; // nullptr: no cursor row
        const char* display;
    };
    const Case cases[] = {{"a", "new a b c"}, {"b", "a new b c"}, {"c", "a b new c"}, {nullptr, "new a b c"}};
    for (const Case& c : cases) {
        doc.OnNewDocument();
        build({{"a", D1}, {"b", D1}, {"c", D1}});
        doc.SetCurrentPosition(c.cursor ? find(c.cursor) : COrmiDoc::RowPosition());
        CDeviceCoffee* row = doc.InsertDevice();
        ASSERT_NE(row, nullptr);
        row->SetName("new");
        EXPECT_EQ(labels(), c.display) << c.cursor;
        EXPECT_EQ(cursorLabel(), c.cursor ? c.cursor : "(none)");
        EXPECT_TRUE(doc.IsModified());
    }
}

TEST_F(DocumentTest, EveryWalkLeavesTheCursorPastTheLastRow)
{
    const std::pair<const char*, void (*)(COrmiDoc&)> walks[] = {
        {"GetHighestProductNumber", [](COrmiDoc& d) { d.GetHighestProductNumber(); }},
        {"RenumberProducts", [](COrmiDoc& d) { d.RenumberProducts(); }},
        {"ChainDeviceTimes", [](COrmiDoc& d) { d.ChainDeviceTimes(); }},
        {"RefreshTypeNames", [](COrmiDoc& d) { d.RefreshTypeNames(); }},
        {"ApplySetupT38A", [](COrmiDoc& d) { d.ApplySetupT38A(); }},
        {"SortDevices", [](COrmiDoc& d) { d.SortDevices(); }},
    };
    build({{"H"}, {"a", D1}, {"b", V1}});
    for (const auto& [name, walk] : walks) {
        doc.SetCurrentPosition(doc.GetFirstRowPosition());
        walk(doc);
        EXPECT_FALSE(doc.GetCurrentPosition()) << name;
    }
    doc.StartWalk();
    int rows = 0;
    while (doc.GetNextRow())
        ++rows;
    EXPECT_EQ(rows, 3);
    EXPECT_FALSE(doc.GetCurrentPosition());
}

TEST_F(DocumentTest, DeletingAHeaderTakesItsDevicesAndRenumbers)
{
    build({{"H1"}, {"a", D1}, {"b", D1}, {"H2"}, {"c", D1}, {"H3"}, {"d", D1}});
    doc.SetCurrentPosition(find("H2"));
    doc.DeleteCurrentRow();
    EXPECT_EQ(labels(), "H1 a b H3 d");
    EXPECT_EQ(productNumbers(), std::vector<int>({1, 2}));
    EXPECT_TRUE(doc.IsModified());
    // The renumbering walk leaves no cursor row.
    EXPECT_EQ(cursorLabel(), "(none)");

    // The last header of the display takes the devices up to the end.
    doc.SetCurrentPosition(find("H3"));
    doc.DeleteCurrentRow();
    EXPECT_EQ(labels(), "H1 a b");
}

TEST_F(DocumentTest, DeletingADeviceKeepsTheNumberingAndMovesTheCursorOn)
{
    build({{"H1"}, {"a", D1}, {"b", D1}});
    doc.GetRowAt(find("H1"))->SetProductNumber(7);
    doc.GetRowAt(find("H1"))->SetSelectionNumber(7);
    doc.SetCurrentPosition(find("a"));
    doc.DeleteCurrentRow();
    EXPECT_EQ(labels(), "H1 b");
    EXPECT_EQ(cursorLabel(), "b");
    EXPECT_EQ(productNumbers(), std::vector<int>{7});
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(DocumentTest, DeletingWithoutACursorRowDoesNothing)
{
    build({{"H1"}, {"a", D1}});
    doc.SetCurrentPosition({});
    doc.DeleteCurrentRow();
    EXPECT_EQ(labels(), "H1 a");
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, CountingTheDevicesOfTheCursorRowsProduct)
{
    EXPECT_EQ(doc.CountProductDevices(), -1);
    EXPECT_EQ(app.messages().texts(), QStringList({"El primer elemento debe ser una cabecera de producto."}));
    app.messages().clear();

    build({{"x", D1}, {"H1"}, {"a", D1}, {"b", D1}, {"H2"}, {"H3"}, {"c", D1}});
    struct Case {
        const char* cursor;
        int count;
        const char* cursorAfter;
    };
    const Case cases[] = {
        {"b", 2, "H2"}, {"H1", 2, "H2"}, {"H2", 0, "H3"}, {"c", 1, "(none)"},
        // Above the first header: counted from the first row of the display.
        {"x", 0, "H1"},
    };
    for (const Case& c : cases) {
        doc.SetCurrentPosition(find(c.cursor));
        EXPECT_EQ(doc.CountProductDevices(), c.count) << c.cursor;
        EXPECT_EQ(cursorLabel(), c.cursorAfter) << c.cursor;
    }
    // A document with rows but no cursor row has nothing to count from; no message.
    doc.SetCurrentPosition({});
    EXPECT_EQ(doc.CountProductDevices(), -1);
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(DocumentTest, HitTestFindsTheFirstRowAboveAndLeftOfThePoint)
{
    build({{"H1"}, {"a", D1}, {"b", D1}});
    int y = 0;
    for (auto p = doc.GetFirstRowPosition(); p; p = doc.GetNextRowPosition(p)) {
        doc.GetRowAt(p)->SetX(200);
        doc.GetRowAt(p)->SetY(y -= 40);
    }
    struct Case {
        int x, y;
        const char* hit; // nullptr: no hit
    };
    // Each row answers from its y up to the row above; a point above the first row hits it,
    // one below the last row or left of the rows hits none.
    const Case cases[] = {
        {200, -40, "H1"}, {250, 10, "H1"},   {201, -41, "a"},    {200, -80, "a"},
        {900, -119, "b"}, {200, -120, "b"}, {200, -121, nullptr}, {199, -40, nullptr},
    };
    for (const Case& c : cases) {
        doc.SetCurrentPosition(doc.GetFirstRowPosition());
        EXPECT_EQ(doc.SelectRowAt(c.x, c.y), c.hit != nullptr) << c.x << "," << c.y;
        EXPECT_EQ(cursorLabel(), c.hit ? c.hit : "(none)") << c.x << "," << c.y;
    }
}

TEST_F(DocumentTest, HighestProductNumber)
{
    build({{"a", D1}, {"b", V1}});
    EXPECT_EQ(doc.GetHighestProductNumber(), 0);
    build({{"H1"}, {"H2"}, {"H3"}});
    doc.GetRowAt(find("H2"))->SetProductNumber(9);
    EXPECT_EQ(doc.GetHighestProductNumber(), 9);
}

TEST_F(DocumentTest, RenumberingNeverWrapsAHeaderToZero)
{
    for (int i = 0; i < 300; ++i)
        doc.AddDevice()->SetProductNumber(99);
    doc.RenumberProducts();
    std::vector<int> expected;
    for (int n = 1; n <= 300; ++n)
        expected.push_back(n);
    EXPECT_EQ(productNumbers(), expected);
}

TEST_F(DocumentTest, ChainingTimesRestartsAtEachProduct)
{
    build({{"H1"}, {"a", W1}, {"b", V1}, {"H2"}, {"c", W1}});
    doc.GetRowAt(find("a"))->SetContainerTurns(2); // 2 turns: 16 tenths
    doc.GetRowAt(find("b"))->SetWaterPulses(26);   // 26 pulses: 20 tenths
    doc.GetRowAt(find("c"))->SetContainerTurns(1);
    doc.ChainDeviceTimes();
    const auto times = [&](const char* label) {
        const CDeviceCoffee* row = doc.GetRowAt(find(label));
        return std::pair(row->GetStart(), row->GetEnd());
    };
    EXPECT_EQ(times("a"), std::pair(0, 16));
    EXPECT_EQ(times("b"), std::pair(21, 41));
    EXPECT_EQ(times("c"), std::pair(0, 8));
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, ApplyingTheSetupTablesNumbersNamesAndChains)
{
    doc.SetMachineModel(21); // family 1: six product rows
    SetupT38A::SetupRow productRow;
    productRow.productIndex = 3;
    setup.object().SetSetupRow(0, productRow);
    setup.object().SetName2(3, "CHOCOLATE");
    build({{"H1"}, {"a", 0}, {"b", 2}, {"H2"}, {"c", 1}, {"d", 7}, {"e", 8}});
    doc.GetRowAt(find("H1"))->SetProductNumber(9);
    doc.GetRowAt(find("a"))->SetContainerTurns(1);
    doc.GetRowAt(find("b"))->SetContainerTurns(1);

    doc.ApplySetupT38A();
    EXPECT_EQ(productNumbers(), std::vector<int>({1, 2}));
    const auto typeName = [&](const char* label) { return doc.GetRowAt(find(label))->GetTypeName(); };
    EXPECT_EQ(typeName("a"), "GRUPO DE CAFE");
    EXPECT_EQ(typeName("b"), "CHOCOLATE");
    EXPECT_EQ(typeName("c"), "AGUA CALIENTE");
    EXPECT_EQ(typeName("d"), "GRUPO DE CAFE"); // a set-up row without a product: the coffee group
    EXPECT_EQ(typeName("e"), "");              // past the family's rows
    EXPECT_EQ(doc.GetRowAt(find("b"))->GetStart(), 13);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentTest, RefreshingTypeNamesNamesEveryDeviceFromTheCatalogue)
{
    int updates = 0;
    doc.AddViewListener([&] { ++updates; });
    build({{"H1"}, {"a", D2}, {"b", OutsideCatalogue}});
    doc.GetRowAt(find("H1"))->SetTypeName("CABECERA");
    doc.GetRowAt(find("b"))->SetTypeName("ANTIGUO");
    doc.RefreshTypeNames();
    EXPECT_EQ(doc.GetRowAt(find("a"))->GetTypeName(), "DOSIFICADOR 2");
    EXPECT_EQ(doc.GetRowAt(find("b"))->GetTypeName(), "ANTIGUO");
    EXPECT_EQ(doc.GetRowAt(find("H1"))->GetTypeName(), "CABECERA");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(updates, 1);
}

TEST_F(DocumentTest, RegroupingPutsEachValveAfterItsGroup)
{
    struct Case {
        const char* what;
        std::vector<RowSpec> rows;
        const char* regrouped;
    };
    const Case cases[] = {
        {"dispenser, its whipper, then the valve",
         {{"H"}, {"d1", D1, 30, 80}, {"w", W1, 0, 0}, {"v", V1, 0, 100}},
         "H d1 w v"},
        {"dispensers of a valve: one step of ordering by start",
         {{"H"}, {"d40", D1, 40, 60}, {"d20", D2, 20, 60}, {"v", V1, 0, 100}},
         "H d20 d40 v"},
        {"only one step: the third goes before the second only",
         {{"H"}, {"d40", D1, 40, 60}, {"d20", D2, 20, 60}, {"d10", D1, 10, 60}, {"v", V1, 0, 100}},
         "H d20 d10 d40 v"},
        {"a device that fits no valve follows the groups",
         {{"H"}, {"x", W2, 300, 400}, {"v", V1, 0, 100}, {"d", D1, 10, 50}},
         "H d v x"},
        {"a dispenser starting exactly 50 before its valve is not taken",
         {{"H"}, {"d50", D1, 50, 150}, {"d51", D1, 51, 150}, {"v", V1, 100, 200}},
         "H d51 v d50"},
        {"a dispenser ending 50 after its valve is not taken",
         {{"H"}, {"late", D1, 10, 150}, {"d", D1, 10, 149}, {"v", V1, 0, 100}},
         "H d v late"},
        {"a whipper 50 from its valve's start is not taken",
         {{"H"}, {"d", D1, 110, 150}, {"w150", W1, 150, 0}, {"w149", W1, 149, 0}, {"v", V1, 100, 200}},
         "H d w149 v w150"},
        {"valves by start; equal starts in display order",
         {{"H"}, {"late", V1, 100, 200}, {"v2", V2, 0, 100}, {"v1", V1, 0, 100}, {"d3", D3, 10, 50}, {"d1", D1, 10, 50}},
         "H d3 v2 d1 v1 late"},
        {"without a dispenser only whippers of sub-code 0 join the valve",
         {{"H"}, {"w1", W1, 0, 0}, {"w0", W0, 0, 0}, {"v", V1, 0, 100}},
         "H w0 v w1"},
        {"types and dispenser numbers the catalogue lacks are leftovers",
         {{"H"},
          {"s0", DispenserSubCode0, 10, 50},
          {"s11", DispenserSubCode11, 10, 50},
          {"out", OutsideCatalogue, 10, 50},
          {"v", V1, 0, 100}},
         "H v s0 s11 out"},
        {"products keep their own devices; rows above the first header stay",
         {{"x", D1, 10, 50}, {"H1"}, {"d", D1, 10, 50}, {"v", V1, 0, 100}, {"H2"}, {"v2", V1, 0, 100}, {"w", W1, 0, 0}},
         "x H1 d v H2 v2 w"},
        {"no valve at all", {{"H"}, {"d", D1, 10, 50}, {"w", W1, 0, 0}}, "H d w"},
        {"a single row", {{"H"}}, "H"},
        {"a single device", {{"d", D1, 10, 50}}, "d"},
    };
    for (const Case& c : cases) {
        doc.OnNewDocument();
        build(c.rows);
        doc.SortDevices();
        EXPECT_EQ(labels(), c.regrouped) << c.what;
        EXPECT_EQ(doc.GetRowCount(), int(c.rows.size())) << c.what;
        EXPECT_FALSE(doc.IsModified()) << c.what;
    }
}

TEST_F(DocumentTest, RegroupingKeepsThePositionsOfItsRows)
{
    build({{"H"}, {"d", D1, 30, 80}, {"v", V1, 0, 100}, {"x", W2, 300, 400}});
    const COrmiDoc::RowPosition valve = find("v");
    doc.SortDevices();
    EXPECT_EQ(doc.GetRowAt(valve)->GetName(), "v");
    EXPECT_EQ(doc.GetRowAt(doc.GetNextRowPosition(valve))->GetName(), "x");
}

TEST_F(DocumentTest, WhatTheModelDecides)
{
    for (int model : {1, 18, 19, 20, 21, 22, 23, 24, 25, -1}) {
        doc.SetMachineModel(model);
        EXPECT_EQ(doc.IsModel19(), model == 19);
        EXPECT_EQ(doc.IsModel21(), model == 21);
        EXPECT_EQ(doc.IsModel22(), model == 22);
        EXPECT_EQ(doc.IsModel23(), model == 23);
        EXPECT_EQ(doc.IsModel24(), model == 24);
        EXPECT_EQ(doc.IsT38AFamily(), MachineModel::isT38AFamily(model)) << model;
        EXPECT_EQ(doc.GetProgramFamily(), MachineModel::programFamily(model)) << model;
        EXPECT_EQ(doc.GetManagementMachineType(), MachineModel::managementMachineType(model)) << model;
        for (int kind = -1; kind <= 9; ++kind)
            EXPECT_EQ(doc.GetBlockCode(kind), MachineModel::blockCode(model, kind)) << model << " " << kind;
    }
    doc.SetMachineModel(1);
    EXPECT_EQ(doc.GetBlockCode(MachineModel::SetupNames), 30);
    doc.SetMachineModel(24);
    EXPECT_EQ(doc.GetProgramFamily(), 4);
    EXPECT_EQ(doc.GetManagementMachineType(), 100);
}

TEST_F(DocumentTest, ViewsAreToldUntilTheyLeave)
{
    int first = 0;
    int second = 0;
    const int id = doc.AddViewListener([&] { ++first; });
    doc.AddViewListener([&] { ++second; });
    doc.UpdateAllViews();
    doc.RemoveViewListener(id);
    doc.UpdateAllViews();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
}
