#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "export/UsbDeviceLocator.h"
#include "export/UsbExport.h"
#include "fw/ProgramWide.h"
#include "tests/export/FakeUsbSystem.h"
#include "tests/export/ScriptedSaveDialogHost.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/FileOwners.h"
#include "tests/support/LinkedTargets.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/ProtectedTargets.h"
#include "tests/support/ScriptedModelDialogHost.h"
#include "tests/support/SyncProbe.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>

namespace {

const QString NoDeviceQuestion = QStringLiteral("No hay ningún dispositivo Quorvanel conectado\n \t¿Desea continuar?");
const QString FirstCharacterRule =
    QStringLiteral("El primer carácter del nombre del fichero no puede ser numérico, ni '+', ni '-'");
const QString LengthRule = QStringLiteral("El nombre del fichero debe tener como máximo 8 caracteres");
const QString NotExported = QStringLiteral("Los datos del  fichero no se han exportado correctamente");
const QString Exported = QStringLiteral("Datos exportados a fichero correctamente");

constexpr int Classic = 1;
constexpr int T38A = 21;

QByteArray repeated(const char* pair, int count) { return QByteArray(pair).repeated(count); }

// The .prg command on scripted dialogs and a fake system, against a catalogue of a classic
// model 1 and a T38A model 21.
class UsbExportTest : public ::testing::Test {
protected:
    UsbExportTest()
    {
        catalogue.AddMachineType(1, "Dravolino C-200");
        catalogue.AddMachineType(6, "Dravolino T38A-C", true);
        catalogue.AddConfiguration({.code = Classic, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
        catalogue.AddConfiguration({.code = T38A, .machineType = 6, .description = "T"});
        catalogue.WriteFile("RELES_C200.TXT", "| 1 | DISPENSADOR 1 | 0xF1 | 1 |\r\n");
        catalogue.WriteFile("DISP_C1.TXT", "| 1 | 3 | 1 | 1 | 1 | 0 | 0 |\r\n");
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
        doc.SetMachineModel(Classic);
    }

    // The programming device, mounted; its folder.
    QString plugDevice()
    {
        system.addDisk({});
        const QString medium = system.addMedium(QStringLiteral("QUORVANEL"), {QStringLiteral("DATA/PROGMAQ")});
        system.addMount(8, 17, medium);
        return medium + QStringLiteral("/DATA/PROGMAQ");
    }
    void run() { UsbExport(doc, dialog, UsbDeviceLocator(system.sysfsRoot(), system.mountList())).Run(); }
    QString outPath(const QString& name) const { return app.tempPath(name); }
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    TestApplication app;
    CatalogueFixture catalogue{app};
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    ScriptedModelDialogHost models;
    fw::ProgramWide<ModelDialogHost>::Install modelsInstall{models};
    ScriptedSaveDialogHost dialog;
    FakeUsbSystem system;
    COrmiDoc doc;
};

} // namespace

TEST_F(UsbExportTest, WritesAClassicDocumentIntoTheDevicesFolder)
{
    const QString folder = plugDevice();
    doc.SetWorkingTemperature(90);
    models.queueOk(Classic);
    dialog.queuePath(folder + QStringLiteral("/PROG1.prg"));
    run();

    EXPECT_EQ(app.messages().texts(), QStringList{Exported});
    ASSERT_EQ(dialog.opened().size(), 1);
    const SaveDialogRequest& request = dialog.opened().first();
    EXPECT_EQ(request.initialFolder, folder);
    EXPECT_EQ(request.defaultExtension, QStringLiteral("prg"));
    EXPECT_TRUE(request.fileName.isEmpty());
    ASSERT_EQ(models.opened().size(), 1);
    EXPECT_FALSE(models.opened().first().confirm);

    // Dispenser rows (block 30, row 0 from the catalogue), the relay (31), the sugar and
    // flags record of 80 bytes in four lines (32), the temperature (33).
    QByteArray expected = "42\r\n"
                          "EC1E00303330313031303030303031\r\n";
    for (int row = 1; row < 10; ++row)
        expected += "EC1E0" + QByteArray::number(row) + repeated("3030", 6) + "\r\n";
    expected += "EC1F00303146313031\r\n";
    expected += "EC2000" "4632" + repeated("3030", 3) + "4646" + repeated("3037", 20) + "\r\n";
    expected += "EC2000" + repeated("3037", 4) + repeated("3030", 21) + "\r\n";
    expected += "EC2000" + repeated("3030", 25) + "\r\n";
    expected += "EC2000" + repeated("3030", 5) + "\r\n";
    expected += "EC210090\r\n";
    EXPECT_EQ(contents(folder + QStringLiteral("/PROG1.prg")).toStdString(), expected.toStdString());
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("PROG1.prg")});
}

