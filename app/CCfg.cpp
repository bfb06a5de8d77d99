#include "app/CCfg.h"

#include "app/CatalogueTextFile.h"
#include "app/DefaultProductNames.h"
#include "app/DispenserFileLine.h"
#include "app/RelayFileReader.h"
#include "db/FormatString.h"
#include "db/LeeDbConfiguraciones.h"
#include "db/LeeDbNombresProductos.h"
#include "fw/Application.h"
#include "fw/MessageBoxes.h"
#include "fw/TextFormat.h"

#include <QDir>

#include <algorithm>

namespace {

// The names of the reader's product-name language into the catalogue; the number stored.
int readProductNames(CCfg& cfg, LeeDbNombresProductos& reader)
{
    int stored = 0;
    QByteArray name;
    int product = 0;
    while (reader.LeeSiguienteNombreProducto(name, product)) {
        // A product index outside the entries is skipped.
        if (cfg.SetProductName(product, name))
            ++stored;
    }
    return stored;
}

// Opens a relay or dispenser file; false after telling the user it is missing.
bool openDeviceFile(CatalogueTextFile& file, const QString& path)
{
    if (file.Open(path))
        return true;
    fw::MessageBoxes::box(
        fw::Application::get().strings().format(CCfg::FileMissingText, {QDir::toNativeSeparators(path)}));
    return false;
}

// A row's estimate as the C library prints it once the program takes its locale from the
// system: with the user's decimal separator.
QString estimateText(const QString& pattern, float value)
{
    QString text = fw::TextFormat::format(pattern, {double(value)});
    const QString separator = GetLocaleDecimalSeparator();
    if (!separator.isEmpty())
        text.replace(QLatin1Char('.'), separator);
    return text;
}

} // namespace

CCfg::CCfg(int typeCount, int rowCount)
    : m_typeCount(qMax(typeCount, 0))
    , m_rowCount(qMax(rowCount, 0))
{
}

bool CCfg::LoadProductNames()
{
    ResizeProductNames();
    LeeDbNombresProductos reader;
    if (readProductNames(*this, reader) == 0) {
        reader.SetProductNameLanguage(LeeDbNombresProductos::FallbackLanguage);
        readProductNames(*this, reader);
    }
    return true;
}

CCfg::LoadResult CCfg::LoadDeviceTypes(int model)
{
    SetModel(model);
    ResetDeviceTypes();
    LeeDbConfiguraciones configurations;
    const QString path = configurations.LeeFicheroReles(model);
    if (path.isEmpty())
        return LoadResult::NoFileNamed;
    SetFlowMeterMark(configurations.UsaPulsosCaudalimetro(model));
    SetListFlagMark(false);
    CatalogueTextFile file;
    if (!openDeviceFile(file, path))
        return LoadResult::FileMissing;
    LeeDbNombresProductos names;
    RelayFileReader relays(GetTypeCount());
    while (const std::optional<QByteArray> line = file.ReadLine()) {
        const std::optional<RelayFileReader::Entry> entry = relays.ReadLine(*line);
        if (!entry)
            continue;
        DeviceTypeRecord record;
        record.name = entry->name;
        record.displayName = names.TraduceNombreRele(entry->name);
        record.code = entry->code;
        record.subCode = entry->subCode;
        record.listFlag = entry->listFlag;
        SetDeviceType(entry->index - 1, record);
    }
    SetListFlagMark(relays.SawListColumn());
    return LoadResult::Loaded;
}

CCfg::LoadResult CCfg::LoadDispenserTable(int model)
{
    ResetDispenserTable();
    const QString path = LeeDbConfiguraciones().LeeFicheroDispensadores(model);
    if (path.isEmpty())
        return LoadResult::NoFileNamed;
    CatalogueTextFile file;
    if (!openDeviceFile(file, path))
        return LoadResult::FileMissing;
    while (const std::optional<QByteArray> line = file.ReadLine()) {
        if (const std::optional<DispenserFileLine> row = DispenserFileLine::Read(*line, GetRowCount()))
            SetDispenserRow(row->dispenser - 1, row->values);
    }
    return LoadResult::Loaded;
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
        return estimateText(QStringLiteral("%3.1f cc"), cc);
    }
    const float rate = GetDispenserRate(record->subCode);
    if (record->code == DeviceTypeRecord::DispenserCode && rate > 0.0f) {
        const float grams = float(activeTime) * rate / 100.0f;
        return estimateText(QStringLiteral("%3.1f gr"), grams);
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
