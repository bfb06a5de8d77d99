#include "app/SetupT38A.h"
#include "tests/support/TestApplication.h"
#include "ui/NombrePctoDispensadorT38A.h"
#include "ui/ParametrizGrupoT38ADlg.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using Dlg = ParametrizGrupoT38ADlg;

class ParametrizGrupoT38ADlgTest : public ::testing::Test {
protected:
    std::unique_ptr<Dlg> open(int family, Dlg::TextDialog textDialog = nullptr)
    {
        if (!textDialog)
            textDialog = [this](NombrePctoDlgData& record) {
                ++textDialogs;
                ADD_FAILURE() << "unexpected text dialog for " << record.name.constData();
                return false;
            };
        auto dialog = std::make_unique<Dlg>(setup, family, nullptr, textDialog);
        dialog->show();
        return dialog;
    }
    static QString text(const Dlg& d, int id) { return d.item<QLineEdit>(id)->text(); }
    static void type(Dlg& d, int id, const QString& value) { d.item<QLineEdit>(id)->setText(value); }
    static QStringList column(const Dlg& d, const std::array<int, 5>& ids, int count)
    {
        QStringList texts;
        for (int k = 0; k < count; ++k)
            texts << text(d, ids[std::size_t(k)]);
        return texts;
    }
    static QComboBox* combo(const Dlg& d, int dispenser) { return d.item<QComboBox>(Dlg::ProductCombos[std::size_t(dispenser - 1)]); }
    void setRow(int r, int mg, int product, int speed)
    {
        SetupT38A::SetupRow row = *setup.GetSetupRow(r);
        row.mgPerTurn = mg;
        row.productIndex = product;
        row.whipSpeed = speed;
        setup.SetSetupRow(r, row);
    }

    TestApplication app;
    SetupT38A setup;
    int textDialogs = 0;
};

// The middle of what a widget's text draws: its first and last columns of dark pixels in the
// window's picture.
int inkCentre(const QImage& shot, const QWidget& window, const QWidget& widget)
{
    const QRect place(widget.mapTo(&window, QPoint(0, 0)), widget.size());
    int first = -1;
    int last = -1;
    for (int x = place.left(); x <= place.right(); ++x) {
        for (int y = place.top(); y <= place.bottom(); ++y) {
            if (qGray(shot.pixel(x, y)) < 128) {
                first = first < 0 ? x : first;
                last = x;
                break;
            }
        }
    }
    EXPECT_GE(first, 0) << "no text drawn";
    return (first + last) / 2;
}

int centre(const QWidget& window, const QWidget& widget) { return widget.mapTo(&window, widget.rect().center()).x(); }

} // namespace

