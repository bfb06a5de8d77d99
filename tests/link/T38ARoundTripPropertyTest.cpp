// A T38A read is the inverse of the write, as a property over seeded random documents and
// set-up tables: for every T38A model of the bundled catalogue, with set-up row 0 without a
// product (the shift) and with one, read where set-up row 0 holds the other. Products reach
// the last byte of the writer's product buffer. Most documents go through the compile step
// and the read on the records a machine would hold; a few go end to end through the test
// machine on a pseudo-terminal. Longer products than the writer makes, up to the reader's
// product work area, read back as the rows they encode. Names around what the machine keeps
// (51 and 52 bytes for a product, 80 and 81 for a container) read back as the machine holds
// them, cut, after the writer's box that lists the cut ones.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/DispositivoT38ADlgData.h"
#include "app/MachineModel.h"
#include "app/ProductDlgData.h"
#include "app/RowByteCode.h"
#include "app/SetupT38A.h"
#include "fw/ByteWriter.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "link/CGrabadorT38A.h"
#include "link/ProgramCompiler.h"
#include "link/SerialPort.h"
#include "link/T38AMachineReader.h"
#include "tests/link/T38AStoredRecords.h"
#include "tests/res/BundledCatalogue.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <QVariant>

#include <algorithm>
#include <random>
#include <sstream>

namespace {

constexpr int DocumentsPerCase = 30;
constexpr int EndToEndDocuments = 1;
constexpr int NamedProducts = 13; // the default names 0..12 are distinct and not empty
constexpr int MaxProducts = 24;
constexpr int MaxDevices = 12;
// Enough hot waters, the shortest devices, to fill any product record.
constexpr int MaxFillingDevices = T38AMachineReader::ProductCapacity / 6;
constexpr int MaxNameBytes = T38AMachineReader::NameCapacity - 1;
static_assert(MaxNameBytes == RowByteCode::T38ANameLength);
// 0xF0, number, 0xF9 and the name's length; 0xFF and the number.
constexpr int ProductFrameBytes = 6;
constexpr int ReplyTimeoutMs = 150;
constexpr char Finished[] = "FIN DE LECTURA DE CONFIGURACION DE CAFETERA";

std::vector<int> bundledT38AModels()
{
    std::vector<int> models;
    const BundledCatalogue catalogue;
    for (const BundledCatalogue::Configuration& c : catalogue.configurationList())
        if (MachineModel::isT38AFamily(c.code))
            models.push_back(c.code);
    return models;
}

struct Row {
    int number, selection;
    QByteArray name;
    int flags, type, turns, pulses;
    QByteArray typeName;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& r)
{
    if (r.number != 0)
        return out << "{P" << r.number << "/" << r.selection << " '" << r.name.toStdString() << "' f" << r.flags << "}";
    return out << "{t" << r.type << " " << r.turns << "/" << r.pulses << " '" << r.typeName.toStdString() << "'}";
}

int longestNameOf(COrmiDoc& document)
{
    int longest = 0;
    document.StartWalk();
    while (CDeviceCoffee* row = document.GetNextRow())
        longest = std::max(longest, int(row->GetName().size()));
    return longest;
}

std::vector<Row> rowsOf(COrmiDoc& document)
{
    std::vector<Row> rows;
    document.StartWalk();
    while (CDeviceCoffee* row = document.GetNextRow()) {
        const int flags = row->GetSugarFlag() | row->GetStirrerFlag() << 1 | row->GetCupFlag() << 2;
        if (row->IsProductHeader())
            rows.push_back({row->GetProductNumber(), row->GetSelectionNumber(), row->GetName(), flags, 0, 0, 0, {}});
        else
            rows.push_back({0, 0, {}, 0, row->GetTypeIndex(), row->GetContainerTurns(), row->GetWaterPulses(),
                            row->GetTypeName()});
    }
    return rows;
}

// Every value in which the two tables differ, one a line.
std::string differences(const SetupT38A& got, const SetupT38A& want)
{
    std::ostringstream out;
    const auto compare = [&out](const char* what, int k, const auto& a, const auto& b) {
        if (a != b)
            out << what << "[" << k << "] " << QVariant(a).toString().toStdString() << " instead of "
                << QVariant(b).toString().toStdString() << "\n";
    };
    for (int k = 0; k < SetupT38A::SetupRowCount; ++k) {
        const SetupT38A::SetupRow a = got.GetSetupRow(k).value();
        const SetupT38A::SetupRow b = want.GetSetupRow(k).value();
        compare("mg", k, a.mgPerTurn, b.mgPerTurn);
        compare("valve", k, a.valveNumber, b.valveNumber);
        compare("whipper", k, a.whipperNumber, b.whipperNumber);
        compare("product", k, a.productIndex, b.productIndex);
        compare("speed", k, a.whipSpeed, b.whipSpeed);
    }
    for (int j = 0; j < SetupT38A::ProductNameCount; ++j) {
        compare("name", j, got.GetProductName(j), want.GetProductName(j));
        compare("name2", j, got.GetName2(j), want.GetName2(j));
    }
    for (int g = 0; g < SetupT38A::GroupCount; ++g) {
        compare("group", g, got.GetGroupName(g), want.GetGroupName(g));
        compare("group2", g, got.GetGroupName2(g), want.GetGroupName2(g));
    }
    return out.str();
}

class T38ARoundTripProperty : public ::testing::TestWithParam<std::tuple<int, bool>> {
protected:
    T38ARoundTripProperty()
        : model(std::get<0>(GetParam()))
        , shift(std::get<1>(GetParam()))
        , family(quint32(MachineModel::programFamily(model)))
        , rows(SetupT38A::GetRowCount(family))
    {
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
    }

