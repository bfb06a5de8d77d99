#include "app/SetupT38A.h"

#include "app/CRCFile.h"
#include "app/DefaultProductNames.h"
#include "fw/ArchiveReader.h"
#include "fw/ArchiveWriter.h"
#include "fw/ByteWriter.h"
#include "link/PackedBcd.h"

#include <algorithm>
#include <string>

static_assert(SetupT38A::HighestMgPerTurn == highestBcdValue(SetupT38A::BcdDigits));

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

int SetupT38A::GetCoffeeGroupValveRow() const
{
    constexpr int Candidates = 5;
    for (int k = 0; k < Candidates; ++k) {
        if (m_rows[std::size_t(k)].productIndex == NoProduct)
            return k + 1;
    }
    // Every row has a product: the group still needs a valve, the first row's.
    return 1;
}

bool SetupT38A::IsShifted() const { return m_rows[0].productIndex == NoProduct; }

QByteArray SetupT38A::CopyMachineName(int index) const
{
    const QByteArray name = GetName2(index);
    return QByteArray(name.constData()).left(MachineNameLength); // up to a zero byte
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

void SetupT38A::AppendFileChecksum(fw::ByteWriter& out, const QByteArray& title, const QString& path)
{
    const quint32 crc = path.isEmpty() ? 0 : CRCFile().ComputeFileCrc(path);
    const QByteArray checksum = QByteArray::number(crc, 16).toUpper();
    QByteArray name(title.constData()); // up to a zero byte
    if (out.capacity() != fw::ByteWriter::Unbounded)
        name.truncate(std::max<qsizetype>(out.capacity() - out.size() - 1 - checksum.size(), 0));
    out.bytes(name);
    out.u8(' ');
    out.bytes(checksum);
}

QByteArray SetupT38A::bcd(int value)
{
    // Four digits always fit the conversion; a value past 9999 keeps the machines' nibble wrap.
    return IntToBcd(quint32(value), BcdDigits, false).value_or(QByteArray());
}

namespace {

// What follows the names: the product index, milligrams per turn, valve and whipper tables,
// and in all but the oldest files the whipping speeds.
constexpr qsizetype TableBytes = SetupT38A::SetupRowCount * 4;
constexpr qsizetype TablesWithoutSpeeds = 4 * TableBytes;
constexpr qsizetype TablesWithSpeeds = 5 * TableBytes;

} // namespace

void SetupT38A::Serialize(fw::ArchiveWriter& ar) const
{
    for (const QByteArray& name : m_groupNames)
        ar.writeString(name);
    for (const QByteArray& name : m_groupNames2)
        ar.writeString(name);
    ar.writeString(NamesMarker);
    ar.writeString(NamesMarker);
    int pairs = 0;
    while (pairs < ProductNameCount && !m_productNames[std::size_t(pairs)].isEmpty())
        ++pairs;
    ar.writeI32(pairs);
    for (int k = 0; k < pairs; ++k) {
        ar.writeString(m_productNames[std::size_t(k)]);
        ar.writeString(m_productNames2[std::size_t(k)]);
    }
    for (const SetupRow& row : m_rows)
        ar.writeI32(row.productIndex);
    for (const SetupRow& row : m_rows)
        ar.writeI32(row.mgPerTurn);
    for (const SetupRow& row : m_rows)
        ar.writeI32(row.valveNumber);
    for (const SetupRow& row : m_rows)
        ar.writeI32(row.whipperNumber);
    for (const SetupRow& row : m_rows)
        ar.writeI32(row.whipSpeed);
}

void SetupT38A::Serialize(fw::ArchiveReader& ar)
{
    for (QByteArray& name : m_groupNames)
        name = ar.readString();
    for (QByteArray& name : m_groupNames2)
        name = ar.readString();

    const QByteArray heldName = m_productNames[0];
    const QByteArray heldName2 = m_productNames2[0];
    m_productNames[0] = ar.readString();
    m_productNames2[0] = ar.readString();
    int pairs = 0;
    int first = 1; // the older layout's first pair is already read
    if (m_productNames[0] == NamesMarker) {
        pairs = ar.readI32();
        if (pairs < 0 || pairs > ProductNameCount)
            throw fw::ArchiveError(fw::ArchiveError::Cause::BadFormat,
                                   "set-up name count " + std::to_string(pairs));
        // The marker pair is no name: without pairs the first names stay as they were.
        m_productNames[0] = heldName;
        m_productNames2[0] = heldName2;
        first = 0;
    } else {
        pairs = OlderLayoutPairCount(ar);
    }
    for (int k = first; k < pairs; ++k) {
        m_productNames[std::size_t(k)] = ar.readString();
        m_productNames2[std::size_t(k)] = ar.readString();
    }

    for (SetupRow& row : m_rows)
        row.productIndex = ar.readI32();
    for (SetupRow& row : m_rows)
        row.mgPerTurn = ar.readI32();
    for (SetupRow& row : m_rows)
        row.valveNumber = ar.readI32();
    for (SetupRow& row : m_rows)
        row.whipperNumber = ar.readI32();
    // Older files end before the whipping speeds, or within them.
    try {
        for (SetupRow& row : m_rows)
            row.whipSpeed = ar.readI32();
    } catch (const fw::ArchiveError& error) {
        if (!error.isEndOfFile())
            throw;
    }
}

int SetupT38A::OlderLayoutPairCount(fw::ArchiveReader& ar) const
{
    // The names in memory tell how many pairs the file was written with, and the rest of
    // the block must then be exactly the tables. When it is not, the count after which it
    // is wins; when no count gives that, the names in memory decide.
    int heldPairs = 1;
    while (heldPairs < ProductNameCount && !m_productNames[std::size_t(heldPairs)].isEmpty())
        ++heldPairs;
    const qsizetype start = ar.position();
    const auto fits = [&ar, start](int pairs) {
        ar.seek(start);
        try {
            for (int k = 1; k < pairs; ++k) {
                ar.readString();
                ar.readString();
            }
        } catch (const fw::ArchiveError&) {
            return false;
        }
        return ar.remaining() == TablesWithoutSpeeds || ar.remaining() == TablesWithSpeeds;
    };
    int chosen = heldPairs;
    if (!fits(heldPairs)) {
        for (int pairs = 1; pairs <= ProductNameCount; ++pairs) {
            if (fits(pairs)) {
                chosen = pairs;
                break;
            }
        }
    }
    ar.seek(start);
    return chosen;
}
