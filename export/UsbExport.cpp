#include "export/UsbExport.h"

#include "app/COrmiDoc.h"
#include "export/CExportaUSB.h"
#include "export/SaveDialogHost.h"
#include "fw/Application.h"
#include "fw/AtomicFile.h"
#include "fw/MessageBoxes.h"

#include <QFileInfo>

UsbExport::UsbExport(COrmiDoc& document, SaveDialogHost& dialog, UsbDeviceLocator locator)
    : m_document(document)
    , m_dialog(dialog)
    , m_locator(std::move(locator))
{
}

void UsbExport::Run()
{
    CExportaUSB exporter(m_locator);
    if (!m_document.SelectMachineModel())
        return;
    SaveDialogRequest request;
    if (!exporter.PreparaDialogoGuardar(request))
        return;
    const std::optional<QString> path = choosePath(request);
    if (!path)
        return;
    QByteArray file;
    CExportaUSB::EscribeCabecera(m_document.GetManagementMachineType(), file);
    // A product that does not fit has been named to the user; no half configuration is written.
    if (!m_document.CompileProgram(exporter))
        return;
    file += exporter.text();
    const fw::StringTable& strings = fw::Application::get().strings();
    // The stick may be pulled right after the message: the bytes reach the medium first.
    if (!fw::AtomicFile::write(*path, file)) {
        fw::MessageBoxes::box(strings.text(NotExportedText), fw::MessageButtons::Ok, fw::MessageIcon::Warning);
        return;
    }
    fw::MessageBoxes::box(strings.text(ExportedText));
}

std::optional<QString> UsbExport::choosePath(const SaveDialogRequest& request)
{
    for (;;) {
        const std::optional<QString> path = m_dialog.Run(request);
        if (!path || CExportaUSB::CompruebaNombreFichero(QFileInfo(*path).fileName()))
            return path;
    }
}
