#include "db/DBSelFieldBox.h"
#include "tests/db/DatabaseTest.h"

namespace {

class DBSelFieldBoxTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection = OpenDatabase(MakeDatabase("lookup.mdb", {
            "CREATE TABLE L (DESCRIPCION TEXT, CODIGO INTEGER)",
            "INSERT INTO L VALUES ('zeta', 1)",
            "INSERT INTO L VALUES ('Alfa', 3)",
            "INSERT INTO L VALUES ('beta', 2)",
            "INSERT INTO L VALUES ('alfa', 4)",
        }));
        ASSERT_TRUE(connection);
        box.SetQuery("SELECT DESCRIPCION, CODIGO FROM L", connection.get());
    }

    QStringList Items() const
    {
        QStringList items;
        for (int i = 0; i < box.count(); ++i)
            items += box.itemText(i) + "=" + box.itemData(i).toString();
        return items;
    }

    std::unique_ptr<DAODBConnection> connection;
    DBSelFieldBox box;
};

TEST_F(DBSelFieldBoxTest, SortedCodesStayWithTheirItems)
{
    box.SetSorted(true);
    box.Fill();
    EXPECT_EQ(Items(), QStringList({"Alfa=3", "alfa=4", "beta=2", "zeta=1"}));
}

TEST_F(DBSelFieldBoxTest, UnsortedKeepsTheQueryOrder)
{
    box.Fill();
    EXPECT_EQ(Items(), QStringList({"zeta=1", "Alfa=3", "beta=2", "alfa=4"}));
}

TEST_F(DBSelFieldBoxTest, LoadsAtTheFirstWindowTextExchange)
{
    EXPECT_FALSE(box.IsFilled());
    EXPECT_EQ(box.GetWindowText(), ""); // nothing selected
    EXPECT_TRUE(box.IsFilled());
    EXPECT_EQ(box.count(), 4);
}

TEST_F(DBSelFieldBoxTest, ExchangesCodesNotTexts)
{
    box.SetSorted(true);
    box.SetWindowText("2");
    EXPECT_EQ(box.currentText(), "beta");
    EXPECT_EQ(box.GetWindowText(), "2");

    // Items of the same visible text: the code picks its own.
    box.SetWindowText("4");
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(box.GetWindowText(), "4");
    box.SetWindowText("3");
    EXPECT_EQ(box.currentIndex(), 0);

    box.SetWindowText("9"); // no such code
    EXPECT_EQ(box.currentIndex(), -1);
    EXPECT_EQ(box.GetWindowText(), "");
}

TEST_F(DBSelFieldBoxTest, SelectCodeKeepsTheSelectionForAnUnknownCode)
{
    box.Fill();
    EXPECT_EQ(box.SelectCode("3"), "Alfa");
    EXPECT_EQ(box.SelectCode("9"), "");
    EXPECT_EQ(box.SelectCode(""), "");
    EXPECT_EQ(box.currentIndex(), 1);
    EXPECT_EQ(box.GetSelectedCode(""), "");
    EXPECT_EQ(box.GetSelectedCode("Alfa"), "3");
}

TEST_F(DBSelFieldBoxTest, EditableComboShowsTheItemText)
{
    box.setEditable(true);
    box.SetWindowText("1");
    EXPECT_EQ(box.currentText(), "zeta");
    EXPECT_EQ(box.GetWindowText(), "1");
    box.SetWindowText("7");
    EXPECT_EQ(box.currentText(), "");
}

TEST_F(DBSelFieldBoxTest, AQueryThatDoesNotOpenLeavesItEmpty)
{
    box.SetQuery("SELECT X FROM NINGUNA", connection.get());
    box.SetWindowText("1");
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.GetWindowText(), "");
    EXPECT_EQ(Boxes().size(), 1); // the database layer's report

    DBSelFieldBox unconnected;
    unconnected.SetQuery("SELECT DESCRIPCION, CODIGO FROM L", nullptr);
    EXPECT_EQ(unconnected.GetWindowText(), "");
    EXPECT_EQ(unconnected.count(), 0);
}

} // namespace
