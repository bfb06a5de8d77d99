#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

// Bounds in time code that may block for ever (an open of a FIFO, a read without end): when
// the guard is still alive after the limit, the test program says what hung and ends with a
// failure, instead of waiting for the suite's time-out. The code runs on the test's own thread.
class Watchdog {
public:
    explicit Watchdog(std::string what, std::chrono::milliseconds limit = std::chrono::seconds(10))
        : m_thread([this, what = std::move(what), limit] {
            std::unique_lock lock(m_mutex);
            if (!m_done.wait_for(lock, limit, [this] { return m_finished; })) {
                std::fprintf(stderr, "Watchdog: %s did not finish in %lld ms\n", what.c_str(),
                             static_cast<long long>(limit.count()));
                std::fflush(stderr);
                std::_Exit(EXIT_FAILURE);
            }
        })
    {
    }
    ~Watchdog()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_all();
        m_thread.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};
