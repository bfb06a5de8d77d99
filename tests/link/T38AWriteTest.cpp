// A whole 24-product T38A document written through the compile step into a T38A machine on a
// pseudo-terminal, and read back.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/MachineModel.h"
#include "app/SetupT38A.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "link/CGrabadorT38A.h"
#include "link/SerialPort.h"
#include "tests/link/T38AStoredRecords.h"
#include "tests/support/FastClock.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestDeviceTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace {

class T38AWriteTest : public ::testing::Test {
protected:
    T38AWriteTest()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        c.ResetDispenserTable();
        for (int i = 0; i < 12; ++i)
            c.SetDeviceType(i, deviceType("TIPO", i < 6 ? 0xF1 : (i < 9 ? 0xF3 : 0xF4), i + 1));
        for (int k = 1; k < 4; ++k) {
            auto row = setup.object().GetSetupRow(k).value();
            row.productIndex = k;
            row.mgPerTurn = 1200 + k;
            setup.object().SetSetupRow(k, row);
        }
        document.OnNewDocument();
        document.SetMachineModel(19);
        for (int p = 1; p <= 24; ++p) {
            CDeviceCoffee* header = document.AddDevice();
            header->SetProductNumber(p);
            header->SetSelectionNumber(p);
            header->SetName("TE");
            for (int d = 0; d < 12; ++d) {
                CDeviceCoffee* device = document.AddDevice();
                device->SetTypeIndex(d == 0 ? 3 : (d == 1 ? 0 : 1));
                device->SetTypeName(d == 1 ? "GRUPO DE CAFE" : "CAFE");
                device->SetContainerTurns(12 + p);
                device->SetWaterPulses(80 + d);
            }
        }
        MandaTrama485::AsignaSecuencia('0');
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    COrmiDoc document;
    PtyPair pty;
    T38AMachine machine{pty.master()};
    ScriptedWaitUi wait;
    SerialPort port;
};

TEST_F(T38AWriteTest, TheMachineHoldsEveryCompiledRecordAlsoOverAFaultyLine)
{
    T38AStoredRecords expected;
    ASSERT_TRUE(document.CompileProgram(expected));
    ASSERT_GT(expected.records.size(), 24u);

    machine.peer().setReplyDelayMs(10);
    const T38APeer::Fault faults[] = {T38APeer::Fault::DropReply, T38APeer::Fault::BadSum, T38APeer::Fault::Noise,
                                      T38APeer::Fault::OutOfBand, T38APeer::Fault::BadOutOfBand};
    for (int i = 0; i < 40; ++i)
        machine.peer().scriptFault(7 * i + 3, faults[i % 5]);
    {
        CGrabadorT38A recorder(wait, app.profile(), fw::Clock::System());
        recorder.setBreakMs(0);
        recorder.frameLayer().setReplyTimeoutMs(150);
        ASSERT_TRUE(recorder.Conecta(&port));
        ASSERT_TRUE(document.CompileProgram(recorder));
        EXPECT_FALSE(recorder.HaFallado());
        recorder.Finaliza();

        ASSERT_TRUE(recorder.Saluda());
        QByteArray data;
        ASSERT_TRUE(recorder.LeeTodo(data));
        for (const auto& [key, bytes] : expected.records) {
            QByteArray found;
            int length = 0;
            ASSERT_TRUE(CGrabadorT38A::BuscaRegistro(data, key.first, key.second, found, length))
                << char(key.first) << "/" << int(key.second);
            EXPECT_EQ(found, bytes) << char(key.first) << "/" << int(key.second);
        }
        recorder.Finaliza();
        recorder.CierraEspera();
    }
    EXPECT_EQ(machine.records().size(), qsizetype(expected.records.size()));
    EXPECT_EQ(wait.starts, 1);
    EXPECT_EQ(wait.stops, 1);
    EXPECT_EQ(wait.progress.first(), 0);
}

// A machine that falls silent during the write: the command it does not answer fails after its
// tries with "Error de comunicación", and the write ends there. The flag records after it and
// the end command are not sent, though a refused flag record alone would not stop the write. The
// recorder's own time-outs, on a clock run 32 times faster.
struct Silence {
    const char* name;
    const char* where;
    QByteArray command; // the start of the first command left unanswered
};

void PrintTo(const Silence& silence, std::ostream* out) { *out << silence.where; }

