#include "tests/db/QtPrinters.h"
#include "tests/support/TestDeviceTypes.h"
#include "tests/ui/ViewFixture.h"
#include "ui/PainterCanvas.h"
#include "ui/ViewPrinting.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QScrollBar>

#include <climits>

namespace {

using Canvas = fw::LoEnglishCanvas;
using Call = RecordingCanvas::Call;
constexpr Canvas::TextAlign LeftTop{Canvas::HorizontalAlign::Left, Canvas::VerticalAlign::Top};
constexpr Canvas::TextAlign RightTop{Canvas::HorizontalAlign::Right, Canvas::VerticalAlign::Top};
// The recording's line height: its default font's 16 units and 2.
constexpr int LineHeight = 18;
// Where the header leaves the drawing rectangle's top.
constexpr int TopAfterHeader = -45 - LineHeight;
constexpr int A4Width = 210;
constexpr int A4Height = 297;

QList<int> rowYs(int count, int top = TopAfterHeader)
{
    QList<int> ys;
    for (int k = 1; k <= count; ++k)
        ys.append(top - 40 * k);
    return ys;
}

class ViewTest : public ViewFixture {
protected:
    // Two products whose bars run past any page: a dispenser with its estimate, a whipper,
    // a flow-meter valve and a T38A device, some of them starting past the edge of A5.
    void addChart()
    {
        CCfg& c = cfg.object();
        c.SetDeviceType(DispenserType, deviceType("DOSIFICADOR 1", 0xF1, 1));
        c.SetDeviceType(ValveType, deviceType("AGUA", 0xF4, 1));
        c.SetDispenserRow(0, {0, 2, 1, 0, 1, 0});
        c.SetDispenserRate(1, 125.0f);
        c.SetFlowMeterMark(true);
        const auto row = [this](int type, const QByteArray& name, int start, int end) {
            CDeviceCoffee* added = doc.AddDevice();
            added->SetTypeIndex(type);
            added->SetTypeName(name);
            added->SetStart(start);
            added->SetEnd(end);
            added->SetSugarFlag(0);
            return added;
        };
        for (int product : {1, 2}) {
            CDeviceCoffee* header = row(0, "", 0, 0);
            header->SetProductNumber(product);
            header->SetSelectionNumber(product);
            header->SetName(product == 1 ? "CAFE CON LECHE" : "CHOCOLATE");
            header->SetSugarFlag(quint8(product - 1));
            row(DispenserType, "DOSIFICADOR 1", 0, 60);
            row(DispenserType, "DOSIFICADOR 1", 150, 400);
            row(WhipperType, "BATIDOR", 40, 700);
            row(ValveType, "AGUA", 300, 900);
            CDeviceCoffee* t38a = row(WhipperType, "GRUPO", 0, 0);
            t38a->SetCodePageFlag(1);
            t38a->SetCodePage(1250);
            t38a->SetContainerTurns(60);
            t38a->SetWaterPulses(900);
            t38a->ComputeT38ATimes(0);
        }
        doc.UpdateAllViews();
    }

    // Shows the view (off the screen) and paints it as the screen does.
    void paint()
    {
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.resize(640, 480);
        view.show();
        view.viewport()->grab();
    }
    QSize client() const { return view.viewport()->size(); }
    static QList<Call> textsAt(const RecordingCanvas& dc, int y)
    {
        QList<Call> out;
        for (const Call& text : dc.texts()) {
            if (text.from.y() == y)
                out.append(text);
        }
        return out;
    }
};

} // namespace

