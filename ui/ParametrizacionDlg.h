#pragma once

#include "app/ParametrizacionDlgData.h"
#include "fw/Dialog.h"

#include <array>

class CCfg;
class QLabel;
class QLineEdit;

// The six parametrisation rates of a classic machine, any float accepted; each dispenser's
// label names its default product on a second line.
class ParametrizacionDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 1592;
    static constexpr std::array<int, ParametrizacionDlgData::DispenserCount> DispenserLabels = {1603, 1604, 1605, 1606, 1607};
    static constexpr std::array<int, ParametrizacionDlgData::DispenserCount> DispenserEdits = {1587, 1588, 1589, 1590, 1592};
    static constexpr int PumpEdit = 1591;
    static constexpr int IntroText = FirstStaticText;
    static constexpr int PumpLabel = FirstStaticText + 1;
    static constexpr int WarningText = FirstStaticText + 2;

    ParametrizacionDlg(ParametrizacionDlgData& record, const CCfg& catalogue, QWidget* parent = nullptr);

protected:
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOK() override;

private:
    ParametrizacionDlgData& m_record;
    ParametrizacionDlgData m_data;
    const CCfg& m_catalogue;
    std::array<QLabel*, ParametrizacionDlgData::DispenserCount> m_labels{};
    std::array<QLineEdit*, ParametrizacionDlgData::DispenserCount> m_dispensers{};
    QLineEdit* m_pump;
};
