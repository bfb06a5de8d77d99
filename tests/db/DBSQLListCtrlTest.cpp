#include "db/DBSQLListCtrl.h"
#include "tests/db/DatabaseTest.h"
#include "tests/db/QueryGridDatabase.h"
#include "tests/db/ScriptedSearchPrompt.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>

namespace {

const QString AllColumns = QStringLiteral("SELECT ID, NAME, PRICE, NOTE FROM T");

class DBSQLListCtrlTest : public DatabaseTest {
protected:
    void SetUp() override
    {
        connection = OpenDatabase(MakeDatabase("grid.mdb", {
            "CREATE TABLE F (ID INTEGER, ACTIVO BOOLEAN, TIP INTEGER)",
            "INSERT INTO F VALUES (1, 1, 2)",
            "INSERT INTO F VALUES (2, 0, 40)",
        }));
        ASSERT_TRUE(connection);
        FillGridTable(*connection, 2001);
        app.profile().WriteString("Vistas", "Dir", Path("") + "/");
    }

    // A shown grid of a known size with the scripted prompt, control 1035.
    std::unique_ptr<DBSQLListCtrl> MakeGrid()
    {
        auto grid = std::make_unique<DBSQLListCtrl>();
        grid->SetSearchPrompt(&prompt);
        grid->SetDlgCtrlID(1035);
        grid->resize(500, 300);
        return grid;
    }

    static QStringList Column(const DBSQLListCtrl& grid, int column, int rows = 3)
    {
        QStringList cells;
        for (int r = 0; r < rows && r < grid.Model().rowCount(); ++r)
            cells += grid.Model().Cell(r, column);
        return cells;
    }

    static QStringList Headers(const DBSQLListCtrl& grid)
    {
        QStringList headers;
        for (int c = 0; c < grid.Model().columnCount(); ++c)
            headers += grid.Model().Header(c);
        return headers;
    }

    std::unique_ptr<DAODBConnection> connection;
    ScriptedSearchPrompt prompt;
};

TEST_F(DBSQLListCtrlTest, FillsTwoThousandRowsWithRowZeroCurrentAndSelected)
{
    auto grid = MakeGrid();
    grid->SetQuery("SELECT ID AS _ID, NAME AS __N, PRICE, NOTE FROM T ORDER BY ID", connection.get(), true);

    EXPECT_EQ(grid->Model().rowCount(), 2000);
    EXPECT_EQ(Headers(*grid), QStringList({"ID", "_N", "PRICE", "NOTE"}));
    EXPECT_EQ(Column(*grid, 3), QStringList({"", "dos lineas", ""}));
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), 1);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(0, {}));
    EXPECT_TRUE(grid->updatesEnabled());
    const int formats[] = {DBQueryModel::FormatRight, DBQueryModel::FormatLeft, DBQueryModel::FormatRight,
                           DBQueryModel::FormatLeft};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(grid->Model().Format(c), formats[c]) << c;
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(DBSQLListCtrlTest, OwnerSettingsShapeTheColumns)
{
    auto grid = MakeGrid();
    grid->SetAlignmentOverride(1, DBQueryModel::FormatCenter);
    grid->SetWholeNumberColumn(2, true);
    grid->SetQuery(AllColumns + " ORDER BY ID", connection.get(), false);

    EXPECT_EQ(grid->Model().Format(1), DBQueryModel::FormatCenter);
    EXPECT_EQ(Column(*grid, 2), QStringList({"1", "2", "3"}));
    EXPECT_FALSE(grid->updatesEnabled()); // redraw false leaves it off
}

TEST_F(DBSQLListCtrlTest, AQueryThatDoesNotOpenLeavesAnEmptyGrid)
{
    auto grid = MakeGrid();
    grid->SetQuery("SELECT NADA FROM NINGUNA", connection.get(), true);
    EXPECT_EQ(grid->Model().rowCount(), 0);
    EXPECT_EQ(grid->Model().columnCount(), 0);
    EXPECT_EQ(Boxes().size(), 1); // the database layer's report

    auto unconnected = MakeGrid();
    unconnected->SetQuery(AllColumns, nullptr, true);
    EXPECT_EQ(unconnected->Model().rowCount(), 0);
}

