// Classic machines read through a line that adds noise to blocks of the read: the read gives
// the same document as a read over a clean line (or fails and says so, never giving other
// data), end to end through a pseudo-terminal: on an instant line, and on a 9600-baud line
// behind a USB adapter that hands the machine's bytes over in bursts.
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
    std::unique_ptr<COrmiDoc> read(Mode mode, bool* readThrough = nullptr)
    {
        auto document = std::make_unique<COrmiDoc>();
        document->OnNewDocument();
        document->SetMachineModel(1);
        SerialPort port;
        CGrabador recorder(wait, app.profile(), fw::Clock::System());
        EXPECT_EQ(recorder.Conecta(&port), mode == Mode::Record ? 2 : 1);
        const bool through =
            mode == Mode::Record ? document->ReadProducts(recorder) : document->ReadMemoryImage(recorder);
        if (readThrough)
            *readThrough = through;
        return document;
    }

    // The document written into the machine over an instant line, as a clean read gives it.
    QByteArray writeAndReadClean(Mode mode)
    {
        host.queueOk(1);
        written.WriteToMachine();
        EXPECT_EQ(wait.finalTexts, QStringList{"CAFETERA CONFIGURADA CORRECTAMENTE"});
        const QByteArray clean = archived(*read(mode));
        EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
        return clean;
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
                                                    {"index", MemoryImageWriter::IndexAddress},
                                                    {"temperature", MemoryImageWriter::TemperatureAddress}});
}

// Behind a USB adapter that hands over what it got every 16 or 32 ms, a byte after another may
// come a burst later: every kind of block of one read gets the noise, on a paced line, so that
// burst borders fall anywhere in the blocks and around the noise.
struct UsbCase {
    int periodMs;
    Mode mode;
    const char* noiseName;
    Noise noise;
};

std::string usbCaseName(const ::testing::TestParamInfo<UsbCase>& info)
{
    const UsbCase& c = info.param;
    return std::string(c.mode == Mode::Record ? "Record" : "Memory") + std::to_string(c.periodMs) + "ms" + c.noiseName;
}

class ClassicReadBehindUsbTest : public ClassicReadNoiseTest, public ::testing::WithParamInterface<UsbCase> {};

TEST_P(ClassicReadBehindUsbTest, GivesTheCleanReadsDocumentOrFailsNeverOtherData)
{
    const UsbCase& c = GetParam();
    ClassicMachine machine(pty.master(), c.mode);
    const QByteArray clean = writeAndReadClean(c.mode);
    machine.setLineBaud(9600);
    machine.setDeliveryPeriodMs(c.periodMs);
    const std::vector<quint32> blocks =
        c.mode == Mode::Record
            ? std::vector<quint32>{SugarRecord, recordOf(1), recordOf(2), TemperatureRecord}
            : std::vector<quint32>{blockOf(0), blockOf(1) + 50, blockOf(2), MemoryImageWriter::IndexAddress,
                                   MemoryImageWriter::TemperatureAddress};
    for (const quint32 address : blocks)
        machine.scriptBlockNoise(address, c.noise);
    bool readThrough = false;
    const std::unique_ptr<COrmiDoc> document = read(c.mode, &readThrough);
    if (readThrough) {
        EXPECT_EQ(archived(*document).toHex(), clean.toHex());
        EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
    } else {
        EXPECT_EQ(app.messages().shown().size(), 1);
    }
    EXPECT_TRUE(readThrough) << app.messages().texts().join('|').toStdString();
}

std::vector<UsbCase> usbCases()
{
    const std::pair<const char*, Noise> noises[] = {
        {"StrayByteBefore", {.before = noiseBytes(1, 5)}},
        {"NulPairBefore", {.before = QByteArray(2, '\0')}},
        {"StrayByteInside", {.inside = noiseBytes(1, 6)}},
        {"NulPairInside", {.inside = QByteArray(2, '\0')}},
    };
    std::vector<UsbCase> cases;
    for (const int period : {16, 32})
        for (const Mode mode : {Mode::Record, Mode::Memory})
            for (const auto& [name, noise] : noises)
                cases.push_back({period, mode, name, noise});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Bursts, ClassicReadBehindUsbTest, ::testing::ValuesIn(usbCases()), usbCaseName);

} // namespace
