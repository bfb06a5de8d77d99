#include "app/COrmiDoc.h"

#include "app/MachineReadScratch.h"
#include "app/RowByteCode.h"
#include "fw/Application.h"
#include "fw/Clock.h"
#include "fw/ProgramWide.h"
#include "fw/SaveChangesHost.h"
#include "fw/StringTable.h"
#include "fw/WaitUi.h"
#include "link/CGrabador.h"
#include "link/CGrabadorT38A.h"
#include "link/MemoryImageWriter.h"
#include "link/SerialPort.h"
#include "link/T38AMachineReader.h"

#include <algorithm>
#include <array>

// The document's machine reads live in the link library, which builds on the document.

namespace {

constexpr int RecordLength = MemoryImageWriter::BlockLength;
constexpr int ProductCount = MemoryImageWriter::ProductCount;
constexpr quint8 ProductsBlock = 32;
constexpr quint8 TemperatureBlock = 33;
constexpr quint8 ProductMark = 0xF0;
constexpr quint8 SugarMark = 0xF2;
constexpr quint8 EndMark = 0xFF;
// A product number without a flag byte keeps sugar, stirrer and cup.
constexpr quint8 AllFlags = 7;
// Reported when the rows of a record run to its end without the closing 0xFF.
constexpr int UnclosedRecordCode = 6;
constexpr int RowX = 200;
constexpr int RowStepY = 40;

using Flags = std::array<quint8, ProductCount>;

quint8 flagOf(const Flags& flags, int number)
{
    return number >= 1 && number <= ProductCount ? flags[std::size_t(number - 1)] : AllFlags;
}

// A step that talks to the line, run through the caller's wrapper when there is one.
bool onTheLine(const COrmiDoc::LineStep& onLine, const std::function<bool()>& step)
{
    return onLine ? onLine(step) : step();
}

int sensibleTemperature(int celsius) { return celsius >= 80 && celsius <= 100 ? celsius : 80; }

void showReading(CGrabador& recorder, int n, int total)
{
    recorder.AsignaLinea2(fw::Application::get().strings().format(COrmiDoc::ReadingProductText, {n}));
    recorder.MuestraProgreso(n * 100 / total);
    recorder.AtiendeMensajes();
}

// The sugar record at the start of record and the 24 flag bytes behind its 0xFF.
bool decodeSugarAndFlags(CSugarCoffee& sugar, QByteArrayView record, Flags& flags)
{
    const int end = sugar.DecodeSugar(record);
    if (end == 0)
        return false;
    for (int i = 0; i < ProductCount; ++i)
        flags[std::size_t(i)] = quint8(record.at(end + 1 + i));
    return true;
}

} // namespace

bool COrmiDoc::decodeClassicRows(QByteArrayView record, const std::function<bool(CDeviceCoffee&)>& onHeader)
{
    qsizetype position = 0;
    while (position < record.size() && quint8(record.at(position)) != EndMark) {
        CDeviceCoffee* row = AddDevice();
        if (!row)
            return true;
        row->SetX(RowX);
        row->SetY(-RowStepY * GetRowCount());
        const int taken = row->DecodeRow(record.sliced(position));
        if (taken == 0)
            return false;
        if (row->IsProductHeader() && !onHeader(*row))
            return false;
        position += taken;
    }
    if (position < record.size())
        return true;
    RowByteCode::ReportDecodeError(UnclosedRecordCode, record, true);
    return false;
}

namespace {

// The records of a T38A machine's data taken apart into the read's document, with its tables.
bool takeApart(MachineReadScratch& scratch, CGrabadorT38A& recorder, const QByteArray& data)
{
    const MachineReadScratch::Tables tables = scratch.readTables();
    return T38AMachineReader(scratch.document(), recorder).Take(data);
}

// The classic read of the machine in that mode into the read's document, with its tables.
bool readClassic(MachineReadScratch& scratch, CGrabador& recorder, int mode)
{
    COrmiDoc& read = scratch.document();
    const MachineReadScratch::Tables tables = scratch.readTables();
    COrmiDoc::ReloadCatalogue(read.GetMachineModel());
    // The line lets the window's events run: a repaint then draws the open document with
    // its own tables.
    const COrmiDoc::LineStep onLine = [&scratch](const std::function<bool()>& step) {
        const MachineReadScratch::Tables open = scratch.openTables();
        return step();
    };
    return mode == 2 ? read.ReadProducts(recorder, onLine) : read.ReadMemoryImage(recorder, onLine);
}

} // namespace