    SetupT38A& tables() { return setup.object(); }

    int draw(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }

    // Values of every range the dialogs allow; products only of named entries, so that a
    // container name finds its own entry again.
    void randomSetup()
    {
        tables() = SetupT38A();
        for (int k = 0; k < SetupT38A::SetupRowCount; ++k) {
            SetupT38A::SetupRow row;
            // Milligrams are not range-checked: a first digit above 9 is sent as its nibble.
            row.mgPerTurn = draw(0, 15999);
            row.valveNumber = draw(0, 6);
            row.whipperNumber = draw(0, 5);
            row.whipSpeed = draw(0, 100);
            if (k == 0)
                row.productIndex = shift ? SetupT38A::NoProduct : draw(0, NamedProducts - 1);
            else
                row.productIndex = draw(0, 3) == 0 ? SetupT38A::NoProduct : draw(0, NamedProducts - 1);
            tables().SetSetupRow(k, row);
        }
        // An edited coffee-group name: product rows without a product then carry a whipper.
        if (draw(0, 1) == 1)
            tables().SetGroupName2(0, "GRUPO ESPRESSO");
        // A sent container's machine text around what the machine keeps of it.
        const int product = tables().GetSetupRow(draw(1, rows - 1))->productIndex;
        if (product != SetupT38A::NoProduct && draw(0, 1) == 1)
            tables().SetName2(product, randomLetters(SetupT38A::MachineNameLength + draw(0, 1)));
    }

    QByteArray randomLetters(int count)
    {
        QByteArray letters;
        while (letters.size() < count)
            letters += randomLetter();
        return letters;
    }

    // The names the writer cuts: sent containers' and products' longer than the machine keeps.
    int cutNames()
    {
        int cut = 0;
        for (int k = 0; k < rows; ++k) {
            const int product = tables().GetSetupRow(k)->productIndex;
            const bool longer = product != SetupT38A::NoProduct &&
                                tables().GetName2(product).size() > SetupT38A::MachineNameLength;
            cut += longer;
            cutContainers += longer;
        }
        written.StartWalk();
        while (CDeviceCoffee* row = written.GetNextRow())
            cut += row->IsProductHeader() && row->GetName().size() > MaxNameBytes;
        return cut;
    }

    char randomLetter()
    {
        static const QByteArray letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789\xD1\xF1\xC7\xF9";
        return letters[draw(0, int(letters.size()) - 1)];
    }

    // Mostly short; now and then just within or just past what the machine keeps.
    QByteArray randomName()
    {
        switch (draw(0, 7)) {
        case 0: return randomLetters(MaxNameBytes);
        case 1: return randomLetters(MaxNameBytes + 1);
        default: return randomLetters(draw(1, 12));
        }
    }

