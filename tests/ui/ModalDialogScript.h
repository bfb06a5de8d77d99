#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>

class QDialog;

// Answers the modal windows a command opens, in the order they open, each with the next step
// of a script (fill it in, OK, Cancel); a window with no step left is cancelled. A window is met
// once it is shown and active, so that its step finds it as the user would, focus set, however
// soon or late it opens. A step is done with its window when it returns true; one that waits
// (for a transfer's end) returns false and is asked again at the next look. A window its step
// cannot close (a refused OK, a wait that never ends) fails the test with the window's class
// and is closed: the script never waits for good. Records the class of every window it met.
// With ORMI_WALKTHROUGH_DIR set in the environment, a picture of each window goes there as it
// was found (for looking at the windows by eye).
class ModalDialogScript : public QObject {
public:
    using Step = std::function<bool(QDialog&)>;

    // How often the script looks; how long a shown window may take to become active before it
    // is met anyway; how long a step may wait; how long a done window may take to close.
    static constexpr int LookMs = 10;
    static constexpr int ActivationMs = 2000;
    static constexpr int WaitMs = 15000;
    static constexpr int CloseMs = 1000;

    ModalDialogScript();

    void queue(Step step) { m_steps.append(std::move(step)); }
    static Step cancel();
    static Step ok();
    // Saves as path in a Qt file dialog: its folder, then its name typed in the name field.
    static Step saveAs(const QString& path);
    // The classes of the windows answered since the last take.
    QStringList take();
    int pending() const { return int(m_steps.size()); }

    // Saves the widget's picture as <n>-<name>.png in the walkthrough folder, when there is one.
    static void snapshot(QWidget& widget, const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A window met and not yet hidden, with its step.
    struct Meeting {
        QPointer<QDialog> window;
        Step step;
        bool done = false;
        QElapsedTimer clock; // since it was met, then since its step was done
    };

    void look();
    Meeting* meetingOf(const QDialog* window);
    bool readyToMeet(QDialog& window);
    void meet(QDialog& window);
    void answer(QDialog& window);
    void giveUp(QDialog& window, const char* why);

    QTimer m_timer;
    QList<Step> m_steps;
    QStringList m_seen;
    QList<Meeting> m_meetings;
    QPointer<QDialog> m_shown; // the window waiting to become active
    QElapsedTimer m_shownClock;
};
