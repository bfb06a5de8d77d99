// The view's commands in the running program: the main window that start-up builds on the
// bundled catalogue, with its real seams and dialogs; the dialogs are answered by script.
#include "app/CCfg.h"
#include "app/CMainFrame.h"
#include "app/COrmiApp.h"
#include "app/COrmiDoc.h"
#include "app/CommandIds.h"
#include "app/ModelDialogHost.h"
#include "app/SetupT38A.h"
#include "export/ExportOptionsDialogHost.h"
#include "export/QtSaveDialogHost.h"
#include "export/WidgetExportOptionsDialogHost.h"
#include "export/SaveDialogHost.h"
#include "fw/FileNamePrompt.h"
#include "fw/ProgramWide.h"
#include "fw/SaveChangesHost.h"
#include "fw/SingleDocTemplate.h"
#include "fw/WaitUi.h"
#include "fw/WidgetFileNamePrompt.h"
#include "link/CEspereDlg.h"
#include "tests/res/BundledCatalogue.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/TestApplication.h"
#include "tests/ui/ModalDialogScript.h"
#include "ui/COrmiView.h"
#include "ui/WidgetModelDialogHost.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

using namespace CommandIds;

class ViewCommandsAppTest : public ::testing::Test {
protected:
    ViewCommandsAppTest()
    {
        app.application().setProgramFolder(BundledCatalogue::programFolder());
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("nowhere/"));
        ormi = std::make_unique<COrmiApp>(app.application(), COrmiApp::Options());
        started = ormi->InitInstance();
    }

    QAction* action(int id) const { return ormi->frame()->action(id); }
    COrmiDoc& doc() const { return ormi->document(); }
    COrmiView& view() const { return *ormi->view(); }

    // Every command the menus show, in menu order.
    QList<QAction*> menuCommands() const
    {
        QList<QAction*> commands;
        for (const QAction* popup : ormi->frame()->menuBar()->actions()) {
            for (QAction* item : popup->menu()->actions()) {
                if (!item->isSeparator() && item->isVisible())
                    commands << item;
            }
        }
        return commands;
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    CEspereDlg wait;
    fw::ProgramWide<fw::WaitUi>::Install waitInstall{wait};
    ModalDialogScript dialogs;
    std::unique_ptr<COrmiApp> ormi;
    bool started = false;
};

TEST_F(ViewCommandsAppTest, StartUpInstallsTheRealSeams)
{
    ASSERT_TRUE(started);
    EXPECT_NE(dynamic_cast<fw::WidgetFileNamePrompt*>(&fw::ProgramWide<fw::FileNamePrompt>::get()), nullptr);
    EXPECT_EQ(&fw::ProgramWide<fw::SaveChangesHost>::get(), ormi->docTemplate());
    EXPECT_NE(dynamic_cast<WidgetModelDialogHost*>(&fw::ProgramWide<ModelDialogHost>::get()), nullptr);
    EXPECT_NE(dynamic_cast<QtSaveDialogHost*>(&fw::ProgramWide<SaveDialogHost>::get()), nullptr);
    EXPECT_NE(dynamic_cast<WidgetExportOptionsDialogHost*>(&fw::ProgramWide<ExportOptionsDialogHost>::get()), nullptr);
}

TEST_F(ViewCommandsAppTest, EveryMenuCommandIsEnabledButTheEmptyRecentList)
{
    ASSERT_TRUE(started);
    for (const QAction* command : menuCommands()) {
        SCOPED_TRACE(command->data().toInt());
        EXPECT_EQ(command->isEnabled(), command->data().toInt() != FileMruFirst);
    }
    const QString path = app.tempPath("saved.caf");
    dialogs.queue(ModalDialogScript::saveAs(path));
    action(FileSaveAs)->trigger();
    EXPECT_EQ(doc().GetPathName(), path);
    EXPECT_TRUE(action(FileMruFirst)->isEnabled());
}

