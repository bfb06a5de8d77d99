#include "export/Maquina.h"

#include "tests/export/ManagementDatabase.h"

namespace {

// Machine 7 of type 42 on configuration 51; option types 12, 13 and 31 with their numbers.
const char* const BaseRows =
    "INSERT INTO TIPO_MAQUINAS VALUES (42,2),(87,7),(88,8),(89,8),(90,9),(15,7),(30,3),(50,5),(60,4);"
    "INSERT INTO MAQUINAS VALUES (7,42,3,0,1,51,1);"
    "INSERT INTO TIPOS_OPCIONES VALUES (1,42,0,0,12,0),(2,42,0,0,12,1),(3,42,0,0,13,0),(4,42,0,0,31,0);";

} // namespace

class MaquinaTest : public ManagementDatabase {
protected:
    QString Make(const QString& rows) { return MakeManagement(QStringLiteral("m.mdb"), QLatin1String(BaseRows) + rows); }
};

TEST_F(MaquinaTest, ARowLoadsWithItsUnionKindAndAMissingOneLeavesMinusOne)
{
    const QString path = Make(QString());
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    const Maquina found(7, connection.get());
    EXPECT_EQ(found.Codigo(), 7);
    EXPECT_EQ(found.Tipo(), 42);
    EXPECT_EQ(found.Divisa(), 3);
    EXPECT_EQ(found.Modelo(), 1);
    EXPECT_EQ(found.Configuracion(), 51);
    EXPECT_EQ(found.ObtenTipoUnion(), 2);

    const Maquina missing(8, connection.get());
    EXPECT_EQ(missing.Codigo(), -1);
    EXPECT_EQ(missing.Tipo(), -1);
    EXPECT_EQ(missing.Divisa(), -1);
    EXPECT_EQ(missing.Configuracion(), -1);
    EXPECT_EQ(missing.ObtenTipoUnion(), -1);
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(MaquinaTest, OptionValuesLoadByUnionKindAndOptionType)
{
    struct Case {
        const char* what;
        int type;
        int unionKind;
        const char* options; // OPCIONES_MAQUINAS rows of machine 7
        bool loaded;
        std::vector<std::pair<int, const char*>> values; // every other value is empty
    };
    const Case cases[] = {
        {"union 2: in row order, blanks removed", 42, 2, "(7,1,0,'T02 C01',NULL),(7,2,0,'T03C02',NULL)", true,
         {{0, "T02C01"}, {1, "T03C02"}}},
        {"union 2 without rows", 42, 2, "", false, {}},
        {"union 7: by INDEX", 87, 7, "(7,1,0,'C03',NULL),(7,2,0,' C07 ',NULL),(7,4,0,'X',NULL)", true,
         {{0, "C03"}, {1, "C07"}}},
        {"type 15 loads type 13", 15, 7, "(7,1,0,'C01',NULL),(7,3,0,'C13',NULL)", true, {{0, "C13"}}},
        {"union 8 without rows", 88, 8, "", true, {}},
        {"union 9: type 31", 90, 9, "(7,4,0,'T01',NULL)", true, {{0, "T01"}}},
        {"union 4: no option type", 60, 4, "(7,1,0,'C01',NULL)", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString rows = QStringLiteral("UPDATE MAQUINAS SET TIPO=%1;UPDATE TIPO_MAQUINAS SET TIPO_UNION=%2 WHERE CODIGO=%1;")
                           .arg(c.type)
                           .arg(c.unionKind);
        // The indexed forms: option numbers 1..4 have INDEX 0, 1, 0, 0 by the base rows.
        if (*c.options)
            rows += QStringLiteral("INSERT INTO OPCIONES_MAQUINAS VALUES %1;").arg(QLatin1String(c.options));
        rows += QStringLiteral("UPDATE TIPOS_OPCIONES SET NUMERO_TIPO=%1;").arg(c.type);
        const QString path = MakeManagement(QStringLiteral("o%1.mdb").arg(&c - cases), QLatin1String(BaseRows) + rows);
        auto connection = OpenDatabase(path);
        ASSERT_TRUE(connection);
        Maquina machine(7, connection.get());
        EXPECT_EQ(machine.CargaOpciones(), c.loaded);
        for (int i = 0; i < Maquina::OptionCount; ++i) {
            QString expected;
            for (const auto& [index, value] : c.values) {
                if (index == i)
                    expected = QLatin1String(value);
            }
            EXPECT_EQ(machine.Opcion(i), expected) << i;
        }
    }
}

TEST_F(MaquinaTest, IndexesOutsideTheTableAndRowsPastItAreLeftOut)
{
    QString rows = QStringLiteral("UPDATE TIPO_MAQUINAS SET TIPO_UNION=7 WHERE CODIGO=42;"
                                  "INSERT INTO TIPOS_OPCIONES VALUES (10,42,0,0,12,100),(11,42,0,0,12,-1),(12,42,0,0,12,99);"
                                  "INSERT INTO OPCIONES_MAQUINAS VALUES (7,10,0,'A',NULL),(7,11,0,'B',NULL),(7,12,0,'C',NULL);");
    const QString path = Make(rows);
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    Maquina indexed(7, connection.get());
    EXPECT_TRUE(indexed.CargaOpciones());
    EXPECT_EQ(indexed.Opcion(99), QStringLiteral("C"));
    EXPECT_EQ(indexed.Opcion(0), QString());

    // Union kind 2 with 105 rows keeps the first 100.
    QString many = QStringLiteral("DELETE FROM TIPOS_OPCIONES;DELETE FROM OPCIONES_MAQUINAS;");
    for (int n = 0; n < 105; ++n)
        many += QStringLiteral("INSERT INTO TIPOS_OPCIONES VALUES (%1,42,0,0,12,0);"
                               "INSERT INTO OPCIONES_MAQUINAS VALUES (7,%1,0,'V%1',NULL);").arg(n + 100);
    const QString manyPath = MakeManagement(QStringLiteral("many.mdb"), QLatin1String(BaseRows) + many.prepend(QStringLiteral("UPDATE TIPO_MAQUINAS SET TIPO_UNION=2 WHERE CODIGO=42;")));
    connection = OpenDatabase(manyPath);
    ASSERT_TRUE(connection);
    Maquina rowOrder(7, connection.get());
    EXPECT_TRUE(rowOrder.CargaOpciones());
    EXPECT_EQ(rowOrder.Opcion(99), QStringLiteral("V199"));
}

TEST_F(MaquinaTest, OptionValuesLoadOnce)
{
    const QString path = Make(QStringLiteral("INSERT INTO OPCIONES_MAQUINAS VALUES (7,1,0,'T02C01',NULL);"));
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    Maquina machine(7, connection.get());
    ASSERT_TRUE(machine.CargaOpciones());
    connection->Execute(QStringLiteral("UPDATE OPCIONES_MAQUINAS SET VALOR='T09C09'"));
    EXPECT_TRUE(machine.CargaOpciones());
    EXPECT_EQ(machine.Opcion(0), QStringLiteral("T02C01"));
}

TEST(MaquinaChannelNames, NumbersAndTheLetteredNamesOfType86)
{
    const std::tuple<long, int, const char*> cases[] = {
        {10, 86, "A10"}, {76, 86, "A76"}, {77, 86, "A80"}, {83, 86, "A86"}, {84, 86, "B10"},  {100, 86, "B26"},
        {157, 86, "B86"}, {158, 86, "C10"}, {231, 86, "C86"}, {9, 86, "-1"}, {232, 86, "-1"}, {9, 42, "9"},
        {123, 87, "123"},
    };
    for (const auto& [channel, type, name] : cases)
        EXPECT_EQ(Maquina::ObtenNombreCanal(channel, type), QLatin1String(name)) << channel << " " << type;
}

TEST_F(MaquinaTest, TheChannelFilterOfType89DependsOnTheConfigurationsChannelCount)
{
    for (const auto& [values, hidden] : {std::pair{40, "'49'"}, std::pair{41, "'49'"}, std::pair{42, "'98'"}}) {
        QString rows = QStringLiteral("UPDATE MAQUINAS SET TIPO=89;");
        for (int n = 1; n <= values; ++n)
            rows += QStringLiteral("INSERT INTO CONFIG_CAN VALUES (51,%1,'%1');").arg(n);
        const QString path = MakeManagement(QStringLiteral("f%1.mdb").arg(values), QLatin1String(BaseRows) + rows);
        auto connection = OpenDatabase(path);
        ASSERT_TRUE(connection);
        Maquina machine(7, connection.get());
        EXPECT_TRUE(machine.ObtenFiltroCanales().startsWith(QStringLiteral(" AND VALOR NOT IN (") + QLatin1String(hidden)))
            << values;
    }
    const QString path = Make(QString());
    auto connection = OpenDatabase(path);
    EXPECT_EQ(Maquina(7, connection.get()).ObtenFiltroCanales(), QString());
}

namespace {

// Configuration 51: channels 1..n of CONFIG_CAN, keys named K1..Km in CONFIG_TEC.
QString configuration(int channels, int keys)
{
    QString rows = QStringLiteral("INSERT INTO CONFIG_MAQ VALUES (51);");
    for (int n = 1; n <= channels; ++n)
        rows += QStringLiteral("INSERT INTO CONFIG_CAN VALUES (51,%1,'%1');").arg(n);
    for (int n = 1; n <= keys; ++n)
        rows += QStringLiteral("INSERT INTO CONFIG_TEC VALUES (51,%1,'K%1');").arg(n);
    return rows;
}

} // namespace

TEST_F(MaquinaTest, ChannelsFollowTheConfigurationsListByUnionKind)
{
    struct Case {
        const char* what;
        int type;
        int unionKind;
        QString rows;
        const char* channels; // NUMERO of machine 7's channels, by name
    };
    const QString oldChannel = QStringLiteral(
        "INSERT INTO CANALES_MAQUINAS VALUES (7,'2',5,0,0,0,3,50,77,12,1.5,'2020-01-01 00:00:00'),"
        "(7,'K9',5,0,0,0,3,50,77,12,1.5,'2020-01-01 00:00:00');");
    const Case cases[] = {
        {"channel list", 42, 2, configuration(3, 2) + oldChannel, "1,2,3"},
        {"union 8, fewer keys: the keys", 88, 8, configuration(12, 10) + oldChannel, "K1,K10,K2,K3,K4,K5,K6,K7,K8,K9"},
        {"union 8, a tie: the keys", 88, 8, configuration(12, 12), "K1,K10,K11,K12,K2,K3,K4,K5,K6,K7,K8,K9"},
        {"union 8, more keys: the channels", 88, 8, configuration(3, 4), "1,2,3"},
        {"union 3: only deletes", 30, 3, configuration(3, 9) + oldChannel, "K9"},
        {"union 5: all deleted", 50, 5, configuration(3, 2) + oldChannel, ""},
        {"union 9: left alone", 90, 9, configuration(3, 2) + oldChannel, "2,K9"},
        {"no CONFIG_MAQ row: left alone", 42, 2, oldChannel, "2,K9"},
        {"configuration 9999: left alone", 42, 2,
         configuration(3, 2) + oldChannel + QStringLiteral("UPDATE MAQUINAS SET CONFIGURACION=9999;"), "2,K9"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString rows = QStringLiteral("UPDATE MAQUINAS SET TIPO=%1;UPDATE TIPO_MAQUINAS SET TIPO_UNION=%2 WHERE CODIGO=%1;")
                                 .arg(c.type)
                                 .arg(c.unionKind)
            + c.rows;
        const QString path = MakeManagement(QStringLiteral("c%1.mdb").arg(&c - cases), QLatin1String(BaseRows) + rows);
        auto connection = OpenDatabase(path);
        ASSERT_TRUE(connection);
        Maquina(7, connection.get()).RehaceCanales();
        EXPECT_EQ(Rows(path, QStringLiteral("SELECT NUMERO FROM CANALES_MAQUINAS WHERE CODIGO=7 ORDER BY NUMERO")).join(QLatin1Char(',')),
                  QLatin1String(c.channels));
        EXPECT_EQ(Boxes(), QStringList());
    }
}

TEST_F(MaquinaTest, NewChannelsTakeTheirDefaultsAndASecondRebuildAddsNothing)
{
    app.profile().WriteInt(QStringLiteral("Otros"), QStringLiteral("Crear opciones como dirty"), 1);
    const QString path = Make(configuration(2, 0)
                              + QStringLiteral("INSERT INTO CANALES_MAQUINAS VALUES "
                                               "(7,'2',5,0,0,0,3,50,77,12,1.5,'2020-01-01 00:00:00');"));
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    Maquina(7, connection.get()).RehaceCanales();
    Maquina(7, connection.get()).RehaceCanales();
    EXPECT_EQ(Rows(path, QStringLiteral("SELECT * FROM PRECIOS_PRODUCTOS")), QStringList({QStringLiteral("0|9999|1|3|10.0")}));
    EXPECT_EQ(Rows(path, QStringLiteral("SELECT * FROM CANALES_MAQUINAS ORDER BY NUMERO")),
              QStringList({QStringLiteral("7|1|0|1|1|0|0|100|9999|9999|10.0|2024-03-05 14:07:00"),
                           QStringLiteral("7|2|5|0|0|0|3|50|77|12|1.5|2020-01-01 00:00:00")}));
}

TEST_F(MaquinaTest, EveryChannelGetsANewPriceRowAtEachRun)
{
    app.profile().WriteString(QStringLiteral("Configuracion"), QStringLiteral("Moneda"), QStringLiteral("5"));
    const QString path = Make(QStringLiteral(
        "INSERT INTO PRODUCTOS VALUES (12,1,'CAFE',NULL);"
        "INSERT INTO CANALES_MAQUINAS VALUES (7,'1',0,0,1,0,0,100,9999,12,0.5,NULL),(7,'2',0,0,1,0,0,100,9999,44,10,NULL),"
        "(7,'3',0,0,1,0,0,100,9999,9999,1.25,NULL),(8,'1',0,0,1,0,0,100,9999,12,3,NULL);"));
    auto connection = OpenDatabase(path);
    ASSERT_TRUE(connection);
    Maquina(7, connection.get()).CreaPreciosCanales();
    EXPECT_EQ(Rows(path, QStringLiteral("SELECT * FROM PRECIOS_PRODUCTOS ORDER BY CODIGO")),
              QStringList({QStringLiteral("0|12|0|5|0.5"), QStringLiteral("1|9999|0|5|10.0"),
                           QStringLiteral("2|9999|0|5|1.25")}));
    EXPECT_EQ(Rows(path, QStringLiteral("SELECT NUMERO,CODIGO_PRECIO FROM CANALES_MAQUINAS WHERE CODIGO=7 ORDER BY NUMERO")),
              QStringList({QStringLiteral("1|0"), QStringLiteral("2|1"), QStringLiteral("3|2")}));

    // A currency that is no whole number enters as the default; a missing machine has no channel.
    app.profile().WriteString(QStringLiteral("Configuracion"), QStringLiteral("Moneda"), QStringLiteral("2);DROP TABLE X"));
    Maquina(7, connection.get()).CreaPreciosCanales();
    Maquina(99, connection.get()).CreaPreciosCanales();
    EXPECT_EQ(Rows(path, QStringLiteral("SELECT CODIGO,DIVISA FROM PRECIOS_PRODUCTOS WHERE CODIGO>2 ORDER BY CODIGO")),
              QStringList({QStringLiteral("3|2"), QStringLiteral("4|2"), QStringLiteral("5|2")}));
    EXPECT_EQ(Boxes(), QStringList());
}

TEST_F(MaquinaTest, TheKeyTableIsRebuiltFromTheOptionValues)
{
    struct Case {
        const char* what;
        int type;
        int unionKind;
        int index;
        const char* value;
        const char* rows; // TECLA|CANAL of machine 7
    };
    const Case cases[] = {
        {"union 2", 42, 2, 0, "T02C01", "2|1"},
        {"union 7, channel first", 87, 7, 0, "C01T01", "1|1"},
        {"union 8: the option index", 88, 8, 4, "C05T01T02", "1|4,2|4"},
        {"union 8 without C", 88, 8, 6, "T01T02", "1|6,2|6"},
        {"union 7 without C", 87, 7, 6, "T01T02", ""},
        {"union 8, the key kept", 88, 8, 3, "T01XX", "1|3,1|3"},
        {"a token of neither kind first", 87, 7, 0, "X01T02C03", ""},
        {"walk stops at a foreign token", 87, 7, 0, "T01X02T03C04", "1|4"},
        {"type 89 skips option 0", 89, 8, 0, "T01C02", ""},
        {"type 89, option 1", 89, 8, 1, "T01C02", "1|1"},
        {"type 86 channel names", 86, 7, 0, "T05C84", "5|B10"},
        {"a short last token", 87, 7, 0, "T0C1", "0|1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString rows =
            QStringLiteral("UPDATE MAQUINAS SET TIPO=%1;INSERT OR REPLACE INTO TIPO_MAQUINAS VALUES (%1,%2);"
                           "INSERT INTO TIPOS_OPCIONES VALUES (20,%1,0,0,%3,%4);"
                           "INSERT INTO OPCIONES_MAQUINAS VALUES (7,20,0,'%5',NULL);"
                           "INSERT INTO TECLASCANAL VALUES (7,99,'old'),(8,1,'1');")
                .arg(c.type)
                .arg(c.unionKind)
                .arg(c.unionKind == 7 || c.unionKind == 2 ? 12 : 31)
                .arg(c.index)
                .arg(QLatin1String(c.value));
        const QString path = MakeManagement(QStringLiteral("k%1.mdb").arg(&c - cases), QLatin1String(BaseRows) + rows);
        auto connection = OpenDatabase(path);
        ASSERT_TRUE(connection);
        Maquina(7, connection.get()).RehaceTeclasCanal();
        EXPECT_EQ(Rows(path, QStringLiteral("SELECT TECLA,CANAL FROM TECLASCANAL WHERE MAQUINA=7 ORDER BY rowid")).join(QLatin1Char(',')),
                  QLatin1String(c.rows));
        EXPECT_EQ(Rows(path, QStringLiteral("SELECT COUNT(*) FROM TECLASCANAL WHERE MAQUINA=8")), QStringList({QStringLiteral("1")}));
    }
    // Without option values the old rows stay.
    const QString path = Make(QStringLiteral("INSERT INTO TECLASCANAL VALUES (7,99,'old');"));
    auto connection = OpenDatabase(path);
    Maquina(7, connection.get()).RehaceTeclasCanal();
    EXPECT_EQ(Rows(path, QStringLiteral("SELECT TECLA FROM TECLASCANAL")), QStringList({QStringLiteral("99")}));
}
