#include "export/ExportaZentroluxDlg.h"

#include "db/DBQueryModel.h"
#include "db/DBSQLListCtrl.h"
#include "tests/export/ManagementDatabase.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QPushButton>

namespace {

const QString Ormi = QStringLiteral("Ormi");

// Machines of type 42 at three sites (one with a location) and one without a site, a machine of
// another type.
const char* const Machines =
    "INSERT INTO EMPLAZAMIENTOS VALUES (1,'BAR',NULL),(2,'HOTEL','PLANTA 2'),(3,'CAMPING','');"
    "INSERT INTO MAQUINAS VALUES (12,42,1,5,1,51,2),(3,42,1,5,1,51,1),(7,42,1,5,1,51,9),(8,87,1,5,1,234,1),"
    "(20,42,1,5,1,51,3);";

} // namespace

class ExportaZentroluxDlgTest : public ManagementDatabase {
protected:
    ExportaZentroluxDlgTest()
    {
        connection = OpenDatabase(MakeManagement(QStringLiteral("z.mdb"), QLatin1String(Machines)), true);
    }

    static QStringList listed(const ExportaZentroluxDlg& dialog)
    {
        QStringList out;
        const DBQueryModel& model = dialog.MachineList()->Model();
        for (int row = 0; row < model.rowCount(); ++row)
            out << model.index(row, 0).data().toString() + QLatin1Char('|') + model.index(row, 1).data().toString();
        return out;
    }
    void focusRow(ExportaZentroluxDlg& dialog, int row)
    {
        DBSQLListCtrl* list = dialog.MachineList();
        list->selectionModel()->setCurrentIndex(list->Model().index(row, 0), QItemSelectionModel::NoUpdate);
    }

    std::unique_ptr<DAODBConnection> connection;
};

TEST_F(ExportaZentroluxDlgTest, ListsTheJoinedMachinesOfTheTypeUnderTheirCaptions)
{
    ExportaZentroluxDlgData data(42, connection.get());
    ExportaZentroluxDlg dialog(data);
    dialog.InitDialog();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Seleccione opciones de exportación"));
    EXPECT_EQ(dialog.ProductsOption()->text(), QStringLiteral("Exportar códigos de producto y crear productos de café"));
    EXPECT_EQ(dialog.UnionOption()->text(), QStringLiteral("Crear unión de canales"));
    EXPECT_EQ(dialog.MachineList()->GetDlgCtrlID(), 1035);
    // A null location gives one blank, an empty one "()".
    EXPECT_EQ(listed(dialog), (QStringList{"3|BAR ", "12|HOTEL (PLANTA 2)", "20|CAMPING ()"}));
    const DBQueryModel& model = dialog.MachineList()->Model();
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Codigo"));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descripcion"));
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(ExportaZentroluxDlgTest, OkTakesTheFocusedRowAndKeepsTheOptions)
{
    app.profile().WriteInt(Ormi, "ExportarProds", 1);
    app.profile().WriteInt(Ormi, "ExportarUnion", 0);
    ExportaZentroluxDlgData data(42, connection.get());
    ExportaZentroluxDlg dialog(data);
    dialog.InitDialog();
    EXPECT_TRUE(dialog.ProductsOption()->isChecked());
    EXPECT_FALSE(dialog.UnionOption()->isChecked());

    // Row 2 has the focus; row 0 is only selected.
    dialog.MachineList()->selectRow(0);
    focusRow(dialog, 2);
    dialog.ProductsOption()->setChecked(false);
    dialog.UnionOption()->setChecked(true);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(data.machineCode, 20);
    EXPECT_EQ(data.ExportarProds, 0);
    EXPECT_EQ(data.ExportarUnion, 1);
    EXPECT_EQ(app.profile().GetInt(Ormi, "ExportarProds", -1), 0);
    EXPECT_EQ(app.profile().GetInt(Ormi, "ExportarUnion", -1), 1);

    // The next run shows what the last OK kept.
    ExportaZentroluxDlgData next(42, connection.get());
    EXPECT_EQ(next.ExportarProds, 0);
    EXPECT_EQ(next.ExportarUnion, 1);
}

TEST_F(ExportaZentroluxDlgTest, OkWithoutAFocusedRowGivesMachineZero)
{
    ExportaZentroluxDlgData data(87, connection.get());
    ExportaZentroluxDlg dialog(data);
    dialog.InitDialog();
    EXPECT_EQ(listed(dialog), QStringList{"8|BAR "});
    dialog.MachineList()->selectionModel()->clear();
    dialog.accept();
    EXPECT_EQ(data.machineCode, 0);
}

TEST_F(ExportaZentroluxDlgTest, CancelChangesNeitherTheRecordNorTheProfile)
{
    ExportaZentroluxDlgData data(42, connection.get());
    ExportaZentroluxDlg dialog(data);
    dialog.InitDialog();
    focusRow(dialog, 1);
    dialog.ProductsOption()->setChecked(true);
    dialog.UnionOption()->setChecked(true);
    dialog.reject();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(data.machineCode, 0);
    EXPECT_EQ(data.ExportarProds, 0);
    EXPECT_EQ(data.ExportarUnion, 0);
    EXPECT_EQ(app.profile().GetInt(Ormi, "ExportarProds", -1), -1);
    EXPECT_EQ(app.profile().GetInt(Ormi, "ExportarUnion", -1), -1);
}

TEST_F(ExportaZentroluxDlgTest, CaptionsWithBlanksOrBracketsStillListTheMachines)
{
    app.strings().merge("1594\tCódigo máquina]\n1595\t\n");
    ExportaZentroluxDlgData data(42, connection.get());
    ExportaZentroluxDlg dialog(data);
    dialog.InitDialog();
    EXPECT_EQ(listed(dialog).size(), 3);
    const DBQueryModel& model = dialog.MachineList()->Model();
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Código máquina"));
    // A language without the caption shows the Spanish one.
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Descripcion"));
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(ExportaZentroluxDlgTest, ALanguageFileRelabelsTheDialog)
{
    app.strings().merge("dialog.151\tSelect export options\ndialog.151.1508\tCreate channel union\n"
                        "dialog.151.2\tAbbrechen\n");
    ExportaZentroluxDlgData data(42, connection.get());
    ExportaZentroluxDlg dialog(data);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select export options"));
    EXPECT_EQ(dialog.UnionOption()->text(), QStringLiteral("Create channel union"));
    EXPECT_EQ(dialog.ProductsOption()->text(), QStringLiteral("Exportar códigos de producto y crear productos de café"));
    const auto* cancel = qobject_cast<QPushButton*>(dialog.GetDlgItem(fw::Dialog::IdCancel));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("Abbrechen"));
}
