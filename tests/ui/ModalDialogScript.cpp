#include "tests/ui/ModalDialogScript.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPixmap>

#include <gtest/gtest.h>

ModalDialogScript::ModalDialogScript()
{
    // One shot, armed again at each look: a step that opens a window of its own (the question
    // before a file is replaced) runs that window's loop inside the look, and the next look
    // must still come there.
    m_timer.setSingleShot(true);
    m_timer.setInterval(LookMs);
    connect(&m_timer, &QTimer::timeout, this, &ModalDialogScript::look);
    m_timer.start();
}

ModalDialogScript::Step ModalDialogScript::cancel()
{
    return [](QDialog& dialog) {
        dialog.reject();
        return true;
    };
}

ModalDialogScript::Step ModalDialogScript::ok()
{
    return [](QDialog& dialog) {
        dialog.accept();
        return true;
    };
}

ModalDialogScript::Step ModalDialogScript::saveAs(const QString& path)
{
    return [path](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        auto* name = files ? files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name) {
            ADD_FAILURE() << "expected Qt's QFileDialog, got " << dialog.metaObject()->className();
            dialog.reject();
            return true;
        }
        const QFileInfo file(path);
        files->setDirectory(file.absolutePath());
        // selectFile() leaves the name field alone while it has the focus, as it has once shown.
        name->setText(file.fileName());
        dialog.accept();
        return true;
    };
}

QStringList ModalDialogScript::take()
{
    QStringList seen;
    seen.swap(m_seen);
    return seen;
}

void ModalDialogScript::snapshot(QWidget& widget, const QString& name)
{
    static int count = 0;
    const QString folder = qEnvironmentVariable("ORMI_WALKTHROUGH_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget.grab().save(QDir(folder).filePath(QStringLiteral("%1-%2.png").arg(++count, 3, 10, QLatin1Char('0')).arg(name)));
}

bool ModalDialogScript::eventFilter(QObject* watched, QEvent* event)
{
    // Shown again, a window is met anew.
    if (event->type() == QEvent::Hide) {
        m_meetings.removeIf([watched](const Meeting& meeting) { return meeting.window.data() == watched; });
        watched->removeEventFilter(this);
    }
    return false;
}

void ModalDialogScript::look()
{
    m_timer.start();
    m_meetings.removeIf([](const Meeting& meeting) { return meeting.window.isNull(); });
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    auto* window = qobject_cast<QDialog*>(modal);
    if (!window) {
        ADD_FAILURE() << "the script cannot answer " << modal->metaObject()->className() << ", not a dialog: closed it";
        modal->close();
        return;
    }
    if (!meetingOf(window)) {
        if (!readyToMeet(*window))
            return;
        meet(*window);
    }
    answer(*window);
}

ModalDialogScript::Meeting* ModalDialogScript::meetingOf(const QDialog* window)
{
    for (Meeting& meeting : m_meetings) {
        if (meeting.window.data() == window)
            return &meeting;
    }
    return nullptr;
}

bool ModalDialogScript::readyToMeet(QDialog& window)
{
    if (window.isActiveWindow())
        return true;
    // A platform that never activates it does not keep the script waiting.
    if (m_shown != &window) {
        m_shown = &window;
        m_shownClock.start();
    }
    return m_shownClock.hasExpired(ActivationMs);
}

void ModalDialogScript::meet(QDialog& window)
{
    m_shown.clear();
    const QString name = QString::fromLatin1(window.metaObject()->className());
    m_seen << name;
    snapshot(window, name);
    window.installEventFilter(this);
    Meeting meeting;
    meeting.window = &window;
    meeting.step = m_steps.isEmpty() ? cancel() : m_steps.takeFirst();
    meeting.clock.start();
    m_meetings.append(std::move(meeting));
}

void ModalDialogScript::answer(QDialog& window)
{
    Meeting* meeting = meetingOf(&window);
    if (meeting->done) {
        if (meeting->clock.hasExpired(CloseMs))
            giveUp(window, "its step was done and it stayed open");
        return;
    }
    // A copy, and the meeting found again: the step may run another window's loop, where
    // looks meet that window and this one may close.
    const Step step = meeting->step;
    const bool done = step(window);
    meeting = meetingOf(&window);
    if (!meeting)
        return;
    if (done) {
        meeting->done = true;
        meeting->clock.start();
    } else if (meeting->clock.hasExpired(WaitMs)) {
        giveUp(window, "its step was still waiting");
    }
}

void ModalDialogScript::giveUp(QDialog& window, const char* why)
{
    ADD_FAILURE() << "the script could not answer " << window.metaObject()->className() << " (" << why << "): closed it";
    window.reject();
    // A window that refuses Cancel too closes all the same.
    if (window.isVisible())
        window.QDialog::done(QDialog::Rejected);
}
