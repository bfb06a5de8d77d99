#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/DocumentFile.h"
#include "app/SetupT38A.h"
#include "fw/ArchiveWriter.h"
#include "fw/ProgramWide.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/FileOwners.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/LinkedTargets.h"
#include "tests/support/ModeProbe.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ProtectedTargets.h"
#include "tests/support/SyncProbe.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestDeviceTypes.h"
#include "tests/support/TestBytes.h"
#include "tests/support/Watchdog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <cerrno>
#include <functional>
#include <vector>

namespace {

// A new document of model 1: no rows, sugar times 0, temperature 80.
const QByteArray EmptyDocument = QByteArray::fromHex("0000"
                                                     "000000000000000000000000"
                                                     "50000000"
                                                     "01000000");

// Model 1, temperature 85, sugar bitter 0, normal 20, extra sweet 40; in display order the
// header LECHE (x 200, y -40) and a device of type 3 (x 200, y -80, colour 2, end 50).
const QByteArray TwoRowDocument = QByteArray::fromHex(
    "02 00 FF FF 01 00 0D 00 43 44 65 76 69 63 65 43 6F 66 66 65 65 C8 00 00 00 B0 FF FF FF 03 00 00 00 02 00 00 00 "
    "00 00 00 00 32 00 00 00 00 00 00 00 00 00 00 00 00 00 72 01 01 01 00 00 00 00 00 00 00 00 00 01 80 C8 00 00 00 "
    "D8 FF FF FF 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 05 4C 45 43 48 45 01 00 00 00 01 00 00 00 72 01 "
    "01 01 00 00 00 00 00 00 00 00 00 4C 00 45 00 43 00 48 00 45 00 "
    "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
    "00 00 00 00 28 00 00 00 14 00 00 00 55 00 00 00 01 00 00 00");

enum Type { Dispenser = 0, Whipper = 1, Valve = 3 };

// The program-wide catalogue, set-up tables and application of one test, and a catalogue
// reload that records the models it was asked for.
class DocumentFileTest : public ::testing::Test {
protected:
    DocumentFileTest()
    {
        CCfg& c = cfg.object();
        c.ResetDeviceTypes();
        c.ResetDispenserTable();
        c.SetDeviceType(Dispenser, deviceType("DOSIFICADOR 1", DeviceTypeRecord::DispenserCode, 1));
        c.SetDeviceType(Whipper, deviceType("BATIDOR 1", DeviceTypeRecord::WhipperCode, 1));
        c.SetDeviceType(Valve, deviceType("AGUA", DeviceTypeRecord::WaterValveCode, 1));
        c.SetDispenserRow(0, {0, 0, 1, 0, 1, 0}); // dispenser 1: valve 1, whipper 1
        c.ResizeProductNames();
        c.SetProductName(0, "---");
        c.SetProductName(5, "TE");
        c.SetProductName(7, "CAFE");
        doc.OnNewDocument();
    }