TEST_F(DBSQLListCtrlTest, ColumnClicksSortAndTheTenthStartsOver)
{
    auto grid = MakeGrid();
    grid->SetQuery(AllColumns, connection.get(), true);

    grid->horizontalHeader()->sectionClicked(0);
    EXPECT_EQ(grid->GetCurrentQuery(), AllColumns + " ORDER BY ID");
    EXPECT_EQ(Column(*grid, 0), QStringList({"1", "2", "3"}));
    EXPECT_TRUE(grid->ColumnsResizedByUser());

    grid->OnColumnClick(0);
    EXPECT_EQ(Column(*grid, 0), QStringList({"2001", "2000", "1999"}));
    EXPECT_EQ(grid->GetOrderClause(), "ID DESC");

    for (int click = 3; click <= 9; ++click)
        grid->OnColumnClick(2);
    EXPECT_EQ(grid->GetSortSequence().At(8), 2);
    grid->OnColumnClick(1);
    SortSequence restarted;
    restarted.Push(1);
    EXPECT_EQ(grid->GetSortSequence(), restarted);
    EXPECT_EQ(grid->GetOrderClause(), "NAME");
}

TEST_F(DBSQLListCtrlTest, ClearingTheSequenceKeepsTheOrder)
{
    auto grid = MakeGrid();
    grid->SetQuery(AllColumns, connection.get(), true);
    grid->OnColumnClick(0);
    grid->OnColumnClick(0);

    grid->OnCommand(DBSQLListCtrl::ClearSortSequence);
    EXPECT_TRUE(grid->GetSortSequence().IsEmpty());
    EXPECT_EQ(Column(*grid, 0), QStringList({"2001", "2000", "1999"}));

    grid->OnColumnClick(1); // a new sequence from the query as last run
    EXPECT_EQ(grid->GetOrderClause(), "NAME");
}

TEST_F(DBSQLListCtrlTest, ClicksWithImagesNeedRowImagesOrTheFlag)
{
    auto grid = MakeGrid();
    grid->SetImageList(QList<QIcon>(2));
    grid->SetQuery(AllColumns, connection.get(), true);
    grid->OnColumnClick(0);
    EXPECT_TRUE(grid->GetSortSequence().IsEmpty());

    grid->SetSortWithImages(true);
    grid->OnColumnClick(0);
    EXPECT_EQ(grid->GetSortSequence().At(0), 0);
}

TEST_F(DBSQLListCtrlTest, FilterTakesTheTypedTextInUpperCase)
{
    auto grid = MakeGrid();
    grid->SetQuery(AllColumns + " ORDER BY ID", connection.get(), true);
    grid->OnCommand(DBSQLListCtrl::FilterContaining); // no filter column: no prompt
    EXPECT_TRUE(prompt.shown.isEmpty());

    grid->SetFilterColumn(1);
    prompt.answers = {QStringLiteral("impar 19"), std::nullopt, QString()};
    grid->OnFilterContaining();
    ASSERT_EQ(prompt.shown.size(), 1);
    EXPECT_EQ(prompt.shown[0].label, "");
    EXPECT_EQ(prompt.shown[0].caption, "");
    EXPECT_FALSE(prompt.shown[0].password || prompt.shown[0].digitsOnly);
    EXPECT_EQ(grid->GetFilterText(), "IMPAR 19");
    // 19, 191, 193, ..., 199 and 1901..1999 odd, all within the first 2000 records.
    EXPECT_EQ(grid->Model().rowCount(), 1 + 5 + 50);
    EXPECT_EQ(Column(*grid, 1, 2), QStringList({"Impar 19", "Impar 191"}));

    grid->OnFilterContaining(); // Cancel
    EXPECT_EQ(grid->GetFilterText(), "IMPAR 19");
    grid->OnFilterContaining(); // an empty text removes the filter
    EXPECT_EQ(grid->Model().rowCount(), 2000);
}

