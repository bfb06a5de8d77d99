#include "app/COrmiDoc.h"

#include "app/CCfg.h"
#include "app/MachineModel.h"
#include "app/ProductNameEncoding.h"
#include "app/SetupT38A.h"
#include "fw/ArchiveReader.h"
#include "fw/ArchiveWriter.h"
#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "fw/ProgramWide.h"

#include <QFileInfo>

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>
#include <utility>

namespace {

// How far, in tenths of a second, a dispenser or whipper may stand from its valve's times
// and still belong to its group.
constexpr qint64 GroupWindow = 50;

struct DeviceKind {
    int code = 0;
    int subCode = 0;
};

// A device's type code and sub-code in the loaded catalogue. A header, or a type index the
// catalogue does not hold (files carry any number), has no code.
DeviceKind kindOf(const CDeviceCoffee& row)
{
    if (row.IsProductHeader())
        return {};
    const DeviceTypeRecord* record = fw::ProgramWide<CCfg>::get().GetDeviceType(row.GetTypeIndex());
    return record ? DeviceKind{record->code, record->subCode} : DeviceKind{};
}

// The dispenser table's value for a dispenser sub-code (1-based); nothing outside the table.
std::optional<int> dispenserWiring(int subCode, int column)
{
    if (subCode < 1)
        return std::nullopt;
    return fw::ProgramWide<CCfg>::get().GetDispenserTable().value(subCode - 1, column);
}

} // namespace

COrmiDoc::COrmiDoc()
    : m_nameCodePage(::GetNameCodePage())
{
}

void COrmiDoc::OnNewDocument()
{
    m_rows.clear();
    m_cursor = RowPosition();
    m_pathName.clear();
    m_modified = false;
    m_sugar.SetTimes(0, 0, 0);
    m_temperature = NewDocumentTemperature;
    m_model = NewDocumentModel;
    UpdateAllViews();
}

void COrmiDoc::TakeConfiguration(COrmiDoc& source)
{
    // Swapped lists keep their nodes, so the source's cursor stays on its row, now here.
    m_rows.swap(source.m_rows);
    source.m_rows.clear();
    m_cursor = std::exchange(source.m_cursor, RowPosition());
    m_sugar = source.m_sugar;
    m_temperature = source.m_temperature;
    m_model = source.m_model;
    m_modified = source.m_modified;
}

void COrmiDoc::SetPathName(const QString& path)
{
    m_pathName = path;
    if (!path.isEmpty())
        m_title = QFileInfo(path).fileName();
}

int COrmiDoc::AddViewListener(ViewListener listener)
{
    const int id = m_nextListenerId++;
    m_viewListeners.emplace_back(id, std::move(listener));
    return id;
}

void COrmiDoc::RemoveViewListener(int id)
{
    std::erase_if(m_viewListeners, [id](const auto& entry) { return entry.first == id; });
}

void COrmiDoc::UpdateAllViews()
{
    // A view may remove itself while it is told.
    const auto listeners = m_viewListeners;
    for (const auto& entry : listeners)
        entry.second();
}

bool COrmiDoc::IsT38AFamily() const { return MachineModel::isT38AFamily(m_model); }

int COrmiDoc::GetProgramFamily() const { return MachineModel::programFamily(m_model); }

int COrmiDoc::GetManagementMachineType() const { return MachineModel::managementMachineType(m_model); }

int COrmiDoc::GetBlockCode(int kind) const { return MachineModel::blockCode(m_model, kind); }

QString COrmiDoc::StepText(int step, int n)
{
    // Texts 1710..1713 are the steps 1..4.
    constexpr int FirstStepText = 1710;
    constexpr int StepCount = 4;
    if (step < 1 || step > StepCount)
        return QString();
    return fw::Application::get().strings().format(FirstStepText + step - 1, {n});
}

COrmiDoc::RowPosition COrmiDoc::positionOf(RowList::const_iterator node) const
{
    return node == m_rows.end() ? RowPosition() : RowPosition(node);
}

COrmiDoc::RowPosition COrmiDoc::GetFirstRowPosition() const { return positionOf(m_rows.begin()); }

COrmiDoc::RowPosition COrmiDoc::GetLastRowPosition() const
{
    return m_rows.empty() ? RowPosition() : RowPosition(std::prev(m_rows.end()));
}

