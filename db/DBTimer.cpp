#include "db/DBTimer.h"

#include <chrono>

namespace {

using Counter = std::chrono::steady_clock;

constexpr qint64 CounterFrequency = Counter::period::den / Counter::period::num;
static_assert(CounterFrequency >= 10000, "the counter must count at least every 0.1 ms");

qint64 counterNow() { return qint64(Counter::now().time_since_epoch().count()); }

} // namespace

qint64 StartTimer() { return counterNow(); }

float GetElapsedMs(qint64 start) { return ElapsedMs(start, counterNow(), CounterFrequency); }

float ElapsedMs(qint64 start, qint64 now, qint64 frequency)
{
    const qint64 unit = frequency / 10000; // counts per 0.1 ms
    const qint64 ticks = (now - start) / unit;
    return float(double((ticks / 10000) * 1000) + double(ticks % 10000) / 10.0);
}
