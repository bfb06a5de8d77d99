#include "export/ZentroluxExport.h"

#include "app/COrmiDoc.h"
#include "export/ExportaDatabase.h"

ZentroluxExport::ZentroluxExport(COrmiDoc& document, ExportOptionsDialogHost& options, fw::Clock& clock)
    : m_document(document)
    , m_options(options)
    , m_clock(clock)
{
}

void ZentroluxExport::Run()
{
    // The type is the one of the model before the model dialog: a model chosen there changes
    // the records compiled, not the machine they are exported to.
    ExportaDatabase exporter(m_document.GetManagementMachineType(), m_options, m_clock);
    if (!exporter.AbreExportacion() || !m_document.SelectMachineModel())
        return;
    // A refused record stops the export even where the compile step goes on past it.
    if (!m_document.CompileProgram(exporter) || exporter.recordRefused())
        return;
    // Its false results (no product, no base option) still keep the export.
    exporter.FinalizaExportacion();
    exporter.commitExport();
}
