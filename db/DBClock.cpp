#include "db/DBClock.h"

#include <chrono>
#include <thread>

qint64 DBClock::TickCount()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QDateTime DBClock::CurrentDateTime() { return QDateTime::currentDateTime(); }

void DBClock::Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

DBClock& DBClock::System()
{
    static DBClock clock;
    return clock;
}
