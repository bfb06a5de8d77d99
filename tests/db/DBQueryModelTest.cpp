#include "db/DBQueryModel.h"
#include "tests/db/DatabaseTest.h"
#include "tests/db/QueryGridDatabase.h"

#include <QColor>

namespace {

class DBQueryModelTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection = OpenDatabase(MakeDatabase("grid.mdb", {}));
        ASSERT_TRUE(connection);
        FillGridTable(*connection, 2001);
    }

    QList<QStringList> Read(const QString& sql, const DBQueryModel::ReadOptions& options)
    {
        auto recordset = connection->CreateRecordset();
        EXPECT_TRUE(recordset->Open(sql, false));
        return DBQueryModel::ReadRows(*recordset, *connection, options);
    }

    static DBQueryModel::ReadOptions Columns(int count)
    {
        DBQueryModel::ReadOptions options;
        options.columnCount = count;
        return options;
    }

    std::unique_ptr<DAODBConnection> connection;
};

TEST_F(DBQueryModelTest, ReadsTwoThousandRecordsAtMost)
{
    const QList<QStringList> rows = Read("SELECT * FROM T ORDER BY ID", Columns(4));
    ASSERT_EQ(rows.size(), 2000);
    EXPECT_EQ(rows[0], QStringList({"1", "Impar 1", "1.50", ""}));
    EXPECT_EQ(rows[1], QStringList({"2", "par", "2.50", "dos lineas"}));
    EXPECT_EQ(rows.last()[0], "2000");
}

TEST_F(DBQueryModelTest, FilteredRecordsCountTowardsTheLimit)
{
    DBQueryModel::ReadOptions options = Columns(2);
    options.filterColumn = 1;
    options.filterText = "IMPAR";
    const QList<QStringList> rows = Read("SELECT ID, NAME FROM T ORDER BY ID", options);
    EXPECT_EQ(rows.size(), 1000);
    EXPECT_EQ(rows.last()[0], "1999");
}

TEST_F(DBQueryModelTest, WholeNumberColumnsShowTheLeadingNumber)
{
    DBQueryModel::ReadOptions options = Columns(4);
    options.wholeNumber[2] = true;
    options.wholeNumber[3] = true;
    const QList<QStringList> rows = Read("SELECT * FROM T WHERE ID <= 2 ORDER BY ID", options);
    EXPECT_EQ(rows[0], QStringList({"1", "Impar 1", "1", ""})); // a null cell stays empty
    EXPECT_EQ(rows[1], QStringList({"2", "par", "2", "0"}));
}

TEST(DBQueryModelNumbers, LeadingNumberReadsLikeAtol)
{
    const std::pair<QString, int> cases[] = {
        {"12,5", 12},          {"  -7x", -7},          {"+3", 3},           {"abc", 0},
        {"", 0},               {"- 4", 0},             {"2147483647", 2147483647},
        {"99999999999", 2147483647}, {"-99999999999", -2147483647 - 1},
    };
    for (const auto& [text, number] : cases)
        EXPECT_EQ(DBQueryModel::LeadingNumber(text), number) << text.toStdString();
}

TEST(DBQueryModelColumns, NumericFieldTypesAreRightAligned)
{
    for (int type = DBRecordset::Boolean; type <= DBRecordset::Currency; ++type) {
        const bool numeric = type >= DBRecordset::Integer16 && type <= DBRecordset::Double;
        EXPECT_EQ(DBQueryModel::FormatOfFieldType(type), numeric ? DBQueryModel::FormatRight : DBQueryModel::FormatLeft)
            << type;
    }
}

// A model of three columns; the last holds the row's tooltip and image number.
class DBQueryModelRows : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.SetColumns({{"A", DBQueryModel::FormatLeft}, {"B", DBQueryModel::FormatRight}, {"C", DBQueryModel::FormatCenter}});
        model.SetRows({{"a", "Si", "0"}, {"b", "SI", "-1"}, {"c", "-1", "3"}, {"d", "No", "16"}, {"e", "-1x", "20"}});
        model.SetFlagText("Si");
        for (int i = 0; i < DBQueryModel::TooltipCount; ++i)
            model.SetTooltipText(i, QStringLiteral("tip %1").arg(i));
    }

    QVariant Data(int row, int column, int role) const { return model.data(model.index(row, column), role); }

    DBQueryModel model;
};

TEST_F(DBQueryModelRows, FlagsRowsOnlyWithCustomDraw)
{
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_FALSE(model.IsFlagged(row)) << row;

    model.SetCustomDraw(true);
    // The last column is the flag column: "-1" flags, so does "Si" without regard to case.
    EXPECT_EQ(Data(1, 0, Qt::ForegroundRole), QVariant(QColor(0, 0, 255)));
    EXPECT_EQ(Data(1, 2, Qt::BackgroundRole), QVariant(QColor(255, 255, 255)));
    EXPECT_FALSE(Data(0, 0, Qt::ForegroundRole).isValid());

    model.SetRowImageMode(true);
    const bool flagged[] = {true, true, true, false, false};
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_EQ(model.IsFlagged(row), flagged[row]) << row;
}

TEST_F(DBQueryModelRows, GivesRowTooltipsInRowImageModeOnly)
{
    EXPECT_FALSE(Data(2, 0, Qt::ToolTipRole).isValid());
    model.SetRowImageMode(true);
    EXPECT_EQ(Data(0, 0, Qt::ToolTipRole), QVariant("tip 0"));
    EXPECT_EQ(Data(2, 0, Qt::ToolTipRole), QVariant("tip 3"));
    EXPECT_FALSE(Data(2, 1, Qt::ToolTipRole).isValid()); // column 0 only
    EXPECT_FALSE(Data(1, 0, Qt::ToolTipRole).isValid()); // -1: no such text
    EXPECT_FALSE(Data(3, 0, Qt::ToolTipRole).isValid()); // 16: no such text
    model.SetTooltipText(3, QString());
    EXPECT_FALSE(Data(2, 0, Qt::ToolTipRole).isValid());
}

TEST_F(DBQueryModelRows, StateImageIsTheLastNumberPlusOneAtMostFifteen)
{
    model.SetRowImageMode(true);
    EXPECT_EQ(model.StateImage(0), 0); // no image list
    model.SetImageList(QList<QIcon>(15));
    const int images[] = {1, 0, 4, 15, 15};
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_EQ(model.StateImage(row), images[row]) << row;
    model.SetRowImageMode(false);
    EXPECT_EQ(model.StateImage(2), 0);
}

TEST_F(DBQueryModelRows, AlignsByColumnFormat)
{
    EXPECT_EQ(Data(0, 0, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignLeft | Qt::AlignVCenter);
    EXPECT_EQ(Data(0, 1, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(Data(0, 2, Qt::TextAlignmentRole).value<Qt::Alignment>(), Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "B");
}

} // namespace
