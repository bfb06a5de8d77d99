#include "link/T38AMachineReader.h"

#include "app/COrmiDoc.h"
#include "app/DispositivoT38ADlgData.h"
#include "app/ProductDlgData.h"
#include "app/ProductNameEncoding.h"
#include "app/RowByteCode.h"
#include "app/SetupT38A.h"
#include "app/T38ADeviceStrings.h"
#include "fw/ProgramWide.h"
#include "link/CGrabadorT38A.h"
#include "link/PackedBcd.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace {

constexpr char ContainerNames = 'Q';
constexpr char MilligramsPerTurn = '6';
constexpr char WhippingSpeed = 'E';
constexpr char Temperature = 'L';
constexpr char SugarTimes = '4';
constexpr char ProductFlags = '3';
constexpr char Products = '5';
constexpr quint8 AllFlags = 7;
constexpr quint8 NameMark = 0xF9;
constexpr quint8 OldNameMark = 0xF7;
constexpr quint8 LastNameByte = 0xF0;
constexpr int FirstNewName = 1;
constexpr char UnnamedContainer[] = "????";

// The records the writer numbers by set-up row: rows first..R go in fields first..R, or
// first - 1..R - 1 with the shift. So field first - 1 is written only with the shift, field
// R only without it.
struct NumberedRecords {
    char blockId;
    int first;
};
constexpr NumberedRecords NumberedBlocks[] = {{ContainerNames, 1}, {MilligramsPerTurn, 1}, {WhippingSpeed, 2}};

static_assert(RowByteCode::T38ANameLength < T38AMachineReader::NameCapacity);
static_assert(SetupT38A::MachineNameLength == CGrabadorT38A::MaxHexText);

SetupT38A& setup() { return fw::ProgramWide<SetupT38A>::get(); }

bool isUnnamed(const QByteArray& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c == 'F'; });
}

// The empty product the compile step sends for every field the document does not fill.
bool isFiller(const QByteArray& bytes, int field)
{
    QByteArray filler;
    filler += char(RowByteCode::ProductHeader);
    filler += char(field);
    filler += char(NameMark);
    filler += char(sizeof FillerProductName - 1);
    filler += FillerProductName;
    filler += char(RowByteCode::End);
    filler += char(field);
    return bytes == filler;
}

void storeMilligrams(SetupT38A& tables, int row, int value)
{
    auto values = tables.GetSetupRow(row);
    values->mgPerTurn = value;
    tables.SetSetupRow(row, *values);
}

void storeWhipSpeed(SetupT38A& tables, int row, int value)
{
    auto values = tables.GetSetupRow(row);
    values->whipSpeed = value;
    tables.SetSetupRow(row, *values);
}

// The set-up values and the temperature, raw records least significant byte first, taken
// whatever their length as packed BCD (1 to 5 bytes): a panel or an older tool may have set
// them. Refused: bytes that are not packed BCD, and a value above what its field keeps (the
// set-up tables' ranges, which the writer can send back). The temperature has no range of its
// own: the document keeps it as an int.
constexpr quint32 AnyIntValue = quint32(std::numeric_limits<int>::max());

std::optional<quint32> storedValue(const QByteArray& bytes, quint32 highest)
{
    const std::optional<quint32> value = checkedBcdToInt(bytes, true);
    return value && *value <= highest ? value : std::nullopt;
}

// The records that are not raw are hexadecimal text: pairs of hexadecimal digits.
bool isHexText(const QByteArray& text)
{
    return text.size() % 2 == 0 && std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(quint8(c)) != 0; });
}

} // namespace

// The T38A read forwards to its reader in the link library.
bool COrmiDoc::ReadT38AMachine(CGrabadorT38A& recorder) { return T38AMachineReader(*this, recorder).Run(); }

T38AMachineReader::T38AMachineReader(COrmiDoc& document, CGrabadorT38A& recorder)
    : m_document(document)
    , m_recorder(recorder)
    , m_rows(SetupT38A::GetRowCount(quint32(document.GetProgramFamily())))
{
    m_flags.fill(AllFlags);
}

bool T38AMachineReader::Run()
{
    QByteArray data;
    return m_recorder.LeeTodo(data) && Take(data);
}

bool T38AMachineReader::Take(const QByteArray& data)
{
    m_data = data;
    m_layout.shift = writtenShift().value_or(setup().IsShifted());
    // The document-name record is not taken: title and path stay the document's own.
    const bool whole = readContainerNames() && readSetupValues(MilligramsPerTurn, SetupT38A::HighestMgPerTurn, storeMilligrams) &&
                       readSetupValues(WhippingSpeed, SetupT38A::HighestWhipSpeed, storeWhipSpeed) &&
                       readTemperatureAndSugar() && readFlags() && readProducts();
    m_document.ResolveProductNames();
    m_document.UpdateAllViews();
    if (whole) {
        m_recorder.MuestraResultado(FinishedText);
        m_recorder.MuestraProgreso(100);
    }
    return whole;
}