TEST_F(UsbExportTest, TheHeaderIsTheTypeOfTheModelChosen)
{
    const QString folder = plugDevice();
    models.queueOk(T38A);
    dialog.queuePath(folder + QStringLiteral("/T.prg"));
    run();

    EXPECT_EQ(app.messages().texts(), QStringList{Exported});
    EXPECT_EQ(doc.GetMachineModel(), T38A);
    EXPECT_FALSE(doc.IsModified());
    const QByteArray file = contents(folder + QStringLiteral("/T.prg"));
    EXPECT_TRUE(file.startsWith("95\r\nEC3500")) << file.left(20).toStdString();
    // Raw records reversed, the temperature last; every line ends CR LF.
    EXPECT_TRUE(file.contains("\r\nEC36000000\r\n"));
    EXPECT_TRUE(file.endsWith("\r\nEC4C0080\r\n"));
    EXPECT_EQ(file.count('\n'), file.count("\r\n"));
}

TEST_F(UsbExportTest, WithoutTheDeviceNoEndsTheCommand)
{
    models.queueOk(Classic);
    app.messages().queueAnswer(fw::MessageAnswer::No);
    dialog.queuePath(outPath(QStringLiteral("PROG1.prg")));
    run();
    EXPECT_EQ(app.messages().texts(), QStringList{NoDeviceQuestion});
    EXPECT_TRUE(dialog.opened().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(outPath(QStringLiteral("PROG1.prg"))));
}

TEST_F(UsbExportTest, WithoutTheDeviceYesOpensTheDialogWithoutAFolder)
{
    models.queueOk(Classic);
    app.messages().queueAnswer(fw::MessageAnswer::Yes);
    dialog.queuePath(outPath(QStringLiteral("PROG1.prg")));
    run();
    EXPECT_EQ(app.messages().texts(), (QStringList{NoDeviceQuestion, Exported}));
    ASSERT_EQ(dialog.opened().size(), 1);
    EXPECT_TRUE(dialog.opened().first().initialFolder.isEmpty());
    EXPECT_TRUE(contents(outPath(QStringLiteral("PROG1.prg"))).startsWith("42\r\nEC1E00"));
}

TEST_F(UsbExportTest, TheDialogOpensAgainUntilTheNameIsAccepted)
{
    const QString folder = plugDevice();
    models.queueOk(Classic);
    for (const char* name : {"1PROG.prg", "PROGRAMA1.prg", "-A.prg", "OK.prg"})
        dialog.queuePath(folder + QLatin1Char('/') + QLatin1String(name));
    run();
    EXPECT_EQ(app.messages().texts(), (QStringList{FirstCharacterRule, LengthRule, FirstCharacterRule, Exported}));
    EXPECT_EQ(dialog.opened().size(), 4);
    for (const SaveDialogRequest& request : dialog.opened())
        EXPECT_EQ(request.initialFolder, folder);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{QStringLiteral("OK.prg")});
}

TEST_F(UsbExportTest, CancelInEitherDialogEndsWithoutAMessage)
{
    models.queueCancel();
    run();
    EXPECT_TRUE(dialog.opened().isEmpty());

    const QString folder = plugDevice();
    models.queueOk(Classic);
    dialog.queueCancel();
    run();
    EXPECT_EQ(dialog.opened().size(), 1);
    EXPECT_TRUE(app.messages().shown().isEmpty());
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());

    // Cancel after a refused name.
    models.queueOk(Classic);
    dialog.queuePath(folder + QStringLiteral("/1.prg"));
    dialog.queueCancel();
    run();
    EXPECT_EQ(app.messages().texts(), QStringList{FirstCharacterRule});
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files).isEmpty());
}

