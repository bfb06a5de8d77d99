#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "tests/db/QtPrinters.h"
#include "tests/ui/ViewFixture.h"
#include "ui/PrintDialogs.h"
#include "ui/ViewPrinting.h"

#include <QAction>
#include <QFile>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>

#include <climits>
#include <functional>

namespace {

// Dialogs answered by the test: the print dialog runs the test's choice, the preview is
// laid out without being shown.
class ScriptedPrintDialogs : public PrintDialogs {
public:
    bool PageSetup(QPrinter&) override
    {
        ++pageSetups;
        return true;
    }
    bool Print(QPrinter& printer, CPrintInfo& info) override
    {
        ++prints;
        offeredMaxPage = info.maxPage;
        return choose ? choose(printer, info) : false;
    }
    void Preview(QPrintPreviewDialog& preview) override
    {
        ++previews;
        auto* pages = preview.findChild<QPrintPreviewWidget*>();
        pages->updatePreview();
        previewPageCount = pages->pageCount();
        previewMode = pages->viewMode();
    }
    int shown() const { return pageSetups + prints + previews; }

    std::function<bool(QPrinter&, CPrintInfo&)> choose;
    int pageSetups = 0;
    int prints = 0;
    int previews = 0;
    int offeredMaxPage = 0;
    int previewPageCount = 0;
    QPrintPreviewWidget::ViewMode previewMode = QPrintPreviewWidget::SinglePageView;
};

// The view's printing into a PDF file of A4 paper without margins: 24 rows a page.
class ViewPrintingTest : public ViewFixture {
protected:
    ViewPrintingTest()
    {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    }
    // The pages of the PDF file printed, -1 when there is none.
    int pdfPages() const
    {
        QFile file(pdfPath);
        if (!file.open(QIODevice::ReadOnly))
            return -1;
        const QString content = QString::fromLatin1(file.readAll());
        return int(content.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?!s)"))));
    }

    QString pdfPath = app.tempPath(QStringLiteral("print.pdf"));
    QPrinter printer{QPrinter::HighResolution};
    ScriptedPrintDialogs dialogs;
    ViewPrinting printing{view, printer, dialogs};
};

} // namespace

TEST_F(ViewPrintingTest, DirectPrintPrintsEveryPageWithoutADialog)
{
    addDevices(30);
    CMainFrame frame;
    printing.ConnectCommands(frame);
    for (int id : {CommandIds::FilePrintSetup, CommandIds::FilePrint, CommandIds::FilePrintDirect,
                   CommandIds::FilePrintPreview})
        EXPECT_TRUE(frame.action(id)->isEnabled()) << id;

    frame.action(CommandIds::FilePrintDirect)->trigger();
    EXPECT_EQ(dialogs.shown(), 0);
    EXPECT_EQ(pdfPages(), 2);
    EXPECT_EQ(view.rowsPerPage(), 24);
    EXPECT_TRUE(app.messages().shown().isEmpty());
}

TEST_F(ViewPrintingTest, PrintingCountsItsPagesOnThePrinterChosenInTheDialog)
{
    addDevices(40);
    struct Case {
        const char* what;
        int from;
        int to;
        int pages;
    } const cases[] = {{"all", 1, INT_MAX, 3}, {"the second", 2, 2, 1}, {"past the last", 3, 7, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(pdfPath);
        printer.setPageSize(QPageSize(QPageSize::A4));
        // A5 gives 15 rows a page.
        dialogs.choose = [&](QPrinter& chosen, CPrintInfo& info) {
            chosen.setPageSize(QPageSize(QPageSize::A5));
            info.fromPage = c.from;
            info.toPage = c.to;
            return true;
        };
        EXPECT_TRUE(printing.OnFilePrint());
        EXPECT_EQ(dialogs.offeredMaxPage, 2);
        EXPECT_EQ(view.GetPageCount(), 3);
        EXPECT_EQ(pdfPages(), c.pages);
    }

    QFile::remove(pdfPath);
    dialogs.choose = nullptr; // cancelled
    EXPECT_FALSE(printing.OnFilePrint());
    EXPECT_EQ(pdfPages(), -1);
}

TEST_F(ViewPrintingTest, ThePreviewShowsThePagesOfItsPrinterTwoSideBySide)
{
    addDevices(46);
    // 277 mm: 22 rows a page, where the 23 of a view never printed give two pages.
    printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
    printing.OnFilePrintPreview();
    EXPECT_EQ(dialogs.previews, 1);
    EXPECT_EQ(view.rowsPerPage(), 22);
    EXPECT_EQ(dialogs.previewPageCount, view.GetPageCount());
    EXPECT_EQ(dialogs.previewPageCount, 3);
    EXPECT_EQ(dialogs.previewMode, QPrintPreviewWidget::FacingPagesView);
}

TEST_F(ViewPrintingTest, PrinterSetUpOpensOnTheProgramsPrinter)
{
    CMainFrame frame;
    printing.ConnectCommands(frame);
    frame.action(CommandIds::FilePrintSetup)->trigger();
    EXPECT_EQ(dialogs.pageSetups, 1);
    EXPECT_EQ(pdfPages(), -1);
}

TEST_F(ViewPrintingTest, APrinterThatCannotStartIsReported)
{
    addDevices(2);
    printer.setOutputFileName(app.tempPath(QStringLiteral("missing/folder/print.pdf")));
    EXPECT_FALSE(printing.OnFilePrintDirect());
    EXPECT_EQ(app.messages().texts(), QStringList{"No se puede imprimir en la impresora elegida."});
}
