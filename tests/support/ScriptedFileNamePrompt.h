#pragma once

#include "fw/FileNamePrompt.h"
#include "fw/ProgramWide.h"

#include <QList>

// Answers file-name questions by script (a path, or nothing for Cancel) and records every
// request; with no answer queued the question is cancelled. The program-wide one while it
// lives.
class ScriptedFileNamePrompt : public fw::FileNamePrompt {
public:
    ScriptedFileNamePrompt() : m_install(*this) {}

    std::optional<QString> ask(const fw::FileNameRequest& request) override;

    void queueAnswer(const std::optional<QString>& answer) { m_answers.append(answer); }
    const QList<fw::FileNameRequest>& requests() const { return m_requests; }

private:
    QList<std::optional<QString>> m_answers;
    QList<fw::FileNameRequest> m_requests;
    fw::ProgramWide<fw::FileNamePrompt>::Install m_install;
};
