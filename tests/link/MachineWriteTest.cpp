// The document's machine write, end to end: the model dialog by script, then a classic machine
// in either mode or a T38A machine on a pseudo-terminal.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/ByteWriter.h"
#include "fw/ProgramWide.h"
#include "fw/WaitUi.h"
#include "tests/link/MachineTestEnvironment.h"
#include "tests/link/RecordingExporter.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ClassicMachine.h"
#include "tests/support/ClassicProducts.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedModelDialogHost.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr char Configured[] = "CAFETERA CONFIGURADA CORRECTAMENTE";

class MachineWriteTest : public MachineTestEnvironment {
protected:
    MachineWriteTest()
    {
        catalogue.AddMachineType(1, "Dravolino C-200");
        catalogue.AddMachineType(6, "Dravolino T38A-C", true);
        catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
        catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_NO.TXT", .relayFile = "RELES_NO.TXT"});
        catalogue.AddConfiguration({.code = 21, .machineType = 6, .description = "T"});
        catalogue.WriteFile("RELES_C200.TXT", "| 1 | DISPENSADOR 1 | 0xF1 | 1 |\r\n"
                                              "| 2 | DISPENSADOR 2 | 0xF1 | 2 |\r\n"
                                              "| 3 | BATIDOR 1 | 0xF3 | 1 |\r\n"
                                              "| 4 | ELECTROVALVULA 1 | 0xF4 | 1 |\r\n");
        catalogue.WriteFile("DISP_C1.TXT", "| 1 | 3 | 1 | 1 | 1 | 0 | 0 |\r\n"
                                           "| 2 | 4 | 2 | 1 | 1 | 0 | 0 |\r\n");
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
        document.GetSugar().SetTimes(11, 22, 33);
        document.SetWorkingTemperature(92);
    }

    // Product 1 (sugar only) with two devices and product 3 (all flags) with one.
    void AddTwoProducts()
    {
        addProduct(1, 1, 1, 0, 1, {{0, 5, 40}, {3, 250, 260}});
        addProduct(3, 3, 1, 1, 1, {{1, 0, 30}});
    }

    void addProduct(int number, int selection, int sugar, int stirrer, int cup,
                    std::initializer_list<std::array<int, 3>> devices)
    {
        addClassicProduct(document, number, selection, sugar, stirrer, cup, devices);
        document.SetModifiedFlag(false);
    }

    ClassicMachine& classic(ClassicMachine::Mode mode)
    {
        m_classic = std::make_unique<ClassicMachine>(pty.master(), mode);
        return *m_classic;
    }

    // The block of a product as the machine takes it: its rows, 0xFF and its number, zeros.
    QByteArray block(int number)
    {
        fw::ByteWriter out;
        bool inside = false;
        document.StartWalk();
        while (CDeviceCoffee* row = document.GetNextRow()) {
            if (row->IsProductHeader())
                inside = row->GetProductNumber() == number;
            if (inside)
                row->EncodeRowStandard(out);
        }
        QByteArray bytes = out.data() + QByteArray("\xFF", 1) + char(number);
        bytes.resize(80, '\0');
        return bytes;
    }

    COrmiDoc document;
    PtyPair pty;
    std::unique_ptr<ClassicMachine> m_classic;
};

TEST_F(MachineWriteTest, RecordModeMachineHoldsTheCompiledRecordsAndShowsSuccess)
{
    AddTwoProducts();
    ClassicMachine& machine = classic(ClassicMachine::Mode::Record);
    host.queueOk(1);
    document.WriteToMachine();

    RecordingExporter expected;
    ASSERT_TRUE(document.CompileProgram(expected));
    QMap<ClassicMachine::Key, QByteArray> records;
    for (const RecordingExporter::Event& event : expected.events())
        if (event.call == RecordingExporter::Call::Data || event.call == RecordingExporter::Call::Byte)
            records.insert({quint8(event.block), quint8(event.field)}, event.payload);
    EXPECT_EQ(machine.records(), records);
    EXPECT_EQ(wait.finalTexts, QStringList{Configured});
    EXPECT_EQ(wait.messages.value(0).section('\n', 0, 0), "CONECTANDO CON LA CAFETERA");
    EXPECT_TRUE(app.messages().shown().isEmpty());
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(document.GetMachineModel(), 1);
}

