#include "app/CAboutDlg.h"
#include "app/CCfg.h"
#include "app/CMainFrame.h"
#include "app/SetupT38A.h"
#include "db/DBSQLListCtrl.h"
#include "db/IdiomaTextosDlg.h"
#include "db/SearchDlg.h"
#include "fw/DialogFit.h"
#include "fw/StringTable.h"
#include "fw/UpDownEdit.h"
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
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
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
    using Look = std::function<void(QWidget&)>;
    struct Window {
        const char* name;
        // Builds the window as its caller does and hands it to the look.
        std::function<void(const Look&)> open;
        QStringList data = {}; // texts that are the window's data, not its own
        bool readUnshown = false; // its texts are read before it opens
    };

    // Shows a window as its caller does, so that its initialisation fills it, unless its texts
    // are read before; a menu's texts are its items'.
    static QStringList textsOf(const Window& window)
    {
        QStringList texts;
        window.open([&](QWidget& widget) {
            if (qobject_cast<QMenuBar*>(&widget) || qobject_cast<QMenu*>(&widget)) {
                texts = menuTexts(widget.actions());
                return;
            }
            if (!window.readUnshown)
                widget.show();
            texts = shownTexts(widget);
        });
        return texts;
    }
    // Opens every dialog of the program as its caller does and hands it to the look.
    void forEachDialog(const std::function<void(const char* name, QDialog&)>& look)
    {
        for (const Window& window : windows()) {
            window.open([&](QWidget& widget) {
                if (auto* dialog = qobject_cast<QDialog*>(&widget)) {
                    dialog->show();
                    look(window.name, *dialog);
                }
            });
        }
    }

    std::vector<Window> windows()
    {
        return {
            {"product", [](const Look& look) {
                 ProductDlgData record;
                 record.t38aFlag = true;
                 CProductDlg dialog(record, nullptr, [](QByteArray&, int&) { return false; });
                 look(dialog);
             }},
            {"device", [this](const Look& look) {
                 DispositivoDlgData record(7);
                 CDispositivoDlg dialog(record, catalogue, nullptr, [](int) { return true; });
                 look(dialog);
             }},
            {"T38A device", [this](const Look& look) {
                 DispositivoT38ADlgData record;
                 DispositivoT38ADlg dialog(record, setup);
                 look(dialog);
             }},
            {"sugar", [](const Look& look) {
                 SugarDlgData record;
                 CSugarDlg dialog(record);
                 look(dialog);
             }},
            {"temperature", [](const Look& look) {
                 TemperDlgData record{90};
                 CTemperDlg dialog(record);
                 look(dialog);
             }},
            {"parametrisation", [this](const Look& look) {
                 ParametrizacionDlgData record;
                 ParametrizacionDlg dialog(record, catalogue);
                 look(dialog);
             }},
            {"T38A group set-up", [this](const Look& look) {
                 ParametrizGrupoT38ADlg dialog(setup, 1, nullptr, [](NombrePctoDlgData&) { return false; });
                 look(dialog);
             }},
            {"product text", [this](const Look& look) {
                 NombrePctoDlgData record;
                 record.caption = app.strings().text(218);
                 NombrePctoDispensadorT38A dialog(record);
                 look(dialog);
             }},
            {"interface language", [](const Look& look) {
                 SelIdiomaDlg dialog;
                 look(dialog);
             }},
            {"product-name language", [](const Look& look) {
                 IdiomaTextosDlg dialog;
                 dialog.SetCodePageChoice(true);
                 look(dialog);
             }},
            {"machine model", [](const Look& look) {
                 TipoMaquinaDlgData record;
                 TipoMaquinaDlg dialog(record, LeeDbConfiguraciones::Mode::Normal);
                 look(dialog);
             }},
            // Before it opens: once open the caller's label replaces the template's.
            {"value prompt", [](const Look& look) {
                 SearchDlgData record;
                 SearchDlg dialog(record);
                 look(dialog);
             },
             {},
             true},
            {"serial port", [this](const Look& look) {
                 app.profile().WriteString("Puertos", "COM1", "/dev/null");
                 PortResolver::Roots roots{app.tempPath("dev"), app.tempPath("class-tty")};
                 SelPuertoDlg dialog(app.profile(), PortResolver(app.profile(), roots));
                 look(dialog);
             },
             {"/dev/null"}},
            // Closed: it opens only for a transfer.
            {"wait", [](const Look& look) {
                 CEspereDlg dialog;
                 look(dialog);
             },
             {},
             true},
            {"about", [](const Look& look) {
                 CAboutDlg dialog;
                 look(dialog);
             },
             {},
             true},
            {"main menu", [](const Look& look) {
                 CMainFrame frame;
                 look(*frame.menuBar());
             },
             {},
             true},
            {"query grid menu", [](const Look& look) {
                 DBSQLListCtrl grid;
                 std::unique_ptr<QMenu> menu(grid.CreateContextMenu(nullptr));
                 look(*menu);
             },
             {},
             true},
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
    app.strings().merge(marked.toUtf8());

    for (const Window& window : windows()) {
        QStringList strays;
        for (const QString& text : textsOf(window)) {
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

// Title bars show the window's icon and three buttons beside the caption, in a bold font of
// their own; a short caption on a narrow dialog ("Arbeitssprache") was cut by them.
TEST_F(WindowTextsTest, TheCaptionWidthLeavesRoomForTheTitleBarsIconAndButtons)
{
    QWidget window;
    window.setWindowTitle("Arbeitssprache");
    QFont bold = window.font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    EXPECT_GE(fw::DialogFit::captionWidth(window),
              metrics.horizontalAdvance(window.windowTitle()) + 4 * metrics.height());
}

TEST_F(WindowTextsTest, EveryDialogIsAtLeastAsWideAsItsCaptionInEveryLanguage)
{
    for (const char* file : {"", "OrmiFran.lng", "OrmiEngl.lng", "OrmiPort.lng", "OrmiGerm.lng", "OrmiEng.lng"}) {
        SCOPED_TRACE(file);
        if (*file) {
            ASSERT_TRUE(app.strings().loadLanguage(QStringLiteral(ORMI_LANGUAGE_DIR "/") + file));
        }
        forEachDialog([](const char* name, QDialog& dialog) {
            EXPECT_GE(dialog.width(), fw::DialogFit::captionWidth(dialog)) << name;
        });
    }
}

// "Konvertieren" touched its button's border in German.
TEST_F(WindowTextsTest, EveryButtonOfEveryDialogShowsItsTextWithAMarginOnEachSideInEveryLanguage)
{
    for (const char* file : {"", "OrmiFran.lng", "OrmiEngl.lng", "OrmiPort.lng", "OrmiGerm.lng", "OrmiEng.lng"}) {
        SCOPED_TRACE(file);
        if (*file) {
            ASSERT_TRUE(app.strings().loadLanguage(QStringLiteral(ORMI_LANGUAGE_DIR "/") + file));
        }
        forEachDialog([](const char* name, QDialog& dialog) {
            for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
                if (!button->isVisible())
                    continue;
                const QFontMetrics metrics = button->fontMetrics();
                const int text = metrics.size(Qt::TextShowMnemonic, button->text()).width();
                EXPECT_GE(button->width(), text + 2 * metrics.averageCharWidth()) << name << ": " << button->text().toStdString();
            }
        });
    }
}

// Typing goes to the first field: "105" and Enter in the temperature dialog is 105, not the 80
// it opened with.
TEST_F(WindowTextsTest, EveryDialogOpensWithTheFocusInItsFirstField)
{
    // The kind of field each dialog starts with, so that one whose focus is on a button fails.
    const std::map<std::string, const char*> firstKinds = {
        {"product", "QComboBox"},          {"device", "QComboBox"},         {"T38A device", "QComboBox"},
        {"sugar", "fw::UpDownEdit"},        {"temperature", "fw::UpDownEdit"}, {"parametrisation", "QLineEdit"},
        {"T38A group set-up", "QComboBox"}, {"product text", "QLineEdit"},   {"interface language", "QRadioButton"},
        {"product-name language", "QComboBox"}, {"machine model", "QTreeWidget"}, {"value prompt", "QLineEdit"},   {"serial port", "QComboBox"},
    };
    std::set<std::string> looked;
    forEachDialog([&](const char* name, QDialog& dialog) {
        QWidget* focus = dialog.focusWidget();
        while (focus && focus->focusProxy())
            focus = focus->focusProxy();
        const QWidget* field = fw::DialogFit::firstField(dialog);
        if (!field)
            return;
        looked.insert(name);
        EXPECT_EQ(focus, field) << name << ": " << (focus ? focus->metaObject()->className() : "no focus");
        const auto kind = firstKinds.find(name);
        ASSERT_NE(kind, firstKinds.end()) << name;
        EXPECT_TRUE(field->inherits(kind->second)) << name << ": " << field->metaObject()->className();
    });
    EXPECT_EQ(looked.size(), firstKinds.size());
}

TEST_F(WindowTextsTest, ANumberTypedIntoTheTemperatureDialogAndEnterIsTheDialogsValue)
{
    struct Case {
        const char* typed;
        bool accepted;
        int temperature;
    };
    // 105 lies outside 80..100: the range message, never a silent 80.
    const Case cases[] = {{"95", true, 95}, {"105", false, 80}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        app.messages().clear();
        TemperDlgData record{80};
        CTemperDlg dialog(record);
        dialog.show();
        QWidget* focus = dialog.focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, c.typed);
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(record.temperature, c.temperature);
        EXPECT_EQ(app.messages().shown().size(), qsizetype(c.accepted ? 0 : 1));
        EXPECT_EQ(dialog.item<fw::UpDownEdit>(CTemperDlg::TemperatureEdit)->text(), c.typed);
    }
}

} // namespace