TEST_F(DBSQLListCtrlTest, FilterRunsTheGivenQueryWithTheCurrentSort)
{
    auto grid = MakeGrid();
    grid->SetFilterColumn(1);
    grid->SetQuery("SELECT ID, NAME FROM T WHERE ID < 30", connection.get(), true);
    grid->OnColumnClick(0);
    grid->OnColumnClick(0);
    prompt.answers = {QStringLiteral("impar 2")};
    grid->OnFilterContaining();
    EXPECT_EQ(Column(*grid, 0, 10), QStringList({"29", "27", "25", "23", "21"}));
}

TEST_F(DBSQLListCtrlTest, CopiesInColumnNumberOrderWithoutHiddenColumns)
{
    auto grid = MakeGrid();
    grid->SetQuery("SELECT NOTE, ID, NAME FROM T WHERE ID <= 3 ORDER BY ID", connection.get(), true);
    grid->show();
    grid->horizontalHeader()->moveSection(2, 0);
    grid->OnCopyAll();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              "NOTE\tID\tNAME\n \t1\tImpar 1\ndos lineas\t2\tpar\n \t3\tImpar 3\n");

    grid->horizontalHeader()->resizeSection(1, 0);
    grid->selectAll();
    grid->selectionModel()->setCurrentIndex(grid->Model().index(1, 0), QItemSelectionModel::NoUpdate);
    grid->OnCopySelection();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "NOTE\tNAME\ndos lineas\tpar\n");
}

TEST_F(DBSQLListCtrlTest, MenuOffersItsCommandsAndTheyReachTheGrid)
{
    auto grid = MakeGrid();
    grid->SetFilterColumn(1);
    grid->SetQuery("SELECT ID, NAME FROM T WHERE ID <= 2", connection.get(), true);
    std::unique_ptr<QMenu> menu(grid->CreateContextMenu(nullptr));

    QStringList texts;
    QList<int> commands;
    for (QAction* action : menu->actions()) {
        texts += action->text();
        commands += action->data().toInt();
    }
    EXPECT_EQ(texts, QStringList({"Copiar seleccion  al portapapeles", "Copiar todo al portapapeles",
                                  "Guardar configuración actual", "Restablecer al valor por defecto",
                                  "Borrar secuencia de ordenación", "Filtrar contengan cadena"}));
    EXPECT_EQ(commands, QList<int>({57634, 1151, 1152, 1153, 1154, 1155}));

    auto trigger = [&](int command) { menu->actions().at(commands.indexOf(command))->trigger(); };
    QGuiApplication::clipboard()->clear();
    trigger(57634);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "ID\tNAME\n1\tImpar 1\n");
    trigger(1151);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "ID\tNAME\n1\tImpar 1\n2\tpar\n");
    trigger(1152);
    EXPECT_TRUE(QFile::exists(Path("SETUP1035")));
    trigger(1153);
    EXPECT_FALSE(QFile::exists(Path("SETUP1035")));
    grid->OnColumnClick(0);
    trigger(1154);
    EXPECT_TRUE(grid->GetSortSequence().IsEmpty());
    prompt.answers = {QStringLiteral("par")};
    trigger(1155);
    EXPECT_EQ(grid->GetFilterText(), "PAR");
}

TEST_F(DBSQLListCtrlTest, FlagsRowsAndGivesRowTooltips)
{
    auto grid = MakeGrid();
    grid->SetCustomDraw(true);
    grid->SetRowImageMode(true);
    grid->SetTooltipText(2, "dos");
    grid->SetQuery("SELECT ID, ACTIVO, TIP FROM F ORDER BY ID", connection.get(), true);

    // The formatter's boolean "SI" flags its row: string 1056 "Si" without regard to case.
    EXPECT_EQ(Column(*grid, 1), QStringList({"SI", "NO"}));
    const QAbstractItemModel* model = grid->model();
    EXPECT_EQ(model->data(model->index(0, 0), Qt::ForegroundRole), QVariant(QColor(0, 0, 255)));
    EXPECT_FALSE(model->data(model->index(1, 0), Qt::ForegroundRole).isValid());
    EXPECT_EQ(model->data(model->index(0, 0), Qt::ToolTipRole), QVariant("dos"));
    EXPECT_FALSE(model->data(model->index(1, 0), Qt::ToolTipRole).isValid()); // 40: none
}