    CDeviceCoffee* addHeader(int number, const QByteArray& name, int nameIndex = 0)
    {
        CDeviceCoffee* row = doc.AddDevice();
        row->SetProductNumber(number);
        row->SetSelectionNumber(number);
        row->SetName(name);
        row->SetNameIndex(nameIndex);
        row->SetWideName(WideName::fromQString(QString::fromLatin1(name)));
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
    std::vector<const CDeviceCoffee*> rows(const COrmiDoc& of) const
    {
        std::vector<const CDeviceCoffee*> out;
        for (auto p = of.GetFirstRowPosition(); p; p = of.GetNextRowPosition(p))
            out.push_back(of.GetRowAt(p));
        return out;
    }
    bool load(COrmiDoc& into, const QByteArray& bytes)
    {
        return DocumentFile::Load(into, bytes, [this](int model) { reloads.push_back(model); });
    }
    QByteArray setupBytes() const
    {
        fw::ArchiveWriter w;
        fw::ProgramWide<SetupT38A>::get().Serialize(w);
        return w.data();
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    COrmiDoc doc;
    std::vector<int> reloads;
};

} // namespace

TEST_F(DocumentFileTest, AnEmptyDocumentIsItsTwentyTwoBytesBothWays)
{
    EXPECT_EQ(DocumentFile::Store(doc), EmptyDocument);

    COrmiDoc loaded;
    loaded.SetWorkingTemperature(95);
    addHeader(1, "CAFE");
    ASSERT_TRUE(load(loaded, EmptyDocument));
    EXPECT_EQ(loaded.GetRowCount(), 0);
    EXPECT_EQ(loaded.GetWorkingTemperature(), 80);
    EXPECT_EQ(loaded.GetMachineModel(), 1);
    EXPECT_EQ(reloads, std::vector<int>{1});
}

TEST_F(DocumentFileTest, TheTwoRowDocumentIsItsBytesBothWays)
{
    CDeviceCoffee* header = addHeader(1, "LECHE");
    header->SetX(200);
    header->SetY(-40);
    CDeviceCoffee* device = addDevice(Valve, 0, 50);
    device->SetX(200);
    device->SetY(-80);
    device->SetColour(2);
    device->SetTypeName("AGUA");
    doc.SetWorkingTemperature(85);
    doc.GetSugar().SetTimes(0, 20, 40);
    ASSERT_EQ(TwoRowDocument.size(), 176);
    EXPECT_EQ(DocumentFile::Store(doc).toHex(' '), TwoRowDocument.toHex(' '));

    COrmiDoc loaded;
    ASSERT_TRUE(load(loaded, TwoRowDocument));
    const auto r = rows(loaded);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0]->GetName(), "LECHE");
    EXPECT_EQ(r[0]->GetWideName(), WideName(u"LECHE"));
    EXPECT_EQ(r[0]->GetY(), -40);
    EXPECT_EQ(r[1]->GetTypeName(), "AGUA");
    EXPECT_EQ(r[1]->GetEnd(), 50);
    EXPECT_EQ(loaded.GetSugar().GetNormal(), 20);
    EXPECT_EQ(loaded.GetSugar().GetExtraSweet(), 40);
    EXPECT_EQ(loaded.GetWorkingTemperature(), 85);
    EXPECT_FALSE(loaded.IsModified());
    EXPECT_EQ(DocumentFile::Store(loaded), TwoRowDocument);
}

TEST_F(DocumentFileTest, AClassicDocumentComesBackRenumberedRegroupedAndNamedFromItsCatalogue)
{
    CDeviceCoffee* first = addHeader(4, "CAFE");
    first->SetSugarFlag(0);
    first->SetCodePageFlag(1);
    addDevice(Valve, 0, 100)->SetTypeName("VIEJO");
    CDeviceCoffee* dispenser = addDevice(Dispenser, 30, 80);
    dispenser->SetColour(5);
    dispenser->SetWaterPulses(12);
    addDevice(Whipper, 0, 60);
    addHeader(9, "", 5);
    addDevice(Dispenser, 10, 20);
    doc.SetMachineModel(3);
    doc.SetWorkingTemperature(92);
    doc.GetSugar().SetTimes(11, 22, 33);

    COrmiDoc loaded;
    ASSERT_TRUE(load(loaded, DocumentFile::Store(doc)));
    EXPECT_EQ(reloads, std::vector<int>{3});
    EXPECT_EQ(loaded.GetMachineModel(), 3);
    EXPECT_EQ(loaded.GetWorkingTemperature(), 92);
    EXPECT_EQ(loaded.GetSugar().GetBitter(), 11);
    EXPECT_EQ(loaded.GetSugar().GetNormal(), 22);
    EXPECT_EQ(loaded.GetSugar().GetExtraSweet(), 33);

    const auto r = rows(loaded);
    ASSERT_EQ(r.size(), 6u);
    EXPECT_EQ(r[0]->GetProductNumber(), 1);
    EXPECT_EQ(r[0]->GetSelectionNumber(), 1);
    EXPECT_EQ(r[0]->GetName(), "CAFE");
    EXPECT_EQ(r[0]->GetNameIndex(), 7);
    EXPECT_EQ(r[0]->GetSugarFlag(), 0);
    EXPECT_EQ(r[0]->GetCodePageFlag(), 1);
    EXPECT_EQ(r[0]->GetWideName(), WideName(u"CAFE"));
    // The valve after the dispenser it is fed by and the whipper of their group.
    EXPECT_EQ(r[1]->GetTypeName(), "DOSIFICADOR 1");
    EXPECT_EQ(r[1]->GetColour(), 5);
    EXPECT_EQ(r[1]->GetStart(), 30);
    EXPECT_EQ(r[1]->GetEnd(), 80);
    EXPECT_EQ(r[1]->GetWaterPulses(), 12);
    EXPECT_EQ(r[2]->GetTypeName(), "BATIDOR 1");
    EXPECT_EQ(r[3]->GetTypeName(), "AGUA");
    EXPECT_EQ(r[4]->GetProductNumber(), 2);
    EXPECT_EQ(r[4]->GetName(), "TE");
    EXPECT_EQ(r[4]->GetNameIndex(), 5);
    EXPECT_EQ(r[5]->GetStart(), 10);
    EXPECT_FALSE(loaded.IsModified());
}

