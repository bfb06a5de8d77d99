#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "fw/ProgramWide.h"
#include "tests/support/CatalogueFixture.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

namespace {

// A document on the program-wide catalogue, whose product names come from a catalogue of
// the test's own making.
class ResolveProductNamesTest : public ::testing::Test {
protected:
    ResolveProductNamesTest()
    {
        catalogue.AddProductName(0, "---", 0);
        catalogue.AddProductName(1, "CAFÉ", 0);
        catalogue.AddProductName(3, "LECHE", 0);
        catalogue.AddProductName(5, "TÉ", 0);
        doc.SetProductNameCodePage(1251);
    }

    CDeviceCoffee* AddHeader(int number, int nameIndex, const QByteArray& name)
    {
        CDeviceCoffee* row = doc.AddDevice();
        row->SetProductNumber(number);
        row->SetSelectionNumber(number);
        row->SetNameIndex(nameIndex);
        row->SetName(name);
        return row;
    }

    TestApplication app;
    CatalogueFixture catalogue{app};
    fw::ProgramWide<CCfg>::Scope cfg{30, 10};
    COrmiDoc doc;
};

} // namespace

TEST_F(ResolveProductNamesTest, HeadersTakeTheirCatalogueNameOrTheIndexOfTheirName)
{
    CDeviceCoffee* byIndex = AddHeader(1, 3, "VIEJO");
    CDeviceCoffee* device = doc.AddDevice();
    CDeviceCoffee* byName = AddHeader(2, 0, "  T\xC9 ");
    CDeviceCoffee* unknown = AddHeader(3, 0, "NADA");
    CDeviceCoffee* outside = AddHeader(4, 150, "FUERA");
    doc.SetModifiedFlag(false);
    int updates = 0;
    doc.AddViewListener([&] { ++updates; });

    doc.ResolveProductNames();

    EXPECT_EQ(byIndex->GetName(), "LECHE");
    EXPECT_EQ(byIndex->GetNameIndex(), 3);
    EXPECT_EQ(byName->GetNameIndex(), 5);
    EXPECT_EQ(byName->GetName(), "  T\xC9 ");
    EXPECT_EQ(unknown->GetNameIndex(), 0);
    EXPECT_EQ(outside->GetName(), "FUERA");
    EXPECT_EQ(outside->GetNameIndex(), 150);
    for (const CDeviceCoffee* row : {byIndex, device, byName, unknown, outside})
        EXPECT_EQ(row->GetCodePage(), 1251u);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(updates, 1);
    EXPECT_FALSE(doc.GetCurrentPosition());
    QByteArray name;
    ASSERT_TRUE(cfg.object().GetProductName(1, name));
    EXPECT_EQ(name, "CAF\xC9");
    EXPECT_TRUE(app.messages().texts().isEmpty());
}

TEST_F(ResolveProductNamesTest, TheNamesOfTheNewLanguageReplaceTheOldOnes)
{
    catalogue.AddProductName(3, "LAIT", 1);
    CDeviceCoffee* header = AddHeader(1, 3, "LECHE");
    app.profile().WriteInt("Ormi", "IdiomaTextos", 1);
    doc.ResolveProductNames();
    EXPECT_EQ(header->GetName(), "LAIT");
}