TEST_F(UsbExportTest, AFailedSaveIsToldAndLeavesWhatWasThere)
{
    const QString folder = plugDevice();
    // A folder under the chosen name cannot be replaced, whoever runs the test; nor can a file
    // be made in a folder that does not exist.
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("PROG.prg")));
    writeFile(folder + QStringLiteral("/PROG.prg/KEEP"), "keep");
    for (const QString& path : {folder + QStringLiteral("/PROG.prg"), folder + QStringLiteral("/NONE/X.prg")}) {
        app.messages().clear();
        models.queueOk(Classic);
        dialog.queuePath(path);
        run();
        EXPECT_EQ(app.messages().texts(), QStringList{NotExported}) << path.toStdString();
        EXPECT_EQ(app.messages().shown().first().icon, fw::MessageIcon::Warning);
    }
    EXPECT_TRUE(QFileInfo(folder + QStringLiteral("/PROG.prg")).isDir());
    EXPECT_EQ(contents(folder + QStringLiteral("/PROG.prg/KEEP")), "keep");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST_F(UsbExportTest, AnExistingFileIsReplacedWhole)
{
    const QString folder = plugDevice();
    const QString path = folder + QStringLiteral("/OLD.prg");
    writeFile(path, QByteArray(5000, 'x'));
    models.queueOk(Classic);
    dialog.queuePath(path);
    run();
    EXPECT_EQ(app.messages().texts(), QStringList{Exported});
    const QByteArray file = contents(path);
    EXPECT_TRUE(file.startsWith("42\r\n"));
    EXPECT_TRUE(file.endsWith("EC210080\r\n"));
    EXPECT_FALSE(file.contains('x'));
}

TEST_F(UsbExportTest, ExportedIsToldOnlyOnceTheFolderOnTheStickHoldsTheFile)
{
    const QString folder = plugDevice();
    const QString path = folder + QStringLiteral("/PROG.prg");
    for (const int error : {0, EIO}) {
        app.messages().clear();
        SyncProbe probe;
        probe.failFolders(error);
        models.queueOk(Classic);
        dialog.queuePath(path);
        run();
        EXPECT_EQ(app.messages().texts(), QStringList{error ? NotExported : Exported}) << error;
        const QList<SyncProbe::Sync> syncs = probe.syncsUnder(folder);
        ASSERT_FALSE(syncs.isEmpty()) << error;
        EXPECT_TRUE(syncs.back().folder) << probe.describe().toStdString();
        EXPECT_EQ(syncs.back().entries, QStringList{"PROG.prg"}) << probe.describe().toStdString();
    }
}

TEST_F(UsbExportTest, AReplacedFileKeepsItsGroupOwnerAndMode)
{
    if (!FileOwners::mayGiveAway())
        GTEST_SKIP() << "only root may make files of another owner";
    const QString folder = plugDevice();
    const QString path = folder + QStringLiteral("/OLD.prg");
    writeFile(path, "old");
    ASSERT_TRUE(FileOwners::give(path, FileOwners::OtherUser, FileOwners::OtherGroup, 0640));
    models.queueOk(Classic);
    dialog.queuePath(path);
    run();
    EXPECT_EQ(app.messages().texts(), QStringList{Exported});
    const struct stat exported = FileOwners::status(path);
    EXPECT_EQ(exported.st_uid, FileOwners::OtherUser);
    EXPECT_EQ(exported.st_gid, FileOwners::OtherGroup);
    EXPECT_EQ(exported.st_mode & 07777, 0640u);
}

