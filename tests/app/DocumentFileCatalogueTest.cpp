// Loading a document against the catalogue the build lays beside the program: a classic
// document brings the catalogue of its own model.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/DocumentFile.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

class DocumentFileCatalogueTest : public ::testing::Test {
protected:
    DocumentFileCatalogueTest()
    {
        app.application().setProgramFolder(QStringLiteral(ORMI_PROGRAM_DIR));
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("nowhere/"));
        CCfg& c = cfg.object();
        EXPECT_EQ(c.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
        EXPECT_EQ(c.LoadDispenserTable(1), CCfg::LoadResult::Loaded);
        EXPECT_TRUE(c.LoadProductNames());
    }

    // A document of the model with one product and a device of each of the first types.
    QByteArray documentOf(int model, int types)
    {
        COrmiDoc doc;
        doc.SetMachineModel(model);
        CDeviceCoffee* header = doc.AddDevice();
        header->SetProductNumber(1);
        header->SetSelectionNumber(1);
        header->SetNameIndex(3);
        for (int type = 0; type < types; ++type)
            doc.AddDevice()->SetTypeIndex(type);
        return DocumentFile::Store(doc);
    }

    TestApplication app;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
};

} // namespace

TEST_F(DocumentFileCatalogueTest, AClassicDocumentReloadsTheCatalogueOfItsModel)
{
    CCfg expected(30, 10);
    ASSERT_EQ(expected.LoadDeviceTypes(12), CCfg::LoadResult::Loaded);
    ASSERT_EQ(expected.LoadDispenserTable(12), CCfg::LoadResult::Loaded);
    const QString path = app.tempPath("espresso.caf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(documentOf(12, 8));
    file.close();

    COrmiDoc doc;
    ASSERT_TRUE(DocumentFile::Open(doc, path));
    EXPECT_TRUE(app.messages().texts().isEmpty()) << app.messages().texts().join('\n').toStdString();
    const CCfg& loaded = cfg.object();
    EXPECT_EQ(loaded.GetModel(), 12);
    for (int row = 0; row < expected.GetDispenserTable().rowCount(); ++row)
        EXPECT_EQ(loaded.GetDispenserTable().row(row), expected.GetDispenserTable().row(row)) << row;
    int devices = 0;
    for (auto p = doc.GetFirstRowPosition(); p; p = doc.GetNextRowPosition(p)) {
        const CDeviceCoffee* row = doc.GetRowAt(p);
        if (row->IsProductHeader())
            continue;
        ++devices;
        QByteArray name;
        ASSERT_TRUE(expected.GetTypeName(row->GetTypeIndex(), name));
        EXPECT_EQ(row->GetTypeName(), name) << row->GetTypeIndex();
    }
    EXPECT_EQ(devices, 8);
}

TEST_F(DocumentFileCatalogueTest, AT38ADocumentLeavesTheCatalogueAsItWas)
{
    COrmiDoc doc;
    ASSERT_TRUE(DocumentFile::Load(doc, documentOf(21, 2)));
    EXPECT_EQ(cfg.object().GetModel(), 1);
    EXPECT_TRUE(app.messages().texts().isEmpty());
}
