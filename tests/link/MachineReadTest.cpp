// Classic machines read back after the document's machine write, end to end through a
// pseudo-terminal.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "fw/WaitUi.h"
#include "link/CGrabador.h"
#include "link/SerialPort.h"
#include "tests/link/MachineTestEnvironment.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ClassicCatalogue.h"
#include "tests/support/ClassicMachine.h"
#include "tests/support/ClassicProducts.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedModelDialogHost.h"
#include "tests/support/ScriptedSaveChangesHost.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

namespace {

struct RowSummary {
    int product, selection, type, start, end, sugar, stirrer, cup;
    bool operator==(const RowSummary&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RowSummary& r)
{
    return out << "{" << r.product << "," << r.selection << "," << r.type << "," << r.start << "," << r.end << ","
               << r.sugar << r.stirrer << r.cup << "}";
}

std::vector<RowSummary> summary(COrmiDoc& document)
{
    std::vector<RowSummary> rows;
    document.StartWalk();
    while (CDeviceCoffee* row = document.GetNextRow()) {
        if (row->IsProductHeader())
            rows.push_back({row->GetProductNumber(), row->GetSelectionNumber(), -1, 0, 0, row->GetSugarFlag(),
                            row->GetStirrerFlag(), row->GetCupFlag()});
        else
            rows.push_back({0, 0, row->GetTypeIndex(), row->GetStart(), row->GetEnd(), 0, 0, 0});
    }
    return rows;
}

class MachineReadTest : public MachineTestEnvironment {
protected:
    MachineReadTest()
    {
        addClassicModel(catalogue);
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
        written.GetSugar().SetTimes(11, 22, 33);
        written.SetWorkingTemperature(92);
        // Products 2 and 5 with selection numbers 7 and 9; times above 239 take pairs.
        addClassicProduct(written, 2, 7, 1, 0, 1, {{0, 5, 40}, {3, 250, 600}});
        addClassicProduct(written, 5, 9, 0, 1, 0, {{1, 0, 30}});
        read.OnNewDocument();
        read.SetMachineModel(1);
    }

    // The write through the command, then the read on a fresh recorder.
    template <class Read>
    void writeThenRead(ClassicMachine::Mode mode, Read readWith)
    {
        ClassicMachine simulator(pty.master(), mode);
        machine = &simulator;
        host.queueOk(1);
        written.WriteToMachine();
        ASSERT_EQ(wait.finalTexts, QStringList{"CAFETERA CONFIGURADA CORRECTAMENTE"});
        wait.progress.clear();
        wait.messages.clear();
        SerialPort port;
        CGrabador recorder(wait, app.profile(), fw::Clock::System());
        ASSERT_EQ(recorder.Conecta(&port), mode == ClassicMachine::Mode::Record ? 2 : 1);
        readWith(recorder);
        requests = simulator.requests();
        frames = simulator.frames();
        machine = nullptr;
    }

