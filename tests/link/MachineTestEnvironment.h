#pragma once

#include "app/CCfg.h"
#include "app/ModelDialogHost.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "fw/SaveChangesHost.h"
#include "fw/WaitUi.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/ScriptedModelDialogHost.h"
#include "tests/support/ScriptedSaveChangesHost.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

// What the document's machine commands find in the program, each test with its own: the
// application with its own home and catalogue, the program-wide configuration and T38A set-up
// tables, and the model dialog, wait window and question about unsaved changes answered by
// script.
class MachineTestEnvironment : public ::testing::Test {
protected:
    TestApplication app;
    CatalogueFixture catalogue{app};
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    ScriptedModelDialogHost host;
    fw::ProgramWide<ModelDialogHost>::Install hostInstall{host};
    ScriptedWaitUi wait;
    fw::ProgramWide<fw::WaitUi>::Install waitInstall{wait};
    ScriptedSaveChangesHost saves;
    fw::ProgramWide<fw::SaveChangesHost>::Install savesInstall{saves};
};
