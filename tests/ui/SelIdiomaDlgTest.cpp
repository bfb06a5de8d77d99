#include "tests/support/TestApplication.h"
#include "ui/SelIdiomaDlg.h"

#include <QApplication>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString Restart = QStringLiteral(
    "Por favor, ponga de nuevo en marcha el programa para que la nueva configuración surta efecto");

struct LanguageCase {
    const char* name;
    int stored;
    int click; // -1: none
    bool ok;
    int written;
    QStringList boxes;
};

class SelIdiomaDlgCases : public ::testing::TestWithParam<LanguageCase> {
protected:
    TestApplication app;
};

TEST_P(SelIdiomaDlgCases, WritesOnlyANewChoice)
{
    const LanguageCase& c = GetParam();
    app.profile().WriteInt("Ormi", "Idioma", c.stored);
    SelIdiomaDlg dialog;
    EXPECT_EQ(dialog.GetChosenLanguage(), -1);
    dialog.InitDialog();
    for (int language = 0; language < 5; ++language)
        EXPECT_EQ(dialog.Button(language)->isChecked(), language == c.stored) << language;
    if (c.click != -1)
        dialog.Button(c.click)->click();
    if (c.ok)
        dialog.accept();
    else
        dialog.reject();
    EXPECT_EQ(app.profile().GetInt("Ormi", "Idioma", -99), c.written);
    EXPECT_EQ(app.messages().texts(), c.boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SelIdiomaDlgCases,
    ::testing::Values(LanguageCase{"UnchangedWritesNothing", 0, -1, true, 0, {}},
                      LanguageCase{"EnglishIsWrittenAndNeedsARestart", 0, 2, true, 2, {Restart}},
                      LanguageCase{"SameLanguageAgain", 2, 2, true, 2, {}},
                      LanguageCase{"CancelWritesNothing", 3, 1, false, 3, {}},
                      LanguageCase{"NoButtonCheckedIsNoChoice", 7, -1, true, 7, {}}),
    [](const ::testing::TestParamInfo<LanguageCase>& info) { return std::string(info.param.name); });

TEST(SelIdiomaDlg, ButtonsInLanguageOrderWithTheirIds)
{
    TestApplication app;
    SelIdiomaDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), "Idioma de trabajo");
    const char* texts[] = {"&Español", "&Francés", "&Inglés", "&Portugués", "&Alemán"};
    const int ids[] = {1038, 1043, 1040, 1041, 1042};
    for (int language = 0; language < 5; ++language) {
        EXPECT_EQ(dialog.Button(language)->text(), QString::fromUtf8(texts[language]));
        EXPECT_EQ(dialog.GetDlgItem(ids[language]), dialog.Button(language));
    }
}

} // namespace

namespace {

TEST(SelIdiomaDlg, TheButtonsAreOneTabStopWithArrowsInside)
{
    TestApplication app;
    app.profile().WriteInt("Ormi", "Idioma", 1);
    SelIdiomaDlg dialog;
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.Button(1)->setFocus();
    QTest::keyClick(dialog.Button(1), Qt::Key_Down);
    EXPECT_TRUE(dialog.Button(2)->hasFocus());
    EXPECT_TRUE(dialog.Button(2)->isChecked());
    QTest::keyClick(dialog.Button(2), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.GetDlgItem(fw::Dialog::IdOk));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), dialog.Button(2));
}

} // namespace
