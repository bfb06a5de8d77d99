#include "export/ZentroluxExport.h"

#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "export/ExportOptionsDialogHost.h"
#include "fw/ProgramWide.h"
#include "tests/db/FullDiskVfs.h"
#include "tests/export/ManagementDatabase.h"
#include "tests/export/ScriptedExportOptionsHost.h"
#include "tests/link/RecordingExporter.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ScriptedModelDialogHost.h"

#include <QMap>

#include <optional>

namespace {

constexpr int Classic = 1;
constexpr int T38A = 19;

const QString Exported = QStringLiteral("Datos exportados correctamente a la base de datos. Puede ir a Zentrolux Lite "
                                        "para grabar una tarjeta de programación para esta máquina.");
const QString NotExported =
    QStringLiteral("No se ha exportado nada: la base de datos ha anulado la exportación y ha quedado como estaba.");
const QString Now = QStringLiteral("2024-03-05 14:07:09");
const QString ChannelTime = QStringLiteral("2024-03-05 14:07:00");

// Fills the disk when the options dialog opens, if it is given one, then answers as the scripted host.
class FillingDiskOptionsHost : public ExportOptionsDialogHost {
public:
    FillingDiskOptionsHost(ExportOptionsDialogHost& answers, FullDiskVfs* disk)
        : m_answers(answers)
        , m_disk(disk)
    {
    }
    bool Run(ExportaZentroluxDlgData& data) override
    {
        if (m_disk)
            m_disk->setFreeBytes(0);
        return m_answers.Run(data);
    }

private:
    ExportOptionsDialogHost& m_answers;
    FullDiskVfs* m_disk;
};

const char* const Tables[] = {"MAQUINAS",       "EMPLAZAMIENTOS",   "MODELO_MAQUINA",    "TIPO_MAQUINAS",
                              "TIPOS_OPCIONES", "OPCIONES_MAQUINAS", "PRODUCTOS",        "FAMILIA_PRODUCTOS",
                              "CANALES_MAQUINAS", "PRECIOS_PRODUCTOS", "CONFIG_MAQ",     "CONFIG_CAN",
                              "CONFIG_TEC",     "TECLASCANAL"};

// Machines 3 (type 42) and 4 (type 87), each with four channels and keys; product 1 with its
// picture; the union options of type 42 from 500 and of type 87 from 600.
const char* const BaseRows =
    "INSERT INTO EMPLAZAMIENTOS VALUES (1,'BAR',NULL),(2,'HOTEL','PLANTA 2');"
    "INSERT INTO TIPO_MAQUINAS VALUES (42,2),(87,8);"
    "INSERT INTO MODELO_MAQUINA VALUES (5,42,1),(6,87,1);"
    "INSERT INTO MAQUINAS VALUES (3,42,2,5,5,51,1),(4,87,2,5,6,234,2);"
    "INSERT INTO CONFIG_MAQ VALUES (51),(59),(234);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<4) "
    "INSERT INTO CONFIG_CAN SELECT c.v,i,i FROM n,(SELECT 51 AS v UNION SELECT 234) AS c;"
    "INSERT INTO CONFIG_TEC SELECT * FROM CONFIG_CAN;"
    "INSERT INTO PRODUCTOS VALUES (1,7,'CAFE SOLO','C:\\CAFE\\SOLO.BMP');"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<18) "
    "INSERT INTO TIPOS_OPCIONES SELECT 499+i,42,NULL,NULL,12,i FROM n "
    "UNION ALL SELECT 599+i,87,NULL,NULL,31,i FROM n WHERE i<=15;";

QString valueText(const QByteArray& payload)
{
    return payload.size() == 1 ? QString::number(quint8(payload.at(0))) : QString::fromLatin1(payload.toHex().toUpper());
}

} // namespace

