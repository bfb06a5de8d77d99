// A read from a machine changes nothing until it has run through, end to end through a
// pseudo-terminal: while it runs, and however it ends (the line fails at the first, a middle or
// the last exchange, the read refuses a record, the user cancels, no machine answers), the open
// document, the T38A set-up tables and the catalogue stay as they were, so the views are given
// nothing else and a repaint at any pump of the window or behind any box draws the document as
// it was. A read that runs through is taken at once: the machine's document, given to the views
// once. Whether a read ran through is decided once, and the final text and the document kept
// follow that decision, wherever the user's cancel lands.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "link/CGrabador.h"
#include "link/CGrabadorT38A.h"
#include "link/MemoryImageWriter.h"
#include "link/SerialPort.h"
#include "tests/link/MachineCommandFixture.h"
#include "tests/support/ClassicProducts.h"

#include <gtest/gtest.h>

namespace {

constexpr int OpenModel = 3;

// The T38A machine's usual delay before a reply.
constexpr int QuickReplyMs = 20;
constexpr char Finished[] = "FIN DE LECTURA DE CONFIGURACION DE CAFETERA";

enum class Kind { Record, Memory, T38A };
enum class Fault { FirstExchange, MiddleExchange, LastExchange, RefusedRecord, Cancel, NoMachine };

struct Case {
    const char* name;
    Kind kind;
    Fault fault;
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }

const char* nameOf(Kind kind) { return kind == Kind::Record ? "Record" : kind == Kind::Memory ? "Memory" : "T38A"; }

// Everything of the document a read may replace, row by row.
QStringList describe(COrmiDoc& doc)
{
    QStringList out;
    out << QStringLiteral("model %1 sugar %2 %3 %4 temperature %5 modified %6")
               .arg(doc.GetMachineModel())
               .arg(doc.GetSugar().GetBitter())
               .arg(doc.GetSugar().GetNormal())
               .arg(doc.GetSugar().GetExtraSweet())
               .arg(doc.GetWorkingTemperature())
               .arg(int(doc.IsModified()));
    out << QStringLiteral("path %1 title %2").arg(doc.GetPathName(), doc.GetTitle());
    for (auto at = doc.GetFirstRowPosition(); at; at = doc.GetNextRowPosition(at)) {
        const CDeviceCoffee& row = *doc.GetRowAt(at);
        out << QStringLiteral("%1%2/%3 %4 flags %5%6%7 type %8 %9 colour %10 %11..%12 turns %13 pulses %14 at %15,%16")
                   .arg(at == doc.GetCurrentPosition() ? QStringLiteral("> ") : QString())
                   .arg(row.GetProductNumber())
                   .arg(row.GetSelectionNumber())
                   .arg(QString::fromLatin1(row.GetName()))
                   .arg(int(row.GetSugarFlag()))
                   .arg(int(row.GetStirrerFlag()))
                   .arg(int(row.GetCupFlag()))
                   .arg(row.GetTypeIndex())
                   .arg(QString::fromLatin1(row.GetTypeName()))
                   .arg(row.GetColour())
                   .arg(row.GetStart())
                   .arg(row.GetEnd())
                   .arg(row.GetContainerTurns())
                   .arg(row.GetWaterPulses())
                   .arg(row.GetX())
                   .arg(row.GetY());
    }
    return out;
}

QStringList describe(const SetupT38A& setup)
{
    QStringList out;
    for (int k = 0; k < SetupT38A::SetupRowCount; ++k) {
        const SetupT38A::SetupRow row = setup.GetSetupRow(k).value();
        out << QStringLiteral("row %1: %2 mg valve %3 whipper %4 product %5 speed %6")
                   .arg(k)
                   .arg(row.mgPerTurn)
                   .arg(row.valveNumber)
                   .arg(row.whipperNumber)
                   .arg(row.productIndex)
                   .arg(row.whipSpeed);
    }
    for (int j = 0; j < SetupT38A::ProductNameCount; ++j)
        out << QString::fromLatin1(setup.GetProductName(j) + " / " + setup.GetName2(j));
    return out;
}

QStringList describe(const CCfg& cfg)
{
    QStringList out{QStringLiteral("model %1").arg(cfg.GetModel())};
    for (int k = 0; k < cfg.GetDeviceTypeCount(); ++k) {
        QByteArray name;
        cfg.GetTypeName(k, name);
        out << QString::fromLatin1(name);
    }
    return out;
}

// The open document, the program-wide tables a repaint draws it with, and what the views were
// given, watched at every pump of the wait window and every box while a read runs.
class MachineReadFixture : public MachineCommandFixture {
protected:
    MachineReadFixture()
    {
        // The open document's model, of a catalogue of its own.
        catalogue.AddConfiguration({.code = OpenModel, .machineType = 1, .description = "D",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C300.TXT"});
        catalogue.WriteFile("RELES_C300.TXT", "| 1 | TOLVA CAFE | 0xF1 | 1 |\r\n"
                                              "| 2 | VALVULA AGUA | 0xF4 | 1 |\r\n");
    }

    struct State {
        QStringList document;
        QStringList tables;
        QStringList catalogue;
        bool operator==(const State&) const = default;
    };

    // At a pump, the tables a repaint draws with are the program-wide ones at that moment.
    State now() { return {describe(doc), describe(fw::ProgramWide<SetupT38A>::get()), describe(fw::ProgramWide<CCfg>::get())}; }
    // Behind a box, the open tables: the decoders' boxes come while the read's tables are in
    // place, so there only the open ones are held unchanged.
    State behindBox() { return {describe(doc), describe(setup.object()), describe(cfg.object())}; }

    void startMachine(Kind kind)
    {
        if (kind == Kind::T38A)
            startT38AMachine();
        else
            startClassicMachine(kind == Kind::Record ? ClassicMachine::Mode::Record : ClassicMachine::Mode::Memory);
    }

    int model(Kind kind) const { return kind == Kind::T38A ? T38AModel : ClassicModel; }

    // What the line has carried so far: the classic machine's read requests, the T38A
    // machine's frames.
    int exchanges() const { return t38a ? int(t38a->peer().requests().size()) : int(classic->requests().size()); }

    // A clean read by the command into a document of its own: its exchanges, from its first
    // (the read requests of a classic machine, the "2" frames of the bulk transfer of a T38A
    // one), the progress it showed and the rows it gave.
    struct CleanRead {
        QList<int> exchanges;
        QList<int> progress;
        QStringList rows;
    };

    CleanRead cleanRead(Kind kind)
    {
        COrmiDoc probe;
        const int start = exchanges();
        wait.progress.clear();
        host.queueOk(model(kind));
        probe.ReadFromMachine();
        EXPECT_EQ(probe.GetMachineModel(), model(kind));
        EXPECT_GE(probe.GetRowCount(), 4) << "the clean read went wrong";
        CleanRead read{{}, wait.progress, describe(probe).mid(2)};
        for (int k = start; k < exchanges(); ++k) {
            if (!t38a || t38a->peer().requests().at(k).command == "2")
                read.exchanges << k - start;
        }
        return read;
    }

    // The open document: a classic configuration of its own model, with a path, changes not
    // saved and the cursor on its second row; the catalogue loaded for its model and set-up
    // tables of its own.
    void openDocument()
    {
        doc.SetMachineModel(OpenModel);
        COrmiDoc::ReloadCatalogue(OpenModel);
        addClassicProduct(doc, 1, 1, 0, 0, 1, {{0, 10, 20}, {1, 30, 90}});
        addClassicProduct(doc, 2, 2, 1, 1, 0, {{1, 0, 70}});
        int y = 0;
        for (auto at = doc.GetFirstRowPosition(); at; at = doc.GetNextRowPosition(at)) {
            doc.GetRowAt(at)->SetX(200);
            doc.GetRowAt(at)->SetY(y -= 40);
        }
        doc.GetSugar().SetTimes(4, 5, 6);
        doc.SetWorkingTemperature(97);
        doc.SetPathName(app.tempPath("antes.caf"));
        doc.SetModifiedFlag(true);
        doc.SetCurrentPosition(doc.GetNextRowPosition(doc.GetFirstRowPosition()));
        for (int k = 0; k < SetupT38A::SetupRowCount; ++k)
            setup.object().SetSetupRow(k, {100 + k, k % 4, k % 3, k < 3 ? k + 2 : SetupT38A::NoProduct, 50 + k});
        setup.object().SetName2(4, "MOCCA");
        doc.AddViewListener([this] { given.append(describe(doc)); });
        before = now();
    }

    // Runs the read command for the kind, watching the open state at every pump and box;
    // onPass runs after the look at each pump.
    void read(Kind kind, std::function<void(int pass)> onPass = {})
    {
        given.clear();
        seen.clear();
        app.messages().clear();
        wait.finalTexts.clear();
        wait.progress.clear();
        const auto look = [this](State state) {
            if (seen.isEmpty() || seen.back() != state)
                seen.append(std::move(state));
        };
        wait.onPass = [this, look, onPass](int pass) {
            look(now());
            if (onPass)
                onPass(pass);
        };
        app.messages().onShow = [this, look] { look(behindBox()); };
        host.queueOk(model(kind));
        doc.ReadFromMachine();
        wait.onPass = nullptr;
        app.messages().onShow = nullptr;
    }

    // What a repaint would have drawn at each look, one line a state.
    std::string drawn() const
    {
        QStringList out;
        for (const State& state : seen)
            out << (state == before ? QStringLiteral("as before") : (state.document + state.tables + state.catalogue).join('|'));
        return lines(out);
    }

    // Nothing changed and nothing else was shown, during the read or after it.
    void expectAsItWas()
    {
        EXPECT_EQ(drawn(), "as before");
        EXPECT_EQ(lines(describe(doc)), lines(before.document));
        EXPECT_EQ(lines(describe(setup.object())), lines(before.tables));
        EXPECT_EQ(lines(describe(cfg.object())), lines(before.catalogue));
        for (const QStringList& view : given)
            EXPECT_EQ(lines(view), lines(before.document));
        EXPECT_FALSE(wait.active);
    }

    // The machine's document in place of the open one, given to the views once, when the read
    // had run through; until then the document as it was.
    void expectTaken(Kind kind, const CleanRead& clean)
    {
        ASSERT_FALSE(seen.isEmpty());
        EXPECT_TRUE(seen.front() == before) << drawn();
        // Once taken, the machine's document and tables, nothing in between.
        EXPECT_LE(seen.size(), 2) << drawn();
        EXPECT_TRUE(seen.back() == before || seen.back() == now()) << drawn();
        EXPECT_EQ(doc.GetMachineModel(), model(kind));
        EXPECT_EQ(lines(describe(doc).mid(2)), lines(clean.rows));
        EXPECT_EQ(describe(doc).at(1), QStringLiteral("path  title antes.caf"));
        ASSERT_EQ(given.size(), 1);
        EXPECT_EQ(lines(given.front()), lines(describe(doc)));
        EXPECT_EQ(cfg.object().GetModel(), model(kind));
        EXPECT_FALSE(wait.active);
    }

    // From here on the machine keeps the read waiting, so that the window is pumped in the
    // middle of its exchanges: a T38A machine replies a tenth of a second late; a classic one
    // sends a stray byte behind each of the read's last blocks, which the recorder drains
    // (pumping) before it asks for the block again. Off: T38A replies as quick as before.
    void holdUpTheLastExchanges(bool on)
    {
        if (t38a)
            t38a->peer().setReplyDelayMs(on ? 100 : QuickReplyMs);
        if (!classic || !on)
            return;
        // Records (32, 24) and (33, 0); the halves of image block 24 and the temperature.
        constexpr quint32 LastBlock = MemoryImageWriter::FirstBlocks + 24 * MemoryImageWriter::BlockLength;
        for (const quint32 address : {(32u << 8) | 24, 33u << 8, LastBlock, LastBlock + CGrabador::MaxChunk,
                                      MemoryImageWriter::TemperatureAddress})
            classic->scriptBlockNoise(address, {.after = QByteArray(1, '\x55')});
    }

    COrmiDoc doc;
    State before;
    // Each description of the document the views were given.
    QList<QStringList> given;
    // The states found at the pumps and boxes, each change once.
    QList<State> seen;
};

class MachineReadRollbackTest : public MachineReadFixture, public ::testing::WithParamInterface<Case> {
protected:
    // The fault of the case, armed for the next read; exchangeOfFault is the exchange of that
    // read the line fails at. A cancel or a give-up is pressed at the window's pumps (onPass).
    void arm(const Case& c, const QList<int>& cleanRead)
    {
        const int at = c.fault == Fault::FirstExchange ? cleanRead.front()
                       : c.fault == Fault::LastExchange ? cleanRead.back()
                                                        : cleanRead.at(cleanRead.size() / 2);
        switch (c.fault) {
        case Fault::FirstExchange:
        case Fault::MiddleExchange:
        case Fault::LastExchange:
            exchangeOfFault = at;
            if (classic) {
                // The machine refuses that read request with ETB.
                QList<quint8> replies(at, CGrabador::Ack);
                replies << CGrabador::Etb;
                classic->queueConfirmations(replies);
            } else {
                // The frame and every try again get a reply with a bad sum.
                for (int k = 0; k <= CGrabadorT38A::HelloRetries; ++k)
                    t38a->peer().scriptFault(exchanges() + at + k, T38APeer::Fault::BadSum);
            }
            return;
        case Fault::RefusedRecord:
            // The last record the read takes apart cannot be taken.
            if (classic) {
                SerialPort port;
                CGrabador recorder(wait, app.profile(), fw::Clock::System());
                ASSERT_EQ(recorder.Conecta(&port), 2);
                ASSERT_TRUE(recorder.EscribeDatos(32, 24, QByteArray("\xF0\x18\xF7" "AB", 5) + QByteArray("\xF1\x01\x85", 3)
                                                              + QByteArray(72, '\0')));
            } else {
                QByteArray nonHex = t38aProduct(6, "ROTO");
                nonHex[5] = 'G';
                t38a->setRecord('5', 6, nonHex);
            }
            return;
        case Fault::Cancel:
            // The user cancels halfway through the read.
            cancelAt = exchanges() + at;
            onPass = [this](int) {
                if (exchanges() >= cancelAt)
                    wait.cancel();
            };
            return;
        case Fault::NoMachine:
            if (classic) {
                // The user gives up waiting for the machine.
                classic->setAnnouncing(false);
                onPass = [this](int) { wait.cancel(); };
            } else {
                t38a->peer().setDefaultFault(T38APeer::Fault::Refusal);
            }
            return;
        }
    }

    std::function<void(int)> onPass;
    int exchangeOfFault = -1;
    int cancelAt = 0;
};

TEST_P(MachineReadRollbackTest, LeavesTheDocumentTheSetupTablesAndTheCatalogueAsTheyWere)
{
    const Case c = GetParam();
    startMachine(c.kind);
    const CleanRead clean = cleanRead(c.kind);
    // A middle that is neither end.
    ASSERT_GE(clean.exchanges.size(), 3);
    openDocument();
    arm(c, clean.exchanges);
    const int start = exchanges();

    read(c.kind, onPass);

    expectAsItWas();
    // The read did fail, and where it was meant to.
    EXPECT_FALSE(wait.finalTexts.contains(Finished));
    if (exchangeOfFault >= 0) {
        if (classic) {
            EXPECT_EQ(exchanges() - start, exchangeOfFault + 1);
            EXPECT_TRUE(app.messages().texts().contains("Error de escritura")) << app.messages().texts().join('|').toStdString();
        } else {
            EXPECT_EQ(wait.finalTexts, QStringList{"Error de comunicación"});
            EXPECT_EQ(t38a->peer().requests().at(start + exchangeOfFault).command, "2");
        }
    }
    if (c.fault == Fault::RefusedRecord) {
        ASSERT_FALSE(app.messages().texts().isEmpty());
        EXPECT_TRUE(app.messages().texts().last().contains("Fichero de configuración erroneo"));
    }
}

const Case Cases[] = {
    {"RecordModeFailsAtTheFirstExchange", Kind::Record, Fault::FirstExchange},
    {"RecordModeFailsAtAMiddleExchange", Kind::Record, Fault::MiddleExchange},
    {"RecordModeFailsAtTheLastExchange", Kind::Record, Fault::LastExchange},
    {"RecordModeRefusesAMalformedRecord", Kind::Record, Fault::RefusedRecord},
    {"RecordModeCancelled", Kind::Record, Fault::Cancel},
    {"RecordModeWithoutAMachine", Kind::Record, Fault::NoMachine},
    {"MemoryModeFailsAtTheFirstExchange", Kind::Memory, Fault::FirstExchange},
    {"MemoryModeFailsAtAMiddleExchange", Kind::Memory, Fault::MiddleExchange},
    {"MemoryModeFailsAtTheLastExchange", Kind::Memory, Fault::LastExchange},
    {"MemoryModeCancelled", Kind::Memory, Fault::Cancel},
    {"T38AFailsAtTheFirstBlock", Kind::T38A, Fault::FirstExchange},
    {"T38AFailsAtAMiddleBlock", Kind::T38A, Fault::MiddleExchange},
    {"T38AFailsAtTheLastBlock", Kind::T38A, Fault::LastExchange},
    {"T38ARefusesARecord", Kind::T38A, Fault::RefusedRecord},
    {"T38ACancelled", Kind::T38A, Fault::Cancel},
    {"T38AWithoutAnAnswerToTheHello", Kind::T38A, Fault::NoMachine},
};

INSTANTIATE_TEST_SUITE_P(Reads, MachineReadRollbackTest, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.name); });

class MachineReadTakenTest : public MachineReadFixture, public ::testing::WithParamInterface<Kind> {};

TEST_P(MachineReadTakenTest, AReadThatRunsThroughIsTakenAtOnceAndOnlyThen)
{
    const Kind kind = GetParam();
    startMachine(kind);
    const CleanRead clean = cleanRead(kind);
    openDocument();

    read(kind);

    expectTaken(kind, clean);
    EXPECT_EQ(wait.finalTexts, kind == Kind::T38A ? QStringList{Finished} : QStringList());
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
}

// The user's cancel at each pump of the window from the last exchange of a read to the end of
// the command. The read ran through or not, and the final text and the document kept say the
// same: a cancel seen before the read's final text fails the read (its failure text, the
// document as it was), the last block's pump included; one after it, while the end command
// goes out, no longer counts.
TEST_P(MachineReadTakenTest, ACancelAtAnyPumpOfTheLastExchangeGivesOneOutcome)
{
    const Kind kind = GetParam();
    startMachine(kind);
    const CleanRead clean = cleanRead(kind);
    openDocument();
    // The count from which on a pump belongs to the last exchange: the T38A block before the
    // last one has been shown; the last classic record is being read.
    const qsizetype lastExchange = kind == Kind::T38A ? clean.progress.size() - 2 : clean.progress.size();
    const int lastBlockShown = kind == Kind::T38A ? int(clean.progress.size()) - 1 : -1;
    bool cancelledAfterTheLastBlock = false;
    bool cancelledAfterTheFinalText = false;
    for (int n = 1;; ++n) {
        SCOPED_TRACE(testing::Message() << "cancel at pump " << n << " of the last exchange");
        ASSERT_LE(n, 200) << "the read never ends";
        int counted = 0;
        bool cancelled = false;
        bool beforeTheFinalText = false;
        bool afterTheLastBlock = false;
        read(kind, [&](int) {
            if (cancelled || wait.progress.size() < lastExchange)
                return;
            if (counted == 0)
                holdUpTheLastExchanges(true);
            if (++counted < n)
                return;
            cancelled = true;
            beforeTheFinalText = wait.finalTexts.isEmpty();
            // The pump LeeTodo gives right after taking the last block.
            afterTheLastBlock = beforeTheFinalText && wait.progress.size() == lastBlockShown;
            wait.cancel();
        });
        holdUpTheLastExchanges(false);
        const bool taken = doc.GetMachineModel() == model(kind);
        // Never a mix: the success text shows exactly when the machine's document is kept.
        if (kind == Kind::T38A) {
            EXPECT_EQ(wait.finalTexts.contains(Finished), taken) << wait.finalTexts.join('|').toStdString();
        }
        if (!cancelled || !beforeTheFinalText) {
            expectTaken(kind, clean);
            EXPECT_EQ(wait.finalTexts, kind == Kind::T38A ? QStringList{Finished} : QStringList());
        } else {
            expectAsItWas();
            if (kind == Kind::T38A) {
                EXPECT_EQ(wait.finalTexts, QStringList{"Error de comunicación"});
            } else {
                EXPECT_EQ(app.messages().texts(), QStringList{"No hay respuesta"});
                EXPECT_EQ(wait.finalTexts, QStringList{"¡¡ TRANSFERENCIA ERRONEA !!"});
            }
        }
        cancelledAfterTheLastBlock = cancelledAfterTheLastBlock || afterTheLastBlock;
        cancelledAfterTheFinalText = cancelledAfterTheFinalText || (cancelled && !beforeTheFinalText);
        // From here on every pump comes later still, or there are no more.
        if (taken)
            break;
    }
    if (kind == Kind::T38A) {
        EXPECT_TRUE(cancelledAfterTheLastBlock);
        EXPECT_TRUE(cancelledAfterTheFinalText);
    }
}

INSTANTIATE_TEST_SUITE_P(Reads, MachineReadTakenTest, ::testing::Values(Kind::Record, Kind::Memory, Kind::T38A),
                         [](const auto& info) { return std::string(nameOf(info.param)); });

} // namespace
