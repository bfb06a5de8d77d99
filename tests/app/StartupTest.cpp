#include "app/CCfg.h"
#include "app/CMainFrame.h"
#include "app/COrmiApp.h"
#include "app/COrmiDoc.h"
#include "app/DocumentFile.h"
#include "app/SetupT38A.h"
#include "fw/ButtonMarginStyle.h"
#include "fw/FileNamePrompt.h"
#include "fw/SingleDocTemplate.h"
#include "fw/WidgetFileNamePrompt.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/ScriptedFileNamePrompt.h"
#include "tests/support/TestApplication.h"
#include "tests/support/Watchdog.h"
#include "ui/CMySplashWnd.h"
#include "ui/WidgetModelDialogHost.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPrinter>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

const QByteArray Relays = "| 1 | SOLTADOR VASOS | 0xF6 | 1 |\r\n| 2 | VALVULA 1 | 0xF4 | 1 |\r\n";
const QByteArray Dispensers = "|    1 |     3 |        1 |       1 |      1 |       0 |       0 |\r\n";

// What start-up had done when it came to probe for the internal file.
struct SeenAtProbe {
    bool probed = false;
    bool windowShown = false;
    bool splashShown = false;
    int catalogueModel = 0;
    QString document;
};

// Start-up on a catalogue of models 1 and 8 beside a temporary program folder.
class StartupTest : public ::testing::Test {
protected:
    StartupTest()
    {
        catalogue.AddMachineType(1, "Dravolino C-200");
        catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
        catalogue.AddConfiguration({.code = 8, .machineType = 1, .description = "F",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_F8.TXT"});
        catalogue.WriteFile("RELES_C200.TXT", Relays);
        catalogue.WriteFile("RELES_F8.TXT", Relays);
        catalogue.WriteFile("DISP_C1.TXT", Dispensers);
        catalogue.AddProductName(1, "CAFE", 0);
    }

    // The application with the command line; the probe records what start-up had done.
    std::unique_ptr<COrmiApp> makeApp(const QStringList& arguments, bool internalFilePresent = false,
                                      QPrinter* printer = nullptr)
    {
        COrmiApp::Options options;
        options.printer = printer;
        options.printers = [this] { return printers; };
        options.platform = platform;
        options.arguments = arguments;
        options.internalFile = "//servidor/interno.exe";
        options.probeOpener = [this, internalFilePresent](const QString&) {
            seen.probed = true;
            seen.windowShown = started->frame() && started->frame()->isVisible();
            seen.splashShown = started->splash() != nullptr;
            seen.catalogueModel = cfg.object().GetModel();
            seen.document = started->document().GetPathName();
            return internalFilePresent;
        };
        auto created = std::make_unique<COrmiApp>(app.application(), options);
        started = created.get();
        return created;
    }

    // A document of 30 rows: two pages of A4.
    QString writeLongDocument(const QString& name)
    {
        COrmiDoc doc;
        for (int i = 0; i < 30; ++i)
            doc.AddDevice();
        const QString path = app.tempPath(name);
        EXPECT_TRUE(DocumentFile::Save(doc, path));
        return path;
    }

    // A printer that writes a PDF file.
    static void printToPdf(QPrinter& printer, const QString& path)
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(QPageSize::A4));
    }

    QString writeDocument(const QString& name, int model)
    {
        COrmiDoc doc;
        doc.SetMachineModel(model);
        const QString path = app.tempPath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(DocumentFile::Store(doc));
        return path;
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    CatalogueFixture catalogue{app};
    SeenAtProbe seen;
    COrmiApp* started = nullptr;
    // What the print system lists.
    PrinterList printers{{"Oficina", "Planta 2"}, "Oficina"};
    StartPlatform::Mode platform = StartPlatform::Mode::Windows;
};

} // namespace

TEST_F(StartupTest, StartsOnModelOneWithANewDocumentThenWindowSplashAndInternalMode)
{
    auto ormi = makeApp({});
    ASSERT_TRUE(ormi->InitInstance());
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
    EXPECT_EQ(cfg.object().GetModel(), 1);
    EXPECT_NE(cfg.object().GetDeviceType(0), nullptr);
    EXPECT_EQ(ormi->frame()->windowTitle(), "Sin título - Ormi");
    EXPECT_TRUE(ormi->frame()->isVisible());
    ASSERT_NE(ormi->splash(), nullptr);
    EXPECT_TRUE(ormi->splash()->isVisible());
    EXPECT_EQ(ormi->GetInternalMode(), 0);

    ASSERT_TRUE(seen.probed);
    EXPECT_TRUE(seen.windowShown);
    EXPECT_TRUE(seen.splashShown);
    EXPECT_EQ(seen.catalogueModel, 1);
}

