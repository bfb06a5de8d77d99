// T38A machines read back by the document, end to end through a pseudo-terminal: round trips
// through both commands, and reads of records a machine was preloaded with.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "fw/WaitUi.h"
#include "link/CGrabadorT38A.h"
#include "link/MandaTrama485.h"
#include "link/PackedBcd.h"
#include "link/SerialPort.h"
#include "tests/link/MachineTestEnvironment.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedModelDialogHost.h"
#include "tests/support/ScriptedSaveChangesHost.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

namespace {

constexpr int Model = 21; // program family 1: six set-up rows
constexpr char Finished[] = "FIN DE LECTURA DE CONFIGURACION DE CAFETERA";

struct Row {
    int number, selection;
    QByteArray name;
    int flags, type, turns, pulses;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r)
{
    if (r.type < 0)
        return out << "{P" << r.number << "/" << r.selection << " " << r.name.toStdString() << " f" << r.flags << "}";
    return out << "{t" << r.type << " " << r.turns << "/" << r.pulses << "}";
}

Row header(int number, const QByteArray& name, int flags) { return {number, number, name, flags, -1, 0, 0}; }
Row device(int type, int turns, int pulses) { return {0, 0, {}, 0, type, turns, pulses}; }

std::vector<Row> rowsOf(COrmiDoc& document)
{
    std::vector<Row> rows;
    document.StartWalk();
    while (CDeviceCoffee* row = document.GetNextRow()) {
        if (row->IsProductHeader())
            rows.push_back({row->GetProductNumber(), row->GetSelectionNumber(), row->GetName(),
                            row->GetSugarFlag() | row->GetStirrerFlag() << 1 | row->GetCupFlag() << 2, -1, 0, 0});
        else
            rows.push_back(device(row->GetTypeIndex(), row->GetContainerTurns(), row->GetWaterPulses()));
    }
    return rows;
}

QByteArray hex(QByteArrayView bytes) { return bytes.toByteArray().toHex().toUpper(); }

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out += char(v);
    return out;
}

// A hot water of 100 pulses on valve 2.
const QByteArray HotWater = bytes({0xF4, 0x02, 0x80, 0x00, 0x81, 0x64});

// A product record as the machine keeps it: the header with its name, the devices, FF and
// the number, in hexadecimal text.
QByteArray productRecord(int number, const QByteArray& name, const QByteArray& devices = HotWater)
{
    return hex(bytes({0xF0, number, 0xF9, int(name.size())}) + name + devices + bytes({0xFF, number}));
}

class MachineReadT38ATest : public MachineTestEnvironment {
protected:
    MachineReadT38ATest()
    {
        catalogue.AddMachineType(6, "Dravolino T38A-C", true);
        catalogue.AddConfiguration({.code = Model, .machineType = 6, .description = "T"});
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
        MandaTrama485::AsignaSecuencia('0');
        written.SetMachineModel(Model);
        read.SetMachineModel(Model);
    }

    SetupT38A& tables() { return setup.object(); }

    // Set-up rows 1..6 hold products 1..6 with values of their own; row 0 holds product 9
    // unless shifted.
    void prepareSetup(bool shift)
    {
        for (int k = 0; k <= 6; ++k) {
            SetupT38A::SetupRow row = tables().GetSetupRow(k).value();
            row.productIndex = k == 0 ? (shift ? SetupT38A::NoProduct : 9) : k;
            row.mgPerTurn = 1000 + 10 * k;
            row.whipSpeed = 40 + k;
            row.valveNumber = 20 + k;
            row.whipperNumber = 30 + k;
            tables().SetSetupRow(k, row);
        }
    }

    // What the write carries of the set-up, then every value changed but whether row 0 has
    // a product.
    SetupT38A carriedThenScrambled()
    {
        const SetupT38A before = tables();
        for (int k = 0; k <= 6; ++k) {
            SetupT38A::SetupRow row = tables().GetSetupRow(k).value();
            if (row.productIndex != SetupT38A::NoProduct)
                row.productIndex = 15 + k % 3;
            row.mgPerTurn = 7;
            row.whipSpeed = 8;
            row.valveNumber = 9;
            row.whipperNumber = 10;
            tables().SetSetupRow(k, row);
        }
        return before;
    }

    void addProduct(int number, const QByteArray& name, int flags, std::initializer_list<std::array<int, 3>> devices)
    {
        CDeviceCoffee* row = written.AddDevice();
        row->SetProductNumber(number);
        row->SetSelectionNumber(number);
        row->SetName(name);
        row->SetSugarFlag(quint8(flags & 1));
        row->SetStirrerFlag(quint8((flags >> 1) & 1));
        row->SetCupFlag(quint8((flags >> 2) & 1));
        for (const auto& [type, turns, pulses] : devices) {
            CDeviceCoffee* d = written.AddDevice();
            d->SetTypeIndex(type);
            d->SetTypeName(tables().GetRowDisplayName(type, 1));
            d->SetContainerTurns(turns);
            d->SetWaterPulses(pulses);
        }
    }

