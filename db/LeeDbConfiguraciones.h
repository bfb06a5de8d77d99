#pragma once

#include "db/DBConnection.h"
#include "db/RowIterator.h"

#include <QString>

#include <memory>

// Reads the machine catalogue's configuration database CONFIGURACIONES.MDB: machine types,
// the configurations (machine models) with their relay, dispenser and picture files, their
// names and prototype marks. Opens the database read-only, shared with other readers, for
// its lifetime; a database that does not open has been reported once and every question
// then gets its empty answer.
class LeeDbConfiguraciones {
public:
    // The internal mode of the program also lists the prototype configurations.
    enum class Mode { Normal, Internal };

    static QString DatabaseName() { return QStringLiteral("CONFIGURACIONES.MDB"); }
    // Follows the name of a prototype in the configuration list.
    static QString PrototypeMark() { return QStringLiteral(" !!PROTOTIPO!!"); }
    // A prototype's relay and dispenser files lie in this folder of the catalogue.
    static QString PrototypeFolder() { return QStringLiteral("Prototipo\\"); }

    explicit LeeDbConfiguraciones(Mode mode = Mode::Normal);
    virtual ~LeeDbConfiguraciones();
    LeeDbConfiguraciones(const LeeDbConfiguraciones&) = delete;
    LeeDbConfiguraciones& operator=(const LeeDbConfiguraciones&) = delete;

    bool IsOpen() const { return m_connection != nullptr; }

    // The configuration's machine type counts water in flow-meter pulses.
    bool UsaPulsosCaudalimetro(int code);
    // "<machine type>: <configuration>", each part empty when not found.
    QString LeeNombreConfiguracion(int code);
    // The configuration list, one configuration a call, ordered by machine type and code and
    // named in the list language; false (and the list starts again) after the last one.
    // Prototypes are listed only in the internal mode, with the prototype mark.
    bool LeeSiguienteConfiguracion(QString& machineType, QString& configuration, int& code);
    // The full path of the configuration's picture; empty when it names none.
    QString LeeFicheroImagen(int code);
    // The full path of the configuration's dispenser or relay file; empty when it has none.
    QString LeeFicheroDispensadores(int code);
    QString LeeFicheroReles(int code);

private:
    // The relay or dispenser file named by the column.
    QString LeeFicheroDispositivos(int code, const QString& column);
    // Moves to the next configuration the mode lists.
    bool NextListedConfiguration();

    std::unique_ptr<DBConnection> m_connection;
    RowIterator m_configurations;
    Mode m_mode;
};
