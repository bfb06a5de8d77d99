#pragma once

#include "link/ExportarProgramacion.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class DBConnection;
class DBException;
class ExportOptionsDialogHost;

namespace fw {
class Clock;
}

// The management-database exporter: each compiled record becomes an option value of the
// machine chosen in the export-options dialog; on request the products, their family, their
// pictures, the channels' products and the selection-to-channel union are written too. A
// machine row that the opening adds for the type is kept at once, so that it can be given a
// site for the options dialog to list it; everything after the dialog is one transaction:
// commitExport keeps it, every other end (a refused record, a cancel, the destructor) rolls it
// back. The first statement the database refuses, or a value it holds that does not read as
// its column's type, ends the export there: the transaction (or the machine row being added)
// is rolled back, the database's reason is shown once and then that nothing was exported (but
// for the machine row this export added, which stays and is named), or that the database
// cannot be used when its file is at fault. Nothing runs after that.
class ExportaDatabase : public ExportarProgramacion {
public:
    static constexpr int NoDatabaseText = 1200;
    static constexpr int OpenErrorText = 1201;
    static constexpr int ExportedText = 1561;
    static constexpr int OptionNotFoundText = 1562;
    static constexpr int OutdatedDatabaseText = 1582;
    static constexpr int NotExportedText = 22900;
    // "No se ha exportado nada más: ... La máquina nueva %ld, ... sigue en la base de datos."
    static constexpr int NewMachineKeptText = 22902;

    // The options dialog opens through the host; "now" is the clock's (the connection's).
    ExportaDatabase(int machineType, ExportOptionsDialogHost& options, fw::Clock& clock);
    // Rolls back what was not committed and closes the connection.
    ~ExportaDatabase() override;
    ExportaDatabase(const ExportaDatabase&) = delete;
    ExportaDatabase& operator=(const ExportaDatabase&) = delete;

    // Opens the database (profile Configuracion/Database), makes a machine row of the type when
    // there is none, runs the options dialog, begins the transaction and rebuilds the chosen
    // machine's channels. False ends the export.
    bool AbreExportacion();
    // The record's option value; false (after naming the block and field) when the machine
    // type has no option for them, or when the export has ended.
    bool EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload) override;
    // EscribeDatos of the one byte; the size is not used.
    bool EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size) override;
    // With the products option: finds or creates the product, its picture and the channel's product.
    void AsignaProducto(qint32 productNumber, const QByteArray& name) override;
    void MuestraMensaje(const QString& text) override;
    void MuestraProgreso(qint32 percent) override;
    // The code of the product family "CAFE", made when missing.
    int ObtenFamiliaProductos();
    // With the union option: the complete configuration when every selection was exported,
    // the union options and the key-to-channel table. False when no product was exported or
    // the type has no base option; no union option is written then.
    bool FinalizaExportacion();

    // The end of an export that ran through: the channel prices, then the commit, and the word
    // that it was exported. False when the export had ended before or ends here.
    bool commitExport();
    // A record was refused, or the export has ended, since the opening: it must not be kept.
    bool recordRefused() const { return m_ended; }

    // The product number of the latest AsignaProducto (the finish may lower it); -1 before one.
    qint32 lastProduct() const { return m_lastProduct; }
    // The open connection, none before the opening or after it failed.
    DBConnection* connection() const { return m_connection.get(); }

private:
    // Opens the connection; false after telling why.
    bool openDatabase();
    // A machine row of the type when there is none, committed by itself.
    bool addMachineOfType();
    // The options dialog; false when it is cancelled or no machine was chosen.
    bool chooseMachine();
    // Begins the export's transaction; with an option, the machine's configuration and channels.
    bool prepareMachine();
    bool writeOption(quint8 blockId, quint8 field, QByteArrayView payload);
    void exportProduct(qint32 productNumber, const QString& description, const QString& name, const QString& picture);
    bool finishUnion();
    // Runs a step of the export with the connection in throw mode: the step's result, or false
    // once the export has ended (before or in this step).
    bool guarded(const std::function<bool()>& step);
    // The database refused a statement: nothing is kept, and the user is told why and that
    // nothing was exported (or that the database cannot be used).
    void endAt(const DBException& failure);
    // The Jet date-time literal of now.
    QString now() const;
    // The code of the product of a name (upper-case, without apostrophes) and its
    // description, made when neither is there.
    int findOrCreateProduct(const QString& description, const QString& name);
    // The highest free code below the limit that follows a code in use, not below the lowest;
    // the query's "no row" counts as noRow.
    int freeCode(const QString& maxBelow, int limit, int noRow, int lowest);
    void setPicture(int product, QString picture);
    void writeUnionOption(long option, const QString& value);

    quint8 m_exportUnion = 0;
    quint8 m_exportProducts = 0;
    qint32 m_lastProduct = -1;
    qint32 m_machineCode = -1;
    qint32 m_machineType = 0;
    std::unique_ptr<DBConnection> m_connection;
    ExportOptionsDialogHost& m_options;
    fw::Clock& m_clock;
    bool m_ended = false; // a record was refused or the database refused a statement
    std::optional<long> m_addedMachine; // the code of the machine row this export added and kept
    bool m_catalogueFailed = false;     // the product names could not be read; reported once
};
