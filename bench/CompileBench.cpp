// The compile step over a full document: 24 products of 12 devices each, for a classic
// machine and for the T38A family, into an exporter that only counts what it is handed.
#include "app/COrmiDoc.h"
#include "bench/BenchDocuments.h"
#include "bench/BenchProgram.h"
#include "link/ExportarProgramacion.h"

#include <benchmark/benchmark.h>

namespace {

class CountingExporter : public ExportarProgramacion {
public:
    bool EscribeDatos(quint8, quint8, QByteArrayView payload) override
    {
        bytes += payload.size();
        return true;
    }
    bool EscribeByte(quint8, quint8, quint8, qint32 size) override
    {
        bytes += size;
        return true;
    }
    void MuestraMensaje(const QString&) override {}
    void MuestraProgreso(qint32) override {}

    qsizetype bytes = 0;
};

void compile(benchmark::State& state, void (*fill)(COrmiDoc&))
{
    BenchProgram program;
    BenchDocuments::prepareCompile(program);
    COrmiDoc document;
    fill(document);
    CountingExporter exporter;
    if (!document.CompileProgram(exporter)) {
        state.SkipWithError("the document does not compile");
        return;
    }
    for (auto _ : state) {
        exporter.bytes = 0;
        benchmark::DoNotOptimize(document.CompileProgram(exporter));
    }
    state.counters["record bytes"] = double(exporter.bytes);
}

void BM_CompileClassic(benchmark::State& state) { compile(state, BenchDocuments::fillClassicForCompile); }
void BM_CompileT38A(benchmark::State& state) { compile(state, BenchDocuments::fillT38AForCompile); }

} // namespace

BENCHMARK(BM_CompileClassic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompileT38A)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