TEST_F(DocumentFileTest, AT38ADocumentBringsItsSetUpTablesAndAppliesThemToItsRows)
{
    SetupT38A& tables = setup.object();
    tables.SetSetupRow(0, {250, 1, 2, 3, 80});
    tables.SetName2(3, "CHOCOLATE NEGRO");
    tables.SetGroupName2(1, "AGUA 2");
    addHeader(3, "CAFE");
    CDeviceCoffee* product = addDevice(2, 0, 0); // set-up row 0
    product->SetContainerTurns(3);
    product->SetWaterPulses(26);
    CDeviceCoffee* water = addDevice(1, 0, 0);
    water->SetWaterPulses(13);
    doc.SetMachineModel(21);
    doc.GetSugar().SetTimes(4, 5, 6);
    const QByteArray stored = DocumentFile::Store(doc);
    const QByteArray savedTables = setupBytes();

    tables = SetupT38A();
    COrmiDoc loaded;
    ASSERT_TRUE(load(loaded, stored));
    EXPECT_TRUE(reloads.empty());
    EXPECT_EQ(setupBytes(), savedTables);
    EXPECT_EQ(loaded.GetSugar().GetBitter(), 4);
    EXPECT_EQ(loaded.GetSugar().GetNormal(), 5);
    EXPECT_EQ(loaded.GetSugar().GetExtraSweet(), 6);
    const auto r = rows(loaded);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0]->GetProductNumber(), 1);
    EXPECT_EQ(r[1]->GetTypeName(), "CHOCOLATE NEGRO");
    EXPECT_EQ(r[1]->GetStart(), 0);
    EXPECT_EQ(r[1]->GetEnd(), 24);
    EXPECT_EQ(r[2]->GetTypeName(), "AGUA CALIENTE"); // the first set names the group rows
    EXPECT_EQ(r[2]->GetStart(), 29);
    EXPECT_EQ(r[2]->GetEnd(), 39);
}

TEST_F(DocumentFileTest, AnOlderSetUpBlockLoadsAndKeepsTheWhippingSpeeds)
{
    SetupT38A& tables = setup.object();
    tables.SetSetupRow(4, {7, 1, 1, -1, 55});
    fw::ArchiveWriter w;
    w.writeCount(0);
    for (const int v : {1, 2, 3, 85, 19})
        w.writeI32(v);
    for (const char* name : {"G1", "A1", "G2", "A2"})
        w.writeString(name);
    // Memory holds 13 names: 13 pairs, no marker and no count.
    for (int k = 0; k < 13; ++k) {
        w.writeString("N" + QByteArray::number(k));
        w.writeString("M" + QByteArray::number(k));
    }
    for (int table = 0; table < 4; ++table)
        for (int k = 0; k < 10; ++k)
            w.writeI32(table == 1 ? 100 + k : 0);
    COrmiDoc loaded;
    ASSERT_TRUE(load(loaded, w.data()));
    EXPECT_EQ(loaded.GetMachineModel(), 19);
    EXPECT_EQ(tables.GetGroupName(0), "G1");
    EXPECT_EQ(tables.GetProductName(12), "N12");
    EXPECT_EQ(tables.GetName2(12), "M12");
    EXPECT_EQ(tables.GetSetupRow(4)->mgPerTurn, 104);
    EXPECT_EQ(tables.GetSetupRow(4)->whipSpeed, 55);
}