TEST_F(MachineWriteTest, RecordModeStopsAtARefusedRecordWithoutSuccess)
{
    AddTwoProducts();
    ClassicMachine& machine = classic(ClassicMachine::Mode::Record);
    // The fifth record is refused at every try.
    machine.queueConfirmations({0x06, 0x06, 0x06, 0x06, 0x17, 0x17, 0x17, 0x17});
    host.queueOk(1);
    document.WriteToMachine();
    EXPECT_EQ(wait.finalTexts, QStringList{"¡¡ TRANSFERENCIA ERRONEA !!"});
    EXPECT_EQ(app.messages().shown().size(), 1);
    // The four records taken before stay in the machine.
    EXPECT_EQ(machine.records().size(), 4);
}

TEST_F(MachineWriteTest, CancelInTheModelDialogOpensNoPort)
{
    AddTwoProducts();
    ClassicMachine& machine = classic(ClassicMachine::Mode::Record);
    host.queueCancel();
    document.WriteToMachine();
    EXPECT_EQ(machine.announcements(), 0);
    EXPECT_EQ(wait.starts, 0);
    EXPECT_TRUE(machine.line().isEmpty());
}

TEST_F(MachineWriteTest, AClassicModelWithAMissingRelayFileEndsBeforeThePortOpens)
{
    ClassicMachine& machine = classic(ClassicMachine::Mode::Record);
    host.queueOk(2);
    document.WriteToMachine();
    EXPECT_EQ(machine.announcements(), 0);
    EXPECT_EQ(wait.starts, 0);
    EXPECT_EQ(document.GetMachineModel(), 2);
}

TEST_F(MachineWriteTest, MemoryModeLaysTheImageInBothCopiesAndKeepsNeverWrittenBytes)
{
    AddTwoProducts();
    ClassicMachine& machine = classic(ClassicMachine::Mode::Memory);
    QByteArray pattern(ClassicMachine::MemorySize, '\0');
    for (int i = 0; i < pattern.size(); ++i)
        pattern[i] = char(0xA5 ^ (i & 0xFF));
    machine.setMemory(pattern);
    host.queueOk(1);
    document.WriteToMachine();
    ASSERT_EQ(wait.finalTexts, QStringList{Configured});
    EXPECT_TRUE(app.messages().shown().isEmpty());

    QByteArray image = pattern;
    const auto put = [&image](int address, const QByteArray& bytes) { image.replace(address, bytes.size(), bytes); };
    for (int n = 0; n < 25; ++n)
        put(0x1000 + 80 * n, QByteArray(80, '\0'));
    put(0x200, QByteArray("\x10\x00\x00", 3));
    put(0x203, QByteArray("\x10\x50\x01", 3));
    put(0x209, QByteArray("\x10\xF0\x03", 3));
    put(0x24E, QByteArray("\x02\x50", 2));
    const QByteArray types("\x01\xF1\x01" "\x02\xF1\x02" "\x03\xF3\x01" "\x04\xF4\x01", 12);
    put(0x250, types);
    for (int i = 4; i < 18; ++i)
        put(0x250 + 3 * i, QByteArray(1, char(i + 1)) + QByteArray(2, '\0'));
    // Dispenser rows: columns 0, 2, 3, 4, 5, 1.
    put(0x286, QByteArray("\x03\x01\x01\x00\x00\x01", 6));
    put(0x28C, QByteArray("\x04\x01\x01\x00\x00\x02", 6));
    put(0x292, QByteArray(6 * 8, '\0'));
    put(0x2C8, QByteArray(1, char(92)));
    QByteArray sugar("\xF2\x0B\x21\x16\xFF", 5);
    sugar += QByteArray("\x01\x00\x01", 3) + QByteArray(21, '\0');
    sugar.resize(80, '\0');
    for (int copy : {0x1000, 0x2500}) {
        put(copy, sugar);
        put(copy + 80, block(1));
        put(copy + 240, block(3));
    }
    const QByteArray memory = machine.memory();
    for (int address = 0; address < image.size(); ++address)
        ASSERT_EQ(quint8(memory[address]), quint8(image[address])) << "at 0x" << std::hex << address;
    // The erase, then the product headers counted over 24.
    EXPECT_EQ(wait.progress.mid(0, 25), [] {
        QList<int> erase;
        for (int i = 0; i < 25; ++i)
            erase.append((i + 1) * 100 / 25);
        return erase;
    }());
    EXPECT_EQ(wait.progress.mid(25), (QList<int>{0, 4, 8, 0}));
}

