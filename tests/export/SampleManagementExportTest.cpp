#include "export/ZentroluxExport.h"

#include "app/COrmiDoc.h"
#include "db/DAODBConnection.h"
#include "tests/export/SampleManagement.h"
#include "tests/export/ScriptedExportOptionsHost.h"
#include "tests/db/WriteProtectionVfs.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/FileSizeLimit.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sqlite3.h>

#include <csignal>
#include <functional>
#include <optional>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString Exported = QStringLiteral("Datos exportados correctamente a la base de datos. Puede ir a Zentrolux Lite "
                                        "para grabar una tarjeta de programación para esta máquina.");

// The sample's machine of each export type.
long sampleMachine(int machineType)
{
    switch (machineType) {
    case 87: return 2;
    case 95: return 3;
    case 100: return 4;
    default: return 1;
    }
}

const QString NotExported =
    QStringLiteral("No se ha exportado nada: la base de datos ha anulado la exportación y ha quedado como estaba.");

const QString NoDatabase = QStringLiteral("Imposible abrir el fichero de base de datos global");

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The body's exit code in a child process of its own, which ends with _exit; -1 (and a test
// failure) when it is not done within the time.
int exitCodeInChild(const std::function<int()>& body, int timeoutMs)
{
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0)
        _exit(body());
    if (child < 0) {
        ADD_FAILURE() << "fork failed";
        return -1;
    }
    int status = 0;
    for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; waited += 10) {
        if (waited >= timeoutMs) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            ADD_FAILURE() << "the child did not end in time";
            return -1;
        }
        usleep(10000);
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Caps the export's database at the pages it has when the options dialog opens, as a full
// disk would, then answers as the scripted host.
class FullDiskOptionsHost : public ExportOptionsDialogHost {
public:
    explicit FullDiskOptionsHost(ExportOptionsDialogHost& answers)
        : m_answers(answers)
    {
    }
    bool Run(ExportaZentroluxDlgData& data) override
    {
        auto* connection = dynamic_cast<DAODBConnection*>(data.connection);
        EXPECT_NE(connection, nullptr);
        if (connection) {
            EXPECT_EQ(sqlite3_exec(connection->Handle(), "PRAGMA max_page_count=1", nullptr, nullptr, nullptr), SQLITE_OK);
        }
        return m_answers.Run(data);
    }

private:
    ExportOptionsDialogHost& m_answers;
};

} // namespace

// Every bundled model exports to its end into a copy of the sample management database
// that the build lays beside the program.
class SampleManagementExportTest : public SampleManagement {
protected:
    ScriptedExportOptionsHost options;
};

TEST_F(SampleManagementExportTest, EveryBundledModelExportsWithBothOptions)
{
    ASSERT_FALSE(bundled.configurationList().empty());
    for (const BundledCatalogue::Configuration& configuration : bundled.configurationList()) {
        SCOPED_TRACE(configuration.code);
        ClearBoxes();
        const QString path = copySample(QStringLiteral("sample%1.mdb").arg(configuration.code));
        COrmiDoc doc;
        fill(doc, configuration.code, 3);
        const int machineType = doc.GetManagementMachineType();
        options.queueOk(sampleMachine(machineType), true, true);
        models.queueOk(configuration.code);
        ZentroluxExport(doc, options, clock).Run();

        EXPECT_EQ(Boxes(), QStringList{Exported});
        const QString machine = QString::number(sampleMachine(machineType));
        EXPECT_EQ(Rows(path, "SELECT COUNT(*) FROM PRODUCTOS WHERE DESCRIPCION LIKE 'PRODUCTO _'"), QStringList{"3"});
        EXPECT_NE(Rows(path, "SELECT COUNT(*) FROM OPCIONES_MAQUINAS WHERE CODIGO=" + machine), QStringList{"0"});
        EXPECT_NE(Rows(path, "SELECT COUNT(*) FROM CANALES_MAQUINAS WHERE CODIGO=" + machine), QStringList{"0"});
        // The union of the classic and the first T38A types gives the key table.
        if (machineType == 42 || machineType == 87) {
            EXPECT_EQ(Rows(path, "SELECT COUNT(*) FROM TECLASCANAL WHERE MAQUINA=" + machine), QStringList{"3"});
        }
    }
}

