#include "export/ExportaDatabase.h"

#include "db/FindCatalogueFile.h"
#include "db/LeeDbNombresProductos.h"

#include "tests/db/WriteProtectionVfs.h"
#include "tests/export/ManagementDatabase.h"
#include "tests/export/ScriptedExportOptionsHost.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/DamagedFiles.h"

#include <sqlite3.h>

#include <QDir>
#include <QFileInfo>

#include <functional>

#include <memory>

namespace {

const QString NoDatabase = QStringLiteral("Imposible abrir el fichero de base de datos global");
const QString Outdated = QStringLiteral("La base de datos de Pemvora Zentrolux no esta actualizada. Actualicela desde "
                                        "Tarvenkit/ Actualizar formato de la base de datos para poder exportar la "
                                        "configuración.");
const QString Now = QStringLiteral("2024-03-05 14:07:09");

// Machines 3 (type 42), 4 (87) and 5 (95) at site 1; twenty channels and keys for each of their
// configurations; three record options of type 42; the union options of each type, numbered
// from 500, 600 and 700.
const char* const BaseRows =
    "INSERT INTO EMPLAZAMIENTOS VALUES (1,'BAR',NULL);"
    "INSERT INTO TIPO_MAQUINAS VALUES (42,2),(87,8),(95,8),(100,8);"
    "INSERT INTO MAQUINAS VALUES (3,42,1,0,5,51,1),(4,87,1,0,6,234,1),(5,95,1,0,7,254,1);"
    "INSERT INTO CONFIG_MAQ VALUES (51),(59),(234),(254);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20) "
    "INSERT INTO CONFIG_CAN SELECT c.v,i,i FROM n,(SELECT 51 AS v UNION SELECT 234 UNION SELECT 254) AS c;"
    "INSERT INTO CONFIG_TEC SELECT * FROM CONFIG_CAN;"
    "INSERT INTO TIPOS_OPCIONES VALUES (100,42,30,0,0,0),(101,42,30,1,0,0),(102,42,32,5,0,0);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20) "
    "INSERT INTO TIPOS_OPCIONES SELECT 499+i,42,NULL,NULL,12,i FROM n WHERE i<=18 "
    "UNION ALL SELECT 599+i,87,NULL,NULL,31,i FROM n WHERE i<=15 "
    "UNION ALL SELECT 699+i,95,NULL,NULL,31,i FROM n;";

} // namespace

class ExportaDatabaseTest : public ManagementDatabase {
protected:
    ExportaDatabaseTest() { app.profile().WriteString("Configuracion", "Database", database()); }

    QString database() const { return Path(QStringLiteral("z.mdb")); }
    void make(const QString& rows = QString()) { MakeManagement(QStringLiteral("z.mdb"), QLatin1String(BaseRows) + rows); }
    QStringList rows(const QString& select) const { return Rows(database(), select); }

    // An exporter opened on the machine with the options, or a test failure.
    std::unique_ptr<ExportaDatabase> open(int type, long machine, bool products, bool unionOption)
    {
        options.queueOk(machine, products, unionOption);
        auto exporter = std::make_unique<ExportaDatabase>(type, options, clock);
        EXPECT_TRUE(exporter->AbreExportacion());
        return exporter;
    }
    // Commits and closes the export.
    static void commit(std::unique_ptr<ExportaDatabase>& exporter)
    {
        EXPECT_TRUE(exporter->commitExport());
        exporter.reset();
    }

    CatalogueFixture catalogue{app};
    ScriptedExportOptionsHost options;
};

