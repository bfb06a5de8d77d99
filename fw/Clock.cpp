#include "fw/Clock.h"

#include <chrono>
#include <thread>

namespace fw {

qint64 Clock::TickCount()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

QDateTime Clock::CurrentDateTime() { return QDateTime::currentDateTime(); }

void Clock::Sleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

Clock& Clock::System()
{
    static Clock clock;
    return clock;
}

} // namespace fw