TEST_F(ViewTest, ThePageAfterAFullPageHoldsTheLastRowUnderTheHeader)
{
    addDevices(25);
    CPrintInfo info = prepare(A4Width, A4Height);
    EXPECT_EQ(info.maxPage, 2);
    EXPECT_EQ(info.previewPages, 2);
    EXPECT_EQ(view.pageHeight(), 1169);

    const RecordingCanvas dc = printPage(info, 2);
    EXPECT_EQ(view.printPageIndex(), 1);
    EXPECT_EQ(rowsDrawn(dc), rowYs(1)) << dc.describe();
    EXPECT_EQ(info.drawRect.top, TopAfterHeader);
    EXPECT_EQ(dc.textsEqualTo("D25").size(), 1);
    // The rows of a page stand at the header's top.
    EXPECT_EQ(dc.lines().last().windowOrg, QPoint(0, -TopAfterHeader));

    const QList<Call> header = dc.textsEqualTo("CONFIGURACION CAFETERAS");
    ASSERT_EQ(header.size(), 1);
    EXPECT_EQ(header[0].from, QPoint(0, -25));
    EXPECT_EQ(header[0].align, LeftTop);
    const Call headerRule = dc.lines().at(0);
    EXPECT_EQ(headerRule.from, QPoint(0, -35 - LineHeight));
    EXPECT_EQ(headerRule.to, QPoint(info.drawRect.right, -35 - LineHeight));

    const int bottom = info.drawRect.bottom;
    const QList<Call> pages = dc.textsEqualTo(QString::fromUtf8("Página 2 de 2"));
    ASSERT_EQ(pages.size(), 1) << dc.describe();
    EXPECT_EQ(pages[0].from, QPoint(info.drawRect.right - 13, bottom + 100));
    EXPECT_EQ(pages[0].align, RightTop);
    const Call footerRule = dc.lines().at(1);
    EXPECT_EQ(footerRule.from, QPoint(0, bottom + 90 + LineHeight));
    EXPECT_EQ(footerRule.to, QPoint(info.drawRect.right, bottom + 90 + LineHeight));
    EXPECT_EQ(dc.textAlign(), LeftTop);
}

TEST_F(ViewTest, AFullPageHasNoEmptySecondPageAndAnEmptyDocumentPrintsOnePage)
{
    addDevices(24);
    CPrintInfo info = prepare(A4Width, A4Height);
    EXPECT_EQ(info.maxPage, 1);
    RecordingCanvas dc = printPage(info, 1);
    EXPECT_EQ(rowsDrawn(dc), rowYs(24));
    // Rows on paper are as wide as the paper's 826 units; the least scale ends inside it.
    EXPECT_EQ(dc.lines().at(3).to, QPoint(200 + 625, -40)) << dc.describe();

    doc.OnNewDocument();
    info = prepare(A4Width, A4Height);
    EXPECT_EQ(info.maxPage, 1);
    dc = printPage(info, 1);
    EXPECT_TRUE(rowsDrawn(dc).isEmpty());
    EXPECT_EQ(dc.texts().size(), 2) << dc.describe(); // header and page number, no path
    EXPECT_EQ(dc.textsEqualTo(QString::fromUtf8("Página 1 de 1")).size(), 1);
}

TEST_F(ViewTest, EverythingPrintedLiesInsideThePrintableAreaOfA4LetterAndA5)
{
    addChart();
    doc.SetPathName("C:\\cafes\\bar.caf");
    struct Case {
        const char* paper;
        QPageSize::PageSizeId size;
        double margin; // millimetres on each side
        int horzSizeMm;
        int scaleEnd; // where the axes end
    } const cases[] = {{"A4", QPageSize::A4, 0, 210, 825},
                       {"Letter", QPageSize::Letter, 0, 215, 825},
                       {"A5", QPageSize::A5, 0, 148, 550},
                       {"A4 within 5 mm margins", QPageSize::A4, 5, 200, 755}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.paper);
        QPrinter printer;
        printer.setPageSize(QPageSize(c.size));
        printer.setPageMargins(QMarginsF(c.margin, c.margin, c.margin, c.margin), QPageLayout::Millimeter);
        CPrintInfo measured;
        ViewPrinting::MeasurePrinter(printer, measured);
        ASSERT_EQ(measured.horzSizeMm, c.horzSizeMm);
        CPrintInfo info = prepare(measured.horzSizeMm, measured.vertSizeMm);
        ASSERT_EQ(info.maxPage, 1);
        const RecordingCanvas dc = printPage(info, 1);
        ASSERT_EQ(rowsDrawn(dc).size(), 10) << dc.describe(); // the devices
        const CPrintInfo::Rect page = info.drawRect;
        for (const Call& call : dc.calls()) {
            const RecordingCanvas::Extent extent = call.pageExtent();
            EXPECT_GE(extent.left, 0) << call.describe();
            EXPECT_LE(extent.right, page.right) << call.describe();
            EXPECT_LE(extent.top, 0) << call.describe();
            EXPECT_GE(extent.bottom, page.bottom) << call.describe();
        }
        // The bars that run past the paper are cut at its edge.
        int rightmostBar = 0;
        for (const Call& bar : dc.rectangles())
            rightmostBar = std::max(rightmostBar, bar.pageExtent().right);
        EXPECT_EQ(rightmostBar, page.right);
        for (const Call& line : dc.lines()) {
            if (line.pen.width == 2 && line.from.y() == line.to.y() && line.from.x() == 200) {
                EXPECT_EQ(line.to.x(), c.scaleEnd);
            }
        }
    }
}