TEST_F(SampleManagementExportTest, ADatabaseThatGivesUpHalfWayIsLeftAsItWas)
{
    const struct {
        const char* what;
        int products;
        const char* trigger; // run on the copy first
        bool fullDisk;       // no page beyond those the file has when the dialog opens
        bool fileCannotGrow; // in a child process whose files may not grow past the copy's size
    } cases[] = {
        {"a trigger that rolls the transaction back in the records", 3,
         "CREATE TRIGGER t BEFORE INSERT ON OPCIONES_MAQUINAS WHEN NEW.NUMERO=4230004 BEGIN SELECT RAISE(ROLLBACK,'x'); END",
         false, false},
        {"a full disk half-way", 18, nullptr, true, false},
        {"a file that cannot grow at the commit", 18, nullptr, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearBoxes();
        const QString path = copySample(QStringLiteral("gives-up.mdb"));
        if (c.trigger)
            Run(path, QLatin1String(c.trigger));
        const QByteArray before = fileBytes(path);
        COrmiDoc doc;
        fill(doc, modelOfType(42), c.products);
        models.queueOk(doc.GetMachineModel());
        options.queueOk(1, true, true);
        FullDiskOptionsHost fullDisk(options);
        ExportOptionsDialogHost& host = c.fullDisk ? static_cast<ExportOptionsDialogHost&>(fullDisk) : options;

        QStringList boxes;
        if (c.fileCannotGrow) {
            const QString told = Path(QStringLiteral("boxes"));
            const int exitCode = exitCodeInChild(
                [&] {
                    {
                        const FileSizeLimit limit(rlim_t(before.size()));
                        if (!limit.held())
                            return 2;
                        ZentroluxExport(doc, host, clock).Run();
                    }
                    QFile file(told);
                    if (!file.open(QIODevice::WriteOnly))
                        return 3;
                    QDataStream out(&file);
                    out << Boxes();
                    return file.flush() && out.status() == QDataStream::Ok ? 0 : 4;
                },
                30000);
            ASSERT_EQ(exitCode, 0);
            QFile file(told);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            QDataStream in(&file);
            in >> boxes;
        } else {
            ZentroluxExport(doc, host, clock).Run();
            boxes = Boxes();
        }

        // The engine's reason, then once that nothing was exported.
        ASSERT_EQ(boxes.size(), 2) << boxes.join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(boxes.last(), NotExported);
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(Rows(path, "SELECT COUNT(*) FROM OPCIONES_MAQUINAS"), QStringList{"0"});
        QFile::remove(path);
    }
}

TEST_F(SampleManagementExportTest, TheFirstStatementTheDatabaseRefusesEndsTheExportAndLeavesItsBytes)
{
    const QString refuse = QStringLiteral("CREATE TRIGGER refuse %1 BEGIN SELECT RAISE(%2,'refused'); END");
    const QString option = QStringLiteral("AFTER INSERT ON OPCIONES_MAQUINAS WHEN (SELECT COUNT(*) FROM OPCIONES_MAQUINAS)=5");
    // One statement inserts the machine's channels; four of them before the refusal.
    const QString channel = QStringLiteral("AFTER INSERT ON CANALES_MAQUINAS WHEN NEW.NUMERO='5'");
    const QString product = QStringLiteral("AFTER INSERT ON PRODUCTOS WHEN NEW.DESCRIPCION='PRODUCTO 3'");
    const QString refused = QStringLiteral("refused");
    const QString malformed = QStringLiteral("database disk image is malformed");
    enum class File { AsItIs, ThreeDamagedPages, InAFolderWithoutWritePermission };
    const struct {
        const char* what;
        QString setUp; // run on the copy first
        File file;
        QString cause; // in the first box
        QString summary;
    } cases[] = {
        {"a database without the machine table", "DROP TABLE MAQUINAS", File::AsItIs, "no such table: MAQUINAS", NotExported},
        {"a database without the key table", "DROP TABLE TECLASCANAL", File::AsItIs, "no such table: TECLASCANAL",
         NotExported},
        {"an option table without its column DIRTY", "ALTER TABLE OPCIONES_MAQUINAS DROP COLUMN DIRTY", File::AsItIs,
         "no such column: DIRTY", NotExported},
        {"a text as the machine's currency", "UPDATE MAQUINAS SET DIVISA='EUR' WHERE CODIGO=1", File::AsItIs,
         "No coinciden los tipos de datos.", NotExported},
        {"an option row refused, ABORT", refuse.arg(option, "ABORT"), File::AsItIs, refused, NotExported},
        {"an option row refused, FAIL", refuse.arg(option, "FAIL"), File::AsItIs, refused, NotExported},
        {"a channel row refused, ABORT", refuse.arg(channel, "ABORT"), File::AsItIs, refused, NotExported},
        {"a channel row refused, FAIL", refuse.arg(channel, "FAIL"), File::AsItIs, refused, NotExported},
        {"a product row refused, ABORT", refuse.arg(product, "ABORT"), File::AsItIs, refused, NotExported},
        {"a product row refused, FAIL", refuse.arg(product, "FAIL"), File::AsItIs, refused, NotExported},
        // The database cannot be used at all.
        {"three damaged pages", QString(), File::ThreeDamagedPages, malformed, NoDatabase},
        {"a folder without write permission", QString(), File::InAFolderWithoutWritePermission,
         "attempt to write a readonly database", NoDatabase},
    };
    const QString folder = Path(QStringLiteral("protected"));
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ClearBoxes();
        const QString path = copySample(QStringLiteral("protected/refused.mdb"));
        if (!c.setUp.isEmpty())
            Run(path, c.setUp);
        if (c.file == File::ThreeDamagedPages) {
            ASSERT_TRUE(DamagedFiles::DamageTablePages(path, {"OPCIONES_MAQUINAS", "PRODUCTOS", "PRECIOS_PRODUCTOS"}));
        }
        std::optional<WriteProtectionVfs> protection;
        if (c.file == File::InAFolderWithoutWritePermission) {
            ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                          | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
            protection.emplace();
        }
        const QByteArray before = fileBytes(path);
        COrmiDoc doc;
        fill(doc, modelOfType(42), 5);
        models.queueOk(doc.GetMachineModel());
        options.queueOk(1, true, true);
        ZentroluxExport(doc, options, clock).Run();
        protection.reset();
        ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        // The engine's reason once, then one summary.
        const QStringList boxes = Boxes();
        EXPECT_EQ(boxes.size(), 2) << boxes.join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(boxes.value(0).contains(c.cause)) << boxes.value(0).toStdString();
        EXPECT_EQ(boxes.value(1), c.summary) << boxes.value(1).toStdString();
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-journal")));
        options = ScriptedExportOptionsHost();
        models = ScriptedModelDialogHost();
    }
}
