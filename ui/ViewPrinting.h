#pragma once

#include "ui/CPrintInfo.h"

#include <QObject>

#include <memory>

class COrmiView;
class CMainFrame;
class PrintDialogs;
class QPrinter;
class QPrintPreviewDialog;

// The view's four print commands over the program's one printer, the last one used: printer
// set-up, print with the dialog, print without it and print preview. Pages are counted on
// the printer that prints them, so the pages printed, the range offered and the footer's
// page count agree.
class ViewPrinting : public QObject {
public:
    // Said when the printer cannot be opened.
    static constexpr int PrintFailedText = 20600;

    // The commands stay connected while this lives.
    ViewPrinting(COrmiView& view, QPrinter& printer, PrintDialogs& dialogs);

    // Connects and enables the four commands of the frame; none runs while a transfer holds
    // the wait window (fw::WaitUi::transferRunning).
    void ConnectCommands(CMainFrame& frame);

    void OnFilePrintSetup();
    // False when cancelled or when the printer failed (after a message).
    bool OnFilePrint();
    bool OnFilePrintDirect();
    void OnFilePrintPreview();

    // The preview of every page on the printer, two pages side by side; the dialog is not
    // shown yet.
    std::unique_ptr<QPrintPreviewDialog> CreatePreview();
    // Counts the pages on the printer and prints every one (a preview draws this way too).
    bool PrintAll(QPrinter& printer, bool preview);

    // The printable area of the printer in whole millimetres, truncated.
    static void MeasurePrinter(const QPrinter& printer, CPrintInfo& info);

private:
    bool printPages(QPrinter& printer, CPrintInfo& info);

    COrmiView& m_view;
    QPrinter& m_printer;
    PrintDialogs& m_dialogs;
};
