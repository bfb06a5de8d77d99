#include "fw/DataExchange.h"
#include "fw/Dialog.h"
#include "tests/support/TestApplication.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

struct Record {
    int count = 0;
    float rate = 0.0f;
    QByteArray name;
    int flag = 0;
};

// Binds the record in the order count (0..1024), rate, name, flag.
class RecordDialog : public fw::Dialog {
public:
    explicit RecordDialog(Record& record)
        : fw::Dialog(900)
        , m_record(record)
        , m_data(record)
    {
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(count = addItem(10, new QLineEdit));
        layout->addWidget(rate = addItem(11, new QLineEdit));
        name = addItem(12, new QComboBox);
        name->setEditable(true);
        layout->addWidget(name);
        layout->addWidget(flag = addItem(13, new QCheckBox));
        layout->addWidget(makeButtons());
    }

    QLineEdit* count;
    QLineEdit* rate;
    QComboBox* name;
    QCheckBox* flag;

protected:
    void DoDataExchange(fw::DataExchange& dx) override
    {
        dx.text(count, m_data.count);
        dx.minMaxInt(count, m_data.count, 0, 1024);
        dx.text(rate, m_data.rate);
        dx.comboText(name, m_data.name);
        dx.check(flag, m_data.flag);
    }
    void Commit() override { m_record = m_data; }

private:
    Record& m_record;
    Record m_data;
};

} // namespace

TEST(DataExchangeTest, IntegersAreWholeNumbersWithBlanksAndASign)
{
    struct Case {
        const char* text;
        bool ok;
        int value;
    };
    const Case cases[] = {
        {"12", true, 12},         {"  -7 ", true, -7},  {"+3", true, 3},          {"", false, 0},
        {"  ", false, 0},         {"-", false, 0},      {"12a", false, 0},        {"1 2", false, 0},
        {"1.5", false, 0},        {"2147483647", true, 2147483647},               {"2147483648", false, 0},
        {"-2147483648", true, -2147483647 - 1},         {"99999999999999999999", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        int value = 0;
        EXPECT_EQ(fw::DataExchange::parseInteger(c.text, value), c.ok);
        if (c.ok) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(DataExchangeTest, FloatsReadTheLocalesSeparatorAndThePoint)
{
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    float value = 0.0f;
    EXPECT_TRUE(fw::DataExchange::parseFloat("1,5", value));
    EXPECT_FLOAT_EQ(value, 1.5f);
    EXPECT_TRUE(fw::DataExchange::parseFloat("1.5", value));
    EXPECT_FLOAT_EQ(value, 1.5f);
    EXPECT_TRUE(fw::DataExchange::parseFloat(" -2 ", value));
    EXPECT_FLOAT_EQ(value, -2.0f);
    for (const char* refused : {"abc", "", "1,5,5", "1e99", "1.5x"}) {
        SCOPED_TRACE(refused);
        EXPECT_FALSE(fw::DataExchange::parseFloat(refused, value));
    }
    EXPECT_EQ(fw::DataExchange::formatFloat(1.5f), "1,5");
    EXPECT_EQ(fw::DataExchange::formatFloat(1234567.0f), "1,23457E+06");
    EXPECT_EQ(fw::DataExchange::formatFloat(10.0f), "10");
    QLocale::setDefault(previous);
}

TEST(DataExchangeTest, LoadingFillsTheControlsAndAPassedOkCommitsTheRecord)
{
    TestApplication app;
    Record record{12, 2.5f, QByteArray("CAF\xC9\x81"), 1};
    RecordDialog dialog(record);
    dialog.InitDialog();
    EXPECT_EQ(dialog.count->text(), "12");
    EXPECT_EQ(dialog.name->currentText(), QStringLiteral("CAFÉ\u0081"));
    EXPECT_TRUE(dialog.flag->isChecked());

    dialog.count->setText(" 1024 ");
    dialog.flag->setChecked(false);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(record.count, 1024);
    EXPECT_FLOAT_EQ(record.rate, 2.5f);
    EXPECT_EQ(record.name, QByteArray("CAF\xC9\x81"));
    EXPECT_EQ(record.flag, 0);
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST(DataExchangeTest, TheFirstFailureShowsItsTextFocusesItsControlAndKeepsTheRecord)
{
    struct Case {
        const char* count;
        const char* rate;
        QString message;
        int focused;
    };
    const Case cases[] = {
        {"", "1", "Especifique un entero.", 10},
        {"abc", "abc", "Especifique un entero.", 10},
        {"1025", "abc", "Especifique un entero entre 0 y 1024.", 10},
        {"-1", "1", "Especifique un entero entre 0 y 1024.", 10},
        {"5", "abc", "Especifique un número.", 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        TestApplication app;
        Record record{3, 1.0f, "X", 0};
        RecordDialog dialog(record);
        dialog.show();
        dialog.count->setText(c.count);
        dialog.rate->setText(c.rate);
        dialog.flag->setChecked(true);
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(app.messages().texts(), QStringList{c.message});
        EXPECT_EQ(dialog.focusWidget(), dialog.GetDlgItem(c.focused));
        EXPECT_EQ(record.count, 3);
        EXPECT_EQ(record.flag, 0);
    }
}

TEST(DataExchangeTest, CancelLeavesTheRecord)
{
    TestApplication app;
    Record record{3, 1.0f, "X", 0};
    RecordDialog dialog(record);
    dialog.InitDialog();
    dialog.count->setText("9");
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(record.count, 3);
}
