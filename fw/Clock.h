#pragma once

#include <QDateTime>

namespace fw {

// The program's time sources: the tick count, the local time and the sleep of the database
// layer's retries and the machine links' time-outs. Tests put a clock of their own in its place.
class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since the system started.
    virtual qint64 TickCount();
    virtual QDateTime CurrentDateTime();
    virtual void Sleep(int milliseconds);

    // The real clock; it has no state of its own.
    static Clock& System();
};

} // namespace fw