COrmiDoc::RowPosition COrmiDoc::GetNextRowPosition(RowPosition position) const
{
    return position ? positionOf(std::next(*position.m_node)) : RowPosition();
}

COrmiDoc::RowPosition COrmiDoc::GetPreviousRowPosition(RowPosition position) const
{
    if (!position || *position.m_node == m_rows.begin())
        return RowPosition();
    return RowPosition(std::prev(*position.m_node));
}

CDeviceCoffee* COrmiDoc::GetRowAt(RowPosition position) { return position ? (*position.m_node)->get() : nullptr; }

const CDeviceCoffee* COrmiDoc::GetRowAt(RowPosition position) const
{
    return position ? (*position.m_node)->get() : nullptr;
}

void COrmiDoc::AddStoredRow(std::unique_ptr<CDeviceCoffee> row) { m_rows.push_front(std::move(row)); }

CDeviceCoffee* COrmiDoc::GetNextRow()
{
    CDeviceCoffee* row = GetRowAt(m_cursor);
    m_cursor = GetNextRowPosition(m_cursor);
    return row;
}

bool COrmiDoc::SelectRowAt(int x, int y)
{
    StartWalk();
    while (const CDeviceCoffee* row = GetCurrentRow()) {
        if (row->GetX() <= x && row->GetY() <= y)
            return true;
        m_cursor = GetNextRowPosition(m_cursor);
    }
    return false;
}

CDeviceCoffee* COrmiDoc::insertNewRow(RowList::const_iterator before)
{
    try {
        const auto node = m_rows.insert(before, std::make_unique<CDeviceCoffee>());
        SetModifiedFlag();
        return node->get();
    } catch (const std::bad_alloc&) {
        fw::MessageBoxes::box(QStringLiteral("Ormi Exception: Imposible reservar memoria para un nuevo dispositivo\n"));
        return nullptr;
    }
}

CDeviceCoffee* COrmiDoc::AddDevice() { return insertNewRow(m_rows.end()); }

CDeviceCoffee* COrmiDoc::InsertDevice() { return insertNewRow(m_cursor ? *m_cursor.m_node : m_rows.cbegin()); }

void COrmiDoc::eraseRow(RowPosition position) { m_rows.erase(*position.m_node); }

void COrmiDoc::DeleteCurrentRow()
{
    if (!m_cursor)
        return;
    const RowPosition taken = m_cursor;
    const bool header = GetRowAt(taken)->IsProductHeader();
    m_cursor = GetNextRowPosition(taken);
    eraseRow(taken);
    if (header) {
        // The header's devices go with it, up to the next header.
        while (m_cursor && !GetCurrentRow()->IsProductHeader()) {
            const RowPosition device = m_cursor;
            m_cursor = GetNextRowPosition(device);
            eraseRow(device);
        }
        RenumberProducts();
    }
    SetModifiedFlag();
}

int COrmiDoc::CountProductDevices()
{
    if (m_rows.empty()) {
        fw::MessageBoxes::box(fw::Application::get().strings().text(FirstRowMustBeHeaderText));
        return -1;
    }
    if (!m_cursor)
        return -1;
    RowPosition header = m_cursor;
    while (header && !GetRowAt(header)->IsProductHeader())
        header = GetPreviousRowPosition(header);
    if (!header)
        header = GetFirstRowPosition();
    m_cursor = GetNextRowPosition(header);
    int count = 0;
    while (m_cursor && !GetCurrentRow()->IsProductHeader()) {
        ++count;
        m_cursor = GetNextRowPosition(m_cursor);
    }
    return count;
}

int COrmiDoc::GetHighestProductNumber()
{
    int highest = 0;
    StartWalk();
    while (const CDeviceCoffee* row = GetNextRow()) {
        if (row->IsProductHeader())
            highest = std::max(highest, row->GetProductNumber());
    }
    return highest;
}

void COrmiDoc::RenumberProducts()
{
    int number = 0;
    StartWalk();
    while (CDeviceCoffee* row = GetNextRow()) {
        if (!row->IsProductHeader())
            continue;
        ++number;
        row->SetProductNumber(number);
        row->SetSelectionNumber(number);
    }
}

void COrmiDoc::ChainDeviceTimes()
{
    int previousEnd = 0;
    StartWalk();
    while (CDeviceCoffee* row = GetNextRow())
        previousEnd = row->IsProductHeader() ? 0 : row->ComputeT38ATimes(previousEnd);
}

