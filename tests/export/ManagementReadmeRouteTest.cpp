// The README's route for a management database without a machine of the document's type,
// through the real options dialog: the export adds the machine, the dialog cannot list it yet
// and is cancelled; the machine stays; given a site with SQL, the next export lists it and
// exports into it.
#include "export/ExportOptionsDialogHost.h"
#include "export/ExportaZentroluxDlg.h"
#include "export/ZentroluxExport.h"

#include "app/COrmiDoc.h"
#include "db/DBQueryModel.h"
#include "db/DBSQLListCtrl.h"
#include "tests/export/SampleManagement.h"

#include <QCheckBox>

#include <optional>

namespace {

const QString Exported = QStringLiteral("Datos exportados correctamente a la base de datos. Puede ir a Zentrolux Lite "
                                        "para grabar una tarjeta de programación para esta máquina.");

// Opens the real dialog, records the rows it lists and answers by script: OK with both options
// on the row of a machine code (focused as a click would), or Cancel.
class ListingOptionsHost : public ExportOptionsDialogHost {
public:
    void queueOk(long machineCode) { m_answers.append(machineCode); }
    void queueCancel() { m_answers.append(std::nullopt); }
    const QList<QStringList>& listed() const { return m_listed; }

    bool Run(ExportaZentroluxDlgData& data) override
    {
        ExportaZentroluxDlg dialog(data);
        dialog.InitDialog();
        DBSQLListCtrl* list = dialog.MachineList();
        const DBQueryModel& model = list->Model();
        QStringList rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows << model.index(row, 0).data().toString() + QLatin1Char('|') + model.index(row, 1).data().toString();
        m_listed.append(rows);
        const std::optional<long> answer = m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
        for (int row = 0; answer && row < model.rowCount(); ++row) {
            if (model.index(row, 0).data().toString().toLong() == *answer)
                list->selectionModel()->setCurrentIndex(model.index(row, 0), QItemSelectionModel::ClearAndSelect);
        }
        dialog.ProductsOption()->setChecked(true);
        dialog.UnionOption()->setChecked(true);
        if (answer)
            dialog.accept();
        else
            dialog.reject();
        return dialog.result() == QDialog::Accepted;
    }

private:
    QList<std::optional<long>> m_answers;
    QList<QStringList> m_listed;
};

} // namespace

class ManagementReadmeRouteTest : public SampleManagement {
protected:
    ListingOptionsHost options;
};

TEST_F(ManagementReadmeRouteTest, ANewMachineIsGivenASiteAndTheNextExportListsAndFillsIt)
{
    const QString path = copySample(QStringLiteral("Zentrolux.MDB"));
    // The sample without a machine of the classic type.
    Run(path, QStringLiteral("UPDATE MAQUINAS SET TIPO=41 WHERE TIPO=42"));
    COrmiDoc doc;
    fill(doc, modelOfType(42), 3);

    // The export adds machine 7; without a site the dialog cannot list it, and is cancelled.
    options.queueCancel();
    ZentroluxExport(doc, options, clock).Run();
    ASSERT_EQ(options.listed().size(), 1);
    EXPECT_EQ(options.listed().last(), QStringList());
    EXPECT_EQ(Boxes(), QStringList());
    EXPECT_EQ(Rows(path, "SELECT * FROM MAQUINAS WHERE TIPO=42"), QStringList{"7|42|2|5|1|51|NULL"});

    // The README's statement gives it a site; the next export lists it and exports into it.
    Run(path, QStringLiteral("UPDATE MAQUINAS SET EMPLAZAMIENTO=1 WHERE CODIGO=7"));
    options.queueOk(7);
    models.queueOk(doc.GetMachineModel());
    ZentroluxExport(doc, options, clock).Run();
    ASSERT_EQ(options.listed().size(), 2);
    EXPECT_EQ(options.listed().last(), QStringList{"7|BAR CENTRAL "});
    EXPECT_EQ(Boxes(), QStringList{Exported});
    EXPECT_NE(Rows(path, "SELECT COUNT(*) FROM OPCIONES_MAQUINAS WHERE CODIGO=7"), QStringList{"0"});
    EXPECT_EQ(Rows(path, "SELECT COUNT(*) FROM CANALES_MAQUINAS WHERE CODIGO=7"), QStringList{"18"});
    EXPECT_EQ(Rows(path, "SELECT COUNT(*) FROM TECLASCANAL WHERE MAQUINA=7"), QStringList{"3"});
    EXPECT_EQ(Rows(path, "SELECT COUNT(*) FROM PRODUCTOS WHERE DESCRIPCION LIKE 'PRODUCTO _'"), QStringList{"3"});
}
