#include "link/ProgramCompiler.h"

#include "app/CCfg.h"
#include "app/COrmiDoc.h"
#include "app/MachineModel.h"
#include "app/ProductDlgData.h"
#include "app/ProductNameEncoding.h"
#include "app/RowByteCode.h"
#include "app/SetupT38A.h"
#include "fw/Application.h"
#include "fw/CodePage.h"
#include "fw/MessageBoxes.h"
#include "fw/ProgramWide.h"
#include "link/ExportarProgramacion.h"
#include "link/PackedBcd.h"

#include <QStringList>

namespace {

// A product number without a header keeps sugar, stirrer and cup.
constexpr quint8 AllFlags = 7;
// The order in which a classic machine takes the six columns of a dispenser row.
constexpr int DispenserColumnOrder[] = {0, 2, 3, 4, 5, 1};
constexpr int DispensersStep = 1;
constexpr int RelaysStep = 2;
constexpr int ProductStep = 3;
// The set-up dialog's column titles, which name a value the machine cannot take.
constexpr int MilligramsColumnText = 225;
constexpr int SpeedColumnText = 230;

fw::StringTable& strings() { return fw::Application::get().strings(); }

QByteArray padded(QByteArray data, int length)
{
    data.resize(length, '\0');
    return data;
}

quint8 flagByte(const CDeviceCoffee& header)
{
    return quint8((header.GetSugarFlag() != 0 ? 1 : 0) | (header.GetStirrerFlag() != 0 ? 2 : 0) |
                  (header.GetCupFlag() != 0 ? 4 : 0));
}

} // namespace

// The document's compile step lives beside the compiler: it builds on the exporter
// interface of the link, and the document's own library must not depend on the link.
bool COrmiDoc::CompileProgram(ExportarProgramacion& exporter) { return ProgramCompiler(*this, exporter).Run(); }

ProgramCompiler::ProgramCompiler(COrmiDoc& document, ExportarProgramacion& exporter)
    : m_document(document)
    , m_exporter(exporter)
    , m_t38a(document.IsT38AFamily())
    , m_shift(fw::ProgramWide<SetupT38A>::get().IsShifted())
{
}

bool ProgramCompiler::Run()
{
    if (m_t38a) {
        if (!CheckT38AValues())
            return false;
        WarnOfCutNames();
    }
    m_exporter.MuestraProgreso(0);
    m_exporter.MuestraMensaje(COrmiDoc::StepText(DispensersStep, 0));
    const bool sent = (m_t38a ? SendT38ASetup() : SendClassicTables()) && SendProducts() &&
                      (m_t38a ? SendT38ASugarFlagsAndFillers() : SendClassicSugarAndFlags());
    if (!sent)
        return false;
    m_exporter.EscribeByte(quint8(Block(MachineModel::Temperature)), 0,
                           quint8(m_document.GetWorkingTemperature()), 1);
    return true;
}

bool ProgramCompiler::CheckT38AValues() const
{
    const SetupT38A& setup = fw::ProgramWide<SetupT38A>::get();
    const int rows = SetupT38A::GetRowCount(quint32(m_document.GetProgramFamily()));
    const auto fits = [](int value, int digits) { return value >= 0 && quint64(value) <= highestBcdValue(digits); };
    const auto refuse = [](const QString& refusal) {
        fw::MessageBoxes::box(refusal, fw::MessageButtons::Ok, fw::MessageIcon::Stop);
        return false;
    };
    const auto refuseSetup = [&](int row, int columnText, int value) {
        return refuse(strings().format(SetupValueRefusedText, {row, strings().text(columnText), value,
                                                               highestBcdValue(SetupT38A::BcdDigits)}));
    };
    // The rows whose values SendT38ASetup sends.
    for (int i = 1; i <= rows; ++i) {
        const int milligrams = setup.GetSetupRow(i)->mgPerTurn;
        if (!fits(milligrams, SetupT38A::BcdDigits))
            return refuseSetup(i, MilligramsColumnText, milligrams);
    }
    for (int i = 2; i <= rows; ++i) {
        const int speed = setup.GetSetupRow(i)->whipSpeed;
        if (!fits(speed, SetupT38A::BcdDigits))
            return refuseSetup(i, SpeedColumnText, speed);
    }
    const int temperature = m_document.GetWorkingTemperature();
    if (!fits(temperature, TemperatureDigits))
        return refuse(strings().format(TemperatureRefusedText, {temperature, highestBcdValue(TemperatureDigits)}));
    return true;
}