TEST_F(ExportaDatabaseTest, TheDatabaseThatDoesNotOpenEndsTheExportWith1200)
{
    make();
    const QString missing = Path(QStringLiteral("none.mdb"));
    const QString writeProtected = MakeManagement(QStringLiteral("protected.mdb"), QLatin1String(BaseRows));
    ASSERT_TRUE(QFile::setPermissions(writeProtected, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const WriteProtectionVfs protection;
    struct Case {
        const char* what;
        QString path;
        bool heldElsewhere;
    };
    const Case cases[] = {
        {"no path in the profile", QString(), false},
        {"a missing file", missing, false},
        {"a database open elsewhere", database(), true},
        {"a write-protected file", writeProtected, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearBoxes();
        app.profile().WriteString("Configuracion", "Database", c.path);
        std::unique_ptr<DAODBConnection> other = c.heldElsewhere ? OpenDatabase(database(), true) : nullptr;
        ExportaDatabase exporter(42, options, clock);
        EXPECT_FALSE(exporter.AbreExportacion());
        // The layer's reason at most, then 1200 once.
        ASSERT_FALSE(Boxes().isEmpty());
        EXPECT_LE(Boxes().size(), 2);
        EXPECT_EQ(Boxes().last(), NoDatabase);
        EXPECT_EQ(Boxes().count(NoDatabase), 1);
        EXPECT_EQ(exporter.connection(), nullptr);
        EXPECT_TRUE(options.opened().isEmpty());
        EXPECT_FALSE(exporter.EscribeByte(30, 0, 1, 1));
    }
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(ExportaDatabaseTest, AMachineRowIsMadeWhenTheTypeHasNone)
{
    struct Case {
        const char* what;
        const char* rows;
        const char* currency;
        const char* expected; // the new row of type 100
    };
    const Case cases[] = {
        {"the default model of the type", "INSERT INTO MODELO_MAQUINA VALUES (8,100,0),(9,100,1),(10,100,0),(11,42,1);",
         "3", "6|100|3|5|9|51"},
        {"no default: the highest model", "INSERT INTO MODELO_MAQUINA VALUES (8,100,0),(10,100,0),(11,42,1);", "3",
         "6|100|3|5|10|51"},
        {"no model of the type", "INSERT INTO MODELO_MAQUINA VALUES (11,42,1);", nullptr, "6|100|2|5|9999|51"},
        {"a currency that is not a number", "", "2);DELETE FROM MAQUINAS;--", "6|100|2|5|9999|51"},
        {"an empty machine table", "DELETE FROM MAQUINAS;", " 7 ", "1|100|7|5|9999|51"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make(QLatin1String(c.rows));
        if (c.currency)
            app.profile().WriteString("Configuracion", "Moneda", QLatin1String(c.currency));
        else
            app.profile().WriteString("Configuracion", "Moneda", QString());
        const QString code = QString(QLatin1String(c.expected)).section(QLatin1Char('|'), 0, 0);
        auto exporter = open(100, code.toLong(), false, false);
        ASSERT_EQ(options.opened().size(), 1);
        EXPECT_EQ(options.opened().first().machineType, 100);
        EXPECT_TRUE(options.opened().first().withConnection);
        commit(exporter);
        EXPECT_EQ(rows("SELECT CODIGO,TIPO,DIVISA,MODO_COM,MODELO,CONFIGURACION FROM MAQUINAS WHERE TIPO=100"),
                  QStringList{QLatin1String(c.expected)});
        EXPECT_EQ(rows("SELECT COUNT(*) FROM MAQUINAS").first().toInt(), *c.rows == 'D' ? 1 : 4);
        options = ScriptedExportOptionsHost();
        QFile::remove(database());
    }
}

TEST_F(ExportaDatabaseTest, ACancelOrNoFocusedRowEndsSilentlyAndKeepsOnlyTheNewMachineRow)
{
    make();
    // The machine row made for the type stays, so that it can be given a site; the next
    // opening finds it and makes no other.
    const QStringList machines = rows("SELECT * FROM MAQUINAS") + QStringList{"6|100|2|5|9999|51|NULL"};
    const QStringList channels = rows("SELECT * FROM CANALES_MAQUINAS");
    for (bool cancel : {true, false}) {
        SCOPED_TRACE(cancel ? "cancel" : "no row");
        if (cancel)
            options.queueCancel();
        else
            options.queueOk(0, true, true);
        {
            ExportaDatabase exporter(100, options, clock);
            EXPECT_FALSE(exporter.AbreExportacion());
        }
        EXPECT_EQ(Boxes(), QStringList());
        EXPECT_EQ(rows("SELECT * FROM MAQUINAS"), machines);
        EXPECT_EQ(rows("SELECT * FROM CANALES_MAQUINAS"), channels);
    }
}

TEST_F(ExportaDatabaseTest, AConfigurationUpdateThatChangesNoRowShows1582)
{
    make();
    options.queueOk(77, true, false);
    ExportaDatabase exporter(42, options, clock);
    EXPECT_FALSE(exporter.AbreExportacion());
    EXPECT_EQ(Boxes(), QStringList{Outdated});
}

TEST_F(ExportaDatabaseTest, EachOptionSetsTheConfigurationOfItsTypeAndRebuildsTheChannels)
{
    make("UPDATE MAQUINAS SET CONFIGURACION=9999;");
    const struct {
        int type;
        long machine;
        const char* configuration;
    } cases[] = {{42, 3, "51"}, {87, 4, "234"}, {95, 5, "254"}};
    for (const auto& c : cases) {
        auto exporter = open(c.type, c.machine, c.type != 87, c.type == 87);
        commit(exporter);
        EXPECT_EQ(rows(QStringLiteral("SELECT CONFIGURACION FROM MAQUINAS WHERE CODIGO=%1").arg(c.machine)),
                  QStringList{QLatin1String(c.configuration)});
        EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM CANALES_MAQUINAS WHERE CODIGO=%1").arg(c.machine)),
                  QStringList{QStringLiteral("20")});
    }
    EXPECT_EQ(Boxes(), QStringList(3, QStringLiteral("Datos exportados correctamente a la base de datos. Puede ir a "
                                                      "Zentrolux Lite para grabar una tarjeta de programación para "
                                                      "esta máquina.")));
}

TEST_F(ExportaDatabaseTest, WithoutOptionsOnlyOptionValuesAreWritten)
{
    make("UPDATE MAQUINAS SET CONFIGURACION=9999 WHERE CODIGO=3;");
    auto exporter = open(42, 3, false, false);
    EXPECT_TRUE(exporter->EscribeByte(30, 0, 5, 1));
    exporter->AsignaProducto(1, "CAFE");
    EXPECT_TRUE(exporter->FinalizaExportacion());
    commit(exporter);
    EXPECT_EQ(rows("SELECT * FROM OPCIONES_MAQUINAS"), QStringList{"3|100|1|5|" + Now});
    EXPECT_EQ(rows("SELECT CONFIGURACION FROM MAQUINAS WHERE CODIGO=3"), QStringList{QStringLiteral("9999")});
    for (const char* table : {"PRODUCTOS", "FAMILIA_PRODUCTOS", "CANALES_MAQUINAS", "PRECIOS_PRODUCTOS", "TECLASCANAL"})
        EXPECT_EQ(rows(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(table))), QStringList()) << table;
}

TEST_F(ExportaDatabaseTest, ValueTextsAreDecimalForOneByteElseHexAndASecondExportUpdatesTheRow)
{
    const struct {
        QByteArray payload;
        const char* text;
    } cases[] = {
        {QByteArray(1, char(5)), "5"},       {QByteArray(1, char(200)), "200"},   {QByteArray(1, '\0'), "0"},
        {QByteArray("\x01\x2C", 2), "012C"}, {QByteArray("\x12\xAB", 2), "12AB"}, {QByteArray(), ""},
    };
    make("INSERT INTO OPCIONES_MAQUINAS VALUES (3,101,0,'old','2000-01-01 00:00:00');");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto exporter = open(42, 3, false, false);
        EXPECT_TRUE(exporter->EscribeDatos(30, 0, c.payload));
        EXPECT_TRUE(exporter->EscribeDatos(30, 1, c.payload));
        commit(exporter);
        EXPECT_EQ(rows("SELECT * FROM OPCIONES_MAQUINAS ORDER BY NUMERO"),
                  (QStringList{QStringLiteral("3|100|1|%1|%2").arg(QLatin1String(c.text), Now),
                               QStringLiteral("3|101|1|%1|%2").arg(QLatin1String(c.text), Now)}));
    }
}

TEST_F(ExportaDatabaseTest, ARecordWithoutItsOptionIsRefusedWith1562)
{
    make();
    auto exporter = open(42, 3, false, false);
    EXPECT_FALSE(exporter->EscribeDatos(30, 7, QByteArray("\x01", 1)));
    EXPECT_TRUE(exporter->recordRefused());
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("Direccion 30 campo 7 no encontrados en base de datos")});
    // Another machine type's option does not count.
    exporter.reset();
    exporter = open(87, 4, false, false);
    EXPECT_FALSE(exporter->EscribeByte(32, 5, 1, 1));
    EXPECT_EQ(Boxes().last(), QStringLiteral("Direccion 32 campo 5 no encontrados en base de datos"));
}

