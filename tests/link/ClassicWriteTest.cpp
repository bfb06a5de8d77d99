// A whole 24-product classic document written in record mode through the compile step into a
// classic machine on a pseudo-terminal.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "link/CGrabador.h"
#include "link/SerialPort.h"
#include "tests/link/RecordingExporter.h"
#include "tests/support/ClassicMachine.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestDeviceTypes.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <thread>

namespace {

class ClassicWriteTest : public ::testing::Test {
protected:
    ClassicWriteTest()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        c.ResetDispenserTable();
        for (int i = 0; i < 12; ++i)
            c.SetDeviceType(i, deviceType("TIPO", i < 6 ? 0xF1 : (i < 9 ? 0xF3 : 0xF4), i + 1));
        for (int r = 0; r < 10; ++r)
            c.SetDispenserRow(r, {10 * r, 10 * r + 1, 10 * r + 2, 10 * r + 3, 10 * r + 4, 10 * r + 5});
        document.OnNewDocument();
        document.SetMachineModel(1);
        for (int p = 1; p <= 24; ++p) {
            CDeviceCoffee* header = document.AddDevice();
            header->SetProductNumber(p);
            header->SetSelectionNumber(p);
            header->SetName("TE");
            for (int d = 0; d < 12; ++d) {
                CDeviceCoffee* device = document.AddDevice();
                device->SetTypeIndex(d);
                device->SetStart(d * 10 + p);
                device->SetEnd(d * 10 + 50);
            }
        }
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    COrmiDoc document;
    PtyPair pty;
    ClassicMachine machine{pty.master(), ClassicMachine::Mode::Record};
    ScriptedWaitUi wait;
    SerialPort port;
};

TEST_F(ClassicWriteTest, TheMachineHoldsExactlyTheCompiledRecordsAndTheTraceEveryByte)
{
    RecordingExporter expected;
    ASSERT_TRUE(document.CompileProgram(expected));
    QMap<ClassicMachine::Key, QByteArray> records;
    for (const RecordingExporter::Event& event : expected.events())
        if (event.call == RecordingExporter::Call::Data || event.call == RecordingExporter::Call::Byte)
            records.insert({quint8(event.block), quint8(event.field)}, event.payload);
    ASSERT_GT(records.size(), 24);

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(app.tempPath()));
    {
        CGrabador recorder(wait, app.profile(), fw::Clock::System(), true);
        ASSERT_EQ(recorder.Conecta(&port), 2);
        ASSERT_TRUE(document.CompileProgram(recorder));
        EXPECT_FALSE(recorder.HaFallado());
        // One record read back, as the read operation does.
        const auto& [key, bytes] = *records.constKeyValueBegin();
        QByteArray back(bytes.size(), '\0');
        ASSERT_TRUE(recorder.LeeRegistro(key.first, key.second, int(back.size()), reinterpret_cast<quint8*>(back.data())));
        EXPECT_EQ(back, bytes);
    }
    QDir::setCurrent(previous);
    EXPECT_EQ(machine.records(), records);
    EXPECT_TRUE(app.messages().shown().isEmpty());
    EXPECT_EQ(wait.stops, 1);

    QFile trace(app.tempPath("Grabador.mon"));
    ASSERT_TRUE(trace.open(QIODevice::ReadOnly));
    const QByteArray traced = trace.readAll();
    for (int i = 0; i < 200 && machine.line().size() < traced.size(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(traced, machine.line());
}

} // namespace
