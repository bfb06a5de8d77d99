#include "fw/UpDownEdit.h"
#include "tests/support/TestApplication.h"
#include "ui/CSugarDlg.h"
#include "ui/CTemperDlg.h"

#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

const QString ExtraSweetRange =
    QStringLiteral("La dosificación de Extra dulce debe estar entre 1.5 y 2 veces la dosificación normal.");

fw::UpDownEdit* upDown(const fw::Dialog& dialog, int id) { return dialog.item<fw::UpDownEdit>(id); }

} // namespace

TEST(SugarDlgTest, ExtraSweetMustLieBetweenOneAndAHalfAndTwiceNormal)
{
    struct Case {
        const char* normal;
        const char* extraSweet;
        QString message; // empty: accepted
        int focused;
    };
    const Case cases[] = {
        {"40", "60", {}, 0},
        {"40", "80", {}, 0},
        {"40", "59", ExtraSweetRange, CSugarDlg::ExtraSweetEdit},
        {"40", "81", ExtraSweetRange, CSugarDlg::ExtraSweetEdit},
        {"0", "0", {}, 0},
        {"0", "1", ExtraSweetRange, CSugarDlg::ExtraSweetEdit},
        {"3", "5", {}, 0}, // 4.5 <= 5 <= 6
        {"3", "4", ExtraSweetRange, CSugarDlg::ExtraSweetEdit},
        {"121", "242", QStringLiteral("Valor erróneo de azucar"), CSugarDlg::NormalEdit},
        {"x", "60", QStringLiteral("Especifique un entero."), CSugarDlg::NormalEdit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.normal) + "/" + c.extraSweet);
        TestApplication app;
        SugarDlgData record{7, 1, 2, false};
        CSugarDlg dialog(record);
        dialog.show();
        upDown(dialog, CSugarDlg::NormalEdit)->setText(c.normal);
        upDown(dialog, CSugarDlg::ExtraSweetEdit)->setText(c.extraSweet);
        dialog.accept();
        if (c.message.isEmpty()) {
            EXPECT_EQ(dialog.result(), QDialog::Accepted);
            EXPECT_TRUE(app.messages().shown().isEmpty());
            EXPECT_EQ(record.normal, QByteArray(c.normal).toInt());
            EXPECT_EQ(record.extraSweet, QByteArray(c.extraSweet).toInt());
            EXPECT_EQ(record.bitter, 7);
        } else {
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(app.messages().texts(), QStringList{c.message});
            EXPECT_EQ(dialog.focusWidget(), dialog.GetDlgItem(c.focused));
            EXPECT_EQ(record.normal, 1);
            EXPECT_EQ(record.extraSweet, 2);
        }
    }
}

TEST(SugarDlgTest, TurnsModeShowsTurnsAndExtraSweetFollowsNormalsArrows)
{
    TestApplication app;
    SugarDlgData record{0, 10, 20, true};
    CSugarDlg dialog(record);
    dialog.InitDialog();
    fw::UpDownEdit* normal = upDown(dialog, CSugarDlg::NormalEdit);
    fw::UpDownEdit* extraSweet = upDown(dialog, CSugarDlg::ExtraSweetEdit);
    EXPECT_EQ(dialog.item<QLabel>(CSugarDlg::NormalUnit)->text(), "Vueltas");
    EXPECT_EQ(dialog.item<QLabel>(CSugarDlg::ExtraSweetUnit)->text(), "Vueltas");
    EXPECT_FALSE(extraSweet->isEnabled());
    EXPECT_EQ(normal->maximum(), 120);
    EXPECT_EQ(extraSweet->maximum(), 240);

    normal->stepBy(1);
    EXPECT_EQ(normal->text(), "11");
    EXPECT_EQ(extraSweet->text(), "22");
    normal->stepBy(-1);
    normal->stepBy(-1);
    EXPECT_EQ(normal->text(), "9");
    EXPECT_EQ(extraSweet->text(), "18");

    // Steps the range holds still leave extra sweet.
    normal->setText("0");
    normal->stepBy(-1);
    EXPECT_EQ(extraSweet->text(), "18");
    normal->setText("120");
    normal->stepBy(1);
    EXPECT_EQ(normal->text(), "120");
    EXPECT_EQ(extraSweet->text(), "18");

    // Typing does not update extra sweet.
    normal->setText("30");
    EXPECT_EQ(extraSweet->text(), "18");
}

TEST(SugarDlgTest, TurnsModeRefusalFocusesNormalAsExtraSweetIsDisabled)
{
    TestApplication app;
    SugarDlgData record{0, 10, 20, true};
    CSugarDlg dialog(record);
    dialog.show();
    upDown(dialog, CSugarDlg::NormalEdit)->setText("25");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(app.messages().texts(), QStringList{ExtraSweetRange});
    EXPECT_EQ(dialog.focusWidget(), dialog.GetDlgItem(CSugarDlg::NormalEdit));
    EXPECT_EQ(record.normal, 10);
}

TEST(SugarDlgTest, ClassicModeKeepsTenthsAndItsRanges)
{
    TestApplication app;
    SugarDlgData record{0, 10, 20, false};
    CSugarDlg dialog(record);
    dialog.InitDialog();
    EXPECT_EQ(dialog.item<QLabel>(CSugarDlg::NormalUnit)->text(), "Sg/10");
    EXPECT_TRUE(upDown(dialog, CSugarDlg::ExtraSweetEdit)->isEnabled());
    EXPECT_EQ(upDown(dialog, CSugarDlg::NormalEdit)->maximum(), 200);
    EXPECT_EQ(upDown(dialog, CSugarDlg::ExtraSweetEdit)->maximum(), 200);
    upDown(dialog, CSugarDlg::NormalEdit)->stepBy(1);
    EXPECT_EQ(upDown(dialog, CSugarDlg::ExtraSweetEdit)->text(), "20");
}

TEST(TemperDlgTest, TemperaturesOutside80To100AreRefusedAndTheArrowsStopThere)
{
    struct Case {
        const char* typed;
        bool accepted;
    };
    const Case cases[] = {{"80", true}, {"100", true}, {"79", false}, {"101", false}, {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TestApplication app;
        TemperDlgData record{90};
        CTemperDlg dialog(record);
        dialog.show();
        auto* edit = upDown(dialog, CTemperDlg::TemperatureEdit);
        EXPECT_EQ(edit->text(), "90");
        edit->setText(c.typed);
        dialog.accept();
        EXPECT_EQ(dialog.result() == QDialog::Accepted, c.accepted);
        EXPECT_EQ(record.temperature, c.accepted ? QByteArray(c.typed).toInt() : 90);
        EXPECT_EQ(app.messages().shown().size(), c.accepted ? 0 : 1);
    }
    TestApplication app;
    TemperDlgData record{100};
    CTemperDlg dialog(record);
    dialog.InitDialog();
    auto* edit = upDown(dialog, CTemperDlg::TemperatureEdit);
    edit->stepBy(1);
    EXPECT_EQ(edit->text(), "100");
    edit->setText("80");
    edit->stepBy(-1);
    EXPECT_EQ(edit->text(), "80");
    EXPECT_EQ(app.messages().texts(), QStringList{});
}
