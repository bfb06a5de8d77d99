#pragma once

#include "ui/PrintDialogs.h"

class QWidget;

// The real print dialogs, modal over their owner window.
class WidgetPrintDialogs : public PrintDialogs {
public:
    explicit WidgetPrintDialogs(QWidget* owner = nullptr) : m_owner(owner) {}
    void setOwner(QWidget* owner) { m_owner = owner; }

    bool PageSetup(QPrinter& printer) override;
    bool Print(QPrinter& printer, CPrintInfo& info) override;
    void Preview(QPrintPreviewDialog& preview) override;

private:
    QWidget* m_owner;
};
