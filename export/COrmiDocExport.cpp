#include "app/COrmiDoc.h"

#include "export/SaveDialogHost.h"
#include "export/UsbExport.h"
#include "fw/ProgramWide.h"

void COrmiDoc::OnExportarQuorvanel() { UsbExport(*this, fw::ProgramWide<SaveDialogHost>::get()).Run(); }