TEST_F(DocumentFileTest, AnOldestLayoutFileReadsEveryRowAfterItsFirstNamelessHeaderInThatLayout)
{
    // Stored: a header without name, then a header "CAFE", both with only the sugar flag
    // after the selection number; the file ends before the model.
    fw::ArchiveWriter w;
    w.writeCount(2);
    for (const auto& [name, sugar] : {std::pair<const char*, int>{"", 1}, {"CAFE", 0}}) {
        w.writeObjectClass("CDeviceCoffee", 1);
        for (const int v : {0, 0, 0, 0, 0, 0})
            w.writeI32(v);
        w.writeString("");
        w.writeString(name);
        w.writeI32(1);
        w.writeI32(1);
        w.writeU8(quint8(sugar));
    }
    for (const int v : {3, 4, 5, 90})
        w.writeI32(v);
    COrmiDoc loaded;
    ASSERT_TRUE(load(loaded, w.data()));
    EXPECT_EQ(loaded.GetMachineModel(), 1);
    EXPECT_EQ(loaded.GetSugar().GetBitter(), 3);
    const auto r = rows(loaded);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0]->GetName(), "CAFE");
    EXPECT_EQ(r[0]->GetNameIndex(), 7);
    EXPECT_EQ(r[0]->GetSugarFlag(), 0);
    EXPECT_EQ(r[0]->GetStirrerFlag(), 1);
    EXPECT_EQ(r[0]->GetProductNumber(), 1);
    EXPECT_TRUE(r[1]->GetName().isEmpty());
    EXPECT_EQ(r[1]->GetSugarFlag(), 1);
    EXPECT_EQ(r[1]->GetProductNumber(), 2);
}

TEST_F(DocumentFileTest, TheTemperatureIsHeldTo80To100AndAMissingModelIs1)
{
    const struct {
        QByteArray tail;
        int temperature;
        int model;
    } cases[] = {
        {le32(120) + le32(5), 80, 5},
        {le32(79) + le32(5), 80, 5},
        {le32(100) + le32(5), 100, 5},
        {le32(80), 80, 1},
        {le32(95) + QByteArray("\x07\x00", 2), 95, 1}, // cut within the model
    };
    for (const auto& c : cases) {
        COrmiDoc loaded;
        ASSERT_TRUE(load(loaded, QByteArray(14, '\0') + c.tail)) << c.tail.toHex().constData();
        EXPECT_EQ(loaded.GetWorkingTemperature(), c.temperature) << c.tail.toHex().constData();
        EXPECT_EQ(loaded.GetMachineModel(), c.model) << c.tail.toHex().constData();
    }
}

namespace {

// A document file of the given stored rows, each written by its own function, then sugar
// times, temperature and model, and what follows the model.
QByteArray craft(quint32 count, const std::vector<std::function<void(fw::ArchiveWriter&)>>& rowWriters, int model = 1,
                 const QByteArray& after = QByteArray())
{
    fw::ArchiveWriter w;
    w.writeCount(count);
    for (const auto& write : rowWriters)
        write(w);
    for (const int v : {1, 2, 3, 90, model})
        w.writeI32(v);
    return w.data() + after;
}

void headerBody(fw::ArchiveWriter& w, int nameIndex = 5)
{
    for (const int v : {0, 0, 0, 0, 0, 0})
        w.writeI32(v);
    w.writeString("");
    w.writeString("");
    w.writeI32(1);
    w.writeI32(1);
    for (const int b : {0x72, 1, 1, 1})
        w.writeU8(quint8(b));
    w.writeI32(0);
    w.writeI32(0);
    w.writeU8(0);
    w.writeI32(nameIndex);
    for (int k = 0; k < WideName::StoredUnits; ++k)
        w.writeU16(0);
}

std::function<void(fw::ArchiveWriter&)> row(const char* className = "CDeviceCoffee", quint16 schema = 1,
                                            int nameIndex = 5)
{
    return [=](fw::ArchiveWriter& w) {
        w.writeObjectClass(className, schema);
        headerBody(w, nameIndex);
    };
}

std::function<void(fw::ArchiveWriter&)> tagged(std::initializer_list<int> tag)
{
    return [=](fw::ArchiveWriter& w) {
        for (const int b : tag)
            w.writeU8(quint8(b));
        headerBody(w);
    };
}

QByteArray setUpBlock(int pairCount)
{
    fw::ArchiveWriter w;
    for (int k = 0; k < 6; ++k)
        w.writeString(k < 4 ? "NOMBRE" : SetupT38A::NamesMarker);
    w.writeI32(pairCount);
    return w.data();
}

} // namespace