void COrmiDoc::ReadFromMachine()
{
    // One transfer at a time: the one that runs or settles may be reading into this document.
    if (fw::WaitUi::transferRunning())
        return;
    // The read replaces the document: its changes are saved or given up first.
    if (!fw::ProgramWide<fw::SaveChangesHost>::get().SaveModified())
        return;
    // The read fills a document and tables of its own; this one is left alone until the read
    // has run through, and the model chosen for it comes with it.
    MachineReadScratch scratch(*this);
    COrmiDoc& read = scratch.document();
    {
        const MachineReadScratch::Tables tables = scratch.readTables();
        if (!read.SelectMachineModel())
            return;
    }
    SerialPort port;
    fw::WaitUi& wait = fw::WaitUi::get();
    fw::Profile& profile = fw::Application::get().profile();
    if (read.IsT38AFamily()) {
        CGrabadorT38A recorder(wait, profile, fw::Clock::System());
        recorder.AsignaClave(false);
        if (recorder.Conecta(&port)) {
            recorder.AsignaLinea1(ReadingText);
            // The records are taken apart once the line is done with: nothing pumps the
            // window's events meanwhile. The final text and what is kept follow one result.
            QByteArray data;
            if (recorder.LeeTodo(data) && takeApart(scratch, recorder, data))
                scratch.take();
        }
        recorder.Finaliza();
        recorder.CierraEspera();
        return;
    }
    CGrabador recorder(wait, profile, fw::Clock::System(), false);
    recorder.AsignaLinea1(ConnectingText);
    const int mode = recorder.Conecta(&port);
    if (mode == 0)
        return;
    recorder.AsignaLinea1(ReadingText);
    if (readClassic(scratch, recorder, mode))
        scratch.take();
}

bool COrmiDoc::ReadProducts(CGrabador& recorder, const LineStep& onLine)
{
    // Every record is read before any is decoded: the recorder checks each block by the
    // request after it, and hands nothing over before it has stood.
    std::array<std::array<char, RecordLength>, ProductCount + 1> records{};
    quint8 temperature = 0;
    QList<CGrabador::BlockRead> reads;
    for (int i = 0; i <= ProductCount; ++i) {
        CGrabador::BlockRead read{CGrabador::recordAddress(ProductsBlock, quint8(i)), RecordLength,
                                  CGrabador::RecordType, reinterpret_cast<quint8*>(records[std::size_t(i)].data())};
        if (i > 0)
            read.before = [&recorder, i] { showReading(recorder, i + 1, ProductCount + 1); };
        reads.append(read);
    }
    reads.append({CGrabador::recordAddress(TemperatureBlock, 0), 1, CGrabador::RecordType, &temperature});
    if (!onTheLine(onLine, [&] { return recorder.readBlocks(reads); }))
        return false;
    Flags flags;
    flags.fill(AllFlags);
    const auto view = [&records](int i) { return QByteArrayView(records[std::size_t(i)].data(), RecordLength); };
    if (quint8(records[0][0]) == SugarMark && !decodeSugarAndFlags(GetSugar(), view(0), flags))
        return false;
    bool whole = true;
    for (int i = 1; i <= ProductCount && whole; ++i) {
        if (quint8(records[std::size_t(i)][0]) != ProductMark)
            continue;
        whole = decodeClassicRows(view(i), [&flags](CDeviceCoffee& header) {
            const quint8 flag = flagOf(flags, header.GetProductNumber());
            header.SetSelectionNumber(1);
            header.SetSugarFlag(flag & 1);
            header.SetStirrerFlag((flag >> 1) & 1);
            header.SetCupFlag((flag >> 2) & 1);
            return true;
        });
    }
    if (whole)
        SetWorkingTemperature(sensibleTemperature(temperature));
    RenumberProducts();
    ResolveProductNames();
    UpdateAllViews();
    return whole;
}

