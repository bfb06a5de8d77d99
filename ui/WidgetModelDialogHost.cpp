#include "ui/WidgetModelDialogHost.h"

#include "ui/TipoMaquinaDlg.h"

bool WidgetModelDialogHost::Run(TipoMaquinaDlgData& data)
{
    TipoMaquinaDlg dialog(data, m_mode, m_owner);
    return dialog.exec() == QDialog::Accepted;
}
