#include "export/Maquina.h"

#include "db/DBConnection.h"
#include "db/DBRecordset.h"
#include "db/FormatString.h"
#include "fw/Application.h"
#include "fw/TextFormat.h"

using fw::TextFormat;

namespace {

constexpr int NoProduct = 9999;
constexpr int NoConfiguration = 9999;

QString withoutBlanks(QString text) { return text.remove(QLatin1Char(' ')); }

// The decimal value of the first (at most) two characters from position from; it stops at the
// first non-digit, none gives 0, and nothing past the text is read.
int twoDigitNumber(const QString& text, qsizetype from)
{
    int value = 0;
    for (qsizetype i = from; i < text.size() && i < from + 2 && text.at(i).isDigit(); ++i)
        value = value * 10 + text.at(i).digitValue();
    return value;
}

} // namespace

QString Maquina::profileCurrency()
{
    const QString text = fw::Application::get().profile().GetString(QStringLiteral("Configuracion"),
                                                                     QStringLiteral("Moneda"), QStringLiteral("2"));
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? QString::number(value) : QStringLiteral("2");
}

Maquina::Maquina(long code, DBConnection* connection)
    : m_connection(connection)
{
    Inicializa();
    CargaMaquina(code);
}

void Maquina::Inicializa()
{
    DIVISA = -1;
    TIPO = -1;
    TIPO_UNION = -1;
    MODELO = -1;
    CONFIGURACION = -1;
    CODIGO = -1;
    m_optionsLoaded = false;
}

void Maquina::CargaMaquina(long code)
{
    CODIGO = int(code);
    auto rows = m_connection->CreateRecordset();
    rows->Open(TextFormat::format(QStringLiteral("SELECT * FROM MAQUINAS WHERE CODIGO=%ld"), {code}), false);
    if (rows->IsEOF()) {
        CODIGO = -1;
        return;
    }
    CONFIGURACION = rows->GetFieldInt(QStringLiteral("CONFIGURACION"));
    DIVISA = rows->GetFieldInt(QStringLiteral("DIVISA"));
    MODELO = rows->GetFieldInt(QStringLiteral("MODELO"));
    TIPO = rows->GetFieldInt(QStringLiteral("TIPO"));
    TIPO_UNION = m_connection->QueryInt(TextFormat::format(
        QStringLiteral("SELECT TIPO_UNION FROM TIPO_MAQUINAS,MAQUINAS WHERE TIPO_MAQUINAS.CODIGO=%d"), {TIPO}));
}

bool Maquina::CargaOpciones()
{
    if (m_optionsLoaded)
        return true;
    if (TIPO_UNION == 2) {
        auto rows = m_connection->CreateRecordset();
        rows->Open(TextFormat::format(QStringLiteral("SELECT VALOR FROM OPCIONES_MAQUINAS,TIPOS_OPCIONES WHERE "
                                                     "CODIGO=%ld AND NUMERO=NUMERO_OPCION AND TIPO=12"),
                                      {CODIGO}),
                   false);
        if (rows->IsEOF())
            return false;
        // Rows past the table are left out.
        for (int index = 0; !rows->IsEOF() && index < OptionCount; ++index, rows->MoveNext())
            m_options[index] = withoutBlanks(rows->GetFieldString(QStringLiteral("VALOR")));
        m_optionsLoaded = true;
        return true;
    }
    if (TIPO == 15)
        loadIndexedOptions(13);
    else if (TIPO_UNION == 7)
        loadIndexedOptions(12);
    else if (TIPO_UNION == 8 || TIPO_UNION == 9)
        loadIndexedOptions(31);
    else
        return false;
    m_optionsLoaded = true;
    return true;
}

void Maquina::loadIndexedOptions(int optionType)
{
    auto rows = m_connection->CreateRecordset();
    rows->Open(TextFormat::format(QStringLiteral("SELECT VALOR,[INDEX] FROM OPCIONES_MAQUINAS,TIPOS_OPCIONES WHERE "
                                                 "CODIGO=%ld AND NUMERO=NUMERO_OPCION AND TIPO=%d"),
                                  {CODIGO, optionType}),
               false);
    for (; !rows->IsEOF(); rows->MoveNext()) {
        const int index = rows->GetFieldInt(QStringLiteral("INDEX"));
        // An index outside the table names no option value.
        if (index >= 0 && index < OptionCount)
            m_options[index] = withoutBlanks(rows->GetFieldString(QStringLiteral("VALOR"))).trimmed();
    }
}

