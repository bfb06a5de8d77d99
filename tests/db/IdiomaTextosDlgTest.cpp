#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/ProductNameEncoding.h"
#include "db/DBSelFieldBox.h"
#include "db/IdiomaTextosDlg.h"
#include "fw/ProgramWide.h"
#include "tests/db/QtPrinters.h"
#include "tests/support/CatalogueFixture.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <functional>

namespace {

const QString Ormi = QStringLiteral("Ormi");

// The product-name languages, inserted out of order, in Spanish (0) and English (2).
class IdiomaTextosDlgTest : public ::testing::Test {
protected:
    IdiomaTextosDlgTest()
    {
        const std::tuple<QString, int, int> languages[] = {
            {"Inglés", 2, 0}, {"alemán", 3, 0}, {"Español", 1, 0},
            {"German", 3, 2}, {"English", 2, 2}, {"Spanish", 1, 2},
        };
        for (const auto& [description, code, idioma] : languages)
            CatalogueFixture::Run(catalogue.productNamesPath(),
                                  "INSERT INTO NOMBRES_IDIOMAS (DESCRIPCION, CODIGO, IDIOMA) VALUES (?, ?, ?)",
                                  {description, code, idioma});
    }

    QString Written(const QString& name) { return app.profile().GetString(Ormi, name, "unset"); }

    static QStringList Items(const QComboBox& combo)
    {
        QStringList items;
        for (int i = 0; i < combo.count(); ++i)
            items += combo.itemText(i);
        return items;
    }

    TestApplication app;
    CatalogueFixture catalogue{app};
};

struct DialogCase {
    const char* name;
    bool codePageChoice;
    int storedCodePage;
    int storedLanguage;
    std::function<void(IdiomaTextosDlg&)> action; // the user's, before OK or Cancel
    bool ok;
    QString codePageSelected;
    bool codePageListEnabled;
    bool languageListEnabled;
    QString writtenLanguage;
    QString writtenCodePage;
    QStringList boxes;
};

class IdiomaTextosDlgCases : public IdiomaTextosDlgTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(IdiomaTextosDlgCases, LoadsChoosesAndWrites)
{
    const DialogCase& c = GetParam();
    app.profile().WriteInt(Ormi, "Codepage", c.storedCodePage);
    app.profile().WriteInt(Ormi, "IdiomaTextos", c.storedLanguage);
    IdiomaTextosDlg dialog;
    dialog.SetCodePageChoice(c.codePageChoice);
    dialog.InitDialog();
    if (c.action)
        c.action(dialog);

    EXPECT_EQ(dialog.CodePageList()->currentText(), c.codePageSelected);
    EXPECT_EQ(dialog.CodePageList()->isEnabled(), c.codePageListEnabled);
    EXPECT_EQ(dialog.LanguageList()->isEnabled(), c.languageListEnabled);
    if (c.ok)
        dialog.accept();
    else
        dialog.reject();
    EXPECT_EQ(Written("IdiomaTextos"), c.writtenLanguage);
    EXPECT_EQ(Written("Codepage"), c.writtenCodePage);
    EXPECT_EQ(app.messages().texts(), c.boxes);
}

void chooseCodePage(IdiomaTextosDlg& dialog, int item)
{
    dialog.CodePageList()->setCurrentIndex(item);
    emit dialog.CodePageList()->activated(item);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, IdiomaTextosDlgCases,
    ::testing::Values(
        DialogCase{"CyrillicKeepsTheLanguageListDisabled", true, 1251, 1, nullptr, true, "Cirílico (Eslavo) 1251", true,
                   false, "1", "1251", {}},
        DialogCase{"ChoosingLatin2EnablesTheLanguageList", true, 1251, 1,
                   [](IdiomaTextosDlg& d) {
                       chooseCodePage(d, 0);
                       d.LanguageList()->setCurrentIndex(d.LanguageList()->findData("3"));
                   },
                   true, "Latino2 (Europa Central) 1250", true, true, "3", "1250", {}},
        DialogCase{"WithoutChoiceTheStoredZeroBecomes1250", false, 0, 1, nullptr, true, "", false, true, "1", "1250", {}},
        DialogCase{"HebrewSelectedByItsNumber", true, 1255, 2, nullptr, true, "Hebreo 1255", true, false, "2", "1255", {}},
        DialogCase{"CancelWritesNothing", true, 1251, 1,
                   [](IdiomaTextosDlg& d) { chooseCodePage(d, 0); }, false, "Latino2 (Europa Central) 1250", true, true,
                   "1", "1251", {}},
        DialogCase{"AnUnlistedLanguageIsRefused", false, 1251, 9, nullptr, true, "", false, true, "9", "1251",
                   {"Especifique un entero."}}),
    [](const ::testing::TestParamInfo<DialogCase>& info) { return std::string(info.param.name); });

TEST_F(IdiomaTextosDlgTest, ARefusedOkFocusesTheListAndKeepsTheDialogOpen)
{
    app.profile().WriteInt(Ormi, "IdiomaTextos", 9);
    IdiomaTextosDlg dialog;
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.focusWidget(), dialog.LanguageList());
    EXPECT_EQ(Written("Codepage"), "unset");
}

TEST_F(IdiomaTextosDlgTest, TheListIsSortedByDescriptionAndGivesCodes)
{
    app.profile().WriteInt(Ormi, "IdiomaTextos", 3);
    IdiomaTextosDlg spanish;
    spanish.InitDialog();
    EXPECT_EQ(Items(*spanish.LanguageList()), QStringList({"alemán", "Español", "Inglés"}));
    EXPECT_EQ(spanish.LanguageList()->currentText(), "alemán");
    EXPECT_EQ(spanish.LanguageList()->GetWindowText(), "3");

    app.profile().WriteInt(Ormi, "Idioma", 2);
    IdiomaTextosDlg english;
    english.InitDialog();
    EXPECT_EQ(Items(*english.LanguageList()), QStringList({"English", "German", "Spanish"}));
}

TEST_F(IdiomaTextosDlgTest, AMissingDatabaseLeavesTheListEmpty)
{
    ASSERT_TRUE(QFile::remove(catalogue.productNamesPath()));
    app.profile().WriteInt(Ormi, "IdiomaTextos", 1);
    IdiomaTextosDlg dialog;
    dialog.InitDialog();
    EXPECT_EQ(dialog.LanguageList()->count(), 0);
    app.messages().clear();
    dialog.accept();
    EXPECT_EQ(app.messages().texts(), QStringList({"Especifique un entero."}));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(IdiomaTextosDlgTest, TheChoiceActsAtOnce)
{
    catalogue.AddProductName(1, "CAFÉ", 1);
    catalogue.AddProductName(1, "KAFFEE", 3);
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    app.profile().WriteInt(Ormi, "IdiomaTextos", 1);
    IdiomaTextosDlg dialog;
    dialog.SetCodePageChoice(true);
    dialog.InitDialog();
    chooseCodePage(dialog, 0);
    dialog.LanguageList()->setCurrentIndex(dialog.LanguageList()->findData("3"));
    dialog.accept();
    ASSERT_EQ(dialog.result(), QDialog::Accepted);

    COrmiDoc doc;
    doc.SetProductNameCodePage(quint32(dialog.GetCodePage()));
    CDeviceCoffee* header = doc.AddDevice();
    header->SetProductNumber(1);
    header->SetSelectionNumber(1);
    header->SetNameIndex(1);
    header->SetName("VIEJO");
    doc.ResolveProductNames();
    EXPECT_EQ(header->GetName(), "KAFFEE");
    EXPECT_EQ(GetNameCodePage(), 1250u);
}

} // namespace