    // A recorder on the machine without the break, for reads of preloaded records: whether
    // every record was taken.
    bool readDirectly()
    {
        SerialPort port;
        CGrabadorT38A recorder(wait, app.profile(), fw::Clock::System());
        recorder.setBreakMs(0);
        EXPECT_TRUE(recorder.Conecta(&port));
        read.OnNewDocument();
        read.SetMachineModel(Model);
        const bool taken = read.ReadT38AMachine(recorder);
        recorder.Finaliza();
        recorder.CierraEspera();
        return taken;
    }

    // The steps of the write or the read command on a recorder without the break.
    bool transferDirectly(bool write)
    {
        SerialPort port;
        CGrabadorT38A recorder(wait, app.profile(), fw::Clock::System());
        recorder.setBreakMs(0);
        bool done = false;
        if (recorder.Conecta(&port)) {
            if (write) {
                done = written.ConfigureMachineT38A(recorder);
            } else {
                read.OnNewDocument();
                read.SetMachineModel(Model);
                done = read.ReadT38AMachine(recorder);
            }
        }
        recorder.Finaliza();
        recorder.CierraEspera();
        return done;
    }

    COrmiDoc written;
    COrmiDoc read;
    PtyPair pty;
};

// Written with either numbering through the write command, the set-up then scrambled, read
// back through the read command; with or without a reply of the read dropped.
class T38ARoundTripTest : public MachineReadT38ATest, public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(T38ARoundTripTest, GivesBackTheRowsAndTheSetupTheMachineCarries)
{
    const auto [shift, dropReply] = GetParam();
    T38AMachine machine(pty.master());
    prepareSetup(shift);
    // Without the shift the first product row is T38A row 2; with it, set-up row 0
    // has no product and the product rows start at 3.
    const int first = shift ? 3 : 2;
    written.OnNewDocument();
    written.SetMachineModel(Model);
    written.GetSugar().SetTimes(11, 22, 33);
    written.SetWorkingTemperature(92);
    addProduct(1, "CAFE SOLO", 5, {{0, 0, 700}, {first, 600, 300}});
    addProduct(3, "CHOCOLATE", 2, {{first + 1, 240, 479}, {1, 0, 1024}});
    host.queueOk(Model);
    written.WriteToMachine();
    ASSERT_EQ(wait.finalTexts, QStringList{"CAFETERA CONFIGURADA CORRECTAMENTE"});
    const SetupT38A carried = carriedThenScrambled();

    wait.finalTexts.clear();
    wait.progress.clear();
    // The first "2" of the read loses its reply and is asked again.
    if (dropReply)
        machine.peer().scriptFault(int(machine.peer().requests().size()) + 1, T38APeer::Fault::DropReply);
    host.queueOk(Model);
    read.ReadFromMachine();

    // Fields 1 and 3 become products 1 and 2; the fillers of the other fields add none.
    const std::vector<Row> expected = {
        header(1, "CAFE SOLO", 5), device(0, 0, 700),           device(first, 600, 300),
        header(2, "CHOCOLATE", 2), device(first + 1, 240, 479), device(1, 0, 1024),
    };
    EXPECT_EQ(rowsOf(read), expected);
    EXPECT_EQ(read.GetSugar().GetBitter(), 11);
    EXPECT_EQ(read.GetSugar().GetNormal(), 22);
    EXPECT_EQ(read.GetSugar().GetExtraSweet(), 33);
    EXPECT_EQ(read.GetWorkingTemperature(), 92);
    EXPECT_EQ(read.GetMachineModel(), Model);
    EXPECT_EQ(wait.finalTexts, QStringList{Finished});
    EXPECT_EQ(wait.progress.value(wait.progress.size() - 1), 100);
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
    if (dropReply) {
        const QList<T38APeer::Request> requests = machine.peer().requests();
        EXPECT_TRUE(std::any_of(requests.begin(), requests.end(), [](const auto& r) { return r.retry; }));
    }

    // The named containers, milligrams per turn, whipping speeds and the valves and
    // whippers of the rows the devices use come back as they were written.
    for (int k = 0; k <= 6; ++k) {
        SCOPED_TRACE(k);
        const SetupT38A::SetupRow now = tables().GetSetupRow(k).value();
        const SetupT38A::SetupRow was = carried.GetSetupRow(k).value();
        if (k < 6) {
            EXPECT_EQ(now.productIndex, was.productIndex);
        }
        if (k >= 1) {
            EXPECT_EQ(now.mgPerTurn, was.mgPerTurn);
        }
        if (k >= 2) {
            EXPECT_EQ(now.whipSpeed, was.whipSpeed);
        }
    }
    // Hot water on row 0, the coffee group on row 1, the dispensers on rows 2 and 3.
    for (int k = 0; k <= 3; ++k)
        EXPECT_EQ(tables().GetSetupRow(k)->valveNumber, carried.GetSetupRow(k)->valveNumber) << k;
    for (int k = 2; k <= 3; ++k)
        EXPECT_EQ(tables().GetSetupRow(k)->whipperNumber, carried.GetSetupRow(k)->whipperNumber) << k;
}

