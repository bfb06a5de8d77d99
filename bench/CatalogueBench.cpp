// Loading the catalogue of one model from the bundled catalogue beside the program: device
// types, dispenser table and product names, as start-up and every model choice do.
#include "app/CCfg.h"
#include "fw/Application.h"
#include "fw/MessageSink.h"
#include "fw/Profile.h"
#include "fw/StringTable.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <cstdio>

namespace {

// Counts the boxes: a load that shows one has failed.
class CountingSink : public fw::MessageSink {
public:
    fw::MessageAnswer show(const fw::Message& message) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(message.text));
        ++shown;
        return message.defaultAnswer;
    }
    int shown = 0;
};

class BundledCatalogue {
public:
    explicit BundledCatalogue(int interfaceLanguage)
        : m_profile(m_dir.filePath(QStringLiteral("profile.ini")))
        , m_application(m_profile, m_strings, m_sink)
    {
        m_application.setProgramFolder(QStringLiteral(ORMI_PROGRAM_DIR));
        m_profile.WriteInt(QStringLiteral("Ormi"), QStringLiteral("Idioma"), interfaceLanguage);
        m_profile.WriteInt(QStringLiteral("Ormi"), QStringLiteral("IdiomaTextos"), interfaceLanguage);
    }
    int boxes() const { return m_sink.shown; }

private:
    QTemporaryDir m_dir;
    fw::Profile m_profile;
    fw::StringTable m_strings;
    CountingSink m_sink;
    fw::Application m_application;
};

void LoadModel(benchmark::State& state, int model, int interfaceLanguage)
{
    BundledCatalogue catalogue(interfaceLanguage);
    CCfg cfg(30, 10);
    for (auto _ : state) {
        const bool loaded = cfg.LoadDeviceTypes(model) && cfg.LoadDispenserTable(model) && cfg.LoadProductNames();
        benchmark::DoNotOptimize(loaded);
        if (!loaded || catalogue.boxes() > 0) {
            state.SkipWithError("the bundled catalogue did not load");
            break;
        }
    }
}

// Start-up's load: model 1 with a Spanish interface (relay names only trimmed).
void BM_LoadModel1Spanish(benchmark::State& state) { LoadModel(state, 1, 0); }
// The dearest case: the largest relay file, each relay name translated through the database.
void BM_LoadModel9English(benchmark::State& state) { LoadModel(state, 9, 2); }

} // namespace

BENCHMARK(BM_LoadModel1Spanish)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadModel9English)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
