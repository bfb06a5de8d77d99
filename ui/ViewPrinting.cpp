#include "ui/ViewPrinting.h"

#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "fw/WaitUi.h"
#include "ui/COrmiView.h"
#include "ui/PainterCanvas.h"
#include "ui/PrintDialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include <functional>

namespace {

// Through the dialog's own view-mode buttons (single, facing, all pages), so that the
// button shown pressed is the mode shown.
void showTwoPages(QPrintPreviewDialog& preview)
{
    constexpr int ViewModes = 3;
    constexpr int FacingPages = 1;
    for (QActionGroup* group : preview.findChildren<QActionGroup*>()) {
        if (group->actions().size() == ViewModes) {
            group->actions().at(FacingPages)->trigger();
            return;
        }
    }
    if (auto* pages = preview.findChild<QPrintPreviewWidget*>())
        pages->setViewMode(QPrintPreviewWidget::FacingPagesView);
}

} // namespace

ViewPrinting::ViewPrinting(COrmiView& view, QPrinter& printer, PrintDialogs& dialogs)
    : m_view(view)
    , m_printer(printer)
    , m_dialogs(dialogs)
{
}

void ViewPrinting::ConnectCommands(CMainFrame& frame)
{
    using namespace CommandIds;
    const std::pair<int, std::function<void()>> commands[] = {
        {FilePrintSetup, [this] { OnFilePrintSetup(); }},
        {FilePrint, [this] { OnFilePrint(); }},
        {FilePrintDirect, [this] { OnFilePrintDirect(); }},
        {FilePrintPreview, [this] { OnFilePrintPreview(); }},
    };
    for (const auto& [id, handler] : commands) {
        QAction* command = frame.action(id);
        command->setEnabled(true);
        // Nothing prints while a transfer runs or settles: it may be changing the document.
        // (An init-capture: Clang before 16 cannot capture a structured binding.)
        connect(command, &QAction::triggered, this, [handler = handler] {
            if (!fw::WaitUi::transferRunning())
                handler();
        });
    }
}

void ViewPrinting::OnFilePrintSetup() { m_dialogs.PageSetup(m_printer); }

bool ViewPrinting::OnFilePrint()
{
    CPrintInfo info;
    MeasurePrinter(m_printer, info);
    const bool chosen = m_view.OnPreparePrinting(info, [this](CPrintInfo& choice) {
        if (!m_dialogs.Print(m_printer, choice))
            return false;
        MeasurePrinter(m_printer, choice);
        return true;
    });
    return chosen && printPages(m_printer, info);
}

bool ViewPrinting::OnFilePrintDirect() { return PrintAll(m_printer, false); }

void ViewPrinting::OnFilePrintPreview()
{
    const std::unique_ptr<QPrintPreviewDialog> preview = CreatePreview();
    m_dialogs.Preview(*preview);
}

std::unique_ptr<QPrintPreviewDialog> ViewPrinting::CreatePreview()
{
    auto preview = std::make_unique<QPrintPreviewDialog>(&m_printer, m_view.window());
    // Each redraw (a new printer or paper in the dialog) counts the pages again.
    connect(preview.get(), &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { PrintAll(*printer, true); });
    showTwoPages(*preview);
    return preview;
}

bool ViewPrinting::PrintAll(QPrinter& printer, bool preview)
{
    CPrintInfo info;
    info.direct = !preview;
    info.preview = preview;
    MeasurePrinter(printer, info);
    m_view.OnPreparePrinting(info, [](CPrintInfo&) { return true; });
    return printPages(printer, info);
}

void ViewPrinting::MeasurePrinter(const QPrinter& printer, CPrintInfo& info)
{
    const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
    info.horzSizeMm = int(area.width());
    info.vertSizeMm = int(area.height());
}

bool ViewPrinting::printPages(QPrinter& printer, CPrintInfo& info)
{
    QPainter painter;
    if (!painter.begin(&printer)) {
        fw::MessageBoxes::box(fw::Application::get().strings().text(PrintFailedText), fw::MessageButtons::Ok,
                              fw::MessageIcon::Warning);
        return false;
    }
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    const auto canvas = [&] { return PainterCanvas(painter, info.horzSizeMm, info.vertSizeMm); };
    {
        PainterCanvas dc = canvas();
        m_view.OnBeginPrinting(dc, info);
    }
    for (int page = info.fromPage; page <= info.toPage; ++page) {
        if (page != info.fromPage)
            printer.newPage();
        // Each page starts from the same drawing state.
        PainterCanvas dc = canvas();
        const QPoint corner = dc.DPtoLP(QPoint(area.width(), area.height()));
        info.currentPage = page;
        info.drawRect = {0, 0, corner.x(), corner.y()};
        m_view.OnPrepareDC(dc, &info);
        m_view.OnPrint(dc, info);
    }
    PainterCanvas dc = canvas();
    m_view.OnEndPrinting(dc, info);
    return painter.end();
}
