#include "app/CCfg.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/TestApplication.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

const QByteArray ClassicRelays =
    "RELES prueba\r\n"
    "| N. | NOMBRE               | CODIGO | SUBCODIGO |\r\n"
    "+----+----------------------+--------+-----------+\r\n"
    "|  1 | SOLTADOR VASOS       |  0xF6  |     1     |\r\n"
    "|  3 |DISPENSADOR 1|0xF1|1|\r\n"
    "|  7 |   VALVULA 1          |  0xF4  |     1     |\r\n"
    "|  0 | CERO                 |  0xF1  |     9     |\r\n"
    "| -1 | MENOS UNO            |  0xF1  |     9     |\r\n"
    "| 31 | TREINTA Y UNO        |  0xF1  |     9     |\r\n"
    "| 30 | PILOTO SERVICIO      |  0xF7  |     3     |\r\n"
    "|  9 | SOLO TRES COLUMNAS   |  0xF4  |\r\n";

const QByteArray ListedRelays =
    "| 1 | SOLTADOR VASOS | 0xF6 | 1 | 0 |\n"
    "| 2 | DISPENSADOR 1  | 0xF1 | 1 |\n"
    "| 3 | BATIDOR 1      | 0xF3 | 1 | 1 |\n"
    "| 4 | VALVULA 1      | 0xF4 | 1 |\n";

const QByteArray Dispensers =
    "| DISP | MOTOR | PRODUCTO | VALVULA | CAMARA | BATIDOR | RETARDO |\r\n"
    "|    1 |     3 |        1 |       1 |      1 |       0 |       0 |\r\n"
    "|    2 |     4 |        3 |       2 |      2 |       1 |       2 |\r\n"
    "|   11 |     9 |        9 |       9 |      9 |       9 |       9 |\r\n"
    "|    3 |     9 |        9 |       9 |      9 |       9 |\r\n"
    "|    2 |     5 |        4 |       2 |      2 |       1 |       5 |\r\n";

// A catalogue of a classic model 1, a flow-meter model 8, a T38A model 21 and a model 2
// whose files are missing, beside the program; WorkDir names an empty folder.
class CatalogueLoadingTest : public ::testing::Test {
protected:
    CatalogueLoadingTest()
    {
        catalogue.AddMachineType(1, "Dravolino C-200");
        catalogue.AddMachineType(3, "Dravolino F-400", true);
        catalogue.AddMachineType(6, "Dravolino T38A-C", true);
        catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
        catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_NO.TXT", .relayFile = "RELES_NO.TXT"});
        catalogue.AddConfiguration({.code = 8, .machineType = 3, .description = "F",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_F8.TXT"});
        catalogue.AddConfiguration({.code = 21, .machineType = 6, .description = "T"});
        catalogue.WriteFile("RELES_C200.TXT", ClassicRelays);
        catalogue.WriteFile("RELES_F8.TXT", ListedRelays);
        catalogue.WriteFile("DISP_C1.TXT", Dispensers);
        catalogue.AddRelayName(1, "VALVULA 1", 0);
        catalogue.AddRelayName(1, "WATER VALVE 1", 2);
        catalogue.AddRelayName(2, "SOLTADOR VASOS", 0);
        catalogue.AddRelayName(2, "CUP RELEASE", 2);
        app.profile().WriteString("Configuracion", "WorkDir", WorkDir());
    }

    QStringList Boxes() { return app.messages().texts(); }
    QString WorkDir() const { return app.tempPath("work/"); }
    // A file in neither place is reported with its path below WorkDir.
    QString MissingText(const QString& file) const
    {
        return "Fichero " + QDir::toNativeSeparators(WorkDir() + "configormi/" + file) + " no existe";
    }
    QByteArray Name(int index) const
    {
        QByteArray name;
        cfg.GetProductName(index, name);
        return name;
    }
    void ExpectRecord(int typeIndex, const QByteArray& name, const QByteArray& displayName, int code, int subCode,
                      bool listFlag = true) const
    {
        const DeviceTypeRecord* record = cfg.GetDeviceType(typeIndex);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->name, name) << typeIndex;
        EXPECT_EQ(record->displayName, displayName) << typeIndex;
        EXPECT_EQ(record->code, code) << typeIndex;
        EXPECT_EQ(record->subCode, subCode) << typeIndex;
        EXPECT_EQ(record->listFlag, listFlag) << typeIndex;
    }
    void ExpectNewRecord(int typeIndex) const { ExpectRecord(typeIndex, "", "", 0, 0); }

    TestApplication app;
    CatalogueFixture catalogue{app};
    CCfg cfg{30, 10};
};

} // namespace

