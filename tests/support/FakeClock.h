#pragma once

#include "fw/Clock.h"

#include <functional>
#include <vector>

// A clock that stands still: the tick count and local time are set by the test, sleeps are
// recorded (and may run something, as another program would meanwhile).
class FakeClock : public fw::Clock {
public:
    qint64 TickCount() override { return tick; }
    QDateTime CurrentDateTime() override { return now; }
    void Sleep(int milliseconds) override
    {
        sleeps.push_back(milliseconds);
        if (onSleep)
            onSleep();
    }

    qint64 tick = 0;
    QDateTime now = QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9));
    std::vector<int> sleeps;
    std::function<void()> onSleep;
};