TEST_F(DocumentFileTest, AFileOfUnexpectedFormatLeavesANewDocumentAndTheSetUpTablesAsTheyWere)
{
    std::vector<std::function<void(fw::ArchiveWriter&)>> manyHeaders(256, row());
    const struct {
        const char* fault;
        QByteArray bytes;
    } cases[] = {
        {"another class", craft(1, {row("CSugarCoffee")})},
        {"another schema", craft(1, {row("CDeviceCoffee", 2)})},
        {"null object", craft(1, {tagged({0x00, 0x00})})},
        {"reference to the row read before", craft(2, {row(), tagged({0x02, 0x00})})},
        {"class tag naming a row", craft(2, {row(), tagged({0x02, 0x80})})},
        {"class tag past the map", craft(1, {tagged({0x01, 0x80})})},
        {"count past the bytes", craft(50, {row(), row()})},
        {"cut within a row", TwoRowDocument.left(100)},
        {"cut before the temperature", EmptyDocument.left(16)},
        {"name index outside the catalogue", craft(1, {row("CDeviceCoffee", 1, 100)})},
        {"negative name index", craft(1, {row("CDeviceCoffee", 1, -7)})},
        {"256 product headers", craft(256, manyHeaders)},
        {"set-up pair count 21", craft(1, {row()}, 22, setUpBlock(21) + QByteArray(2000, '\0'))},
        {"set-up pair count -1", craft(1, {row()}, 22, setUpBlock(-1) + QByteArray(2000, '\0'))},
        {"cut within the set-up names", craft(1, {row()}, 23, setUpBlock(2).left(30))},
        {"cut within the set-up tables", craft(1, {row()}, 23, setUpBlock(0) + QByteArray(100, '\0'))},
    };
    setup.object().SetGroupName2(0, "EDITADO");
    const QByteArray tablesBefore = setupBytes();
    for (const auto& c : cases) {
        COrmiDoc loaded;
        loaded.SetMachineModel(24);
        loaded.SetWorkingTemperature(95);
        loaded.AddDevice();
        EXPECT_FALSE(load(loaded, c.bytes)) << c.fault;
        EXPECT_EQ(loaded.GetRowCount(), 0) << c.fault;
        EXPECT_EQ(loaded.GetMachineModel(), 1) << c.fault;
        EXPECT_EQ(loaded.GetWorkingTemperature(), 80) << c.fault;
        EXPECT_EQ(loaded.GetSugar().GetBitter(), 0) << c.fault;
        EXPECT_EQ(setupBytes(), tablesBefore) << c.fault;
    }
    EXPECT_TRUE(reloads.empty());

    // Well-formed neighbours of those cases load.
    std::vector<std::function<void(fw::ArchiveWriter&)>> mostHeaders(255, row());
    EXPECT_TRUE(load(doc, craft(255, mostHeaders)));
    EXPECT_EQ(doc.GetRowCount(), 255);
    EXPECT_TRUE(load(doc, craft(1, {row()}, 22, setUpBlock(20) + QByteArray(240, '\0'))));
}

