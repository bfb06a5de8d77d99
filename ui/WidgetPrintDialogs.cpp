#include "ui/WidgetPrintDialogs.h"

#include "ui/CPrintInfo.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <limits>

bool WidgetPrintDialogs::PageSetup(QPrinter& printer)
{
    QPageSetupDialog dialog(&printer, m_owner);
    return dialog.exec() == QDialog::Accepted;
}

bool WidgetPrintDialogs::Print(QPrinter& printer, CPrintInfo& info)
{
    QPrintDialog dialog(&printer, m_owner);
    dialog.setMinMax(info.minPage, info.maxPage);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        info.fromPage = printer.fromPage();
        info.toPage = printer.toPage();
    } else {
        // Every page, however many the chosen printer makes.
        info.fromPage = info.minPage;
        info.toPage = std::numeric_limits<int>::max();
    }
    return true;
}

void WidgetPrintDialogs::Preview(QPrintPreviewDialog& preview)
{
    if (m_owner)
        preview.resize(m_owner->size());
    preview.exec();
}