bool COrmiDoc::ReadMemoryImage(CGrabador& recorder, const LineStep& onLine)
{
    // The image is read whole before it is decoded: the recorder checks each block by the
    // request after it, and hands nothing over before it has stood. The index is read in one
    // piece with the blocks; an entry outside it (a product number above 24) is asked alone.
    constexpr int Blocks = MemoryImageWriter::BlockCount * RecordLength;
    constexpr int Entries = 3 * MemoryImageWriter::BlockCount;
    std::array<quint8, Blocks> blocks{};
    std::array<quint8, Entries> entries{};
    quint8 temperature = 0;
    QList<CGrabador::BlockRead> reads;
    for (int b = 0; b < MemoryImageWriter::BlockCount; ++b) {
        QList<CGrabador::BlockRead> block =
            CGrabador::memoryReads(MemoryImageWriter::FirstBlocks + quint32(RecordLength * b), RecordLength,
                                   blocks.data() + RecordLength * b, CGrabador::RecordType);
        block.first().before = [&recorder, b] { showReading(recorder, b + 1, MemoryImageWriter::BlockCount); };
        reads += block;
    }
    reads += CGrabador::memoryReads(MemoryImageWriter::IndexAddress, Entries, entries.data(), CGrabador::RecordType);
    reads += CGrabador::memoryReads(MemoryImageWriter::TemperatureAddress, 1, &temperature, CGrabador::RecordType);
    if (!onTheLine(onLine, [&] { return recorder.readBlocks(reads); }))
        return false;
    const auto read = [&](quint32 address, int length, quint8* destination) {
        const auto within = [&](quint32 start, int size) {
            return address >= start && address + quint32(length) <= start + quint32(size);
        };
        if (within(MemoryImageWriter::FirstBlocks, Blocks))
            std::copy_n(blocks.data() + (address - MemoryImageWriter::FirstBlocks), length, destination);
        else if (within(MemoryImageWriter::IndexAddress, Entries))
            std::copy_n(entries.data() + (address - MemoryImageWriter::IndexAddress), length, destination);
        else if (within(MemoryImageWriter::TemperatureAddress, 1))
            *destination = temperature;
        else
            return onTheLine(onLine, [&] { return recorder.LeeMemoria(address, length, destination, CGrabador::RecordType); });
        return true;
    };
    return ReadMemoryImage(read, [](int) {});
}

bool COrmiDoc::ReadMemoryImage(const MemoryRead& read, const std::function<void(int block)>& showBlock)
{
    std::array<quint8, RecordLength> block{};
    const QByteArrayView view(reinterpret_cast<const char*>(block.data()), RecordLength);
    Flags flags;
    flags.fill(AllFlags);
    for (int b = 0; b < MemoryImageWriter::BlockCount; ++b) {
        showBlock(b + 1);
        const quint32 address = MemoryImageWriter::FirstBlocks + quint32(RecordLength * b);
        if (!read(address, RecordLength, block.data()))
            return false;
        if (block[0] == SugarMark) {
            if (!decodeSugarAndFlags(GetSugar(), view, flags))
                return false;
            continue;
        }
        if (block[0] != ProductMark)
            continue;
        const bool whole = decodeClassicRows(view, [&](CDeviceCoffee& header) {
            const int number = header.GetProductNumber();
            std::array<quint8, 3> entry{};
            if (!read(MemoryImageWriter::IndexAddress + quint32(3 * number), 3, entry.data()))
                return false;
            header.SetSelectionNumber(entry[2]);
            // Only the sugar flag lives in the image.
            header.SetSugarFlag(flagOf(flags, number) & 1);
            return true;
        });
        if (!whole)
            return false;
    }
    quint8 temperature = 0;
    if (!read(MemoryImageWriter::TemperatureAddress, 1, &temperature))
        return false;
    SetWorkingTemperature(sensibleTemperature(temperature));
    UpdateAllViews();
    return true;
}