void COrmiDoc::RefreshTypeNames()
{
    const CCfg& cfg = fw::ProgramWide<CCfg>::get();
    StartWalk();
    while (CDeviceCoffee* row = GetNextRow()) {
        if (row->GetSelectionNumber() != 0)
            continue;
        QByteArray name = row->GetTypeName();
        cfg.GetTypeName(row->GetTypeIndex(), name);
        row->SetTypeName(name);
    }
    SetModifiedFlag();
    UpdateAllViews();
}

void COrmiDoc::ResolveProductNames()
{
    CCfg& cfg = fw::ProgramWide<CCfg>::get();
    if (!cfg.LoadProductNames())
        return;
    StartWalk();
    while (CDeviceCoffee* row = GetNextRow()) {
        row->SetCodePage(m_nameCodePage);
        if (!row->IsProductHeader())
            continue;
        if (row->GetNameIndex() != 0) {
            QByteArray name;
            if (cfg.GetProductName(row->GetNameIndex(), name))
                row->SetName(name);
        } else {
            int index = 0;
            cfg.FindProductName(index, row->GetName());
            row->SetNameIndex(index);
        }
    }
    SetModifiedFlag();
    UpdateAllViews();
}

void COrmiDoc::ApplySetupT38A()
{
    const SetupT38A& setup = fw::ProgramWide<SetupT38A>::get();
    const quint32 family = quint32(GetProgramFamily());
    RenumberProducts();
    StartWalk();
    while (CDeviceCoffee* row = GetNextRow()) {
        if (!row->IsProductHeader())
            row->SetTypeName(setup.GetRowDisplayName(row->GetTypeIndex(), family));
    }
    ChainDeviceTimes();
}

void COrmiDoc::SortDevices()
{
    StartWalk();
    while (CDeviceCoffee* row = GetNextRow())
        row->SetSortMark(0);

    // The rows move node by node, so positions that callers hold stay valid.
    RowList output;
    // Rows above the first header belong to no product: they keep their place.
    while (!m_rows.empty() && !m_rows.front()->IsProductHeader())
        output.splice(output.end(), m_rows, m_rows.begin());
    while (!m_rows.empty())
        regroupProduct(output);
    m_rows.splice(m_rows.end(), output);
}

// Moves the product whose header is the first remaining row to the end of the output, its
// devices regrouped.
void COrmiDoc::regroupProduct(RowList& output)
{
    output.splice(output.end(), m_rows, m_rows.begin());
    std::vector<RowList::iterator> devices;
    for (auto node = m_rows.begin(); node != m_rows.end() && !(*node)->IsProductHeader(); ++node)
        devices.push_back(node);

    const auto take = [&](RowList::iterator node, RowList::const_iterator before) {
        (*node)->SetSortMark(1);
        output.splice(before, m_rows, node);
    };
    const auto unmarkedOf = [](RowList::iterator node, int code) {
        return (*node)->GetSortMark() == 0 && kindOf(**node).code == code;
    };

    for (;;) {
        // The earliest valve left; on equal starts the first in display order.
        std::optional<RowList::iterator> valveNode;
        for (const auto node : devices) {
            if (unmarkedOf(node, DeviceTypeRecord::WaterValveCode)
                && (!valveNode || (*node)->GetStart() < (**valveNode)->GetStart()))
                valveNode = node;
        }
        if (!valveNode)
            break;
        const CDeviceCoffee& valve = ***valveNode;
        (**valveNode)->SetSortMark(1);
        const int valveSubCode = kindOf(valve).subCode;
        const qint64 valveStart = valve.GetStart();
        const qint64 valveEnd = valve.GetEnd();
        int whipper = 0;

        for (const auto node : devices) {
            const CDeviceCoffee& dispenser = **node;
            if (!unmarkedOf(node, DeviceTypeRecord::DispenserCode))
                continue;
            const int subCode = kindOf(dispenser).subCode;
            if (dispenserWiring(subCode, DispenserTable::ValveColumn) != valveSubCode)
                continue;
            if (dispenser.GetStart() <= valveStart - GroupWindow || dispenser.GetEnd() >= valveEnd + GroupWindow)
                continue;
            whipper = dispenserWiring(subCode, DispenserTable::WhipperColumn).value_or(0);
            // One step of ordering only: before the dispenser just appended when it starts later.
            const CDeviceCoffee& last = *output.back();
            const bool before = kindOf(last).code == DeviceTypeRecord::DispenserCode
                && last.GetStart() > dispenser.GetStart();
            take(node, before ? std::prev(output.end()) : output.end());
        }
        for (const auto node : devices) {
            if (unmarkedOf(node, DeviceTypeRecord::WhipperCode) && kindOf(**node).subCode == whipper
                && std::abs(valveStart - qint64((*node)->GetStart())) < GroupWindow)
                take(node, output.end());
        }
        take(*valveNode, output.end());
    }
    for (const auto node : devices) {
        if ((*node)->GetSortMark() == 0)
            take(node, output.end());
    }
}