TEST_F(ViewTest, TheFooterNamesTheFileOrItsTitleWhenThePathIsTooLong)
{
    const QString path75 = "C:\\" + QString(68, 'a') + ".caf";
    const QString path76 = "C:\\" + QString(69, 'a') + ".caf";
    ASSERT_EQ(path75.size(), 75);
    struct Case {
        QString path;
        QString title;
        QString shown;
    } const cases[] = {
        {"C:\\cafes\\bar.caf", "bar.caf", "C:\\cafes\\bar.caf"},
        {path75, "largo.caf", path75},
        {path76, "largo.caf", "largo.caf"},
        {"C:\\cafes\\bar.caf", "", ""}, // a title as the untitled one
        {"", "", ""},                   // a new document
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        doc.SetPathName(c.path);
        doc.SetTitle(c.title);
        CPrintInfo info = prepare(A4Width, A4Height);
        const RecordingCanvas dc = printPage(info, 1);
        const QList<Call> footer = textsAt(dc, info.drawRect.bottom + 100);
        ASSERT_EQ(footer.size(), c.shown.isEmpty() ? 1 : 2) << dc.describe();
        if (!c.shown.isEmpty()) {
            EXPECT_EQ(footer[0].text, c.shown);
            EXPECT_EQ(footer[0].from.x(), 0);
            EXPECT_EQ(footer[0].align, LeftTop);
        }
    }
}

// The first print measured one row per page too many and left the last row out.
TEST_F(ViewTest, TheFirstPrintCountsItsPagesOnItsPrinter)
{
    addDevices(23);
    ASSERT_EQ(view.GetPageCount(), 1); // 23 rows a page before any printer
    CPrintInfo info = prepare(A4Width, 279);
    EXPECT_EQ(view.rowsPerPage(), 22);
    EXPECT_EQ(info.maxPage, 2);
    EXPECT_EQ(info.toPage, 2);
    const RecordingCanvas first = printPage(info, 1);
    const RecordingCanvas second = printPage(info, 2);
    EXPECT_EQ(rowsDrawn(first).size() + rowsDrawn(second).size(), 23);
    EXPECT_EQ(first.textsEqualTo(QString::fromUtf8("Página 1 de 2")).size(), 1);
    EXPECT_EQ(second.textsEqualTo(QString::fromUtf8("Página 2 de 2")).size(), 1);
}

