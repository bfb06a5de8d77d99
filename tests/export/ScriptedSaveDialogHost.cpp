#include "tests/export/ScriptedSaveDialogHost.h"

std::optional<QString> ScriptedSaveDialogHost::Run(const SaveDialogRequest& request)
{
    m_opened.append(request);
    return m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
}
