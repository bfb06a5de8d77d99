#include "app/CCfg.h"
#include "app/CatalogueTextFile.h"
#include "app/CharacterTable.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/GrowingFile.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TextFileShapes.h"
#include "tests/support/Watchdog.h"

#include <QDir>
#include <QFile>

#include <sqlite3.h>

#include <chrono>
#include <functional>
#include <thread>

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

TEST_F(CatalogueLoadingTest, ADeviceFileThatIsNoRegularFileOrTooLargeCountsAsMissing)
{
    struct Case {
        const char* file;
        bool (*make)(const QString&);
        CCfg::LoadResult (CCfg::*load)(int);
        // A regular file is found where it stands, and named there when it is refused.
        bool named = false;
    };
    const Case cases[] = {
        {"RELES_C200.TXT", DamagedFiles::MakeFifo, &CCfg::LoadDeviceTypes},
        {"DISP_C1.TXT", DamagedFiles::MakeFifo, &CCfg::LoadDispenserTable},
        {"RELES_C200.TXT", [](const QString& p) { return QDir().mkpath(p); }, &CCfg::LoadDeviceTypes},
        {"DISP_C1.TXT", [](const QString& p) { return QFile::link("/dev/zero", p); }, &CCfg::LoadDispenserTable},
        {"RELES_C200.TXT", [](const QString& p) { return DamagedFiles::MakeSparseFile(p, CatalogueTextFile::MaxBytes + 1); },
         &CCfg::LoadDeviceTypes, true},
    };
    for (const Case& c : cases) {
        const QString path = catalogue.catalogueFolder() + "/" + c.file;
        QFile::remove(path);
        ASSERT_TRUE(c.make(path)) << c.file;
        app.messages().clear();
        {
            const Watchdog bound(c.file);
            EXPECT_EQ((cfg.*c.load)(1), CCfg::LoadResult::FileMissing) << c.file;
        }
        const QString missing = c.named ? "Fichero " + QDir::toNativeSeparators(path) + " no existe" : MissingText(c.file);
        EXPECT_EQ(Boxes(), QStringList({missing})) << c.file;
        QDir().rmdir(path);
        QFile::remove(path);
    }
}

TEST_F(CatalogueLoadingTest, ADeviceFileThatGrowsWhileItIsReadCountsAsTooLarge)
{
    if (!GrowingFile::available())
        GTEST_SKIP() << "watching the reads of a file needs CAP_SYS_ADMIN";
    const std::pair<const char*, CCfg::LoadResult (CCfg::*)(int)> cases[] = {
        {"RELES_C200.TXT", &CCfg::LoadDeviceTypes},
        {"DISP_C1.TXT", &CCfg::LoadDispenserTable},
    };
    for (const auto& [file, load] : cases) {
        const QString path = catalogue.catalogueFolder() + "/" + file;
        QFile::remove(path);
        GrowingFile growing(path);
        ASSERT_TRUE(growing.growing()) << file;
        app.messages().clear();
        {
            const Watchdog bound(file);
            EXPECT_EQ((cfg.*load)(1), CCfg::LoadResult::FileMissing) << file;
        }
        EXPECT_EQ(Boxes(), QStringList({"Fichero " + QDir::toNativeSeparators(path) + " no existe"})) << file;
    }
}

TEST_F(CatalogueLoadingTest, DeviceFilesReadTheSameWhateverTheirLineEndsAndByteOrderMark)
{
    const QList<TextFileShape> relays = TextFileShapes({"| 1 | SOLTADOR VASOS | 0xF6 | 1 |", "| 7 | VALVULA 1 | 0xF4 | 2 |"});
    const QList<TextFileShape> dispensers = TextFileShapes({"| 1 | 3 | 1 | 1 | 1 | 0 | 0 |", "| 2 | 4 | 3 | 2 | 2 | 1 | 2 |"});
    for (qsizetype i = 0; i < relays.size(); ++i) {
        const std::string what = relays[i].what.toStdString();
        catalogue.WriteFile("RELES_C200.TXT", relays[i].bytes);
        catalogue.WriteFile("DISP_C1.TXT", dispensers[i].bytes);
        ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded) << what;
        ExpectRecord(0, "SOLTADOR VASOS", "SOLTADOR VASOS", 0xF6, 1);
        ExpectRecord(6, "VALVULA 1", "VALVULA 1", 0xF4, 2);
        EXPECT_EQ(cfg.CountNamedTypes(), 2) << what;
        ASSERT_EQ(cfg.LoadDispenserTable(1), CCfg::LoadResult::Loaded) << what;
        EXPECT_EQ(cfg.GetDispenserTable().row(0), (DispenserTable::Row{3, 1, 1, 1, 0, 0})) << what;
        EXPECT_EQ(cfg.GetDispenserTable().row(1), (DispenserTable::Row{4, 3, 2, 2, 1, 2})) << what;
    }
    EXPECT_EQ(Boxes(), QStringList());
}

