#include "app/CCfg.h"

#include "app/DefaultProductNames.h"
#include "fw/TextFormat.h"

#include <algorithm>

CCfg::CCfg(int typeCount, int rowCount)
    : m_typeCount(qMax(typeCount, 0))
    , m_rowCount(qMax(rowCount, 0))
{
}

void CCfg::ResizeProductNames() { m_productNames.resize(ProductNameCount); }

bool CCfg::SetProductName(int index, const QByteArray& name)
{
    if (index < 0 || index >= GetProductNameCount())
        return false;
    m_productNames[index] = name;
    return true;
}

void CCfg::ResetDeviceTypes() { m_deviceTypes = QList<DeviceTypeRecord>(m_typeCount); }

bool CCfg::SetDeviceType(int typeIndex, const DeviceTypeRecord& record)
{
    if (typeIndex < 0 || typeIndex >= GetDeviceTypeCount())
        return false;
    m_deviceTypes[typeIndex] = record;
    m_deviceTypes[typeIndex].name.truncate(DeviceTypeRecord::MaxNameLength);
    return true;
}

void CCfg::ResetDispenserTable() { m_dispenserTable = DispenserTable(m_rowCount); }

bool CCfg::SetDispenserRow(int rowIndex, const DispenserTable::Row& values)
{
    return m_dispenserTable.setRow(rowIndex, values);
}

const DeviceTypeRecord* CCfg::GetDeviceType(int typeIndex) const
{
    if (typeIndex < 0 || typeIndex >= GetDeviceTypeCount())
        return nullptr;
    return &m_deviceTypes.at(typeIndex);
}

float CCfg::GetDispenserRate(int dispenser) const
{
    if (dispenser < 1 || dispenser > DispenserRateCount)
        return 0.0f;
    return m_dispenserRates[std::size_t(dispenser - 1)];
}

bool CCfg::SetDispenserRate(int dispenser, float gramsPer10s)
{
    if (dispenser < 1 || dispenser > DispenserRateCount)
        return false;
    m_dispenserRates[std::size_t(dispenser - 1)] = gramsPer10s;
    return true;
}

bool CCfg::GetProductName(int index, QByteArray& name) const
{
    if (index < 0 || index >= GetProductNameCount()) {
        name.clear();
        return false;
    }
    name = m_productNames.at(index);
    return true;
}

bool CCfg::FindProductName(int& index, const QByteArray& name) const
{
    index = 0;
    const QByteArray wanted = name.trimmed();
    if (wanted.isEmpty())
        return false;
    const qsizetype found = m_productNames.indexOf(wanted);
    if (found < 0)
        return false;
    index = int(found);
    return true;
}

int CCfg::FindDeviceType(quint32 code, quint32 subCode, QByteArray& displayName) const
{
    for (int i = 0; i < GetDeviceTypeCount(); ++i) {
        const DeviceTypeRecord& record = m_deviceTypes.at(i);
        if (qint64(record.code) == qint64(code) && qint64(record.subCode) == qint64(subCode)) {
            displayName = record.displayName;
            return i;
        }
    }
    return -1;
}

bool CCfg::GetTypeName(int typeIndex, QByteArray& displayName) const
{
    const DeviceTypeRecord* record = GetDeviceType(typeIndex);
    if (!record)
        return false;
    displayName = record->displayName;
    return true;
}

bool CCfg::IsEstimatedValve(int typeIndex) const
{
    const DeviceTypeRecord* record = GetDeviceType(typeIndex);
    return record && record->code == DeviceTypeRecord::WaterValveCode && m_flowMeterMark;
}

int CCfg::CountNamedTypes() const
{
    return int(std::count_if(m_deviceTypes.cbegin(), m_deviceTypes.cend(),
                             [](const DeviceTypeRecord& record) { return !record.name.isEmpty(); }));
}

QString CCfg::GetEstimateText(int typeIndex, int activeTime) const
{
    const DeviceTypeRecord* record = GetDeviceType(typeIndex);
    if (!record)
        return QString();
    if (record->code == DeviceTypeRecord::WaterValveCode && m_pumpRate > 0.0f) {
        float cc = float(activeTime) * m_pumpRate / 10.0f;
        const int correctedValve = HasNamedCorrectionMarkType() ? 5 : 4;
        if (record->subCode == correctedValve) {
            cc -= 25.0f;
            if (cc < 0.0f)
                cc = 0.0f;
        }
        return fw::TextFormat::format(QStringLiteral("%3.1f cc"), {double(cc)});
    }
    const float rate = GetDispenserRate(record->subCode);
    if (record->code == DeviceTypeRecord::DispenserCode && rate > 0.0f) {
        const float grams = float(activeTime) * rate / 100.0f;
        return fw::TextFormat::format(QStringLiteral("%3.1f gr"), {double(grams)});
    }
    return QString();
}

QByteArray CCfg::GetDefaultName(int dispenser) const
{
    if (dispenser < 1)
        return QByteArray();
    const auto productType = m_dispenserTable.value(dispenser - 1, DispenserTable::ProductTypeColumn);
    return productType ? GetDefaultTypeName(*productType) : QByteArray();
}

bool CCfg::HasNamedCorrectionMarkType() const
{
    const DeviceTypeRecord* record = GetDeviceType(CorrectionMarkType);
    return record && !record->name.isEmpty();
}
