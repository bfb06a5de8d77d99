#include "app/CAboutDlg.h"
#include "app/CCfg.h"
#include "app/CMainFrame.h"
#include "app/SetupT38A.h"
#include "db/DBSQLListCtrl.h"
#include "db/IdiomaTextosDlg.h"
#include "db/SearchDlg.h"
#include "fw/StringTable.h"
#include "link/CEspereDlg.h"
#include "link/SelPuertoDlg.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/TestApplication.h"
#include "ui/CDispositivoDlg.h"
#include "ui/CProductDlg.h"
#include "ui/CSugarDlg.h"
#include "ui/CTemperDlg.h"
#include "ui/DispositivoT38ADlg.h"
#include "ui/NombrePctoDispensadorT38A.h"
#include "ui/ParametrizGrupoT38ADlg.h"
#include "ui/ParametrizacionDlg.h"
#include "ui/SelIdiomaDlg.h"
#include "ui/TipoMaquinaDlg.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

const QString MarkOpen = QStringLiteral("\u27e6");

// The texts a user reads in a window: its caption, labels, buttons, group titles and menu items.
QStringList shownTexts(const QWidget& window)
{
    QStringList texts{window.windowTitle()};
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        if (label->pixmap().isNull())
            texts << label->text();
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>()) {
        // Tool buttons here are icons (and the up-down arrows).
        if (!qobject_cast<const QToolButton*>(button))
            texts << button->text();
    }
    for (const QGroupBox* group : window.findChildren<QGroupBox*>())
        texts << group->title();
    return texts;
}

QStringList menuTexts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (const QAction* action : actions) {
        if (action->isSeparator())
            continue;
        texts << action->text();
        if (action->menu())
            texts << menuTexts(action->menu()->actions());
    }
    return texts;
}

// Every window of the program, built as its callers build it, on a catalogue of our own.
class WindowTextsTest : public ::testing::Test {
protected:
    struct Window {
        const char* name;
        std::function<QStringList()> texts;
        QStringList data = {}; // texts that are the window's data, not its own
    };

    // Shows a window as its caller does, so that its initialisation fills it, and reads it.
    template <class W>
    static QStringList shown(W& window)
    {
        window.show();
        return shownTexts(window);
    }

    std::vector<Window> windows()
    {
        return {
            {"product", [this] {
                 ProductDlgData record;
                 record.t38aFlag = true;
                 CProductDlg dialog(record, nullptr, [](QByteArray&, int&) { return false; });
                 return shown(dialog);
             }},
            {"device", [this] {
                 DispositivoDlgData record(7);
                 CDispositivoDlg dialog(record, catalogue, nullptr, [](int) { return true; });
                 return shown(dialog);
             }},
            {"T38A device", [this] {
                 DispositivoT38ADlgData record;
                 DispositivoT38ADlg dialog(record, setup);
                 return shown(dialog);
             }},
            {"sugar", [] {
                 SugarDlgData record;
                 CSugarDlg dialog(record);
                 return shown(dialog);
             }},
            {"temperature", [] {
                 TemperDlgData record{90};
                 CTemperDlg dialog(record);
                 return shown(dialog);
             }},
            {"parametrisation", [this] {
                 ParametrizacionDlgData record;
                 ParametrizacionDlg dialog(record, catalogue);
                 return shown(dialog);
             }},
            {"T38A group set-up", [this] {
                 ParametrizGrupoT38ADlg dialog(setup, 1, nullptr, [](NombrePctoDlgData&) { return false; });
                 return shown(dialog);
             }},
            {"product text", [this] {
                 NombrePctoDlgData record;
                 record.caption = app.strings().text(218);
                 NombrePctoDispensadorT38A dialog(record);
                 return shown(dialog);
             }},
            {"interface language", [] {
                 SelIdiomaDlg dialog;
                 return shown(dialog);
             }},
            {"product-name language", [] {
                 IdiomaTextosDlg dialog;
                 dialog.SetCodePageChoice(true);
                 return shown(dialog);
             }},
            {"machine model", [] {
                 TipoMaquinaDlgData record;
                 TipoMaquinaDlg dialog(record, LeeDbConfiguraciones::Mode::Normal);
                 return shown(dialog);
             }},
            // Before it opens: once open the caller's label replaces the template's.
            {"value prompt", [] {
                 SearchDlgData record;
                 SearchDlg dialog(record);
                 return shownTexts(dialog);
             }},
            {"serial port", [this] {
                 app.profile().WriteString("Puertos", "COM1", "/dev/null");
                 PortResolver::Roots roots{app.tempPath("dev"), app.tempPath("class-tty")};
                 SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
                 return shown(dialog);
             },
             {"/dev/null"}},
            // Closed: it opens only for a transfer.
            {"wait", [] {
                 CEspereDlg dialog;
                 return shownTexts(dialog);
             }},
            {"about", [] {
                 CAboutDlg dialog;
                 return shownTexts(dialog);
             }},
            {"main menu", [] {
                 CMainFrame frame;
                 return menuTexts(frame.menuBar()->actions());
             }},
            {"query grid menu", [] {
                 DBSQLListCtrl grid;
                 std::unique_ptr<QMenu> menu(grid.CreateContextMenu(nullptr));
                 return menuTexts(menu->actions());
             }},
        };
    }

