#include "app/MachineReadScratch.h"

#include <utility>

MachineReadScratch::MachineReadScratch(COrmiDoc& open)
    : m_open(open)
    , m_openCatalogue(fw::ProgramWide<CCfg>::get())
    , m_openSetup(fw::ProgramWide<SetupT38A>::get())
    , m_catalogue(m_openCatalogue)
    , m_setup(m_openSetup)
{
    // The model dialog starts from the open document's model; names convert with its code page.
    m_read.SetMachineModel(open.GetMachineModel());
    m_read.SetProductNameCodePage(open.GetProductNameCodePage());
}

void MachineReadScratch::take()
{
    m_open.TakeConfiguration(m_read);
    // Saving asks for a file name: the file holds another configuration.
    m_open.SetPathName(QString());
    m_openCatalogue = std::move(m_catalogue);
    m_openSetup = std::move(m_setup);
    m_open.UpdateAllViews();
}
