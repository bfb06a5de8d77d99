#include "tests/support/TestApplication.h"
#include "ui/CProductDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

struct NamedProduct {
    QByteArray name;
    int id;
};

CProductDlg::NameSource names(QList<NamedProduct> list)
{
    auto next = std::make_shared<qsizetype>(0);
    return [list, next](QByteArray& name, int& id) {
        if (*next == list.size())
            return false;
        name = list[*next].name;
        id = list[*next].id;
        ++*next;
        return true;
    };
}

const QList<NamedProduct> Catalogue = {{"LECHE", 7}, {"CAFE", 5}, {"Chocolate", 9}, {"CAF\xC9 SOLO", 11}};

class ProductDlgTest : public ::testing::Test {
protected:
    std::unique_ptr<CProductDlg> open(ProductDlgData& record)
    {
        auto dialog = std::make_unique<CProductDlg>(record, nullptr, names(Catalogue));
        dialog->show();
        return dialog;
    }
    static QComboBox* nameCombo(const CProductDlg& d) { return d.item<QComboBox>(CProductDlg::NameCombo); }
    static QLineEdit* wide(const CProductDlg& d) { return d.item<QLineEdit>(CProductDlg::WideNameEdit); }
    static ProductDlgData product(const QByteArray& name, int nameIndex, bool t38a = false)
    {
        ProductDlgData record;
        record.productNumber = 3;
        record.selectionNumber = 3;
        record.name = name;
        record.nameIndex = nameIndex;
        record.t38aFlag = t38a;
        return record;
    }

    TestApplication app;
};

} // namespace

TEST_F(ProductDlgTest, TheNameListSortsIgnoringCaseAndTheRecordsNameStandsInTheEditField)
{
    ProductDlgData record = product("TE", 3);
    auto dialog = open(record);
    QStringList texts;
    for (int i = 0; i < nameCombo(*dialog)->count(); ++i)
        texts << nameCombo(*dialog)->itemText(i);
    EXPECT_EQ(texts, QStringList({"CAFE", QStringLiteral("CAFÉ SOLO"), "Chocolate", "LECHE"}));
    EXPECT_EQ(nameCombo(*dialog)->currentText(), "TE");
    EXPECT_EQ(nameCombo(*dialog)->currentIndex(), -1);
}