    // Turns and pulses on both sides of 239, 204 (0xCC, the separator's byte) among them.
    int randomCount(int high)
    {
        switch (draw(0, 3)) {
        case 0: return draw(0, 239);
        case 1: return 204;
        default: return draw(0, high);
        }
    }

    DispositivoT38ADlgData randomDevice()
    {
        DispositivoT38ADlgData record;
        record.family = int(family);
        record.type = draw(0, rows + 1);
        // The hot water has no container and the group's turns are never sent.
        record.turns = record.type < SetupT38A::GroupRowCount ? 0 : randomCount(700);
        record.waterPulses = randomCount(1024);
        return record;
    }

    int encodedLength(CDeviceCoffee& row)
    {
        fw::ByteWriter out;
        return row.EncodeRowT38A(out, shift);
    }

    int encodedLength(const DispositivoT38ADlgData& record)
    {
        CDeviceCoffee device;
        EXPECT_TRUE(device.FillFromDeviceT38ADlg(record));
        return encodedLength(device);
    }

    // A product of random devices whose record takes at most capacity bytes. Filled, its name
    // takes the bytes the devices leave, so that the record reaches the last one.
    void addRandomProduct(int number, int capacity, bool fill)
    {
        ProductDlgData product;
        product.productNumber = number;
        product.selectionNumber = number;
        product.name = randomName();
        if (fill)
            product.name.truncate(1);
        const int flags = draw(0, 7);
        product.sugarFlag = flags & 1;
        product.stirrerFlag = (flags >> 1) & 1;
        product.cupFlag = (flags >> 2) & 1;
        product.t38aFlag = true;
        std::vector<DispositivoT38ADlgData> devices;
        int room = capacity - ProductFrameBytes - int(product.name.size());
        for (int d = fill ? MaxFillingDevices : draw(1, MaxDevices); d > 0; --d) {
            const DispositivoT38ADlgData device = randomDevice();
            const int length = encodedLength(device);
            if (length > room)
                break;
            devices.push_back(device);
            room -= length;
        }
        for (; fill && room > 0 && product.name.size() < MaxNameBytes; --room)
            product.name += randomLetter();
        written.AddDevice()->FillFromProductDlg(product);
        for (const DispositivoT38ADlgData& device : devices)
            ASSERT_TRUE(written.AddDevice()->FillFromDeviceT38ADlg(device));
    }

    // 1..24 products, as many devices as the compile step's product buffer takes, a third of
    // them filling it.
    void randomDocument(int temperature)
    {
        written.OnNewDocument();
        written.SetMachineModel(model);
        written.GetSugar().SetTimes(draw(0, 99), draw(0, 99), draw(0, 99));
        written.SetWorkingTemperature(temperature);
        const int products = draw(1, MaxProducts);
        for (int number = 1; number <= products; ++number)
            addRandomProduct(number, ProgramCompiler::PayloadCapacity, draw(0, 2) == 0);
    }

    // Every set-up value changed before the read, but which rows 1..9 have a product; set-up
    // row 0 has one exactly when it had none, so that this side would number the rows the
    // other way.
    void scramble()
    {
        for (int k = 0; k < SetupT38A::SetupRowCount; ++k) {
            SetupT38A::SetupRow row = tables().GetSetupRow(k).value();
            row.mgPerTurn = 12345;
            row.valveNumber = 77;
            row.whipperNumber = 88;
            row.whipSpeed = 111;
            if (row.productIndex != SetupT38A::NoProduct)
                row.productIndex = (row.productIndex + 5) % NamedProducts;
            if (k == 0)
                row.productIndex = shift ? draw(0, NamedProducts - 1) : SetupT38A::NoProduct;
            tables().SetSetupRow(k, row);
        }
    }

