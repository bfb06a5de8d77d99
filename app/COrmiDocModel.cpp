#include "app/COrmiDoc.h"

#include "app/CCfg.h"
#include "app/ModelDialogHost.h"
#include "fw/ProgramWide.h"

namespace {

// The dialog on the document's model; the chosen model, or none on Cancel.
std::optional<int> runModelDialog(int model, bool confirm)
{
    TipoMaquinaDlgData data;
    data.model = model;
    data.confirm = confirm;
    if (!fw::ProgramWide<ModelDialogHost>::get().Run(data))
        return std::nullopt;
    return data.model;
}

// Both loads run, whatever the first gave, so the user hears of every missing file.
bool reloadCatalogue(int model)
{
    CCfg& cfg = fw::ProgramWide<CCfg>::get();
    const CCfg::LoadResult dispensers = cfg.LoadDispenserTable(model);
    const CCfg::LoadResult devices = cfg.LoadDeviceTypes(model);
    return dispensers != CCfg::LoadResult::FileMissing && devices != CCfg::LoadResult::FileMissing;
}

} // namespace

void COrmiDoc::ChooseMachineModel()
{
    const std::optional<int> chosen = runModelDialog(m_model, true);
    if (!chosen)
        return;
    m_model = *chosen;
    reloadCatalogue(m_model);
    UpdateAllViews();
    SetModifiedFlag();
}

bool COrmiDoc::SelectMachineModel()
{
    const std::optional<int> chosen = runModelDialog(m_model, false);
    if (!chosen)
        return false;
    m_model = *chosen;
    return reloadCatalogue(m_model);
}
