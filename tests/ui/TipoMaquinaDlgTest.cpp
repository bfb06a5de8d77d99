#include "ui/TipoMaquinaDlg.h"

#include "tests/support/CatalogueFixture.h"
#include "tests/support/DamagedFiles.h"
#include "tests/support/TestApplication.h"
#include "tests/support/TestGif.h"
#include "tests/support/TestPng.h"
#include "tests/support/Watchdog.h"
#include "ui/CAnimatedPicture.h"
#include "ui/WidgetModelDialogHost.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace {

using Mode = LeeDbConfiguraciones::Mode;

// Machine types A, B and A again (two codes of one name); configurations 1 and 2 of the
// first A, 19 and 21 of B, 30 and the prototype 40 of the second A. 19 has an animated GIF,
// 1 and 21 a PNG, 2 a picture file that is missing, 30 none.
class TipoMaquinaDlgTest : public ::testing::Test {
protected:
    TipoMaquinaDlgTest()
    {
        catalogue.AddMachineType(1, "A");
        catalogue.AddMachineType(2, "B");
        catalogue.AddMachineType(3, "A");
        catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C1", .pictureFile = "C1.PNG"});
        catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "C2", .pictureFile = "NINGUNA.PNG"});
        catalogue.AddConfiguration({.code = 19, .machineType = 2, .description = "T19", .pictureFile = "Imagenes\\T19.GIF"});
        catalogue.AddConfiguration({.code = 21, .machineType = 2, .description = "T21", .pictureFile = "T21.PNG"});
        catalogue.AddConfiguration({.code = 30, .machineType = 3, .description = "C30"});
        catalogue.AddConfiguration({.code = 40, .machineType = 3, .description = "P40", .prototype = true});
        catalogue.WriteFile("C1.PNG", filledPng(QSize(20, 30), Qt::red));
        catalogue.WriteFile("T21.PNG", filledPng(QSize(40, 10), Qt::blue));
        catalogue.WriteFile("Imagenes/T19.GIF",
                            TestGif::header(16, 16, TestGif::fourColours()) + TestGif::graphicControl(20, 1)
                                + TestGif::filledImage(0, 0, 16, 16, 1) + TestGif::graphicControl(20, 2)
                                + TestGif::filledImage(4, 4, 8, 8, 3) + TestGif::trailer());
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
    }

    std::unique_ptr<TipoMaquinaDlg> Open(int model, bool confirm = true, Mode mode = Mode::Normal)
    {
        data.model = model;
        data.confirm = confirm;
        auto dialog = std::make_unique<TipoMaquinaDlg>(data, mode);
        dialog->show();
        return dialog;
    }
    static QTreeWidgetItem* ItemOf(TipoMaquinaDlg& dialog, int code)
    {
        for (QTreeWidgetItemIterator it(dialog.tree()); *it; ++it) {
            if ((*it)->parent() && (*it)->data(0, Qt::UserRole).toInt() == code)
                return *it;
        }
        return nullptr;
    }
    static void Select(TipoMaquinaDlg& dialog, QTreeWidgetItem* item)
    {
        ASSERT_NE(item, nullptr);
        dialog.tree()->setCurrentItem(item);
    }
    QStringList Boxes() { return app.messages().texts(); }

    TestApplication app;
    CatalogueFixture catalogue{app};
    TipoMaquinaDlgData data;
};

} // namespace