// The command on a classic or T38A document of three products, against a management database
// whose option types are made from the records the document compiles to.
class ZentroluxExportTest : public ManagementDatabase {
protected:
    ZentroluxExportTest()
    {
        catalogue.AddMachineType(1, "Dravolino C-200");
        catalogue.AddMachineType(6, "Dravolino T38A-C", true);
        catalogue.AddConfiguration({.code = Classic, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
        catalogue.AddConfiguration({.code = T38A, .machineType = 6, .description = "T"});
        catalogue.WriteFile("RELES_C200.TXT", "| 1 | DISPENSADOR 1 | 0xF1 | 1 |\r\n");
        catalogue.WriteFile("DISP_C1.TXT", "| 1 | 3 | 1 | 1 | 1 | 0 | 0 |\r\n");
        catalogue.AddProductName(3, QStringLiteral("TE"), 0, QStringLiteral("TE CON LIMON"), QStringLiteral("C:\\CAFE\\TE.BMP"));
        app.profile().WriteString("Configuracion", "Database", database());
    }

    QString database() const { return Path(QStringLiteral("z.mdb")); }

    // The document of the model with its products; the records it compiles to become the
    // option types (from 100, in order) of the machine type, and the database is made.
    void prepare(int model, int machineType, const QString& extraRows = QString(), int recordModel = 0)
    {
        doc.SetMachineModel(recordModel ? recordModel : model);
        models.queueOk(recordModel ? recordModel : model);
        ASSERT_TRUE(doc.SelectMachineModel());
        for (int number = 1; number <= 3; ++number) {
            static const char* const names[] = {"CAFE SOLO", " leche d'oro ", "te"};
            CDeviceCoffee* header = doc.AddDevice();
            header->SetProductNumber(number);
            header->SetSelectionNumber(number);
            header->SetName(names[number - 1]);
            CDeviceCoffee* device = doc.AddDevice();
            device->SetTypeIndex(0);
            device->SetStart(number);
            device->SetEnd(10 * number);
        }
        RecordingExporter recorder;
        ASSERT_TRUE(doc.CompileProgram(recorder));
        QString rows = QLatin1String(BaseRows);
        options_.clear();
        for (const RecordingExporter::Event& event : recorder.events()) {
            if (event.call != RecordingExporter::Call::Data && event.call != RecordingExporter::Call::Byte)
                continue;
            const QPair<int, int> address(event.block, event.field);
            if (!optionOf.contains(address)) {
                optionOf.insert(address, 100 + int(optionOf.size()));
                rows += QStringLiteral("INSERT INTO TIPOS_OPCIONES VALUES (%1,%2,%3,%4,0,0);")
                            .arg(optionOf.value(address))
                            .arg(machineType)
                            .arg(event.block)
                            .arg(event.field);
            }
            options_.insert(optionOf.value(address), valueText(event.payload));
        }
        MakeManagement(QStringLiteral("z.mdb"), rows + extraRows);
        doc.SetMachineModel(model);
    }
    void run() { ZentroluxExport(doc, options, clock).Run(); }

    QStringList rows(const QString& select) const { return Rows(database(), select); }
    // The rows of a table as sorted texts.
    QStringList table(const char* name) const
    {
        QStringList out = rows(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(name)));
        out.sort();
        return out;
    }
    QMap<QString, QStringList> everyTable() const
    {
        QMap<QString, QStringList> out;
        for (const char* name : Tables)
            out.insert(QLatin1String(name), table(name));
        return out;
    }
    // The option rows of the records, then those given, of the machine.
    QStringList optionRows(int machine, const QStringList& more) const
    {
        QStringList out;
        for (auto it = options_.begin(); it != options_.end(); ++it)
            out << QStringLiteral("%1|%2|1|%3|%4").arg(machine).arg(it.key()).arg(it.value(), Now);
        for (const QString& row : more)
            out << QStringLiteral("%1|%2|1|%3|%4").arg(machine).arg(row.section(QLatin1Char('|'), 0, 0),
                                                                     row.section(QLatin1Char('|'), 1), Now);
        out.sort();
        return out;
    }
    static QStringList channels(int machine, const QStringList& products)
    {
        QStringList out;
        for (int i = 0; i < products.size(); ++i)
            out << QStringLiteral("%1|%2|%3|0|1|0|0|100|9999|%4|10.0|%5")
                       .arg(machine)
                       .arg(i + 1)
                       .arg(i + 1)
                       .arg(products.at(i), ChannelTime);
        return out;
    }

    CatalogueFixture catalogue{app};
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    ScriptedModelDialogHost models;
    fw::ProgramWide<ModelDialogHost>::Install modelsInstall{models};
    ScriptedExportOptionsHost options;
    COrmiDoc doc;
    QMap<QPair<int, int>, int> optionOf;
    QMap<int, QString> options_; // option number → value text, as the records leave them
};

TEST_F(ZentroluxExportTest, AClassicDocumentWithBothOptions)
{
    prepare(Classic, 42);
    options.queueOk(3, true, true);
    models.queueOk(Classic);
    run();

    EXPECT_EQ(Boxes(), QStringList{Exported});
    EXPECT_EQ(table("OPCIONES_MAQUINAS"), optionRows(3, {"500|T02C01", "501|T03C02", "502|T04C03"}));
    EXPECT_EQ(table("MAQUINAS"), (QStringList{"3|42|2|5|5|51|1", "4|87|2|5|6|234|2"}));
    EXPECT_EQ(table("PRODUCTOS"),
              (QStringList{"1|7|CAFE SOLO|C:\\CAFE\\SOLO.BMP", "2|0|LECHE D ORO|NULL", "3|0|TE CON LIMON|C:\\CAFE\\TE.BMP"}));
    EXPECT_EQ(table("FAMILIA_PRODUCTOS"), QStringList{"0|CAFE"});
    EXPECT_EQ(table("CANALES_MAQUINAS"), channels(3, {"1", "2", "3", "9999"}));
    EXPECT_EQ(table("PRECIOS_PRODUCTOS"),
              (QStringList{"0|9999|1|2|10.0", "1|1|0|2|10.0", "2|2|0|2|10.0", "3|3|0|2|10.0", "4|9999|0|2|10.0"}));
    EXPECT_EQ(table("TECLASCANAL"), (QStringList{"3|2|1", "3|3|2", "3|4|3"}));
}

TEST_F(ZentroluxExportTest, AT38ADocumentWithBothOptions)
{
    prepare(T38A, 87);
    options.queueOk(4, true, true);
    models.queueOk(T38A);
    run();

    EXPECT_EQ(Boxes(), QStringList{Exported});
    ASSERT_EQ(options.opened().size(), 1);
    EXPECT_EQ(options.opened().first().machineType, 87);
    EXPECT_EQ(table("OPCIONES_MAQUINAS"), optionRows(4, {"600|C01T01", "601|C02T02", "602|C03T03"}));
    EXPECT_EQ(table("MAQUINAS"), (QStringList{"3|42|2|5|5|51|1", "4|87|2|5|6|234|2"}));
    EXPECT_EQ(table("PRODUCTOS"), (QStringList{"1|7|CAFE SOLO|C:\\CAFE\\SOLO.BMP", "2|0|LECHE D ORO|NULL",
                                               "3|0|TE CON LIMON|C:\\CAFE\\TT38AE.BMP"}));
    EXPECT_EQ(table("FAMILIA_PRODUCTOS"), QStringList{"0|CAFE"});
    EXPECT_EQ(table("CANALES_MAQUINAS"), channels(4, {"1", "2", "3", "9999"}));
    EXPECT_EQ(table("PRECIOS_PRODUCTOS"),
              (QStringList{"0|9999|1|2|10.0", "1|1|0|2|10.0", "2|2|0|2|10.0", "3|3|0|2|10.0", "4|9999|0|2|10.0"}));
    // Union kind 8: the channel is the option's index.
    EXPECT_EQ(table("TECLASCANAL"), (QStringList{"4|1|1", "4|2|2", "4|3|3"}));
}

TEST_F(ZentroluxExportTest, ARecordWithoutItsOptionLeavesEveryTableAsItWas)
{
    prepare(Classic, 42);
    // A middle record: the first product's.
    const int middle = optionOf.value({32, 1});
    ASSERT_NE(middle, 0);
    Run(database(), QStringLiteral("DELETE FROM TIPOS_OPCIONES WHERE NUMERO_OPCION=%1").arg(middle));
    const QMap<QString, QStringList> before = everyTable();
    options.queueOk(3, true, true);
    models.queueOk(Classic);
    run();
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("Direccion 32 campo 1 no encontrados en base de datos")});
    EXPECT_EQ(everyTable(), before);
}

