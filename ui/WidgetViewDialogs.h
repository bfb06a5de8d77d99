#pragma once

#include "ui/ViewDialogs.h"

class QWidget;

// The view's real dialogs, modal over their parent window, on the program-wide catalogue
// and T38A set-up tables.
class WidgetViewDialogs : public ViewDialogs {
public:
    explicit WidgetViewDialogs(QWidget* parent)
        : m_parent(parent)
    {
    }

    bool Product(ProductDlgData& record) override;
    bool Device(DispositivoDlgData& record) override;
    bool DeviceT38A(DispositivoT38ADlgData& record) override;
    bool Sugar(SugarDlgData& record) override;
    bool Temperature(TemperDlgData& record) override;
    bool Parametrizacion(ParametrizacionDlgData& record) override;
    bool ParametrizGrupoT38A(SetupT38A& setup, int family) override;
    std::optional<quint32> ProductNameLanguage(bool codePageChoice) override;
    void InterfaceLanguage() override;
    void SerialPort() override;

private:
    QWidget* m_parent;
};
