#include "db/FindCatalogueFile.h"
#include "db/LeeDbConfiguraciones.h"
#include "db/LeeDbNombresProductos.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/TestApplication.h"
#include "tests/support/Watchdog.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Listed = std::tuple<QString, QString, int>; // machine type, configuration, code

class CatalogueReadersTest : public ::testing::Test {
protected:
    void SetInterfaceLanguage(int language) { app.profile().WriteInt("Ormi", "Idioma", language); }
    void SetProductNameLanguage(int language) { app.profile().WriteInt("Ormi", "IdiomaTextos", language); }
    void SetWorkDir(const QString& folder) { app.profile().WriteString("Configuracion", "WorkDir", folder); }
    QStringList Boxes() { return app.messages().texts(); }

    // Two classic machine types, one of them with a flow meter, and a T38A type.
    void AddMachineTypes()
    {
        catalogue.AddMachineType(1, "Dravolino C-200");
        catalogue.AddMachineType(3, "Dravolino F-400", true);
        catalogue.AddMachineType(6, "Dravolino T38A-C", true);
    }

    static std::vector<Listed> List(LeeDbConfiguraciones& reader)
    {
        std::vector<Listed> listed;
        QString machineType;
        QString configuration;
        int code = 0;
        while (reader.LeeSiguienteConfiguracion(machineType, configuration, code))
            listed.emplace_back(machineType, configuration, code);
        return listed;
    }

    static std::vector<std::pair<QByteArray, int>> ProductNames(LeeDbNombresProductos& reader)
    {
        std::vector<std::pair<QByteArray, int>> names;
        QByteArray name;
        int product = 0;
        while (reader.LeeSiguienteNombreProducto(name, product))
            names.emplace_back(name, product);
        return names;
    }

    TestApplication app;
    CatalogueFixture catalogue{app};
};

} // namespace

// --- the catalogue folder ---

TEST_F(CatalogueReadersTest, AFileBesideTheProgramIsTakenWithoutLookingAtWorkDir)
{
    const QString work = app.tempPath("work");
    QDir().mkpath(work + "/configormi");
    QFile(catalogue.configurationsPath()).copy(work + "/configormi/CONFIGURACIONES.MDB");
    SetWorkDir(work + "/");
    EXPECT_EQ(FindCatalogueFile("CONFIGURACIONES.MDB"), catalogue.configurationsPath());
}

TEST_F(CatalogueReadersTest, AFileMissingBesideTheProgramIsLookedForBelowWorkDir)
{
    const QString work = app.tempPath("work");
    const struct {
        QString workDir;
        const char* name;
        QString found;
    } cases[] = {
        {work + "/", "RELES_X.TXT", work + "/configormi/RELES_X.TXT"},
        // The profile value is joined as it stands: it has to end with a separator.
        {work, "RELES_X.TXT", work + "configormi/RELES_X.TXT"},
        {"D:\\datos\\", "CONFIGURACIONES.MDB.OLD", "D:/datos/configormi/CONFIGURACIONES.MDB.OLD"},
        {"", "RELES_X.TXT", "configormi/RELES_X.TXT"},
    };
    for (const auto& c : cases) {
        SetWorkDir(c.workDir);
        EXPECT_EQ(FindCatalogueFile(c.name), c.found) << c.workDir.toStdString();
    }
}

TEST_F(CatalogueReadersTest, StoredNamesAreFoundWhateverTheirSeparatorsAndCase)
{
    catalogue.WriteFile("Prototipo/RELES_P30.TXT", "| 1 | A | 0xF1 | 1 |\r\n");
    catalogue.WriteFile("Imagenes/C200_1.GIF", "GIF89a");
    EXPECT_EQ(FindCatalogueFile("prototipo\\reles_p30.txt"), catalogue.catalogueFolder() + "/Prototipo/RELES_P30.TXT");
    EXPECT_EQ(FindCatalogueFile("IMAGENES\\c200_1.gif"), catalogue.catalogueFolder() + "/Imagenes/C200_1.GIF");
    EXPECT_EQ(FindCatalogueFile("nombresproductos.mdb"), catalogue.productNamesPath());
}

