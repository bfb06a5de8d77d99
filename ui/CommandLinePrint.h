#pragma once

#include "ui/PrinterList.h"

#include <functional>

class QPrinter;
class ViewPrinting;

// The print of the command line ("/p", "/pt") on the printer it names, or on the default one,
// only when the print system lists that printer: Qt prints a name it does not know on the
// default printer, and with no printer it fails without saying why.
class CommandLinePrint {
public:
    using Printers = std::function<PrinterList()>;

    // "No se encuentra la impresora %s."
    static constexpr int UnknownPrinterText = 20610;
    // "No hay ninguna impresora predeterminada."
    static constexpr int NoDefaultPrinterText = 20611;

    CommandLinePrint(ViewPrinting& printing, QPrinter& printer, Printers printers);

    // Every page on the printer named (empty: the default one). False, after a message, when
    // the print system does not list that printer (nothing printed) or the print failed.
    bool Run(const QString& printerName);

private:
    ViewPrinting& m_printing;
    QPrinter& m_printer;
    Printers m_printers;
};
