#pragma once

#include "export/SaveDialogHost.h"

#include <QList>

// Answers the save dialog by script and records each request it was opened with. A queued
// path is chosen, a queued nullopt is Cancel; with nothing queued the dialog is cancelled.
class ScriptedSaveDialogHost : public SaveDialogHost {
public:
    std::optional<QString> Run(const SaveDialogRequest& request) override;

    void queuePath(const QString& path) { m_answers.append(path); }
    void queueCancel() { m_answers.append(std::nullopt); }
    const QList<SaveDialogRequest>& opened() const { return m_opened; }

private:
    QList<std::optional<QString>> m_answers;
    QList<SaveDialogRequest> m_opened;
};