// Every window's buttons, message boxes and Qt's own dialogs included, take their width from
// their text in the chosen language.
TEST_F(StartupTest, StartUpPutsTheButtonMarginStyleOverThePlatformsStyle)
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    auto ormi = makeApp({});
    ASSERT_TRUE(ormi->InitInstance());
    EXPECT_NE(qobject_cast<const fw::ButtonMarginStyle*>(QApplication::style()), nullptr);
}

TEST_F(StartupTest, TheCommandCommandsOfTheDocumentLayerAndAboutAreEnabled)
{
    auto ormi = makeApp({});
    ASSERT_TRUE(ormi->InitInstance());
    for (int id : {57600, 57601, 57603, 57604, 57664, 57665})
        EXPECT_TRUE(ormi->frame()->action(id)->isEnabled()) << id;
    EXPECT_FALSE(ormi->frame()->action(57616)->isEnabled()) << "no recent file yet";
}

TEST_F(StartupTest, TheInstalledSeamsAreTheRealOnes)
{
    auto ormi = makeApp({});
    ASSERT_TRUE(ormi->InitInstance());
    EXPECT_NE(dynamic_cast<fw::WidgetFileNamePrompt*>(&fw::ProgramWide<fw::FileNamePrompt>::get()), nullptr);
    EXPECT_NE(dynamic_cast<WidgetModelDialogHost*>(&fw::ProgramWide<ModelDialogHost>::get()), nullptr);
    EXPECT_EQ(&fw::ProgramWide<fw::SaveChangesHost>::get(), static_cast<fw::SaveChangesHost*>(ormi->docTemplate()));
    ormi->document().AddDevice();
    app.messages().queueAnswer(fw::MessageAnswer::Cancel);
    EXPECT_FALSE(fw::ProgramWide<fw::SaveChangesHost>::get().SaveModified());
    EXPECT_EQ(app.messages().texts(), QStringList({"¿Desea guardar los cambios efectuados en Sin título?"}));
    EXPECT_EQ(ormi->frame()->centralWidget(), reinterpret_cast<QWidget*>(ormi->view()));
    EXPECT_EQ(&COrmiApp::get(), ormi.get());
}

TEST_F(StartupTest, TheInternalModeFollowsTheFileAndTheProfileSwitch)
{
    const struct {
        const char* name;
        bool filePresent;
        int switchedOff;
        quint8 mode;
    } cases[] = {
        {"absent file", false, 0, 0},
        {"present file", true, 0, 1},
        {"present file, switched off", true, 1, 0},
    };
    for (const auto& c : cases) {
        app.profile().WriteInt("Ormi", "DesactivarModoPemvora", c.switchedOff);
        auto ormi = makeApp({}, c.filePresent);
        ASSERT_TRUE(ormi->InitInstance()) << c.name;
        EXPECT_EQ(ormi->GetInternalMode(), c.mode) << c.name;
    }
}

TEST_F(StartupTest, ADocumentOfAnotherModelOpensAfterModelOneAndLeavesTheCatalogueOnItsModel)
{
    const QString path = writeDocument("otro.caf", 8);
    auto ormi = makeApp({path});
    ASSERT_TRUE(ormi->InitInstance());
    EXPECT_EQ(ormi->document().GetMachineModel(), 8);
    EXPECT_EQ(cfg.object().GetModel(), 8);
    EXPECT_EQ(ormi->frame()->windowTitle(), "otro.caf - Ormi");
    EXPECT_EQ(seen.document, path);
    EXPECT_EQ(app.profile().GetString("Recent File List", "File1"), path);
}

