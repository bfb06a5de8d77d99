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
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestDeviceTypes.h"

#include <gtest/gtest.h>

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

} // namespace