TEST_F(ZentroluxExportTest, AProductRefusedAfterAnotherWasMadeLeavesNeitherOfThem)
{
    prepare(Classic, 42,
            QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON PRODUCTOS WHEN NEW.DESCRIPCION='TE CON LIMON' "
                           "BEGIN SELECT RAISE(ABORT,'refused'); END;"));
    const QMap<QString, QStringList> before = everyTable();
    options.queueOk(3, true, true);
    models.queueOk(Classic);
    run();
    EXPECT_EQ(Boxes(), (QStringList{"refused", NotExported})) << Boxes().join(QLatin1Char('\n')).toStdString();
    // Not even the product made before it, nor the options and channels written before.
    EXPECT_EQ(everyTable(), before);
}

TEST_F(ZentroluxExportTest, AStatementTheDatabaseRefusesStopsTheExportAndKeepsNothing)
{
    prepare(Classic, 42);
    const QString clean = Path(QStringLiteral("clean.mdb"));
    ASSERT_TRUE(QFile::copy(database(), clean));
    const struct {
        const char* step;
        QString trigger; // when the trigger refuses
        bool modelDialog;
    } steps[] = {
        // The channels are inserted by one statement; two of them before the refusal.
        {"the chosen machine's channels", "AFTER INSERT ON CANALES_MAQUINAS WHEN NEW.NUMERO='3' ", false},
        {"a record's option",
         QStringLiteral("AFTER INSERT ON OPCIONES_MAQUINAS WHEN NEW.NUMERO=%1 ").arg(optionOf.value({32, 1})), true},
        {"a new product", "AFTER INSERT ON PRODUCTOS ", true},
        {"a channel's product", "AFTER UPDATE ON CANALES_MAQUINAS WHEN NEW.PRODUCTO_CANAL<>9999 ", true},
        {"a union option", "AFTER INSERT ON OPCIONES_MAQUINAS WHEN NEW.NUMERO=501 ", true},
        {"the key table", "AFTER INSERT ON TECLASCANAL ", true},
        {"the prices at the end", "AFTER INSERT ON PRECIOS_PRODUCTOS WHEN NEW.ZONA=0 ", true},
    };
    // The engine rolls the transaction back itself, undoes the statement alone, or undoes
    // nothing of the statement and leaves the transaction going.
    for (const char* refusal : {"ROLLBACK", "ABORT", "FAIL"}) {
        for (const auto& c : steps) {
            SCOPED_TRACE(QStringLiteral("%1, %2").arg(QLatin1String(c.step), QLatin1String(refusal)).toStdString());
            ClearBoxes();
            QFile::remove(database());
            ASSERT_TRUE(QFile::copy(clean, database()));
            Run(database(), QStringLiteral("CREATE TRIGGER giveUp %1BEGIN SELECT RAISE(%2,'gave up'); END")
                                .arg(c.trigger, QLatin1String(refusal)));
            const QMap<QString, QStringList> before = everyTable();
            const qsizetype dialogs = models.opened().size();
            options.queueOk(3, true, true);
            models.queueOk(Classic);
            run();
            // The engine's reason, then one word that nothing was exported.
            EXPECT_EQ(Boxes(), (QStringList{"gave up", NotExported})) << Boxes().join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(everyTable(), before);
            // Stopped at once: not even the machine-model dialog after a failed opening.
            EXPECT_EQ(models.opened().size(), dialogs + (c.modelDialog ? 1 : 0));
            models = ScriptedModelDialogHost();
        }
    }
}