    COrmiDoc written;
    COrmiDoc read;
    PtyPair pty;
    // While writeThenRead runs; then what it got.
    ClassicMachine* machine = nullptr;
    QList<QByteArray> requests;
    QList<QByteArray> frames;
};

TEST_F(MachineReadTest, RecordModeRoundTripRenumbersAndKeepsFlagsTimesSugarAndTemperature)
{
    writeThenRead(ClassicMachine::Mode::Record, [this](CGrabador& recorder) { read.ReadProducts(recorder); });
    const std::vector<RowSummary> expected = {
        {1, 1, -1, 0, 0, 1, 0, 1}, {0, 0, 0, 5, 40, 0, 0, 0}, {0, 0, 3, 250, 600, 0, 0, 0},
        {2, 2, -1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 30, 0, 0, 0},
    };
    EXPECT_EQ(summary(read), expected);
    EXPECT_EQ(read.GetSugar().GetBitter(), 11);
    EXPECT_EQ(read.GetSugar().GetNormal(), 22);
    EXPECT_EQ(read.GetSugar().GetExtraSweet(), 33);
    EXPECT_EQ(read.GetWorkingTemperature(), 92);
    EXPECT_TRUE(app.messages().shown().isEmpty());
    // Records 1..24 as "Leyendo producto 2".."25", progress 8..100.
    ASSERT_EQ(wait.progress.size(), 24);
    EXPECT_EQ(wait.progress.front(), 8);
    EXPECT_EQ(wait.progress.back(), 100);
    EXPECT_TRUE(wait.messages.filter("Leyendo producto 25").size() >= 1);
}

TEST_F(MachineReadTest, MemoryModeRoundTripKeepsSelectionNumbersAndOnlyTheSugarFlag)
{
    writeThenRead(ClassicMachine::Mode::Memory, [this](CGrabador& recorder) { EXPECT_TRUE(read.ReadMemoryImage(recorder)); });
    const std::vector<RowSummary> expected = {
        {2, 7, -1, 0, 0, 1, 1, 1}, {0, 0, 0, 5, 40, 0, 0, 0}, {0, 0, 3, 250, 600, 0, 0, 0},
        {5, 9, -1, 0, 0, 0, 1, 1}, {0, 0, 1, 0, 30, 0, 0, 0},
    };
    EXPECT_EQ(summary(read), expected);
    EXPECT_EQ(read.GetSugar().GetBitter(), 11);
    EXPECT_EQ(read.GetSugar().GetNormal(), 22);
    EXPECT_EQ(read.GetSugar().GetExtraSweet(), 33);
    EXPECT_EQ(read.GetWorkingTemperature(), 92);
    ASSERT_EQ(wait.progress.size(), 25);
    EXPECT_EQ(wait.progress.front(), 4);
    EXPECT_EQ(wait.progress.back(), 100);
}

} // namespace

namespace {

// The index is read in one piece with the blocks; a product number beyond it (30 here) has its
// entry asked alone, at 0x200 + 3 · 30.
TEST_F(MachineReadTest, AMemoryModeProductNumberBeyondTheIndexHasItsEntryAskedAlone)
{
    writeThenRead(ClassicMachine::Mode::Memory, [this](CGrabador& recorder) {
        QByteArray memory = machine->memory();
        memory[0x1000 + 80 * 2 + 1] = char(30);
        memory.replace(0x200 + 3 * 30, 3, QByteArray("\x11\x22\x2C", 3));
        machine->setMemory(memory);
        EXPECT_TRUE(read.ReadMemoryImage(recorder));
    });
    const std::vector<RowSummary> expected = {
        {30, 44, -1, 0, 0, 1, 1, 1}, {0, 0, 0, 5, 40, 0, 0, 0}, {0, 0, 3, 250, 600, 0, 0, 0},
        {5, 9, -1, 0, 0, 0, 1, 1}, {0, 0, 1, 0, 30, 0, 0, 0},
    };
    EXPECT_EQ(summary(read), expected);
    EXPECT_EQ(requests.count(CGrabador::frame(3, 0x200 + 3 * 30, 0x40, {})), 1);
}

TEST_F(MachineReadTest, WithoutASugarRecordEveryProductTakesAllFlagsAndATemperatureOutOfRangeIs80)
{
    writeThenRead(ClassicMachine::Mode::Record, [&](CGrabador& recorder) {
        ASSERT_TRUE(recorder.EscribeDatos(32, 0, QByteArray(80, '\0')));
        ASSERT_TRUE(recorder.EscribeByte(33, 0, 120, 1));
        read.ReadProducts(recorder);
    });
    const std::vector<RowSummary> expected = {
        {1, 1, -1, 0, 0, 1, 1, 1}, {0, 0, 0, 5, 40, 0, 0, 0}, {0, 0, 3, 250, 600, 0, 0, 0},
        {2, 2, -1, 0, 0, 1, 1, 1}, {0, 0, 1, 0, 30, 0, 0, 0},
    };
    EXPECT_EQ(summary(read), expected);
    EXPECT_EQ(read.GetSugar().GetBitter(), 0);
    EXPECT_EQ(read.GetSugar().GetNormal(), 0);
    EXPECT_EQ(read.GetSugar().GetExtraSweet(), 0);
    EXPECT_EQ(read.GetWorkingTemperature(), 80);
}

TEST_F(MachineReadTest, ANakedReadRequestIsAskedAgainAndGivesTheSameDocument)
{
    const std::vector<RowSummary> renumbered = {
        {1, 1, -1, 0, 0, 1, 0, 1}, {0, 0, 0, 5, 40, 0, 0, 0}, {0, 0, 3, 250, 600, 0, 0, 0},
        {2, 2, -1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 30, 0, 0, 0},
    };
    const std::vector<RowSummary> asIndexed = {
        {2, 7, -1, 0, 0, 1, 1, 1}, {0, 0, 0, 5, 40, 0, 0, 0}, {0, 0, 3, 250, 600, 0, 0, 0},
        {5, 9, -1, 0, 0, 0, 1, 1}, {0, 0, 1, 0, 30, 0, 0, 0},
    };
    for (const auto mode : {ClassicMachine::Mode::Record, ClassicMachine::Mode::Memory}) {
        const bool record = mode == ClassicMachine::Mode::Record;
        SCOPED_TRACE(record ? "record mode" : "memory mode");
        wait.finalTexts.clear();
        read.OnNewDocument();
        read.SetMachineModel(1);
        qsizetype framesBefore = 0;
        writeThenRead(mode, [&](CGrabador& recorder) {
            framesBefore = machine->frames().size();
            machine->queueConfirmations({CGrabador::Nak});
            if (record)
                read.ReadProducts(recorder);
            else
                EXPECT_TRUE(read.ReadMemoryImage(recorder));
        });
        EXPECT_EQ(summary(read), record ? renumbered : asIndexed);
        EXPECT_EQ(read.GetWorkingTemperature(), 92);
        EXPECT_TRUE(app.messages().shown().isEmpty());
        // The refused request was sent again, and no write frame went out while reading.
        ASSERT_GE(requests.size(), 2);
        EXPECT_EQ(requests[0], requests[1]);
        EXPECT_EQ(frames.size(), framesBefore);
    }
}

TEST_F(MachineReadTest, AnUnclosedOrMalformedRecordStopsTheReadKeepingEarlierRows)
{
    const QByteArray unclosed = QByteArray("\xF0\x05\xF7", 3) + QByteArray(77, 'A');
    const QByteArray malformed = QByteArray("\xF0\x05\xF7" "AB", 5) + QByteArray("\xF1\x01\x85", 3) + QByteArray(72, '\0');
    for (const QByteArray& bad : {unclosed, malformed}) {
        SCOPED_TRACE(bad.left(8).toHex().toStdString());
        read.OnNewDocument();
        app.messages().clear();
        wait.finalTexts.clear();
        writeThenRead(ClassicMachine::Mode::Record, [&](CGrabador& recorder) {
            ASSERT_TRUE(recorder.EscribeDatos(32, 5, bad));
            read.ReadProducts(recorder);
        });
        ASSERT_EQ(app.messages().texts().size(), 1);
        EXPECT_TRUE(app.messages().texts()[0].contains("Fichero de configuración erroneo"));
        // Product 2 read before stays, renumbered; the temperature is not read.
        ASSERT_GE(read.GetRowCount(), 3);
        EXPECT_EQ((summary(read)[0]), (RowSummary{1, 1, -1, 0, 0, 1, 0, 1}));
        EXPECT_EQ(read.GetWorkingTemperature(), 80);
    }
}

} // namespace

namespace {

// The command: the question about unsaved changes, the model dialog, then the read.
class ReadCommandTest : public MachineReadTest {
protected:
    ReadCommandTest()
    {
        // The open document has a row, a path and another model before the read.
        read.AddDevice();
        read.SetPathName(app.tempPath("antes.caf"));
        read.SetMachineModel(7);
        read.SetWorkingTemperature(95);
    }

