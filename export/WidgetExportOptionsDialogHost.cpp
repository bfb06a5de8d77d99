#include "export/WidgetExportOptionsDialogHost.h"

#include "export/ExportaZentroluxDlg.h"

bool WidgetExportOptionsDialogHost::Run(ExportaZentroluxDlgData& data)
{
    ExportaZentroluxDlg dialog(data, m_owner);
    return dialog.DoModal();
}
