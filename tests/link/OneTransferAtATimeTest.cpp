// One transfer at a time, end to end through a pseudo-terminal: a recorder whose wait window
// another transfer holds does not run, and a write or read started while a read runs or
// settles (the window pumps events then) does nothing: it asks nothing and touches neither
// the line, nor that read's window, nor what it reads.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "fw/WaitUi.h"
#include "link/CGrabador.h"
#include "link/CGrabadorT38A.h"
#include "link/MandaTrama485.h"
#include "link/SerialPort.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ClassicMachine.h"
#include "tests/support/ClassicProducts.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedModelDialogHost.h"
#include "tests/support/ScriptedSaveChangesHost.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int ClassicModel = 1;
constexpr int T38AModel = 21;

QByteArray hex(QByteArrayView data) { return data.toByteArray().toHex().toUpper(); }

QStringList rowsOf(COrmiDoc& doc)
{
    QStringList out{QStringLiteral("model %1 temperature %2").arg(doc.GetMachineModel()).arg(doc.GetWorkingTemperature())};
    for (auto at = doc.GetFirstRowPosition(); at; at = doc.GetNextRowPosition(at)) {
        const CDeviceCoffee& row = *doc.GetRowAt(at);
        out << QStringLiteral("%1 %2 type %3 %4..%5 pulses %6")
                   .arg(row.GetProductNumber())
                   .arg(QString::fromLatin1(row.GetName()))
                   .arg(row.GetTypeIndex())
                   .arg(row.GetStart())
                   .arg(row.GetEnd())
                   .arg(row.GetWaterPulses());
    }
    return out;
}

std::string lines(const QStringList& description) { return description.join('\n').toStdString(); }