INSTANTIATE_TEST_SUITE_P(ShiftAndFault, T38ARoundTripTest, ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "Shift" : "NoShift") +
                                    (std::get<1>(info.param) ? "DroppedReply" : "CleanLine");
                         });

// The set-up as it comes: no row has a product, so set-up row 0 gives the shift and every
// product row shows the coffee group's name. Its dispensers go without a whipper field.
TEST_F(MachineReadT38ATest, DispensersOnRowsWithoutAProductComeBackWithoutAWhipper)
{
    T38AMachine machine(pty.master());
    written.OnNewDocument();
    written.SetMachineModel(Model);
    addProduct(1, "CAFE SOLO", 7, {{3, 10, 0}, {0, 0, 130}});
    addProduct(2, "CHOCOLATE", 7, {{4, 12, 0}});
    host.queueOk(Model);
    written.WriteToMachine();
    ASSERT_EQ(wait.finalTexts, QStringList{"CAFETERA CONFIGURADA CORRECTAMENTE"});
    // Dispenser slot 1 on valve 1, 10 turns; its water; the group on valve 0, 130 pulses.
    EXPECT_EQ(machine.records().value({'5', 1}),
              productRecord(1, "CAFE SOLO",
                            bytes({0xF1, 0x01, 0x80, 0x00, 0x81, 0x0A, 0xF4, 0x01, 0x80, 0x00, 0x81, 0x00,
                                   0xF5, 0x01, 0x80, 0x00, 0x81, 0x00, 0xF4, 0x00, 0x80, 0x00, 0x81, 0x82})));
    EXPECT_EQ(machine.records().value({'5', 2}),
              productRecord(2, "CHOCOLATE",
                            bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0x0C, 0xF4, 0x01, 0x80, 0x00, 0x81, 0x00})));

    wait.finalTexts.clear();
    host.queueOk(Model);
    read.ReadFromMachine();

    const std::vector<Row> expected = {
        header(1, "CAFE SOLO", 7), device(3, 10, 0), device(0, 0, 130),
        header(2, "CHOCOLATE", 7), device(4, 12, 0),
    };
    EXPECT_EQ(rowsOf(read), expected);
    EXPECT_EQ(wait.finalTexts, QStringList{Finished});
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
}

// The set-up tables' values and names, one line a row or name, for comparing whole tables.
std::string tablesText(const SetupT38A& tables)
{
    std::string out;
    for (int k = 0; k < SetupT38A::SetupRowCount; ++k) {
        const SetupT38A::SetupRow row = tables.GetSetupRow(k).value();
        out += std::to_string(row.productIndex) + " " + std::to_string(row.mgPerTurn) + " " +
               std::to_string(row.whipSpeed) + " " + std::to_string(row.valveNumber) + " " +
               std::to_string(row.whipperNumber) + "\n";
    }
    for (int j = 0; j < SetupT38A::ProductNameCount; ++j)
        out += tables.GetProductName(j).toStdString() + "/" + tables.GetName2(j).toStdString() + "\n";
    return out;
}

// Every block of the bulk read first comes with a NUL inside its coded data, its sum still
// right: each is asked for again, and the read gives what a clean line gives.
TEST_F(MachineReadT38ATest, BlocksFirstReceivedWithANulAreAskedAgainAndReadExactly)
{
    const SetupT38A before = tables();
    const auto preload = [](T38AMachine& machine) {
        machine.setRecord('Q', 1, hex("LECHE"));
        machine.setRecord('6', 1, bytes({0x50, 0x12}));
        machine.setRecord('E', 2, bytes({0x75, 0x00}));
        machine.setRecord('L', 0, bytes({0x91, 0x00}));
        machine.setRecord('4', 0, hex(bytes({0xF2, 9, 8, 7, 0xFF})));
        for (int field = 1; field <= 8; ++field)
            machine.setRecord('5', quint8(field), productRecord(field, "PRODUCTO DE LA CASA " + QByteArray::number(field)));
    };
    std::vector<Row> clean;
    std::string cleanTables;
    {
        T38AMachine machine(pty.master());
        preload(machine);
        ASSERT_TRUE(readDirectly());
        clean = rowsOf(read);
        cleanTables = tablesText(tables());
    }
    ASSERT_EQ(clean.size(), 16u);

    tables() = before;
    wait.finalTexts.clear();
    T38AMachine machine(pty.master());
    preload(machine);
    // Exchange 0 is the hello; from then on every command's first reply is spoiled.
    for (int exchange = 1; exchange < 200; exchange += 2)
        machine.peer().scriptFault(exchange, T38APeer::Fault::StrayByte);

    EXPECT_TRUE(readDirectly());

    EXPECT_EQ(rowsOf(read), clean);
    EXPECT_EQ(read.GetWorkingTemperature(), 91);
    EXPECT_EQ(tablesText(tables()), cleanTables);
    EXPECT_EQ(wait.finalTexts, QStringList{Finished});
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
    const QList<T38APeer::Request> requests = machine.peer().requests();
    EXPECT_GT(std::count_if(requests.begin(), requests.end(), [](const auto& r) { return r.command == "2" && r.retry; }), 2);
}