void ProgramCompiler::WarnOfCutNames()
{
    QStringList cut;
    const auto note = [&cut](const QByteArray& name, int kept) {
        const QByteArray whole(name.constData()); // the machine takes a name up to a zero byte
        if (whole.size() > kept)
            cut.append(QStringLiteral("\"%1\"").arg(fw::CodePage::decode(whole, fw::CodePage::Ansi)));
    };
    const SetupT38A& setup = fw::ProgramWide<SetupT38A>::get();
    const int rows = SetupT38A::GetRowCount(quint32(m_document.GetProgramFamily()));
    for (int i = 0; i < rows; ++i) {
        const int product = setup.GetSetupRow(i)->productIndex;
        if (product != SetupT38A::NoProduct)
            note(setup.GetName2(product), SetupT38A::MachineNameLength);
    }
    m_document.StartWalk();
    while (const CDeviceCoffee* row = m_document.GetNextRow()) {
        if (row->IsProductHeader())
            note(row->GetName(), RowByteCode::T38ANameLength);
    }
    if (!cut.isEmpty())
        fw::MessageBoxes::box(strings().format(NamesCutText, {cut.join(QLatin1Char('\n'))}), fw::MessageButtons::Ok,
                              fw::MessageIcon::Warning);
}

bool ProgramCompiler::SendClassicTables()
{
    const CCfg& cfg = fw::ProgramWide<CCfg>::get();
    for (int i = 0; i < DispenserRows; ++i) {
        QByteArray payload;
        for (int column : DispenserColumnOrder)
            payload += char(cfg.GetDispenserTable().value(i, column).value_or(0));
        if (!Send(MachineModel::SetupNames, i, payload))
            return false;
    }
    m_exporter.MuestraMensaje(COrmiDoc::StepText(RelaysStep, 0));
    for (int i = 0; i < cfg.CountNamedTypes(); ++i) {
        const DeviceTypeRecord* type = cfg.GetDeviceType(i);
        const char payload[] = {char(i + 1), char(type ? type->code : 0), char(type ? type->subCode : 0)};
        if (!Send(MachineModel::DeviceTypes, i, QByteArrayView(payload, sizeof payload)))
            return false;
    }
    return true;
}

bool ProgramCompiler::SendT38ASetup()
{
    const SetupT38A& setup = fw::ProgramWide<SetupT38A>::get();
    const int rows = SetupT38A::GetRowCount(quint32(m_document.GetProgramFamily()));

    fw::ByteWriter documentName(PayloadCapacity);
    SetupT38A::AppendFileChecksum(documentName, fw::CodePage::encodeLossy(m_document.GetTitle(), fw::CodePage::Ansi),
                                  m_document.GetPathName());
    if (!Send(MachineModel::DocumentName, 0, documentName.data()))
        return false;

    // With the shift the containers are numbered from 0 and those without a product are
    // left out; without it such a container is sent with an empty name.
    for (int i = 1; i <= rows; ++i) {
        const int product = setup.GetSetupRow(i - 1)->productIndex;
        if (m_shift && product == SetupT38A::NoProduct)
            continue;
        if (!Send(MachineModel::SetupNames, ContainerField(i), setup.CopyMachineName(product)))
            return false;
    }
    for (int i = 1; i <= rows; ++i) {
        if (!Send(MachineModel::MilligramsPerTurn, ContainerField(i), setup.GetMgPerTurnBcd(i)))
            return false;
    }
    for (int i = 2; i <= rows; ++i) {
        if (!Send(MachineModel::WhippingSpeed, ContainerField(i), setup.GetWhipSpeedBcd(i)))
            return false;
    }
    return true;
}