class OneTransferAtATimeTest : public ::testing::Test {
protected:
    OneTransferAtATimeTest()
    {
        catalogue.AddMachineType(1, "Dravolino C-200");
        catalogue.AddMachineType(6, "Dravolino T38A-C", true);
        catalogue.AddConfiguration({.code = ClassicModel, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
        catalogue.AddConfiguration({.code = T38AModel, .machineType = 6, .description = "T"});
        catalogue.WriteFile("RELES_C200.TXT", "| 1 | DISPENSADOR 1 | 0xF1 | 1 |\r\n"
                                              "| 2 | ELECTROVALVULA 1 | 0xF4 | 1 |\r\n");
        catalogue.WriteFile("DISP_C1.TXT", "| 1 | 3 | 1 | 1 | 1 | 0 | 0 |\r\n");
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
        app.profile().WriteString("Puertos", "COM1", pty.slavePath());
        MandaTrama485::AsignaSecuencia('0');
        addClassicProduct(other, 1, 1, 1, 1, 1, {{0, 0, 40}, {1, 0, 60}});
    }

    // A record-mode machine holding a product written by the write command, or a T38A machine
    // holding two products.
    void startMachine(bool t38aKind)
    {
        if (t38aKind) {
            t38a = std::make_unique<T38AMachine>(pty.master());
            for (int field = 1; field <= 2; ++field) {
                const QByteArray name = "PRODUCTO " + QByteArray::number(field);
                t38a->setRecord('5', quint8(field),
                                hex(QByteArray("\xF0") + char(field) + "\xF9" + char(name.size()) + name
                                    + QByteArray("\xF4\x02\x80\x00\x81\x64\xFF", 7) + char(field)));
            }
            return;
        }
        classic = std::make_unique<ClassicMachine>(pty.master(), ClassicMachine::Mode::Record);
        COrmiDoc written;
        addClassicProduct(written, 1, 1, 1, 0, 1, {{0, 5, 40}, {1, 250, 600}});
        host.queueOk(ClassicModel);
        written.WriteToMachine();
        ASSERT_EQ(wait.finalTexts, QStringList{"CAFETERA CONFIGURADA CORRECTAMENTE"});
        wait.finalTexts.clear();
    }

    // What the line has carried: the frames and read requests a classic machine took, the
    // frames of a T38A machine.
    qsizetype lineUse() const
    {
        return classic ? classic->frames().size() + classic->requests().size() : t38a->peer().requests().size();
    }

    TestApplication app;
    CatalogueFixture catalogue{app};
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    ScriptedModelDialogHost host;
    fw::ProgramWide<ModelDialogHost>::Install hostInstall{host};
    ScriptedWaitUi wait;
    fw::ProgramWide<fw::WaitUi>::Install waitInstall{wait};
    ScriptedSaveChangesHost saves;
    fw::ProgramWide<fw::SaveChangesHost>::Install savesInstall{saves};
    PtyPair pty;
    std::unique_ptr<ClassicMachine> classic;
    std::unique_ptr<T38AMachine> t38a;
    COrmiDoc doc;
    // A document of its own for a second write.
    COrmiDoc other;
};

TEST_F(OneTransferAtATimeTest, ARecorderWhoseWindowAnotherTransferHoldsLeavesTheLineAndThatWindowAlone)
{
    for (const bool t38aKind : {false, true}) {
        SCOPED_TRACE(t38aKind ? "T38A" : "classic");
        startMachine(t38aKind);
        const qsizetype used = lineUse();
        const int openings = classic ? classic->announcements() : t38a->sessions();
        // The other transfer.
        ASSERT_TRUE(wait.Inicia());
        const int starts = wait.starts;
        const int stops = wait.stops;
        SerialPort port;
        if (t38aKind) {
            CGrabadorT38A recorder(wait, app.profile(), fw::Clock::System());
            recorder.setBreakMs(0);
            EXPECT_FALSE(recorder.Conecta(&port));
            recorder.Finaliza();
            recorder.CierraEspera();
        } else {
            CGrabador recorder(wait, app.profile(), fw::Clock::System());
            EXPECT_EQ(recorder.Conecta(&port), 0);
        }
        EXPECT_FALSE(port.IsOpen());
        EXPECT_EQ(lineUse(), used);
        EXPECT_EQ(classic ? classic->announcements() : t38a->sessions(), openings);
        EXPECT_TRUE(wait.active);
        EXPECT_EQ(wait.starts, starts);
        EXPECT_EQ(wait.stops, stops);
        EXPECT_TRUE(wait.finalTexts.isEmpty());
        EXPECT_TRUE(app.messages().shown().isEmpty());
        wait.Detiene();
        classic.reset();
        t38a.reset();
    }
}

// A read, and while it runs or settles a second command: a write of another document or the
// same read again. The second one refuses; the read's result, its line and its window are
// those of a read alone.
struct Nesting {
    const char* name;
    bool t38aKind;
    bool duringSettle;
    bool secondIsWrite;
};

class SecondTransferTest : public OneTransferAtATimeTest, public ::testing::WithParamInterface<Nesting> {};

TEST_P(SecondTransferTest, IsRefusedAndTheFirstOneEndsAsAlone)
{
    const Nesting n = GetParam();
    const int model = n.t38aKind ? T38AModel : ClassicModel;
    startMachine(n.t38aKind);
    // The read alone.
    COrmiDoc alone;
    host.queueOk(model);
    qsizetype before = lineUse();
    alone.ReadFromMachine();
    const qsizetype lineOfARead = lineUse() - before;
    ASSERT_GE(alone.GetRowCount(), 3);
    const int starts = wait.starts;
    const int stops = wait.stops;
    const qsizetype boxes = app.messages().shown().size();
    const qsizetype dialogs = host.opened().size();
    const int questions = saves.asked();

    bool tried = false;
    const auto second = [&] {
        if (tried)
            return;
        tried = true;
        // Were the second one to go on, its model dialog would take this.
        host.queueOk(model);
        if (n.secondIsWrite)
            other.WriteToMachine();
        else
            doc.ReadFromMachine();
    };
    if (n.duringSettle)
        wait.onSettle = second;
    else
        wait.onPass = [&](int) { second(); };
    host.queueOk(model);
    before = lineUse();
    doc.ReadFromMachine();

    EXPECT_TRUE(tried);
    // The read's own question and model dialog only.
    EXPECT_EQ(saves.asked(), questions + 1);
    EXPECT_EQ(host.opened().size(), dialogs + 1);
    EXPECT_EQ(lines(rowsOf(doc)), lines(rowsOf(alone)));
    EXPECT_EQ(lineUse() - before, lineOfARead);
    EXPECT_EQ(wait.starts, starts + 1);
    EXPECT_EQ(wait.stops, stops + 1);
    EXPECT_FALSE(wait.active);
    EXPECT_EQ(app.messages().shown().size(), boxes) << app.messages().texts().join('|').toStdString();
    EXPECT_EQ(other.GetMachineModel(), 1);
}

const Nesting Nestings[] = {
    {"ClassicWriteDuringTheRead", false, false, true},
    {"ClassicReadDuringTheRead", false, false, false},
    {"ClassicWriteWhileTheReadSettles", false, true, true},
    {"ClassicReadWhileTheReadSettles", false, true, false},
    {"T38AWriteDuringTheRead", true, false, true},
    {"T38AReadDuringTheRead", true, false, false},
    {"T38AWriteWhileTheReadSettles", true, true, true},
    {"T38AReadWhileTheReadSettles", true, true, false},
};

INSTANTIATE_TEST_SUITE_P(Nestings, SecondTransferTest, ::testing::ValuesIn(Nestings),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