TEST_F(ProductDlgTest, TheNameIndexFollowsThePickedOrEqualItemAndAChangedNameWithoutOneGets0)
{
    struct Case {
        const char* what;
        QString picked; // an item chosen from the list, or
        QString typed;  // a text typed into the edit field
        QByteArray name;
        int nameIndex;
    };
    const Case cases[] = {
        {"picked", "LECHE", {}, "LECHE", 7},
        {"picked, 8-bit", QStringLiteral("CAFÉ SOLO"), {}, "CAF\xC9 SOLO", 11},
        {"typed as listed", {}, "CAFE", "CAFE", 5},
        {"other case", {}, "cafe", "cafe", 0},
        {"unchanged, not listed", {}, "TE", "TE", 3},
        {"changed, not listed", {}, "NUEVO", "NUEVO", 0},
        {"emptied", {}, "", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProductDlgData record = product("TE", 3);
        auto dialog = open(record);
        if (!c.picked.isEmpty())
            nameCombo(*dialog)->setCurrentIndex(nameCombo(*dialog)->findText(c.picked));
        else
            nameCombo(*dialog)->setEditText(c.typed);
        dialog->accept();
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(record.name, c.name);
        EXPECT_EQ(record.nameIndex, c.nameIndex);
    }
}

TEST_F(ProductDlgTest, AnUnchangedNameComesBackByteForByteAndHiddenNumbersPassThrough)
{
    ProductDlgData record = product("CAF\x81\x9D", 4);
    record.productNumber = 30; // a T38A read numbers products past 24
    record.selectionNumber = 0;
    record.sugarFlag = 1;
    record.cupFlag = 1;
    auto dialog = open(record);
    EXPECT_TRUE(dialog->item<QCheckBox>(CProductDlg::SugarCheck)->isChecked());
    EXPECT_FALSE(dialog->item<QCheckBox>(CProductDlg::StirrerCheck)->isChecked());
    dialog->item<QCheckBox>(CProductDlg::StirrerCheck)->setChecked(true);
    dialog->item<QCheckBox>(CProductDlg::CupCheck)->setChecked(false);
    dialog->accept();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(record.name, QByteArray("CAF\x81\x9D"));
    EXPECT_EQ(record.nameIndex, 4);
    EXPECT_EQ(record.productNumber, 30);
    EXPECT_EQ(record.selectionNumber, 0);
    EXPECT_EQ(record.sugarFlag, 1);
    EXPECT_EQ(record.stirrerFlag, 1);
    EXPECT_EQ(record.cupFlag, 0);
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(ProductDlgTest, TheWideNameKeepsItsFirst16Units)
{
    ProductDlgData record = product("X", 0, true);
    record.wideName = WideName::fromQString(QStringLiteral("שלום"));
    auto dialog = open(record);
    EXPECT_EQ(wide(*dialog)->text(), QStringLiteral("שלום"));
    EXPECT_EQ(wide(*dialog)->font().family(), "Arial");
    EXPECT_EQ(wide(*dialog)->font().pointSize(), 16);
    wide(*dialog)->setText(QStringLiteral("ABCDEFGHIJKLMNOPQRST"));
    dialog->accept();
    EXPECT_EQ(record.wideName.toQString(), QStringLiteral("ABCDEFGHIJKLMNOP"));
}

TEST_F(ProductDlgTest, TheCodePageListShowsTheDocumentsPageDisabledAndOnlyForT38A)
{
    struct Case {
        quint32 codePage;
        bool t38a;
        QString shown;
    };
    const Case cases[] = {
        {1255, true, "Hebreo 1255"},
        {1250, true, "Latino2 (Europa Central) 1250"},
        {1252, true, QStringLiteral("Arábico 1256")}, // none holds it: the first of the sorted list
        {1251, false, QStringLiteral("Cirílico (Eslavo) 1251")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.codePage);
        ProductDlgData record = product("X", 0, c.t38a);
        record.codePage = c.codePage;
        auto dialog = open(record);
        QComboBox* list = dialog->item<QComboBox>(CProductDlg::CodePageList);
        EXPECT_EQ(list->currentText(), c.shown);
        EXPECT_FALSE(list->isEnabled());
        EXPECT_EQ(list->count(), 4);
        EXPECT_EQ(list->isVisible(), c.t38a);
        EXPECT_EQ(dialog->GetDlgItem(CProductDlg::CodePageLabel)->isVisible(), c.t38a);
        EXPECT_EQ(dialog->GetDlgItem(CProductDlg::HintText)->isVisible(), c.t38a);
        dialog->accept();
        EXPECT_EQ(record.codePage, c.codePage);
    }
}

TEST_F(ProductDlgTest, ConvertirTurnsTheWideNameIntoTheNameThroughTheCodePage)
{
    ProductDlgData record = product("VIEJO", 0, true);
    record.codePage = 1255;
    auto dialog = open(record);
    wide(*dialog)->setText(QStringLiteral("קפה"));
    dialog->OnConvertir();
    EXPECT_TRUE(app.messages().shown().isEmpty());
    dialog->accept();
    EXPECT_EQ(record.name, QByteArray("\xF7\xF4\xE4"));

    // A character the code page lacks, or a question mark, is refused; the name stays.
    for (const QString& typed : {QStringLiteral("Кофе"), QStringLiteral("קפה?")}) {
        SCOPED_TRACE(typed.toStdString());
        app.messages().clear();
        ProductDlgData other = product("VIEJO", 0, true);
        other.codePage = 1255;
        auto refused = open(other);
        wide(*refused)->setText(typed);
        refused->OnConvertir();
        EXPECT_EQ(app.messages().texts(),
                  QStringList{"El nombre contiene un signo de interrogación o caracteres que no existen en la página "
                              "de códigos de los nombres de productos"});
        EXPECT_EQ(nameCombo(*refused)->currentText(), "VIEJO");
    }
}

TEST_F(ProductDlgTest, ConvertirOfAClassicMachineUsesTheCharacterTableBesideTheProgram)
{
    app.application().setProgramFolder(app.tempPath());
    ProductDlgData record = product("VIEJO", 0, false);
    auto dialog = open(record);
    wide(*dialog)->setText(QStringLiteral("CAFÉ"));
    dialog->OnConvertir();
    EXPECT_EQ(app.messages().texts(), QStringList{"No se ha podido abrir el archivo ConvertLCD.txt"});
    EXPECT_EQ(nameCombo(*dialog)->currentText(), "VIEJO");

    QFile table(app.tempPath() + "/ConvertLCD.txt");
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("00C9  0x90\r\n");
    table.close();
    app.messages().clear();
    wide(*dialog)->setText(QString(120, QLatin1Char('A')));
    dialog->OnConvertir();
    EXPECT_EQ(nameCombo(*dialog)->currentText(), QString(99, QLatin1Char('A')));
    wide(*dialog)->setText(QStringLiteral("CAFÉ"));
    dialog->OnConvertir();
    EXPECT_TRUE(app.messages().shown().isEmpty());
    dialog->accept();
    EXPECT_EQ(record.name, QByteArray("CAF\x90"));
}
