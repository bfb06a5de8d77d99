// The two catalogue databases of the bundled catalogue: the tables, columns and statements the
// catalogue readers rely on, the models start-up and the T38A family need, and product names
// in every language the product-name language dialog offers.
#include "tests/res/BundledCatalogue.h"

#include "fw/CodePage.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFileInfo>

#include <map>
#include <set>

namespace {

class CatalogueDatabasesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(catalogue.configurations().isOpen())
            << qPrintable(catalogue.configurations().openError());
        ASSERT_TRUE(catalogue.productNames().isOpen())
            << qPrintable(catalogue.productNames().openError());
    }

    static ReadOnlyDatabase::Result run(const ReadOnlyDatabase& db, const QString& sql)
    {
        auto result = db.query(sql);
        EXPECT_TRUE(result.ok) << qPrintable(sql) << ": " << qPrintable(result.error);
        return result;
    }

    BundledCatalogue catalogue;
};

enum class Kind { Integer, Text, Boolean };

struct ColumnCase {
    bool productDatabase;
    const char* table;
    const char* column;
    Kind kind;
};

// Every column the readers and the product-name language dialog read.
const ColumnCase kColumns[] = {
    {false, "CONFIGURACIONES", "CODIGO", Kind::Integer},
    {false, "CONFIGURACIONES", "TIPO_MAQUINA", Kind::Integer},
    {false, "CONFIGURACIONES", "DESCRIPCION", Kind::Text},
    {false, "CONFIGURACIONES", "PROTOTIPO", Kind::Boolean},
    {false, "CONFIGURACIONES", "FICHERO_DISPENSADORES", Kind::Text},
    {false, "CONFIGURACIONES", "FICHERO_RELES", Kind::Text},
    {false, "CONFIGURACIONES", "FICHERO_IMAGEN", Kind::Text},
    {false, "TIPOS_MAQUINA", "CODIGO", Kind::Integer},
    {false, "TIPOS_MAQUINA", "DESCRIPCION", Kind::Text},
    {false, "TIPOS_MAQUINA", "PULSOS_CAUDALIMETRO", Kind::Boolean},
    {false, "NOMBRES_CONFIGURACIONES", "CODIGO", Kind::Integer},
    {false, "NOMBRES_CONFIGURACIONES", "DESCRIPCION", Kind::Text},
    {false, "NOMBRES_CONFIGURACIONES", "IDIOMA", Kind::Integer},
    {true, "NOMBRES_PRODUCTOS", "PRODUCTO", Kind::Integer},
    {true, "NOMBRES_PRODUCTOS", "NOMBRE", Kind::Text},
    {true, "NOMBRES_PRODUCTOS", "IDIOMA", Kind::Integer},
    {true, "NOMBRES_PRODUCTOS", "DESCRIPCION_LARGA", Kind::Text},
    {true, "NOMBRES_PRODUCTOS", "FILE_BMP", Kind::Text},
    {true, "NOMBRES_RELES", "CODIGO", Kind::Integer},
    {true, "NOMBRES_RELES", "NOMBRE", Kind::Text},
    {true, "NOMBRES_RELES", "IDIOMA", Kind::Integer},
    {true, "NOMBRES_IDIOMAS", "DESCRIPCION", Kind::Text},
    {true, "NOMBRES_IDIOMAS", "CODIGO", Kind::Integer},
    {true, "NOMBRES_IDIOMAS", "IDIOMA", Kind::Integer},
};