class T38ASilentMachineTest : public T38AWriteTest, public ::testing::WithParamInterface<Silence> {};

TEST_P(T38ASilentMachineTest, TheWriteEndsWithinOneCommandsTries)
{
    // Two products: the fillers go to fields 3..30.
    document.OnNewDocument();
    document.SetMachineModel(19);
    for (int p = 1; p <= 2; ++p) {
        CDeviceCoffee* header = document.AddDevice();
        header->SetProductNumber(p);
        header->SetName("TE");
    }
    const Silence silence = GetParam();
    machine.peer().setReplyDelayMs(10);
    machine.fallSilentAt(silence.command);
    FastClock clock(32);
    std::optional<qint64> silentAt;
    wait.onPass = [&](int) {
        if (!silentAt && machine.silent())
            silentAt = clock.TickCount();
    };

    bool written = true;
    {
        CGrabadorT38A recorder(wait, app.profile(), clock);
        recorder.setBreakMs(0);
        ASSERT_TRUE(recorder.Conecta(&port));
        written = document.CompileProgram(recorder);
        recorder.Finaliza();
        recorder.CierraEspera();
        EXPECT_TRUE(recorder.HaFallado());
    }

    EXPECT_FALSE(written);
    EXPECT_EQ(wait.finalTexts, QStringList{"Error de comunicación"});
    ASSERT_TRUE(silentAt.has_value());
    const qint64 tries =
        MandaTrama485::exchangeLimitMs(CGrabadorT38A::HelloRetries, MandaTrama485::DefaultReplyTimeoutMs);
    constexpr qint64 Slack = 2000;
    EXPECT_LE(clock.TickCount() - *silentAt, tries + Slack);
    // From the unanswered command on, only its own tries went out.
    const QList<T38APeer::Request> requests = machine.peer().requests();
    const auto first = std::find_if(requests.begin(), requests.end(),
                                    [&](const T38APeer::Request& r) { return r.command.startsWith(silence.command); });
    ASSERT_NE(first, requests.end());
    EXPECT_EQ(requests.end() - first, CGrabadorT38A::HelloRetries + 1) << machine.peer().describe().toStdString();
    EXPECT_TRUE(
        std::all_of(first, requests.end(), [&](const T38APeer::Request& r) { return r.frame == first->frame; }));
}

INSTANTIATE_TEST_SUITE_P(
    FlagsAndFillers, T38ASilentMachineTest,
    ::testing::Values(Silence{"FirstFlag", "the first flag record", QByteArray("33\x01", 3)},
                      Silence{"MiddleFlag", "a middle flag record", QByteArray("33\x0F", 3)},
                      Silence{"LastFlag", "the last flag record", QByteArray("33\x1E", 3)},
                      Silence{"Filler", "a filler", QByteArray("35\x11", 3)}),
    [](const auto& info) { return std::string(info.param.name); });

// A flag record the machine refuses does not stop the write: the machine answered.
TEST_F(T38AWriteTest, ARefusedFlagRecordLetsTheWriteGoOn)
{
    T38AStoredRecords expected;
    ASSERT_TRUE(document.CompileProgram(expected));
    machine.peer().setReplyDelayMs(10);
    CGrabadorT38A recorder(wait, app.profile(), fw::Clock::System());
    recorder.setBreakMs(0);
    ASSERT_TRUE(recorder.Conecta(&port));
    // The pieces before the first flag record: every record but the flags, the fillers and
    // the temperature, in pieces of 64.
    int pieces = 0;
    for (const auto& [key, bytes] : expected.records)
        if (key.first != '3' && key.first != 'L' && !(key.first == '5' && key.second > 24))
            pieces += int((bytes.size() + CGrabadorT38A::MaxPiece - 1) / CGrabadorT38A::MaxPiece);
    machine.scriptPieceReply(pieces, "?");
    EXPECT_TRUE(document.CompileProgram(recorder));
    recorder.Finaliza();
    recorder.CierraEspera();

    EXPECT_TRUE(recorder.HaFallado());
    EXPECT_EQ(wait.finalTexts, QStringList{"Checksum erronea"});
    const QMap<T38AMachine::Key, QByteArray> held = machine.records();
    EXPECT_FALSE(held.contains({'3', 1}));
    EXPECT_TRUE(held.contains({'3', 2}));
    EXPECT_TRUE(held.contains({'L', 0}));
    EXPECT_EQ(machine.commands().last(), "9");
}

} // namespace
