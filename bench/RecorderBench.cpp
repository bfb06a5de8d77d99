// Whole writes and reads of the compile bench's 24-product documents against the test machines
// answering at once on paced 9600-baud pseudo-terminal lines: the T38A write and bulk read, the
// classic record-mode write, and the classic reads in record and in memory mode. The bound is
// the line time of every byte both ways (a start bit, eight data bits and the line's stop bits:
// 11 bits a byte on the T38A line, 10 on the classic one) plus the delays the machines'
// protocols mandate: the T38A 1500 ms break before the hello; none for the classic machines.
#include "app/COrmiDoc.h"
#include "bench/BenchDocuments.h"
#include "bench/BenchProgram.h"
#include "fw/Clock.h"
#include "link/CGrabador.h"
#include "link/CGrabadorT38A.h"
#include "link/MemoryImageWriter.h"
#include "link/SerialPort.h"
#include "tests/support/ClassicMachine.h"
#include "tests/support/PtyPair.h"
#include "tests/support/ScriptedWaitUi.h"
#include "tests/support/T38AMachine.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>

namespace {

constexpr int Baud = 9600;
// A start bit, eight data bits and the stop bits: the T38A line has two, the classic one.
constexpr double T38ABitsPerByte = 11;
constexpr double ClassicBitsPerByte = 10;

// Time, bytes on the line, bound and ratio of the measured runs.
void report(benchmark::State& state, double seconds, double boundSeconds, qint64 lineBytes)
{
    state.counters["bytes"] = double(lineBytes);
    state.counters["seconds"] = seconds / double(state.iterations());
    state.counters["bound s"] = boundSeconds / double(state.iterations());
    state.counters["ratio"] = seconds / boundSeconds;
}

// Each iteration one T38A transfer, from the port's opening to the end command; its bound the
// line time of every byte both ways plus the break before the hello.
void timeT38A(benchmark::State& state, BenchProgram& program, T38AMachine& machine, ScriptedWaitUi& wait,
              const char* failure, const std::function<bool(CGrabadorT38A&)>& transfer)
{
    double seconds = 0;
    double boundSeconds = 0;
    qint64 lineBytes = 0;
    for (auto _ : state) {
        const qint64 before = machine.peer().bytesReceived() + machine.peer().bytesSent();
        const auto start = std::chrono::steady_clock::now();
        SerialPort port;
        CGrabadorT38A recorder(wait, program.profile(), fw::Clock::System());
        const bool done = recorder.Conecta(&port) && transfer(recorder);
        recorder.Finaliza();
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        wait.Detiene();
        if (!done || recorder.HaFallado()) {
            state.SkipWithError(failure);
            return;
        }
        lineBytes = machine.peer().bytesReceived() + machine.peer().bytesSent() - before;
        seconds += elapsed;
        boundSeconds += double(lineBytes) * T38ABitsPerByte / Baud + CGrabadorT38A::DefaultBreakMs / 1000.0;
        state.SetIterationTime(elapsed);
    }
    report(state, seconds, boundSeconds, lineBytes);
}

void BM_T38AWrite(benchmark::State& state)
{
    BenchProgram program;
    BenchDocuments::prepareCompile(program);
    COrmiDoc document;
    BenchDocuments::fillT38AForCompile(document);
    PtyPair pty;
    T38AMachine machine(pty.master());
    machine.peer().setReplyDelayMs(0);
    machine.peer().setLineBaud(Baud);
    program.profile().WriteString("Puertos", "COM1", pty.slavePath());
    ScriptedWaitUi wait;

    timeT38A(state, program, machine, wait, "the write failed",
             [&](CGrabadorT38A& recorder) { return document.CompileProgram(recorder); });
}

void BM_ClassicWrite(benchmark::State& state)
{
    BenchProgram program;
    BenchDocuments::prepareCompile(program);
    COrmiDoc document;
    BenchDocuments::fillClassicForCompile(document);
    PtyPair pty;
    ScriptedWaitUi wait;
    program.profile().WriteString("Puertos", "COM1", pty.slavePath());

    double seconds = 0;
    double boundSeconds = 0;
    qint64 lineBytes = 0;
    for (auto _ : state) {
        ClassicMachine machine(pty.master(), ClassicMachine::Mode::Record);
        machine.setLineBaud(Baud);
        const auto start = std::chrono::steady_clock::now();
        SerialPort port;
        bool written = false;
        {
            CGrabador recorder(wait, program.profile(), fw::Clock::System());
            written = recorder.Conecta(&port) == 2 && document.CompileProgram(recorder) && !recorder.HaFallado();
            const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            seconds += elapsed;
            state.SetIterationTime(elapsed);
        }
        if (!written) {
            state.SkipWithError("the write failed");
            return;
        }
        lineBytes = machine.line().size();
        boundSeconds += double(lineBytes) * ClassicBitsPerByte / Baud;
    }
    report(state, seconds, boundSeconds, lineBytes);
}

// The classic reads: the machine, filled by an instant write of the same document, answers the
// read on the paced line; the read must give the document's rows back.
void classicRead(benchmark::State& state, ClassicMachine::Mode mode)
{
    BenchProgram program;
    BenchDocuments::prepareCompile(program);
    COrmiDoc document;
    BenchDocuments::fillClassicForCompile(document);
    PtyPair pty;
    ScriptedWaitUi wait;
    program.profile().WriteString("Puertos", "COM1", pty.slavePath());
    ClassicMachine machine(pty.master(), mode);
    {
        SerialPort port;
        CGrabador recorder(wait, program.profile(), fw::Clock::System());
        const int connected = recorder.Conecta(&port);
        const bool written = mode == ClassicMachine::Mode::Record
                                 ? connected == 2 && document.ConfigureMachine(recorder)
                                 : connected == 1 && MemoryImageWriter(document, recorder).Run();
        if (!written) {
            state.SkipWithError("the write failed");
            return;
        }
    }
    machine.setLineBaud(Baud);

    double seconds = 0;
    double boundSeconds = 0;
    qint64 lineBytes = 0;
    for (auto _ : state) {
        COrmiDoc read;
        read.OnNewDocument();
        read.SetMachineModel(1);
        const qint64 before = machine.line().size();
        const auto start = std::chrono::steady_clock::now();
        SerialPort port;
        bool done = false;
        {
            CGrabador recorder(wait, program.profile(), fw::Clock::System());
            const int connected = recorder.Conecta(&port);
            done = mode == ClassicMachine::Mode::Record ? connected == 2 && read.ReadProducts(recorder)
                                                        : connected == 1 && read.ReadMemoryImage(recorder);
            const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            seconds += elapsed;
            state.SetIterationTime(elapsed);
        }
        if (!done || read.GetRowCount() != document.GetRowCount()) {
            state.SkipWithError("the read failed");
            return;
        }
        lineBytes = machine.line().size() - before;
        boundSeconds += double(lineBytes) * ClassicBitsPerByte / Baud;
    }
    report(state, seconds, boundSeconds, lineBytes);
}

void BM_ClassicRecordRead(benchmark::State& state) { classicRead(state, ClassicMachine::Mode::Record); }
void BM_ClassicMemoryRead(benchmark::State& state) { classicRead(state, ClassicMachine::Mode::Memory); }

void BM_T38ARead(benchmark::State& state)
{
    BenchProgram program;
    BenchDocuments::prepareCompile(program);
    COrmiDoc document;
    BenchDocuments::fillT38AForCompile(document);
    PtyPair pty;
    T38AMachine machine(pty.master());
    machine.peer().setReplyDelayMs(0);
    program.profile().WriteString("Puertos", "COM1", pty.slavePath());
    ScriptedWaitUi wait;
    {
        SerialPort port;
        CGrabadorT38A recorder(wait, program.profile(), fw::Clock::System());
        recorder.setBreakMs(0);
        const bool written = recorder.Conecta(&port) && document.CompileProgram(recorder);
        recorder.Finaliza();
        wait.Detiene();
        if (!written || recorder.HaFallado()) {
            state.SkipWithError("the write failed");
            return;
        }
    }
    machine.peer().setLineBaud(Baud);

    timeT38A(state, program, machine, wait, "the read failed", [](CGrabadorT38A& recorder) {
        QByteArray data;
        return recorder.LeeTodo(data) && !data.isEmpty();
    });
}

} // namespace

// Target: every ratio within 1.03.
BENCHMARK(BM_T38AWrite)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassicWrite)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_T38ARead)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassicRecordRead)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ClassicMemoryRead)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