TEST_F(CatalogueDatabasesTest, TablesHaveTheColumnsTheReadersRead)
{
    for (const ColumnCase& c : kColumns) {
        const ReadOnlyDatabase& db = c.productDatabase ? catalogue.productNames()
                                                       : catalogue.configurations();
        const char* declaredType = nullptr;
        const char* collation = nullptr;
        const int rc = sqlite3_table_column_metadata(db.handle(), nullptr, c.table, c.column,
                                                     &declaredType, &collation, nullptr,
                                                     nullptr, nullptr);
        ASSERT_EQ(rc, SQLITE_OK) << c.table << "." << c.column << " is missing";
        const QString type = QString::fromUtf8(declaredType).toUpper();
        switch (c.kind) {
        case Kind::Integer:
            EXPECT_EQ(type, "INTEGER") << c.table << "." << c.column;
            break;
        case Kind::Boolean:
            EXPECT_EQ(type, "BOOLEAN") << c.table << "." << c.column;
            break;
        case Kind::Text:
            EXPECT_EQ(type, "TEXT") << c.table << "." << c.column;
            // Jet compares text without regard to case; so must the catalogue.
            EXPECT_STRCASEEQ(collation, "NOCASE") << c.table << "." << c.column;
            break;
        }
    }
}

struct StatementCase {
    bool productDatabase;
    const char* sql;
    QStringList columns; // as the readers look them up, exactly
};

TEST_F(CatalogueDatabasesTest, TheReadersStatementsGiveRows)
{
    const StatementCase cases[] = {
        {false, "SELECT PULSOS_CAUDALIMETRO FROM TIPOS_MAQUINA WHERE CODIGO=(SELECT TIPO_MAQUINA "
                "FROM CONFIGURACIONES WHERE CODIGO=1)", {"PULSOS_CAUDALIMETRO"}},
        {false, "SELECT DESCRIPCION FROM TIPOS_MAQUINA WHERE CODIGO=(SELECT TIPO_MAQUINA FROM "
                "CONFIGURACIONES WHERE CODIGO=19)", {"DESCRIPCION"}},
        {false, "SELECT DESCRIPCION FROM CONFIGURACIONES WHERE CODIGO=19", {"DESCRIPCION"}},
        {false, "SELECT PROTOTIPO,CONFIGURACIONES.CODIGO AS COD_CONF,TIPOS_MAQUINA.DESCRIPCION AS "
                "TIPO_MAQ,NOMBRES_CONFIGURACIONES.DESCRIPCION AS CONFIGURACION FROM CONFIGURACIONES,"
                "TIPOS_MAQUINA,NOMBRES_CONFIGURACIONES WHERE CONFIGURACIONES.TIPO_MAQUINA="
                "TIPOS_MAQUINA.CODIGO AND NOMBRES_CONFIGURACIONES.CODIGO=CONFIGURACIONES.CODIGO AND "
                "IDIOMA=2 ORDER BY TIPO_MAQUINA,CONFIGURACIONES.CODIGO",
         {"PROTOTIPO", "COD_CONF", "TIPO_MAQ", "CONFIGURACION"}},
        {false, "SELECT FICHERO_IMAGEN FROM CONFIGURACIONES WHERE CODIGO=1", {"FICHERO_IMAGEN"}},
        {false, "SELECT TIPO_MAQUINA,FICHERO_DISPENSADORES,PROTOTIPO FROM CONFIGURACIONES WHERE "
                "CODIGO=1", {"TIPO_MAQUINA", "FICHERO_DISPENSADORES", "PROTOTIPO"}},
        {false, "SELECT TIPO_MAQUINA,FICHERO_RELES,PROTOTIPO FROM CONFIGURACIONES WHERE CODIGO=30",
         {"TIPO_MAQUINA", "FICHERO_RELES", "PROTOTIPO"}},
        // Jet finds a relay name whatever its case; a name from a relay file is upper case.
        {true, "SELECT CODIGO FROM NOMBRES_RELES WHERE NOMBRE='valvula 1'", {"CODIGO"}},
        {true, "SELECT NOMBRE FROM NOMBRES_RELES WHERE CODIGO=1 AND IDIOMA=2", {"NOMBRE"}},
        {true, "SELECT PRODUCTO,NOMBRE FROM NOMBRES_PRODUCTOS WHERE IDIOMA=0 ORDER BY NOMBRE",
         {"PRODUCTO", "NOMBRE"}},
        {true, "SELECT DESCRIPCION_LARGA,FILE_BMP FROM NOMBRES_PRODUCTOS WHERE IDIOMA=0 AND "
               "NOMBRE='CAPUCHINO'", {"DESCRIPCION_LARGA", "FILE_BMP"}},
        {true, "SELECT DESCRIPCION,CODIGO FROM NOMBRES_IDIOMAS WHERE IDIOMA=2 ORDER BY CODIGO",
         {"DESCRIPCION", "CODIGO"}},
    };
    for (const StatementCase& c : cases) {
        const auto result = run(c.productDatabase ? catalogue.productNames()
                                                  : catalogue.configurations(),
                                QString::fromLatin1(c.sql));
        EXPECT_FALSE(result.rows.empty()) << c.sql;
        EXPECT_EQ(result.columns, c.columns) << c.sql;
    }
}

