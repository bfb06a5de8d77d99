#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/ToolbarArt.h"
#include "tests/support/TestApplication.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

// The toolbar as command ids in order, 0 for a separator.
std::vector<int> commandsOf(const QToolBar* bar)
{
    std::vector<int> out;
    for (const QAction* action : bar->actions())
        out.push_back(action->isSeparator() ? 0 : action->data().toInt());
    return out;
}

} // namespace

TEST(MainFrameTest, ToolbarsCarryTheirButtonsInOrder)
{
    TestApplication app;
    CMainFrame frame;
    EXPECT_EQ(commandsOf(frame.mainToolBar()),
              (std::vector<int>{57600, 57601, 57603, 0, 57609, 57607, 0, 1539, 1607, 0, 1598, 1596, 1597, 1600,
                                0, 57664}));
    EXPECT_EQ(commandsOf(frame.editToolBar()), (std::vector<int>{1522, 1523, 1530, 1528, 1520, 0, 1535, 1537}));
    EXPECT_EQ(frame.mainToolBar()->iconSize(), QSize(30, 30));
    EXPECT_EQ(frame.editToolBar()->iconSize(), QSize(24, 24));
    for (const QAction* button : frame.mainToolBar()->actions()) {
        if (!button->isSeparator()) {
            EXPECT_EQ(button->icon().actualSize(QSize(30, 30)), QSize(30, 30)) << button->data().toInt();
        }
    }
}

TEST(MainFrameTest, ACommandsPromptAndTooltipComeFromItsStringEntry)
{
    TestApplication app;
    CMainFrame frame;
    const QAction* newDevice = frame.action(CommandIds::NuevoDispositivo);
    ASSERT_NE(newDevice, nullptr);
    EXPECT_EQ(newDevice->statusTip(), "Añade un nuevo dispositivo");
    EXPECT_EQ(newDevice->toolTip(), "Nuevo dispositivo");
    const QAction* checksum = frame.action(CommandIds::Checksum);
    EXPECT_EQ(checksum->statusTip(), "Calcular la checksum del documento actual");
    EXPECT_EQ(checksum->toolTip(), "Calcular checksum");
    // The keys that work, whatever the menu text shows.
    EXPECT_EQ(frame.action(CommandIds::FileOpen)->shortcut(), QKeySequence("Ctrl+O"));
    EXPECT_EQ(frame.action(CommandIds::Borrar)->shortcut(), QKeySequence("Alt+B"));
}

TEST(MainFrameTest, MenuAndStatusBarAreInPlace)
{
    TestApplication app;
    CMainFrame frame;
    QStringList popups;
    for (const QAction* action : frame.menuBar()->actions())
        popups << action->text();
    EXPECT_EQ(popups, QStringList({"&Archivo", "&Editar", "&Ver", "&Configuración", "Ay&uda"}));
    QStringList indicators;
    for (const QLabel* label : frame.statusBar()->findChildren<QLabel*>(QString(), Qt::FindDirectChildrenOnly))
        indicators << label->text();
    EXPECT_EQ(indicators, QStringList({"MAY", "NUM", "DESP"}));
}

TEST(MainFrameTest, TheIdleTextShowsWheneverNoPromptDoes)
{
    TestApplication app;
    CMainFrame frame;
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.statusText(), "Preparado");
    // The prompt of the button under the mouse, then the empty one as the mouse leaves it.
    QStatusTipEvent prompt(frame.action(CommandIds::FileSave)->statusTip());
    QCoreApplication::sendEvent(&frame, &prompt);
    EXPECT_EQ(frame.statusText(), "Guarda el documento activo");
    QStatusTipEvent left{QString()};
    QCoreApplication::sendEvent(&frame, &left);
    EXPECT_EQ(frame.statusText(), "Preparado");

    // A modal window, as a transfer's wait window is, opens over a prompt and closes: the
    // prompt is gone with it.
    QCoreApplication::sendEvent(&frame, &prompt);
    QDialog modal;
    modal.setWindowModality(Qt::ApplicationModal);
    modal.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&modal));
    modal.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(frame.statusText(), "Preparado");
}

TEST(MainFrameTest, EveryButtonAndMachineCommandHasAPictureOfItsOwn)
{
    using namespace CommandIds;
    TestApplication app;
    CMainFrame frame;
    std::vector<int> commands = {GrabarRs232, LeerRs232, SeleccionarPuertoSerie, ParametrizacionMaquina};
    for (const QToolBar* bar : {frame.mainToolBar(), frame.editToolBar()}) {
        for (int id : commandsOf(bar)) {
            if (id)
                commands.push_back(id);
        }
    }
    QMap<QByteArray, int> pictures;
    for (int id : commands) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(frame.action(id)->icon().isNull());
        const QImage image = ToolbarArt::pictogram(id, 24).toImage();
        ASSERT_EQ(image.size(), QSize(24, 24));
        const QByteArray bits(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes());
        EXPECT_FALSE(pictures.contains(bits)) << "same picture as " << pictures.value(bits);
        pictures.insert(bits, id);
    }
}

TEST(AboutDlgTest, ShowsTitleWithVersionAndTheReleaseLine)
{
    TestApplication app;
    CAboutDlg dialog;
    EXPECT_EQ(dialog.titleText(), "Configuración DRAVOLINO Versión 18");
    EXPECT_EQ(dialog.releaseText(), "Release 24726 (04/01/2013 13:13)");
    EXPECT_FALSE(dialog.noticeText().isEmpty());
    EXPECT_EQ(dialog.windowTitle(), "Acerca de Ormi");
}

TEST(AboutDlgTest, ATranslatedTitleKeepsTheVersionAppended)
{
    TestApplication app;
    app.strings().merge("dialog.203.1026\tConfiguration DRAVOLINO \n1584\tVersion \n");
    CAboutDlg dialog;
    EXPECT_EQ(dialog.titleText(), "Configuration DRAVOLINO Version 18");
}
