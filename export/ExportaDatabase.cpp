#include "export/ExportaDatabase.h"

#include "db/DAODBConnection.h"
#include "db/DBException.h"
#include "db/FormatString.h"
#include "db/LeeDbNombresProductos.h"
#include "db/OleDateTime.h"
#include "export/ExportOptionsDialogHost.h"
#include "export/Maquina.h"
#include "fw/Application.h"
#include "fw/Clock.h"
#include "fw/MessageBoxes.h"
#include "fw/TextFormat.h"
#include "fw/Windows1252.h"

#include <array>
#include <limits>
#include <optional>

using fw::TextFormat;

namespace {

// One row of the machine-type table of the export.
struct TypeRow {
    int machineType;
    int optionConfiguration;  // written when an option is chosen
    int completeConfiguration; // when every selection was exported
    int selections;
    int unionOptionType;
};

constexpr std::array<TypeRow, 4> TypeTable{{
    {42, 51, 59, 18, 12},
    {87, 234, 234, 15, 31},
    {95, 254, 254, 20, 31},
    {100, 267, 267, 20, 31},
}};

// Key number of each selection 1..18 of machine type 42.
constexpr std::array<int, 18> ClassicKeys{2, 3, 4, 5, 6, 14, 10, 11, 15, 12, 8, 9, 16, 7, 13, 19, 17, 18};

const TypeRow* typeRow(int machineType)
{
    for (const TypeRow& row : TypeTable) {
        if (row.machineType == machineType)
            return &row;
    }
    return nullptr;
}

constexpr int NoModel = 9999;
constexpr int ProductCodeLimit = 9998;
constexpr int FamilyCodeLimit = 9999;

QString text(int id) { return fw::Application::get().strings().text(id); }

void showText(int id) { fw::MessageBoxes::box(text(id)); }

QString sqlText(const QString& value) { return FormatString::EscapeSqlText(value); }

} // namespace

ExportaDatabase::ExportaDatabase(int machineType, ExportOptionsDialogHost& options, fw::Clock& clock)
    : m_machineType(machineType)
    , m_options(options)
    , m_clock(clock)
{
}

ExportaDatabase::~ExportaDatabase()
{
    // Whatever was not committed is not kept; the layer reports a failed rollback.
    if (m_connection && m_connection->IsOpen() && m_connection->GetTransDepth() > 0)
        m_connection->Rollback();
}

QString ExportaDatabase::now() const
{
    return m_connection->FormatDateLiteral(OleDateTime::FromDateTime(m_connection->Clock().CurrentDateTime()), false);
}

bool ExportaDatabase::AbreExportacion()
{
    return openDatabase() && guarded([this] { return addMachineOfType(); }) && chooseMachine()
        && guarded([this] { return prepareMachine(); });
}

bool ExportaDatabase::openDatabase()
{
    const QString path = fw::Application::get().profile().GetString(QStringLiteral("Configuracion"),
                                                                     QStringLiteral("Database"), QString());
    if (path.isEmpty()) {
        showText(NoDatabaseText);
        return false;
    }
    try {
        auto connection = std::make_unique<DAODBConnection>();
        connection->SetClock(m_clock);
        if (!connection->Open(path, true, false)) {
            showText(NoDatabaseText);
            return false;
        }
        m_connection = std::move(connection);
    } catch (const DBException& e) {
        fw::MessageBoxes::box(fw::Application::get().strings().format(OpenErrorText, {e.GetErrorMessage()}));
        return false;
    }
    return true;
}