namespace {

// A line with a NUL byte where the text has '@'.
QByteArray WithNul(QByteArray line) { return line.replace('@', '\0'); }

} // namespace

TEST_F(CatalogueLoadingTest, ALongLineIsCutWithoutBeingHeldAndNulBytesEndNames)
{
    const QByteArray longLine = "| 2 | " + QByteArray(8 * 1024 * 1024, 'X') + " | 0xF1 | 2 |\r\n";
    catalogue.WriteFile("RELES_C200.TXT", "| 1 | SOLTADOR VASOS | 0xF6 | 1 |\r\n" + longLine
                                              + WithNul("| 3 | @ | 0xF1 | 3 |\r\n")
                                              + WithNul("| 4 | AB@CD | 0xF1 | 4 |\r\n")
                                              + WithNul("| 20 | @ | 0xF5 | 1 |\r\n")
                                              + "| 8 | VALVULA 4 | 0xF4 | 4 |\r\n");
    catalogue.WriteFile("DISP_C1.TXT", "|    1 |     3 |        1 |       1 |      1 |       0 |       0 |\r\n"
                                           + QByteArray(8 * 1024 * 1024, '|')
                                           + "\n|    2 |     4 |        3 |       2 |      2 |       1 |       2 |\n");
    app.profile().WriteInt("Ormi", "Idioma", 1);
    ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
    ExpectRecord(0, "SOLTADOR VASOS", "CUP RELEASE", 0xF6, 1);
    ExpectNewRecord(1);
    ExpectRecord(2, "", "", 0xF1, 3);
    ExpectRecord(3, "AB", "AB", 0xF1, 4);
    ExpectRecord(7, "VALVULA 4", "VALVULA 4", 0xF4, 4);
    // A twentieth type of NUL names nothing, so the correction stays on valve 4.
    EXPECT_EQ(cfg.CountNamedTypes(), 3);
    cfg.SetPumpRate(10.0f);
    EXPECT_EQ(cfg.GetEstimateText(7, 100), "75.0 cc");

    ASSERT_EQ(cfg.LoadDispenserTable(1), CCfg::LoadResult::Loaded);
    EXPECT_EQ(cfg.GetDispenserTable().row(0), (DispenserTable::Row{3, 1, 1, 1, 0, 0}));
    EXPECT_EQ(cfg.GetDispenserTable().row(1), (DispenserTable::Row{4, 3, 2, 2, 1, 2}));
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(CatalogueLoadingTest, ADamagedCatalogueDatabaseIsReportedOnceANameAndTheLoadGoesOnWithoutIt)
{
    struct Case {
        const char* what;
        bool productNames; // else the configuration database
        std::function<bool(const QString&)> damage;
        QString (*message)(const QString& nativePath); // given the path as the message names it
    };
    const Case cases[] = {
        {"empty configurations", false, DamagedFiles::MakeEmptyFile,
         [](const QString& p) { return "file is not a database (" + p + ")"; }},
        {"half-written configurations", false, DamagedFiles::LeaveHalfWritten,
         [](const QString& p) { return "La base de datos " + p + " quedó a medio escribir por otro programa."; }},
        {"empty product names", true, DamagedFiles::MakeEmptyFile,
         [](const QString& p) { return "file is not a database (" + p + ")"; }},
        {"half-written product names", true, DamagedFiles::LeaveHalfWritten,
         [](const QString& p) { return "La base de datos " + p + " quedó a medio escribir por otro programa."; }},
        {"product names without relay names", true,
         [](const QString& p) { CatalogueFixture::Run(p, "DROP TABLE NOMBRES_RELES"); return true; },
         [](const QString& p) { return "Error en la base de datos " + p + ":\nno such table: NOMBRES_RELES"; }},
        {"product names without tables", true,
         [](const QString& p) {
             CatalogueFixture::Run(p, "DROP TABLE NOMBRES_RELES; DROP TABLE NOMBRES_PRODUCTOS; DROP TABLE NOMBRES_IDIOMAS");
             return true;
         },
         [](const QString& p) { return "Error en la base de datos " + p + ":\nno such table: NOMBRES_RELES"; }},
    };
    app.profile().WriteInt("Ormi", "Idioma", 1);
    const QString saved = app.tempPath("saved.mdb");
    for (const Case& c : cases) {
        const QString path = c.productNames ? catalogue.productNamesPath() : catalogue.configurationsPath();
        ASSERT_TRUE(QFile::copy(path, saved)) << c.what;
        ASSERT_TRUE(c.damage(path)) << c.what;
        app.messages().clear();
        const bool loaded = cfg.LoadDeviceTypes(1) == CCfg::LoadResult::Loaded;
        EXPECT_EQ(Boxes(), QStringList({c.message(QDir::toNativeSeparators(path))})) << c.what;
        if (c.productNames) {
            // The device types load with their names untranslated.
            EXPECT_TRUE(loaded) << c.what;
            ExpectRecord(0, "SOLTADOR VASOS", "SOLTADOR VASOS", 0xF6, 1);
        } else {
            EXPECT_FALSE(loaded) << c.what;
        }
        QFile::remove(path);
        QFile::remove(path + "-journal");
        ASSERT_TRUE(QFile::rename(saved, path)) << c.what;
    }
}

TEST_F(CatalogueLoadingTest, ACatalogueDatabaseThatIsAFifoIsLookedForBelowWorkDir)
{
    QFile::remove(catalogue.configurationsPath());
    ASSERT_TRUE(DamagedFiles::MakeFifo(catalogue.configurationsPath()));
    // The database's failure has been told; it names no file.
    EXPECT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::NoFileNamed);
    EXPECT_EQ(Boxes(), QStringList({"unable to open database file ("
                                    + QDir::toNativeSeparators(WorkDir() + "configormi/CONFIGURACIONES.MDB") + ")"}));
}