TEST_F(DocumentFileTest, SavedFilesOpenWithTheirPathAndNotModified)
{
    addHeader(1, "CAFE");
    doc.SetModifiedFlag();
    const QString path = app.tempPath("dosis.caf");
    ASSERT_TRUE(DocumentFile::Save(doc, path));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), DocumentFile::Store(doc));
    file.close();

    // A shorter document replaces the file whole.
    doc.OnNewDocument();
    ASSERT_TRUE(DocumentFile::Save(doc, path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), EmptyDocument);
    file.close();

    COrmiDoc opened;
    ASSERT_TRUE(DocumentFile::Open(opened, path, [](int) {}));
    EXPECT_EQ(opened.GetPathName(), path);
    EXPECT_EQ(opened.GetTitle(), "dosis.caf");
    EXPECT_FALSE(opened.IsModified());
    EXPECT_TRUE(app.messages().texts().isEmpty());
}

TEST_F(DocumentFileTest, AFileThatCannotBeReadIsReportedAndLeavesTheDocumentAsItWas)
{
    addHeader(1, "CAFE");
    doc.SetPathName(app.tempPath("previo.caf"));
    const QString missing = app.tempPath("no-existe.caf");
    EXPECT_FALSE(DocumentFile::Open(doc, missing));
    EXPECT_EQ(app.messages().texts(),
              QStringList{"No se puede abrir el archivo " + QDir::toNativeSeparators(missing) + "."});
    EXPECT_EQ(doc.GetRowCount(), 1);
    EXPECT_EQ(doc.GetTitle(), "previo.caf");
}

TEST_F(DocumentFileTest, AFileOfUnexpectedFormatIsReportedAndLeavesANewUntitledDocument)
{
    const QString path = app.tempPath("ajeno.caf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("esto no es un documento");
    file.close();
    addHeader(1, "CAFE");
    doc.SetPathName(app.tempPath("previo.caf"));
    doc.SetModifiedFlag();

    EXPECT_FALSE(DocumentFile::Open(doc, path, [](int) {}));
    EXPECT_EQ(app.messages().texts(), QStringList{"Formato de archivo inesperado."});
    EXPECT_EQ(app.messages().shown().front().kind, fw::MessageKind::Framework);
    EXPECT_EQ(doc.GetRowCount(), 0);
    EXPECT_TRUE(doc.GetPathName().isEmpty());
    EXPECT_TRUE(doc.GetTitle().isEmpty());
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(DocumentFileTest, AFailedSaveIsReportedAndTheDocumentKeepsItsPathAndMark)
{
    addHeader(1, "CAFE");
    const QString previous = app.tempPath("previo.caf");
    doc.SetPathName(previous);
    doc.SetModifiedFlag();
    const QString unreachable = app.tempPath("no-hay-carpeta/dosis.caf");
    EXPECT_FALSE(DocumentFile::Save(doc, unreachable));
    EXPECT_EQ(app.messages().texts(),
              QStringList{"No se puede guardar el archivo " + QDir::toNativeSeparators(unreachable) + "."});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), previous);
    EXPECT_FALSE(QFile::exists(unreachable));
}

TEST_F(DocumentFileTest, OnAFullDiskASaveOverAnOldFileIsReportedAndTheOldFileStays)
{
    const QString path = app.tempPath("keep.caf");
    const QByteArray old = TwoRowDocument;
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    for (int i = 0; i < 20; ++i)
        addHeader(i + 1, "CAFE CON LECHE");
    doc.SetPathName(app.tempPath("previo.caf"));
    doc.SetModifiedFlag();
    {
        FileSizeLimit full(old.size());
        ASSERT_TRUE(full.held());
        EXPECT_FALSE(DocumentFile::Save(doc, path));
    }
    EXPECT_EQ(app.messages().texts(),
              QStringList{"No se puede guardar el archivo " + QDir::toNativeSeparators(path) + "."});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), app.tempPath("previo.caf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), old);
}