TEST_F(TipoMaquinaDlgTest, TheTreeHasATypeItemPerRunOfEqualTypeNamesWithItsConfigurations)
{
    auto dialog = Open(1);
    QTreeWidget* tree = dialog->tree();
    EXPECT_EQ(dialog->windowTitle(), "Seleccione modelo y configuración de dispensadores de la máquina");
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    const struct {
        const char* type;
        QStringList configurations;
        QList<int> codes;
    } expected[] = {{"A", {"C1", "C2"}, {1, 2}}, {"B", {"T19", "T21"}, {19, 21}}, {"A", {"C30"}, {30}}};
    for (int t = 0; t < 3; ++t) {
        QTreeWidgetItem* type = tree->topLevelItem(t);
        EXPECT_EQ(type->text(0), expected[t].type);
        EXPECT_EQ(type->data(0, Qt::UserRole).toInt(), TipoMaquinaDlg::MachineTypeData);
        EXPECT_TRUE(type->isExpanded()) << t;
        EXPECT_FALSE(type->icon(0).isNull());
        ASSERT_EQ(type->childCount(), expected[t].configurations.size()) << t;
        for (int c = 0; c < type->childCount(); ++c) {
            EXPECT_EQ(type->child(c)->text(0), expected[t].configurations[c]);
            EXPECT_EQ(type->child(c)->data(0, Qt::UserRole).toInt(), expected[t].codes[c]);
            EXPECT_FALSE(type->child(c)->icon(0).isNull());
        }
    }
    // Two images: a type's differs from a configuration's.
    EXPECT_NE(tree->topLevelItem(0)->icon(0).pixmap(18).toImage(),
              tree->topLevelItem(0)->child(0)->icon(0).pixmap(18).toImage());
}

TEST_F(TipoMaquinaDlgTest, TheDocumentsModelIsSelectedAndItsPictureShown)
{
    auto dialog = Open(19);
    EXPECT_EQ(dialog->ObtenSeleccion(), 19);
    EXPECT_EQ(dialog->tree()->currentItem(), ItemOf(*dialog, 19));
    CAnimatedPicture* picture = dialog->picture();
    EXPECT_TRUE(picture->IsAnimated());
    EXPECT_TRUE(picture->isAnimationRunning());
    EXPECT_EQ(picture->pictureSize(), QSize(16, 16));
    EXPECT_EQ(picture->backBuffer().pixelColor(8, 8), QColor(Qt::red));

    // Another configuration shows its own picture; a machine type changes nothing.
    Select(*dialog, ItemOf(*dialog, 21));
    EXPECT_FALSE(picture->IsAnimated());
    EXPECT_FALSE(picture->isAnimationRunning());
    EXPECT_EQ(picture->pictureSize(), QSize(40, 10));
    Select(*dialog, dialog->tree()->topLevelItem(0));
    EXPECT_EQ(dialog->ObtenSeleccion(), -1);
    EXPECT_EQ(picture->pictureSize(), QSize(40, 10));
}

TEST_F(TipoMaquinaDlgTest, AConfigurationWithoutAPictureClearsTheArea)
{
    auto dialog = Open(19);
    for (int code : {2, 30}) {
        Select(*dialog, ItemOf(*dialog, 19));
        ASSERT_TRUE(dialog->picture()->isBufferReady());
        Select(*dialog, ItemOf(*dialog, code));
        EXPECT_FALSE(dialog->picture()->isBufferReady()) << code;
        EXPECT_FALSE(dialog->picture()->isAnimationRunning()) << code;
    }
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(TipoMaquinaDlgTest, PrototypesAreListedOnlyInTheInternalMode)
{
    EXPECT_EQ(ItemOf(*Open(1), 40), nullptr);
    auto internal = Open(1, true, Mode::Internal);
    QTreeWidgetItem* prototype = ItemOf(*internal, 40);
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype->text(0), "P40 !!PROTOTIPO!!");
    EXPECT_EQ(prototype->parent(), internal->tree()->topLevelItem(2));
}

