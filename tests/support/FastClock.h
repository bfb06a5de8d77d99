#pragma once

#include "fw/Clock.h"

#include <chrono>
#include <thread>

// The system's time run faster: the link's own time-outs pass in a fraction of their real
// length, and sleeps are shortened alike. The port's read time-outs stay real.
class FastClock : public fw::Clock {
public:
    explicit FastClock(int factor)
        : m_factor(factor)
    {
    }

    qint64 TickCount() override
    {
        const auto real = std::chrono::steady_clock::now() - m_start;
        return std::chrono::duration_cast<std::chrono::microseconds>(real).count() * m_factor / 1000;
    }
    QDateTime CurrentDateTime() override { return QDateTime::currentDateTime(); }
    void Sleep(int milliseconds) override
    {
        std::this_thread::sleep_for(std::chrono::microseconds(qint64(milliseconds) * 1000 / m_factor));
    }

    int factor() const { return m_factor; }

private:
    const int m_factor;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};
