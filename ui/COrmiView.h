#pragma once

#include "app/COrmiDoc.h"
#include "ui/CPrintInfo.h"

#include <QAbstractScrollArea>
#include <QPoint>
#include <QSize>

#include <functional>

class CMainFrame;
class COrmiDoc;
class QAction;
class ViewDialogs;
namespace fw {
class LoEnglishCanvas;
}

// The one view of the main window: the document's rows, one under the other in display
// order, scrolled on the screen and printed page by page with a header and a footer. Each
// row draws itself; the view decides where it stands and how wide it is, in 0.01 inch with
// y upwards. On the screen the rows keep where they were drawn for the hit test; printing
// draws copies, so the rows keep their screen places.
class COrmiView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // "CONFIGURACION CAFETERAS", "Página", "de"; 1524 is not in the table.
    static constexpr int HeaderText = 1549;
    static constexpr int PageText = 1526;
    static constexpr int OfText = 1550;
    static constexpr int UntitledText = 1524;
    // A longer path gives way to the title in the footer.
    static constexpr int MaxFooterPathLength = 75;
    static constexpr int LoEnglish = 4;
    static constexpr int InitialEditMode = 1;
    // What a click on a row does in each edit mode.
    static constexpr int DeleteMode = 0;
    static constexpr int EditMode = 1;
    static constexpr int NewRowMode = 2;
    static constexpr int InsertMode = 4;
    static constexpr int SettingsMode = 5;
    static constexpr int MaxProductDevices = 12;
    // The product dialog takes product numbers 1..24.
    static constexpr int MaxProducts = 24;
    static constexpr int MaxDevicesText = 1557;
    static constexpr int SaveBeforeChecksumText = 1580;
    static constexpr int ChecksumText = 1581;
    static constexpr int CannotOpenFileText = 61825;
    static constexpr int TooManyProductsText = 21200;

    explicit COrmiView(QWidget* parent = nullptr);
    ~COrmiView() override;

    // The document shown, or none; the view follows its updates while it shows it. The
    // document outlives the view or is unset first.
    void SetDocument(COrmiDoc* document);
    COrmiDoc* GetDocument() const { return m_document; }

    // What a click on a row does.
    int GetEditMode() const { return m_editMode; }
    void SetEditMode(int mode) { m_editMode = mode; }

    // The dialogs of the commands and clicks; set before any of them runs. Outlives the view
    // or is unset first.
    void SetDialogs(ViewDialogs* dialogs) { m_dialogs = dialogs; }
    // Connects and enables the view's commands of the frame (the edit modes checkable) and
    // keeps their marks up to date. While a transfer holds the wait window
    // (fw::WaitUi::transferRunning) neither a command nor a click on a row does anything. The
    // frame outlives the view.
    void ConnectCommands(CMainFrame& frame);

    // --- commands and the click ---
    void OnBorrar();
    void OnEditar();
    void OnInsertar();
    void OnUpdateBorrar(QAction& command) const;
    void OnUpdateEditar(QAction& command) const;
    void OnUpdateInsertar(QAction& command) const;
    // A left click at a point of the viewport, in pixels.
    void OnLButtonDown(Qt::KeyboardModifiers flags, QPoint point);
    void OnNuevoProducto();
    void OnNuevoDispositivo();
    void OnGrabarRs232();
    void OnLeerRs232();
    void OnConfiguracionAzucar();
    void OnTemperaturaTrabajo();
    void OnModeloMaquina();
    void OnParametrizacionMaquina();
    void OnIdiomaNombresProductos();
    void OnIdiomaSoftware();
    void OnSeleccionarPuertoSerie();
    void OnChecksum();
    // Rows on a printed page: 23 until a printer is measured, then that printer's.
    int rowsPerPage() const { return m_rowsPerPage; }
    // The last printer page measured, in 0.01 inch.
    int pageHeight() const { return m_pageHeight; }
    int printPageIndex() const { return m_printPageIndex; }
    int mapMode() const { return m_mapMode; }

    // A point of the viewport in pixels as a logical point of the rows, scrolling included:
    // what the hit test takes.
    QPoint ViewportToLogical(QPoint pixel) const;

    // --- the framework's view operations ---
    void OnInitialUpdate();
    // Recomputes the scroll sizes and repaints.
    void OnUpdate();
    // On the screen the scroll offset; when printing, the page being printed.
    void OnPrepareDC(fw::LoEnglishCanvas& dc, const CPrintInfo* info = nullptr);
    // The rows of the whole document (screen) or of the current page (printing).
    void OnDraw(fw::LoEnglishCanvas& dc);

    // --- printing ---
    // Shows the print dialog or passes straight on; false when the user cancels.
    using DoPreparePrinting = std::function<bool(CPrintInfo&)>;
    // Counts the pages on the printer info measures, lets prepare choose (the printer may
    // change: prepare measures it again into info), then counts again and keeps the chosen
    // range within the pages. Two preview pages side by side.
    bool OnPreparePrinting(CPrintInfo& info, const DoPreparePrinting& prepare);
    void OnBeginPrinting(fw::LoEnglishCanvas& dc, CPrintInfo& info);
    // Header, footer, then the page's rows under the header.
    void OnPrint(fw::LoEnglishCanvas& dc, CPrintInfo& info);
    void OnEndPrinting(fw::LoEnglishCanvas& dc, CPrintInfo& info);
    void PrintPageHeader(fw::LoEnglishCanvas& dc, CPrintInfo& info);
    void PrintPageFooter(fw::LoEnglishCanvas& dc, CPrintInfo& info);

    struct ScrollSizes {
        QSize total; // logical units
        QSize page;  // client pixels, taken as logical units
        QSize line;  // logical units
    };
    ScrollSizes GetScrollSizes() const;
    int GetPageCount() const;
    // Measures the printer page, keeps its height and gives the rows it holds.
    int GetRowsPerPage(fw::LoEnglishCanvas& printerDc);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int measurePrinter(int vertSizeMm);
    int rowCount() const;
    QSize toPixels(QSize logical) const;
    void updateScrollBars();
    void updateCommandMarks();
    void editRow(COrmiDoc::RowPosition clicked);
    void insertAbove(COrmiDoc::RowPosition clicked);
    // The device dialog of the document's kind of machine with a new device's values; OK
    // fills the row that create makes (null: nothing more).
    void newDevice(const std::function<CDeviceCoffee*()>& create);
    void showText(int id);

    int m_pageHeight = 0;
    int m_mapMode = 0;
    int m_printPageIndex = 0;
    int m_rowsPerPage;
    int m_editMode = InitialEditMode;
    COrmiDoc* m_document = nullptr;
    ViewDialogs* m_dialogs = nullptr;
    CMainFrame* m_frame = nullptr;
    int m_listenerId = 0;
};