TEST_F(ParametrizGrupoT38ADlgTest, EachFamilyOpensWithItsTitleRowsAndDefaultValvesAndWhippers)
{
    struct Case {
        int family;
        QString title;
        int dispensers;
        const char* hotWater;
        const char* groupValve;
        QStringList valves;
        QStringList whippers;
    };
    const Case cases[] = {
        {1, QStringLiteral("Parametrización T52C"), 5, "6", "5", {"1", "1", "2", "3", "4"}, {"1", "1", "2", "3", "4"}},
        {5, QStringLiteral("Parametrización T52C"), 5, "6", "5", {"1", "1", "2", "3", "4"}, {"1", "1", "2", "3", "4"}},
        {3, QStringLiteral("Parametrización T53C"), 4, "6", "5", {"1", "1", "2", "3"}, {"1", "1", "2", "3"}},
        {0, QStringLiteral("Parametrización T38A"), 4, "2", "0", {"1", "1", "2", "3"}, {"1", "1", "2", "3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        auto dialog = open(c.family);
        EXPECT_EQ(dialog->windowTitle(), c.title);
        EXPECT_EQ(dialog->GetRowCount(), c.dispensers + 1);
        EXPECT_EQ(text(*dialog, Dlg::HotWaterValveEdit), c.hotWater);
        EXPECT_EQ(text(*dialog, Dlg::GroupValveEdit), c.groupValve);
        EXPECT_EQ(text(*dialog, Dlg::GroupNameEdit), "GRUPO DE CAFE");
        EXPECT_EQ(column(*dialog, Dlg::ValveEdits, c.dispensers), c.valves);
        EXPECT_EQ(column(*dialog, Dlg::WhipperEdits, c.dispensers), c.whippers);
        const bool sixthRow = c.dispensers == 5;
        for (int id : {1621, 1622, 1636, 1637, 1650, 1638, 1639, 1640, 1641, 1648})
            EXPECT_EQ(dialog->GetDlgItem(id)->isVisible(), sixthRow) << id;
        EXPECT_EQ(text(*dialog, 1638), "Producto dispensador 5");
        EXPECT_EQ(text(*dialog, 1640), QStringLiteral("Nº Electroválvula"));
        EXPECT_EQ(text(*dialog, 1639), "Miligramos/vuelta");
        // The defaults are in the tables from the opening on, whatever the user then does.
        dialog->reject();
        EXPECT_EQ(setup.GetSetupRow(0)->valveNumber, QByteArray(c.hotWater).toInt());
        EXPECT_EQ(setup.GetSetupRow(2)->whipperNumber, 1);
    }
}

// The sixth row repeats the column labels above its cells; they stood at the left of their
// columns ("Quirl Nr." 30 px left of its column in German).
TEST_F(ParametrizGrupoT38ADlgTest, TheColumnLabelsAndTheSixthRowsRepeatedOnesAreCentredOnTheirCellsInEveryLanguage)
{
    const std::array<int, 4> repeated = {1639, 1640, 1641, 1648};
    const std::array<int, 4> sixthRowCells = {1622, 1636, 1637, 1650};
    for (const char* file : {"", "OrmiFran.lng", "OrmiEngl.lng", "OrmiPort.lng", "OrmiGerm.lng", "OrmiEng.lng"}) {
        SCOPED_TRACE(file);
        if (*file) {
            ASSERT_TRUE(app.strings().loadLanguage(QStringLiteral(ORMI_LANGUAGE_DIR "/") + file));
        }
        auto dialog = open(1);
        const QImage shot = dialog->grab().toImage();
        for (std::size_t c = 0; c < repeated.size(); ++c) {
            const QWidget& cell = *dialog->GetDlgItem(sixthRowCells[c]);
            const QWidget& label = *dialog->GetDlgItem(Dlg::ColumnLabels[c]);
            const QWidget& repeatedLabel = *dialog->GetDlgItem(repeated[c]);
            SCOPED_TRACE(text(*dialog, repeated[c]).toStdString());
            EXPECT_NEAR(inkCentre(shot, *dialog, label), centre(*dialog, cell), 2);
            EXPECT_NEAR(inkCentre(shot, *dialog, repeatedLabel), centre(*dialog, cell), 2);
            EXPECT_GE(repeatedLabel.width(), repeatedLabel.fontMetrics().horizontalAdvance(text(*dialog, repeated[c])));
        }
    }
}

TEST_F(ParametrizGrupoT38ADlgTest, CellsShowTheTablesAndReachThemOnlyOnOk)
{
    // Dispenser k holds the product of set-up row k; its cells are those of row k + 1.
    setRow(1, 90, 2, 150); // the coffee group's whipping speed is hidden and kept
    setRow(2, 250, SetupT38A::NoProduct, 80);
    setRow(5, 0, 4, 100);
    setRow(6, 300, SetupT38A::NoProduct, 40);
    auto dialog = open(1);
    EXPECT_EQ(text(*dialog, Dlg::GroupMgEdit), "90");
    EXPECT_EQ(text(*dialog, Dlg::MgEdits[0]), "250");
    EXPECT_EQ(text(*dialog, Dlg::SpeedEdits[0]), "80");
    EXPECT_EQ(combo(*dialog, 1)->currentText(), "LECHE");
    EXPECT_EQ(combo(*dialog, 5)->currentText(), "TE");
    type(*dialog, Dlg::MgEdits[0], "260");
    type(*dialog, Dlg::ValveEdits[1], "6");
    type(*dialog, Dlg::WhipperEdits[4], "5");
    type(*dialog, Dlg::SpeedEdits[4], "100");
    combo(*dialog, 2)->setCurrentIndex(combo(*dialog, 2)->findText("CHOCOLATE"));
    EXPECT_EQ(setup.GetSetupRow(2)->mgPerTurn, 250);
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(setup.GetSetupRow(2)->mgPerTurn, 260);
    EXPECT_EQ(setup.GetSetupRow(3)->valveNumber, 6);
    EXPECT_EQ(setup.GetSetupRow(2)->productIndex, 3);
    EXPECT_EQ(setup.GetSetupRow(1)->productIndex, 2);
    EXPECT_EQ(setup.GetSetupRow(6)->whipperNumber, 5);
    EXPECT_EQ(setup.GetSetupRow(6)->whipSpeed, 100);
    EXPECT_EQ(setup.GetSetupRow(1)->whipSpeed, 150);
    EXPECT_EQ(setup.GetSetupRow(1)->mgPerTurn, 90);
    // A valve changed and saved shows its default again at the next opening.
    auto again = open(1);
    EXPECT_EQ(text(*again, Dlg::ValveEdits[1]), "1");
}

TEST_F(ParametrizGrupoT38ADlgTest, OutOfRangeCellsAreRefusedAndCancelLeavesTheTables)
{
    struct Case {
        int id;
        const char* value;
        QString message;
    };
    const Case cases[] = {
        {Dlg::ValveEdits[0], "7", "Especifique un entero entre 0 y 6."},
        {Dlg::WhipperEdits[3], "6", "Especifique un entero entre 0 y 5."},
        {Dlg::SpeedEdits[4], "101", "Especifique un entero entre 0 y 100."},
        {Dlg::MgEdits[2], "x", "Especifique un entero."},
        // Four packed-BCD digits carry up to 15999 milligrams.
        {Dlg::MgEdits[1], "16000", "Especifique un entero entre 0 y 15999."},
        {Dlg::MgEdits[4], "-1", "Especifique un entero entre 0 y 15999."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        app.messages().clear();
        auto dialog = open(1);
        type(*dialog, Dlg::MgEdits[0], "777");
        type(*dialog, c.id, c.value);
        dialog->accept();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_EQ(app.messages().texts(), QStringList{c.message});
        EXPECT_EQ(dialog->focusWidget(), dialog->GetDlgItem(c.id));
        dialog->reject();
        EXPECT_EQ(setup.GetSetupRow(2)->mgPerTurn, 0);
        EXPECT_EQ(setup.GetSetupRow(2)->valveNumber, 1);
        EXPECT_EQ(setup.GetSetupRow(5)->whipperNumber, 3);
        EXPECT_EQ(setup.GetSetupRow(6)->whipSpeed, 100);
    }
    // The hidden sixth row of a four-dispenser family is not judged.
    app.messages().clear();
    setRow(6, 20000, SetupT38A::NoProduct, 150);
    auto dialog = open(0);
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(ParametrizGrupoT38ADlgTest, AGapInTheNamesEndsTheListAndTheCombosButKeepsAnUnlistedProduct)
{
    setup.SetName2(3, "");       // second set: products 0..2 remain
    setup.SetProductName(4, ""); // first set: name indices 0..5 remain
    setRow(1, 0, 7, 100);        // dispenser 1 holds a product past the gap
    setRow(2, 0, 1, 100);
    auto dialog = open(0);
    EXPECT_EQ(combo(*dialog, 1)->count(), 3);
    EXPECT_EQ(combo(*dialog, 1)->currentIndex(), -1);
    EXPECT_EQ(combo(*dialog, 2)->currentText(), "CAFE DESCAFEINADO");
    QTreeWidget* list = dialog->item<QTreeWidget>(Dlg::NamesList);
    ASSERT_EQ(list->topLevelItemCount(), 6);
    EXPECT_EQ(list->topLevelItem(0)->text(1), "GRUPO DE CAFE");
    EXPECT_EQ(list->topLevelItem(1)->text(1), "AGUA CALIENTE");
    EXPECT_EQ(list->topLevelItem(5)->text(0), "5");
    EXPECT_EQ(list->topLevelItem(5)->text(1), "CHOCOLATE");
    EXPECT_EQ(list->headerItem()->text(2), "TEXTO");
    EXPECT_GT(list->columnWidth(1), list->columnWidth(0));
    dialog->accept();
    EXPECT_EQ(setup.GetSetupRow(1)->productIndex, 7);
    EXPECT_EQ(setup.GetSetupRow(2)->productIndex, 1);
}

TEST_F(ParametrizGrupoT38ADlgTest, EditingATextUpdatesTheListTheTablesAndRefillsTheCombosKeepingTheirProducts)
{
    setRow(1, 0, 2, 100);
    setRow(2, 0, 1, 100);
    NombrePctoDlgData seen;
    auto dialog = open(1, [&](NombrePctoDlgData& record) {
        seen = record;
        record.name = "LECHE \xC9X";
        return true;
    });
    combo(*dialog, 2)->setCurrentIndex(combo(*dialog, 2)->findText("LECHE"));
    QTreeWidget* list = dialog->item<QTreeWidget>(Dlg::NamesList);
    QTreeWidgetItem* milk = list->topLevelItem(4); // name index 4: product 2
    list->setCurrentItem(milk);
    emit list->itemDoubleClicked(milk, 2);
    EXPECT_EQ(seen.caption, "Introduzca nombre de producto");
    EXPECT_EQ(seen.name, "LECHE");
    EXPECT_EQ(milk->text(2), QStringLiteral("LECHE ÉX"));
    EXPECT_EQ(setup.GetName2(2), QByteArray("LECHE \xC9X"));
    EXPECT_EQ(combo(*dialog, 1)->currentText(), QStringLiteral("LECHE ÉX"));
    EXPECT_EQ(combo(*dialog, 2)->currentText(), QStringLiteral("LECHE ÉX"));
    EXPECT_EQ(combo(*dialog, 3)->currentIndex(), -1);
    // The text stays even when the dialog is then cancelled; the cells do not.
    dialog->reject();
    EXPECT_EQ(setup.GetName2(2), QByteArray("LECHE \xC9X"));
    EXPECT_EQ(setup.GetSetupRow(2)->productIndex, 1);
}

TEST_F(ParametrizGrupoT38ADlgTest, EditarWithoutACurrentItemDoesNothingAndACancelledTextChangesNothing)
{
    auto dialog = open(0);
    dialog->item<QTreeWidget>(Dlg::NamesList)->setCurrentItem(nullptr);
    dialog->OnEditar();
    EXPECT_EQ(textDialogs, 0);

    auto other = open(0, [](NombrePctoDlgData& record) {
        record.name = "OTRO";
        return false;
    });
    QTreeWidget* list = other->item<QTreeWidget>(Dlg::NamesList);
    list->setCurrentItem(list->topLevelItem(0));
    other->OnEditar();
    EXPECT_EQ(setup.GetGroupName2(0), "GRUPO DE CAFE");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "GRUPO DE CAFE");
}

TEST(NombrePctoDispensadorT38ATest, ShowsTheTextAndTakesTheTypedOrConvertedOneOnOk)
{
    TestApplication app;
    NombrePctoDlgData record;
    record.caption = "Introduzca nombre de producto";
    record.name = "TE \x81";
    record.codePage = 1251;
    record.wideName = QString(40, QLatin1Char('W'));
    NombrePctoDispensadorT38A dialog(record);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Introduzca nombre de producto");
    auto* name = dialog.item<QLineEdit>(NombrePctoDispensadorT38A::NameEdit);
    auto* wide = dialog.item<QLineEdit>(NombrePctoDispensadorT38A::WideNameEdit);
    EXPECT_EQ(name->text(), QStringLiteral("TE \u0081"));
    EXPECT_EQ(wide->text().size(), 37);
    auto* codePages = dialog.item<QComboBox>(NombrePctoDispensadorT38A::CodePageList);
    EXPECT_EQ(codePages->currentText(), QStringLiteral("Cirílico (Eslavo) 1251"));
    EXPECT_FALSE(codePages->isEnabled());

    wide->setText(QStringLiteral("Чай"));
    dialog.OnConvertir();
    EXPECT_TRUE(app.messages().shown().isEmpty());
    dialog.accept();
    EXPECT_EQ(record.name, QByteArray("\xD7\xE0\xE9"));
    EXPECT_EQ(record.codePage, 1251u);
}