TEST_F(DocumentFileTest, ADocumentWithTheLongestNameTheFolderTakesIsSavedAndOpened)
{
    addHeader(1, "CAFE");
    const QString path = app.tempPath(QString(251, 'd') + ".caf"); // 255 bytes
    ASSERT_TRUE(DocumentFile::Save(doc, path));
    ASSERT_TRUE(DocumentFile::Save(doc, path));
    COrmiDoc opened;
    ASSERT_TRUE(DocumentFile::Open(opened, path, [](int) {}));
    EXPECT_EQ(opened.GetRowCount(), 1);
    EXPECT_EQ(QDir(app.tempPath()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
    EXPECT_TRUE(app.messages().texts().isEmpty());
}

TEST_F(DocumentFileTest, ASaveKeepsTheFilesGroupOwnerAndMode)
{
    if (!FileOwners::mayGiveAway())
        GTEST_SKIP() << "only root may make files of another owner";
    const QString path = app.tempPath("compartido.caf");
    ASSERT_TRUE(DamagedFiles::MakeFile(path, EmptyDocument));
    ASSERT_TRUE(FileOwners::give(path, FileOwners::OtherUser, FileOwners::OtherGroup, 0640));
    addHeader(1, "CAFE");
    ASSERT_TRUE(DocumentFile::Save(doc, path));
    const struct stat saved = FileOwners::status(path);
    EXPECT_EQ(saved.st_uid, FileOwners::OtherUser);
    EXPECT_EQ(saved.st_gid, FileOwners::OtherGroup);
    EXPECT_EQ(saved.st_mode & 07777, 0640u);
}

TEST_F(DocumentFileTest, ASaveReplacesTheFileThatOpeningItsNameGivesWhateverLinksLeadThere)
{
    addHeader(1, "CAFE");
    for (const LinkedTargets::Case& c : LinkedTargets::cases()) {
        QTemporaryDir dir;
        ASSERT_TRUE(LinkedTargets::make(dir.path(), c, TwoRowDocument)) << c.what;
        const QString others = LinkedTargets::others(dir.path(), c);
        const QString name = dir.path() + "/" + c.name;
        doc.SetModifiedFlag();
        EXPECT_TRUE(DocumentFile::Save(doc, name)) << c.what;
        EXPECT_EQ(app.messages().texts(), QStringList()) << c.what;
        EXPECT_EQ(doc.GetPathName(), name) << c.what;
        QFile saved(dir.filePath(c.opened));
        ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << c.what;
        EXPECT_EQ(saved.readAll(), DocumentFile::Store(doc)) << c.what;
        EXPECT_EQ(LinkedTargets::others(dir.path(), c), others) << c.what;
    }
}

TEST_F(DocumentFileTest, AFileTheUserMayNotWriteIsReportedAndLeftAsItWas)
{
    const OrdinaryUser user;
    if (!user.available())
        GTEST_SKIP() << user.whyNot().toStdString();
    addHeader(1, "CAFE");
    QStringList notRun;
    for (const ProtectedTargets::Case& c : ProtectedTargets::runnableCases(notRun)) {
        QTemporaryDir dir;
        const QString path = dir.filePath("dosis.caf");
        ASSERT_TRUE(ProtectedTargets::make(path, TwoRowDocument, c, user)) << c.what;
        const QString before = ProtectedTargets::state(path);
        doc.SetModifiedFlag();
        const QString result = user.run([&] {
            const bool saved = DocumentFile::Save(doc, path);
            return QStringList{saved ? "saved" : "not saved", doc.IsModified() ? "modified" : "not modified"}
                .join(", ") + "; " + app.messages().texts().join(" | ");
        });
        if (c.refused) {
            EXPECT_EQ(result, "not saved, modified; No se puede guardar el archivo " + QDir::toNativeSeparators(path) + ".") << c.what;
            EXPECT_EQ(ProtectedTargets::state(path), before) << c.what;
        } else {
            EXPECT_EQ(result, "saved, not modified; ") << c.what;
            QFile saved(path);
            ASSERT_TRUE(saved.open(QIODevice::ReadOnly)) << c.what;
            EXPECT_EQ(saved.readAll(), DocumentFile::Store(doc)) << c.what;
        }
    }
    if (!notRun.isEmpty())
        GTEST_SKIP() << ProtectedTargets::notRunReason(notRun);
}

TEST_F(DocumentFileTest, APrivateDocumentIsReadableByNoOneElseWhileItIsWritten)
{
    const QString path = app.tempPath("privado.caf");
    ASSERT_TRUE(DamagedFiles::MakeFile(path, EmptyDocument));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0600), 0);
    addHeader(1, "CAFE");
    // A mask that leaves a file made for all readable by all.
    const mode_t previous = ::umask(022);
    bool saved = false;
    QList<ModeProbe::Change> changes;
    QString described;
    {
        ModeProbe probe;
        saved = DocumentFile::Save(doc, path);
        changes = probe.changesUnder(app.tempPath());
        described = probe.describe();
    }
    ::umask(previous);
    ASSERT_TRUE(saved);
    ASSERT_EQ(changes.size(), 1) << described.toStdString();
    EXPECT_NE(QFileInfo(changes[0].path).fileName(), "privado.caf") << described.toStdString();
    EXPECT_EQ(QString::number(changes[0].before, 8), "600") << described.toStdString();
    EXPECT_EQ(QString::number(FileOwners::status(path).st_mode & 07777, 8), "600");
}

