#pragma once

#include "export/ExportOptionsDialogHost.h"

#include <QList>

#include <optional>

// Answers the export-options dialog by script and records what it was opened with. A queued
// answer is OK with its machine code and options; a queued nullopt, or nothing queued, is Cancel.
class ScriptedExportOptionsHost : public ExportOptionsDialogHost {
public:
    struct Answer {
        long machineCode;
        int products;
        int unionOption;
    };
    struct Opened {
        int machineType;
        bool withConnection;
        int products;
        int unionOption;
    };

    bool Run(ExportaZentroluxDlgData& data) override;

    void queueOk(long machineCode, bool products, bool unionOption)
    {
        m_answers.append(Answer{machineCode, products ? 1 : 0, unionOption ? 1 : 0});
    }
    void queueCancel() { m_answers.append(std::nullopt); }
    const QList<Opened>& opened() const { return m_opened; }

private:
    QList<std::optional<Answer>> m_answers;
    QList<Opened> m_opened;
};
