#include "app/CCfg.h"
#include "tests/support/TestApplication.h"
#include "ui/ParametrizacionDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

class ParametrizacionDlgTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain)); }
    void TearDown() override { QLocale::setDefault(m_previous); }

    QLineEdit* edit(const ParametrizacionDlg& dialog, int id) { return dialog.item<QLineEdit>(id); }

    TestApplication app;
    CCfg catalogue{30, 10};

private:
    QLocale m_previous;
};

} // namespace

TEST_F(ParametrizacionDlgTest, ValuesShowInTheLocaleAndReadWithItsSeparatorOrAPoint)
{
    ParametrizacionDlgData record;
    record.gramsPer10s = {1.5f, 0.0f, -2.0f, 12.25f, 3.0f};
    record.pumpCcPerSecond = 10.0f;
    ParametrizacionDlg dialog(record, catalogue);
    dialog.InitDialog();
    EXPECT_EQ(edit(dialog, 1587)->text(), "1,5");
    EXPECT_EQ(edit(dialog, 1589)->text(), "-2");
    EXPECT_EQ(edit(dialog, 1590)->text(), "12,25");
    EXPECT_EQ(edit(dialog, 1591)->text(), "10");

    edit(dialog, 1587)->setText("1.5");
    edit(dialog, 1588)->setText("1,5");
    edit(dialog, 1592)->setText("0");
    edit(dialog, 1591)->setText("-4,5");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(record.gramsPer10s[0], 1.5f);
    EXPECT_FLOAT_EQ(record.gramsPer10s[1], 1.5f);
    EXPECT_FLOAT_EQ(record.gramsPer10s[3], 12.25f);
    EXPECT_FLOAT_EQ(record.gramsPer10s[4], 0.0f);
    EXPECT_FLOAT_EQ(record.pumpCcPerSecond, -4.5f);
}

TEST_F(ParametrizacionDlgTest, TextThatIsNoNumberIsRefusedOnItsEdit)
{
    ParametrizacionDlgData record;
    record.pumpCcPerSecond = 10.0f;
    ParametrizacionDlg dialog(record, catalogue);
    dialog.show();
    edit(dialog, 1589)->setText("7");
    edit(dialog, 1590)->setText("abc");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(app.messages().texts(), QStringList{"Especifique un número."});
    EXPECT_EQ(dialog.focusWidget(), dialog.GetDlgItem(1590));
    EXPECT_FLOAT_EQ(record.gramsPer10s[2], 0.0f);
    dialog.reject();
    EXPECT_FLOAT_EQ(record.gramsPer10s[2], 0.0f);
}

TEST_F(ParametrizacionDlgTest, LabelsNameTheDefaultProductOnASecondLine)
{
    // Without a dispenser table there is no default name: the second line stays empty.
    ParametrizacionDlgData record;
    ParametrizacionDlg dialog(record, catalogue);
    dialog.InitDialog();
    EXPECT_EQ(dialog.item<QLabel>(1603)->text(), "Gramos/10 seg dispensador 1:\n");
    EXPECT_EQ(dialog.item<QLabel>(1607)->text(), "Gramos/10 seg dispensador 5:\n");

    catalogue.ResetDispenserTable();
    catalogue.SetDispenserRow(0, {1, 3, 0, 0, 0, 0}); // dispenser 1 holds milk (product type 3)
    ParametrizacionDlg loaded(record, catalogue);
    loaded.InitDialog();
    EXPECT_EQ(loaded.item<QLabel>(1603)->text(), "Gramos/10 seg dispensador 1:\nLECHE");
    EXPECT_EQ(loaded.item<QLabel>(1604)->text(), "Gramos/10 seg dispensador 2:\n");
}
