// The document file over a full document: 24 products of 12 devices each, stored and loaded
// in memory and through a file, for a classic machine and for the T38A family. The catalogue
// reload after a classic load is left out here (bench_catalogue measures it).
// Target: load and save under 200 microseconds each.
#include "app/COrmiDoc.h"
#include "app/DocumentFile.h"
#include "bench/BenchDocuments.h"
#include "bench/BenchProgram.h"

#include <benchmark/benchmark.h>

namespace {

using BenchDocuments::DevicesPerProduct;
using BenchDocuments::Products;

constexpr int ClassicModel = 3;
constexpr int T38AModel = 21;

// The catalogue a load reads: twelve device types wired to six dispenser rows, 100 names.
void prepare(BenchProgram& program)
{
    CCfg& cfg = program.cfg();
    BenchDocuments::setWiredDeviceTypes(cfg);
    cfg.ResizeProductNames();
    for (int index = 0; index < 100; ++index)
        cfg.SetProductName(index, "PRODUCTO " + QByteArray::number(index));
}

// Every other product carries a catalogue name by index, the others a name of their own.
void fill(COrmiDoc& doc, int model)
{
    doc.SetMachineModel(model);
    doc.GetSugar().SetTimes(10, 20, 30);
    for (int product = 1; product <= Products; ++product) {
        CDeviceCoffee* header = doc.AddDevice();
        header->SetProductNumber(product);
        header->SetSelectionNumber(product);
        if (product % 2)
            header->SetNameIndex(product);
        else
            header->SetName("CAFE CON LECHE " + QByteArray::number(product));
        header->SetWideName(WideName(u"CAFE CON LECHE"));
        for (int device = 0; device < DevicesPerProduct; ++device) {
            CDeviceCoffee* row = doc.AddDevice();
            row->SetTypeIndex(model == T38AModel ? device % 8 : device);
            row->SetStart(device * 10);
            row->SetEnd(device * 10 + 50);
            row->SetWaterPulses(device * 7);
            row->SetContainerTurns(device);
        }
    }
}

const auto noReload = [](int) {};

void saveDocument(benchmark::State& state, int model)
{
    BenchProgram program;
    prepare(program);
    COrmiDoc doc;
    fill(doc, model);
    for (auto _ : state)
        benchmark::DoNotOptimize(DocumentFile::Store(doc));
}

void loadDocument(benchmark::State& state, int model)
{
    BenchProgram program;
    prepare(program);
    COrmiDoc source;
    fill(source, model);
    const QByteArray bytes = DocumentFile::Store(source);
    COrmiDoc doc;
    for (auto _ : state) {
        if (!DocumentFile::Load(doc, bytes, noReload))
            state.SkipWithError("the document did not load");
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_SaveClassic(benchmark::State& state) { saveDocument(state, ClassicModel); }
void BM_LoadClassic(benchmark::State& state) { loadDocument(state, ClassicModel); }
void BM_SaveT38A(benchmark::State& state) { saveDocument(state, T38AModel); }
void BM_LoadT38A(benchmark::State& state) { loadDocument(state, T38AModel); }

void BM_SaveClassicToFile(benchmark::State& state)
{
    BenchProgram program;
    prepare(program);
    COrmiDoc doc;
    fill(doc, ClassicModel);
    const QString path = program.path(QStringLiteral("dosis.caf"));
    for (auto _ : state) {
        if (!DocumentFile::Save(doc, path))
            state.SkipWithError("the document was not saved");
    }
}

void BM_OpenClassicFromFile(benchmark::State& state)
{
    BenchProgram program;
    prepare(program);
    COrmiDoc doc;
    fill(doc, ClassicModel);
    const QString path = program.path(QStringLiteral("dosis.caf"));
    if (!DocumentFile::Save(doc, path)) {
        state.SkipWithError("the document was not saved");
        return;
    }
    for (auto _ : state) {
        if (!DocumentFile::Open(doc, path, noReload))
            state.SkipWithError("the document did not open");
    }
}

} // namespace

BENCHMARK(BM_SaveClassic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadClassic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveT38A)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadT38A)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveClassicToFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenClassicFromFile)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
