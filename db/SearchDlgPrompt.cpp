#include "db/SearchDlgPrompt.h"

#include "db/SearchDlg.h"

bool SearchDlgPrompt::Run(SearchDlgData& data)
{
    SearchDlg dialog(data);
    return dialog.DoModal();
}