TEST_F(DBSQLListCtrlTest, PercentWidthsWaitForTheFirstShowAndYieldToTheUser)
{
    auto grid = MakeGrid();
    grid->SetQuery("SELECT ID, NAME FROM T WHERE ID <= 2", connection.get(), true);
    grid->SetColumnWidthPercent(0, 30);
    grid->show();
    const int viewport = grid->viewport()->width();
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(0), (viewport - 1) * 30 / 100);
    EXPECT_EQ(grid->GetAppliedWidth(0), (viewport - 1) * 30 / 100);
    EXPECT_FALSE(grid->ColumnsResizedByUser());

    grid->SetColumnWidthPercent(1, 70);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), (viewport - 1) * 70 / 100);

    grid->horizontalHeader()->resizeSection(1, 0); // dragged shut
    EXPECT_TRUE(grid->ColumnsResizedByUser());
    grid->SetColumnWidthPercent(1, 50);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), 0);
}

TEST_F(DBSQLListCtrlTest, SavedLayoutComesBackInANewGrid)
{
    {
        auto grid = MakeGrid();
        grid->SetQuery(AllColumns, connection.get(), true);
        grid->show();
        grid->OnColumnClick(1);
        grid->OnColumnClick(0);
        grid->horizontalHeader()->resizeSection(0, 77);
        grid->horizontalHeader()->moveSection(3, 0);
        grid->OnSaveCurrentSetup();
    }
    QFile file(Path("SETUP1035"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readLine().startsWith("Query viewer setup file V 1.0\r\n"));
    file.close();

    auto grid = MakeGrid();
    grid->SetColumnWidthPercent(0, 50);
    grid->SetQuery(AllColumns, connection.get(), true);
    grid->show();
    EXPECT_EQ(grid->GetSortSequence().At(0), 1);
    EXPECT_EQ(grid->GetSortSequence().At(1), 0);
    EXPECT_EQ(grid->GetCurrentQuery(), AllColumns + " ORDER BY ID,NAME");
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(0), 77); // the layout's widths are kept
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(3), 0);
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(0), 1);
    EXPECT_TRUE(grid->ColumnsResizedByUser());
}

TEST_F(DBSQLListCtrlTest, DuplicatedHeadersBothTakeTheLine)
{
    QFile file(Path("SETUP1035"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Query viewer setup file V 1.0\r\nQ\r\n");
    for (int slot = 0; slot < 10; ++slot)
        file.write("Ordenar " + QByteArray::number(slot) + ": -1\r\n");
    file.write("ID# -> Width:33 Order: 1\r\nGONE# -> Width:50 Order: 0\r\nEND\r\n");
    file.close();

    auto grid = MakeGrid();
    grid->SetQuery("SELECT ID, NAME, ID FROM T WHERE ID <= 2", connection.get(), true);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(0), 33);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(2), 33);
    EXPECT_EQ(grid->GetAppliedWidth(2), 33);
    EXPECT_EQ(grid->Model().rowCount(), 2);
}