TEST_F(CatalogueLoadingTest, TheRelayFileFillsTheRecordsOfItsIndices)
{
    ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
    EXPECT_EQ(cfg.GetModel(), 1);
    EXPECT_EQ(cfg.GetDeviceTypeCount(), 30);
    EXPECT_FALSE(cfg.GetFlowMeterMark());
    EXPECT_FALSE(cfg.GetListFlagMark());
    ExpectRecord(0, "SOLTADOR VASOS", "SOLTADOR VASOS", 0xF6, 1);
    ExpectRecord(2, "DISPENSADOR 1", "DISPENSADOR 1", 0xF1, 1);
    ExpectRecord(6, "VALVULA 1", "VALVULA 1", 0xF4, 1);
    ExpectRecord(29, "PILOTO SERVICIO", "PILOTO SERVICIO", 0xF7, 3);
    // Indices 0, -1 and 31 and the line of three columns change nothing.
    for (int untouched : {1, 3, 4, 5, 7, 8, 9, 28})
        ExpectNewRecord(untouched);
    EXPECT_EQ(cfg.CountNamedTypes(), 4);
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CatalogueLoadingTest, TheListColumnAndTheFlowMeterSetTheirMarks)
{
    ASSERT_EQ(cfg.LoadDeviceTypes(8), CCfg::LoadResult::Loaded);
    EXPECT_TRUE(cfg.GetFlowMeterMark());
    EXPECT_TRUE(cfg.GetListFlagMark());
    ExpectRecord(0, "SOLTADOR VASOS", "SOLTADOR VASOS", 0xF6, 1, false);
    ExpectRecord(1, "DISPENSADOR 1", "DISPENSADOR 1", 0xF1, 1, false);
    ExpectRecord(2, "BATIDOR 1", "BATIDOR 1", 0xF3, 1, true);
    ExpectRecord(3, "VALVULA 1", "VALVULA 1", 0xF4, 1, true);
    EXPECT_TRUE(cfg.IsEstimatedValve(3));

    // Loading another model replaces the records and both marks.
    ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
    EXPECT_FALSE(cfg.GetFlowMeterMark());
    EXPECT_FALSE(cfg.GetListFlagMark());
    ExpectNewRecord(3);
}

TEST_F(CatalogueLoadingTest, DisplayNamesAreTranslatedForANonSpanishInterface)
{
    app.profile().WriteInt("Ormi", "Idioma", 1);
    ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
    ExpectRecord(0, "SOLTADOR VASOS", "CUP RELEASE", 0xF6, 1);
    ExpectRecord(6, "VALVULA 1", "WATER VALVE 1", 0xF4, 1);
    ExpectRecord(2, "DISPENSADOR 1", "DISPENSADOR 1", 0xF1, 1);
}

TEST_F(CatalogueLoadingTest, ALineLongerThanTheLimitIsNotReadAgainAsASecondLine)
{
    catalogue.WriteFile("RELES_C200.TXT",
                        "| 5 | LARGA | 0xF1 | 1 |" + QByteArray(75, ' ') + "| 8 | SEGUNDA | 0xF1 | 2 |\r\n");
    ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
    ExpectRecord(4, "LARGA", "LARGA", 0xF1, 1);
    ExpectNewRecord(7);
    EXPECT_FALSE(cfg.GetListFlagMark());
}

TEST_F(CatalogueLoadingTest, AMissingRelayFileIsReportedOnceWithItsFullPath)
{
    ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
    EXPECT_EQ(cfg.LoadDeviceTypes(2), CCfg::LoadResult::FileMissing);
    EXPECT_EQ(Boxes(), QStringList({MissingText("RELES_NO.TXT")}));
    EXPECT_EQ(app.messages().shown()[0].kind, fw::MessageKind::Framework);
    EXPECT_EQ(app.messages().shown()[0].icon, fw::MessageIcon::None);
    EXPECT_EQ(cfg.GetModel(), 2);
    EXPECT_EQ(cfg.CountNamedTypes(), 0);
}

