// The compile step over a full document: 24 products of 12 devices each, for a classic
// machine and for the T38A family, into an exporter that only counts what it is handed.
#include "app/COrmiDoc.h"
#include "bench/BenchProgram.h"
#include "link/ExportarProgramacion.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Products = 24;
constexpr int DevicesPerProduct = 12;

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

// The catalogue and set-up tables a compile reads: twelve device types, three set-up rows
// with a product.
void prepare(BenchProgram& program)
{
    CCfg& cfg = program.cfg();
    cfg.ResetDeviceTypes();
    cfg.ResetDispenserTable();
    for (int i = 0; i < 12; ++i) {
        DeviceTypeRecord type;
        type.name = "TIPO";
        type.displayName = "TIPO";
        type.code = i < 6 ? DeviceTypeRecord::DispenserCode
                          : (i < 9 ? DeviceTypeRecord::WhipperCode : DeviceTypeRecord::WaterValveCode);
        type.subCode = i + 1;
        cfg.SetDeviceType(i, type);
    }
    for (int k = 1; k < 4; ++k) {
        auto row = program.setup().GetSetupRow(k).value();
        row.productIndex = k;
        row.mgPerTurn = 1200 + k;
        program.setup().SetSetupRow(k, row);
    }
}

void addHeader(COrmiDoc& document, int number)
{
    CDeviceCoffee* header = document.AddDevice();
    header->SetProductNumber(number);
    header->SetSelectionNumber(number);
    header->SetName("TE");
}

// Classic: twelve 6-byte devices and a two-letter name fill 79 of the record's 80 bytes.
void fillClassic(COrmiDoc& document)
{
    document.SetMachineModel(1);
    for (int p = 1; p <= Products; ++p) {
        addHeader(document, p);
        for (int d = 0; d < DevicesPerProduct; ++d) {
            CDeviceCoffee* device = document.AddDevice();
            device->SetTypeIndex(d);
            device->SetStart(d * 10);
            device->SetEnd(d * 10 + 50);
        }
    }
}

// T38A: a dispenser, the coffee group and ten hot waters fill 98 of the 100 bytes.
void fillT38A(COrmiDoc& document)
{
    document.SetMachineModel(19);
    for (int p = 1; p <= Products; ++p) {
        addHeader(document, p);
        for (int d = 0; d < DevicesPerProduct; ++d) {
            CDeviceCoffee* device = document.AddDevice();
            device->SetTypeIndex(d == 0 ? 3 : (d == 1 ? 0 : 1));
            device->SetTypeName(d == 1 ? "GRUPO DE CAFE" : "CAFE");
            device->SetContainerTurns(12);
            device->SetWaterPulses(80);
        }
    }
}

void compile(benchmark::State& state, void (*fill)(COrmiDoc&))
{
    BenchProgram program;
    prepare(program);
    COrmiDoc document;
    document.OnNewDocument();
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

void BM_CompileClassic(benchmark::State& state) { compile(state, fillClassic); }
void BM_CompileT38A(benchmark::State& state) { compile(state, fillT38A); }

} // namespace

BENCHMARK(BM_CompileClassic)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CompileT38A)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
