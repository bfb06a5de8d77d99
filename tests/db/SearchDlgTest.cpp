#include "db/SearchDlg.h"
#include "tests/support/TestApplication.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The dialog takes its texts from the application's string table.
class SearchDlgTest : public ::testing::Test {
protected:
    TestApplication app;
};

TEST_F(SearchDlgTest, WithoutLabelOrCaptionShowsTheTemplateTitleAndAnEmptyLabel)
{
    SearchDlgData data;
    SearchDlg dialog(data);
    EXPECT_EQ(dialog.Label()->text(), "&Buscar"); // the template's, until the record's replaces it
    dialog.InitDialog();
    EXPECT_EQ(dialog.windowTitle(), "Buscar valor");
    EXPECT_EQ(dialog.Label()->text(), "");
    EXPECT_EQ(dialog.OkButton()->text(), "OK");
    EXPECT_EQ(dialog.CancelButton()->text(), "Cancel");
    EXPECT_TRUE(dialog.OkButton()->isDefault());
    EXPECT_EQ(dialog.Edit()->echoMode(), QLineEdit::Normal);
}

TEST_F(SearchDlgTest, OkWritesTheValueAndCancelLeavesTheRecord)
{
    SearchDlgData data;
    data.value = "ab";
    data.label = "&Texto";
    data.caption = "Filtrar";
    {
        SearchDlg dialog(data);
        dialog.InitDialog();
        EXPECT_EQ(dialog.windowTitle(), "Filtrar");
        EXPECT_EQ(dialog.Label()->text(), "&Texto");
        EXPECT_EQ(dialog.Edit()->text(), "ab");
        dialog.Edit()->setText("cambiado");
        dialog.CancelButton()->click();
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    EXPECT_EQ(data.value, "ab");

    SearchDlg dialog(data);
    dialog.InitDialog();
    dialog.Edit()->setText("nuevo");
    dialog.OkButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(data.value, "nuevo");
    EXPECT_EQ(data.label, "&Texto");
}

TEST_F(SearchDlgTest, DigitsOnlyRefusesOtherKeys)
{
    SearchDlgData data;
    data.digitsOnly = true;
    SearchDlg dialog(data);
    dialog.InitDialog();
    QTest::keyClicks(dialog.Edit(), "a1-b2 3");
    EXPECT_EQ(dialog.Edit()->text(), "123");
}

TEST_F(SearchDlgTest, PasswordHidesTheText)
{
    SearchDlgData data;
    data.password = true;
    SearchDlg dialog(data);
    dialog.InitDialog();
    QTest::keyClicks(dialog.Edit(), "clave");
    EXPECT_EQ(dialog.Edit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.Edit()->text(), "clave");
    EXPECT_EQ(dialog.Edit()->displayText(), "*****");
}

} // namespace