TEST_F(CatalogueDatabasesTest, ModelOneAndEveryT38AModelAreInTheConfigurationList)
{
    for (const int idioma : {0, 2}) {
        const auto list = run(catalogue.configurations(), QStringLiteral(
            "SELECT PROTOTIPO,CONFIGURACIONES.CODIGO AS COD_CONF FROM CONFIGURACIONES,TIPOS_MAQUINA,"
            "NOMBRES_CONFIGURACIONES WHERE CONFIGURACIONES.TIPO_MAQUINA=TIPOS_MAQUINA.CODIGO AND "
            "NOMBRES_CONFIGURACIONES.CODIGO=CONFIGURACIONES.CODIGO AND IDIOMA=%1 "
            "ORDER BY TIPO_MAQUINA,CONFIGURACIONES.CODIGO").arg(idioma));
        std::map<int, bool> listed; // code -> prototype
        for (const auto& row : list.rows)
            listed[row[1].toInt()] = row[0].toInt() != 0;
        // Every configuration has a name in the language, so none drops out of the list.
        EXPECT_EQ(listed.size(), catalogue.configurationList().size()) << "IDIOMA " << idioma;
        for (const int model : {1, 19, 21, 22, 23, 24}) {
            ASSERT_TRUE(listed.count(model)) << "model " << model << ", IDIOMA " << idioma;
            EXPECT_FALSE(listed[model]) << "model " << model << " must not be a prototype";
        }
    }
}

TEST_F(CatalogueDatabasesTest, ConfigurationsCoverTheKindsOfMachine)
{
    const auto flowMeter = run(catalogue.configurations(), QStringLiteral(
        "SELECT CONFIGURACIONES.CODIGO,TIPO_MAQUINA FROM CONFIGURACIONES,TIPOS_MAQUINA WHERE "
        "CONFIGURACIONES.TIPO_MAQUINA=TIPOS_MAQUINA.CODIGO AND PULSOS_CAUDALIMETRO<>0 AND "
        "PROTOTIPO=0"));
    bool classicFlowMeter = false;
    for (const auto& row : flowMeter.rows)
        classicFlowMeter |= BundledCatalogue::hasDeviceFiles(row[1].toInt());
    EXPECT_TRUE(classicFlowMeter) << "no classic model measures water in flow-meter pulses";

    int prototypes = 0;
    for (const auto& configuration : catalogue.configurationList()) {
        const bool t38a = QList<int>{19, 21, 22, 23, 24}.contains(configuration.code);
        // The T38A models take their devices from the set-up tables, not from relay files.
        EXPECT_EQ(BundledCatalogue::hasDeviceFiles(configuration.machineType), !t38a)
            << "model " << configuration.code;
        prototypes += configuration.prototype ? 1 : 0;
    }
    EXPECT_EQ(prototypes, 1);
}

