#include "app/CDeviceCoffee.h"

#include "app/CCfg.h"
#include "app/DispositivoDlgData.h"
#include "app/DispositivoT38ADlgData.h"
#include "app/ProductDlgData.h"
#include "app/ProductNameEncoding.h"
#include "app/RowByteCode.h"
#include "app/RowDrawing.h"
#include "app/SetupT38A.h"
#include "fw/ArchiveReader.h"
#include "fw/ArchiveWriter.h"
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

void CDeviceCoffee::DrawRow(fw::LoEnglishCanvas& dc)
{
    int scale = RowDrawing::DefaultScale;
    int rightEdge = RowDrawing::NoEdge;
    if (m_width > 0) {
        // On paper the width is the paper's, whose edge nothing passes.
        const bool onPaper = dc.IsPrinting();
        if (onPaper)
            rightEdge = m_width;
        m_width = truncateToInt(double(m_width) - double(m_x) - RowDrawing::RightMargin);
        scale = onPaper ? RowDrawing::ScaleForPaper(m_width) : RowDrawing::ScaleForRoom(m_width);
    }
    RowDrawing(*this, dc, scale, rightEdge).Run();
}

bool CDeviceCoffee::IsFlowMeterValve() const { return fw::ProgramWide<CCfg>::get().IsEstimatedValve(m_typeIndex); }

namespace {

// The two group rows that stand before the product rows of a T38A machine.
constexpr int CoffeeGroupRow = 0;
constexpr int HotWaterRow = 1;

// A name as the machines take it: its bytes up to a zero byte.
QByteArrayView machineName(const QByteArray& name) { return QByteArrayView(name.constData()); }

QByteArray trimBlanks(QByteArray text)
{
    qsizetype first = 0;
    while (first < text.size() && text[first] == ' ')
        ++first;
    qsizetype last = text.size();
    while (last > first && text[last - 1] == ' ')
        --last;
    return text.mid(first, last - first);
}

// A T38A field: its opcode and slot, 0x80 0x00 0x81 and the value, its rest in 0x83 pairs.
void appendT38AField(fw::ByteWriter& out, quint8 opcode, quint8 slot, int value)
{
    using namespace RowByteCode;
    Put(out, {opcode, slot, StartMark, 0x00, EndMark, FirstPart(value)});
    EncodeValuePairs(Rest(value), EndMore, out);
}

} // namespace

int CDeviceCoffee::EncodeRowStandard(fw::ByteWriter& out) const
{
    using namespace RowByteCode;
    fw::ByteWriter row = RowWriter(out);
    if (IsProductHeader()) {
        const QByteArrayView name = machineName(m_name);
        Put(row, {ProductHeader, quint8(m_productNumber), ClassicName});
        row.bytes(name.first(std::min<qsizetype>(name.size(), ClassicNameLength)));
    } else {
        const DeviceTypeRecord* type = fw::ProgramWide<CCfg>::get().GetDeviceType(m_typeIndex);
        if (!type)
            return 0;
        Put(row, {quint8(type->code), quint8(type->subCode), StartMark, FirstPart(m_start), EndMark, FirstPart(m_end)});
        EncodeValuePairs(Rest(m_start), StartMore, row);
        EncodeValuePairs(Rest(m_end), EndMore, row);
    }
    return AppendRow(out, row);
}

int CDeviceCoffee::EncodeRowT38A(fw::ByteWriter& out, bool shift)
{
    using namespace RowByteCode;
    fw::ByteWriter row = RowWriter(out);
    if (IsProductHeader()) {
        const QByteArrayView whole = machineName(m_name);
        const QByteArrayView name = whole.first(std::min<qsizetype>(whole.size(), T38ANameLength));
        Put(row, {ProductHeader, quint8(m_productNumber), T38AName, quint8(name.size())});
        row.bytes(name);
    } else {
        if (m_typeIndex < 0)
            return 0;
        int slot = m_typeIndex > HotWaterRow ? m_typeIndex - 1 : 0;
        if (shift)
            --slot;
        EncodeDispenserT38A(row, slot);
        if (!EncodeValveT38A(row, slot) || !EncodeWhipperT38A(row, slot))
            return 0;
    }
    return AppendRow(out, row);
}

void CDeviceCoffee::EncodeDispenserT38A(fw::ByteWriter& out, int slot)
{
    using namespace RowByteCode;
    if (m_typeIndex == HotWaterRow)
        return;
    if (m_typeIndex == CoffeeGroupRow) {
        m_containerTurns = 0; // the group has no container
        appendT38AField(out, CoffeeGroup, 0x01, m_containerTurns);
    } else {
        appendT38AField(out, Dispenser, quint8(slot), m_containerTurns);
    }
}

