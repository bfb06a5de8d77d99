// Classic machines read through a line that adds noise to one block of the read: the read
// gives the same document as a read over a clean line, end to end through a pseudo-terminal.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/ArchiveWriter.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "fw/WaitUi.h"
#include "link/CGrabador.h"
#include "link/MemoryImageWriter.h"
#include "link/SerialPort.h"
#include "tests/link/MachineTestEnvironment.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ClassicCatalogue.h"
#include "tests/support/ClassicMachine.h"
#include "tests/support/ClassicProducts.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedModelDialogHost.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using Mode = ClassicMachine::Mode;
using Noise = ClassicMachine::Noise;

// Records as the read asks for them: 0, block id, field.
constexpr quint32 SugarRecord = 0x2000;
constexpr quint32 TemperatureRecord = 0x2100;
constexpr quint32 recordOf(int field) { return SugarRecord + quint32(field); }
constexpr quint32 blockOf(int number) { return MemoryImageWriter::FirstBlocks + quint32(MemoryImageWriter::BlockLength * number); }
constexpr quint32 indexEntryOf(int number) { return MemoryImageWriter::IndexAddress + quint32(3 * number); }

QByteArray noiseBytes(int count, unsigned seed)
{
    std::minstd_rand draw(seed);
    QByteArray noise;
    for (int i = 0; i < count; ++i)
        noise.append(char(draw() & 0xFF));
    return noise;
}

QByteArray archived(const COrmiDoc& document)
{
    fw::ArchiveWriter writer;
    document.Serialize(writer);
    return writer.data();
}

class ClassicReadNoiseTest : public MachineTestEnvironment {
protected:
    ClassicReadNoiseTest()
    {
        addClassicModel(catalogue);
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
        written.GetSugar().SetTimes(11, 22, 33);
        written.SetWorkingTemperature(88);
        addClassicProduct(written, 1, 4, 1, 0, 1, {{0, 5, 40}, {2, 250, 600}});
        addClassicProduct(written, 2, 7, 0, 1, 0, {{1, 0, 30}});
    }

    // The document as a fresh recorder reads it from the machine; failures show as messages.
    std::unique_ptr<COrmiDoc> read(Mode mode)
    {
        auto document = std::make_unique<COrmiDoc>();
        document->OnNewDocument();
        document->SetMachineModel(1);
        SerialPort port;
        CGrabador recorder(wait, app.profile(), fw::Clock::System());
        EXPECT_EQ(recorder.Conecta(&port), mode == Mode::Record ? 2 : 1);
        if (mode == Mode::Record)
            document->ReadProducts(recorder);
        else
            document->ReadMemoryImage(recorder);
        return document;
    }

    struct Block {
        const char* name;
        quint32 address;
    };

    // The document written in this mode, read back clean, then with each noise on each block.
    void expectTheCleanReadDespiteNoiseAt(Mode mode, const std::vector<Block>& blocks)
    {
        const std::vector<std::pair<const char*, Noise>> noises = {
            {"one byte before", {.before = noiseBytes(1, 1)}},
            {"two bytes before", {.before = noiseBytes(2, 2)}},
            {"seventeen bytes before", {.before = noiseBytes(17, 3)}},
            {"one byte inside", {.inside = noiseBytes(1, 4)}},
        };
        ClassicMachine machine(pty.master(), mode);
        host.queueOk(1);
        written.WriteToMachine();
        ASSERT_EQ(wait.finalTexts, QStringList{"CAFETERA CONFIGURADA CORRECTAMENTE"});
        const std::unique_ptr<COrmiDoc> cleanRead = read(mode);
        ASSERT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
        ASSERT_EQ(machine.refusedBlocks(), 0);
        ASSERT_EQ(cleanRead->GetRowCount(), 5);
        ASSERT_EQ(cleanRead->GetWorkingTemperature(), 88);
        ASSERT_EQ(cleanRead->GetSugar().GetExtraSweet(), 33);
        const QByteArray clean = archived(*cleanRead);
        for (const Block& block : blocks) {
            for (const auto& [name, noise] : noises) {
                SCOPED_TRACE(std::string(block.name) + ", " + name);
                const int refusedBefore = machine.refusedBlocks();
                machine.scriptBlockNoise(block.address, noise);
                EXPECT_EQ(archived(*read(mode)).toHex(), clean.toHex());
                EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
                EXPECT_EQ(machine.refusedBlocks(), refusedBefore + 1);
                app.messages().clear();
            }
        }
    }

    COrmiDoc written;
    PtyPair pty;
};

// One, two and seventeen bytes before a block, and one inside it, on each kind of block a
// read takes: the noisy block is refused once and the read goes on as over a clean line.
TEST_F(ClassicReadNoiseTest, RecordModeReadsTheSameDocumentWhateverBlockTheNoiseHits)
{
    expectTheCleanReadDespiteNoiseAt(Mode::Record, {{"sugar record", SugarRecord},
                                                    {"first product record", recordOf(1)},
                                                    {"second product record", recordOf(2)},
                                                    {"temperature record", TemperatureRecord}});
}

TEST_F(ClassicReadNoiseTest, MemoryModeReadsTheSameDocumentWhateverBlockTheNoiseHits)
{
    expectTheCleanReadDespiteNoiseAt(Mode::Memory, {{"sugar block", blockOf(0)},
                                                    {"product block's second part", blockOf(1) + 50},
                                                    {"product block", blockOf(2)},
                                                    {"index entry", indexEntryOf(2)},
                                                    {"temperature", MemoryImageWriter::TemperatureAddress}});
}

} // namespace