    void writeFirst(ClassicMachine::Mode mode)
    {
        simulator = std::make_unique<ClassicMachine>(pty.master(), mode);
        host.queueOk(1);
        written.WriteToMachine();
        ASSERT_EQ(wait.finalTexts, QStringList{"CAFETERA CONFIGURADA CORRECTAMENTE"});
        wait.messages.clear();
        wait.finalTexts.clear();
        wait.progress.clear();
    }

    void expectUnchanged()
    {
        EXPECT_EQ(read.GetRowCount(), 1);
        EXPECT_EQ(read.GetPathName(), app.tempPath("antes.caf"));
        EXPECT_EQ(read.GetWorkingTemperature(), 95);
        EXPECT_EQ(read.GetMachineModel(), 7);
    }

    std::unique_ptr<ClassicMachine> simulator;
};

TEST_F(ReadCommandTest, ReadsARecordModeMachineIntoTheResetDocumentUnderTheChosenModel)
{
    writeFirst(ClassicMachine::Mode::Record);
    host.queueOk(1);
    read.ReadFromMachine();
    EXPECT_EQ(saves.asked(), 1);
    const std::vector<RowSummary> expected = {
        {1, 1, -1, 0, 0, 1, 0, 1}, {0, 0, 0, 5, 40, 0, 0, 0}, {0, 0, 3, 250, 600, 0, 0, 0},
        {2, 2, -1, 0, 0, 0, 1, 0}, {0, 0, 1, 0, 30, 0, 0, 0},
    };
    EXPECT_EQ(summary(read), expected);
    EXPECT_EQ(read.GetWorkingTemperature(), 92);
    EXPECT_EQ(read.GetSugar().GetExtraSweet(), 33);
    EXPECT_EQ(read.GetMachineModel(), 1);
    EXPECT_TRUE(read.GetPathName().isEmpty());
    EXPECT_TRUE(read.IsModified());
    EXPECT_EQ(cfg.object().GetModel(), 1);
    EXPECT_TRUE(wait.messages.filter("LEYENDO CONFIGURACION DE LA CAFETERA").size() >= 1);
    EXPECT_TRUE(wait.finalTexts.isEmpty());
    EXPECT_GE(wait.stops, 1);
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(ReadCommandTest, ReadsAMemoryModeMachineWithItsSelectionNumbers)
{
    writeFirst(ClassicMachine::Mode::Memory);
    host.queueOk(1);
    read.ReadFromMachine();
    const std::vector<RowSummary> expected = {
        {2, 7, -1, 0, 0, 1, 1, 1}, {0, 0, 0, 5, 40, 0, 0, 0}, {0, 0, 3, 250, 600, 0, 0, 0},
        {5, 9, -1, 0, 0, 0, 1, 1}, {0, 0, 1, 0, 30, 0, 0, 0},
    };
    EXPECT_EQ(summary(read), expected);
    EXPECT_EQ(read.GetWorkingTemperature(), 92);
    EXPECT_TRUE(read.GetPathName().isEmpty());
}

TEST_F(ReadCommandTest, CancelInTheSaveQuestionOrTheModelDialogEndsBeforeAnyPort)
{
    ClassicMachine machine(pty.master(), ClassicMachine::Mode::Record);
    // The save question cancelled (or its save failed): not even the model dialog opens.
    saves.queueAnswer(false);
    host.queueOk(1);
    read.ReadFromMachine();
    EXPECT_EQ(saves.asked(), 1);
    EXPECT_TRUE(host.opened().isEmpty());
    expectUnchanged();

    // The model dialog cancelled.
    host = ScriptedModelDialogHost();
    host.queueCancel();
    read.ReadFromMachine();
    EXPECT_EQ(saves.asked(), 2);
    EXPECT_EQ(host.opened().size(), 1);
    expectUnchanged();
    EXPECT_EQ(wait.starts, 0);
    EXPECT_EQ(machine.announcements(), 0);
}

TEST_F(ReadCommandTest, WithoutAMachineTheDocumentStaysAsItWasWithItsModel)
{
    ClassicMachine machine(pty.master(), ClassicMachine::Mode::Record);
    machine.setAnnouncing(false);
    // The user gives up waiting for the machine.
    wait.onPass = [this](int pass) {
        if (pass == 3)
            wait.cancel();
    };
    host.queueOk(1);
    read.ReadFromMachine();
    expectUnchanged();
    EXPECT_GE(wait.stops, 1);
    EXPECT_TRUE(machine.requests().isEmpty());
}

TEST_F(ReadCommandTest, AClassicModelWithAMissingRelayFileEndsBeforeThePortOpens)
{
    catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "C",
                                .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_NO.TXT"});
    ClassicMachine machine(pty.master(), ClassicMachine::Mode::Record);
    host.queueOk(2);
    read.ReadFromMachine();
    EXPECT_EQ(wait.starts, 0);
    EXPECT_EQ(machine.announcements(), 0);
    expectUnchanged();
}

} // namespace
