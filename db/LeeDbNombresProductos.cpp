#include "db/LeeDbNombresProductos.h"

#include "db/DAODBConnection.h"
#include "db/FindCatalogueFile.h"
#include "fw/Application.h"
#include "fw/CodePage.h"
#include "fw/TextFormat.h"

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
    if (m_interfaceLanguage == 0 || !m_connection)
        return trimmed;
    const int code = m_connection->QueryInt(fw::TextFormat::format(
        QStringLiteral("SELECT CODIGO FROM NOMBRES_RELES WHERE NOMBRE='%s'"), {quoted(trimmed)}));
    if (code == -1)
        return trimmed;
    const QString translated = m_connection->QueryString(
        fw::TextFormat::format(QStringLiteral("SELECT NOMBRE FROM NOMBRES_RELES WHERE CODIGO=%ld AND IDIOMA=2"), {code}));
    return translated.isEmpty() ? trimmed : toName(translated);
}

bool LeeDbNombresProductos::LeeSiguienteNombreProducto(QByteArray& name, int& product)
{
    if (!m_connection)
        return false;
    const QString sql = fw::TextFormat::format(
        QStringLiteral("SELECT PRODUCTO,NOMBRE FROM NOMBRES_PRODUCTOS WHERE IDIOMA=%d ORDER BY NOMBRE"),
        {m_productNameLanguage});
    if (!m_productNames.Next(*m_connection, sql))
        return false;
    DBRecordset& row = m_productNames.Row();
    name = toName(row.GetFieldString(QStringLiteral("NOMBRE")));
    product = row.GetFieldLong(QStringLiteral("PRODUCTO"));
    return true;
}

void LeeDbNombresProductos::LeeDescripcionProducto(const QByteArray& name, QString& description, QString& pictureFile)
{
    description.clear();
    pictureFile.clear();
    if (!m_connection)
        return;
    // A recordset of its own, so that a product-name list in progress goes on.
    const std::unique_ptr<DBRecordset> recordset = m_connection->CreateRecordset();
    recordset->Open(fw::TextFormat::format(QStringLiteral("SELECT DESCRIPCION_LARGA,FILE_BMP FROM NOMBRES_PRODUCTOS "
                                                          "WHERE IDIOMA=%d AND NOMBRE='%s'"),
                                           {m_productNameLanguage, quoted(name)}),
                    false);
    if (recordset->IsEOF())
        return;
    description = recordset->GetFieldString(QStringLiteral("DESCRIPCION_LARGA"));
    pictureFile = recordset->GetFieldString(QStringLiteral("FILE_BMP"));
}
