#pragma once

#include "app/ModelDialogHost.h"
#include "db/LeeDbConfiguraciones.h"

#include <QPointer>
#include <QWidget>

// Opens the real machine-model dialog for the document, owned by the main window while it
// exists; start-up installs it program-wide with the program's listing mode.
class WidgetModelDialogHost : public ModelDialogHost {
public:
    explicit WidgetModelDialogHost(LeeDbConfiguraciones::Mode mode = LeeDbConfiguraciones::Mode::Normal)
        : m_mode(mode)
    {
    }

    void setOwner(QWidget* owner) { m_owner = owner; }
    void setMode(LeeDbConfiguraciones::Mode mode) { m_mode = mode; }

    bool Run(TipoMaquinaDlgData& data) override;

private:
    LeeDbConfiguraciones::Mode m_mode;
    QPointer<QWidget> m_owner;
};
