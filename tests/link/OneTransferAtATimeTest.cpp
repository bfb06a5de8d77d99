// One transfer at a time, end to end through a pseudo-terminal: a recorder whose wait window
// another transfer holds does not run, and a write or read started while a read runs or
// settles (the window pumps events then) does nothing: it asks nothing and touches neither
// the line, nor that read's window, nor what it reads.
#include "app/COrmiDoc.h"
#include "fw/Clock.h"
#include "link/CGrabador.h"
#include "link/CGrabadorT38A.h"
#include "link/SerialPort.h"
#include "tests/link/MachineCommandFixture.h"
#include "tests/support/ClassicProducts.h"

#include <gtest/gtest.h>

namespace {

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

class OneTransferAtATimeTest : public MachineCommandFixture {
protected:
    OneTransferAtATimeTest() { addClassicProduct(other, 1, 1, 1, 1, 1, {{0, 0, 40}, {1, 0, 60}}); }

    void startMachine(bool t38aKind)
    {
        if (t38aKind)
            startT38AMachine();
        else
            startClassicMachine(ClassicMachine::Mode::Record);
    }

    // What the line has carried: the frames and read requests a classic machine took, the
    // frames of a T38A machine.
    qsizetype lineUse() const
    {
        return classic ? classic->frames().size() + classic->requests().size() : t38a->peer().requests().size();
    }

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
