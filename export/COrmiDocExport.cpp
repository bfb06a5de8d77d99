#include "app/COrmiDoc.h"

#include "export/ExportOptionsDialogHost.h"
#include "export/SaveDialogHost.h"
#include "export/UsbExport.h"
#include "export/ZentroluxExport.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"

void COrmiDoc::OnExportarQuorvanel() { UsbExport(*this, fw::ProgramWide<SaveDialogHost>::get()).Run(); }

void COrmiDoc::OnExportarZentrolux()
{
    ZentroluxExport(*this, fw::ProgramWide<ExportOptionsDialogHost>::get(), fw::Clock::System()).Run();
}
