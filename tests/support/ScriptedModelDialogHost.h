#pragma once

#include "app/ModelDialogHost.h"

#include <QList>

#include <optional>

// Answers the machine-model dialog by script and records the record it was opened on each
// time. A queued model is chosen with OK, a queued nullopt is Cancel; with nothing queued
// the dialog is cancelled.
class ScriptedModelDialogHost : public ModelDialogHost {
public:
    bool Run(TipoMaquinaDlgData& data) override;

    void queueOk(int model) { m_answers.append(model); }
    void queueCancel() { m_answers.append(std::nullopt); }
    // The records as the dialog was given them.
    const QList<TipoMaquinaDlgData>& opened() const { return m_opened; }

private:
    QList<std::optional<int>> m_answers;
    QList<TipoMaquinaDlgData> m_opened;
};