TEST_F(ZentroluxExportTest, AFailedExportSaysWhatTheDatabaseHoldsWithOrWithoutTheMachineRowItMade)
{
    prepare(Classic, 42);
    const QString clean = Path(QStringLiteral("clean.mdb"));
    ASSERT_TRUE(QFile::copy(database(), clean));
    // The type has a machine no more: the opening makes machine 5, kept before the options dialog.
    const QString noMachine = QStringLiteral("UPDATE MAQUINAS SET TIPO=41 WHERE CODIGO=3;");
    const QString refuseProducts = QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON PRODUCTOS BEGIN SELECT RAISE(ABORT,'x'); END;");
    const QString full = QStringLiteral("database or disk is full");
    const QString mismatch = QStringLiteral("No coinciden los tipos de datos.");
    enum class Disk { Room, FullFromTheStart, FullFromTheOptionsDialog };
    const struct {
        const char* what;
        QString setUp; // run on the copy first
        Disk disk;
        long machine; // chosen in the options dialog
        QString cause;
        bool machineKept;
        bool optionsDialog;
    } cases[] = {
        {"a refused product", refuseProducts, Disk::Room, 3, "x", false, true},
        {"a refused product, new machine", noMachine + refuseProducts, Disk::Room, 5, "x", true, true},
        {"a full disk", QString(), Disk::FullFromTheOptionsDialog, 3, full, false, true},
        {"a full disk, new machine", noMachine, Disk::FullFromTheOptionsDialog, 5, full, true, true},
        {"a text as a number", "UPDATE MAQUINAS SET DIVISA='not a number' WHERE CODIGO=3", Disk::Room, 3, mismatch,
         false, true},
        {"a text as a number, new machine", "UPDATE MAQUINAS SET TIPO='not a number'", Disk::Room, 3, mismatch, true,
         true},
        // The new machine row itself is not kept.
        {"the new machine row refused after its insert",
         noMachine + "CREATE TRIGGER t AFTER INSERT ON MAQUINAS BEGIN SELECT RAISE(FAIL,'gave up'); END", Disk::Room, 5,
         "gave up", false, false},
        {"a full disk before the new machine row", noMachine, Disk::FullFromTheStart, 5, full, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearBoxes();
        QFile::remove(database());
        ASSERT_TRUE(QFile::copy(clean, database()));
        if (!c.setUp.isEmpty())
            Run(database(), c.setUp);
        QMap<QString, QStringList> expected = everyTable();
        if (c.machineKept) {
            expected["MAQUINAS"] << QStringLiteral("5|42|2|5|5|51|NULL");
            expected["MAQUINAS"].sort();
        }
        const qsizetype dialogs = options.opened().size();
        options.queueOk(c.machine, true, true);
        models.queueOk(Classic);
        {
            std::optional<FullDiskVfs> disk;
            if (c.disk != Disk::Room)
                disk.emplace();
            if (c.disk == Disk::FullFromTheStart)
                disk->setFreeBytes(0);
            FillingDiskOptionsHost filling(options, c.disk == Disk::FullFromTheOptionsDialog ? &*disk : nullptr);
            ZentroluxExport(doc, filling, clock).Run();
        }

        // The engine's reason, then what the database holds: as it was, or with the new machine.
        const QString summary = c.machineKept
            ? QStringLiteral("No se ha exportado nada más: la base de datos ha anulado la exportación. La máquina "
                             "nueva 5, que se añadió al empezar, sigue en la base de datos.")
            : NotExported;
        ASSERT_EQ(Boxes().size(), 2) << Boxes().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(Boxes().first().contains(c.cause)) << Boxes().first().toStdString();
        EXPECT_EQ(Boxes().last(), summary);
        EXPECT_EQ(everyTable(), expected);
        EXPECT_EQ(options.opened().size(), dialogs + (c.optionsDialog ? 1 : 0));
        options = ScriptedExportOptionsHost();
        models = ScriptedModelDialogHost();
    }
}

TEST_F(ZentroluxExportTest, ACancelAtEitherDialogKeepsOnlyTheMachineRowTheOpeningMade)
{
    prepare(Classic, 42);
    // The type has a machine no more: the opening makes one, which stays.
    Run(database(), QStringLiteral("UPDATE MAQUINAS SET TIPO=41 WHERE CODIGO=3"));
    QMap<QString, QStringList> before = everyTable();
    options.queueCancel();
    run();
    before["MAQUINAS"] << QStringLiteral("5|42|2|5|5|51|NULL");
    EXPECT_EQ(everyTable(), before);

    Run(database(), QStringLiteral("UPDATE MAQUINAS SET TIPO=42 WHERE CODIGO=3"));
    const QMap<QString, QStringList> again = everyTable();
    const qsizetype dialogs = models.opened().size();
    options.queueOk(3, true, true);
    models.queueCancel();
    run();
    EXPECT_EQ(models.opened().size(), dialogs + 1);
    EXPECT_EQ(everyTable(), again);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(ZentroluxExportTest, TheUnionWithoutProductOrWithoutItsBaseOptionIsStillKept)
{
    for (bool products : {false, true}) {
        SCOPED_TRACE(products ? "no base option" : "no product");
        ClearBoxes();
        QFile::remove(database());
        doc.OnNewDocument();
        optionOf.clear();
        prepare(Classic, 42, products ? QStringLiteral("DELETE FROM TIPOS_OPCIONES WHERE TIPO=12;") : QString());
        if (!products) {
            doc.OnNewDocument();
            doc.SetMachineModel(Classic);
            // Without products the document compiles to fewer records, all of them known.
        }
        options.queueOk(3, false, true);
        models.queueOk(Classic);
        run();
        EXPECT_EQ(Boxes(), QStringList{Exported});
        EXPECT_EQ(rows("SELECT COUNT(*) FROM OPCIONES_MAQUINAS WHERE NUMERO>=500"), QStringList{"0"});
        EXPECT_EQ(table("TECLASCANAL"), QStringList());
        EXPECT_NE(table("OPCIONES_MAQUINAS"), QStringList());
    }
}

TEST_F(ZentroluxExportTest, AModelOfAnotherTypeChangesTheRecordsNotTheMachineType)
{
    // The option types of type 42 are those of the T38A records.
    prepare(Classic, 42, QString(), T38A);
    options.queueOk(3, false, false);
    models.queueOk(T38A);
    run();
    EXPECT_EQ(Boxes(), QStringList{Exported});
    ASSERT_EQ(options.opened().size(), 1);
    EXPECT_EQ(options.opened().first().machineType, 42);
    EXPECT_EQ(doc.GetMachineModel(), T38A);
    EXPECT_EQ(table("OPCIONES_MAQUINAS"), optionRows(3, {}));
}

TEST_F(ZentroluxExportTest, TheDocumentsCommandOpensTheProgramWideDialog)
{
    prepare(Classic, 42);
    fw::ProgramWide<ExportOptionsDialogHost>::Install install(options);
    options.queueCancel();
    doc.OnExportarZentrolux();
    ASSERT_EQ(options.opened().size(), 1);
    EXPECT_EQ(options.opened().first().machineType, 42);
    EXPECT_EQ(Boxes(), QStringList());
}
