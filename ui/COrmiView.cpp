#include "ui/COrmiView.h"

#include "app/COrmiDoc.h"
#include "fw/Application.h"
#include "fw/LoEnglishCanvas.h"
#include "fw/TextFormat.h"
#include "ui/PainterCanvas.h"
#include "ui/ViewLayout.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <optional>

namespace {

using Canvas = fw::LoEnglishCanvas;
constexpr Canvas::TextAlign LeftTop{Canvas::HorizontalAlign::Left, Canvas::VerticalAlign::Top};
constexpr Canvas::TextAlign RightTop{Canvas::HorizontalAlign::Right, Canvas::VerticalAlign::Top};

} // namespace

COrmiView::COrmiView(QWidget* parent)
    : QAbstractScrollArea(parent)
    , m_rowsPerPage(ViewLayout::InitialRowsPerPage)
{
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Base, Qt::white); // the rows are drawn for white paper
    viewport()->setPalette(palette);
    setFocusPolicy(Qt::StrongFocus);
}

COrmiView::~COrmiView() { SetDocument(nullptr); }

void COrmiView::SetDocument(COrmiDoc* document)
{
    if (m_document)
        m_document->RemoveViewListener(m_listenerId);
    m_document = document;
    m_listenerId = m_document ? m_document->AddViewListener([this] { OnUpdate(); }) : 0;
}

QPoint COrmiView::ViewportToLogical(QPoint pixel) const
{
    PainterCanvas::Mapping mapping;
    mapping.dpiX = viewport()->logicalDpiX();
    mapping.dpiY = viewport()->logicalDpiY();
    mapping.viewportOrg = QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value());
    return mapping.toLogical(pixel);
}

void COrmiView::OnInitialUpdate() { OnUpdate(); }

void COrmiView::OnUpdate()
{
    m_mapMode = LoEnglish;
    updateScrollBars();
    viewport()->update();
}

void COrmiView::OnPrepareDC(fw::LoEnglishCanvas& dc, const CPrintInfo* info)
{
    if (!dc.IsPrinting()) {
        dc.SetViewportOrg(QPoint(-horizontalScrollBar()->value(), -verticalScrollBar()->value()));
        return;
    }
    if (info)
        m_printPageIndex = info->currentPage - 1;
}

void COrmiView::OnDraw(fw::LoEnglishCanvas& dc)
{
    if (!m_document)
        return;
    const bool printing = dc.IsPrinting();
    const int width = printing ? ViewLayout::PaperWidth(dc.GetDeviceCaps(Canvas::DeviceCap::HorzSize))
                               : dc.DPtoLP(QPoint(viewport()->width(), 0)).x();
    const ViewLayout::RowRange range = printing ? ViewLayout::PageRows(m_printPageIndex, m_rowsPerPage, rowCount())
                                                : ViewLayout::RowRange{0, rowCount()};
    // A walk of its own: an edit dialog may hold the document's cursor while the view paints.
    COrmiDoc::RowPosition position = m_document->GetFirstRowPosition();
    for (int k = 0; position && k < range.first; ++k)
        position = m_document->GetNextRowPosition(position);
    for (int k = 0; position && range.first + k < range.last; ++k) {
        CDeviceCoffee* row = m_document->GetRowAt(position);
        // Paper places are not kept: the hit test goes by the screen's.
        std::optional<CDeviceCoffee> paperRow;
        if (printing)
            row = &paperRow.emplace(*row);
        row->SetX(ViewLayout::RowX);
        row->SetY(ViewLayout::RowY(k));
        row->SetWidth(width);
        row->DrawRow(dc);
        position = m_document->GetNextRowPosition(position);
    }
}

bool COrmiView::OnPreparePrinting(CPrintInfo& info, const DoPreparePrinting& prepare)
{
    // Pages are counted on the printer that prints them, before and after it is chosen.
    m_rowsPerPage = measurePrinter(info.vertSizeMm);
    info.maxPage = GetPageCount();
    info.fromPage = info.minPage;
    info.toPage = info.maxPage;
    const bool prepared = prepare(info);
    if (prepared) {
        m_rowsPerPage = measurePrinter(info.vertSizeMm);
        info.maxPage = GetPageCount();
        info.fromPage = std::clamp(info.fromPage, info.minPage, info.maxPage);
        info.toPage = std::clamp(info.toPage, info.fromPage, info.maxPage);
    }
    info.previewPages = 2;
    return prepared;
}

void COrmiView::OnBeginPrinting(fw::LoEnglishCanvas& dc, CPrintInfo&) { m_rowsPerPage = GetRowsPerPage(dc); }