TEST_F(ExportaDatabaseTest, TheDatabaseIsRolledBackBeforeTheFailureIsShown)
{
    // FAIL keeps the refused row and those before it in the transaction until it is rolled back.
    const struct {
        const char* what;
        const char* trigger;
        int machineType;
        const char* count; // what the engine holds while a box is up
    } cases[] = {
        {"an option refused after another", "AFTER INSERT ON OPCIONES_MAQUINAS WHEN NEW.NUMERO=101", 42,
         "SELECT COUNT(*) FROM OPCIONES_MAQUINAS"},
        {"the new machine row refused", "AFTER INSERT ON MAQUINAS", 100, "SELECT COUNT(*) FROM MAQUINAS WHERE TIPO=100"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        make(QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(FAIL,'refused'); END;").arg(QLatin1String(c.trigger)));
        ClearBoxes();
        options.queueOk(3, false, false);
        ExportaDatabase exporter(c.machineType, options, clock);
        // Read straight through the engine, on the export's own connection: the file is the
        // export's alone while it runs.
        int inspected = 0;
        app.messages().onShow = [&] {
            ++inspected;
            auto* connection = dynamic_cast<DAODBConnection*>(exporter.connection());
            ASSERT_NE(connection, nullptr);
            EXPECT_EQ(connection->GetTransDepth(), 0);
            EXPECT_NE(sqlite3_get_autocommit(connection->Handle()), 0);
            sqlite3_stmt* statement = nullptr;
            ASSERT_EQ(sqlite3_prepare_v2(connection->Handle(), c.count, -1, &statement, nullptr), SQLITE_OK);
            EXPECT_EQ(sqlite3_step(statement), SQLITE_ROW);
            EXPECT_EQ(sqlite3_column_int(statement, 0), 0);
            sqlite3_finalize(statement);
        };
        if (exporter.AbreExportacion()) {
            EXPECT_TRUE(exporter.EscribeByte(30, 0, 1, 1));
            EXPECT_FALSE(exporter.EscribeByte(30, 1, 1, 1));
        }
        app.messages().onShow = nullptr;
        EXPECT_EQ(Boxes().size(), 2) << Boxes().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(Boxes().value(0), QStringLiteral("refused"));
        EXPECT_EQ(inspected, 2);
        QFile::remove(database());
    }
}

TEST_F(ExportaDatabaseTest, NewProductsTakeTheHighestFreeCodeAfterACodeInUse)
{
    const struct {
        const char* products;
        const char* families;
        const char* product;
        const char* family;
    } cases[] = {
        {"(1),(2),(3),(9997)", "", "4", "0"},
        {"(9995),(9996),(9997)", "(5),(9998)", "1", "6"},
        {"", "(9998)", "1", "0"},
        {"(9998),(9999),(40)", "", "41", "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.products);
        QString setup;
        if (*c.products)
            setup += QStringLiteral("INSERT INTO PRODUCTOS (CODIGO) VALUES %1;").arg(QLatin1String(c.products));
        if (*c.families)
            setup += QStringLiteral("INSERT INTO FAMILIA_PRODUCTOS (CODIGO) VALUES %1;").arg(QLatin1String(c.families));
        make(setup);
        auto exporter = open(42, 3, true, false);
        exporter->AsignaProducto(2, "MOKA");
        commit(exporter);
        EXPECT_EQ(rows("SELECT CODIGO,FAMILIA FROM PRODUCTOS WHERE DESCRIPCION='MOKA'"),
                  QStringList{QStringLiteral("%1|%2").arg(QLatin1String(c.product), QLatin1String(c.family))});
        EXPECT_EQ(rows("SELECT CODIGO FROM FAMILIA_PRODUCTOS WHERE NOMBRE='CAFE'"), QStringList{QLatin1String(c.family)});
        EXPECT_EQ(rows("SELECT PRODUCTO_CANAL FROM CANALES_MAQUINAS WHERE CODIGO=3 AND NUMERO='2'"),
                  QStringList{QLatin1String(c.product)});
        QFile::remove(database());
    }
}

TEST_F(ExportaDatabaseTest, ProductsAreFoundByDescriptionThenByNameAndMadeOnce)
{
    // The catalogue's long description is looked up under the cleaned name; a name with an
    // apostrophe in its description is stored as it is.
    catalogue.AddProductName(1, QStringLiteral("CORTADO"), 0, QStringLiteral("Cortado con leche"));
    catalogue.AddProductName(2, QStringLiteral("TE"), 0, QStringLiteral("TÉ D'ORIENT"));
    make("INSERT INTO PRODUCTOS VALUES (20,1,'cortado con leche',NULL),(21,1,'SOLO',NULL);"
         "INSERT INTO FAMILIA_PRODUCTOS VALUES (4,'cafe');");
    auto exporter = open(42, 3, true, false);
    exporter->AsignaProducto(1, "  cortado ");
    exporter->AsignaProducto(2, "solo");
    exporter->AsignaProducto(3, "  leche d'oro  ");
    exporter->AsignaProducto(4, "LECHE D ORO");
    exporter->AsignaProducto(5, "te");
    exporter->AsignaProducto(6, "caf\xe9");
    exporter->AsignaProducto(7, "   ");
    EXPECT_EQ(exporter->lastProduct(), 7);
    commit(exporter);
    EXPECT_EQ(rows("SELECT * FROM PRODUCTOS ORDER BY CODIGO"),
              (QStringList{"20|1|cortado con leche|NULL", "21|1|SOLO|NULL", "22|4|LECHE D ORO|NULL",
                           QStringLiteral("23|4|TÉ D'ORIENT|NULL"), QStringLiteral("24|4|CAFÉ|NULL")}));
    EXPECT_EQ(rows("SELECT NUMERO,PRODUCTO_CANAL FROM CANALES_MAQUINAS WHERE CODIGO=3 AND CAST(NUMERO AS INTEGER)<=8 "
                   "ORDER BY CAST(NUMERO AS INTEGER)"),
              (QStringList{"1|20", "2|21", "3|22", "4|22", "5|23", "6|24", "7|9999", "8|9999"}));
    EXPECT_EQ(Boxes().size(), 1);
}

TEST_F(ExportaDatabaseTest, ACatalogueThatCannotBeReadIsReportedOnceAndTheProductsGoByTheirNames)
{
    const QString names = catalogue.productNamesPath();
    const struct {
        const char* what;
        std::function<bool()> spoil;
        const char* box; // %1: the product-name database the program looks for
    } cases[] = {
        {"no product-name database", [&] { return QFile::remove(names); }, "unable to open database file (%1)"},
        {"a file that is no database", [&] { return DamagedFiles::MakeFile(names, QByteArray(4096, 'x')); },
         "file is not a database (%1)"},
        {"no table of product names",
         [&] {
             CatalogueFixture::Run(names, QStringLiteral("DROP TABLE NOMBRES_PRODUCTOS"));
             return true;
         },
         "Error en la base de datos %1:\nno such table: NOMBRES_PRODUCTOS"},
        {"damaged product names", [&] { return DamagedFiles::DamageTablePages(names, {"NOMBRES_PRODUCTOS"}); },
         "Error en la base de datos %1:\ndatabase disk image is malformed"},
    };
    catalogue.AddProductName(1, QStringLiteral("TE"), 0, QStringLiteral("TE CON LIMON"), QStringLiteral("C:\\TE.BMP"));
    const QString clean = Path(QStringLiteral("names.clean"));
    ASSERT_TRUE(QFile::copy(names, clean));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(names);
        ASSERT_TRUE(QFile::copy(clean, names));
        ASSERT_TRUE(c.spoil());
        make();
        ClearBoxes();
        auto exporter = open(42, 3, true, false);
        for (const char* name : {"MOKA", "TE", "SOLO"})
            exporter->AsignaProducto(exporter->lastProduct() + 2, name);
        commit(exporter);
        // The first look-up's failure, then the export's word.
        ASSERT_EQ(Boxes().size(), 2) << Boxes().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(Boxes().first(),
                  QString::fromUtf8(c.box).arg(QDir::toNativeSeparators(
                      QFileInfo(FindCatalogueFile(LeeDbNombresProductos::DatabaseName())).absoluteFilePath())));
        EXPECT_EQ(rows("SELECT DESCRIPCION,FILE_DRAW FROM PRODUCTOS ORDER BY DESCRIPCION"),
                  (QStringList{"MOKA|NULL", "SOLO|NULL", "TE|NULL"}));
        QFile::remove(database());
    }
}

TEST_F(ExportaDatabaseTest, PicturesOfType87TakeT38AOneCharacterIntoTheName)
{
    const struct {
        int type;
        long machine;
        const char* picture;
        const char* stored;
    } cases[] = {
        {87, 4, "C:\\CAFE\\ABC.BMP", "C:\\CAFE\\AT38ABC.BMP"},
        {87, 4, "C:\\IMG\\X\\CAFE\\B.BMP", "C:\\IMG\\X\\CAFE\\BT38A.BMP"},
        {87, 4, "D:\\X\\ABC.BMP", "D:\\X\\T38AABC.BMP"},
        {87, 4, "A.B", "A.BT38A"},
        {87, 4, "C:\\cafe\\ABC.BMP", "C:\\caT38Afe\\ABC.BMP"},
        {42, 3, "C:\\CAFE\\ABC.BMP", "C:\\CAFE\\ABC.BMP"},
        {95, 5, "C:\\CAFE\\O'NEIL.BMP", "C:\\CAFE\\O'NEIL.BMP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picture);
        CatalogueFixture::Run(catalogue.productNamesPath(), QStringLiteral("DELETE FROM NOMBRES_PRODUCTOS"));
        catalogue.AddProductName(1, QStringLiteral("MOKA"), 0, QVariant(), QString::fromLatin1(c.picture));
        catalogue.AddProductName(2, QStringLiteral("SOLO"), 0, QVariant(), QStringLiteral("C:\\CAFE\\NEW.BMP"));
        make("INSERT INTO PRODUCTOS VALUES (30,1,'SOLO','C:\\OLD.BMP');");
        auto exporter = open(c.type, c.machine, true, false);
        exporter->AsignaProducto(1, "MOKA");
        exporter->AsignaProducto(2, "SOLO");
        commit(exporter);
        EXPECT_EQ(rows("SELECT FILE_DRAW FROM PRODUCTOS ORDER BY CODIGO"),
                  (QStringList{QStringLiteral("C:\\OLD.BMP"), QString::fromLatin1(c.stored)}));
        QFile::remove(database());
    }
}

TEST_F(ExportaDatabaseTest, TheUnionOptionsFollowTheLastProductOfTheType)
{
    const struct {
        const char* what;
        int type;
        long machine;
        int products;
        QStringList values; // by option number
        const char* configuration;
    } cases[] = {
        {"42 with 5", 42, 3, 5,
         {"500|T02C01", "501|T03C02", "502|T04C03", "503|T05C04", "504|T06C05"}, "51"},
        {"42 with 18", 42, 3, 18,
         {"500|T02C01", "501|T03C02", "502|T04C03", "503|T05C04", "504|T06C05", "505|T07C14", "506|T08C11",
          "507|T09C12", "508|T10C07", "509|T11C08", "510|T12C10", "511|T13C15", "512|T14C06", "513|T15C09",
          "514|T16C13", "515|T17C17", "516|T18C18", "517|T19C16"},
         "59"},
        {"42 with 20", 42, 3, 20, {}, "51"},
        {"87 with 20", 87, 4, 20, {}, "234"},
        {"95 with 20", 95, 5, 20, {}, "254"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        make("INSERT INTO OPCIONES_MAQUINAS VALUES (3,500,0,'old',NULL);");
        auto exporter = open(c.type, c.machine, false, true);
        for (int i = 1; i <= c.products; ++i)
            exporter->AsignaProducto(i, "P");
        EXPECT_TRUE(exporter->FinalizaExportacion());
        commit(exporter);
        const QString machine = QString::number(c.machine);
        QStringList values = rows("SELECT NUMERO,VALOR FROM OPCIONES_MAQUINAS WHERE CODIGO=" + machine +
                                  " AND DIRTY=1 AND FECHA_CAMBIO='" + Now + "' ORDER BY NUMERO");
        if (c.type == 42 && c.products == 20) {
            EXPECT_EQ(values.size(), 18);
        } else if (c.type == 87) {
            ASSERT_EQ(values.size(), 15);
            EXPECT_EQ(values.first(), QStringLiteral("600|C01T01"));
            EXPECT_EQ(values.last(), QStringLiteral("614|C15T15"));
        } else if (c.type == 95) {
            EXPECT_EQ(values, QStringList());
        } else {
            EXPECT_EQ(values, c.values);
        }
        EXPECT_EQ(rows("SELECT CONFIGURACION FROM MAQUINAS WHERE CODIGO=" + machine),
                  QStringList{QLatin1String(c.configuration)});
        if (c.type == 42) {
            // The key table follows the union options: key i+1 to the channel of selection i.
            const QStringList keys = rows("SELECT TECLA,CANAL FROM TECLASCANAL WHERE MAQUINA=3 ORDER BY TECLA");
            ASSERT_FALSE(keys.isEmpty());
            EXPECT_EQ(keys.first(), QStringLiteral("2|1"));
        }
        QFile::remove(database());
    }
}

TEST_F(ExportaDatabaseTest, TheUnionWithoutProductOrBaseOptionWritesNothing)
{
    for (bool withBase : {true, false}) {
        SCOPED_TRACE(withBase ? "no product" : "no base option");
        make(withBase ? QString() : QStringLiteral("DELETE FROM TIPOS_OPCIONES WHERE \"INDEX\"=1;"));
        auto exporter = open(42, 3, false, true);
        if (!withBase)
            exporter->AsignaProducto(18, "P");
        EXPECT_FALSE(exporter->FinalizaExportacion());
        commit(exporter);
        EXPECT_EQ(rows("SELECT * FROM OPCIONES_MAQUINAS"), QStringList());
        EXPECT_EQ(rows("SELECT * FROM TECLASCANAL"), QStringList());
        // The complete configuration comes before the base option is looked for.
        EXPECT_EQ(rows("SELECT CONFIGURACION FROM MAQUINAS WHERE CODIGO=3"),
                  QStringList{QLatin1String(withBase ? "51" : "59")});
        QFile::remove(database());
    }
}
