#include "app/SetupT38A.h"
#include "fw/UpDownEdit.h"
#include "tests/support/TestApplication.h"
#include "ui/DispositivoT38ADlg.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

constexpr int FamilyWithFiveDispensers = 1;
constexpr int FamilyWithFourDispensers = 0;

// Product rows: type 3 coffee, type 4 milk, type 5 chocolate, type 6 none (so the coffee
// group's name). Milligrams per turn of type t sit in set-up row t - 1.
class DispositivoT38ADlgTest : public ::testing::Test {
protected:
    DispositivoT38ADlgTest()
    {
        setProduct(3, 0);
        setProduct(4, 2);
        setProduct(5, 3);
        SetupT38A::SetupRow row = *setup.GetSetupRow(3);
        row.mgPerTurn = 250;
        setup.SetSetupRow(3, row);
    }
    void setProduct(int type, int product)
    {
        SetupT38A::SetupRow row = *setup.GetSetupRow(type - 2);
        row.productIndex = product;
        setup.SetSetupRow(type - 2, row);
    }
    std::unique_ptr<DispositivoT38ADlg> open(DispositivoT38ADlgData& record)
    {
        auto dialog = std::make_unique<DispositivoT38ADlg>(record, setup);
        dialog->show();
        return dialog;
    }
    static fw::UpDownEdit* turns(const DispositivoT38ADlg& d) { return d.item<fw::UpDownEdit>(DispositivoT38ADlg::TurnsEdit); }
    static fw::UpDownEdit* pulses(const DispositivoT38ADlg& d) { return d.item<fw::UpDownEdit>(DispositivoT38ADlg::PulsesEdit); }
    static QComboBox* types(const DispositivoT38ADlg& d) { return d.item<QComboBox>(DispositivoT38ADlg::TypeList); }
    static QString estimate(const DispositivoT38ADlg& d, int id) { return d.item<QLineEdit>(id)->text(); }
    static bool shown(const DispositivoT38ADlg& d, int id) { return d.GetDlgItem(id)->isVisible(); }
    static void choose(DispositivoT38ADlg& d, int position)
    {
        types(d)->setCurrentIndex(position);
        emit types(d)->activated(position);
    }
    static DispositivoT38ADlgData device(int type, int turns, int waterPulses, int family = FamilyWithFiveDispensers)
    {
        DispositivoT38ADlgData record;
        record.type = type;
        record.turns = turns;
        record.waterPulses = waterPulses;
        record.family = family;
        return record;
    }

    TestApplication app;
    SetupT38A setup;
};

} // namespace

TEST_F(DispositivoT38ADlgTest, TheListOffersTheGroupsThenTheFamilysProductRowsButNeverType2)
{
    struct Case {
        int family;
        QStringList texts;
    };
    const Case cases[] = {
        {FamilyWithFiveDispensers,
         {"GRUPO DE CAFE", "AGUA CALIENTE", "CAFE", "LECHE", "CHOCOLATE", "GRUPO DE CAFE", "GRUPO DE CAFE"}},
        {FamilyWithFourDispensers, {"GRUPO DE CAFE", "AGUA CALIENTE", "CAFE", "LECHE", "CHOCOLATE", "GRUPO DE CAFE"}},
    };
    setProduct(2, 4); // type 2's row: never listed
    for (const Case& c : cases) {
        SCOPED_TRACE(c.family);
        DispositivoT38ADlgData record = device(-1, 0, 0, c.family);
        auto dialog = open(record);
        QStringList texts;
        for (int i = 0; i < types(*dialog)->count(); ++i)
            texts << types(*dialog)->itemText(i);
        EXPECT_EQ(texts, c.texts);
        EXPECT_EQ(types(*dialog)->currentIndex(), -1);
    }
}

TEST_F(DispositivoT38ADlgTest, WaterEstimateIsPulsesTimesTenOverThirteenTruncated)
{
    DispositivoT38ADlgData record = device(4, 0, 13);
    auto dialog = open(record);
    EXPECT_EQ(estimate(*dialog, DispositivoT38ADlg::WaterEstimate), "10  cc de agua");
    const std::pair<const char*, const char*> cases[] = {
        {"12", "9  cc de agua"}, {"1024", "787  cc de agua"}, {"0", "0  cc de agua"}, {"", "0  cc de agua"}};
    for (const auto& [typed, shown] : cases) {
        pulses(*dialog)->setText(typed);
        EXPECT_EQ(estimate(*dialog, DispositivoT38ADlg::WaterEstimate), shown) << typed;
    }
}

TEST_F(DispositivoT38ADlgTest, ProductEstimateIsTurnsTimesTheRowsMilligramsLive)
{
    DispositivoT38ADlgData record = device(4, 8, 0);
    auto dialog = open(record);
    EXPECT_EQ(types(*dialog)->currentText(), "LECHE");
    EXPECT_EQ(estimate(*dialog, DispositivoT38ADlg::ProductEstimate), "2000  miligramos de producto");
    turns(*dialog)->setText("3");
    EXPECT_EQ(estimate(*dialog, DispositivoT38ADlg::ProductEstimate), "750  miligramos de producto");
    dialog->accept();
    EXPECT_EQ(record.turns, 3);
    EXPECT_EQ(record.estimatedMilligrams, 2000);
}

