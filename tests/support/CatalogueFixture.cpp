#include "tests/support/CatalogueFixture.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* const ConfigurationSchema = R"(
CREATE TABLE TIPOS_MAQUINA (
    CODIGO INTEGER NOT NULL PRIMARY KEY,
    DESCRIPCION TEXT COLLATE NOCASE NOT NULL,
    PULSOS_CAUDALIMETRO BOOLEAN NOT NULL DEFAULT 0);
CREATE TABLE CONFIGURACIONES (
    CODIGO INTEGER NOT NULL PRIMARY KEY,
    TIPO_MAQUINA INTEGER NOT NULL,
    DESCRIPCION TEXT COLLATE NOCASE NOT NULL,
    PROTOTIPO BOOLEAN NOT NULL DEFAULT 0,
    FICHERO_DISPENSADORES TEXT COLLATE NOCASE,
    FICHERO_RELES TEXT COLLATE NOCASE,
    FICHERO_IMAGEN TEXT COLLATE NOCASE);
CREATE TABLE NOMBRES_CONFIGURACIONES (
    CODIGO INTEGER NOT NULL,
    DESCRIPCION TEXT COLLATE NOCASE NOT NULL,
    IDIOMA INTEGER NOT NULL);
)";

const char* const ProductNameSchema = R"(
CREATE TABLE NOMBRES_IDIOMAS (
    DESCRIPCION TEXT COLLATE NOCASE NOT NULL,
    CODIGO INTEGER NOT NULL,
    IDIOMA INTEGER NOT NULL);
CREATE TABLE NOMBRES_PRODUCTOS (
    PRODUCTO INTEGER NOT NULL,
    NOMBRE TEXT COLLATE NOCASE NOT NULL,
    IDIOMA INTEGER NOT NULL,
    DESCRIPCION_LARGA TEXT COLLATE NOCASE,
    FILE_BMP TEXT COLLATE NOCASE);
CREATE TABLE NOMBRES_RELES (
    CODIGO INTEGER NOT NULL,
    NOMBRE TEXT COLLATE NOCASE NOT NULL,
    IDIOMA INTEGER NOT NULL);
)";

void bind(sqlite3_stmt* statement, int position, const QVariant& value)
{
    if (!value.isValid()) {
        sqlite3_bind_null(statement, position);
    } else if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::Bool) {
        sqlite3_bind_int(statement, position, value.toInt());
    } else {
        const QByteArray text = value.toString().toUtf8();
        sqlite3_bind_text(statement, position, text.constData(), int(text.size()), SQLITE_TRANSIENT);
    }
}

} // namespace

CatalogueFixture::CatalogueFixture(TestApplication& app)
    : m_programFolder(app.tempPath(QStringLiteral("program")))
{
    QDir().mkpath(catalogueFolder());
    Run(configurationsPath(), QString::fromUtf8(ConfigurationSchema));
    Run(productNamesPath(), QString::fromUtf8(ProductNameSchema));
    app.application().setProgramFolder(m_programFolder);
}

void CatalogueFixture::Run(const QString& database, const QString& sql, const QVariantList& values)
{
    sqlite3* handle = nullptr;
    // The handle is closed on every way out, a failed open included (the engine gives one then too).
    const int opened = sqlite3_open_v2(QFile::encodeName(database).constData(), &handle,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(handle, sqlite3_close);
    ASSERT_EQ(opened, SQLITE_OK) << (handle ? sqlite3_errmsg(handle) : "out of memory");
    QByteArray text = sql.toUtf8();
    const char* rest = text.constData();
    while (rest && *rest) {
        sqlite3_stmt* prepared = nullptr;
        const int rc = sqlite3_prepare_v2(db.get(), rest, -1, &prepared, &rest);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(prepared, sqlite3_finalize);
        ASSERT_EQ(rc, SQLITE_OK) << sqlite3_errmsg(db.get());
        if (!statement)
            break; // only white space was left
        for (int i = 0; i < values.size(); ++i)
            bind(statement.get(), i + 1, values[i]);
        EXPECT_EQ(sqlite3_step(statement.get()), SQLITE_DONE) << sqlite3_errmsg(db.get());
    }
}

void CatalogueFixture::AddMachineType(int code, const QString& description, bool flowMeter)
{
    Run(configurationsPath(),
        QStringLiteral("INSERT INTO TIPOS_MAQUINA (CODIGO, DESCRIPCION, PULSOS_CAUDALIMETRO) VALUES (?, ?, ?)"),
        {code, description, int(flowMeter)});
}

void CatalogueFixture::AddConfiguration(const Configuration& c)
{
    Run(configurationsPath(),
        QStringLiteral("INSERT INTO CONFIGURACIONES (CODIGO, TIPO_MAQUINA, DESCRIPCION, PROTOTIPO, "
                       "FICHERO_DISPENSADORES, FICHERO_RELES, FICHERO_IMAGEN) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {c.code, c.machineType, c.description, int(c.prototype), c.dispenserFile, c.relayFile, c.pictureFile});
    const QString names = QStringLiteral("INSERT INTO NOMBRES_CONFIGURACIONES (CODIGO, DESCRIPCION, IDIOMA) VALUES (?, ?, ?)");
    Run(configurationsPath(), names, {c.code, c.description, 0});
    Run(configurationsPath(), names, {c.code, c.description + QStringLiteral(" (en)"), 2});
}

void CatalogueFixture::AddProductName(int product, const QString& name, int language, const QVariant& description,
                                      const QVariant& picture)
{
    Run(productNamesPath(),
        QStringLiteral("INSERT INTO NOMBRES_PRODUCTOS (PRODUCTO, NOMBRE, IDIOMA, DESCRIPCION_LARGA, FILE_BMP) "
                       "VALUES (?, ?, ?, ?, ?)"),
        {product, name, language, description, picture});
}

void CatalogueFixture::AddRelayName(int code, const QString& name, int language)
{
    Run(productNamesPath(), QStringLiteral("INSERT INTO NOMBRES_RELES (CODIGO, NOMBRE, IDIOMA) VALUES (?, ?, ?)"),
        {code, name, language});
}

void CatalogueFixture::WriteFile(const QString& relativePath, const QByteArray& bytes)
{
    const QString path = catalogueFolder() + QLatin1Char('/') + relativePath;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}
