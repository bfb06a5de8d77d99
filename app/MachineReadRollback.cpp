#include "app/MachineReadRollback.h"

#include "app/COrmiDoc.h"
#include "fw/ProgramWide.h"

#include <memory>

MachineReadRollback::MachineReadRollback(COrmiDoc& document)
    : m_document(document)
    , m_sugar(document.GetSugar())
    , m_temperature(document.GetWorkingTemperature())
    , m_model(document.GetMachineModel())
    , m_pathName(document.GetPathName())
    , m_title(document.GetTitle())
    , m_modified(document.IsModified())
    , m_setup(fw::ProgramWide<SetupT38A>::get())
    , m_catalogue(fw::ProgramWide<CCfg>::get())
{
    for (auto at = document.GetFirstRowPosition(); at; at = document.GetNextRowPosition(at)) {
        if (at == document.GetCurrentPosition())
            m_cursor = int(m_rows.size());
        m_rows.push_back(*document.GetRowAt(at));
    }
}

MachineReadRollback::~MachineReadRollback()
{
    if (!m_committed)
        restore();
}

void MachineReadRollback::restore()
{
    COrmiDoc& doc = m_document;
    doc.OnNewDocument();
    // Stored order is display order reversed.
    for (auto row = m_rows.rbegin(); row != m_rows.rend(); ++row)
        doc.AddStoredRow(std::make_unique<CDeviceCoffee>(std::move(*row)));
    COrmiDoc::RowPosition cursor;
    if (m_cursor >= 0) {
        cursor = doc.GetFirstRowPosition();
        for (int k = 0; k < m_cursor; ++k)
            cursor = doc.GetNextRowPosition(cursor);
    }
    doc.SetCurrentPosition(cursor);
    doc.GetSugar() = m_sugar;
    doc.SetWorkingTemperature(m_temperature);
    doc.SetMachineModel(m_model);
    doc.SetPathName(m_pathName);
    doc.SetTitle(m_title);
    doc.SetModifiedFlag(m_modified);
    fw::ProgramWide<SetupT38A>::get() = m_setup;
    fw::ProgramWide<CCfg>::get() = m_catalogue;
    doc.UpdateAllViews();
}