TEST_F(CatalogueReadersTest, AFolderIsNoCatalogueFile)
{
    const QString work = app.tempPath("work/");
    SetWorkDir(work);
    EXPECT_EQ(FindCatalogueFile("Prototipo"), work + "configormi/Prototipo");
    EXPECT_EQ(FindCatalogueFile(""), "");
}

TEST_F(CatalogueReadersTest, AFifoIsNoCatalogueFileAndIsNeverOpened)
{
    const QString work = app.tempPath("work/");
    SetWorkDir(work);
    ASSERT_TRUE(DamagedFiles::MakeFifo(catalogue.catalogueFolder() + "/RELES_FIFO.TXT"));
    const Watchdog bound("a FIFO beside the program");
    EXPECT_EQ(FindCatalogueFile("RELES_FIFO.TXT"), work + "configormi/RELES_FIFO.TXT");
}

// --- the configuration database ---

TEST_F(CatalogueReadersTest, TheListLeavesOutPrototypesOutsideTheInternalMode)
{
    AddMachineTypes();
    // Prototypes first in the list, in its middle and last.
    catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "Prueba uno", .prototype = true});
    catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "Cuatro dispensadores"});
    catalogue.AddConfiguration({.code = 4, .machineType = 1, .description = "Prueba cuatro", .prototype = true});
    catalogue.AddConfiguration({.code = 8, .machineType = 3, .description = "Caudalímetro"});
    catalogue.AddConfiguration({.code = 21, .machineType = 6, .description = "Columna"});
    catalogue.AddConfiguration({.code = 30, .machineType = 6, .description = "Prueba T38A", .prototype = true});

    LeeDbConfiguraciones normal;
    const std::vector<Listed> expectedNormal = {
        {"Dravolino C-200", "Cuatro dispensadores", 2},
        {"Dravolino F-400", "Caudalímetro", 8},
        {"Dravolino T38A-C", "Columna", 21},
    };
    EXPECT_EQ(List(normal), expectedNormal);
    // Run to its end, the list starts again.
    EXPECT_EQ(List(normal), expectedNormal);

    LeeDbConfiguraciones internal(LeeDbConfiguraciones::Mode::Internal);
    const std::vector<Listed> expectedInternal = {
        {"Dravolino C-200", "Prueba uno !!PROTOTIPO!!", 1},
        {"Dravolino C-200", "Cuatro dispensadores", 2},
        {"Dravolino C-200", "Prueba cuatro !!PROTOTIPO!!", 4},
        {"Dravolino F-400", "Caudalímetro", 8},
        {"Dravolino T38A-C", "Columna", 21},
        {"Dravolino T38A-C", "Prueba T38A !!PROTOTIPO!!", 30},
    };
    EXPECT_EQ(List(internal), expectedInternal);
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CatalogueReadersTest, TheListIsInEnglishForAnyInterfaceLanguageButSpanish)
{
    AddMachineTypes();
    catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "Cuatro dispensadores"});
    SetInterfaceLanguage(3);
    LeeDbConfiguraciones reader;
    EXPECT_EQ(List(reader), std::vector<Listed>({{"Dravolino C-200", "Cuatro dispensadores (en)", 2}}));
}

TEST_F(CatalogueReadersTest, AListOfOnlyPrototypesIsEmptyOutsideTheInternalMode)
{
    AddMachineTypes();
    catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "Prueba", .prototype = true});
    LeeDbConfiguraciones reader;
    EXPECT_TRUE(List(reader).empty());
    LeeDbConfiguraciones empty;
    catalogue.Run(catalogue.configurationsPath(), "DELETE FROM CONFIGURACIONES");
    EXPECT_TRUE(List(empty).empty());
}

TEST_F(CatalogueReadersTest, TheFlowMeterMarkComesFromTheMachineType)
{
    AddMachineTypes();
    catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C"});
    catalogue.AddConfiguration({.code = 8, .machineType = 3, .description = "F"});
    LeeDbConfiguraciones reader;
    EXPECT_FALSE(reader.UsaPulsosCaudalimetro(1));
    EXPECT_TRUE(reader.UsaPulsosCaudalimetro(8));
    EXPECT_FALSE(reader.UsaPulsosCaudalimetro(99));
}

