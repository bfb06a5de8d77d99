#include "link/MemoryImageWriter.h"

#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/RowByteCode.h"
#include "fw/Application.h"
#include "fw/ByteWriter.h"
#include "fw/CodePage.h"
#include "fw/MessageBoxes.h"
#include "fw/ProgramWide.h"
#include "fw/StringTable.h"
#include "link/CGrabador.h"

namespace {

constexpr quint8 MemoryType = CGrabador::RecordType;
constexpr int DispensersStep = 1;
constexpr int RelaysStep = 2;
constexpr int ProductStep = 3;
constexpr int SugarStep = 4;
// The order in which a classic machine takes the six columns of a dispenser row.
constexpr int DispenserColumnOrder[] = {0, 2, 3, 4, 5, 1};

QString recording(int step, int n)
{
    return fw::Application::get().strings().format(CGrabador::RecordingText, {COrmiDoc::StepText(step, n)});
}

QByteArray padded(QByteArray data, int length)
{
    data.resize(length, '\0');
    return data;
}

} // namespace

MemoryImageWriter::MemoryImageWriter(COrmiDoc& document, CGrabador& recorder)
    : m_document(document)
    , m_recorder(recorder)
{
}

bool MemoryImageWriter::Run()
{
    if (!collectProducts())
        return false;
    // The last chunk's confirmation must stand before the success is shown.
    if (!erase() || !writeTables() || !writeProducts() || !writeSugarAndSummary() || !m_recorder.settle())
        return false;
    m_recorder.MuestraResultado(COrmiDoc::ConfiguredText);
    return true;
}

bool MemoryImageWriter::collectProducts()
{
    const auto refuse = [](const QString& text) {
        fw::MessageBoxes::box(text, fw::MessageButtons::Ok, fw::MessageIcon::Stop);
        return false;
    };
    const auto refuseProduct = [&](const Product& product, const QByteArray& name) {
        return refuse(fw::Application::get().strings().format(
            ProductRefusedText, {product.number, fw::CodePage::decode(name, fw::CodePage::Ansi)}));
    };
    m_products.clear();
    fw::ByteWriter buffer(BlockLength);
    QByteArray name;
    const auto close = [&]() {
        Product& product = m_products.back();
        RowByteCode::Put(buffer, {RowByteCode::End, quint8(product.number)});
        if (buffer.overflowed())
            return refuseProduct(product, name);
        product.block = padded(buffer.data(), BlockLength);
        return true;
    };
    m_document.StartWalk();
    while (CDeviceCoffee* row = m_document.GetNextRow()) {
        if (row->IsProductHeader()) {
            const int number = row->GetProductNumber();
            if (number < 1 || number > ProductCount)
                return refuse(fw::Application::get().strings().format(NumberOutOfRangeText, {number}));
            if (!m_products.empty() && !close())
                return false;
            buffer = fw::ByteWriter(BlockLength);
            name = row->GetName();
            m_products.push_back({number, row->GetSelectionNumber(), quint8(row->GetSugarFlag() != 0 ? 1 : 0),
                                  row->GetStirrerFlag() == 0 || row->GetCupFlag() == 0, {}});
        }
        // Rows above the first header belong to no product.
        if (m_products.empty())
            continue;
        if (row->EncodeRowStandard(buffer) == 0)
            return refuseProduct(m_products.back(), name);
    }
    return m_products.empty() || close();
}

bool MemoryImageWriter::write(quint32 address, QByteArrayView bytes)
{
    return m_recorder.EscribeMemoria(address, int(bytes.size()), reinterpret_cast<const quint8*>(bytes.data()),
                                     MemoryType);
}

bool MemoryImageWriter::writeBoth(int block, QByteArrayView bytes)
{
    return write(FirstBlocks + quint32(BlockLength * block), bytes) &&
           write(SecondBlocks + quint32(BlockLength * block), bytes);
}

void MemoryImageWriter::status(const QString& line2)
{
    m_recorder.AsignaLinea2(line2);
    m_recorder.AtiendeMensajes();
}

bool MemoryImageWriter::erase()
{
    m_recorder.AsignaLinea1(COrmiDoc::ConfiguringText);
    status(fw::Application::get().strings().text(ErasingText));
    // Every block of the first copy, so no product of an earlier write stays behind.
    const QByteArray zeros(BlockLength, '\0');
    for (int i = 0; i < BlockCount; ++i) {
        m_recorder.MuestraProgreso((i + 1) * 100 / BlockCount);
        if (!write(FirstBlocks + quint32(BlockLength * i), zeros))
            return false;
    }
    return true;
}

bool MemoryImageWriter::writeTables()
{
    const CCfg& cfg = fw::ProgramWide<CCfg>::get();
    m_recorder.MuestraProgreso(0);
    status(recording(DispensersStep, 0));
    for (int i = 0; i < DispenserRows; ++i) {
        QByteArray row;
        for (int column : DispenserColumnOrder)
            row += char(cfg.GetDispenserTable().value(i, column).value_or(0));
        if (!write(DispenserAddress + quint32(6 * i), row))
            return false;
    }
    status(recording(RelaysStep, 0));
    for (int i = 0; i < DeviceTypeEntries; ++i) {
        const DeviceTypeRecord* type = cfg.GetDeviceType(i);
        const char entry[] = {char(i + 1), char(type ? type->code : 0), char(type ? type->subCode : 0)};
        if (!write(DeviceTypeAddress + quint32(3 * i), QByteArrayView(entry, sizeof entry)))
            return false;
    }
    return true;
}

bool MemoryImageWriter::writeProducts()
{
    for (std::size_t k = 0; k < m_products.size(); ++k) {
        const Product& product = m_products[k];
        status(recording(ProductStep, product.number));
        m_recorder.MuestraProgreso(int(k + 1) * 100 / ProductCount);
        if (product.noStirrerOrCup)
            status(fw::Application::get().strings().text(NoStirrerOrCupText));
        const quint32 block = FirstBlocks + quint32(BlockLength * product.number);
        const char entry[] = {char(block >> 8), char(block & 0xFF), char(product.selection)};
        if (!write(IndexAddress + quint32(3 * product.number), QByteArrayView(entry, sizeof entry)) ||
            !writeBoth(product.number, product.block))
            return false;
    }
    return true;
}

bool MemoryImageWriter::writeSugarAndSummary()
{
    status(recording(SugarStep, 0));
    m_recorder.MuestraProgreso(0);
    fw::ByteWriter sugar(BlockLength);
    m_document.GetSugar().EncodeSugar(sugar);
    QByteArray flags(ProductCount, '\0');
    for (const Product& product : m_products)
        flags[product.number - 1] = char(product.sugarFlag);
    sugar.bytes(flags);
    const char sugarEntry[] = {0x10, 0x00, 0x00};
    const char count = char(m_products.size());
    const char blockLength = char(BlockLength);
    const char temperature = char(m_document.GetWorkingTemperature());
    return writeBoth(0, padded(sugar.data(), BlockLength)) &&
           write(IndexAddress, QByteArrayView(sugarEntry, sizeof sugarEntry)) &&
           write(ProductCountAddress, QByteArrayView(&count, 1)) &&
           write(BlockLengthAddress, QByteArrayView(&blockLength, 1)) &&
           write(TemperatureAddress, QByteArrayView(&temperature, 1));
}
