#pragma once

#include "app/SugarDlgData.h"
#include "fw/Dialog.h"

class QGroupBox;
class QLabel;
namespace fw {
class UpDownEdit;
}

// The sugar doses: normal and extra sweet in tenths of a second, or for the T38A family in
// turns of the sugar container, where the extra-sweet dose follows the normal one's arrows.
// The bitter dose has no control; it passes through.
class CSugarDlg : public fw::Dialog {
    Q_OBJECT
public:
    static constexpr int TemplateId = 201;
    static constexpr int NormalEdit = 1503;
    static constexpr int ExtraSweetEdit = 1504;
    static constexpr int ExtraSweetGroup = 1653;
    static constexpr int NormalUnit = 1651;
    static constexpr int ExtraSweetUnit = 1652;
    static constexpr int TimesGroup = FirstStaticText;
    static constexpr int NormalGroup = FirstStaticText + 1;
    static constexpr int MaxNormal = 120;
    // "Valor erróneo de azucar", the extra-sweet range, "Vueltas"
    static constexpr int WrongNormalText = 232;
    static constexpr int ExtraSweetRangeText = 1564;
    static constexpr int TurnsUnitText = 231;

    explicit CSugarDlg(SugarDlgData& record, QWidget* parent = nullptr);

    void SetTurnsMode();
    // An arrow step of the normal dose: in turns mode the extra-sweet dose becomes twice
    // the new normal dose, unless the range held the normal dose still.
    void OnDeltaposNormal(int from, int to);

protected:
    void OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void Commit() override { m_record = m_data; }

private:
    SugarDlgData& m_record;
    SugarDlgData m_data;
    fw::UpDownEdit* m_normal;
    fw::UpDownEdit* m_extraSweet;
    QGroupBox* m_extraSweetGroup;
    QLabel* m_normalUnit;
    QLabel* m_extraSweetUnit;
};
