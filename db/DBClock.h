#pragma once

#include <QDateTime>

// The time sources of the database layer: the tick count and the sleep of the retrying
// execute, the local time of the SQL log. Tests put a clock of their own in its place.
class DBClock {
public:
    virtual ~DBClock() = default;

    // Milliseconds since the system started.
    virtual qint64 TickCount();
    virtual QDateTime CurrentDateTime();
    virtual void Sleep(int milliseconds);

    // The real clock; it has no state of its own.
    static DBClock& System();
};
