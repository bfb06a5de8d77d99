#pragma once

#include "db/SearchPrompt.h"

// The program's value prompt: SearchDlg, modal, without an owner.
class SearchDlgPrompt : public SearchPrompt {
public:
    bool Run(SearchDlgData& data) override;
};
