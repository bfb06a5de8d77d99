#include "tests/support/ScriptedModelDialogHost.h"

bool ScriptedModelDialogHost::Run(TipoMaquinaDlgData& data)
{
    m_opened.append(data);
    const std::optional<int> answer = m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
    if (!answer)
        return false;
    data.model = *answer;
    return true;
}