TEST_F(DBSQLListCtrlTest, ResetWithAFileAppliesItOnceMoreThenRemovesIt)
{
    {
        auto grid = MakeGrid();
        grid->SetQuery(AllColumns, connection.get(), true);
        grid->OnColumnClick(0);
        grid->OnColumnClick(0);
        grid->OnSaveCurrentSetup();
    }
    auto grid = MakeGrid();
    grid->SetFilterColumn(1);
    grid->SetQuery(AllColumns, connection.get(), true);
    grid->show();
    grid->SetColumnWidthPercent(1, 40);
    grid->OnColumnClick(1);
    prompt.answers = {QStringLiteral("impar")};
    grid->OnFilterContaining();

    grid->OnResetToDefault();
    EXPECT_EQ(grid->GetFilterText(), "");
    EXPECT_EQ(grid->GetSortSequence().At(0), 0);
    EXPECT_EQ(grid->GetSortSequence().At(1), 0);
    EXPECT_EQ(grid->GetSortSequence().At(2), -1);
    EXPECT_EQ(Column(*grid, 0), QStringList({"2001", "2000", "1999"}));
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), (grid->viewport()->width() - 1) * 40 / 100);
    EXPECT_FALSE(QFile::exists(Path("SETUP1035")));
}

TEST_F(DBSQLListCtrlTest, ResetWithoutAFileGivesTheDefaultLayout)
{
    auto grid = MakeGrid();
    grid->SetQuery("SELECT ID, NAME FROM T WHERE ID <= 3", connection.get(), true);
    grid->show();
    const int equal = grid->horizontalHeader()->sectionSize(0);
    grid->SetColumnWidthPercent(1, 40);
    grid->OnColumnClick(0);
    grid->OnColumnClick(0);
    grid->horizontalHeader()->resizeSection(0, 5);
    grid->horizontalHeader()->moveSection(1, 0);

    grid->OnResetToDefault();
    EXPECT_TRUE(grid->GetSortSequence().IsEmpty());
    EXPECT_EQ(Column(*grid, 0), QStringList({"1", "2", "3"}));
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(0), equal);
    EXPECT_EQ(grid->horizontalHeader()->visualIndex(1), 1);
    EXPECT_EQ(grid->horizontalHeader()->sectionSize(1), (grid->viewport()->width() - 1) * 40 / 100);
}

TEST_F(DBSQLListCtrlTest, DontSaveNeverTouchesAFile)
{
    {
        auto grid = MakeGrid();
        grid->SetQuery(AllColumns, connection.get(), true);
        grid->OnColumnClick(0);
        grid->OnSaveCurrentSetup();
    }
    auto grid = MakeGrid();
    grid->SetLayoutName("DONTSAVE");
    grid->SetQuery(AllColumns, connection.get(), true);
    EXPECT_TRUE(grid->GetSortSequence().IsEmpty());
    grid->OnResetToDefault();
    EXPECT_TRUE(QFile::exists(Path("SETUP1035")));
    EXPECT_TRUE(QFile::remove(Path("SETUP1035")));
    grid->OnSaveCurrentSetup();
    EXPECT_FALSE(QFile::exists(Path("SETUP1035")));
    EXPECT_FALSE(QFile::exists(Path("DONTSAVE")));
}

TEST_F(DBSQLListCtrlTest, LayoutNameAndAFolderValueWithoutSeparator)
{
    app.profile().WriteString("Vistas", "Dir", Path("Vistas"));
    auto grid = MakeGrid();
    grid->SetQuery(AllColumns, connection.get(), true);
    grid->OnSaveCurrentSetup();
    EXPECT_TRUE(QFile::exists(Path("VistasSETUP1035")));

    grid->SetLayoutName("MAQUINAS");
    grid->OnSaveCurrentSetup();
    EXPECT_TRUE(QFile::exists(Path("VistasMAQUINAS")));
}

TEST_F(DBSQLListCtrlTest, NoFileNameMeansNoFile)
{
    const QString bare = Path("bare");
    app.profile().WriteString("Vistas", "Dir", bare);
    auto grid = MakeGrid();
    grid->SetDlgCtrlID(0);
    grid->SetQuery(AllColumns, connection.get(), true);
    grid->OnSaveCurrentSetup();
    EXPECT_FALSE(QFile::exists(bare));

    QFile file(bare);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    grid->OnResetToDefault();
    EXPECT_TRUE(QFile::exists(bare));
}

} // namespace
