#include "app/CCfg.h"
#include "db/LeeDbConfiguraciones.h"
#include "tests/res/BundledCatalogue.h"
#include "tests/support/TestApplication.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The catalogue the build lays beside the program, found from the program's folder as the
// editor finds it.
class BundledCatalogueLoadingTest : public ::testing::Test {
protected:
    BundledCatalogueLoadingTest()
    {
        app.application().setProgramFolder(BundledCatalogue::programFolder());
        // Nothing may come from below WorkDir.
        app.profile().WriteString("Configuracion", "WorkDir", app.tempPath("nowhere/"));
    }

    TestApplication app;
    BundledCatalogue bundled;
    CCfg cfg{30, 10};
};

} // namespace

TEST_F(BundledCatalogueLoadingTest, EveryModelLoadsItsDeviceTypesAndDispenserTable)
{
    ASSERT_FALSE(bundled.configurationList().empty());
    for (const BundledCatalogue::Configuration& configuration : bundled.configurationList()) {
        SCOPED_TRACE(configuration.code);
        const bool classic = BundledCatalogue::hasDeviceFiles(configuration.machineType);
        EXPECT_EQ(cfg.LoadDeviceTypes(configuration.code) == CCfg::LoadResult::Loaded, classic);
        EXPECT_EQ(cfg.LoadDispenserTable(configuration.code) == CCfg::LoadResult::Loaded, classic);
        if (classic) {
            EXPECT_GT(cfg.CountNamedTypes(), 0);
            QByteArray name;
            EXPECT_GE(cfg.FindDeviceType(0xF1, 1, name), 0);
            EXPECT_NE(cfg.GetDispenserTable().row(0), DispenserTable::Row{});
        }
    }
    EXPECT_TRUE(app.messages().texts().isEmpty()) << app.messages().texts().join('\n').toStdString();
}

TEST_F(BundledCatalogueLoadingTest, ModelOneLoadsWholeInEveryLanguage)
{
    for (int language = 0; language <= 5; ++language) {
        SCOPED_TRACE(language);
        app.profile().WriteInt("Ormi", "Idioma", language == 0 ? 0 : 2);
        app.profile().WriteInt("Ormi", "IdiomaTextos", language);
        ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
        ASSERT_EQ(cfg.LoadDispenserTable(1), CCfg::LoadResult::Loaded);
        ASSERT_TRUE(cfg.LoadProductNames());
        std::set<QByteArray> names;
        for (int index = 0; index < CCfg::ProductNameCount; ++index) {
            QByteArray name;
            cfg.GetProductName(index, name);
            EXPECT_FALSE(name.isEmpty()) << index;
            names.insert(name);
        }
        EXPECT_EQ(names.size(), std::size_t(CCfg::ProductNameCount));
    }
    EXPECT_TRUE(app.messages().texts().isEmpty()) << app.messages().texts().join('\n').toStdString();
}

TEST_F(BundledCatalogueLoadingTest, TheRelayNamesAreTranslatedForAnEnglishInterface)
{
    app.profile().WriteInt("Ormi", "Idioma", 2);
    ASSERT_EQ(cfg.LoadDeviceTypes(1), CCfg::LoadResult::Loaded);
    int translated = 0;
    for (int index = 0; index < cfg.GetDeviceTypeCount(); ++index) {
        const DeviceTypeRecord* record = cfg.GetDeviceType(index);
        if (!record->name.isEmpty() && record->displayName != record->name)
            ++translated;
    }
    EXPECT_EQ(translated, cfg.CountNamedTypes());
}

TEST_F(BundledCatalogueLoadingTest, ThePrototypeIsListedOnlyInTheInternalMode)
{
    const auto listed = [](LeeDbConfiguraciones& reader) {
        std::set<int> codes;
        std::set<QString> prototypes;
        QString machineType;
        QString configuration;
        int code = 0;
        while (reader.LeeSiguienteConfiguracion(machineType, configuration, code)) {
            codes.insert(code);
            if (configuration.endsWith(LeeDbConfiguraciones::PrototypeMark()))
                prototypes.insert(configuration);
        }
        return std::pair(codes, prototypes.size());
    };
    std::set<int> all;
    std::set<int> classic;
    for (const BundledCatalogue::Configuration& configuration : bundled.configurationList()) {
        all.insert(configuration.code);
        if (!configuration.prototype)
            classic.insert(configuration.code);
    }
    LeeDbConfiguraciones normal;
    EXPECT_EQ(listed(normal), std::pair(classic, std::size_t(0)));
    LeeDbConfiguraciones internal(LeeDbConfiguraciones::Mode::Internal);
    EXPECT_EQ(listed(internal), std::pair(all, all.size() - classic.size()));
}
