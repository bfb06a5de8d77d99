#pragma once

#include <QString>

#include <array>

class DBConnection;

// One machine row of the vending-management database, the union kind of its machine type and,
// on demand, its option values; rebuilds the machine's channels, channel prices and
// key-to-channel table from them. Lives for one step of an export; reads the database again
// each time it is built.
class Maquina {
public:
    static constexpr int OptionCount = 100;

    // Loads the row of the machine code; a missing row leaves Codigo() -1. The connection is
    // not owned.
    Maquina(long code, DBConnection* connection);

    void Inicializa();
    void CargaMaquina(long code);
    int ObtenTipoUnion() const { return TIPO_UNION; }
    // Loads the option values once; false when the machine has none.
    bool CargaOpciones();

    static QString ObtenNombreCanal(long channel, int machineType);
    // The currency of the profile (Configuracion/Moneda) as it enters SQL: a whole number
    // only, else the default 2.
    static QString profileCurrency();
    // Empty, or a condition that begins with a blank.
    QString ObtenFiltroCanales();
    void RehaceCanales();
    void CreaPreciosCanales();
    void RehaceTeclasCanal();

    int Divisa() const { return DIVISA; }
    int Tipo() const { return TIPO; }
    int Modelo() const { return MODELO; }
    int Configuracion() const { return CONFIGURACION; }
    int Codigo() const { return CODIGO; }
    const QString& Opcion(int index) const { return m_options[index]; }

private:
    // Runs the statement of an option type, each row setting the value numbered by INDEX.
    void loadIndexedOptions(int optionType);
    QString channelInsert(const QString& table, const QString& filter, int priceCode, int dirty) const;

    DBConnection* m_connection;
    int DIVISA = -1;
    int TIPO = -1;
    int TIPO_UNION = -1;
    int MODELO = -1;
    int CONFIGURACION = -1;
    int CODIGO = -1;
    std::array<QString, OptionCount> m_options;
    bool m_optionsLoaded = false;
};