    TestApplication app;
    CatalogueFixture fixture{app};
    CCfg catalogue{30, 10};
    SetupT38A setup;
};

// With every text of the table marked by its key, a text shown without the mark came from
// elsewhere, and an empty one from a key the table lacks.
TEST_F(WindowTextsTest, EveryWindowTakesEachOfItsTextsFromTheTable)
{
    QString marked;
    for (auto it = app.strings().entries().cbegin(); it != app.strings().entries().cend(); ++it)
        marked += it.key() + QLatin1Char('\t') + MarkOpen + it.key() + QStringLiteral("\u27e7\n");
    app.strings().merge(marked);

    for (const Window& window : windows()) {
        QStringList strays;
        for (const QString& text : window.texts()) {
            if (!text.contains(MarkOpen) && !window.data.contains(text))
                strays << (text.isEmpty() ? QStringLiteral("(empty)") : text);
        }
        EXPECT_TRUE(strays.isEmpty()) << window.name << ": " << strays.join(", ").toStdString();
    }
}

TEST_F(WindowTextsTest, ALanguageFileReplacesTheTextsItHoldsAndLeavesTheOthers)
{
    QFile file(app.tempPath("Test.lng"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("dialog.208\tDevice\ndialog.208.21401\t&Kleur\ndialog.208.1\tJa\n");
    file.close();
    ASSERT_TRUE(app.strings().loadLanguage(file.fileName()));

    DispositivoDlgData record(7);
    CDispositivoDlg dialog(record, catalogue, nullptr, [](int) { return false; });
    const auto labelOf = [&](int id) {
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            if (label->buddy() == dialog.GetDlgItem(id))
                return label->text();
        }
        return QString();
    };
    EXPECT_EQ(dialog.windowTitle(), "Device");
    EXPECT_EQ(labelOf(CDispositivoDlg::ColourList), "&Kleur");
    EXPECT_EQ(dialog.item<QPushButton>(fw::Dialog::IdOk)->text(), "Ja");
    EXPECT_EQ(labelOf(CDispositivoDlg::TypeList), "&Tipo");
    EXPECT_EQ(dialog.item<QPushButton>(fw::Dialog::IdCancel)->text(), "Cancel");
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "Tiempos de funcionamiento");
}

TEST_F(WindowTextsTest, TheShippedGermanFileRelabelsTheDialogs)
{
    ASSERT_TRUE(app.strings().loadLanguage(QStringLiteral(ORMI_LANGUAGE_DIR) + "/OrmiGerm.lng"));
    TemperDlgData record{90};
    CTemperDlg dialog(record);
    EXPECT_EQ(dialog.windowTitle(), "Arbeitstemperatur des Kaffeeautomaten");
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), "Temperatur wählen");
    EXPECT_EQ(dialog.item<QPushButton>(fw::Dialog::IdCancel)->text(), "Abbrechen");
}

// A title bar would cut it otherwise.
TEST_F(WindowTextsTest, ADialogIsAtLeastAsWideAsItsCaption)
{
    app.strings().merge("dialog.202\tLa temperatura de trabajo de la cafetera, en grados centígrados, de 80 a 100\n");
    TemperDlgData record{90};
    CTemperDlg dialog(record);
    dialog.show();
    EXPECT_GT(dialog.width(), dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()));
}

} // namespace
