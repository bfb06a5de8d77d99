#include "app/InternalModeProbe.h"

#include "fw/InputFile.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace {

// Shared with the worker, which may outlive the wait.
struct ProbeState {
    std::mutex mutex;
    std::condition_variable answered;
    bool done = false;
    bool opened = false;
};

} // namespace

InternalModeProbe::InternalModeProbe(QString path, std::chrono::milliseconds limit, Opener opener)
    : m_path(std::move(path))
    , m_limit(limit)
    , m_opener(std::move(opener))
{
}

bool InternalModeProbe::Run() const
{
    if (m_path.isEmpty())
        return false;
    auto state = std::make_shared<ProbeState>();
    std::thread([state, opener = m_opener, path = m_path] {
        const bool opened = opener(path);
        const std::lock_guard lock(state->mutex);
        state->done = true;
        state->opened = opened;
        state->answered.notify_all();
    }).detach();
    std::unique_lock lock(state->mutex);
    state->answered.wait_for(lock, m_limit, [&state] { return state->done; });
    return state->done && state->opened;
}

bool InternalModeProbe::openForReading(const QString& path) { return fw::InputFile::opens(path); }
