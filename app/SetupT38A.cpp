#include "app/SetupT38A.h"

#include "app/DefaultProductNames.h"
#include "link/PackedBcd.h"

namespace {

constexpr std::array<int, SetupT38A::SetupRowCount> DefaultValves{2, 0, 1, 1, 2, 3, 0, 0, 0, 0};
constexpr std::array<int, SetupT38A::SetupRowCount> DefaultWhippers{0, 0, 1, 1, 2, 3, 0, 0, 0, 0};

template <class Array>
bool inside(const Array& array, int index)
{
    return index >= 0 && std::size_t(index) < array.size();
}

template <class Array>
QByteArray nameAt(const Array& names, int index)
{
    return inside(names, index) ? names[std::size_t(index)] : QByteArray();
}

template <class Array>
bool setNameAt(Array& names, int index, const QByteArray& name)
{
    if (!inside(names, index))
        return false;
    names[std::size_t(index)] = name;
    return true;
}

} // namespace

SetupT38A::SetupT38A()
    : m_groupNames{QByteArray("GRUPO DE CAFE"), QByteArray("AGUA CALIENTE")}
{
    for (std::size_t k = 0; k < m_rows.size(); ++k) {
        m_rows[k].valveNumber = DefaultValves[k];
        m_rows[k].whipperNumber = DefaultWhippers[k];
    }
    // Made before the interface language is known: always the Spanish names of types 1..19.
    for (int k = 0; k < ProductNameCount; ++k)
        m_productNames[std::size_t(k)] = DefaultProductNames::Spanish(k + 1);
    m_productNames2 = m_productNames;
    m_groupNames2 = m_groupNames;
}

std::optional<SetupT38A::SetupRow> SetupT38A::GetSetupRow(int setupRow) const
{
    if (!inside(m_rows, setupRow))
        return std::nullopt;
    return m_rows[std::size_t(setupRow)];
}

bool SetupT38A::SetSetupRow(int setupRow, const SetupRow& values)
{
    if (!inside(m_rows, setupRow))
        return false;
    m_rows[std::size_t(setupRow)] = values;
    return true;
}

QByteArray SetupT38A::GetProductName(int index) const { return nameAt(m_productNames, index); }
bool SetupT38A::SetProductName(int index, const QByteArray& name) { return setNameAt(m_productNames, index, name); }
QByteArray SetupT38A::GetGroupName(int group) const { return nameAt(m_groupNames, group); }
bool SetupT38A::SetGroupName(int group, const QByteArray& name) { return setNameAt(m_groupNames, group, name); }
QByteArray SetupT38A::GetName2(int index) const { return nameAt(m_productNames2, index); }
bool SetupT38A::SetName2(int index, const QByteArray& name) { return setNameAt(m_productNames2, index, name); }
QByteArray SetupT38A::GetGroupName2(int group) const { return nameAt(m_groupNames2, group); }
bool SetupT38A::SetGroupName2(int group, const QByteArray& name) { return setNameAt(m_groupNames2, group, name); }

QByteArray SetupT38A::GetMgPerTurnBcd(int setupRow) const
{
    const auto row = GetSetupRow(setupRow);
    return row ? bcd(row->mgPerTurn) : QByteArray();
}

QByteArray SetupT38A::GetWhipSpeedBcd(int setupRow) const
{
    const auto row = GetSetupRow(setupRow);
    return row ? bcd(row->whipSpeed) : QByteArray();
}

int SetupT38A::GetRowCount(quint32 family) { return family == 1 || family == 5 ? 6 : 5; }

bool SetupT38A::IsRowOfFamily(int row, quint32 family) { return row >= 0 && row < GroupRowCount + GetRowCount(family); }

QByteArray SetupT38A::CopyMachineName(int index) const
{
    const QByteArray name = GetName2(index);
    return QByteArray(name.constData()); // up to a zero byte
}

QByteArray SetupT38A::GetRowName(int row) const
{
    return row < GroupRowCount ? GetGroupName(row) : GetProductName(row - GroupRowCount);
}

QByteArray SetupT38A::GetRowName2(int row) const
{
    return row < GroupRowCount ? GetGroupName2(row) : GetName2(row - GroupRowCount);
}

bool SetupT38A::SetRowName2(int row, const QByteArray& name)
{
    return row < GroupRowCount ? SetGroupName2(row, name) : SetName2(row - GroupRowCount, name);
}

QByteArray SetupT38A::GetRowDisplayName(int row, quint32 family) const
{
    if (!IsRowOfFamily(row, family))
        return QByteArray();
    if (row < GroupRowCount)
        return GetGroupName(row);
    const int product = m_rows[std::size_t(row - GroupRowCount)].productIndex;
    if (product == NoProduct)
        return GetGroupName2(0);
    return GetName2(product);
}

QByteArray SetupT38A::bcd(int value)
{
    // Four digits always fit the conversion; a value past 9999 keeps the machines' nibble wrap.
    return IntToBcd(quint32(value), BcdDigits, false).value_or(QByteArray());
}
