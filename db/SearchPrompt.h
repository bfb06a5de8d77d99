#pragma once

#include "db/SearchDlgData.h"

// How a query grid asks for a value: the program shows the value prompt modally, without an
// owner; tests answer by script.
class SearchPrompt {
public:
    virtual ~SearchPrompt() = default;
    // True on OK, the record then holding the value typed; false on Cancel, the record as it was.
    virtual bool Run(SearchDlgData& data) = 0;
};
