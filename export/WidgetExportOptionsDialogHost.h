#pragma once

#include "export/ExportOptionsDialogHost.h"

#include <QPointer>
#include <QWidget>

// Opens the real export-options dialog, owned by the main window while it exists; start-up
// installs it program-wide.
class WidgetExportOptionsDialogHost : public ExportOptionsDialogHost {
public:
    explicit WidgetExportOptionsDialogHost(QWidget* owner = nullptr)
        : m_owner(owner)
    {
    }

    bool Run(ExportaZentroluxDlgData& data) override;

private:
    QPointer<QWidget> m_owner;
};
