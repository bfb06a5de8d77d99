#include "tests/export/SampleManagement.h"

#include "app/COrmiDoc.h"

#include <QFile>

SampleManagement::SampleManagement()
{
    app.application().setProgramFolder(BundledCatalogue::programFolder());
    app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("nowhere/"));
}

QString SampleManagement::copySample(const QString& name)
{
    const QString path = Path(name);
    QFile::remove(path);
    EXPECT_TRUE(QFile::copy(QStringLiteral(ORMI_MANAGEMENT_SAMPLE), path));
    app.profile().WriteString("Configuracion", "Database", path);
    return path;
}

int SampleManagement::modelOfType(int machineType)
{
    COrmiDoc doc;
    for (const BundledCatalogue::Configuration& configuration : bundled.configurationList()) {
        doc.SetMachineModel(configuration.code);
        if (doc.GetManagementMachineType() == machineType)
            return configuration.code;
    }
    ADD_FAILURE() << "no bundled model of machine type " << machineType;
    return 0;
}

void SampleManagement::fill(COrmiDoc& doc, int model, int count)
{
    doc.SetMachineModel(model);
    for (int number = 1; number <= count; ++number) {
        CDeviceCoffee* header = doc.AddDevice();
        header->SetProductNumber(number);
        header->SetSelectionNumber(number);
        header->SetName(QByteArray("PRODUCTO ") + QByteArray::number(number));
    }
}