// Records a machine was preloaded with, read on a recorder without the break.
TEST_F(MachineReadT38ATest, ProductsAreNumberedInReadingOrderWithTheFlagsAndNamesOfTheirFields)
{
    T38AMachine machine(pty.master());
    for (int field : {1, 2, 5})
        machine.setRecord('5', quint8(field), productRecord(field, "P" + QByteArray::number(field)));
    // A filler, as the compile step sends for an empty field, adds no row.
    machine.setRecord('5', 3, productRecord(3, "---", {}));
    // An older header: the name after 0xF7 up to the first byte above 0xF0.
    machine.setRecord('5', 4, hex(bytes({0xF0, 4, 0xF7}) + "OLD" + HotWater + bytes({0xFF, 4})));
    machine.setRecord('3', 1, bytes({1, 0}));
    machine.setRecord('3', 2, bytes({2, 0}));
    machine.setRecord('3', 5, bytes({4, 0}));
    // 120 degrees as the writer sends it, the record 00 C0 reversed, taken as it is whatever its
    // range; bitter 5, extra sweet 7, normal 6.
    machine.setRecord('L', 0, bytes({0xC0, 0x00}));
    machine.setRecord('4', 0, hex(bytes({0xF2, 5, 7, 6, 0xFF})));
    const SetupT38A before = tables();

    EXPECT_TRUE(readDirectly());

    // A field without its flag record keeps sugar, stirrer and cup.
    const std::vector<Row> expected = {
        header(1, "P1", 1),  device(1, 0, 100), header(2, "P2", 2), device(1, 0, 100),
        header(3, "OLD", 7), device(1, 0, 100), header(4, "P5", 4), device(1, 0, 100),
    };
    EXPECT_EQ(rowsOf(read), expected);
    EXPECT_EQ(read.GetWorkingTemperature(), 120);
    EXPECT_EQ(read.GetSugar().GetBitter(), 5);
    EXPECT_EQ(read.GetSugar().GetNormal(), 6);
    EXPECT_EQ(read.GetSugar().GetExtraSweet(), 7);
    // No container record: the set-up rows keep their products.
    for (int k = 0; k < SetupT38A::SetupRowCount; ++k)
        EXPECT_EQ(tables().GetSetupRow(k)->productIndex, before.GetSetupRow(k)->productIndex) << k;
    EXPECT_EQ(wait.finalTexts, QStringList{Finished});
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
}

TEST_F(MachineReadT38ATest, AContainerNameMatchesASecondNameOrTakesTheFirstFreeEntry)
{
    T38AMachine machine(pty.master());
    for (int j = 0; j < SetupT38A::ProductNameCount; ++j) {
        tables().SetProductName(j, j == 12 || j == 14 ? QByteArray() : "N" + QByteArray::number(j));
        tables().SetName2(j, "M" + QByteArray::number(j));
    }
    // Set-up row 0 has no product: field k names row k.
    machine.setRecord('Q', 1, hex("M7"));
    machine.setRecord('Q', 2, hex("NUEVO"));
    machine.setRecord('Q', 3, "FFFF");
    machine.setRecord('Q', 4, hex("OTRO"));

    EXPECT_TRUE(readDirectly());

    EXPECT_EQ(tables().GetSetupRow(1)->productIndex, 7);
    EXPECT_EQ(tables().GetSetupRow(2)->productIndex, 12);
    EXPECT_EQ(tables().GetProductName(12), "DISP.3 MAQUINA");
    EXPECT_EQ(tables().GetName2(12), "NUEVO");
    // An unnamed container is "????".
    EXPECT_EQ(tables().GetSetupRow(3)->productIndex, 14);
    EXPECT_EQ(tables().GetProductName(14), "DISP.4 MAQUINA");
    EXPECT_EQ(tables().GetName2(14), "????");
    // Every entry taken: the row keeps what it had.
    EXPECT_EQ(tables().GetSetupRow(4)->productIndex, SetupT38A::NoProduct);
    EXPECT_EQ(wait.finalTexts, QStringList{Finished});
}

