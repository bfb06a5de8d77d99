#include "ui/CommandLinePrint.h"

#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "ui/ViewPrinting.h"

#include <QPrinter>

CommandLinePrint::CommandLinePrint(ViewPrinting& printing, QPrinter& printer, Printers printers)
    : m_printing(printing)
    , m_printer(printer)
    , m_printers(std::move(printers))
{
}

bool CommandLinePrint::Run(const QString& printerName)
{
    const PrinterList listed = m_printers();
    const fw::StringTable& strings = fw::Application::get().strings();
    if (printerName.isEmpty()) {
        if (listed.defaultName.isEmpty()) {
            fw::MessageBoxes::box(strings.text(NoDefaultPrinterText), fw::MessageButtons::Ok, fw::MessageIcon::Warning);
            return false;
        }
    } else {
        // Exactly as listed: Qt takes no other spelling and would keep the printer it had.
        if (!listed.names.contains(printerName)) {
            fw::MessageBoxes::box(strings.format(UnknownPrinterText, {printerName}), fw::MessageButtons::Ok,
                                  fw::MessageIcon::Warning);
            return false;
        }
        m_printer.setPrinterName(printerName);
    }
    return m_printing.OnFilePrintDirect();
}
