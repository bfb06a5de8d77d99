#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "link/ProgramCompiler.h"
#include "tests/link/RecordingExporter.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestBytes.h"
#include "tests/support/TestDeviceTypes.h"

#include <gtest/gtest.h>

#include <QFile>

#include <string>
#include <vector>

namespace {

using E = RecordingExporter;
using Events = QList<RecordingExporter::Event>;

QByteArray padded(QByteArray data, int length = 80)
{
    data.resize(length, '\0');
    return data;
}

QByteArray filler(int number) { return bytes({0xF0, number, 0xF9, 0x03, 0x2D, 0x2D, 0x2D, 0xFF, number}); }

std::vector<std::string> lines(const Events& events)
{
    std::vector<std::string> out;
    for (const auto& event : events)
        out.push_back(RecordingExporter::describe(event).toStdString());
    return out;
}

constexpr int Classic = 1;
constexpr int T38A = 19; // program family 0: five product rows
constexpr int Dispenser1 = 0;
constexpr int Valve1 = 2;

class Compile : public ::testing::Test {
protected:
    Compile()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        c.ResetDispenserTable();
        c.SetDeviceType(0, deviceType("DOSIFICADOR 1", 0xF1, 1));
        c.SetDeviceType(1, deviceType("BATIDOR 1", 0xF3, 1));
        c.SetDeviceType(2, deviceType("VALVULA 1", 0xF4, 1));
        for (int r = 0; r < 10; ++r)
            c.SetDispenserRow(r, {10 * r, 10 * r + 1, 10 * r + 2, 10 * r + 3, 10 * r + 4, 10 * r + 5});
        doc.OnNewDocument();
    }

