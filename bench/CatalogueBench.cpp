// Loading the catalogue of one model from the bundled catalogue beside the program: device
// types, dispenser table and product names, as start-up and every model choice do.
#include "app/CCfg.h"
#include "bench/BenchProgram.h"

#include <benchmark/benchmark.h>

namespace {

// The program reads the bundled catalogue beside it, in the given interface language.
void prepare(BenchProgram& program, int interfaceLanguage)
{
    program.application().setProgramFolder(QStringLiteral(ORMI_PROGRAM_DIR));
    program.profile().WriteInt(QStringLiteral("Ormi"), QStringLiteral("Idioma"), interfaceLanguage);
    program.profile().WriteInt(QStringLiteral("Ormi"), QStringLiteral("IdiomaTextos"), interfaceLanguage);
}

void LoadModel(benchmark::State& state, int model, int interfaceLanguage)
{
    BenchProgram program;
    prepare(program, interfaceLanguage);
    CCfg cfg(30, 10);
    for (auto _ : state) {
        const bool loaded = cfg.LoadDeviceTypes(model) == CCfg::LoadResult::Loaded
            && cfg.LoadDispenserTable(model) == CCfg::LoadResult::Loaded && cfg.LoadProductNames();
        benchmark::DoNotOptimize(loaded);
        if (!loaded || program.boxesShown() > 0) {
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