    // What the read gives back: the values the records and devices carry from the rows the
    // compile step took them from; every other value stays as the read found it. A whipper of
    // a device whose row shows the first group name is not sent, so it cannot come back.
    SetupT38A expectedAfterRead(const SetupT38A& was, const SetupT38A& found)
    {
        SetupT38A expected = found;
        const auto take = [&](int k, auto field) {
            SetupT38A::SetupRow row = expected.GetSetupRow(k).value();
            row.*field = was.GetSetupRow(k).value().*field;
            expected.SetSetupRow(k, row);
        };
        // Set-up row 0 follows the numbering the machine was written with.
        take(0, &SetupT38A::SetupRow::productIndex);
        for (int k = 1; k < rows; ++k)
            if (was.GetSetupRow(k)->productIndex != SetupT38A::NoProduct)
                take(k, &SetupT38A::SetupRow::productIndex);
        for (int k = 1; k <= rows; ++k)
            take(k, &SetupT38A::SetupRow::mgPerTurn);
        for (int k = 2; k <= rows; ++k)
            take(k, &SetupT38A::SetupRow::whipSpeed);
        written.StartWalk();
        while (CDeviceCoffee* row = written.GetNextRow()) {
            if (row->IsProductHeader())
                continue;
            const int type = row->GetTypeIndex();
            const bool whipperSent = row->GetTypeName() != was.GetGroupName(0);
            if (type == 1) {
                take(0, &SetupT38A::SetupRow::valveNumber);
                continue;
            }
            const int valveRow = type == 0 ? was.GetCoffeeGroupValveRow() : type - (shift ? 1 : 0);
            const int whipperRow = type == 0 ? (shift ? 0 : 1) : valveRow;
            take(valveRow, &SetupT38A::SetupRow::valveNumber);
            if (whipperSent)
                take(whipperRow, &SetupT38A::SetupRow::whipperNumber);
        }
        return expected;
    }

    // One document: written, the set-up scrambled, read back into a fresh document.
    void roundTrip(int document, bool endToEnd)
    {
        SCOPED_TRACE(::testing::Message() << "document " << document << (endToEnd ? " through the pty" : ""));
        randomSetup();
        randomDocument(document == 0 ? 100 : draw(80, 100));
        const SetupT38A was = tables();

        read.OnNewDocument();
        read.SetMachineModel(model);
        app.messages().clear();
        wait.finalTexts.clear();
        const int cut = cutNames();
        longestName = std::max(longestName, longestNameOf(written));
        if (endToEnd)
            throughTheMachine();
        else
            throughTheRecords();

        EXPECT_EQ(app.messages().shown().size(), cut == 0 ? 0 : 1) << app.messages().texts().join('|').toStdString();
        EXPECT_EQ(wait.finalTexts, QStringList{Finished});
        std::vector<Row> expected = rowsOf(written);
        for (Row& row : expected)
            row.name.truncate(MaxNameBytes);
        EXPECT_EQ(rowsOf(read), expected);
        EXPECT_EQ(read.GetSugar().GetBitter(), written.GetSugar().GetBitter());
        EXPECT_EQ(read.GetSugar().GetNormal(), written.GetSugar().GetNormal());
        EXPECT_EQ(read.GetSugar().GetExtraSweet(), written.GetSugar().GetExtraSweet());
        EXPECT_EQ(read.GetWorkingTemperature(), written.GetWorkingTemperature());
        EXPECT_EQ(differences(tables(), expectedAfterRead(was, scrambledBeforeRead)), "");
    }

    void throughTheRecords()
    {
        T38AStoredRecords machine;
        ASSERT_TRUE(written.CompileProgram(machine));
        for (int field = 1; field <= MaxProducts; ++field) {
            const QByteArray product = QByteArray::fromHex(machine.records[{quint8('5'), quint8(field)}]);
            longestProduct = std::max(longestProduct, int(product.size()));
            // The machine never gets a name longer than it keeps: F0, number, F9, the length.
            if (product.size() > 3) {
                EXPECT_LE(quint8(product[3]), MaxNameBytes) << field;
            }
        }
        scramble();
        scrambledBeforeRead = tables();
        CGrabadorT38A recorder(wait, app.profile(), fw::Clock::System());
        EXPECT_TRUE(T38AMachineReader(read, recorder).Take(machine.data()));
        recorder.CierraEspera();
    }

    void throughTheMachine()
    {
        T38AMachine machine(pty.master());
        SerialPort port;
        CGrabadorT38A recorder(wait, app.profile(), fw::Clock::System());
        recorder.setBreakMs(0);
        recorder.frameLayer().setReplyTimeoutMs(ReplyTimeoutMs);
        ASSERT_TRUE(recorder.Conecta(&port));
        ASSERT_TRUE(written.CompileProgram(recorder));
        scramble();
        scrambledBeforeRead = tables();
        ASSERT_TRUE(recorder.Saluda());
        EXPECT_TRUE(read.ReadT38AMachine(recorder));
        recorder.Finaliza();
        recorder.CierraEspera();
    }