TEST_F(CatalogueReadersTest, TheConfigurationNameJoinsMachineTypeAndConfiguration)
{
    catalogue.AddMachineType(5, "Dravolino T38A-S", true);
    catalogue.AddConfiguration({.code = 19, .machineType = 5, .description = "T38A sobremesa"});
    LeeDbConfiguraciones reader;
    EXPECT_EQ(reader.LeeNombreConfiguracion(19), "Dravolino T38A-S: T38A sobremesa");
    EXPECT_EQ(reader.LeeNombreConfiguracion(99), ": ");
}

TEST_F(CatalogueReadersTest, ThePictureIsThePathAsStoredAndNoneWhenNoneIsNamed)
{
    AddMachineTypes();
    catalogue.WriteFile("Imagenes/D'ORO.GIF", "GIF89a");
    catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C", .pictureFile = "Imagenes\\D'ORO.GIF"});
    catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "C"});
    catalogue.AddConfiguration({.code = 3, .machineType = 1, .description = "C", .pictureFile = ""});
    catalogue.AddConfiguration(
        {.code = 30, .machineType = 1, .description = "P", .prototype = true, .pictureFile = "Prototipo\\P30.PNG"});
    LeeDbConfiguraciones reader;
    const std::pair<int, QString> pictures[] = {
        {1, catalogue.catalogueFolder() + "/Imagenes/D'ORO.GIF"},
        {2, ""},
        {3, ""},
        {99, ""},
        // A prototype's picture names its folder itself.
        {30, "configormi/Prototipo/P30.PNG"},
    };
    for (const auto& [code, picture] : pictures)
        EXPECT_EQ(reader.LeeFicheroImagen(code), picture) << code;
}

TEST_F(CatalogueReadersTest, DeviceFilesAreFoundBesideTheProgramAndInPrototipoForAPrototype)
{
    AddMachineTypes();
    catalogue.WriteFile("RELES_C200.TXT", "");
    catalogue.WriteFile("DISP_C1.TXT", "");
    catalogue.WriteFile("Prototipo/RELES_P30.TXT", "");
    catalogue.WriteFile("Prototipo/DISP_P30.TXT", "");
    catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C", .dispenserFile = "disp_c1.txt",
                                .relayFile = "RELES_C200.TXT"});
    catalogue.AddConfiguration({.code = 30, .machineType = 3, .description = "P", .prototype = true,
                                .dispenserFile = "DISP_P30.TXT", .relayFile = "RELES_P30.TXT"});
    LeeDbConfiguraciones reader;
    const QString folder = catalogue.catalogueFolder();
    const struct {
        int code;
        QString relays;
        QString dispensers;
    } cases[] = {
        {1, folder + "/RELES_C200.TXT", folder + "/DISP_C1.TXT"},
        {30, folder + "/Prototipo/RELES_P30.TXT", folder + "/Prototipo/DISP_P30.TXT"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(reader.LeeFicheroReles(c.code), c.relays) << c.code;
        EXPECT_EQ(reader.LeeFicheroDispensadores(c.code), c.dispensers) << c.code;
    }
}

TEST_F(CatalogueReadersTest, AMissingDeviceFileGivesThePathBelowWorkDir)
{
    AddMachineTypes();
    SetWorkDir(app.tempPath("work/"));
    catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C", .dispenserFile = "DISP_C1.TXT",
                                .relayFile = "RELES_C200.TXT"});
    LeeDbConfiguraciones reader;
    EXPECT_EQ(reader.LeeFicheroReles(1), app.tempPath("work/configormi/RELES_C200.TXT"));
    EXPECT_EQ(reader.LeeFicheroDispensadores(1), app.tempPath("work/configormi/DISP_C1.TXT"));
}

