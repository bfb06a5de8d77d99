#pragma once

#include <QtGlobal>

#include <optional>

class SetupT38A;
struct DispositivoDlgData;
struct DispositivoT38ADlgData;
struct ParametrizacionDlgData;
struct ProductDlgData;
struct SugarDlgData;
struct TemperDlgData;

// The dialogs the view's commands and clicks open: the real ones in the program, scripted
// ones in tests. Each shows its record and returns true on OK, the record then holding what
// was entered; Cancel leaves the record as it was.
class ViewDialogs {
public:
    virtual ~ViewDialogs() = default;
    virtual bool Product(ProductDlgData& record) = 0;
    virtual bool Device(DispositivoDlgData& record) = 0;
    virtual bool DeviceT38A(DispositivoT38ADlgData& record) = 0;
    virtual bool Sugar(SugarDlgData& record) = 0;
    virtual bool Temperature(TemperDlgData& record) = 0;
    virtual bool Parametrizacion(ParametrizacionDlgData& record) = 0;
    // The set-up tables are edited in place on OK.
    virtual bool ParametrizGrupoT38A(SetupT38A& setup, int family) = 0;
    // The product-name language; the chosen code page on OK.
    virtual std::optional<quint32> ProductNameLanguage(bool codePageChoice) = 0;
    // The interface language and the serial port keep their own results.
    virtual void InterfaceLanguage() = 0;
    virtual void SerialPort() = 0;
};