TEST_F(DocumentFileTest, ASaveWhoseFolderCannotBeSyncedIsReportedAndTheDocumentStaysModified)
{
    const QString previous = app.tempPath("previo.caf");
    const QString path = app.tempPath("dosis.caf");
    addHeader(1, "CAFE");
    doc.SetPathName(previous);
    doc.SetModifiedFlag();
    {
        SyncProbe probe;
        probe.failFolders(EIO);
        EXPECT_FALSE(DocumentFile::Save(doc, path));
        const QList<SyncProbe::Sync> syncs = probe.syncsUnder(app.tempPath());
        ASSERT_FALSE(syncs.isEmpty());
        EXPECT_TRUE(syncs.back().folder) << probe.describe().toStdString();
    }
    EXPECT_EQ(app.messages().texts(),
              QStringList{"No se puede guardar el archivo " + QDir::toNativeSeparators(path) + "."});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.GetPathName(), previous);
    // In place, but perhaps not on the disk: the user saves again.
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), DocumentFile::Store(doc));
}

TEST_F(DocumentFileTest, ASaveOntoAFifoIsReportedAndLeavesTheFifo)
{
    const QString path = app.tempPath("fifo.caf");
    ASSERT_TRUE(DamagedFiles::MakeFifo(path));
    doc.SetModifiedFlag();
    {
        const Watchdog bound("saving onto a FIFO");
        EXPECT_FALSE(DocumentFile::Save(doc, path));
    }
    EXPECT_EQ(app.messages().texts(),
              QStringList{"No se puede guardar el archivo " + QDir::toNativeSeparators(path) + "."});
    EXPECT_TRUE(doc.IsModified());
    EXPECT_FALSE(QFileInfo(path).isFile());
    EXPECT_TRUE(QFileInfo(path).exists());
}

TEST_F(DocumentFileTest, AFifoADeviceOrAnOversizedFileIsReportedAsNotOpenedAndNeverWaitedFor)
{
    addHeader(1, "CAFE");
    doc.SetPathName(app.tempPath("previo.caf"));
    int n = 0;
    for (const DamagedFiles::Unreadable& c : DamagedFiles::UnreadableFiles(DocumentFile::MaxBytes)) {
        const std::string what = c.what.toStdString();
        const QString path = app.tempPath(QString("dosis%1.caf").arg(++n));
        ASSERT_TRUE(c.make(path)) << what;
        app.messages().clear();
        {
            const Watchdog bound(what);
            EXPECT_FALSE(DocumentFile::Open(doc, path, [](int) {})) << what;
        }
        EXPECT_EQ(app.messages().texts(),
                  QStringList{"No se puede abrir el archivo " + QDir::toNativeSeparators(path) + "."})
            << what;
        EXPECT_EQ(doc.GetRowCount(), 1) << what;
        EXPECT_EQ(doc.GetTitle(), "previo.caf") << what;
    }
}