TEST_F(CatalogueLoadingTest, AModelWithoutDeviceFilesFailsWithoutAMessage)
{
    ASSERT_EQ(cfg.LoadDispenserTable(1), CCfg::LoadResult::Loaded);
    for (int model : {21, 99}) {
        EXPECT_EQ(cfg.LoadDeviceTypes(model), CCfg::LoadResult::NoFileNamed);
        EXPECT_EQ(cfg.GetModel(), model);
        EXPECT_EQ(cfg.GetDeviceTypeCount(), 30);
        EXPECT_EQ(cfg.CountNamedTypes(), 0);
        EXPECT_EQ(cfg.LoadDispenserTable(model), CCfg::LoadResult::NoFileNamed);
        EXPECT_EQ(cfg.GetDispenserTable().row(0), DispenserTable::Row{});
    }
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CatalogueLoadingTest, TheDispenserFileFillsTheRowsItNames)
{
    ASSERT_EQ(cfg.LoadDispenserTable(1), CCfg::LoadResult::Loaded);
    const DispenserTable& table = cfg.GetDispenserTable();
    ASSERT_EQ(table.rowCount(), 10);
    EXPECT_EQ(table.row(0), (DispenserTable::Row{3, 1, 1, 1, 0, 0}));
    // A later line for the same row wins; row 11 and the line of six numbers are ignored.
    EXPECT_EQ(table.row(1), (DispenserTable::Row{5, 4, 2, 2, 1, 5}));
    for (int row = 2; row < 10; ++row)
        EXPECT_EQ(table.row(row), DispenserTable::Row{}) << row;
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CatalogueLoadingTest, AMissingDispenserFileIsReportedWithItsFullPath)
{
    ASSERT_EQ(cfg.LoadDispenserTable(1), CCfg::LoadResult::Loaded);
    EXPECT_EQ(cfg.LoadDispenserTable(2), CCfg::LoadResult::FileMissing);
    EXPECT_EQ(Boxes(), QStringList({MissingText("DISP_NO.TXT")}));
    EXPECT_EQ(cfg.GetDispenserTable().row(0), DispenserTable::Row{});
}

TEST_F(CatalogueLoadingTest, ProductNamesOfTheProfileLanguageFillTheirEntries)
{
    catalogue.AddProductName(0, "---", 3);
    catalogue.AddProductName(1, "CAFÉ", 3);
    catalogue.AddProductName(99, "BICA D'AVÓ", 3);
    catalogue.AddProductName(100, "FORA", 3);
    catalogue.AddProductName(-1, "FORA TAMBÉM", 3);
    catalogue.AddProductName(1, "ESPRESSO", 2);
    app.profile().WriteInt("Ormi", "IdiomaTextos", 3);
    cfg.ResizeProductNames();
    cfg.SetProductName(50, "ANTES");

    EXPECT_TRUE(cfg.LoadProductNames());
    EXPECT_EQ(cfg.GetProductNameCount(), 100);
    EXPECT_EQ(Name(0), "---");
    EXPECT_EQ(Name(1), "CAF\xC9");
    EXPECT_EQ(Name(99), "BICA D'AV\xD3");
    // Entries no name reaches keep their text; indices outside the entries are skipped.
    EXPECT_EQ(Name(50), "ANTES");
    EXPECT_EQ(Name(2), "");
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CatalogueLoadingTest, ALanguageWithoutProductNamesFallsBackToEnglish)
{
    catalogue.AddProductName(1, "ESPRESSO", 2);
    catalogue.AddProductName(2, "BUILDER'S TEA", 2);
    catalogue.AddProductName(1, "CAFÉ SOLO", 0);
    app.profile().WriteInt("Ormi", "IdiomaTextos", 4);
    EXPECT_TRUE(cfg.LoadProductNames());
    EXPECT_EQ(Name(1), "ESPRESSO");
    EXPECT_EQ(Name(2), "BUILDER'S TEA");
}

TEST_F(CatalogueLoadingTest, WithoutTheProductNameDatabaseTheNamesStayAndTheLoadStillSucceeds)
{
    QFile::remove(catalogue.productNamesPath());
    cfg.ResizeProductNames();
    cfg.SetProductName(1, "ANTES");
    EXPECT_TRUE(cfg.LoadProductNames());
    EXPECT_EQ(cfg.GetProductNameCount(), 100);
    EXPECT_EQ(Name(1), "ANTES");
    EXPECT_EQ(Boxes().size(), 1);
}