bool ExportaDatabase::addMachineOfType()
{
    int model = m_connection->QueryInt(TextFormat::format(
        QStringLiteral("SELECT MAX(CODIGO) FROM MODELO_MAQUINA WHERE TIPO_MAQUINA=%d AND VERSION_DEFECTO<>0"),
        {m_machineType}));
    if (model == -1) {
        model = m_connection->QueryInt(
            TextFormat::format(QStringLiteral("SELECT MAX(CODIGO) FROM MODELO_MAQUINA WHERE TIPO_MAQUINA=%d "), {m_machineType}));
    }
    if (model == -1)
        model = NoModel;
    if (m_connection->Exists(TextFormat::format(QStringLiteral("SELECT CODIGO FROM MAQUINAS WHERE TIPO=%d"), {m_machineType})))
        return true;

    // Kept by itself: the user gives it a site, so that the dialog lists it in the next export.
    // Its own transaction, so that a trigger that refuses it after the insert leaves no row.
    const long code = qMax(m_connection->QueryInt(QStringLiteral("SELECT MAX(CODIGO) FROM MAQUINAS")), 0) + 1;
    if (!m_connection->BeginTrans())
        return false;
    const int inserted = m_connection->Execute(TextFormat::format(
        QStringLiteral("INSERT INTO MAQUINAS (CODIGO,TIPO,DIVISA,MODO_COM,MODELO,CONFIGURACION) VALUES "
                       "(%ld,%d,%s,5,%d,51)"),
        {code, m_machineType, Maquina::profileCurrency(), model}));
    if (inserted < 1)
        return false; // the destructor rolls it back
    if (!m_connection->CommitTrans())
        return false;
    m_addedMachine = code;
    return true;
}

bool ExportaDatabase::chooseMachine()
{
    ExportaZentroluxDlgData options(m_machineType, m_connection.get());
    if (!m_options.Run(options) || options.machineCode == 0)
        return false;
    m_machineCode = qint32(options.machineCode);
    m_exportProducts = quint8(options.ExportarProds);
    m_exportUnion = quint8(options.ExportarUnion);
    return true;
}

bool ExportaDatabase::prepareMachine()
{
    // Nothing from here on is kept unless the export runs through.
    if (!m_connection->BeginTrans())
        return false;
    if (!m_exportProducts && !m_exportUnion)
        return true;

    const TypeRow* row = typeRow(m_machineType);
    const int configuration = row ? row->optionConfiguration : TypeTable.front().optionConfiguration;
    const int updated = m_connection->Execute(TextFormat::format(
        QStringLiteral("UPDATE MAQUINAS SET CONFIGURACION=%d WHERE CODIGO=%ld"), {configuration, long(m_machineCode)}));
    if (updated == 0) {
        showText(OutdatedDatabaseText);
        return false;
    }
    Maquina(m_machineCode, m_connection.get()).RehaceCanales();
    return true;
}

bool ExportaDatabase::guarded(const std::function<bool()>& step)
{
    if (m_ended || !m_connection)
        return false;
    std::optional<DBException> failure;
    {
        const DBConnection::ThrowModeScope throwing(*m_connection);
        try {
            return step();
        } catch (const DBException& e) {
            failure = e;
        }
    }
    endAt(*failure);
    return false;
}

void ExportaDatabase::endAt(const DBException& failure)
{
    m_ended = true;
    const bool unusable = m_connection->LastErrorUnusable();
    // Before the user is told, so that the database is as it was while the box is up.
    if (m_connection->GetTransDepth() > 0)
        m_connection->Rollback();
    fw::MessageBoxes::box(failure.GetErrorMessage());
    if (unusable)
        showText(NoDatabaseText);
    else if (m_addedMachine)
        fw::MessageBoxes::box(fw::Application::get().strings().format(NewMachineKeptText, {*m_addedMachine}));
    else
        showText(NotExportedText);
}

bool ExportaDatabase::EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload)
{
    return guarded([&] { return writeOption(blockId, field, payload); });
}