    CDeviceCoffee* addHeader(int number, const QByteArray& name)
    {
        CDeviceCoffee* row = doc.AddDevice();
        row->SetProductNumber(number);
        row->SetSelectionNumber(number);
        row->SetName(name);
        return row;
    }
    CDeviceCoffee* addDevice(int typeIndex, int start, int end)
    {
        CDeviceCoffee* row = doc.AddDevice();
        row->SetTypeIndex(typeIndex);
        row->SetStart(start);
        row->SetEnd(end);
        return row;
    }
    CDeviceCoffee* addT38ADevice(int typeIndex, int turns, int pulses, const QByteArray& typeName = "DOSIS")
    {
        CDeviceCoffee* row = doc.AddDevice();
        row->SetTypeIndex(typeIndex);
        row->SetContainerTurns(turns);
        row->SetWaterPulses(pulses);
        row->SetTypeName(typeName);
        return row;
    }
    void setSetupRow(int k, int productIndex, int mgPerTurn = 0, int whipSpeed = 100)
    {
        auto row = setup.object().GetSetupRow(k).value();
        row.productIndex = productIndex;
        row.mgPerTurn = mgPerTurn;
        row.whipSpeed = whipSpeed;
        setup.object().SetSetupRow(k, row);
    }
    // A saved file whose CRC-32 is CBF43926.
    QString savedFile()
    {
        const QString path = app.tempPath(QStringLiteral("saved.caf"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("123456789");
        return path;
    }

    // What every classic compile starts with: the dispenser table and the named types.
    static Events classicTables()
    {
        Events out{E::progress(0), E::message(QStringLiteral("configuración dispensadores"))};
        for (int r = 0; r < 10; ++r)
            out.append(E::data(30, r, bytes({10 * r, 10 * r + 2, 10 * r + 3, 10 * r + 4, 10 * r + 5, 10 * r + 1})));
        out.append(E::message(QStringLiteral("configuración reles")));
        out.append(E::data(31, 0, bytes({1, 0xF1, 1})));
        out.append(E::data(31, 1, bytes({2, 0xF3, 1})));
        out.append(E::data(31, 2, bytes({3, 0xF4, 1})));
        return out;
    }
    static Events productStart(int number, const QByteArray& name, int percent)
    {
        return {E::message(QStringLiteral("producto %1").arg(number)), E::progress(percent), E::product(number, name)};
    }

    bool compile() { return doc.CompileProgram(exporter); }
    void expectEvents(const Events& expected) { EXPECT_EQ(lines(exporter.events()), lines(expected)); }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    COrmiDoc doc;
    RecordingExporter exporter;
};

} // namespace

TEST(StepText, TheFourStepsAndNothingElse)
{
    TestApplication app;
    EXPECT_EQ(COrmiDoc::StepText(1, 0), QStringLiteral("configuración dispensadores"));
    EXPECT_EQ(COrmiDoc::StepText(2, 0), QStringLiteral("configuración reles"));
    EXPECT_EQ(COrmiDoc::StepText(3, 7), QStringLiteral("producto 7"));
    EXPECT_EQ(COrmiDoc::StepText(4, 0), QStringLiteral("configuración del azucar"));
    EXPECT_TRUE(COrmiDoc::StepText(0, 1).isEmpty());
    EXPECT_TRUE(COrmiDoc::StepText(5, 1).isEmpty());
}

TEST_F(Compile, ClassicTwoProducts)
{
    doc.SetMachineModel(Classic);
    doc.GetSugar().SetTimes(10, 15, 20);
    doc.SetWorkingTemperature(90);
    addHeader(1, "CAFE")->SetStirrerFlag(0);
    addDevice(Dispenser1, 0, 1024);
    addHeader(2, "TE");
    addDevice(Valve1, 10, 50);

    EXPECT_TRUE(compile());

    Events expected = classicTables();
    expected += productStart(1, "CAFE", 8);
    expected += productStart(2, "TE", 12);
    expected.insert(expected.size() - 1,
                    E::data(32, 1,
                            padded(bytes({0xF0, 1, 0xF7}) + "CAFE" +
                                   bytes({0xF1, 1, 0x80, 0, 0x81, 0xEF, 0x83, 0xEF, 0x83, 0xEF, 0x83, 0xEF, 0x83,
                                          0x44, 0xFF, 1}))));
    expected.append(E::data(32, 2, padded(bytes({0xF0, 2, 0xF7}) + "TE" + bytes({0xF4, 1, 0x80, 10, 0x81, 50, 0xFF, 2}))));
    // The sugar record and the flags of products 1..24: product 1 without stirrer, the rest 7.
    expected.append(E::data(32, 0, padded(bytes({0xF2, 10, 20, 15, 0xFF, 5}) + QByteArray(23, 7))));
    expected.append(E::byte(33, 0, 90));
    expectEvents(expected);
    EXPECT_FALSE(doc.GetCurrentPosition());
}

TEST_F(Compile, ClassicEmptyDocument)
{
    doc.SetMachineModel(Classic);
    EXPECT_TRUE(compile());
    Events expected = classicTables();
    expected.append(E::data(32, 0, padded(bytes({0xF2, 0, 0, 0, 0xFF}) + QByteArray(24, 7))));
    expected.append(E::byte(33, 0, 80));
    expectEvents(expected);
}

TEST_F(Compile, T38AOneProductWithTheShift)
{
    doc.SetMachineModel(T38A);
    doc.SetPathName(savedFile());
    doc.SetTitle("CONFIG1");
    doc.SetWorkingTemperature(92);
    doc.GetSugar().SetTimes(1, 2, 3);
    setSetupRow(1, 2, 1234);
    setSetupRow(2, 3, 2468, 55);
    setSetupRow(3, 4, 10);
    setSetupRow(5, -1, 9999);
    addHeader(1, "LECHE")->SetSugarFlag(0);
    addT38ADevice(1, 0, 80, "AGUA CALIENTE");

    EXPECT_TRUE(compile());

    Events expected{E::progress(0), E::message(QStringLiteral("configuración dispensadores"))};
    expected.append(E::data('5', 0, "CONFIG1 CBF43926"));
    // Set-up rows 0 and 4 have no product: their containers are left out, the rest count from 0.
    expected.append(E::data('Q', 1, "LECHE"));
    expected.append(E::data('Q', 2, "CHOCOLATE"));
    expected.append(E::data('Q', 3, "TE"));
    expected.append(E::data('6', 0, bytes({0x12, 0x34})));
    expected.append(E::data('6', 1, bytes({0x24, 0x68})));
    expected.append(E::data('6', 2, bytes({0x00, 0x10})));
    expected.append(E::data('6', 3, bytes({0x00, 0x00})));
    expected.append(E::data('6', 4, bytes({0x99, 0x99})));
    expected.append(E::data('E', 1, bytes({0x00, 0x55})));
    expected.append(E::data('E', 2, bytes({0x01, 0x00})));
    expected.append(E::data('E', 3, bytes({0x01, 0x00})));
    expected.append(E::data('E', 4, bytes({0x01, 0x00})));
    expected += productStart(1, "LECHE", 8);
    expected.append(E::data('5', 1, bytes({0xF0, 1, 0xF9, 5}) + "LECHE" + bytes({0xF4, 2, 0x80, 0, 0x81, 80, 0xFF, 1})));
    expected.append(E::data('4', 0, bytes({0xF2, 1, 3, 2, 0xFF})));
    expected.append(E::byte('3', 1, 6));
    for (int i = 2; i <= 30; ++i)
        expected.append(E::byte('3', i, 7));
    for (int m = 2; m <= 30; ++m)
        expected.append(E::data('5', m, filler(m)));
    expected.append(E::byte('L', 0, 92));
    expectEvents(expected);
}

TEST_F(Compile, T38AEmptyDocument)
{
    doc.SetMachineModel(T38A);
    doc.SetTitle("Cafe1");
    EXPECT_TRUE(compile());

    // Every set-up row is without product by default: the shift is on and no container name goes.
    Events expected{E::progress(0), E::message(QStringLiteral("configuración dispensadores"))};
    expected.append(E::data('5', 0, "Cafe1 0"));
    for (int i = 0; i < 5; ++i)
        expected.append(E::data('6', i, bytes({0, 0})));
    for (int i = 1; i < 5; ++i)
        expected.append(E::data('E', i, bytes({0x01, 0x00})));
    expected.append(E::data('4', 0, bytes({0xF2, 0, 0, 0, 0xFF})));
    for (int i = 1; i <= 30; ++i)
        expected.append(E::byte('3', i, 7));
    for (int m = 1; m <= 30; ++m)
        expected.append(E::data('5', m, filler(m)));
    expected.append(E::byte('L', 0, 80));
    expectEvents(expected);
}

TEST_F(Compile, WithoutTheShiftEveryContainerIsSentAndOneWithoutProductIsEmpty)
{
    doc.SetMachineModel(21); // program family 1: six product rows
    setSetupRow(0, 0);
    setSetupRow(2, 5);
    EXPECT_TRUE(compile());
    QList<QByteArray> names;
    QList<int> mgFields;
    QList<int> speedFields;
    for (const auto& record : exporter.records()) {
        if (record.block == 'Q') {
            EXPECT_EQ(record.field, names.size() + 1);
            names.append(record.payload);
        }
        if (record.block == '6')
            mgFields.append(record.field);
        if (record.block == 'E')
            speedFields.append(record.field);
    }
    EXPECT_EQ(names, (QList<QByteArray>{"CAFE", "", "INFUSION / SOPA", "", "", ""}));
    EXPECT_EQ(mgFields, (QList<int>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(speedFields, (QList<int>{2, 3, 4, 5, 6}));
}

TEST_F(Compile, TheTitleIsCutSoThatTheBlankAndTheChecksumFit)
{
    doc.SetMachineModel(T38A);
    doc.SetPathName(savedFile());
    doc.SetTitle(QString(120, QLatin1Char('T')));
    EXPECT_TRUE(compile());
    const QByteArray payload = exporter.records().first().payload;
    EXPECT_EQ(payload, QByteArray(91, 'T') + " CBF43926");
    EXPECT_EQ(payload.size(), ProgramCompiler::PayloadCapacity);

    // A title in the system code page goes as its bytes.
    RecordingExporter second;
    doc.SetPathName(app.tempPath(QStringLiteral("missing.caf")));
    doc.SetTitle(QStringLiteral("Café"));
    EXPECT_TRUE(doc.CompileProgram(second));
    EXPECT_EQ(second.records().first().payload, bytes({'C', 'a', 'f', 0xE9}) + " 0");
}

TEST_F(Compile, ARefusedRecordStopsEverythingAfterIt)
{
    for (int model : {Classic, T38A}) {
        doc.OnNewDocument();
        doc.SetMachineModel(model);
        addHeader(1, "A");
        addT38ADevice(model == Classic ? Dispenser1 : 1, 3, 4);
        addHeader(2, "B");
        RecordingExporter full;
        ASSERT_TRUE(doc.CompileProgram(full));
        const Events all = full.events();
        int dataIndex = 0;
        for (qsizetype e = 0; e < all.size(); ++e) {
            if (all[e].call != RecordingExporter::Call::Data)
                continue;
            RecordingExporter refusing;
            refusing.refuseData(dataIndex++);
            EXPECT_FALSE(doc.CompileProgram(refusing)) << model << " record " << dataIndex;
            EXPECT_EQ(lines(refusing.events()), lines(all.mid(0, e + 1))) << model << " record " << dataIndex;
        }
        EXPECT_GT(dataIndex, 15);
    }
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(Compile, RefusedByteRecordsDoNotStopTheRun)
{
    doc.SetMachineModel(T38A);
    addHeader(1, "A");
    RecordingExporter full;
    ASSERT_TRUE(doc.CompileProgram(full));
    exporter.refuseBytes(true);
    EXPECT_TRUE(compile());
    EXPECT_EQ(lines(exporter.events()), lines(full.events()));
}

TEST_F(Compile, AClassicProductThatDoesNotFitItsRecordIsRefusedByName)
{
    doc.SetMachineModel(Classic);
    addHeader(1, "CAFE");
    addDevice(Dispenser1, 0, 10);
    addHeader(2, "LECHE");
    for (int d = 0; d < 12; ++d)
        addDevice(Dispenser1, 0, 1024); // 14 bytes each
    addHeader(3, "TE");

    EXPECT_FALSE(compile());
    const Events events = exporter.events();
    ASSERT_FALSE(events.isEmpty());
    EXPECT_EQ(lines({events.last()}), lines({E::product(2, "LECHE")}));
    const Events records = exporter.records();
    EXPECT_EQ(records.last().block, 32);
    EXPECT_EQ(records.last().field, 1);
    ASSERT_EQ(app.messages().shown().size(), 1);
    const fw::Message& box = app.messages().shown().first();
    EXPECT_EQ(box.text.toStdString(), "No se puede grabar el producto 2 \"LECHE\": sus dispositivos no caben en el "
                                      "registro de la máquina o no son válidos.");
    EXPECT_EQ(box.icon, fw::MessageIcon::Stop);
}

TEST_F(Compile, AClassicProductIsNeverSentWithoutItsClosingPair)
{
    // Header of 4 bytes, ten 6-byte devices and one of 14: 78 bytes, and the pair makes 80.
    doc.SetMachineModel(Classic);
    addHeader(1, "A");
    for (int d = 0; d < 10; ++d)
        addDevice(Dispenser1, 1, 2);
    addDevice(Dispenser1, 0, 1024);
    EXPECT_TRUE(compile());
    const QByteArray record = exporter.records().at(13).payload;
    EXPECT_EQ(record.size(), 80);
    EXPECT_EQ(record.right(2), bytes({0xFF, 1}));

    // One name byte more leaves no room for the pair inside the 80 bytes.
    doc.StartWalk();
    doc.GetNextRow()->SetName("AB");
    RecordingExporter second;
    EXPECT_FALSE(doc.CompileProgram(second));
    EXPECT_EQ(second.records().size(), 13);
    EXPECT_EQ(app.messages().shown().size(), 1);
}

TEST_F(Compile, AT38AProductOver100BytesIsRefused)
{
    doc.SetMachineModel(T38A);
    addHeader(1, "CAFE");
    for (int d = 0; d < 6; ++d)
        addT38ADevice(3, 1, 1); // 18 bytes each
    EXPECT_FALSE(compile());
    for (const auto& record : exporter.records())
        EXPECT_FALSE(record.block == '5' && record.field == 1);
    EXPECT_EQ(app.messages().shown().size(), 1);
}

TEST_F(Compile, FillersGoOnlyToProductNumbersNotSent)
{
    doc.SetMachineModel(T38A);
    addHeader(3, "C");
    addHeader(1, "A");
    EXPECT_TRUE(compile());
    QList<int> fields;
    for (const auto& record : exporter.records()) {
        if (record.block == '5')
            fields.append(record.field);
    }
    QList<int> expected{0, 3, 1, 2};
    for (int m = 4; m <= 30; ++m)
        expected.append(m);
    EXPECT_EQ(fields, expected);
}

TEST_F(Compile, RowsBeforeTheFirstHeaderAreNotSent)
{
    doc.SetMachineModel(Classic);
    addDevice(Valve1, 1, 2);
    EXPECT_TRUE(compile());
    for (const auto& record : exporter.records()) {
        if (record.block == 32) {
            EXPECT_EQ(record.field, 0);
        }
    }

    addHeader(1, "A");
    addDevice(Dispenser1, 3, 4);
    RecordingExporter second;
    EXPECT_TRUE(doc.CompileProgram(second));
    const QByteArray expected = padded(bytes({0xF0, 1, 0xF7, 'A', 0xF1, 1, 0x80, 3, 0x81, 4, 0xFF, 1}));
    EXPECT_EQ(second.records().at(13).payload, expected);
}

TEST_F(Compile, ProgressAndFlagsOfHighProductNumbers)
{
    doc.SetMachineModel(T38A);
    addHeader(24, "X");
    addHeader(25, "Y");
    addHeader(31, "Z")->SetSugarFlag(0);
    EXPECT_TRUE(compile());
    QList<int> progress;
    QList<int> flags;
    for (const auto& event : exporter.events()) {
        if (event.call == RecordingExporter::Call::Progress)
            progress.append(event.number);
        if (event.call == RecordingExporter::Call::Byte && event.block == '3')
            flags.append(quint8(event.payload.at(0)));
    }
    EXPECT_EQ(progress, (QList<int>{0, 100, 104, 128}));
    // Number 31 has no flag byte: all thirty stay 7.
    EXPECT_EQ(flags, QList<int>(30, 7));
}

TEST_F(Compile, T38ACoffeeGroupRowsGetZeroTurns)
{
    doc.SetMachineModel(T38A);
    addHeader(1, "CAFE");
    CDeviceCoffee* group = addT38ADevice(0, 9, 40, "GRUPO DE CAFE");
    EXPECT_TRUE(compile());
    EXPECT_EQ(group->GetContainerTurns(), 0);
}

// A T38A set-up value or temperature its packed-BCD digits cannot carry would reach the machine
// wrapped (16000 milligrams as 0): nothing is sent, and a box names it. Only the rows the
// family sends are judged; the highest values that fit go as their nibbles.
TEST_F(Compile, AT38AValueThatDoesNotFitItsDigitsIsRefusedBeforeAnythingIsSent)
{
    const struct {
        const char* what;
        int row, milligrams, speed, temperature;
        const char* text;
    } cases[] = {
        {"16000 milligrams", 1, 16000, 100, 90,
         "No se puede grabar la fila 1 de la parametrización: Miligramos/vuelta 16000 no cabe en la máquina (de 0 "
         "a 15999)."},
        {"negative milligrams", 5, -1, 100, 90,
         "No se puede grabar la fila 5 de la parametrización: Miligramos/vuelta -1 no cabe en la máquina (de 0 a "
         "15999)."},
        {"a negative speed", 3, 0, -5, 90,
         "No se puede grabar la fila 3 de la parametrización: Velocidad batido -5 no cabe en la máquina (de 0 a "
         "15999)."},
        {"temperature 160", 1, 0, 100, 160, "No se puede grabar la temperatura 160: no cabe en la máquina (de 0 a 159)."},
        {"a negative temperature", 1, 0, 100, -1,
         "No se puede grabar la temperatura -1: no cabe en la máquina (de 0 a 159)."},
    };
    doc.SetMachineModel(T38A);
    addHeader(1, "A");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setup.object() = SetupT38A();
        setSetupRow(c.row, -1, c.milligrams, c.speed);
        doc.SetWorkingTemperature(c.temperature);
        app.messages().clear();
        RecordingExporter refused;
        EXPECT_FALSE(doc.CompileProgram(refused));
        EXPECT_TRUE(refused.events().isEmpty());
        ASSERT_EQ(app.messages().shown().size(), 1);
        EXPECT_EQ(app.messages().shown().first().text.toStdString(), c.text);
        EXPECT_EQ(app.messages().shown().first().icon, fw::MessageIcon::Stop);
    }

    // The highest values that fit; a row the family does not send (6 of 5) is not judged.
    setup.object() = SetupT38A();
    setSetupRow(1, -1, 15999);
    setSetupRow(6, -1, 20000, -1);
    doc.SetWorkingTemperature(159);
    app.messages().clear();
    EXPECT_TRUE(compile());
    EXPECT_TRUE(app.messages().shown().isEmpty());
    QByteArray milligrams;
    for (const auto& record : exporter.records())
        if (record.block == '6' && record.field == 0)
            milligrams = record.payload;
    EXPECT_EQ(milligrams, bytes({0xF9, 0x99}));
    EXPECT_EQ(exporter.events().last().payload, QByteArray(1, char(159)));
}

// Names longer than the machine keeps go cut, after one box that lists them: a product's name
// to 51 bytes, a container's to 80.
TEST_F(Compile, T38ANamesLongerThanTheMachineKeepsGoCutAfterABoxListingThem)
{
    doc.SetMachineModel(T38A);
    setup.object().SetName2(2, QByteArray(81, 'N'));
    setup.object().SetName2(3, QByteArray(80, 'K'));
    setSetupRow(1, 2);
    setSetupRow(2, 3);
    addHeader(1, QByteArray(52, 'P'));
    addHeader(2, QByteArray(51, 'Q'));

    EXPECT_TRUE(compile());

    ASSERT_EQ(app.messages().shown().size(), 1);
    const fw::Message& box = app.messages().shown().first();
    EXPECT_EQ(box.text, "Estos nombres no caben en la máquina y se graban recortados:\n\"" + QString(81, 'N') + "\"\n\"" +
                            QString(52, 'P') + "\"");
    EXPECT_EQ(box.icon, fw::MessageIcon::Warning);
    QMap<std::pair<int, int>, QByteArray> sent;
    for (const auto& record : exporter.records())
        sent.insert({record.block, record.field}, record.payload);
    EXPECT_EQ(sent.value({'Q', 1}), QByteArray(80, 'N'));
    EXPECT_EQ(sent.value({'Q', 2}), QByteArray(80, 'K'));
    EXPECT_EQ(sent.value({'5', 1}), bytes({0xF0, 1, 0xF9, 51}) + QByteArray(51, 'P') + bytes({0xFF, 1}));
    EXPECT_EQ(sent.value({'5', 2}), bytes({0xF0, 2, 0xF9, 51}) + QByteArray(51, 'Q') + bytes({0xFF, 2}));

    // Within what the machine keeps: no box.
    doc.StartWalk();
    doc.GetNextRow()->SetName(QByteArray(51, 'P'));
    setup.object().SetName2(2, QByteArray(80, 'N'));
    app.messages().clear();
    RecordingExporter second;
    EXPECT_TRUE(doc.CompileProgram(second));
    EXPECT_TRUE(app.messages().shown().isEmpty());
}