// Which numbering a machine was written with is told by a field only that numbering writes:
// milligrams or a container name in field 0 or field R (6 for this family), a whipping speed in
// field 1 or R. Only where no field tells, or fields of both are there, set-up row 0 as this
// side has it decides. Set-up row 0 then follows the numbering.
TEST_F(MachineReadT38ATest, TheNumberingComesFromTheFieldsTheMachineHolds)
{
    constexpr int LocalProduct = 9;
    constexpr int Cafe = 0;           // the second name "CAFE"
    constexpr int FirstFreeName = 13; // the first empty default name
    const std::vector<int> sharedFields{1, 2, 3, 4, 5};
    struct Case {
        const char* what;
        std::vector<int> milligrams, speeds;
        std::vector<std::pair<int, QByteArray>> names;
        bool localShift;
        bool shift;
        int row0Product;
    };
    const Case cases[] = {
        {"milligrams from field 0", {0, 1, 2, 3, 4, 5}, {}, {}, false, true, SetupT38A::NoProduct},
        {"milligrams up to field 6", {1, 2, 3, 4, 5, 6}, {}, {{1, "CAFE"}}, true, false, Cafe},
        {"whipping speed from field 1", sharedFields, {1, 2, 3, 4, 5}, {}, false, true, SetupT38A::NoProduct},
        {"whipping speed in field 6", sharedFields, {2, 3, 4, 5, 6}, {{1, "CAFE"}}, true, false, Cafe},
        {"a container in field 6, none in field 1", sharedFields, {}, {{6, "LECHE"}}, true, false, FirstFreeName},
        {"no telling field, shifted here", sharedFields, {}, {}, true, true, SetupT38A::NoProduct},
        {"no telling field, unshifted here", sharedFields, {}, {}, false, false, LocalProduct},
        {"both numberings, shifted here", {0, 1, 2, 3, 4, 5, 6}, {}, {}, true, true, SetupT38A::NoProduct},
        {"both numberings, unshifted here", {0, 1, 2, 3, 4, 5, 6}, {}, {}, false, false, LocalProduct},
    };
    // A dispenser in slot 1 with its water and whipper.
    const QByteArray dispenser = bytes({0xF1, 0x01, 0x80, 0x00, 0x81, 0x0A, 0xF4, 0x01, 0x80, 0x00, 0x81, 0x14,
                                        0xF3, 0x01, 0x80, 0x00, 0x81, 0x00});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tables() = SetupT38A();
        SetupT38A::SetupRow row0 = tables().GetSetupRow(0).value();
        row0.productIndex = c.localShift ? SetupT38A::NoProduct : LocalProduct;
        tables().SetSetupRow(0, row0);
        T38AMachine machine(pty.master());
        for (int field : c.milligrams)
            machine.setRecord('6', quint8(field), IntToBcd(quint32(100 + field), 4, true).value());
        for (int field : c.speeds)
            machine.setRecord('E', quint8(field), IntToBcd(quint32(50 + field), 4, true).value());
        for (const auto& [field, name] : c.names)
            machine.setRecord('Q', quint8(field), hex(name));
        machine.setRecord('5', 1, productRecord(1, "P", dispenser));
        app.messages().clear();
        wait.finalTexts.clear();

        readDirectly();

        EXPECT_EQ(wait.finalTexts, QStringList{Finished});
        // Field 2 carries set-up row 3 with the shift, row 2 without it.
        EXPECT_EQ(tables().GetSetupRow(c.shift ? 3 : 2)->mgPerTurn, 102);
        EXPECT_EQ(tables().GetSetupRow(0)->productIndex, c.row0Product);
        // Slot 1 is T38A row 3 with the shift, row 2 without it.
        EXPECT_EQ(rowsOf(read), (std::vector<Row>{header(1, "P", 7), device(c.shift ? 3 : 2, 10, 20)}));
    }
}

// A product record may hold as many devices as the product work area of 180 bytes takes,
// more than the writer's own buffer of 100.
TEST_F(MachineReadT38ATest, ProductsUpToTheWorkAreaAreReadWhole)
{
    const QByteArray dispenser = bytes({0xF1, 0x01, 0x80, 0x00, 0x81, 0x0A, 0xF4, 0x01, 0x80, 0x00, 0x81, 0x14,
                                        0xF3, 0x01, 0x80, 0x00, 0x81, 0x00});
    struct Case {
        int hotWaters, dispensers;
        QByteArray name;
    };
    // 104, 110, 176 and 180 bytes.
    const Case cases[] = {{16, 0, "AB"}, {17, 0, "AB"}, {28, 0, "AB"}, {1, 9, "ABCDEF"}};
    for (const Case& c : cases) {
        QByteArray devices;
        std::vector<Row> expected{header(1, c.name, 7)};
        for (int i = 0; i < c.dispensers; ++i) {
            devices += dispenser;
            expected.push_back(device(3, 10, 20));
        }
        for (int i = 0; i < c.hotWaters; ++i) {
            devices += HotWater;
            expected.push_back(device(1, 0, 100));
        }
        const QByteArray record = productRecord(1, c.name, devices);
        SCOPED_TRACE(record.size() / 2);
        ASSERT_LE(record.size() / 2, 180);
        T38AMachine machine(pty.master());
        machine.setRecord('5', 1, record);
        app.messages().clear();
        wait.finalTexts.clear();

        readDirectly();

        EXPECT_EQ(rowsOf(read), expected);
        EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
        EXPECT_EQ(wait.finalTexts, QStringList{Finished});
    }
}