TEST_F(UsbExportTest, AnExportReplacesTheFileThatOpeningItsNameGivesWhateverLinksLeadThere)
{
    // Without the device, wherever the user chooses.
    const auto exportTo = [&](const QString& path) {
        app.messages().clear();
        models.queueOk(Classic);
        app.messages().queueAnswer(fw::MessageAnswer::Yes);
        dialog.queuePath(path);
        run();
    };
    exportTo(outPath(QStringLiteral("REF.prg")));
    const QByteArray exported = contents(outPath(QStringLiteral("REF.prg")));
    ASSERT_TRUE(exported.startsWith("42\r\n"));
    for (const LinkedTargets::Case& c : LinkedTargets::cases()) {
        QTemporaryDir dir;
        ASSERT_TRUE(LinkedTargets::make(dir.path(), c, "87\r\n")) << c.what;
        const QString others = LinkedTargets::others(dir.path(), c);
        exportTo(dir.path() + "/" + c.name);
        EXPECT_EQ(app.messages().texts(), (QStringList{NoDeviceQuestion, Exported})) << c.what;
        EXPECT_EQ(contents(dir.filePath(c.opened)), exported) << c.what;
        EXPECT_EQ(LinkedTargets::others(dir.path(), c), others) << c.what;
    }
}

TEST_F(UsbExportTest, AFileTheUserMayNotWriteIsToldAndLeftAsItWas)
{
    const OrdinaryUser user;
    if (!user.available())
        GTEST_SKIP() << user.whyNot().toStdString();
    // The catalogue that the export reads, readable by that user.
    ASSERT_EQ(::chmod(QFile::encodeName(app.tempPath()).constData(), 0755), 0);
    QStringList notRun;
    for (const ProtectedTargets::Case& c : ProtectedTargets::runnableCases(notRun)) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("OLD.prg"));
        ASSERT_TRUE(ProtectedTargets::make(path, "87\r\n", c, user)) << c.what;
        const QString before = ProtectedTargets::state(path);
        // What the child's run takes from the scripts is the child's own.
        const QString result = user.run([&] {
            app.messages().clear();
            models.queueOk(Classic);
            app.messages().queueAnswer(fw::MessageAnswer::Yes);
            dialog.queuePath(path);
            run();
            return app.messages().texts().join(" | ");
        });
        EXPECT_EQ(result.toStdString(), (NoDeviceQuestion + " | " + (c.refused ? NotExported : Exported)).toStdString()) << c.what;
        if (c.refused) {
            EXPECT_EQ(ProtectedTargets::state(path), before) << c.what;
        } else {
            EXPECT_TRUE(contents(path).startsWith("42\r\n")) << c.what;
        }
    }
    if (!notRun.isEmpty())
        GTEST_SKIP() << ProtectedTargets::notRunReason(notRun);
}

TEST_F(UsbExportTest, ARefusedProductWritesNothing)
{
    const QString folder = plugDevice();
    const QString path = folder + QStringLiteral("/OLD.prg");
    writeFile(path, "old");
    CDeviceCoffee* header = doc.AddDevice();
    header->SetProductNumber(1);
    header->SetSelectionNumber(1);
    header->SetName("LECHE");
    for (int d = 0; d < 12; ++d) {
        CDeviceCoffee* device = doc.AddDevice();
        device->SetStart(0);
        device->SetEnd(1024);
    }
    models.queueOk(Classic);
    dialog.queuePath(path);
    run();
    ASSERT_EQ(app.messages().shown().size(), 1);
    EXPECT_TRUE(app.messages().texts().first().startsWith(QStringLiteral("No se puede grabar el producto 1")));
    EXPECT_EQ(contents(path), "old");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("OLD.prg")});
}

TEST_F(UsbExportTest, TheDocumentsCommandOpensTheProgramWideDialog)
{
    fw::ProgramWide<SaveDialogHost>::Install install(dialog);
    models.queueOk(Classic);
    // Whether or not this machine has the device plugged in, the dialog opens.
    app.messages().queueAnswer(fw::MessageAnswer::Yes);
    dialog.queueCancel();
    doc.OnExportarQuorvanel();
    EXPECT_EQ(dialog.opened().size(), 1);
    EXPECT_EQ(models.opened().size(), 1);
    for (const QString& text : app.messages().texts())
        EXPECT_EQ(text, NoDeviceQuestion);
}
