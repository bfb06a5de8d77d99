#include "app/CDeviceCoffee.h"

#include "app/CCfg.h"
#include "app/ProductNameEncoding.h"
#include "fw/ProgramWide.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Times come from files and machines: a value past the 32-bit range is held at its edge
// rather than overflowing.
int truncateToInt(double value)
{
    constexpr double lowest = double(std::numeric_limits<int>::min());
    constexpr double highest = double(std::numeric_limits<int>::max());
    if (std::isnan(value))
        return 0;
    return int(std::trunc(std::clamp(value, lowest, highest)));
}

} // namespace

CDeviceCoffee::CDeviceCoffee()
    : m_codePage(GetNameCodePage())
{
}

int CDeviceCoffee::ComputeT38ATimes(int previousEnd)
{
    m_start = previousEnd > 0 ? truncateToInt(double(previousEnd) + 5.0) : 0;
    m_estimatedEndByTurns = double(m_containerTurns) * 0.8 * 10.0 + double(m_start);
    m_estimatedEndByPulses = double((qint64(m_waterPulses) * 10) / 13) + double(m_start);
    m_end = truncateToInt(m_estimatedEndByPulses > m_estimatedEndByTurns ? m_estimatedEndByPulses
                                                                         : m_estimatedEndByTurns);
    return m_end;
}

int CDeviceCoffee::GetEndTime() const
{
    if (!IsFlowMeterValve())
        return m_end;
    const double span = double(m_end) - double(m_start);
    return truncateToInt(double(m_start) + std::trunc(span * 0.72 + 6.4));
}

int CDeviceCoffee::GetFlowMeterEnd() const { return IsFlowMeterValve() ? m_end : 0; }

QString CDeviceCoffee::GetEstimateText() const
{
    const int activeTime = truncateToInt(double(GetEndTime()) - double(m_start));
    return fw::ProgramWide<CCfg>::get().GetEstimateText(m_typeIndex, activeTime);
}

bool CDeviceCoffee::IsFlowMeterValve() const { return fw::ProgramWide<CCfg>::get().IsEstimatedValve(m_typeIndex); }