TEST_F(MachineWriteTest, MemoryModeWarnsOfStirrerAndCupAndGoesOn)
{
    AddTwoProducts();
    classic(ClassicMachine::Mode::Memory);
    host.queueOk(1);
    document.WriteToMachine();
    EXPECT_TRUE(wait.messages.filter("no soporta programación de paletinas").size() == 1);
    EXPECT_EQ(wait.finalTexts, QStringList{Configured});
}

TEST_F(MachineWriteTest, MemoryModeOfAnEmptyDocumentWritesOnlyTheSugarBlockAndTables)
{
    ClassicMachine& machine = classic(ClassicMachine::Mode::Memory);
    QByteArray pattern(ClassicMachine::MemorySize, char(0x5A));
    machine.setMemory(pattern);
    host.queueOk(1);
    document.WriteToMachine();
    ASSERT_EQ(wait.finalTexts, QStringList{Configured});
    const QByteArray memory = machine.memory();
    EXPECT_EQ(memory.mid(0x200, 3), QByteArray("\x10\x00\x00", 3));
    EXPECT_EQ(memory.mid(0x203, 0x24E - 0x203), QByteArray(0x24E - 0x203, char(0x5A)));
    EXPECT_EQ(memory.mid(0x24B, 3), QByteArray(3, char(0x5A)));
    EXPECT_EQ(memory.mid(0x24E, 2), QByteArray("\x00\x50", 2));
    EXPECT_EQ(memory.mid(0x2C2, 6), QByteArray(6, char(0x5A)));
    // Every first-copy product block erased, the old product 24 too; second copies kept.
    EXPECT_EQ(memory.mid(0x1050, 24 * 80), QByteArray(24 * 80, '\0'));
    EXPECT_EQ(memory.mid(0x2550, 24 * 80), QByteArray(24 * 80, char(0x5A)));
}

TEST_F(MachineWriteTest, MemoryModeRefusesAProductItCannotHoldBeforeWritingAnything)
{
    struct Case {
        const char* name;
        int number;
        int devices;
        QString text;
    };
    const Case cases[] = {
        {"number 25", 25, 1, "El producto 25 no se puede grabar en modo memoria (1 a 24)."},
        {"rows past the block", 24, 40, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document.OnNewDocument();
        CDeviceCoffee* header = document.AddDevice();
        header->SetProductNumber(c.number);
        header->SetSelectionNumber(c.number);
        header->SetName("TE");
        for (int d = 0; d < c.devices; ++d) {
            CDeviceCoffee* device = document.AddDevice();
            device->SetTypeIndex(0);
            device->SetStart(d);
            device->SetEnd(d + 10);
        }
        PtyPair line;
        app.profile().WriteString("Puertos", "COM1", line.slavePath());
        ClassicMachine machine(line.master(), ClassicMachine::Mode::Memory);
        const QByteArray before = machine.memory();
        app.messages().clear();
        host.queueOk(1);
        document.WriteToMachine();
        ASSERT_EQ(app.messages().texts().size(), 1);
        if (!c.text.isEmpty())
            EXPECT_EQ(app.messages().texts()[0], c.text);
        else
            EXPECT_TRUE(app.messages().texts()[0].startsWith("No se puede grabar el producto 24 \"TE\""));
        EXPECT_TRUE(machine.frames().isEmpty());
        EXPECT_EQ(machine.memory(), before);
        EXPECT_FALSE(wait.finalTexts.contains(Configured));
    }
}

TEST_F(MachineWriteTest, T38AWriteShowsSuccessThenProgress100AndEnds)
{
    addProduct(1, 1, 1, 1, 1, {});
    T38AMachine machine(pty.master());
    host.queueOk(21);
    document.WriteToMachine();
    EXPECT_EQ(wait.finalTexts, QStringList{Configured});
    EXPECT_EQ(wait.progress.value(wait.progress.size() - 1), 100);
    ASSERT_FALSE(machine.commands().isEmpty());
    EXPECT_EQ(machine.commands().last(), "9");
    EXPECT_GE(wait.stops, 1);
}

} // namespace