QString Maquina::ObtenNombreCanal(long channel, int machineType)
{
    if (machineType != 86)
        return QString::number(channel);
    if (channel < 10 || channel > 231)
        return QStringLiteral("-1");
    const long k = channel - 10;
    const long j = k % 74;
    const QChar letter = QLatin1Char(char('A' + k / 74));
    return letter + QString::number(j <= 66 ? 10 + j : 80 + (j - 67));
}

QString Maquina::ObtenFiltroCanales()
{
    if (TIPO != 89)
        return QString();
    const int values = m_connection->QueryInt(
        TextFormat::format(QStringLiteral("SELECT COUNT(VALOR) FROM CONFIG_CAN WHERE CODIGO=%ld "), {CONFIGURACION}));
    if (values < 42)
        return QStringLiteral(" AND VALOR NOT IN ('49','50','51','52','53','54','55','56','57','58','59','60')");
    return QStringLiteral(" AND VALOR NOT IN ('98','99','100','101','102','103','104','105','106','107','108','109')");
}

QString Maquina::channelInsert(const QString& table, const QString& filter, int priceCode, int dirty) const
{
    const QString date = m_connection->Clock().CurrentDateTime().toString(QStringLiteral("#MM/dd/yyyy HH:mm#"));
    return TextFormat::format(
        QStringLiteral("INSERT INTO CANALES_MAQUINAS ( CODIGO, NUMERO,CODIGO_PRECIO,DIRTY,WAIT_REC,FECHA_CAMBIO,IMPREST,"
                       "STOCK,CAPACIDAD,PRODUCTO_STOCK,PRECIO_CANAL,PRODUCTO_CANAL) SELECT %ld,VALOR,%ld,%d,1,%s,0,0,100,"
                       "9999,10,9999 FROM %s WHERE %s.CODIGO=%ld %sAND NOT %s.VALOR IN  (SELECT NUMERO FROM "
                       "CANALES_MAQUINAS WHERE CODIGO=%ld ) ORDER BY %s.NUMERO ASC "),
        {CODIGO, priceCode, dirty, date, table, table, CONFIGURACION, filter, table, CODIGO, table});
}

void Maquina::RehaceCanales()
{
    if (TIPO_UNION == 9 || CONFIGURACION == NoConfiguration)
        return;
    if (TIPO_UNION == 5) {
        m_connection->Execute(TextFormat::format(QStringLiteral("DELETE FROM CANALES_MAQUINAS WHERE CODIGO=%ld"), {CODIGO}));
        return;
    }
    if (!m_connection->Exists(TextFormat::format(QStringLiteral("SELECT * FROM CONFIG_MAQ WHERE CODIGO=%ld"), {CONFIGURACION})))
        return;
    const QString deleteNotIn = QStringLiteral(
        "DELETE FROM CANALES_MAQUINAS WHERE CODIGO=%ld AND NUMERO NOT IN (SELECT VALOR FROM %s WHERE CODIGO=%ld )");
    const QString keys = QStringLiteral("CONFIG_TEC");
    const QString channels = QStringLiteral("CONFIG_CAN");
    QString list = channels;
    QString filter;
    if (TIPO_UNION == 3) {
        m_connection->Execute(TextFormat::format(deleteNotIn, {CODIGO, keys, CONFIGURACION}));
        return;
    }
    if (TIPO_UNION == 8) {
        filter = ObtenFiltroCanales();
        const int keyCount = m_connection->QueryInt(
            TextFormat::format(QStringLiteral("SELECT COUNT(VALOR) FROM CONFIG_TEC WHERE CODIGO=%ld "), {CONFIGURACION}));
        const int channelCount = m_connection->QueryInt(
            TextFormat::format(QStringLiteral("SELECT COUNT(VALOR) FROM CONFIG_CAN WHERE CODIGO=%ld %s"), {CONFIGURACION, filter}));
        if (keyCount <= channelCount) {
            list = keys;
            filter.clear();
        }
    }
    m_connection->Execute(TextFormat::format(deleteNotIn, {CODIGO, list, CONFIGURACION}));

    int priceCode = m_connection->QueryInt(TextFormat::format(
        QStringLiteral("SELECT CODIGO FROM PRECIOS_PRODUCTOS WHERE PRODUCTO=9999 AND ZONA=1 AND DIVISA=%ld"), {DIVISA}));
    if (priceCode == -1) {
        priceCode = m_connection->QueryInt(QStringLiteral("SELECT CODIGO FROM PRECIOS_PRODUCTOS ORDER BY CODIGO DESC")) + 1;
        m_connection->Execute(TextFormat::format(
            QStringLiteral("INSERT INTO PRECIOS_PRODUCTOS (PRODUCTO,ZONA,PRECIO,DIVISA,CODIGO) VALUES(9999,1,10,%ld,%ld)"),
            {DIVISA, priceCode}));
    }
    const int dirty = fw::Application::get().profile().GetInt(QStringLiteral("Otros"),
                                                               QStringLiteral("Crear opciones como dirty"), 0);
    m_connection->Execute(channelInsert(list, filter, priceCode, dirty));
}

