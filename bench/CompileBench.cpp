// The compile step over a full document: 24 products of 12 devices each, for a classic
// machine and for the T38A family, into an exporter that only counts what it is handed.
#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/SetupT38A.h"
#include "fw/Application.h"
#include "fw/MessageSink.h"
#include "fw/Profile.h"
#include "fw/ProgramWide.h"
#include "fw/StringTable.h"
#include "link/ExportarProgramacion.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

constexpr int Products = 24;
constexpr int DevicesPerProduct = 12;

class SilentSink : public fw::MessageSink {
public:
    fw::MessageAnswer show(const fw::Message& message) override { return message.defaultAnswer; }
};

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

// The program-wide objects a compile reads: application, catalogue and set-up tables.
class Machine {
public:
    Machine()
        : m_profile(m_dir.filePath(QStringLiteral("profile.ini")))
        , m_application(m_profile, m_strings, m_sink)
    {
        CCfg& cfg = m_cfg.object();
        cfg.ResetDeviceTypes();
        cfg.ResetDispenserTable();
        for (int i = 0; i < 12; ++i) {
            DeviceTypeRecord type;
            type.name = "TIPO";
            type.displayName = "TIPO";
            type.code = i < 6 ? 0xF1 : (i < 9 ? 0xF3 : 0xF4);
            type.subCode = i + 1;
            cfg.SetDeviceType(i, type);
        }
        for (int k = 1; k < 4; ++k) {
            auto row = m_setup.object().GetSetupRow(k).value();
            row.productIndex = k;
            row.mgPerTurn = 1200 + k;
            m_setup.object().SetSetupRow(k, row);
        }
    }

private:
    QTemporaryDir m_dir;
    fw::Profile m_profile;
    fw::StringTable m_strings;
    SilentSink m_sink;
    fw::Application m_application;
    fw::ProgramWide<CCfg>::Scope m_cfg{30, 10};
    fw::ProgramWide<SetupT38A>::Scope m_setup;
};

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
    Machine machine;
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
