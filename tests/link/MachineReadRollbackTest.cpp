// A read from a machine that does not run through leaves the open document, the T38A set-up
// tables and the catalogue as they were, end to end through a pseudo-terminal: the line fails
// at the first, a middle or the last exchange of the read, the read refuses a record, the
// user cancels, or no machine answers.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/Clock.h"
#include "link/CGrabador.h"
#include "link/CGrabadorT38A.h"
#include "link/SerialPort.h"
#include "tests/link/MachineCommandFixture.h"
#include "tests/support/ClassicProducts.h"

#include <gtest/gtest.h>

namespace {

constexpr int OpenModel = 3;

enum class Kind { Record, Memory, T38A };
enum class Fault { FirstExchange, MiddleExchange, LastExchange, RefusedRecord, Cancel, NoMachine };

struct Case {
    const char* name;
    Kind kind;
    Fault fault;
};

std::ostream& operator<<(std::ostream& out, const Case& c) { return out << c.name; }

// Everything of the document a read may replace, row by row.
QStringList describe(COrmiDoc& doc)
{
    QStringList out;
    out << QStringLiteral("model %1 sugar %2 %3 %4 temperature %5 path %6 title %7 modified %8")
               .arg(doc.GetMachineModel())
               .arg(doc.GetSugar().GetBitter())
               .arg(doc.GetSugar().GetNormal())
               .arg(doc.GetSugar().GetExtraSweet())
               .arg(doc.GetWorkingTemperature())
               .arg(doc.GetPathName(), doc.GetTitle())
               .arg(int(doc.IsModified()));
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

class MachineReadRollbackTest : public MachineCommandFixture, public ::testing::WithParamInterface<Case> {
protected:
    MachineReadRollbackTest()
    {
        // The open document's model, of a catalogue of its own.
        catalogue.AddConfiguration({.code = OpenModel, .machineType = 1, .description = "D",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C300.TXT"});
        catalogue.WriteFile("RELES_C300.TXT", "| 1 | TOLVA CAFE | 0xF1 | 1 |\r\n"
                                              "| 2 | VALVULA AGUA | 0xF4 | 1 |\r\n");
    }

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

    // The exchanges of a clean read by the command, from its first: the read requests of a
    // classic machine, the "2" frames of the bulk transfer of a T38A one.
    QList<int> exchangesOfACleanRead(Kind kind)
    {
        COrmiDoc probe;
        const int start = exchanges();
        host.queueOk(model(kind));
        probe.ReadFromMachine();
        EXPECT_EQ(probe.GetMachineModel(), model(kind));
        EXPECT_GE(probe.GetRowCount(), 4) << "the clean read went wrong";
        QList<int> read;
        for (int k = start; k < exchanges(); ++k) {
            if (!t38a || t38a->peer().requests().at(k).command == "2")
                read << k - start;
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
        doc.AddViewListener([this] { shown = describe(doc); });
    }

    // The fault of the case, armed for the next read; exchangeOfFault is the exchange of that
    // read the line fails at.
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
            wait.onPass = [this](int) {
                if (exchanges() >= cancelAt)
                    wait.cancel();
            };
            return;
        case Fault::NoMachine:
            if (classic) {
                // The user gives up waiting for the machine.
                classic->setAnnouncing(false);
                wait.onPass = [this](int) { wait.cancel(); };
            } else {
                t38a->peer().setDefaultFault(T38APeer::Fault::Refusal);
            }
            return;
        }
    }

    COrmiDoc doc;
    QStringList shown;
    int exchangeOfFault = -1;
    int cancelAt = 0;
};

TEST_P(MachineReadRollbackTest, LeavesTheDocumentTheSetupTablesAndTheCatalogueAsTheyWere)
{
    const Case c = GetParam();
    startMachine(c.kind);
    const QList<int> cleanRead = exchangesOfACleanRead(c.kind);
    // A middle that is neither end.
    ASSERT_GE(cleanRead.size(), 3);
    openDocument();
    const QStringList document = describe(doc);
    const QStringList tables = describe(setup.object());
    const QStringList catalogueState = describe(cfg.object());
    arm(c, cleanRead);
    app.messages().clear();
    wait.finalTexts.clear();
    const int start = exchanges();

    host.queueOk(model(c.kind));
    doc.ReadFromMachine();

    EXPECT_EQ(lines(describe(doc)), lines(document));
    EXPECT_EQ(lines(describe(setup.object())), lines(tables));
    EXPECT_EQ(lines(describe(cfg.object())), lines(catalogueState));
    // The views were told of the document as it is again.
    EXPECT_EQ(lines(shown), lines(document));
    EXPECT_FALSE(wait.active);
    // The read did fail, and where it was meant to.
    EXPECT_FALSE(wait.finalTexts.contains("FIN DE LECTURA DE CONFIGURACION DE CAFETERA"));
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

} // namespace