TEST_F(ViewTest, APrinterChosenInTheDialogCountsThePagesAgainAndKeepsTheRangeWithinThem)
{
    addDevices(40);
    struct Case {
        int from;
        int to;
        int expectedFrom;
        int expectedTo;
    } const cases[] = {{1, INT_MAX, 1, 3}, {2, 2, 2, 2}, {5, 9, 3, 3}, {0, 1, 1, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        CPrintInfo info;
        info.horzSizeMm = A4Width;
        info.vertSizeMm = A4Height;
        int offered = 0;
        // The dialog offers the A4 pages; an A5 printer is chosen.
        ASSERT_TRUE(view.OnPreparePrinting(info, [&](CPrintInfo& choice) {
            offered = choice.maxPage;
            choice.vertSizeMm = 210;
            choice.fromPage = c.from;
            choice.toPage = c.to;
            return true;
        }));
        EXPECT_EQ(offered, 2);
        EXPECT_EQ(info.maxPage, 3);
        EXPECT_EQ(info.fromPage, c.expectedFrom);
        EXPECT_EQ(info.toPage, c.expectedTo);
    }
    CPrintInfo cancelled;
    cancelled.vertSizeMm = A4Height;
    EXPECT_FALSE(view.OnPreparePrinting(cancelled, [](CPrintInfo&) { return false; }));
}

TEST_F(ViewTest, AClickFindsTheRowsWhereThePaintLeftThem)
{
    addDevices(3);
    const COrmiDoc::RowPosition second = doc.GetNextRowPosition(doc.GetFirstRowPosition());
    doc.SetCurrentPosition(second);
    paint();
    EXPECT_EQ(doc.GetCurrentPosition(), second); // painting walks on its own

    const int screenWidth = view.ViewportToLogical(QPoint(client().width(), 0)).x();
    ASSERT_GT(screenWidth, 400);
    const auto expectScreenPlaces = [&] {
        int k = 0;
        for (auto p = doc.GetFirstRowPosition(); p; p = doc.GetNextRowPosition(p), ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(doc.GetRowAt(p)->GetX(), 200);
            EXPECT_EQ(doc.GetRowAt(p)->GetY(), -40 * (k + 1));
            EXPECT_EQ(doc.GetRowAt(p)->GetWidth(), screenWidth - 230);
        }
        EXPECT_TRUE(doc.SelectRowAt(200, -40));
        EXPECT_EQ(doc.GetCurrentPosition(), doc.GetFirstRowPosition());
        EXPECT_TRUE(doc.SelectRowAt(400, -85));
        EXPECT_EQ(doc.GetCurrentPosition(), doc.GetLastRowPosition());
        EXPECT_FALSE(doc.SelectRowAt(199, -40));
        EXPECT_FALSE(doc.SelectRowAt(300, -121));
    };
    expectScreenPlaces();

    // Printing a second page of one row on a small page leaves the screen places alone.
    CPrintInfo info = prepare(A4Width, 72);
    ASSERT_EQ(info.maxPage, 2);
    const RecordingCanvas dc = printPage(info, 2);
    ASSERT_EQ(rowsDrawn(dc).size(), 1);
    expectScreenPlaces();
}

TEST_F(ViewTest, RowsOutOfSightArePlacedForTheClickThoughNotDrawn)
{
    addDevices(100);
    paint();
    ASSERT_LT(client().height(), 100 * 40);
    const int width = view.ViewportToLogical(QPoint(client().width(), 0)).x() - 230;
    int k = 0;
    for (auto p = doc.GetFirstRowPosition(); p; p = doc.GetNextRowPosition(p), ++k) {
        EXPECT_EQ(doc.GetRowAt(p)->GetY(), -40 * (k + 1));
        EXPECT_EQ(doc.GetRowAt(p)->GetWidth(), width);
    }
    EXPECT_TRUE(doc.SelectRowAt(200, -4000));
    EXPECT_EQ(doc.GetCurrentPosition(), doc.GetLastRowPosition());
}

TEST_F(ViewTest, TheScrollAreaIsWholePagesOfRowsInScreenPixels)
{
    paint();
    const COrmiView::ScrollSizes sizes = view.GetScrollSizes();
    EXPECT_EQ(sizes.total, QSize(800, 920));
    EXPECT_EQ(sizes.line, QSize(0, 30));
    EXPECT_EQ(sizes.page, client());
    const double dpi = view.viewport()->logicalDpiY();
    const auto pixels = [dpi](int units) { return int(std::lround(units * dpi / 100.0)); };
    EXPECT_EQ(view.verticalScrollBar()->maximum(), pixels(920) - client().height());
    EXPECT_EQ(view.verticalScrollBar()->singleStep(), pixels(30));
    // The client's pixels are taken as logical units.
    EXPECT_EQ(view.verticalScrollBar()->pageStep(), pixels(client().height()));
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), std::max(0, pixels(800) - client().width()));
    EXPECT_EQ(view.horizontalScrollBar()->singleStep(), pixels(client().width()) / 10);

    addDevices(24);
    EXPECT_EQ(view.GetScrollSizes().total, QSize(800, 1840));
    EXPECT_EQ(view.verticalScrollBar()->maximum(), pixels(1840) - client().height());
}

TEST_F(ViewTest, AViewportPointIsALogicalPointOfTheScrolledRows)
{
    addDevices(60);
    paint();
    const double dpi = view.viewport()->logicalDpiY();
    EXPECT_EQ(view.ViewportToLogical(QPoint(0, 0)), QPoint(0, 0));
    view.verticalScrollBar()->setValue(int(dpi)); // one inch down
    EXPECT_EQ(view.ViewportToLogical(QPoint(0, 0)), QPoint(0, -100));
    EXPECT_EQ(view.ViewportToLogical(QPoint(int(2 * dpi), int(dpi / 2))), QPoint(200, -150));
}

TEST_F(ViewTest, ANewViewStartsWithTwentyThreeRowsAPageAndEditingOnClick)
{
    COrmiView fresh;
    EXPECT_EQ(fresh.rowsPerPage(), 23);
    EXPECT_EQ(fresh.GetEditMode(), 1);
    EXPECT_EQ(fresh.GetDocument(), nullptr);
    EXPECT_EQ(fresh.GetPageCount(), 1);
    view.OnInitialUpdate();
    EXPECT_EQ(view.mapMode(), COrmiView::LoEnglish);
}