// Input longer than its work area is refused, never cut: the read stops there, keeping the
// product read before it, without its final text.
TEST_F(MachineReadT38ATest, InputLongerThanItsWorkAreaStopsTheReadKeepingEarlierRows)
{
    QByteArray longDevice = bytes({0xF1, 0x02, 0x80, 0x00, 0x81, 0x01});
    for (int i = 0; i < 50; ++i)
        longDevice += bytes({0x83, 0x01});
    const struct {
        const char* what;
        QByteArray second;
    } cases[] = {
        {"record text over 400", hex(QByteArray(201, 'A'))},
        {"product over 180 bytes", productRecord(2, QByteArray(170, 'B'))},
        {"device over 100 bytes", productRecord(2, "D", longDevice + HotWater + bytes({0xF3, 0x04, 0x80, 0x00, 0x81, 0x00}))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        T38AMachine machine(pty.master());
        machine.setRecord('5', 1, productRecord(1, "BUENO"));
        machine.setRecord('5', 2, c.second);
        app.messages().clear();
        wait.finalTexts.clear();

        EXPECT_FALSE(readDirectly());

        ASSERT_FALSE(read.GetRowCount() == 0);
        EXPECT_EQ(rowsOf(read).front(), header(1, "BUENO", 7));
        EXPECT_EQ(rowsOf(read).at(1), device(1, 0, 100));
        ASSERT_EQ(app.messages().texts().size(), 1);
        EXPECT_TRUE(app.messages().texts()[0].startsWith("7-Fichero de configuración erroneo"));
        EXPECT_TRUE(wait.finalTexts.isEmpty());
    }
}

// Records that are not hexadecimal text, or values that are not packed BCD or do not fit their
// field, are malformed: the read stops there with the code 8, keeping the product read before
// it, without its final text. The set-up records come before the products, so those cases keep
// no row. Only the leading digit's nibble may be above 9; a whipping speed goes up to 100,
// milligrams up to 15999, the temperature as far as the document keeps it.
TEST_F(MachineReadT38ATest, RecordsThatAreNotHexadecimalTextOrNotDigitsStopTheRead)
{
    QByteArray nonHex = productRecord(2, "X");
    nonHex[5] = 'G';
    const struct {
        const char* what;
        char blockId;
        int field;
        QByteArray record;
        bool keepsFirstProduct;
    } cases[] = {
        {"product of raw bytes", '5', 2, QByteArray::fromHex(productRecord(2, "RAW")), true},
        {"product of odd length", '5', 2, productRecord(2, "X").chopped(1), true},
        {"product with a non-hex character", '5', 2, nonHex, true},
        {"product with a blank", '5', 2, productRecord(2, "X").insert(4, ' ').chopped(1), true},
        {"container name", 'Q', 1, "4G41", false},
        {"sugar record", '4', 0, "F205070G", false},
        {"temperature ZZ", 'L', 0, "ZZ", false},
        {"milligrams with a nibble A below a digit", '6', 1, bytes({0xA0, 0x01}), false},
        {"milligrams with a units nibble C", '6', 1, bytes({0x0C, 0x00, 0x00}), false},
        {"milligrams of no byte", '6', 1, QByteArray(), false},
        {"milligrams of six bytes", '6', 1, bytes({0x01, 0x00, 0x00, 0x00, 0x00, 0x00}), false},
        {"milligrams 16000", '6', 1, bytes({0x00, 0x60, 0x01}), false},
        {"whipping speed with a nibble B", 'E', 2, bytes({0x0B, 0x10}), false},
        {"whipping speed 101", 'E', 2, bytes({0x01, 0x01}), false},
        {"whipping speed A00", 'E', 2, bytes({0x00, 0xA0}), false},
        {"whipping speed 150 in one byte", 'E', 2, bytes({0xF0}), false},
        {"temperature 0F", 'L', 0, bytes({0x0F, 0x00}), false},
        {"temperature 0F alone", 'L', 0, bytes({0x0F}), false},
        {"temperature with a nibble A below a digit", 'L', 0, bytes({0xA0, 0x10}), false},
        {"temperature beyond the document's integer", 'L', 0, bytes({0x00, 0x00, 0x00, 0x00, 0x22}), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        T38AMachine machine(pty.master());
        machine.setRecord('5', 1, productRecord(1, "BUENO"));
        machine.setRecord(quint8(c.blockId), quint8(c.field), c.record);
        app.messages().clear();
        wait.finalTexts.clear();

        EXPECT_FALSE(readDirectly());

        if (c.keepsFirstProduct) {
            EXPECT_EQ(rowsOf(read), (std::vector<Row>{header(1, "BUENO", 7), device(1, 0, 100)}));
        } else {
            EXPECT_EQ(read.GetRowCount(), 0);
        }
        ASSERT_EQ(app.messages().texts().size(), 1);
        EXPECT_TRUE(app.messages().texts()[0].startsWith("8-Fichero de configuración erroneo"))
            << app.messages().texts()[0].toStdString();
        EXPECT_TRUE(wait.finalTexts.isEmpty());
    }
}

// A machine set at its panel or by another tool may hold its set-up values and temperature in
// records of any length packed BCD allows, 1 to 5 bytes least significant first: each is taken
// as its value. With the tables as they come, field 1 of the milligrams is set-up row 2 and
// field 2 of the speeds row 3.
TEST_F(MachineReadT38ATest, SetupValuesAndTheTemperatureAreTakenFromRecordsOfAnyLength)
{
    enum Field { Temperature, Milligrams, Speed };
    const struct {
        Field field;
        QByteArray record;
        int value;
    } cases[] = {
        {Temperature, bytes({0xA0}), 100},
        {Temperature, bytes({0x90, 0x00}), 90},
        {Temperature, bytes({0x90, 0x01}), 190},
        {Temperature, bytes({0x20, 0x01, 0x00}), 120},
        {Temperature, bytes({0x85, 0x00, 0x00, 0x00}), 85},
        {Temperature, bytes({0x99, 0x99, 0x99, 0x99, 0x09}), 999999999},
        {Milligrams, bytes({0x45}), 45},
        {Milligrams, bytes({0x34, 0x12}), 1234},
        {Milligrams, bytes({0x00, 0x00, 0x01}), 10000},
        {Milligrams, bytes({0x99, 0xF9, 0x00, 0x00}), 15999},
        {Milligrams, bytes({0x00, 0x50, 0x01, 0x00, 0x00}), 15000},
        {Speed, bytes({0x75}), 75},
        {Speed, bytes({0x00, 0x01}), 100},
        {Speed, bytes({0x50, 0x00, 0x00}), 50},
        {Speed, bytes({0x99, 0x00, 0x00, 0x00}), 99},
        {Speed, bytes({0x00, 0x00, 0x00, 0x00, 0x00}), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record.toHex(' ').toStdString());
        tables() = SetupT38A();
        T38AMachine machine(pty.master());
        switch (c.field) {
        case Temperature: machine.setRecord('L', 0, c.record); break;
        case Milligrams: machine.setRecord('6', 1, c.record); break;
        case Speed: machine.setRecord('E', 2, c.record); break;
        }
        machine.setRecord('5', 1, productRecord(1, "BUENO"));
        app.messages().clear();
        wait.finalTexts.clear();

        EXPECT_TRUE(readDirectly());

        switch (c.field) {
        case Temperature: EXPECT_EQ(read.GetWorkingTemperature(), c.value); break;
        case Milligrams: EXPECT_EQ(tables().GetSetupRow(2)->mgPerTurn, c.value); break;
        case Speed: EXPECT_EQ(tables().GetSetupRow(3)->whipSpeed, c.value); break;
        }
        EXPECT_EQ(rowsOf(read), (std::vector<Row>{header(1, "BUENO", 7), device(1, 0, 100)}));
        EXPECT_EQ(wait.finalTexts, QStringList{Finished});
        EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
    }
}

// Names longer than their area, as another writer may leave them, are read cut to it: a
// product's name to 51 bytes, a container's to the 80 characters of its text.
TEST_F(MachineReadT38ATest, LongerNamesAreReadCutToTheirArea)
{
    const QByteArray long94 = QByteArray(50, 'A') + QByteArray(44, 'B');
    T38AMachine machine(pty.master());
    machine.setRecord('5', 1, productRecord(1, long94));
    machine.setRecord('5', 2, hex(bytes({0xF0, 2, 0xF7}) + QByteArray(60, 'O') + HotWater + bytes({0xFF, 2})));
    machine.setRecord('5', 3, productRecord(3, QByteArray(52, 'C')));
    machine.setRecord('Q', 1, hex(QByteArray(60, 'L')));
    machine.setRecord('Q', 2, hex(QByteArray(90, 'M')));

    EXPECT_TRUE(readDirectly());

    EXPECT_EQ(rowsOf(read), (std::vector<Row>{header(1, long94.left(51), 7), device(1, 0, 100),
                                              header(2, QByteArray(51, 'O'), 7), device(1, 0, 100),
                                              header(3, QByteArray(51, 'C'), 7), device(1, 0, 100)}));
    // Field k names set-up row k: set-up row 0 has no product.
    const SetupT38A::SetupRow row1 = tables().GetSetupRow(1).value();
    const SetupT38A::SetupRow row2 = tables().GetSetupRow(2).value();
    EXPECT_EQ(tables().GetName2(row1.productIndex), QByteArray(60, 'L'));
    EXPECT_EQ(tables().GetName2(row2.productIndex), QByteArray(80, 'M'));
    EXPECT_EQ(wait.finalTexts, QStringList{Finished});
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
}

// A transfer that fails ends with its failure text and "Aceptar": the wait window stays until
// the user has seen it, and no later status text replaces it.
TEST_F(MachineReadT38ATest, AFailedReadOrWriteEndsWithItsFailureTextUntilTheUserHasSeenIt)
{
    written.OnNewDocument();
    written.SetMachineModel(Model);
    addProduct(1, "CAFE", 7, {{0, 0, 100}});
    addProduct(2, "TE", 7, {{1, 0, 200}});
    const QList<QByteArray> blocks{"ab", "cd", "ef", bytes({0xEC, 0x01})};
    struct Case {
        const char* name;
        bool write;
        QByteArray hangUpAt; // the machine goes away once it got a command beginning so
        QList<QByteArray> blocks;
        QByteArray firstPieceReply;
        QString text;
    };
    const Case cases[] = {
        {"the machine hangs up mid-read", false, "2", blocks, {}, "Error de comunicación"},
        {"more data than the read takes", false, {}, QList<QByteArray>(60, QByteArray(250, 'x')), {}, "Error de comunicación"},
        {"the machine hangs up mid-write", true, "3", {}, {}, "Error de comunicación"},
        {"a piece refused", true, {}, {}, "?", "Checksum erronea"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PtyPair line;
        app.profile().WriteString("Puertos", "COM1", line.slavePath());
        auto machine = std::make_unique<T38AMachine>(line.master());
        if (!c.blocks.isEmpty())
            machine->scriptBlocks(c.blocks);
        if (!c.firstPieceReply.isEmpty())
            machine->scriptPieceReply(0, c.firstPieceReply);
        wait.onPass = [&](int) {
            if (!machine || c.hangUpAt.isEmpty())
                return;
            const QList<QByteArray> commands = machine->commands();
            if (std::any_of(commands.begin(), commands.end(),
                            [&](const QByteArray& command) { return command.startsWith(c.hangUpAt); })) {
                machine.reset();
                line.closeMaster();
            }
        };
        wait.finalTexts.clear();

        EXPECT_FALSE(transferDirectly(c.write));

        EXPECT_EQ(wait.finalTexts, QStringList{c.text});
        EXPECT_EQ(wait.shown, c.text);
        EXPECT_TRUE(wait.confirming);
        EXPECT_FALSE(wait.active);
        if (!c.write) {
            EXPECT_EQ(read.GetRowCount(), 0);
        }
        wait.onPass = nullptr;
    }
}

// The same through the read command itself.
TEST_F(MachineReadT38ATest, AReadCommandWhoseMachineHangsUpShowsTheFailureWithAceptar)
{
    auto machine = std::make_unique<T38AMachine>(pty.master());
    machine->scriptBlocks({"ab", "cd", "ef", bytes({0xEC, 0x01})});
    wait.onPass = [&](int) {
        if (machine && machine->commands().contains("2")) {
            machine.reset();
            pty.closeMaster();
        }
    };
    read.AddDevice();
    host.queueOk(Model);
    read.ReadFromMachine();
    // The document stays as it was.
    EXPECT_EQ(read.GetRowCount(), 1);
    EXPECT_EQ(wait.finalTexts, QStringList{"Error de comunicación"});
    EXPECT_EQ(wait.shown, "Error de comunicación");
    EXPECT_TRUE(wait.confirming);
    EXPECT_EQ(wait.stops, 1);
}

TEST_F(MachineReadT38ATest, AFailedHelloStopsTheWaitAndLeavesTheDocumentAsItWas)
{
    T38AMachine machine(pty.master());
    machine.peer().setDefaultFault(T38APeer::Fault::Refusal);
    read.AddDevice();
    read.SetMachineModel(1);
    host.queueOk(Model);
    read.ReadFromMachine();
    EXPECT_EQ(read.GetRowCount(), 1);
    EXPECT_EQ(read.GetMachineModel(), 1);
    EXPECT_GE(wait.stops, 1);
    EXPECT_FALSE(machine.commands().contains("2"));
    EXPECT_FALSE(wait.finalTexts.contains(Finished));
}

} // namespace