namespace {

// The least a stored row takes: its class tag and the shortest row body.
constexpr qsizetype MinStoredRowBytes = 2 + CDeviceCoffee::MinStoredBodyBytes;
constexpr int LowestTemperature = 80;
constexpr int HighestTemperature = 100;

[[noreturn]] void badFormat(const std::string& what)
{
    throw fw::ArchiveError(fw::ArchiveError::Cause::BadFormat, what);
}

} // namespace

void COrmiDoc::ReloadCatalogue(int model)
{
    CCfg& cfg = fw::ProgramWide<CCfg>::get();
    // A model whose files are missing has been reported by the loader; the document still
    // opens, its rows keep the type names they were read with.
    cfg.LoadDispenserTable(model);
    cfg.LoadDeviceTypes(model);
}

void COrmiDoc::Serialize(fw::ArchiveWriter& ar) const
{
    ar.writeCount(quint32(m_rows.size()));
    for (auto node = m_rows.crbegin(); node != m_rows.crend(); ++node) {
        ar.writeObjectClass(CDeviceCoffee::ArchiveClassName, CDeviceCoffee::ArchiveSchema);
        (*node)->Serialize(ar);
    }
    m_sugar.Serialize(ar);
    ar.writeI32(m_temperature);
    ar.writeI32(m_model);
    if (IsT38AFamily())
        fw::ProgramWide<SetupT38A>::get().Serialize(ar);
}

void COrmiDoc::Serialize(fw::ArchiveReader& ar, const CatalogueReload& reloadCatalogue)
{
    OnNewDocument();
    bool legacyRows = false;
    const quint32 rowCount = ar.readCount(MinStoredRowBytes);
    int headers = 0;
    for (quint32 k = 0; k < rowCount; ++k) {
        const fw::ArchiveReader::ClassInfo rowClass = ar.readObjectClass();
        if (rowClass.name != CDeviceCoffee::ArchiveClassName || rowClass.schema != CDeviceCoffee::ArchiveSchema)
            badFormat("object of class " + rowClass.name.toStdString() + " schema " +
                      std::to_string(rowClass.schema) + " in the row list");
        auto row = std::make_unique<CDeviceCoffee>();
        row->Serialize(ar, legacyRows);
        // Product numbers are one byte on the machines. The numbering goes by the product
        // number and the file by the selection number: a row with either becomes a header.
        const bool header = row->GetSelectionNumber() != 0 || row->GetProductNumber() != 0;
        if (header && ++headers > MaxProductNumber)
            badFormat("more than " + std::to_string(MaxProductNumber) + " product headers");
        AddStoredRow(std::move(row));
    }
    m_sugar.Serialize(ar);
    m_temperature = ar.readI32();
    if (m_temperature < LowestTemperature || m_temperature > HighestTemperature)
        m_temperature = NewDocumentTemperature;
    // The oldest files end before the model.
    try {
        m_model = ar.readI32();
    } catch (const fw::ArchiveError& error) {
        if (!error.isEndOfFile())
            throw;
        m_model = NewDocumentModel;
    }

    if (IsT38AFamily()) {
        // The program-wide tables change only once the whole file has been read.
        SetupT38A setup = fw::ProgramWide<SetupT38A>::get();
        setup.Serialize(ar);
        fw::ProgramWide<SetupT38A>::get() = setup;
        ApplySetupT38A();
        return;
    }
    reloadCatalogue(m_model);
    RenumberProducts();
    RefreshTypeNames();
    SortDevices();
}
