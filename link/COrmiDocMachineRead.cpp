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
    const auto onLine = [&scratch](const auto& step) {
        const MachineReadScratch::Tables open = scratch.openTables();
        return step();
    };
    if (mode == 2) {
        return read.ReadProducts(
            [&](quint8 blockId, quint8 field, int length, quint8* destination) {
                return onLine([&] { return recorder.LeeRegistro(blockId, field, length, destination); });
            },
            [&](int record) { onLine([&] { return showReading(recorder, record, ProductCount + 1); }); });
    }
    return read.ReadMemoryImage(
        [&](quint32 address, int length, quint8* destination) {
            return onLine([&] { return recorder.LeeMemoria(address, length, destination, CGrabador::RecordType); });
        },
        [&](int block) { onLine([&] { return showReading(recorder, block, MemoryImageWriter::BlockCount); }); });
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

bool COrmiDoc::ReadProducts(CGrabador& recorder)
{
    return ReadProducts(
        [&recorder](quint8 blockId, quint8 field, int length, quint8* destination) {
            return recorder.LeeRegistro(blockId, field, length, destination);
        },
        [&recorder](int record) { showReading(recorder, record, ProductCount + 1); });
}

bool COrmiDoc::ReadProducts(const RecordRead& readRecord, const std::function<void(int record)>& showRecord)
{
    std::array<char, RecordLength> record{};
    const auto read = [&](quint8 block, quint8 field, int length) {
        return readRecord(block, field, length, reinterpret_cast<quint8*>(record.data()));
    };
    const QByteArrayView view(record.data(), RecordLength);
    if (!read(ProductsBlock, 0, RecordLength))
        return false;
    Flags flags;
    flags.fill(AllFlags);
    if (quint8(record[0]) == SugarMark && !decodeSugarAndFlags(GetSugar(), view, flags))
        return false;
    bool whole = true;
    for (int i = 1; i <= ProductCount && whole; ++i) {
        showRecord(i + 1);
        if (!read(ProductsBlock, quint8(i), RecordLength))
            return false;
        if (quint8(record[0]) != ProductMark)
            continue;
        whole = decodeClassicRows(view, [&flags](CDeviceCoffee& header) {
            const quint8 flag = flagOf(flags, header.GetProductNumber());
            header.SetSelectionNumber(1);
            header.SetSugarFlag(flag & 1);
            header.SetStirrerFlag((flag >> 1) & 1);
            header.SetCupFlag((flag >> 2) & 1);
            return true;
        });
    }
    if (whole) {
        if (!read(TemperatureBlock, 0, 1))
            return false;
        SetWorkingTemperature(sensibleTemperature(quint8(record[0])));
    }
    RenumberProducts();
    ResolveProductNames();
    UpdateAllViews();
    return whole;
}

bool COrmiDoc::ReadMemoryImage(CGrabador& recorder)
{
    const auto read = [&recorder](quint32 address, int length, quint8* destination) {
        return recorder.LeeMemoria(address, length, destination, CGrabador::RecordType);
    };
    return ReadMemoryImage(read, [&recorder](int block) { showReading(recorder, block, MemoryImageWriter::BlockCount); });
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
