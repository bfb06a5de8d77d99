#pragma once

#include <QtGlobal>

// Statement timing for the SQL log: a start count from the high-resolution counter and the
// milliseconds since it, at 0.1 ms resolution.
qint64 StartTimer();
float GetElapsedMs(qint64 start);

// The milliseconds between two counts of a counter that runs at the given frequency (at least
// 10000 counts per second): whole seconds in milliseconds plus the rest in tenths.
float ElapsedMs(qint64 start, qint64 now, qint64 frequency);