bool ExportaDatabase::writeOption(quint8 blockId, quint8 field, QByteArrayView payload)
{
    const int option = m_connection->QueryInt(TextFormat::format(
        QStringLiteral("SELECT NUMERO_OPCION FROM TIPOS_OPCIONES WHERE NUMERO_TIPO=%d AND DIRECCION=%d AND CAMPO=%d "),
        {m_machineType, int(blockId), int(field)}));
    if (option == -1) {
        m_ended = true;
        fw::MessageBoxes::box(fw::Application::get().strings().format(OptionNotFoundText, {int(blockId), int(field)}));
        return false;
    }
    QString value;
    if (payload.size() == 1) {
        value = QString::number(quint8(payload.front()));
    } else {
        for (const char byte : payload)
            value += QStringLiteral("%1").arg(quint8(byte), 2, 16, QLatin1Char('0')).toUpper();
    }
    const int updated = m_connection->Execute(TextFormat::format(
        QStringLiteral("UPDATE OPCIONES_MAQUINAS SET VALOR='%s',DIRTY=1,FECHA_CAMBIO=%s WHERE CODIGO=%ld AND NUMERO=%ld"),
        {sqlText(value), now(), long(m_machineCode), long(option)}));
    if (updated == 0) {
        m_connection->Execute(TextFormat::format(
            QStringLiteral("INSERT INTO OPCIONES_MAQUINAS (VALOR,DIRTY,FECHA_CAMBIO,CODIGO,NUMERO) VALUES "
                           "('%s',1,%s,%ld,%ld) "),
            {sqlText(value), now(), long(m_machineCode), long(option)}));
    }
    return true;
}

bool ExportaDatabase::EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32)
{
    const char byte = char(value);
    return EscribeDatos(blockId, field, QByteArrayView(&byte, 1));
}

void ExportaDatabase::MuestraMensaje(const QString&) {}

void ExportaDatabase::MuestraProgreso(qint32) {}

void ExportaDatabase::AsignaProducto(qint32 productNumber, const QByteArray& name)
{
    m_lastProduct = productNumber;
    if (!m_exportProducts || !m_connection || m_ended)
        return;
    QString productName = fw::Windows1252::decode(name).trimmed();
    productName.replace(QLatin1Char('\''), QLatin1Char(' '));
    productName = productName.toUpper();
    if (productName.isEmpty())
        return;

    QString description;
    QString picture;
    // A reader of its own for each product, as the catalogue may change in between; once it
    // could not be read, the products go by their names without a word more.
    if (!m_catalogueFailed) {
        LeeDbNombresProductos names;
        m_catalogueFailed = !names.LeeDescripcionProducto(fw::Windows1252::encode(productName), description, picture);
    }
    if (description.isEmpty())
        description = productName;
    guarded([&] {
        exportProduct(productNumber, description, productName, picture);
        return true;
    });
}

void ExportaDatabase::exportProduct(qint32 productNumber, const QString& description, const QString& name,
                                    const QString& picture)
{
    const int product = findOrCreateProduct(description, name);
    setPicture(product, picture);
    m_connection->Execute(TextFormat::format(
        QStringLiteral("UPDATE CANALES_MAQUINAS SET PRODUCTO_CANAL=%d WHERE CODIGO=%ld AND NUMERO='%s'"),
        {product, long(m_machineCode), sqlText(Maquina::ObtenNombreCanal(productNumber, m_machineType))}));
}

int ExportaDatabase::findOrCreateProduct(const QString& description, const QString& name)
{
    const QString byDescription = QStringLiteral("SELECT CODIGO FROM PRODUCTOS WHERE DESCRIPCION='%s'");
    int product = m_connection->QueryInt(TextFormat::format(byDescription, {sqlText(description)}));
    if (product == -1)
        product = m_connection->QueryInt(TextFormat::format(byDescription, {sqlText(name)}));
    if (product != -1)
        return product;
    product = freeCode(QStringLiteral("SELECT MAX(CODIGO) FROM PRODUCTOS WHERE CODIGO<%d"), ProductCodeLimit, 0, 1);
    const int family = ObtenFamiliaProductos();
    m_connection->Execute(TextFormat::format(
        QStringLiteral("INSERT INTO PRODUCTOS (CODIGO,DESCRIPCION,FAMILIA) VALUES (%ld,'%s',%d)"),
        {long(product), sqlText(description), family}));
    return product;
}

int ExportaDatabase::freeCode(const QString& maxBelow, int limit, int noRow, int lowest)
{
    for (;;) {
        int highest = m_connection->QueryInt(TextFormat::format(maxBelow, {limit}));
        if (highest == -1)
            highest = noRow;
        --limit;
        // The code just below the old limit is in use: look further down.
        if (highest == limit)
            continue;
        const int code = highest + 1;
        if (code >= lowest)
            return code;
    }
}