TEST_F(CatalogueReadersTest, TheT38ATypesAndConfigurationsWithoutFilesHaveNoDeviceFiles)
{
    catalogue.AddMachineType(1, "Dravolino C-200");
    for (int type = 5; type <= 7; ++type)
        catalogue.AddMachineType(type, "T38A", true);
    catalogue.WriteFile("RELES.TXT", "");
    catalogue.WriteFile("DISP.TXT", "");
    // T38A types have none even when a file is named.
    for (int type = 5; type <= 7; ++type)
        catalogue.AddConfiguration(
            {.code = 20 + type, .machineType = type, .description = "T", .dispenserFile = "DISP.TXT", .relayFile = "RELES.TXT"});
    catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C"});
    catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "C", .dispenserFile = "", .relayFile = ""});
    LeeDbConfiguraciones reader;
    for (int code : {25, 26, 27, 1, 2, 99}) {
        EXPECT_EQ(reader.LeeFicheroReles(code), "") << code;
        EXPECT_EQ(reader.LeeFicheroDispensadores(code), "") << code;
    }
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CatalogueReadersTest, AMissingDatabaseIsReportedOnceAndEveryAnswerIsEmpty)
{
    QFile::remove(catalogue.configurationsPath());
    LeeDbConfiguraciones reader;
    EXPECT_FALSE(reader.IsOpen());
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].contains("CONFIGURACIONES.MDB")) << Boxes()[0].toStdString();

    QString machineType = "kept";
    QString configuration = "kept";
    int code = 7;
    EXPECT_FALSE(reader.LeeSiguienteConfiguracion(machineType, configuration, code));
    EXPECT_EQ(machineType, "kept");
    EXPECT_EQ(code, 7);
    EXPECT_FALSE(reader.UsaPulsosCaudalimetro(1));
    EXPECT_EQ(reader.LeeNombreConfiguracion(1), "");
    EXPECT_EQ(reader.LeeFicheroImagen(1), "");
    EXPECT_EQ(reader.LeeFicheroReles(1), "");
    EXPECT_EQ(reader.LeeFicheroDispensadores(1), "");
    EXPECT_EQ(Boxes().size(), 1);
}

TEST_F(CatalogueReadersTest, ReadersOfBothDatabasesOpenTogether)
{
    AddMachineTypes();
    catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "C"});
    LeeDbConfiguraciones outer;
    QString machineType;
    QString configuration;
    int code = 0;
    ASSERT_TRUE(outer.LeeSiguienteConfiguracion(machineType, configuration, code));
    LeeDbConfiguraciones inner;
    LeeDbNombresProductos names;
    LeeDbNombresProductos moreNames;
    EXPECT_TRUE(inner.IsOpen());
    EXPECT_TRUE(names.IsOpen());
    EXPECT_TRUE(moreNames.IsOpen());
    EXPECT_EQ(inner.LeeNombreConfiguracion(2), "Dravolino C-200: C");
    EXPECT_TRUE(Boxes().isEmpty());
    EXPECT_FALSE(outer.LeeSiguienteConfiguracion(machineType, configuration, code));
}

// --- the product-name database ---

TEST_F(CatalogueReadersTest, RelayNamesAreOnlyTrimmedForASpanishInterface)
{
    catalogue.AddRelayName(18, "VALVULA 1", 0);
    catalogue.AddRelayName(18, "WATER VALVE 1", 2);
    LeeDbNombresProductos reader;
    EXPECT_EQ(reader.TraduceNombreRele("  VALVULA 1 \t"), "VALVULA 1");
}

TEST_F(CatalogueReadersTest, RelayNamesAreTranslatedIntoEnglishForAnyOtherInterface)
{
    catalogue.AddRelayName(18, "VALVULA 1", 0);
    catalogue.AddRelayName(18, "WATER VALVE 1", 2);
    catalogue.AddRelayName(25, "BUILDER'S TÉ", 0);
    catalogue.AddRelayName(25, "BUILDER'S TEA", 2);
    catalogue.AddRelayName(26, "SIN TRADUCCION", 0);
    SetInterfaceLanguage(3);
    LeeDbNombresProductos reader;
    const std::pair<QByteArray, QByteArray> cases[] = {
        {" VALVULA 1 ", "WATER VALVE 1"},
        {"valvula 1", "WATER VALVE 1"}, // the engine compares without case
        {"MOLINILLO 9", "MOLINILLO 9"},
        {"SIN TRADUCCION", "SIN TRADUCCION"},
        // An apostrophe is quoted, never ends the statement's text; the answer is the display
        // form of the database layer.
        {"BUILDER'S T\xC9", "BUILDER`S TEA"},
        {"X' OR '1'='1", "X' OR '1'='1"},
    };
    for (const auto& [name, translated] : cases)
        EXPECT_EQ(reader.TraduceNombreRele(name), translated) << name.toStdString();
    EXPECT_TRUE(Boxes().isEmpty()) << Boxes().join('|').toStdString();
}

