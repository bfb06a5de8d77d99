#include "export/ZentroluxExport.h"

#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "tests/export/ManagementDatabase.h"
#include "tests/export/ScriptedExportOptionsHost.h"
#include "tests/res/BundledCatalogue.h"
#include "tests/support/ScriptedModelDialogHost.h"

#include <QFile>

namespace {

const QString Exported = QStringLiteral("Datos exportados correctamente a la base de datos. Puede ir a Zentrolux Lite "
                                        "para grabar una tarjeta de programación para esta máquina.");

// The sample's machine of each export type.
long sampleMachine(int machineType)
{
    switch (machineType) {
    case 87: return 2;
    case 95: return 3;
    case 100: return 4;
    default: return 1;
    }
}

} // namespace

// Every bundled model exports to its end into a copy of the sample management database that
// the build lays beside the program.
class SampleManagementExportTest : public ManagementDatabase {
protected:
    SampleManagementExportTest()
    {
        app.application().setProgramFolder(BundledCatalogue::programFolder());
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("nowhere/"));
    }

    BundledCatalogue bundled;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    ScriptedModelDialogHost models;
    fw::ProgramWide<ModelDialogHost>::Install modelsInstall{models};
    ScriptedExportOptionsHost options;
};

TEST_F(SampleManagementExportTest, EveryBundledModelExportsWithBothOptions)
{
    ASSERT_FALSE(bundled.configurationList().empty());
    for (const BundledCatalogue::Configuration& configuration : bundled.configurationList()) {
        SCOPED_TRACE(configuration.code);
        ClearBoxes();
        const QString path = Path(QStringLiteral("sample%1.mdb").arg(configuration.code));
        ASSERT_TRUE(QFile::copy(QStringLiteral(ORMI_MANAGEMENT_SAMPLE), path));
        app.profile().WriteString("Configuracion", "Database", path);

        COrmiDoc doc;
        doc.SetMachineModel(configuration.code);
        for (int number = 1; number <= 3; ++number) {
            CDeviceCoffee* header = doc.AddDevice();
            header->SetProductNumber(number);
            header->SetSelectionNumber(number);
            header->SetName(QByteArray("PRODUCTO ") + QByteArray::number(number));
        }
        const int machineType = doc.GetManagementMachineType();
        options.queueOk(sampleMachine(machineType), true, true);
        models.queueOk(configuration.code);
        ZentroluxExport(doc, options, clock).Run();

        EXPECT_EQ(Boxes(), QStringList{Exported});
        const QString machine = QString::number(sampleMachine(machineType));
        EXPECT_EQ(Rows(path, "SELECT COUNT(*) FROM PRODUCTOS WHERE DESCRIPCION LIKE 'PRODUCTO _'"), QStringList{"3"});
        EXPECT_NE(Rows(path, "SELECT COUNT(*) FROM OPCIONES_MAQUINAS WHERE CODIGO=" + machine), QStringList{"0"});
        EXPECT_NE(Rows(path, "SELECT COUNT(*) FROM CANALES_MAQUINAS WHERE CODIGO=" + machine), QStringList{"0"});
        // The union of the classic and the first T38A types gives the key table.
        if (machineType == 42 || machineType == 87) {
            EXPECT_EQ(Rows(path, "SELECT COUNT(*) FROM TECLASCANAL WHERE MAQUINA=" + machine), QStringList{"3"});
        }
    }
}