bool CDeviceCoffee::EncodeValveT38A(fw::ByteWriter& out, int slot) const
{
    const SetupT38A& setup = fw::ProgramWide<SetupT38A>::get();
    int setupRow = slot + 1;
    if (m_typeIndex == HotWaterRow)
        setupRow = 0;
    else if (m_typeIndex == CoffeeGroupRow)
        setupRow = setup.GetCoffeeGroupValveRow();
    const auto row = setup.GetSetupRow(setupRow);
    if (!row)
        return false;
    appendT38AField(out, RowByteCode::WaterValve, quint8(row->valveNumber), m_waterPulses);
    return true;
}

bool CDeviceCoffee::EncodeWhipperT38A(fw::ByteWriter& out, int slot) const
{
    using namespace RowByteCode;
    const SetupT38A& setup = fw::ProgramWide<SetupT38A>::get();
    if (m_typeIndex == HotWaterRow || m_typeName == setup.GetGroupName(0))
        return true;
    const auto row = setup.GetSetupRow(slot + 1);
    if (!row)
        return false;
    Put(out, {Whipper, quint8(row->whipperNumber), StartMark, 0x00, EndMark, 0x00});
    return true;
}

int CDeviceCoffee::DecodeRow(QByteArrayView in)
{
    using namespace RowByteCode;
    const auto at = [&in](qsizetype k) { return quint8(in[k]); };
    const auto fail = [&in](int code) {
        // An unknown device is told by its code alone; the other faults show the bytes.
        ReportDecodeError(code, in, code != 1);
        return 0;
    };
    if (in.isEmpty())
        return fail(3);
    const quint8 code = at(0);
    if (code == ProductHeader) {
        if (in.size() < 2)
            return fail(3);
        m_productNumber = at(1);
        m_name = QByteArray(BlankNameLength, ' ');
        m_typeIndex = 0;
        m_colour = 0;
        m_start = 0;
        m_end = 0;
        if (in.size() < 3 || at(2) != ClassicName)
            return 2;
        qsizetype length = 0;
        while (length < ClassicNameLength && 3 + length < in.size() && at(3 + length) < FirstOpcode)
            ++length;
        m_name = trimBlanks(in.sliced(3, length).toByteArray());
        fw::ProgramWide<CCfg>::get().FindProductName(m_nameIndex, m_name);
        return int(3 + length);
    }
    if (code < Dispenser || code > T38AName)
        return fail(3);

    m_productNumber = 0;
    m_selectionNumber = 0;
    m_name.clear();
    if (code == Dispenser || code == SpareDevice)
        m_colour = 0;
    else if (code == Whipper)
        m_colour = 1;
    else if (code == WaterValve)
        m_colour = 2;
    // A device cut before its times lacks its first time marker.
    if (in.size() < 2)
        return fail(4);
    m_typeIndex = fw::ProgramWide<CCfg>::get().FindDeviceType(code, at(1), m_typeName);
    if (m_typeIndex < 0)
        return fail(1);
    if (in.size() < 3 || at(2) < StartMark || at(2) > EndMore)
        return fail(4);
    qsizetype k = 2;
    for (; k < in.size() && at(k) < FirstOpcode; k += 2) {
        // A marker without its value is as malformed as a byte that is no marker.
        if (k + 1 >= in.size())
            return fail(2);
        const int value = at(k + 1);
        switch (at(k)) {
        case StartMark: m_start = value; break;
        case EndMark: m_end = value; break;
        case StartMore: m_start += value; break;
        case EndMore: m_end += value; break;
        default: return fail(2);
        }
    }
    // The device must be closed by the next opcode, not by the end of the input.
    if (k >= in.size())
        return fail(2);
    return int(k);
}

void CDeviceCoffee::FillFromProductDlg(const ProductDlgData& record)
{
    m_name = record.name;
    m_productNumber = record.productNumber;
    m_selectionNumber = record.selectionNumber;
    m_sugarFlag = quint8(record.sugarFlag);
    m_stirrerFlag = quint8(record.stirrerFlag);
    m_cupFlag = quint8(record.cupFlag);
    m_nameIndex = record.nameIndex;
    m_wideName = record.wideName;
    m_codePage = record.codePage;
    m_codePageFlag = record.t38aFlag ? 1 : 0;
    m_colour = 0;
    m_start = 0;
    m_end = 0;
    m_typeIndex = 0;
    m_typeName.clear();
}

bool CDeviceCoffee::FillFromDeviceDlg(const DispositivoDlgData& record)
{
    QByteArray typeName;
    if (!fw::ProgramWide<CCfg>::get().GetTypeName(record.type, typeName))
        return false;
    m_colour = record.colour;
    m_start = record.startTime;
    m_end = record.endTime;
    m_typeIndex = record.type;
    m_typeName = typeName;
    clearProductFields();
    return true;
}

