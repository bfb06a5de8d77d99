#pragma once

struct CPrintInfo;
class QPrinter;
class QPrintPreviewDialog;

// The dialogs of the print commands: real ones in the program, scripted ones in tests.
class PrintDialogs {
public:
    virtual ~PrintDialogs() = default;
    // Page set-up of the printer; false when cancelled.
    virtual bool PageSetup(QPrinter& printer) = 0;
    // The print dialog over pages info.minPage..info.maxPage. On OK the printer is the one
    // chosen and info's fromPage..toPage the pages chosen (all: toPage past any page, as the
    // chosen printer may make more); false when cancelled.
    virtual bool Print(QPrinter& printer, CPrintInfo& info) = 0;
    // Shows the preview until the user closes it.
    virtual void Preview(QPrintPreviewDialog& preview) = 0;
};
