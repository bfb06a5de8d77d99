#include "app/COrmiDoc.h"

#include "app/SugarDlgData.h"
#include "app/TemperDlgData.h"

namespace {
constexpr int LowestTemperature = 80;
constexpr int HighestTemperature = 100;
} // namespace

void COrmiDoc::EditSugarTimes(const EditDialog<SugarDlgData>& dialog)
{
    SugarDlgData record;
    m_sugar.CopyToDialog(record);
    record.turnsMode = IsT38AFamily();
    if (dialog(record)) {
        m_sugar.CopyFromDialog(record);
        UpdateAllViews();
    }
    SetModifiedFlag();
}

void COrmiDoc::EditTemperature(const EditDialog<TemperDlgData>& dialog)
{
    if (m_temperature < LowestTemperature || m_temperature > HighestTemperature)
        m_temperature = LowestTemperature;
    TemperDlgData record;
    record.temperature = m_temperature;
    if (dialog(record))
        m_temperature = record.temperature;
    SetModifiedFlag();
}