TEST_F(DispositivoT38ADlgTest, ChoosingAGroupZeroesAndLocksTheTurnsAndHidesTheProductEstimate)
{
    for (int position : {0, 5}) { // the coffee group, and a product row without a product
        SCOPED_TRACE(position);
        DispositivoT38ADlgData record = device(4, 8, 100);
        auto dialog = open(record);
        EXPECT_TRUE(shown(*dialog, DispositivoT38ADlg::ProductIcon));
        choose(*dialog, position);
        EXPECT_EQ(turns(*dialog)->text(), "0");
        EXPECT_FALSE(turns(*dialog)->isEnabled());
        EXPECT_FALSE(shown(*dialog, DispositivoT38ADlg::ProductIcon));
        EXPECT_FALSE(shown(*dialog, DispositivoT38ADlg::ProductEstimate));
        EXPECT_TRUE(pulses(*dialog)->isEnabled());
        dialog->accept();
        EXPECT_EQ(record.type, position == 0 ? 0 : 6);
        EXPECT_EQ(record.turns, 0);
        EXPECT_EQ(record.waterPulses, 100);
    }
}

// Otherwise OK jumps away from the mouse.
TEST_F(DispositivoT38ADlgTest, TheWindowKeepsItsSizeAndPlaceWhateverTypeIsChosen)
{
    DispositivoT38ADlgData record = device(4, 8, 100);
    auto dialog = open(record);
    dialog->move(200, 150);
    const QRect frame = dialog->geometry();
    QWidget* ok = dialog->GetDlgItem(fw::Dialog::IdOk);
    const QPoint okPlace = ok->mapTo(dialog.get(), QPoint(0, 0));
    for (int position : {0, 3, 1, 4}) { // a group, a product, the other group, a product
        SCOPED_TRACE(position);
        choose(*dialog, position);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(dialog->geometry(), frame);
        EXPECT_EQ(ok->mapTo(dialog.get(), QPoint(0, 0)), okPlace);
    }
}

TEST_F(DispositivoT38ADlgTest, AnyTypeChangeResetsTheTurnsAlsoBetweenProducts)
{
    DispositivoT38ADlgData record = device(0, 0, 0);
    auto dialog = open(record);
    EXPECT_FALSE(turns(*dialog)->isEnabled());
    choose(*dialog, 3); // milk
    EXPECT_TRUE(turns(*dialog)->isEnabled());
    EXPECT_TRUE(shown(*dialog, DispositivoT38ADlg::ProductEstimate));
    turns(*dialog)->setText("8");
    choose(*dialog, 4); // chocolate
    EXPECT_EQ(turns(*dialog)->text(), "0");
    EXPECT_EQ(estimate(*dialog, DispositivoT38ADlg::ProductEstimate), "0  miligramos de producto");
}

TEST_F(DispositivoT38ADlgTest, TheTypeIsPreselectedByTypeSoAnUnchangedOkKeepsIt)
{
    // Default tables: every product row is named after the coffee group.
    SetupT38A defaults;
    for (int type : {0, 1, 3, 4, 7}) {
        SCOPED_TRACE(type);
        DispositivoT38ADlgData record = device(type, 0, 0);
        DispositivoT38ADlg dialog(record, defaults);
        dialog.show();
        dialog.accept();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(record.type, type);
    }
    // Type 2 is never listed: it is found by its name.
    setProduct(2, 3);
    DispositivoT38ADlgData record = device(2, 0, 0);
    auto dialog = open(record);
    EXPECT_EQ(types(*dialog)->currentIndex(), 4);
    // A type past the family's rows selects nothing.
    DispositivoT38ADlgData beyond = device(7, 0, 0, FamilyWithFourDispensers);
    auto other = open(beyond);
    EXPECT_EQ(types(*other)->currentIndex(), -1);
}

TEST_F(DispositivoT38ADlgTest, ArrowsStopAt239WhileTypedValuesAreJudgedOnlyByTheirRange)
{
    struct Case {
        const char* turns;
        const char* pulses;
        QString message; // empty: accepted
        int focused;
    };
    const Case cases[] = {
        {"500", "1024", {}, 0},
        {"30000", "0", {}, 0},
        {"30001", "0", "Especifique un entero entre 0 y 30000.", DispositivoT38ADlg::TurnsEdit},
        {"5", "1025", "Especifique un entero entre 0 y 1024.", DispositivoT38ADlg::PulsesEdit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.turns);
        app.messages().clear();
        DispositivoT38ADlgData record = device(4, 1, 1);
        auto dialog = open(record);
        turns(*dialog)->setText(c.turns);
        pulses(*dialog)->setText(c.pulses);
        dialog->accept();
        if (c.message.isEmpty()) {
            EXPECT_EQ(record.turns, QByteArray(c.turns).toInt());
            EXPECT_EQ(record.waterPulses, QByteArray(c.pulses).toInt());
        } else {
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(app.messages().texts(), QStringList{c.message});
            EXPECT_EQ(dialog->focusWidget(), dialog->GetDlgItem(c.focused));
            EXPECT_EQ(record.turns, 1);
        }
    }
    DispositivoT38ADlgData record = device(4, 238, 0);
    auto dialog = open(record);
    turns(*dialog)->stepBy(1);
    turns(*dialog)->stepBy(1);
    EXPECT_EQ(turns(*dialog)->text(), "239");
    pulses(*dialog)->stepBy(-1);
    EXPECT_EQ(pulses(*dialog)->text(), "0");
}

TEST_F(DispositivoT38ADlgTest, OkWithoutATypeIsRefused)
{
    DispositivoT38ADlgData record = device(-1, 0, 0);
    auto dialog = open(record);
    dialog->accept();
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(app.messages().texts(), QStringList{"Seleccione un tipo de dispositivo."});
    EXPECT_EQ(dialog->focusWidget(), types(*dialog));
    EXPECT_EQ(record.type, -1);
}
