#include "ui/PrinterList.h"

#include <QPrinterInfo>

PrinterList PrinterList::query() { return {QPrinterInfo::availablePrinterNames(), QPrinterInfo::defaultPrinterName()}; }
