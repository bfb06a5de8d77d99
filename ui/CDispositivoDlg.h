#pragma once

#include "app/DispositivoDlgData.h"
#include "fw/Dialog.h"

#include <functional>

class CCfg;
class QComboBox;
class QLabel;
namespace fw {
class UpDownEdit;
}

// A device row of a classic machine: its catalogue type, the colour of its bar and its start
// and end times in tenths of a second; a water valve of a flow-meter machine is given as its
// start and a number of pulses.
class CDispositivoDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 208;
    static constexpr int TypeList = 1508;
    static constexpr int ColourList = 1509;
    static constexpr int StartEdit = 1510;
    static constexpr int EndEdit = 1511;
    static constexpr int StartUnit = 1028;
    static constexpr int EndUnit = 1029;
    static constexpr int TypeLabel = FirstStaticText;
    static constexpr int ColourLabel = FirstStaticText + 1;
    static constexpr int TimesGroup = FirstStaticText + 2;
    static constexpr int StartLabel = FirstStaticText + 3;
    static constexpr int EndLabel = FirstStaticText + 4;
    static constexpr int MaxTime = 1024;
    // "Seleccione un tipo de dispositivo."
    static constexpr int NoTypeText = 21010;

    // Whether a model's machine type measures water in flow-meter pulses.
    using FlowMeterQuestion = std::function<bool(int model)>;
    // The catalogue's configuration database answers by default.
    static bool AskConfigurationDatabase(int model);

    CDispositivoDlg(DispositivoDlgData& record, const CCfg& catalogue, QWidget* parent = nullptr,
                    FlowMeterQuestion usesFlowMeter = AskConfigurationDatabase);

    // The unit of the end field and the valve mode, by the selected type.
    void ActualizaTipo();
    void OnEditchangeTipo() { ActualizaTipo(); }

protected:
    void OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void Commit() override { m_record = m_data; }

private:
    void fillColours();
    void fillTypes();

    DispositivoDlgData& m_record;
    DispositivoDlgData m_data;
    const CCfg& m_catalogue;
    FlowMeterQuestion m_usesFlowMeterQuestion;
    bool m_usesFlowMeter = false; // asked once, at opening
    QComboBox* m_type;
    QComboBox* m_colour;
    fw::UpDownEdit* m_start;
    fw::UpDownEdit* m_end;
    QLabel* m_endUnit;
};