TEST_F(StartupTest, ADamagedDocumentEndsTheStartWithoutAWindow)
{
    const QString path = app.tempPath("roto.caf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("no es un documento");
    file.close();
    auto ormi = makeApp({path});
    EXPECT_FALSE(ormi->InitInstance());
    EXPECT_EQ(app.messages().texts(), QStringList({"Formato de archivo inesperado."}));
    EXPECT_FALSE(ormi->frame()->isVisible());
    EXPECT_FALSE(seen.probed);
    EXPECT_EQ(ormi->ExitCode(), 1);
}

TEST_F(StartupTest, AMissingRelayFileEndsTheStartAfterTheCataloguesOwnMessage)
{
    QFile::remove(catalogue.catalogueFolder() + "/RELES_C200.TXT");
    auto ormi = makeApp({});
    EXPECT_FALSE(ormi->InitInstance());
    ASSERT_EQ(app.messages().shown().size(), 1);
    EXPECT_TRUE(app.messages().texts().first().startsWith("Fichero ")) << app.messages().texts().first().toStdString();
    EXPECT_FALSE(ormi->frame()->isVisible());
    EXPECT_EQ(ormi->splash(), nullptr);
    EXPECT_EQ(ormi->ExitCode(), 1);
}

TEST_F(StartupTest, ACatalogueThatNamesNoFileEndsTheStartWithTheFinalMessage)
{
    CatalogueFixture::Run(catalogue.configurationsPath(), "UPDATE CONFIGURACIONES SET FICHERO_RELES = NULL WHERE CODIGO = 1");
    auto ormi = makeApp({});
    EXPECT_FALSE(ormi->InitInstance());
    EXPECT_EQ(app.messages().texts(),
              QStringList({"No se ha podido cargar el catálogo de máquinas del modelo 1. El programa se cerrará."}));
    EXPECT_FALSE(ormi->frame()->isVisible());
    EXPECT_FALSE(seen.probed);
    EXPECT_EQ(ormi->ExitCode(), 1);
}

TEST_F(StartupTest, TheDocumentLayerSavesTheConfigurationAndExitAsksFirst)
{
    auto ormi = makeApp({});
    ASSERT_TRUE(ormi->InitInstance());
    ScriptedFileNamePrompt files;
    ormi->document().AddDevice();
    ASSERT_TRUE(ormi->document().IsModified());

    // Exit with unsaved changes asks; Cancel keeps the window, Yes saves under a name asked for.
    app.messages().queueAnswer(fw::MessageAnswer::Cancel);
    ormi->frame()->action(57665)->trigger();
    EXPECT_TRUE(ormi->frame()->isVisible());
    EXPECT_EQ(app.messages().texts(), QStringList({"¿Desea guardar los cambios efectuados en Sin título?"}));

    files.queueAnswer(app.tempPath("guardado"));
    app.messages().queueAnswer(fw::MessageAnswer::Yes);
    ormi->frame()->action(57665)->trigger();
    EXPECT_FALSE(ormi->frame()->isVisible());
    EXPECT_EQ(files.requests().first().proposedName, "Sin título.caf");
    COrmiDoc reread;
    ASSERT_TRUE(DocumentFile::Open(reread, app.tempPath("guardado.caf")));
    EXPECT_EQ(reread.GetRowCount(), 1);
    EXPECT_EQ(ormi->frame()->windowTitle(), "guardado.caf - Ormi");
}

TEST_F(StartupTest, PrintingFromTheCommandLinePrintsThePagesAndEnds)
{
    const QString path = writeLongDocument("imprimir.caf");
    QPrinter printer;
    printToPdf(printer, app.tempPath("impreso.pdf"));

    auto ormi = makeApp({"/p", path}, false, &printer);
    EXPECT_FALSE(ormi->InitInstance());
    EXPECT_EQ(ormi->ExitCode(), 0);
    EXPECT_FALSE(ormi->frame()->isVisible());
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
    QFile pdf(app.tempPath("impreso.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // 30 rows at 24 a page of A4.
    EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 2);
}

TEST_F(StartupTest, ACommandLineDocumentThatIsNoRegularFileEndsTheStartAtOnceWithoutAWindow)
{
    const QString fifo = app.tempPath("fifo.caf");
    const QString huge = app.tempPath("enorme.caf");
    ASSERT_TRUE(DamagedFiles::MakeFifo(fifo));
    ASSERT_TRUE(DamagedFiles::MakeSparseFile(huge, DocumentFile::MaxBytes + 1));
    const QList<QStringList> commandLines = {{fifo}, {"/p", fifo}, {"/pt", fifo, "impresora"}, {huge}, {"/p", huge}};
    for (const QStringList& arguments : commandLines) {
        const std::string line = arguments.join(' ').toStdString();
        app.messages().clear();
        auto ormi = makeApp(arguments);
        {
            const Watchdog bound(line);
            EXPECT_FALSE(ormi->InitInstance()) << line;
        }
        EXPECT_EQ(app.messages().texts(),
                  QStringList({"No se puede abrir el archivo " + QDir::toNativeSeparators(arguments.at(arguments.size() > 1 ? 1 : 0)) + "."}))
            << line;
        EXPECT_FALSE(ormi->frame()->isVisible()) << line;
        EXPECT_EQ(ormi->ExitCode(), 1) << line;
    }
}

TEST_F(StartupTest, APrintWithoutAFileSaysWhatTheCommandLineExpects)
{
    for (const QStringList& arguments : QList<QStringList>{{"/p"}, {"/pt"}, {"-P"}}) {
        const std::string line = arguments.join(' ').toStdString();
        app.messages().clear();
        auto ormi = makeApp(arguments);
        EXPECT_FALSE(ormi->InitInstance()) << line;
        EXPECT_EQ(app.messages().texts(),
                  QStringList({"Para imprimir hace falta el nombre del archivo: ormi /p archivo.caf, u ormi /pt "
                               "archivo.caf impresora."}))
            << line;
        EXPECT_FALSE(ormi->frame()->isVisible()) << line;
        EXPECT_EQ(ormi->ExitCode(), 1) << line;
    }
}

TEST_F(StartupTest, ARecentFileOrAFileChosenToOpenThatIsAFifoIsReportedAndNeverWaitedFor)
{
    const QString fifo = app.tempPath("fifo.caf");
    ASSERT_TRUE(DamagedFiles::MakeFifo(fifo));
    app.profile().WriteString("Recent File List", "File1", fifo);
    auto ormi = makeApp({});
    ASSERT_TRUE(ormi->InitInstance());
    const QStringList cannotOpen{"No se puede abrir el archivo " + QDir::toNativeSeparators(fifo) + "."};
    {
        const Watchdog bound("the recent file");
        ormi->docTemplate()->OnOpenRecentFile(0);
    }
    EXPECT_EQ(app.messages().texts(), cannotOpen);
    EXPECT_TRUE(app.profile().GetString("Recent File List", "File1").isEmpty());

    app.messages().clear();
    ScriptedFileNamePrompt files;
    files.queueAnswer(fifo);
    {
        const Watchdog bound("File > Open");
        ormi->docTemplate()->OnFileOpen();
    }
    EXPECT_EQ(app.messages().texts(), cannotOpen);
    EXPECT_TRUE(ormi->frame()->isVisible());
}

TEST_F(StartupTest, APrintOnAPrinterThePrintSystemDoesNotListIsRefusedBeforeAnythingIsPrinted)
{
    const QString path = writeLongDocument("imprimir.caf");
    const QString usage =
        "Para imprimir hace falta el nombre del archivo: ormi /p archivo.caf, u ormi /pt archivo.caf impresora.";
    const struct {
        QStringList arguments;
        PrinterList listed;
        QString message;
    } cases[] = {
        {{"/pt", path, "NOSUCHPRINTER"}, printers, "No se encuentra la impresora NOSUCHPRINTER."},
        // Qt takes a name only as listed; another spelling would print on the default printer.
        {{"/pt", path, "oficina"}, printers, "No se encuentra la impresora oficina."},
        {{"/pt", path, "Oficina"}, {}, "No se encuentra la impresora Oficina."},
        {{"/p", path}, {}, "No hay ninguna impresora predeterminada."},
        {{"/p", path}, {{"Oficina"}, ""}, "No hay ninguna impresora predeterminada."},
        {{"/pt", path}, printers, usage},
        {{"/pt", path, ""}, printers, usage},
    };
    for (const auto& c : cases) {
        const std::string line = c.arguments.join(' ').toStdString();
        const QString pdf = app.tempPath("impreso.pdf");
        QPrinter printer;
        printToPdf(printer, pdf);
        printers = c.listed;
        app.messages().clear();
        auto ormi = makeApp(c.arguments, false, &printer);
        EXPECT_FALSE(ormi->InitInstance()) << line;
        EXPECT_EQ(ormi->ExitCode(), 1) << line;
        EXPECT_EQ(app.messages().texts(), QStringList{c.message}) << line;
        EXPECT_FALSE(QFile::exists(pdf)) << line;
        EXPECT_FALSE(ormi->frame()->isVisible()) << line;
    }
}

TEST_F(StartupTest, APrintOnAListedPrinterPrintsThere)
{
    const QString path = writeLongDocument("imprimir.caf");
    QPrinter printer;
    printToPdf(printer, app.tempPath("impreso.pdf"));
    auto ormi = makeApp({"/pt", path, "Planta 2"}, false, &printer);
    EXPECT_FALSE(ormi->InitInstance());
    EXPECT_TRUE(app.messages().shown().isEmpty()) << app.messages().texts().join('|').toStdString();
    EXPECT_EQ(ormi->ExitCode(), 0);
    QFile pdf(app.tempPath("impreso.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_EQ(bytes.count("/Type /Page") - bytes.count("/Type /Pages"), 2);
}

TEST_F(StartupTest, WithoutADisplayTheEditorSaysWhatToSetAndEndsBeforeAnythingElse)
{
    platform = StartPlatform::Mode::NoDisplay;
    auto ormi = makeApp({writeDocument("otro.caf", 8)});
    EXPECT_FALSE(ormi->InitInstance());
    EXPECT_EQ(ormi->ExitCode(), 1);
    EXPECT_EQ(app.messages().texts(),
              QStringList{"No hay ninguna pantalla en la que mostrar el editor. Indique un servidor X en DISPLAY, o "
                          "arránquelo sin ventana con QT_QPA_PLATFORM=offscreen."});
    EXPECT_EQ(ormi->frame(), nullptr);
    EXPECT_EQ(cfg.object().GetModel(), 0) << "no catalogue loaded";
    EXPECT_FALSE(seen.probed);
}