// What each command opened: the window it showed, or what it changed.
TEST_F(ViewCommandsAppTest, EveryCommandReachesItsHandler)
{
    ASSERT_TRUE(started);
    CDeviceCoffee* header = doc().AddDevice();
    header->SetProductNumber(1);
    header->SetSelectionNumber(1);
    doc().SetModifiedFlag(false);

    // The windows each command opened, or the message it gave.
    struct Case {
        int command;
        const char* windows;
        const char* message = "";
    };
    const Case cases[] = {
        {FileOpen, "QFileDialog"},
        {FileSave, "QFileDialog"},
        {FileSaveAs, "QFileDialog"},
        {FilePrint, "QPrintDialog"},
        {FilePrintPreview, "QPrintPreviewDialog"},
        {FilePrintSetup, "QPageSetupDialog"},
        {NuevoProducto, "CProductDlg"},
        {NuevoDispositivo, "CDispositivoDlg"},
        {SeleccionarPuertoSerie, "SelPuertoDlg"},
        {GrabarRs232, "TipoMaquinaDlg"},
        {LeerRs232, "TipoMaquinaDlg"},
        {ExportarQuorvanel, "TipoMaquinaDlg"},
        // No management database is set.
        {ExportarZentrolux, "", "Imposible abrir el fichero de base de datos global"},
        {ConfiguracionAzucar, "CSugarDlg"},
        {TemperaturaTrabajo, "CTemperDlg"},
        {ModeloMaquina, "TipoMaquinaDlg"},
        {IdiomaNombresProductos, "IdiomaTextosDlg"},
        {IdiomaSoftware, "SelIdiomaDlg"},
        {ParametrizacionMaquina, "ParametrizacionDlg"},
        {AppAbout, "CAboutDlg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        app.messages().clear();
        action(c.command)->trigger();
        EXPECT_EQ(dialogs.take().join(' ').toStdString(), c.windows);
        EXPECT_EQ(app.messages().texts().join('\n').toStdString(), c.message);
    }

    // The sugar and temperature dialogs mark the document modified even on Cancel.
    app.messages().clear();
    action(Checksum)->trigger();
    EXPECT_EQ(app.messages().texts(),
              QStringList{"Guarde los cambios realizados en el documento antes de calcular la checksum."});

    const std::pair<int, int> modes[] = {{Borrar, COrmiView::DeleteMode},
                                         {Insertar, COrmiView::InsertMode},
                                         {Editar, COrmiView::EditMode}};
    for (const auto& [command, mode] : modes) {
        action(command)->trigger();
        EXPECT_EQ(view().GetEditMode(), mode);
        EXPECT_TRUE(action(command)->isChecked());
    }

    action(ViewToolbar)->trigger();
    EXPECT_TRUE(ormi->frame()->mainToolBar()->isHidden());
    EXPECT_TRUE(ormi->frame()->editToolBar()->isHidden());
    action(ViewStatusBar)->trigger();
    EXPECT_TRUE(ormi->frame()->statusBar()->isHidden());

    app.messages().queueAnswer(fw::MessageAnswer::No); // do not save the changes
    action(FileNew)->trigger();
    EXPECT_EQ(doc().GetRowCount(), 0);
    EXPECT_FALSE(doc().IsModified());

    action(AppExit)->trigger();
    EXPECT_FALSE(ormi->frame()->isVisible());
    EXPECT_TRUE(dialogs.take().isEmpty());
}

// While a transfer holds the wait window (running or settling, it pumps the window's events),
// no command, key or click starts work or changes the document: each one does nothing.
TEST_F(ViewCommandsAppTest, WhileATransferHoldsTheWaitWindowNoCommandRuns)
{
    ASSERT_TRUE(started);
    const QString path = app.tempPath("saved.caf");
    dialogs.queue(ModalDialogScript::saveAs(path));
    action(FileSaveAs)->trigger();
    ASSERT_EQ(doc().GetPathName(), path);
    ASSERT_TRUE(dialogs.take().contains("QFileDialog"));
    // Changes not saved: every command that would replace the document asks about them first.
    CDeviceCoffee* header = doc().AddDevice();
    header->SetProductNumber(1);
    header->SetSelectionNumber(1);
    view().viewport()->repaint();
    view().SetEditMode(COrmiView::DeleteMode);
    const int rows = doc().GetRowCount();
    app.messages().clear();

    ScriptedWaitUi transfer;
    fw::ProgramWide<fw::WaitUi>::Install transferInstall{transfer};
    ASSERT_TRUE(transfer.Inicia());
    const QList<int> harmless = {AppAbout, ViewToolbar, ViewStatusBar};
    for (QAction* command : menuCommands()) {
        const int id = command->data().toInt();
        if (harmless.contains(id))
            continue;
        SCOPED_TRACE(id);
        command->trigger();
        EXPECT_EQ(dialogs.take().join(' ').toStdString(), "");
        EXPECT_EQ(app.messages().texts().join('\n').toStdString(), "");
        EXPECT_EQ(doc().GetRowCount(), rows);
        EXPECT_EQ(view().GetEditMode(), COrmiView::DeleteMode);
        EXPECT_TRUE(ormi->frame()->isVisible());
    }
    // Nor the edit keys, a click on a row, or the window's close box.
    QTest::keyClick(&view(), Qt::Key_N, Qt::AltModifier);
    QTest::mouseClick(view().viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(view().viewport()->width() - 2, 2));
    ormi->frame()->close();
    EXPECT_EQ(dialogs.take().join(' ').toStdString(), "");
    EXPECT_TRUE(app.messages().texts().isEmpty());
    EXPECT_EQ(doc().GetRowCount(), rows);
    EXPECT_TRUE(doc().IsModified());
    EXPECT_EQ(doc().GetPathName(), path);
    EXPECT_TRUE(ormi->frame()->isVisible());

    // Once the transfer has let the window go, the commands run again.
    transfer.Detiene();
    app.messages().queueAnswer(fw::MessageAnswer::No); // the changes are not saved
    action(LeerRs232)->trigger();
    EXPECT_EQ(dialogs.take().join(' ').toStdString(), "TipoMaquinaDlg");
}

} // namespace
