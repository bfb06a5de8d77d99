// A whole T38A write (connection, compile of a 24-product document, end command) against the
// test machine answering at once on a paced 9600-baud pseudo-terminal line. The bound is the
// line time of every byte both ways (11 bits a byte) plus the 1500 ms break before the hello.
#include "app/COrmiDoc.h"
#include "bench/BenchProgram.h"
#include "fw/Clock.h"
#include "link/CGrabadorT38A.h"
#include "link/SerialPort.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

constexpr int Baud = 9600;
constexpr double BitsPerByte = 11;

void prepare(BenchProgram& program, COrmiDoc& document)
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
    document.OnNewDocument();
    document.SetMachineModel(19);
    for (int p = 1; p <= 24; ++p) {
        CDeviceCoffee* header = document.AddDevice();
        header->SetProductNumber(p);
        header->SetSelectionNumber(p);
        header->SetName("TE");
        for (int d = 0; d < 12; ++d) {
            CDeviceCoffee* device = document.AddDevice();
            device->SetTypeIndex(d == 0 ? 3 : (d == 1 ? 0 : 1));
            device->SetTypeName(d == 1 ? "GRUPO DE CAFE" : "CAFE");
            device->SetContainerTurns(12);
            device->SetWaterPulses(80);
        }
    }
}

void BM_T38AWrite(benchmark::State& state)
{
    BenchProgram program;
    COrmiDoc document;
    prepare(program, document);
    PtyPair pty;
    T38AMachine machine(pty.master());
    machine.peer().setReplyDelayMs(0);
    machine.peer().setLineBaud(Baud);
    program.profile().WriteString("Puertos", "COM1", pty.slavePath());
    ScriptedWaitUi wait;

    double seconds = 0;
    double boundSeconds = 0;
    qint64 lineBytes = 0;
    for (auto _ : state) {
        const qint64 before = machine.peer().bytesReceived() + machine.peer().bytesSent();
        const auto start = std::chrono::steady_clock::now();
        SerialPort port;
        CGrabadorT38A recorder(wait, program.profile(), fw::Clock::System());
        const bool written = recorder.Conecta(&port) && document.CompileProgram(recorder);
        recorder.Finaliza();
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        wait.Detiene();
        if (!written || recorder.HaFallado()) {
            state.SkipWithError("the write failed");
            return;
        }
        lineBytes = machine.peer().bytesReceived() + machine.peer().bytesSent() - before;
        seconds += elapsed;
        boundSeconds += double(lineBytes) * BitsPerByte / Baud + CGrabadorT38A::DefaultBreakMs / 1000.0;
        state.SetIterationTime(elapsed);
    }
    state.counters["bytes"] = double(lineBytes);
    state.counters["seconds"] = seconds / double(state.iterations());
    state.counters["bound s"] = boundSeconds / double(state.iterations());
    state.counters["ratio"] = seconds / boundSeconds;
}

} // namespace

// Target: ratio within 1.15.
BENCHMARK(BM_T38AWrite)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