T38AMachineReader::Found T38AMachineReader::record(char blockId, int field, QByteArray& text)
{
    int length = 0;
    if (CGrabadorT38A::BuscaRegistro(m_data, quint8(blockId), quint8(field), text, length, RecordCapacity))
        return Found::Present;
    if (length <= RecordCapacity)
        return Found::Absent;
    refuse(text);
    return Found::Refused;
}

bool T38AMachineReader::holds(char blockId, int field) const
{
    QByteArray bytes;
    int length = 0;
    return CGrabadorT38A::BuscaRegistro(m_data, quint8(blockId), quint8(field), bytes, length, RecordCapacity) ||
           length > RecordCapacity;
}

std::optional<bool> T38AMachineReader::writtenShift() const
{
    bool shifted = false;
    bool unshifted = false;
    for (const NumberedRecords& block : NumberedBlocks) {
        shifted = shifted || holds(block.blockId, block.first - 1);
        unshifted = unshifted || holds(block.blockId, m_rows);
    }
    // Fields of both numberings: a machine written once with each keeps both; neither tells.
    if (shifted == unshifted)
        return std::nullopt;
    return shifted;
}

int T38AMachineReader::containerRow(int field) const { return m_layout.shift ? field : field - 1; }

int T38AMachineReader::valueRow(int field) const { return m_layout.shift ? field + 1 : field; }

bool T38AMachineReader::readContainerNames()
{
    for (int field = m_layout.shift ? 0 : 1; field <= m_rows; ++field) {
        QByteArray text;
        const Found found = record(ContainerNames, field, text);
        if (found == Found::Refused)
            return false;
        if (found == Found::Absent)
            continue;
        if (!isHexText(text))
            return refuse(text, MalformedCode);
        const bool named = !isUnnamed(text);
        // At most the 80 characters of HexATexto, longer names cut: the writer cuts them alike.
        const QByteArray name = named ? CGrabadorT38A::HexATexto(text) : QByteArray(UnnamedContainer);
        nameContainer(containerRow(field), name, named);
    }
    settleLayout();
    return true;
}

void T38AMachineReader::settleLayout()
{
    SetupT38A& tables = setup();
    auto row = tables.GetSetupRow(0);
    if (m_layout.shift) {
        row->productIndex = SetupT38A::NoProduct;
        tables.SetSetupRow(0, *row);
    } else if (row->productIndex == SetupT38A::NoProduct) {
        // Its container had a product whose name the machine was not given.
        nameContainer(0, UnnamedContainer, false);
    }
    // The group's valve row follows the products the rows now hold.
    m_layout.groupValveRow = tables.GetCoffeeGroupValveRow();
}

void T38AMachineReader::nameContainer(int setupRow, const QByteArray& name, bool named)
{
    SetupT38A& tables = setup();
    auto row = tables.GetSetupRow(setupRow);
    if (!row)
        return;
    for (int j = 0; j < SetupT38A::ProductNameCount; ++j) {
        if (tables.CopyMachineName(j) == name) {
            row->productIndex = j;
            tables.SetSetupRow(setupRow, *row);
            if (named)
                return;
            break;
        }
    }
    // A name the tables do not hold, or none, takes the first free entry (0 is never taken).
    for (int m = FirstNewName; m < SetupT38A::ProductNameCount; ++m) {
        if (!tables.GetProductName(m).isEmpty())
            continue;
        tables.SetProductName(m, QStringLiteral("DISP.%1 MAQUINA").arg(setupRow + 1).toLatin1());
        tables.SetName2(m, name);
        row->productIndex = m;
        tables.SetSetupRow(setupRow, *row);
        return;
    }
}

bool T38AMachineReader::readSetupValues(char blockId, quint32 highest, void (*store)(SetupT38A&, int, int))
{
    for (int field = m_layout.shift ? 0 : 1; field <= m_rows; ++field) {
        QByteArray bytes;
        const Found found = record(blockId, field, bytes);
        if (found == Found::Refused)
            return false;
        if (found == Found::Absent)
            continue;
        const std::optional<quint32> value = storedValue(bytes, highest);
        if (!value)
            return refuse(bytes, MalformedCode);
        if (setup().GetSetupRow(valueRow(field)))
            store(setup(), valueRow(field), int(*value));
    }
    return true;
}