    // The written document's products as a machine may hold them, in records of up to the
    // product work area: header, devices, 0xFF and the number.
    void storeProducts(T38AStoredRecords& machine)
    {
        fw::ByteWriter record(T38AMachineReader::ProductCapacity);
        int number = 0;
        const auto close = [&] {
            ASSERT_TRUE(RowByteCode::Put(record, {RowByteCode::End, quint8(number)}));
            machine.records[{quint8('5'), quint8(number)}] = record.data().toHex().toUpper();
        };
        written.StartWalk();
        while (CDeviceCoffee* row = written.GetNextRow()) {
            if (row->IsProductHeader()) {
                if (number != 0)
                    close();
                record = fw::ByteWriter(T38AMachineReader::ProductCapacity);
                number = row->GetProductNumber();
            }
            ASSERT_GT(row->EncodeRowT38A(record, shift), 0);
        }
        close();
    }

    const int model;
    const bool shift;
    const quint32 family;
    const int rows;
    TestApplication app;
    // Product names resolve against a catalogue of the test's own.
    CatalogueFixture catalogue{app};
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    ScriptedWaitUi wait;
    PtyPair pty;
    COrmiDoc written;
    COrmiDoc read;
    SetupT38A scrambledBeforeRead;
    // The longest product record the compile step sent, and the longest product name, in bytes.
    int longestProduct = 0;
    int longestName = 0;
    int cutContainers = 0;
    // Seeded by the case: every run draws the same documents.
    std::mt19937 rng{quint32(std::get<0>(GetParam()) * 2 + int(std::get<1>(GetParam())))};
};

TEST_P(T38ARoundTripProperty, AReadGivesBackTheRowsAndEverySetupValueTheWriteCarried)
{
    for (int document = 0; document < DocumentsPerCase && !HasFailure(); ++document)
        roundTrip(document, false);
    for (int document = 0; document < EndToEndDocuments && !HasFailure(); ++document)
        roundTrip(DocumentsPerCase + document, true);
    EXPECT_EQ(longestProduct, ProgramCompiler::PayloadCapacity);
    EXPECT_EQ(longestName, MaxNameBytes + 1);
    EXPECT_GT(cutContainers, 0);
}

// The writer's product buffer is smaller than the reader's work area: a machine may hold
// longer products, of more devices, than this program writes, and each reads back whole.
TEST_P(T38ARoundTripProperty, ProductsLongerThanTheWriterMakesReadBackUpToTheWorkArea)
{
    for (int document = 0; document < DocumentsPerCase && !HasFailure(); ++document) {
        SCOPED_TRACE(::testing::Message() << "document " << document);
        randomSetup();
        written.OnNewDocument();
        written.SetMachineModel(model);
        for (int number = 1, products = draw(1, 4); number <= products; ++number)
            addRandomProduct(number, draw(ProgramCompiler::PayloadCapacity + 1, T38AMachineReader::ProductCapacity),
                             true);
        T38AStoredRecords machine;
        storeProducts(machine);
        for (const auto& [key, record] : machine.records)
            ASSERT_GT(record.size() / 2, ProgramCompiler::PayloadCapacity);

        read.OnNewDocument();
        read.SetMachineModel(model);
        app.messages().clear();
        wait.finalTexts.clear();
        CGrabadorT38A recorder(wait, app.profile(), fw::Clock::System());
        EXPECT_TRUE(T38AMachineReader(read, recorder).Take(machine.data()));
        recorder.CierraEspera();

        EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
        // No flag records: every product keeps sugar, stirrer and cup.
        std::vector<Row> expected = rowsOf(written);
        for (Row& row : expected)
            row.flags = row.number != 0 ? 7 : 0;
        EXPECT_EQ(rowsOf(read), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(BundledModels, T38ARoundTripProperty,
                         ::testing::Combine(::testing::ValuesIn(bundledT38AModels()), ::testing::Bool()),
                         [](const auto& info) {
                             return "Model" + std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "Shift" : "NoShift");
                         });

} // namespace
