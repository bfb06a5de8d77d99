#include "tests/support/ScriptedFileNamePrompt.h"

std::optional<QString> ScriptedFileNamePrompt::ask(const fw::FileNameRequest& request)
{
    m_requests.append(request);
    return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
}