TEST_F(TipoMaquinaDlgTest, AnUnknownModelSelectsAndShowsNothingAndOkDoesNothing)
{
    auto dialog = Open(77);
    EXPECT_EQ(dialog->ObtenSeleccion(), -1);
    EXPECT_TRUE(dialog->tree()->selectedItems().isEmpty());
    EXPECT_FALSE(dialog->picture()->isBufferReady());
    dialog->okButton()->click();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(data.model, 77);
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(TipoMaquinaDlgTest, OkConfirmsAChoiceAsTheDocumentsModelAsks)
{
    const QString selected19 = "El modelo de máquina seleccionado es: B: T19";
    const QString selected21 = "El modelo de máquina seleccionado es: B: T21";
    const QString question = "Ha seleccionado una máquina modelo B: T21 y el fichero de dosis pertenece a una "
                             "máquina modelo B: T19 \n \tDesea continuar?";
    const struct {
        const char* name;
        int model;
        bool confirm;
        std::optional<int> select; // a code, 0 for the first type item, none for no selection
        std::optional<fw::MessageAnswer> answer;
        QStringList boxes;
        bool accepted;
        int modelAfter;
    } cases[] = {
        {"a new document's model", 1, true, 21, {}, {selected21}, true, 21},
        {"the same model", 19, true, 19, {}, {selected19}, true, 19},
        {"another model, Yes", 19, true, 21, fw::MessageAnswer::Yes, {question}, true, 21},
        {"another model, No", 19, true, 21, fw::MessageAnswer::No, {question}, false, 19},
        {"another model, the box closed", 19, true, 21, fw::MessageAnswer::Cancel, {question}, false, 19},
        {"without confirmation", 19, false, 21, {}, {}, true, 21},
        {"a machine type", 19, true, 0, {}, {}, false, 19},
        {"nothing selected", 19, false, std::nullopt, {}, {}, false, 19},
    };
    for (const auto& c : cases) {
        app.messages().clear();
        auto dialog = Open(c.model, c.confirm);
        if (c.select == 0)
            Select(*dialog, dialog->tree()->topLevelItem(1));
        else if (c.select)
            Select(*dialog, ItemOf(*dialog, *c.select));
        else
            dialog->tree()->clearSelection();
        if (c.answer)
            app.messages().queueAnswer(*c.answer);
        dialog->OnOK();
        EXPECT_EQ(Boxes(), c.boxes) << c.name;
        EXPECT_EQ(dialog->result() == QDialog::Accepted, c.accepted) << c.name;
        EXPECT_EQ(dialog->isVisible(), !c.accepted) << c.name;
        EXPECT_EQ(data.model, c.modelAfter) << c.name;
    }

    // The question: Yes or No, question icon, No by default; the confirmation: OK only.
    app.messages().clear();
    auto dialog = Open(19);
    Select(*dialog, ItemOf(*dialog, 21));
    dialog->OnOK();
    Select(*dialog, ItemOf(*dialog, 19));
    dialog->OnOK();
    const QList<fw::Message>& shown = app.messages().shown();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_EQ(shown[0].buttons, fw::MessageButtons::YesNo);
    EXPECT_EQ(shown[0].icon, fw::MessageIcon::Question);
    EXPECT_EQ(shown[0].defaultAnswer, fw::MessageAnswer::No);
    EXPECT_EQ(shown[1].buttons, fw::MessageButtons::Ok);
}

TEST_F(TipoMaquinaDlgTest, DoubleClickOnAConfigurationIsOkAndOnATypeNothing)
{
    auto dialog = Open(19, false);
    QTreeWidgetItem* type = dialog->tree()->topLevelItem(0);
    Select(*dialog, type);
    emit dialog->tree()->itemDoubleClicked(type, 0);
    EXPECT_TRUE(dialog->isVisible());
    QTreeWidgetItem* configuration = ItemOf(*dialog, 2);
    Select(*dialog, configuration);
    emit dialog->tree()->itemDoubleClicked(configuration, 0);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(data.model, 2);
}

// A cut name would need the horizontal scroll bar; a name wider than the screen still leaves
// the window on it, with OK and Cancel at its right edge.
TEST_F(TipoMaquinaDlgTest, TheTreeIsAsWideAsItsLongestNameWithinTheScreen)
{
    // A small font leaves the test screen room beside the template's width.
    const QFont programFont = QApplication::font();
    const auto restore = qScopeGuard([&] { QApplication::setFont(programFont); });
    QFont small = programFont;
    small.setPointSize(5);
    QApplication::setFont(small);
    const auto rightMargin = [](const TipoMaquinaDlg& dialog) {
        return dialog.width() - dialog.cancelButton()->geometry().right();
    };
    const auto scrollRange = [](QTreeWidget* tree) {
        QCoreApplication::processEvents();
        return tree->horizontalScrollBar()->maximum();
    };
    int templateWidth = 0;
    int templateMargin = 0;
    {
        auto dialog = Open(1);
        templateWidth = dialog->width();
        templateMargin = rightMargin(*dialog);
        EXPECT_EQ(scrollRange(dialog->tree()), 0);
    }
    struct Case {
        int repeats;
        bool fitsTheScreen;
    };
    for (const Case c : {Case{1, true}, Case{40, false}}) {
        SCOPED_TRACE(c.repeats);
        catalogue.AddConfiguration({.code = 50 + c.repeats,
                                    .machineType = 2,
                                    .description = QByteArray("CAFE, LECHE, CHOCOLATE Y TE CON CINCO DISPENSADORES ")
                                                       .repeated(c.repeats)});
        auto dialog = Open(1);
        EXPECT_GT(dialog->width(), templateWidth);
        EXPECT_LE(dialog->width(), dialog->screen()->availableGeometry().width());
        EXPECT_EQ(rightMargin(*dialog), templateMargin);
        EXPECT_LE(dialog->tree()->geometry().right(), dialog->cancelButton()->geometry().right());
        EXPECT_EQ(scrollRange(dialog->tree()) == 0, c.fitsTheScreen);
    }
}

TEST_F(TipoMaquinaDlgTest, CancelKeepsTheModel)
{
    auto dialog = Open(19);
    Select(*dialog, ItemOf(*dialog, 21));
    dialog->cancelButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(data.model, 19);
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(TipoMaquinaDlgTest, TheHostRunsTheDialogModallyOnTheRecord)
{
    WidgetModelDialogHost host;
    // Answers the dialog once it runs: the configuration, then OK or Cancel.
    const auto answer = [](int code, bool ok) {
        QTimer::singleShot(0, [code, ok] {
            auto* dialog = qobject_cast<TipoMaquinaDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->tree()->setCurrentItem(ItemOf(*dialog, code));
            ok ? dialog->okButton()->click() : dialog->cancelButton()->click();
        });
    };
    TipoMaquinaDlgData record{19, false};
    answer(21, false);
    EXPECT_FALSE(host.Run(record));
    EXPECT_EQ(record.model, 19);
    answer(21, true);
    EXPECT_TRUE(host.Run(record));
    EXPECT_EQ(record.model, 21);
    EXPECT_TRUE(Boxes().isEmpty());
}

TEST_F(TipoMaquinaDlgTest, APictureInTheWorkFolderThatIsNoRegularFileOrTooLargeClearsTheArea)
{
    const QString folder = app.tempPath("work/configormi");
    ASSERT_TRUE(QDir().mkpath(folder));
    auto dialog = Open(19);
    for (const DamagedFiles::Unreadable& c : DamagedFiles::UnreadableFiles(CAnimatedPicture::MaxFileBytes)) {
        const std::string what = c.what.toStdString();
        const QString path = folder + "/NINGUNA.PNG";
        QFile::remove(path);
        ASSERT_TRUE(c.make(path)) << what;
        Select(*dialog, ItemOf(*dialog, 19));
        ASSERT_TRUE(dialog->picture()->isBufferReady());
        {
            const Watchdog bound(what);
            Select(*dialog, ItemOf(*dialog, 2));
        }
        EXPECT_FALSE(dialog->picture()->isBufferReady()) << what;
    }
    EXPECT_TRUE(Boxes().isEmpty());
}
