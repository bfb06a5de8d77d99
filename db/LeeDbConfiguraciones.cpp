#include "db/LeeDbConfiguraciones.h"

#include "db/DAODBConnection.h"
#include "db/FindCatalogueFile.h"
#include "fw/Application.h"
#include "fw/TextFormat.h"

namespace {

// The machine types of the T38A family take their devices from the machine's set-up tables.
bool hasDeviceFiles(int machineType) { return machineType < 5 || machineType > 7; }

// The configuration list is in Spanish for a Spanish user interface, else in English.
int listLanguage()
{
    return fw::Application::get().profile().GetInt(QStringLiteral("Ormi"), QStringLiteral("Idioma"), 0) != 0 ? 2 : 0;
}

} // namespace

LeeDbConfiguraciones::LeeDbConfiguraciones(Mode mode)
    : m_connection(std::make_unique<DAODBConnection>())
    , m_mode(mode)
{
    // Read-only and not exclusive: the machine-model dialog holds two readers at once.
    if (!m_connection->Open(FindCatalogueFile(DatabaseName()), false, true))
        m_connection.reset();
}

LeeDbConfiguraciones::~LeeDbConfiguraciones() = default;

bool LeeDbConfiguraciones::UsaPulsosCaudalimetro(int code)
{
    if (!m_connection)
        return false;
    const std::unique_ptr<DBRecordset> recordset = m_connection->CreateRecordset();
    recordset->Open(fw::TextFormat::format(
                        QStringLiteral("SELECT PULSOS_CAUDALIMETRO FROM TIPOS_MAQUINA WHERE CODIGO=(SELECT "
                                       "TIPO_MAQUINA FROM CONFIGURACIONES WHERE CODIGO=%ld)"),
                        {code}),
                    false);
    return !recordset->IsEOF() && recordset->GetFieldBool(QStringLiteral("PULSOS_CAUDALIMETRO"));
}

QString LeeDbConfiguraciones::LeeNombreConfiguracion(int code)
{
    if (!m_connection)
        return QString();
    const QString machineType = m_connection->QueryString(fw::TextFormat::format(
        QStringLiteral("SELECT DESCRIPCION FROM TIPOS_MAQUINA WHERE CODIGO=(SELECT TIPO_MAQUINA FROM "
                       "CONFIGURACIONES WHERE CODIGO=%ld)"),
        {code}));
    const QString configuration = m_connection->QueryString(
        fw::TextFormat::format(QStringLiteral("SELECT DESCRIPCION FROM CONFIGURACIONES WHERE CODIGO=%ld"), {code}));
    return machineType + QStringLiteral(": ") + configuration;
}

bool LeeDbConfiguraciones::NextListedConfiguration()
{
    const QString sql = fw::TextFormat::format(
        QStringLiteral("SELECT PROTOTIPO,CONFIGURACIONES.CODIGO AS COD_CONF,TIPOS_MAQUINA.DESCRIPCION AS "
                       "TIPO_MAQ,NOMBRES_CONFIGURACIONES.DESCRIPCION AS CONFIGURACION FROM "
                       "CONFIGURACIONES,TIPOS_MAQUINA,NOMBRES_CONFIGURACIONES WHERE "
                       "CONFIGURACIONES.TIPO_MAQUINA=TIPOS_MAQUINA.CODIGO AND "
                       "NOMBRES_CONFIGURACIONES.CODIGO=CONFIGURACIONES.CODIGO AND IDIOMA=%d ORDER BY "
                       "TIPO_MAQUINA,CONFIGURACIONES.CODIGO"),
        {listLanguage()});
    while (m_configurations.Next(*m_connection, sql)) {
        if (m_mode == Mode::Internal || !m_configurations.Row().GetFieldBool(QStringLiteral("PROTOTIPO")))
            return true;
    }
    return false;
}

bool LeeDbConfiguraciones::LeeSiguienteConfiguracion(QString& machineType, QString& configuration, int& code)
{
    if (!m_connection || !NextListedConfiguration())
        return false;
    DBRecordset& row = m_configurations.Row();
    machineType = row.GetFieldString(QStringLiteral("TIPO_MAQ"));
    configuration = row.GetFieldString(QStringLiteral("CONFIGURACION"));
    if (row.GetFieldBool(QStringLiteral("PROTOTIPO")))
        configuration += PrototypeMark();
    code = row.GetFieldLong(QStringLiteral("COD_CONF"));
    return true;
}

QString LeeDbConfiguraciones::LeeFicheroImagen(int code)
{
    if (!m_connection)
        return QString();
    // The stored name as it is: the display form of a text would turn an apostrophe into a
    // backquote.
    const std::unique_ptr<DBRecordset> recordset = m_connection->CreateRecordset();
    recordset->Open(
        fw::TextFormat::format(QStringLiteral("SELECT FICHERO_IMAGEN FROM CONFIGURACIONES WHERE CODIGO=%ld"), {code}),
        false);
    if (recordset->IsEOF())
        return QString();
    return FindCatalogueFile(recordset->GetFieldString(QStringLiteral("FICHERO_IMAGEN")));
}

QString LeeDbConfiguraciones::LeeFicheroDispensadores(int code)
{
    return LeeFicheroDispositivos(code, QStringLiteral("FICHERO_DISPENSADORES"));
}

QString LeeDbConfiguraciones::LeeFicheroReles(int code)
{
    return LeeFicheroDispositivos(code, QStringLiteral("FICHERO_RELES"));
}

QString LeeDbConfiguraciones::LeeFicheroDispositivos(int code, const QString& column)
{
    if (!m_connection)
        return QString();
    const std::unique_ptr<DBRecordset> recordset = m_connection->CreateRecordset();
    recordset->Open(fw::TextFormat::format(
                        QStringLiteral("SELECT TIPO_MAQUINA,%s,PROTOTIPO FROM CONFIGURACIONES WHERE CODIGO=%ld"),
                        {column, code}),
                    false);
    if (recordset->IsEOF() || !hasDeviceFiles(recordset->GetFieldLong(QStringLiteral("TIPO_MAQUINA"))))
        return QString();
    const QString name = recordset->GetFieldString(column);
    if (name.isEmpty())
        return QString();
    return FindCatalogueFile(recordset->GetFieldBool(QStringLiteral("PROTOTIPO")) ? PrototypeFolder() + name : name);
}
