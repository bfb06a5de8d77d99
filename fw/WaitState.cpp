#include "fw/WaitState.h"

namespace fw {

void WaitState::reset(const QString& message, const QString& workingButton)
{
    std::lock_guard lock(m_mutex);
    m_shown = {message, workingButton, 0};
    m_done = false;
    m_dirty = true;
}

void WaitState::setMessage(const QString& message, const QString& workingButton)
{
    std::lock_guard lock(m_mutex);
    m_shown.message = message;
    m_shown.button = workingButton;
    m_dirty = true;
}

void WaitState::finish(const QString& message, const QString& confirmButton)
{
    std::lock_guard lock(m_mutex);
    m_shown.message = message;
    m_shown.button = confirmButton;
    m_done = true;
    m_dirty = true;
}

void WaitState::setProgress(int percent)
{
    std::lock_guard lock(m_mutex);
    m_shown.progress = percent;
    m_dirty = true;
}

std::optional<WaitState::Shown> WaitState::takeChanges()
{
    std::lock_guard lock(m_mutex);
    if (!m_dirty)
        return std::nullopt;
    m_dirty = false;
    return m_shown;
}

bool WaitState::isDone() const
{
    std::lock_guard lock(m_mutex);
    return m_done;
}

} // namespace fw
