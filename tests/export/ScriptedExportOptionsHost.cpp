#include "tests/export/ScriptedExportOptionsHost.h"

bool ScriptedExportOptionsHost::Run(ExportaZentroluxDlgData& data)
{
    m_opened.append(Opened{data.machineType, data.connection != nullptr, data.ExportarProds, data.ExportarUnion});
    const std::optional<Answer> answer = m_answers.isEmpty() ? std::nullopt : m_answers.takeFirst();
    if (!answer)
        return false;
    data.machineCode = answer->machineCode;
    data.ExportarProds = answer->products;
    data.ExportarUnion = answer->unionOption;
    return true;
}