bool T38AMachineReader::readTemperatureAndSugar()
{
    QByteArray text;
    Found found = record(Temperature, 0, text);
    if (found == Found::Refused)
        return false;
    if (found == Found::Present) {
        // Taken whatever its range.
        const std::optional<quint32> value = storedValue(text, AnyIntValue);
        if (!value)
            return refuse(text, MalformedCode);
        m_document.SetWorkingTemperature(int(*value));
    }
    found = record(SugarTimes, 0, text);
    if (found == Found::Refused)
        return false;
    if (found == Found::Present) {
        if (!isHexText(text))
            return refuse(text, MalformedCode);
        // 0xF2, bitter, extra sweet, normal.
        const QByteArray sugar = CGrabadorT38A::HexABytes(text);
        if (sugar.size() < 4)
            return refuse(sugar);
        m_document.GetSugar().SetTimes(quint8(sugar[1]), quint8(sugar[3]), quint8(sugar[2]));
    }
    return true;
}

bool T38AMachineReader::readFlags()
{
    for (int field = 1; field <= ProductFields; ++field) {
        QByteArray bytes;
        const Found found = record(ProductFlags, field, bytes);
        if (found == Found::Refused)
            return false;
        if (found == Found::Present && !bytes.isEmpty())
            m_flags[std::size_t(field)] = quint8(bytes[0]);
    }
    return true;
}

bool T38AMachineReader::readProducts()
{
    for (int field = 1; field <= ProductFields; ++field) {
        QByteArray text;
        const Found found = record(Products, field, text);
        if (found == Found::Refused)
            return false;
        if (found == Found::Present && !readProduct(field, text))
            return false;
    }
    return true;
}

bool T38AMachineReader::readProduct(int field, const QByteArray& text)
{
    if (!isHexText(text))
        return refuse(text, MalformedCode);
    QByteArray bytes = CGrabadorT38A::HexABytes(text);
    if (bytes.size() > ProductCapacity)
        return refuse(bytes);
    if (isFiller(bytes, field))
        return true;
    bytes.resize(ProductCapacity, '\0');
    QByteArray name;
    if (!takeName(bytes, name))
        return false;

    ProductDlgData product;
    product.productNumber = m_document.GetHighestProductNumber() + 1;
    product.selectionNumber = product.productNumber;
    product.name = name;
    product.codePage = m_document.GetProductNameCodePage();
    ConvertNameToWide(name, product.wideName, product.codePage);
    product.t38aFlag = true;
    const quint8 flags = m_flags[std::size_t(field)];
    product.sugarFlag = flags & 1;
    product.stirrerFlag = (flags >> 1) & 1;
    product.cupFlag = (flags >> 2) & 1;
    CDeviceCoffee* header = m_document.AddDevice();
    if (!header)
        return true;
    header->FillFromProductDlg(product);
    return readDevices(bytes, int(text.size() / 2 - 1));
}

bool T38AMachineReader::takeName(QByteArray& bytes, QByteArray& name)
{
    const qsizetype mark = bytes.indexOf(char(NameMark));
    if (mark >= 0) {
        const int length = mark + 1 < bytes.size() ? quint8(bytes[mark + 1]) : 0;
        const qsizetype end = mark + 2 + length;
        if (end > bytes.size())
            return refuse(bytes);
        name = bytes.mid(mark + 2, length);
        // The header and its name are not the devices' bytes.
        std::fill(bytes.begin(), bytes.begin() + end, '\0');
    } else if (const qsizetype oldMark = bytes.indexOf(char(OldNameMark)); oldMark >= 0) {
        qsizetype end = oldMark + 1;
        while (end < bytes.size() && quint8(bytes[end]) <= LastNameByte)
            ++end;
        name = bytes.mid(oldMark + 1, end - oldMark - 1);
    }
    const qsizetype zero = name.indexOf('\0');
    if (zero >= 0)
        name.truncate(zero);
    // Another writer's longer name is cut to the name area, as this program's writer cuts it.
    name.truncate(RowByteCode::T38ANameLength);
    return true;
}

bool T38AMachineReader::readDevices(QByteArray& bytes, int count)
{
    const quint32 family = quint32(m_document.GetProgramFamily());
    QByteArray fields;
    while (ParseT38ARow(bytes, count, fields)) {
        if (fields.size() > DeviceCapacity)
            return refuse(fields);
        // No separator cuts the fields: a byte 0xCC where a value stands is one (204 turns).
        DispositivoT38ADlgData device;
        device.family = int(family);
        ParseT38ASlots(fields, device, m_layout);
        if (!SetupT38A::IsRowOfFamily(device.type, family))
            return refuse(fields);
        CDeviceCoffee* row = m_document.AddDevice();
        if (!row)
            return true;
        // The type was checked against the family above: the row takes it.
        (void)row->FillFromDeviceT38ADlg(device);
        m_document.ChainDeviceTimes();
    }
    return true;
}

bool T38AMachineReader::refuse(QByteArrayView input, int code)
{
    RowByteCode::ReportDecodeError(code, input, true);
    return false;
}