void Maquina::CreaPreciosCanales()
{
    FormatString format;
    auto rows = m_connection->CreateRecordset();
    rows->Open(TextFormat::format(QStringLiteral("SELECT * FROM CANALES_MAQUINAS WHERE CODIGO=%d"), {CODIGO}), false);
    for (; !rows->IsEOF(); rows->MoveNext()) {
        const int priceCode =
            m_connection->QueryInt(QStringLiteral("SELECT CODIGO FROM PRECIOS_PRODUCTOS ORDER BY CODIGO DESC")) + 1;
        int product = rows->GetFieldLong(QStringLiteral("PRODUCTO_CANAL"));
        if (!m_connection->Exists(TextFormat::format(QStringLiteral("SELECT * FROM PRODUCTOS WHERE CODIGO=%d"), {product})))
            product = NoProduct;
        const QString price = format.FormatFloat(rows->GetFieldFloat(QStringLiteral("PRECIO_CANAL")));
        m_connection->Execute(TextFormat::format(
            QStringLiteral("INSERT INTO PRECIOS_PRODUCTOS (PRODUCTO,ZONA,PRECIO,DIVISA,CODIGO) VALUES (%d,0,%s,%s,%ld)"),
            {product, price, profileCurrency(), priceCode}));
        m_connection->Execute(TextFormat::format(
            QStringLiteral("UPDATE CANALES_MAQUINAS SET CODIGO_PRECIO=%ld WHERE CODIGO=%ld AND NUMERO='%s'"),
            {priceCode, CODIGO, FormatString::EscapeSqlText(rows->GetFieldString(QStringLiteral("NUMERO")))}));
    }
}

void Maquina::RehaceTeclasCanal()
{
    if (!CargaOpciones())
        return;
    m_connection->Execute(TextFormat::format(QStringLiteral("DELETE FROM TECLASCANAL WHERE MAQUINA=%ld"), {CODIGO}));
    const QString byIndex = QStringLiteral("INSERT INTO TECLASCANAL (MAQUINA,TECLA,CANAL) VALUES (%ld,%d,%d)");
    for (int i = 0; i < OptionCount; ++i) {
        if (TIPO == 89 && i == 0)
            continue;
        QString s = m_options[i];
        if (s.isEmpty())
            continue;
        const qsizetype c = s.indexOf(QLatin1Char('C'));
        if (c >= 0) {
            const int channel = twoDigitNumber(s, c + 1);
            while (!s.isEmpty()) {
                const QChar first = s.at(0);
                if (first != QLatin1Char('T') && first != QLatin1Char('C'))
                    break;
                if (first == QLatin1Char('T')) {
                    const int key = twoDigitNumber(s, 1);
                    if (TIPO_UNION == 8) {
                        m_connection->Execute(TextFormat::format(byIndex, {CODIGO, key, i}));
                    } else {
                        m_connection->Execute(TextFormat::format(
                            QStringLiteral("INSERT INTO TECLASCANAL (MAQUINA,TECLA,CANAL) VALUES (%ld,%d,'%s')"),
                            {CODIGO, key, FormatString::EscapeSqlText(ObtenNombreCanal(channel, TIPO))}));
                    }
                }
                s.remove(0, 3);
            }
            continue;
        }
        if (TIPO_UNION != 8 || !s.contains(QLatin1Char('T')))
            continue;
        int key = 0;
        while (!s.isEmpty()) {
            const qsizetype t = s.indexOf(QLatin1Char('T'));
            if (t >= 0)
                key = twoDigitNumber(s, t + 1);
            m_connection->Execute(TextFormat::format(byIndex, {CODIGO, key, i}));
            s.remove(0, 3);
        }
    }
}