void COrmiView::OnPrint(fw::LoEnglishCanvas& dc, CPrintInfo& info)
{
    PrintPageHeader(dc, info);
    PrintPageFooter(dc, info);
    dc.SetWindowOrg(QPoint(info.drawRect.left, -info.drawRect.top));
    OnDraw(dc);
}

void COrmiView::OnEndPrinting(fw::LoEnglishCanvas&, CPrintInfo&) {}

void COrmiView::PrintPageHeader(fw::LoEnglishCanvas& dc, CPrintInfo& info)
{
    CPrintInfo::Rect& rect = info.drawRect;
    dc.SetTextAlign(LeftTop);
    dc.TextOut(rect.left, rect.top - 25, fw::Application::get().strings().text(HeaderText));
    const int h = dc.GetTextHeight();
    dc.MoveTo(0, rect.top - 35 - h);
    dc.LineTo(rect.right, rect.top - 35 - h);
    rect.top = rect.top - 45 - h;
}

void COrmiView::PrintPageFooter(fw::LoEnglishCanvas& dc, CPrintInfo& info)
{
    const fw::StringTable& strings = fw::Application::get().strings();
    const CPrintInfo::Rect& rect = info.drawRect;
    QString leftText = m_document ? m_document->GetPathName() : QString();
    if (m_document &&
        (leftText.size() > MaxFooterPathLength || m_document->GetTitle() == strings.text(UntitledText)))
        leftText = m_document->GetTitle();
    const QString rightText =
        fw::TextFormat::format(QStringLiteral("%s %u %s %u"), {strings.text(PageText), unsigned(m_printPageIndex + 1),
                                                               strings.text(OfText), unsigned(info.maxPage)});
    dc.SetTextAlign(LeftTop);
    if (!leftText.isEmpty())
        dc.TextOut(rect.left, rect.bottom + 100, leftText);
    dc.SetTextAlign(RightTop);
    dc.TextOut(rect.right - int(rightText.size()), rect.bottom + 100, rightText);
    const int h = dc.GetTextHeight();
    dc.MoveTo(0, rect.bottom + 90 + h);
    dc.LineTo(rect.right, rect.bottom + 90 + h);
    dc.SetTextAlign(LeftTop);
}

COrmiView::ScrollSizes COrmiView::GetScrollSizes() const
{
    return {ViewLayout::TotalSize(rowCount(), m_rowsPerPage), viewport()->size(), QSize(0, ViewLayout::LineStep)};
}

int COrmiView::GetPageCount() const { return ViewLayout::PageCount(rowCount(), m_rowsPerPage); }

int COrmiView::GetRowsPerPage(fw::LoEnglishCanvas& printerDc)
{
    return measurePrinter(printerDc.GetDeviceCaps(Canvas::DeviceCap::VertSize));
}

int COrmiView::measurePrinter(int vertSizeMm)
{
    m_pageHeight = ViewLayout::PageHeight(vertSizeMm);
    return ViewLayout::RowsPerPage(m_pageHeight);
}

int COrmiView::rowCount() const { return m_document ? m_document->GetRowCount() : 0; }

QSize COrmiView::toPixels(QSize logical) const
{
    PainterCanvas::Mapping mapping;
    mapping.dpiX = viewport()->logicalDpiX();
    mapping.dpiY = viewport()->logicalDpiY();
    const QPoint device = mapping.toDevice(QPoint(logical.width(), -logical.height()));
    return QSize(device.x(), device.y());
}

void COrmiView::updateScrollBars()
{
    const ScrollSizes sizes = GetScrollSizes();
    const QSize total = toPixels(sizes.total);
    const QSize page = toPixels(sizes.page);
    const QSize line = toPixels(sizes.line);
    const QSize client = viewport()->size();
    verticalScrollBar()->setRange(0, std::max(0, total.height() - client.height()));
    verticalScrollBar()->setPageStep(std::max(1, page.height()));
    verticalScrollBar()->setSingleStep(std::max(1, line.height()));
    horizontalScrollBar()->setRange(0, std::max(0, total.width() - client.width()));
    horizontalScrollBar()->setPageStep(std::max(1, page.width()));
    horizontalScrollBar()->setSingleStep(std::max(1, page.width() / 10));
}

void COrmiView::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    // Rows outside the region to paint are placed but not drawn.
    painter.setClipRegion(event->region());
    PainterCanvas dc(painter);
    OnPrepareDC(dc);
    OnDraw(dc);
}

void COrmiView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}