TEST_F(CatalogueReadersTest, ProductNamesComeInNameOrderAsCodePage1252Bytes)
{
    catalogue.AddProductName(0, "---", 1);
    catalogue.AddProductName(1, "CAFÉ NOIR", 1);
    catalogue.AddProductName(7, "ORZO D'ITALIE", 1);
    catalogue.AddProductName(2, "ALLONGÉ", 1);
    catalogue.AddProductName(1, "ESPRESSO", 2);
    SetProductNameLanguage(1);
    LeeDbNombresProductos reader;
    EXPECT_EQ(reader.GetProductNameLanguage(), 1);
    const std::vector<std::pair<QByteArray, int>> expected = {
        {"---", 0}, {"ALLONG\xC9", 2}, {"CAF\xC9 NOIR", 1}, {"ORZO D'ITALIE", 7}};
    EXPECT_EQ(ProductNames(reader), expected);
    EXPECT_EQ(ProductNames(reader), expected);

    reader.SetProductNameLanguage(2);
    EXPECT_EQ(ProductNames(reader), (std::vector<std::pair<QByteArray, int>>{{"ESPRESSO", 1}}));
    reader.SetProductNameLanguage(4);
    EXPECT_TRUE(ProductNames(reader).empty());
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CatalogueReadersTest, TheDescriptionOfAProductNameLeavesTheNameListGoingOn)
{
    catalogue.AddProductName(1, "CAFÉ", 0, "Café solo", "CAFE\\P001.BMP");
    catalogue.AddProductName(7, "ORZO D'ITALIA", 0, "Caffè d'orzo", QVariant());
    catalogue.AddProductName(9, "TÉ", 0);
    LeeDbNombresProductos reader;
    QByteArray name;
    int product = 0;
    ASSERT_TRUE(reader.LeeSiguienteNombreProducto(name, product));
    EXPECT_EQ(name, "CAF\xC9");

    QString description;
    QString picture;
    EXPECT_TRUE(reader.LeeDescripcionProducto("CAF\xC9", description, picture));
    EXPECT_EQ(description, "Café solo");
    EXPECT_EQ(picture, "CAFE\\P001.BMP");
    reader.LeeDescripcionProducto("ORZO D'ITALIA", description, picture);
    EXPECT_EQ(description, "Caffè d'orzo");
    EXPECT_EQ(picture, "");
    EXPECT_TRUE(reader.LeeDescripcionProducto("NO EXISTE", description, picture));
    EXPECT_EQ(description, "");
    EXPECT_EQ(picture, "");

    ASSERT_TRUE(reader.LeeSiguienteNombreProducto(name, product));
    EXPECT_EQ(name, "ORZO D'ITALIA");
    ASSERT_TRUE(reader.LeeSiguienteNombreProducto(name, product));
    EXPECT_EQ(product, 9);
    EXPECT_FALSE(reader.LeeSiguienteNombreProducto(name, product));
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(CatalogueReadersTest, WithoutTheProductNameDatabaseEveryAnswerIsEmpty)
{
    QFile::remove(catalogue.productNamesPath());
    SetInterfaceLanguage(2);
    LeeDbNombresProductos reader;
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.GetConnection(), nullptr);
    ASSERT_EQ(Boxes().size(), 1);
    EXPECT_TRUE(Boxes()[0].contains("NombresProductos.MDB"));

    EXPECT_EQ(reader.TraduceNombreRele(" VALVULA 1 "), "VALVULA 1");
    QByteArray name = "kept";
    int product = 5;
    EXPECT_FALSE(reader.LeeSiguienteNombreProducto(name, product));
    EXPECT_EQ(name, "kept");
    QString description = "old";
    QString picture = "old";
    EXPECT_FALSE(reader.LeeDescripcionProducto("CAFE", description, picture));
    EXPECT_EQ(description, "");
    EXPECT_EQ(picture, "");
    EXPECT_EQ(Boxes().size(), 1);
}

