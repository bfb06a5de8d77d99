#include "db/LeeDbNombresProductos.h"

#include "db/DAODBConnection.h"
#include "db/DBException.h"
#include "db/FindCatalogueFile.h"
#include "fw/Application.h"
#include "fw/CodePage.h"
#include "fw/MessageBoxes.h"
#include "fw/TextFormat.h"

#include <QDir>

namespace {

QString toText(const QByteArray& name) { return fw::CodePage::decode(name, fw::CodePage::Ansi); }
QByteArray toName(const QString& text) { return fw::CodePage::encodeLossy(text, fw::CodePage::Ansi); }

// A name for a statement's '%s' between single quotes.
QString quoted(const QByteArray& name) { return FormatString::EscapeSqlText(toText(name)); }

} // namespace

LeeDbNombresProductos::LeeDbNombresProductos()
    : m_interfaceLanguage(fw::Application::get().profile().GetInt(QStringLiteral("Ormi"), QStringLiteral("Idioma"), 0))
    , m_productNameLanguage(
          fw::Application::get().profile().GetInt(QStringLiteral("Ormi"), QStringLiteral("IdiomaTextos"), 0))
    , m_connection(std::make_unique<DAODBConnection>())
{
    // Read-only and not exclusive: readers of the loaders and dialogs nest.
    if (!m_connection->Open(FindCatalogueFile(DatabaseName()), false, true))
        m_connection.reset();
}

LeeDbNombresProductos::~LeeDbNombresProductos() = default;

QByteArray LeeDbNombresProductos::TraduceNombreRele(const QByteArray& name)
{
    const QByteArray trimmed = name.trimmed();
    if (m_interfaceLanguage == 0 || !m_connection || m_relayNamesFailed)
        return trimmed;
    try {
        // A table that is missing or damaged would fail every name of a relay file alike.
        const DBConnection::ThrowModeScope throwMode(*m_connection);
        const int code = m_connection->QueryInt(fw::TextFormat::format(
            QStringLiteral("SELECT CODIGO FROM NOMBRES_RELES WHERE NOMBRE='%s'"), {quoted(trimmed)}));
        if (code == -1)
            return trimmed;
        const QString translated = m_connection->QueryString(fw::TextFormat::format(
            QStringLiteral("SELECT NOMBRE FROM NOMBRES_RELES WHERE CODIGO=%ld AND IDIOMA=2"), {code}));
        return translated.isEmpty() ? trimmed : toName(translated);
    } catch (const DBException& e) {
        m_relayNamesFailed = true;
        ReportDatabaseError(e.GetErrorMessage());
        return trimmed;
    }
}

bool LeeDbNombresProductos::LeeSiguienteNombreProducto(QByteArray& name, int& product)
{
    if (!m_connection)
        return false;
    const QString sql = fw::TextFormat::format(
        QStringLiteral("SELECT PRODUCTO,NOMBRE FROM NOMBRES_PRODUCTOS WHERE IDIOMA=%d ORDER BY NOMBRE"),
        {m_productNameLanguage});
    while (m_productNames.Next(*m_connection, sql)) {
        DBRecordset& row = m_productNames.Row();
        QString error;
        const std::optional<int> index = ProductIndex(row, &error);
        if (!index) {
            // Reported once a list: a table of bad indices would otherwise flood the user.
            if (!m_badIndexReported)
                ReportDatabaseError(error);
            m_badIndexReported = true;
            continue;
        }
        name = toName(row.GetFieldString(QStringLiteral("NOMBRE")));
        product = *index;
        return true;
    }
    m_badIndexReported = false;
    return false;
}

std::optional<int> LeeDbNombresProductos::ProductIndex(DBRecordset& row, QString* error)
{
    const DBValue value = row.GetFieldValue(QStringLiteral("PRODUCTO"));
    if (value.IsNull())
        return -1; // as the typed getter gives it: outside the entries
    return value.ToLong(error);
}

void LeeDbNombresProductos::ReportDatabaseError(const QString& description) const
{
    fw::MessageBoxes::box(fw::Application::get().strings().format(
        DatabaseErrorText, {QDir::toNativeSeparators(m_connection->Path()), description}));
}

bool LeeDbNombresProductos::LeeDescripcionProducto(const QByteArray& name, QString& description, QString& pictureFile)
{
    description.clear();
    pictureFile.clear();
    if (!m_connection)
        return false;
    try {
        // A caller that looks up many names learns of a failure once, and of which database.
        const DBConnection::ThrowModeScope throwMode(*m_connection);
        // A recordset of its own, so that a product-name list in progress goes on.
        const std::unique_ptr<DBRecordset> recordset = m_connection->CreateRecordset();
        recordset->Open(fw::TextFormat::format(QStringLiteral("SELECT DESCRIPCION_LARGA,FILE_BMP FROM NOMBRES_PRODUCTOS "
                                                              "WHERE IDIOMA=%d AND NOMBRE='%s'"),
                                               {m_productNameLanguage, quoted(name)}),
                        false);
        if (recordset->IsEOF())
            return true;
        description = recordset->GetFieldString(QStringLiteral("DESCRIPCION_LARGA"));
        pictureFile = recordset->GetFieldString(QStringLiteral("FILE_BMP"));
        return true;
    } catch (const DBException& e) {
        description.clear();
        pictureFile.clear();
        ReportDatabaseError(e.GetErrorMessage());
        return false;
    }
}
