#pragma once

#include "app/TemperDlgData.h"
#include "fw/Dialog.h"

namespace fw {
class UpDownEdit;
}

// The boiler's working temperature, 80..100 degrees.
class CTemperDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 202;
    static constexpr int TemperatureEdit = 1506;
    static constexpr int TemperatureGroup = FirstStaticText;
    static constexpr int Lowest = 80;
    static constexpr int Highest = 100;

    explicit CTemperDlg(TemperDlgData& record, QWidget* parent = nullptr);

protected:
    void OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void Commit() override { m_record = m_data; }

private:
    TemperDlgData& m_record;
    TemperDlgData m_data;
    fw::UpDownEdit* m_temperature;
};
