// A T38A read is the inverse of the write, as a property over seeded random documents and
// set-up tables: for every T38A model of the bundled catalogue, with set-up row 0 without a
// product (the shift) and with one. Most documents go through the compile step and the read
// on the records a machine would hold; a few go end to end through the test machine on a
// pseudo-terminal.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/DispositivoT38ADlgData.h"
#include "app/MachineModel.h"
#include "app/ProductDlgData.h"
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

#include <random>
#include <sstream>

namespace {

constexpr int DocumentsPerCase = 30;
constexpr int EndToEndDocuments = 1;
constexpr int NamedProducts = 13; // the default names 0..12 are distinct and not empty
constexpr int MaxProducts = 24;
constexpr int MaxDevices = 12;
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
    }

    QByteArray randomName()
    {
        static const QByteArray letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789\xD1\xF1\xC7\xF9";
        QByteArray name;
        for (int i = draw(1, 12); i > 0; --i)
            name += letters[draw(0, int(letters.size()) - 1)];
        return name;
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

    // 1..24 products of 1..12 devices, as many as the compile step's product buffer takes.
    void randomDocument(int temperature)
    {
        written.OnNewDocument();
        written.SetMachineModel(model);
        written.GetSugar().SetTimes(draw(0, 99), draw(0, 99), draw(0, 99));
        written.SetWorkingTemperature(temperature);
        const int products = draw(1, MaxProducts);
        for (int number = 1; number <= products; ++number) {
            ProductDlgData product;
            product.productNumber = number;
            product.selectionNumber = number;
            product.name = randomName();
            const int flags = draw(0, 7);
            product.sugarFlag = flags & 1;
            product.stirrerFlag = (flags >> 1) & 1;
            product.cupFlag = (flags >> 2) & 1;
            product.t38aFlag = true;
            CDeviceCoffee* header = written.AddDevice();
            header->FillFromProductDlg(product);
            int length = encodedLength(*header) + 2; // and the closing 0xFF and number
            for (int d = draw(1, MaxDevices); d > 0; --d) {
                const DispositivoT38ADlgData device = randomDevice();
                length += encodedLength(device);
                if (length > ProgramCompiler::PayloadCapacity)
                    break;
                ASSERT_TRUE(written.AddDevice()->FillFromDeviceT38ADlg(device));
            }
        }
    }

    // Every set-up value changed before the read, but which rows have a product.
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
        for (int k = shift ? 1 : 0; k < rows; ++k)
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
        if (endToEnd)
            throughTheMachine();
        else
            throughTheRecords();

        EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
        EXPECT_EQ(wait.finalTexts, QStringList{Finished});
        EXPECT_EQ(rowsOf(read), rowsOf(written));
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
    // Seeded by the case: every run draws the same documents.
    std::mt19937 rng{quint32(std::get<0>(GetParam()) * 2 + int(std::get<1>(GetParam())))};
};

TEST_P(T38ARoundTripProperty, AReadGivesBackTheRowsAndEverySetupValueTheWriteCarried)
{
    for (int document = 0; document < DocumentsPerCase && !HasFailure(); ++document)
        roundTrip(document, false);
    for (int document = 0; document < EndToEndDocuments && !HasFailure(); ++document)
        roundTrip(DocumentsPerCase + document, true);
}

INSTANTIATE_TEST_SUITE_P(BundledModels, T38ARoundTripProperty,
                         ::testing::Combine(::testing::ValuesIn(bundledT38AModels()), ::testing::Bool()),
                         [](const auto& info) {
                             return "Model" + std::to_string(std::get<0>(info.param)) +
                                    (std::get<1>(info.param) ? "Shift" : "NoShift");
                         });

} // namespace