TEST_F(CatalogueLoadingTest, ACatalogueDatabaseLockedByAWriterIsReadOnceTheWriterIsDone)
{
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open_v2(QFile::encodeName(catalogue.configurationsPath()).constData(), &writer,
                              SQLITE_OPEN_READWRITE, nullptr),
              SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE; UPDATE TIPOS_MAQUINA SET PULSOS_CAUDALIMETRO=1 WHERE CODIGO=1",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    std::thread commit([writer] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
    });
    const bool loaded = cfg.LoadDeviceTypes(1) == CCfg::LoadResult::Loaded;
    commit.join();
    sqlite3_close(writer);
    EXPECT_TRUE(loaded);
    EXPECT_TRUE(cfg.GetFlowMeterMark());
    ExpectRecord(0, "SOLTADOR VASOS", "SOLTADOR VASOS", 0xF6, 1);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(CatalogueLoadingTest, AThousandBadProductIdsGiveOneMessageAndTheGoodNamesLoad)
{
    CatalogueFixture::Run(catalogue.productNamesPath(),
                          "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I+1 FROM N WHERE I<1000) "
                          "INSERT INTO NOMBRES_PRODUCTOS (PRODUCTO, NOMBRE, IDIOMA) "
                          "SELECT CASE WHEN I<=10 THEN I ELSE 'p' || I END, 'N' || I, 0 FROM N");
    EXPECT_TRUE(cfg.LoadProductNames());
    EXPECT_EQ(Name(1), "N1");
    EXPECT_EQ(Name(10), "N10");
    EXPECT_EQ(Boxes(), QStringList({"Error en la base de datos " + QDir::toNativeSeparators(catalogue.productNamesPath())
                                    + ":\nNo coinciden los tipos de datos."}));
}

TEST(CharacterTableTest, AFifoIsNoCharacterTable)
{
    TestApplication app;
    const QString path = app.tempPath("ConvertLCD.txt");
    ASSERT_TRUE(DamagedFiles::MakeFifo(path));
    CharacterTable table;
    EXPECT_FALSE(table.load(path));
    EXPECT_TRUE(table.entries().isEmpty());
}