TEST_F(CatalogueReadersTest, ProductIndicesThatAreNoWholeNumbersAreSkippedAndReportedOnceAList)
{
    // 1,000 names: 50 good ones, then ids that are text or beyond 32 bits.
    catalogue.Run(catalogue.productNamesPath(),
                  "WITH RECURSIVE N(I) AS (SELECT 1 UNION ALL SELECT I+1 FROM N WHERE I<1000) "
                  "INSERT INTO NOMBRES_PRODUCTOS (PRODUCTO, NOMBRE, IDIOMA) SELECT "
                  "CASE WHEN I<=50 THEN I WHEN I<=500 THEN 'x' || I ELSE 3000000000 + I END, "
                  "CASE WHEN I<=50 THEN 'P' ELSE CASE WHEN I<=500 THEN 'Y' ELSE 'Z' END END || "
                  "substr('0000' || I, -4), 0 FROM N");
    LeeDbNombresProductos reader;
    for (int pass = 0; pass < 2; ++pass) {
        const auto names = ProductNames(reader);
        ASSERT_EQ(names.size(), 50u);
        EXPECT_EQ(names.front(), std::make_pair(QByteArray("P0001"), 1));
        EXPECT_EQ(names.back(), std::make_pair(QByteArray("P0050"), 50));
        // Each list reports its first bad row.
        EXPECT_EQ(Boxes(), QStringList(pass + 1, "Error en la base de datos " + QDir::toNativeSeparators(catalogue.productNamesPath())
                                                     + ":\nNo coinciden los tipos de datos."));
    }
}

TEST_F(CatalogueReadersTest, RelayNamesThatCannotBeReadAreReportedOnceAndStayUntranslated)
{
    SetInterfaceLanguage(1);
    catalogue.Run(catalogue.productNamesPath(), "DROP TABLE NOMBRES_RELES");
    LeeDbNombresProductos reader;
    EXPECT_EQ(reader.TraduceNombreRele(" VALVULA 1 "), "VALVULA 1");
    EXPECT_EQ(reader.TraduceNombreRele("SOLTADOR VASOS"), "SOLTADOR VASOS");
    EXPECT_EQ(Boxes(), QStringList({"Error en la base de datos " + QDir::toNativeSeparators(catalogue.productNamesPath())
                                    + ":\nno such table: NOMBRES_RELES"}));
}

TEST_F(CatalogueReadersTest, ADescriptionThatCannotBeLookedUpIsReportedNamingTheDatabase)
{
    catalogue.AddProductName(1, "CAFE", 0, "Café solo", "CAFE\\P001.BMP");
    catalogue.Run(catalogue.productNamesPath(), "ALTER TABLE NOMBRES_PRODUCTOS DROP COLUMN FILE_BMP");
    LeeDbNombresProductos reader;
    QString description = "old";
    QString picture = "old";
    EXPECT_FALSE(reader.LeeDescripcionProducto("CAFE", description, picture));
    EXPECT_EQ(description, "");
    EXPECT_EQ(picture, "");
    EXPECT_EQ(Boxes(), QStringList({"Error en la base de datos " + QDir::toNativeSeparators(catalogue.productNamesPath())
                                    + ":\nno such column: FILE_BMP"}));
}

TEST(CatalogueFixtureTest, AStatementOnADatabaseThatDoesNotOpenFailsTheTestAndLeaksNothing)
{
    EXPECT_FATAL_FAILURE(CatalogueFixture::Run("/nonexistent/configormi/CONFIGURACIONES.MDB", "SELECT 1"),
                         "unable to open database file");
}
