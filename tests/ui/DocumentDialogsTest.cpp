#include "app/COrmiDoc.h"
#include "app/SugarDlgData.h"
#include "app/TemperDlgData.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

namespace {
// A T38A-family model and a classic one.
constexpr int T38AModel = 19;
constexpr int ClassicModel = 1;
} // namespace

TEST(DocumentDialogsTest, SugarTimesComeBackOnOkAndEitherEndMarksTheDocumentModified)
{
    for (bool ok : {true, false}) {
        SCOPED_TRACE(ok);
        TestApplication app;
        COrmiDoc doc;
        doc.SetMachineModel(T38AModel);
        doc.GetSugar().SetTimes(5, 10, 20);
        int updates = 0;
        doc.AddViewListener([&] { ++updates; });
        SugarDlgData shown;
        doc.EditSugarTimes([&](SugarDlgData& record) {
            shown = record;
            record.normal = 30;
            record.extraSweet = 60;
            return ok;
        });
        EXPECT_EQ(shown.bitter, 5);
        EXPECT_EQ(shown.normal, 10);
        EXPECT_EQ(shown.extraSweet, 20);
        EXPECT_TRUE(shown.turnsMode);
        EXPECT_EQ(doc.GetSugar().GetNormal(), ok ? 30 : 10);
        EXPECT_EQ(doc.GetSugar().GetExtraSweet(), ok ? 60 : 20);
        EXPECT_EQ(updates, ok ? 1 : 0);
        EXPECT_TRUE(doc.IsModified());
    }
    TestApplication app;
    COrmiDoc classic;
    classic.SetMachineModel(ClassicModel);
    classic.EditSugarTimes([](SugarDlgData& record) { return !record.turnsMode; });
}

TEST(DocumentDialogsTest, AStoredTemperatureOutsideItsRangeBecomes80EvenOnCancel)
{
    struct Case {
        int stored;
        int shown;
        bool ok;
        int kept;
    };
    const Case cases[] = {{120, 80, false, 80}, {79, 80, true, 95}, {90, 90, false, 90}, {100, 100, true, 95}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        TestApplication app;
        COrmiDoc doc;
        doc.SetWorkingTemperature(c.stored);
        int shown = 0;
        doc.EditTemperature([&](TemperDlgData& record) {
            shown = record.temperature;
            record.temperature = 95;
            return c.ok;
        });
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(doc.GetWorkingTemperature(), c.kept);
        EXPECT_TRUE(doc.IsModified());
    }
}
