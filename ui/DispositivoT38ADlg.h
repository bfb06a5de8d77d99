#pragma once

#include "app/DispositivoT38ADlgData.h"
#include "fw/Dialog.h"

class QComboBox;
class QLineEdit;
class QToolButton;
class SetupT38A;
namespace fw {
class UpDownEdit;
}

// A device row of a T38A-family document: its T38A row (type), the container turns and the
// water's flow-meter pulses, with what they come to in milligrams and cc.
class DispositivoT38ADlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 1593;
    static constexpr int TypeList = 1508;
    static constexpr int TurnsEdit = 1618;
    static constexpr int PulsesEdit = 1617;
    static constexpr int ProductIcon = 1633;
    static constexpr int ProductEstimate = 1625;
    static constexpr int WaterIcon = 1634;
    static constexpr int WaterEstimate = 1626;
    static constexpr int TypeLabel = FirstStaticText;
    static constexpr int ValuesGroup = FirstStaticText + 1;
    static constexpr int TurnsLabel = FirstStaticText + 2;
    static constexpr int PulsesLabel = FirstStaticText + 3;
    static constexpr int EstimatesGroup = FirstStaticText + 4;
    static constexpr int MaxPulses = 1024;
    static constexpr int MaxTurns = 30000;
    static constexpr int ArrowRange = 239;
    // "Seleccione un tipo de dispositivo."
    static constexpr int NoTypeText = 21010;

    DispositivoT38ADlg(DispositivoT38ADlgData& record, const SetupT38A& setup, QWidget* parent = nullptr);

    static int PulsosACc(int pulses) { return pulses * 10 / 13; }
    void HabilitaPorTipo(int type);
    void OnSelchangeTipo();
    void OnChangeProducto();
    void OnChangeAgua();

protected:
    void OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void Commit() override { m_record = m_data; }

private:
    // The T38A row of a list position: positions 0 and 1 are the groups, type 2 is skipped.
    static int typeOfPosition(int position) { return position < 2 ? position : position + 1; }
    int selectedType() const;
    bool isGroupType(int type) const;
    int milligramsPerTurn(int type) const;
    void fillTypes();
    void selectType();
    void showProductEstimate(int milligrams);

    DispositivoT38ADlgData& m_record;
    DispositivoT38ADlgData m_data;
    const SetupT38A& m_setup;
    QComboBox* m_type;
    fw::UpDownEdit* m_turns;
    fw::UpDownEdit* m_pulses;
    QToolButton* m_productIcon;
    QLineEdit* m_productEstimate;
    QLineEdit* m_waterEstimate;
};
