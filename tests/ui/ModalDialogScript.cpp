#include "tests/ui/ModalDialogScript.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPixmap>

ModalDialogScript::ModalDialogScript()
{
    connect(&m_timer, &QTimer::timeout, this, &ModalDialogScript::poll);
    m_timer.start(10);
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

void ModalDialogScript::poll()
{
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible())
        return;
    if (dialog != m_current) {
        m_current = dialog;
        const QString name = QString::fromLatin1(dialog->metaObject()->className());
        m_seen << name;
        snapshot(*dialog, name);
        m_step = m_steps.isEmpty() ? cancel() : m_steps.takeFirst();
        m_done = false;
    }
    // A step that left its window open (a refused OK) does not get it again.
    if (!m_done)
        m_done = m_step(*dialog);
}