TEST_F(CatalogueDatabasesTest, EveryFileAConfigurationNamesIsShipped)
{
    for (const auto& configuration : catalogue.configurationList()) {
        SCOPED_TRACE(configuration.code);
        ASSERT_FALSE(configuration.pictureFile.isEmpty());
        EXPECT_TRUE(QFileInfo(BundledCatalogue::path(configuration.pictureFile)).isFile())
            << qPrintable(configuration.pictureFile);
        if (!BundledCatalogue::hasDeviceFiles(configuration.machineType)) {
            EXPECT_TRUE(configuration.relayFile.isEmpty());
            EXPECT_TRUE(configuration.dispenserFile.isEmpty());
            continue;
        }
        ASSERT_FALSE(configuration.relayFile.isEmpty());
        ASSERT_FALSE(configuration.dispenserFile.isEmpty());
        EXPECT_TRUE(QFileInfo(BundledCatalogue::relayPath(configuration)).isFile())
            << qPrintable(BundledCatalogue::relayPath(configuration));
        EXPECT_TRUE(QFileInfo(BundledCatalogue::dispenserPath(configuration)).isFile())
            << qPrintable(BundledCatalogue::dispenserPath(configuration));
    }
}

TEST_F(CatalogueDatabasesTest, EveryOfferedLanguageHasAllProductNames)
{
    std::map<int, std::set<int>> offered; // user-interface language of the list -> codes
    for (const int idioma : {0, 2}) {
        const auto languages = run(catalogue.productNames(), QStringLiteral(
            "SELECT DESCRIPCION,CODIGO FROM NOMBRES_IDIOMAS WHERE IDIOMA=%1 ORDER BY CODIGO")
            .arg(idioma));
        for (const auto& row : languages.rows)
            offered[idioma].insert(row[1].toInt());
    }
    EXPECT_EQ(offered[0], offered[2]) << "both lists must offer the same languages";
    EXPECT_TRUE(offered[0].count(0)) << "Spanish";
    EXPECT_TRUE(offered[0].count(2)) << "language 2, the fallback of the product names";

    for (const int language : offered[0]) {
        SCOPED_TRACE(language);
        const auto names = run(catalogue.productNames(), QStringLiteral(
            "SELECT PRODUCTO,NOMBRE,DESCRIPCION_LARGA FROM NOMBRES_PRODUCTOS WHERE IDIOMA=%1 "
            "ORDER BY PRODUCTO").arg(language));
        ASSERT_EQ(names.rows.size(), 100u);
        for (int index = 0; index < 100; ++index) {
            const auto& row = names.rows[size_t(index)];
            EXPECT_EQ(row[0].toInt(), index);
            const QString name = row[1].toString();
            EXPECT_FALSE(name.isEmpty()) << "product " << index;
            EXPECT_EQ(name, name.trimmed()) << "product " << index;
            EXPECT_FALSE(row[2].toString().isEmpty()) << "description of product " << index;
            // The name goes to the machine as 8-bit text, where 0xF0 and above are opcodes.
            const auto bytes = fw::CodePage::encode(name, fw::CodePage::Ansi);
            ASSERT_TRUE(bytes.has_value()) << qPrintable(name);
            EXPECT_LE(bytes->size(), 17) << qPrintable(name);
            for (const char byte : *bytes)
                EXPECT_LT(quint8(byte), 0xF0) << qPrintable(name);
        }
    }
}

TEST_F(CatalogueDatabasesTest, EveryRelayNameHasOneCodeAndATranslation)
{
    const auto ambiguous = run(catalogue.productNames(), QStringLiteral(
        "SELECT NOMBRE FROM NOMBRES_RELES GROUP BY NOMBRE HAVING COUNT(DISTINCT CODIGO)>1"));
    EXPECT_TRUE(ambiguous.rows.empty()) << "a name shared by two relay codes";
    const auto untranslated = run(catalogue.productNames(), QStringLiteral(
        "SELECT NOMBRE FROM NOMBRES_RELES AS R WHERE IDIOMA=0 AND NOT EXISTS (SELECT 1 FROM "
        "NOMBRES_RELES WHERE CODIGO=R.CODIGO AND IDIOMA=2 AND NOMBRE<>'')"));
    for (const auto& row : untranslated.rows)
        ADD_FAILURE() << "relay name without translation: " << qPrintable(row[0].toString());
}

} // namespace
