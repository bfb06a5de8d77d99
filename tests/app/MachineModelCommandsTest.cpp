#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ScriptedModelDialogHost.h"
#include "tests/support/TestApplication.h"

#include <QDir>

#include <gtest/gtest.h>

namespace {

// The document's two model commands on a scripted dialog, against a catalogue of a classic
// model 1, a model 2 whose files are missing and a T38A model 21 that names none.
class MachineModelCommandsTest : public ::testing::Test {
protected:
    MachineModelCommandsTest()
    {
        catalogue.AddMachineType(1, "Dravolino C-200");
        catalogue.AddMachineType(6, "Dravolino T38A-C", true);
        catalogue.AddConfiguration({.code = 1, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_C1.TXT", .relayFile = "RELES_C200.TXT"});
        catalogue.AddConfiguration({.code = 2, .machineType = 1, .description = "C",
                                    .dispenserFile = "DISP_NO.TXT", .relayFile = "RELES_NO.TXT"});
        catalogue.AddConfiguration({.code = 21, .machineType = 6, .description = "T"});
        catalogue.WriteFile("RELES_C200.TXT", "| 3 | DISPENSADOR 1 | 0xF1 | 1 |\r\n");
        catalogue.WriteFile("DISP_C1.TXT", "| 1 | 3 | 1 | 1 | 1 | 0 | 0 |\r\n");
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("work/"));
        doc.SetMachineModel(19);
        doc.AddViewListener([this] { ++viewUpdates; });
    }

    CCfg& Cfg() { return cfg.object(); }
    bool CatalogueOfModel1Loaded()
    {
        return Cfg().CountNamedTypes() == 1 && Cfg().GetDispenserTable().row(0) == DispenserTable::Row{3, 1, 1, 1, 0, 0};
    }
    QString MissingText(const QString& file) const
    {
        return "Fichero " + QDir::toNativeSeparators(app.tempPath("work/") + "configormi/" + file) + " no existe";
    }

    TestApplication app;
    CatalogueFixture catalogue{app};
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    ScriptedModelDialogHost host;
    fw::ProgramWide<ModelDialogHost>::Install hostInstall{host};
    COrmiDoc doc;
    int viewUpdates = 0;
};

} // namespace

TEST_F(MachineModelCommandsTest, ChoosingAModelAsksWithConfirmationThenReloadsUpdatesAndMarksModified)
{
    host.queueOk(1);
    doc.ChooseMachineModel();
    ASSERT_EQ(host.opened().size(), 1);
    EXPECT_EQ(host.opened()[0].model, 19);
    EXPECT_TRUE(host.opened()[0].confirm);
    EXPECT_EQ(doc.GetMachineModel(), 1);
    EXPECT_EQ(Cfg().GetModel(), 1);
    EXPECT_TRUE(CatalogueOfModel1Loaded());
    EXPECT_EQ(viewUpdates, 1);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(app.messages().texts().isEmpty());
}

TEST_F(MachineModelCommandsTest, CancelChangesNeitherModelNorCatalogueNorMark)
{
    host.queueCancel();
    doc.ChooseMachineModel();
    host.queueCancel();
    EXPECT_FALSE(doc.SelectMachineModel());
    EXPECT_EQ(host.opened().size(), 2);
    EXPECT_EQ(doc.GetMachineModel(), 19);
    EXPECT_EQ(Cfg().GetModel(), 0);
    EXPECT_EQ(Cfg().GetDeviceTypeCount(), 0);
    EXPECT_EQ(viewUpdates, 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MachineModelCommandsTest, SelectingAModelAsksWithoutConfirmationAndLeavesMarkAndViews)
{
    host.queueOk(1);
    EXPECT_TRUE(doc.SelectMachineModel());
    ASSERT_EQ(host.opened().size(), 1);
    EXPECT_FALSE(host.opened()[0].confirm);
    EXPECT_EQ(host.opened()[0].model, 19);
    EXPECT_EQ(doc.GetMachineModel(), 1);
    EXPECT_TRUE(CatalogueOfModel1Loaded());
    EXPECT_EQ(viewUpdates, 0);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(MachineModelCommandsTest, SelectingAModelWhoseFilesAreMissingFailsAfterTellingOfEachInLoadOrder)
{
    host.queueOk(2);
    EXPECT_FALSE(doc.SelectMachineModel());
    EXPECT_EQ(doc.GetMachineModel(), 2);
    // The dispenser table loads first, then the device types.
    EXPECT_EQ(app.messages().texts(), QStringList({MissingText("DISP_NO.TXT"), MissingText("RELES_NO.TXT")}));
    EXPECT_EQ(Cfg().CountNamedTypes(), 0);
}

TEST_F(MachineModelCommandsTest, SelectingAModelThatNamesNoFilesSucceedsWithoutAMessage)
{
    host.queueOk(1);
    ASSERT_TRUE(doc.SelectMachineModel());
    host.queueOk(21);
    EXPECT_TRUE(doc.SelectMachineModel());
    EXPECT_EQ(host.opened()[1].model, 1);
    EXPECT_EQ(doc.GetMachineModel(), 21);
    EXPECT_EQ(Cfg().GetModel(), 21);
    // The previous model's catalogue does not linger.
    EXPECT_EQ(Cfg().CountNamedTypes(), 0);
    EXPECT_TRUE(app.messages().texts().isEmpty());
}