bool CDeviceCoffee::FillFromDeviceT38ADlg(const DispositivoT38ADlgData& record)
{
    const quint32 family = quint32(record.family);
    if (!SetupT38A::IsRowOfFamily(record.type, family))
        return false;
    m_waterPulses = record.waterPulses;
    m_containerTurns = record.turns;
    m_typeIndex = record.type;
    m_typeName = fw::ProgramWide<SetupT38A>::get().GetRowDisplayName(record.type, family);
    // Lets the drawing show a device name of another alphabet (code page 1250 keeps the
    // wide name as it was).
    ConvertNameToWide(m_typeName, m_wideName, m_codePage);
    m_codePageFlag = 1;
    clearProductFields();
    return true;
}

void CDeviceCoffee::clearProductFields()
{
    m_name.clear();
    m_productNumber = 0;
    m_selectionNumber = 0;
    m_sugarFlag = 0;
}

namespace {

// The byte after the selection number: 0x70..0x79 opens the flags of the later layouts,
// 0x72 ('r') the current one; 0x70 has no wide name. The oldest layout has the sugar flag
// there and nothing after it.
constexpr quint8 FirstFormatByte = 0x70;
constexpr quint8 CurrentFormatByte = 0x72;
constexpr quint8 LastFormatByte = 0x79;
// A name index above this is no index: the bytes belong to what follows a row of the
// oldest layout.
constexpr qint32 HighestNameIndex = 100;

bool isFormatByte(quint8 byte) { return byte >= FirstFormatByte && byte <= LastFormatByte; }

} // namespace

void CDeviceCoffee::Serialize(fw::ArchiveWriter& ar) const
{
    ar.writeI32(m_x);
    ar.writeI32(m_y);
    ar.writeI32(m_typeIndex);
    ar.writeI32(m_colour);
    ar.writeI32(m_start);
    ar.writeI32(m_end);
    ar.writeString(QByteArrayView()); // a loaded device takes its type name from the catalogue
    // The name index stands for the name, which is then taken from the catalogue.
    const QByteArrayView storedName = m_nameIndex != 0 ? QByteArrayView() : QByteArrayView(m_name);
    ar.writeString(storedName);
    ar.writeI32(m_productNumber);
    ar.writeI32(m_selectionNumber);
    ar.writeU8(CurrentFormatByte);
    ar.writeU8(m_sugarFlag);
    ar.writeU8(m_stirrerFlag);
    ar.writeU8(m_cupFlag);
    ar.writeI32(m_waterPulses);
    ar.writeI32(m_containerTurns);
    ar.writeU8(m_codePageFlag);
    if (m_selectionNumber == 0)
        return;
    if (storedName.isEmpty())
        ar.writeI32(m_nameIndex);
    for (const char16_t unit : m_wideName.units())
        ar.writeU16(unit);
}

void CDeviceCoffee::Serialize(fw::ArchiveReader& ar, bool& legacyRows)
{
    const CCfg& catalogue = fw::ProgramWide<CCfg>::get();
    m_x = ar.readI32();
    m_y = ar.readI32();
    m_typeIndex = ar.readI32();
    m_colour = ar.readI32();
    m_start = ar.readI32();
    m_end = ar.readI32();
    m_typeName = ar.readString().trimmed();
    m_name = ar.readString();
    m_productNumber = ar.readI32();
    m_selectionNumber = ar.readI32();
    const bool header = m_selectionNumber != 0;
    if (!header) {
        m_typeName.clear();
        catalogue.GetTypeName(m_typeIndex, m_typeName);
    }

    const quint8 format = ar.readU8();
    const bool withFlags = !legacyRows && isFormatByte(format);
    if (withFlags) {
        m_sugarFlag = ar.readU8();
        m_stirrerFlag = ar.readU8();
        m_cupFlag = ar.readU8();
        if (format == CurrentFormatByte) {
            m_waterPulses = ar.readI32();
            m_containerTurns = ar.readI32();
            m_codePageFlag = ar.readU8();
        }
    } else {
        m_sugarFlag = format;
        m_stirrerFlag = 1;
        m_cupFlag = 1;
        // A row of the oldest layout stores no name index after it, and neither do the
        // rows after it.
        if (!isFormatByte(format))
            legacyRows = true;
    }
    if (!header)
        return;

    if (m_name.isEmpty() && !legacyRows) {
        const qint32 index = ar.readI32();
        if (index > HighestNameIndex) {
            legacyRows = true;
            m_nameIndex = 0;
            ar.seek(ar.position() - 4); // those bytes start the next item
            return;
        }
        m_nameIndex = index;
        // Index 0 after an empty name is a header that never had a name.
        if (index != 0 && !catalogue.GetProductName(index, m_name))
            throw fw::ArchiveError(fw::ArchiveError::Cause::BadFormat,
                                   "product name index " + std::to_string(index) + " not in the catalogue");
    } else {
        m_name = m_name.trimmed();
        catalogue.FindProductName(m_nameIndex, m_name);
    }
    if (withFlags && format != FirstFormatByte) {
        WideName::Units units{};
        for (char16_t& unit : units)
            unit = char16_t(ar.readU16());
        m_wideName = WideName::fromUnits(units);
    }
}
