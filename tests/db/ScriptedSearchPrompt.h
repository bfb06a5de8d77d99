#pragma once

#include "db/SearchPrompt.h"

#include <QList>

#include <optional>

// Answers the value prompt by script: each Run takes the next answer (a value for OK, none
// for Cancel; Cancel when none is left) and records the record it was shown.
class ScriptedSearchPrompt : public SearchPrompt {
public:
    bool Run(SearchDlgData& data) override
    {
        shown += data;
        const std::optional<QString> answer = answers.isEmpty() ? std::nullopt : answers.takeFirst();
        if (!answer)
            return false;
        data.value = *answer;
        return true;
    }

    QList<std::optional<QString>> answers;
    QList<SearchDlgData> shown;
};
