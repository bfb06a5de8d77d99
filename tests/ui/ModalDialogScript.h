#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QDialog;

// Answers the modal windows a command opens, in the order they open, each with the next step
// of a script (fill it in, OK, Cancel); a window with no step left is cancelled. A step is
// done with its window when it returns true; one that waits (for a transfer's end) returns
// false and is asked again at the next look. Records the class of every window it met. With ORMI_WALKTHROUGH_DIR set in the environment, a
// picture of each window goes there as it was found (for looking at the windows by eye).
class ModalDialogScript : public QObject {
public:
    using Step = std::function<bool(QDialog&)>;

    ModalDialogScript();

    void queue(Step step) { m_steps.append(std::move(step)); }
    static Step cancel();
    static Step ok();
    // The classes of the windows answered since the last take.
    QStringList take();
    int pending() const { return int(m_steps.size()); }

    // Saves the widget's picture as <n>-<name>.png in the walkthrough folder, when there is one.
    static void snapshot(QWidget& widget, const QString& name);

private:
    void poll();

    QTimer m_timer;
    QList<Step> m_steps;
    QStringList m_seen;
    QPointer<QDialog> m_current;
    Step m_step;
    bool m_done = false;
};
