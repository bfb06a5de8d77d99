#pragma once

#include <QString>

#include <mutex>
#include <optional>

namespace fw {

// What the wait window shows, written by the transfer and copied into the controls at the
// window's tick. One mutex guards it all; the transfer holds it only for an assignment.
class WaitState {
public:
    struct Shown {
        QString message;
        QString button;
        int progress = 0;
    };

    // A fresh window: the message, progress 0, the working button, nothing final.
    void reset(const QString& message, const QString& workingButton);
    // A status text with the working button.
    void setMessage(const QString& message, const QString& workingButton);
    // A final text with the confirming button; the window waits for the user.
    void finish(const QString& message, const QString& confirmButton);
    void setProgress(int percent);

    // The state when it changed since the last call, else nothing.
    std::optional<Shown> takeChanges();
    bool isDone() const;

private:
    mutable std::mutex m_mutex;
    Shown m_shown;
    bool m_dirty = false;
    bool m_done = false;
};

} // namespace fw