bool ProgramCompiler::SendProducts()
{
    m_flags.fill(AllFlags);
    fw::ByteWriter buffer(ProductCapacity());
    bool headerMet = false;
    m_document.StartWalk();
    while (CDeviceCoffee* row = m_document.GetNextRow()) {
        if (row->IsProductHeader()) {
            const int number = row->GetProductNumber();
            m_exporter.MuestraMensaje(COrmiDoc::StepText(ProductStep, number));
            m_exporter.MuestraProgreso((number + 1) * 100 / 25);
            if (headerMet && !SendProduct(buffer))
                return false;
            buffer = fw::ByteWriter(ProductCapacity());
            m_currentNumber = number;
            m_currentName = row->GetName();
            headerMet = true;
            m_exporter.AsignaProducto(number, row->GetName());
            if (number >= 1 && number <= FlagCount)
                m_flags[std::size_t(number - 1)] = flagByte(*row);
        }
        // Rows above the first header belong to no product and are not sent.
        if (!headerMet)
            continue;
        const int length = m_t38a ? row->EncodeRowT38A(buffer, m_shift) : row->EncodeRowStandard(buffer);
        if (length == 0) {
            RefuseProduct();
            return false;
        }
    }
    return !headerMet || SendProduct(buffer);
}

bool ProgramCompiler::SendProduct(fw::ByteWriter& buffer)
{
    // The record's field is the low byte of the product number.
    const quint8 field = quint8(m_currentNumber);
    RowByteCode::Put(buffer, {RowByteCode::End, field});
    // A classic product is never sent without its closing pair.
    if (buffer.overflowed()) {
        RefuseProduct();
        return false;
    }
    const QByteArray payload = m_t38a ? buffer.data() : padded(buffer.data(), ClassicRecordLength);
    if (!Send(MachineModel::Products, field, payload))
        return false;
    if (field >= 1 && field <= FlagCount)
        m_sent.set(field);
    return true;
}

bool ProgramCompiler::SendClassicSugarAndFlags()
{
    fw::ByteWriter buffer(ClassicRecordLength);
    m_document.GetSugar().EncodeSugar(buffer);
    // Flags of product numbers 25..30 never go to a classic machine.
    buffer.bytes(QByteArrayView(reinterpret_cast<const char*>(m_flags.data()), ClassicFlagCount));
    return Send(MachineModel::Products, 0, padded(buffer.data(), ClassicRecordLength));
}

bool ProgramCompiler::SendT38ASugarFlagsAndFillers()
{
    fw::ByteWriter sugar(PayloadCapacity);
    m_document.GetSugar().EncodeSugar(sugar);
    if (!Send(MachineModel::SugarTimes, 0, sugar.data()))
        return false;
    for (int i = 1; i <= FlagCount; ++i)
        m_exporter.EscribeByte(quint8(Block(MachineModel::ProductFlags)), quint8(i), m_flags[std::size_t(i - 1)], 1);
    // Every product field the document did not fill is cleared on the machine.
    for (int number = 1; number <= FlagCount; ++number) {
        if (!m_sent.test(std::size_t(number)) && !SendFiller(number))
            return false;
    }
    return true;
}

bool ProgramCompiler::SendFiller(int productNumber)
{
    ProductDlgData record;
    record.productNumber = productNumber;
    record.selectionNumber = productNumber;
    record.name = FillerProductName;
    record.sugarFlag = 1;
    record.stirrerFlag = 1;
    record.cupFlag = 1;
    record.t38aFlag = true;
    CDeviceCoffee filler;
    filler.FillFromProductDlg(record);
    fw::ByteWriter buffer(PayloadCapacity);
    filler.EncodeRowT38A(buffer, m_shift);
    RowByteCode::Put(buffer, {RowByteCode::End, quint8(productNumber)});
    return Send(MachineModel::Products, productNumber, buffer.data());
}

bool ProgramCompiler::Send(int kind, int field, QByteArrayView payload)
{
    return m_exporter.EscribeDatos(quint8(Block(kind)), quint8(field), payload);
}

int ProgramCompiler::ContainerField(int row) const { return m_shift ? row - 1 : row; }

int ProgramCompiler::Block(int kind) const { return m_document.GetBlockCode(kind); }

int ProgramCompiler::ProductCapacity() const { return m_t38a ? PayloadCapacity : ClassicRecordLength; }

void ProgramCompiler::RefuseProduct() const
{
    const QString name = fw::CodePage::decode(m_currentName, fw::CodePage::Ansi);
    fw::MessageBoxes::box(fw::Application::get().strings().format(ProductRefusedText, {m_currentNumber, name}),
                          fw::MessageButtons::Ok, fw::MessageIcon::Stop);
}
