#pragma once

#include "app/CCfg.h"
#include "app/SetupT38A.h"
#include "fw/ProgramWide.h"
#include "tests/export/ManagementDatabase.h"
#include "tests/res/BundledCatalogue.h"
#include "tests/support/ScriptedModelDialogHost.h"

class COrmiDoc;

// Exports of documents of the bundled models into copies of the sample management database
// that the build lays beside the program; the machine-model dialog answers by script.
class SampleManagement : public ManagementDatabase {
protected:
    SampleManagement();

    // A copy of the sample in the test's folder, which the profile names as the database.
    QString copySample(const QString& name);
    // The first bundled model of the management machine type; 0 (and a test failure) without one.
    int modelOfType(int machineType);
    // The document of the model with products 1..count ("PRODUCTO n" at selection n).
    static void fill(COrmiDoc& doc, int model, int count);

    BundledCatalogue bundled;
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope setup;
    ScriptedModelDialogHost models;
    fw::ProgramWide<ModelDialogHost>::Install modelsInstall{models};
};