void ExportaDatabase::setPicture(int product, QString picture)
{
    const QString drawing = m_connection->QueryString(
        TextFormat::format(QStringLiteral("SELECT FILE_DRAW FROM PRODUCTOS WHERE CODIGO=%ld"), {long(product)}));
    if (!drawing.isEmpty() || picture.isEmpty())
        return;
    if (m_machineType == 87) {
        // The T38A pictures are the same files with "T38A" one character into their name.
        const qsizetype folder = picture.indexOf(QStringLiteral("CAFE\\"));
        const qsizetype at = folder >= 0 ? folder + 6 : 5;
        picture.insert(qMin(at, picture.size()), QStringLiteral("T38A"));
    }
    m_connection->Execute(TextFormat::format(QStringLiteral("UPDATE PRODUCTOS SET FILE_DRAW='%s' WHERE CODIGO=%ld"),
                                             {sqlText(picture), long(product)}));
}

int ExportaDatabase::ObtenFamiliaProductos()
{
    const int family = m_connection->QueryInt(QStringLiteral("SELECT CODIGO FROM FAMILIA_PRODUCTOS WHERE NOMBRE='CAFE'"));
    if (family != -1)
        return family;
    const int code = freeCode(QStringLiteral("SELECT MAX(CODIGO) FROM FAMILIA_PRODUCTOS WHERE CODIGO<%d"), FamilyCodeLimit, -1,
                              std::numeric_limits<int>::min());
    m_connection->Execute(
        TextFormat::format(QStringLiteral("INSERT INTO FAMILIA_PRODUCTOS (CODIGO,NOMBRE) VALUES (%ld,'CAFE')"), {long(code)}));
    return code;
}

bool ExportaDatabase::FinalizaExportacion()
{
    if (!m_exportUnion)
        return true;
    if (m_lastProduct == -1)
        return false;
    return guarded([this] { return finishUnion(); });
}

bool ExportaDatabase::finishUnion()
{
    const TypeRow* row = typeRow(m_machineType);
    if (!row)
        return false;
    if (m_lastProduct == row->selections) {
        m_connection->Execute(TextFormat::format(QStringLiteral("UPDATE MAQUINAS SET CONFIGURACION=%ld WHERE CODIGO=%ld"),
                                                 {long(row->completeConfiguration), long(m_machineCode)}));
    }
    const int base = m_connection->QueryInt(TextFormat::format(
        QStringLiteral("SELECT NUMERO_OPCION FROM TIPOS_OPCIONES WHERE TIPO=%d AND NUMERO_TIPO=%d AND INDEX=1"),
        {row->unionOptionType, m_machineType}));
    if (base == -1)
        return false;
    m_lastProduct = qMin(m_lastProduct, row->selections);
    for (int i = 1; i <= m_lastProduct; ++i) {
        if (m_machineType == 42) {
            const int key = ClassicKeys[std::size_t(i - 1)];
            writeUnionOption(base + key - 2, QString::asprintf("T%02dC%02d", key, i));
        } else if (m_machineType == 87) {
            writeUnionOption(base + i - 1, QString::asprintf("C%02dT%02d", i, i));
        }
    }
    Maquina(m_machineCode, m_connection.get()).RehaceTeclasCanal();
    return true;
}

void ExportaDatabase::writeUnionOption(long option, const QString& value)
{
    m_connection->Execute(TextFormat::format(QStringLiteral("DELETE FROM OPCIONES_MAQUINAS WHERE CODIGO=%ld AND NUMERO=%ld"),
                                             {long(m_machineCode), option}));
    m_connection->Execute(TextFormat::format(
        QStringLiteral("INSERT INTO OPCIONES_MAQUINAS (CODIGO,NUMERO,VALOR,DIRTY,FECHA_CAMBIO ) VALUES (%ld,%ld,'%s',1,%s) "),
        {long(m_machineCode), option, sqlText(value), now()}));
}

bool ExportaDatabase::commitExport()
{
    const bool kept = guarded([this] {
        Maquina(m_machineCode, m_connection.get()).CreaPreciosCanales();
        return m_connection->CommitTrans();
    });
    if (kept)
        showText(ExportedText);
    return kept;
}
