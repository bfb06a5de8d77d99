#pragma once

#include "link/ExportarProgramacion.h"

#include <QString>

#include <memory>

class DBConnection;
class ExportOptionsDialogHost;

namespace fw {
class Clock;
}

// The management-database exporter: each compiled record becomes an option value of the
// machine chosen in the export-options dialog; on request the products, their family, their
// pictures, the channels' products and the selection-to-channel union are written too. A
// machine row that the opening adds for the type is kept at once, so that it can be given a
// site for the options dialog to list it; everything after the dialog is one transaction on a
// connection of its own: commitExport keeps it, every other end (a refused record, a cancel,
// the destructor) rolls it back. Database errors are reported by the connection as they happen
// and the export goes on, unless the database has ended the transaction: then the export stops
// at once and says once that nothing was exported.
class ExportaDatabase : public ExportarProgramacion {
public:
    static constexpr int NoDatabaseText = 1200;
    static constexpr int OpenErrorText = 1201;
    static constexpr int ExportedText = 1561;
    static constexpr int OptionNotFoundText = 1562;
    static constexpr int OutdatedDatabaseText = 1582;
    static constexpr int ExportedWithErrorsText = 20900;
    static constexpr int NotExportedText = 22900;

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
    // type has no option for them, or when the database has ended the transaction.
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

    // The end of an export that ran through: the channel prices, then the commit; the user is
    // told whether every statement succeeded, or that nothing was exported when the commit
    // failed (rolled back) or the database had ended the transaction. False then.
    bool commitExport();
    // A record was refused or could not be written since the opening: the export must not be kept.
    bool recordRefused() const { return m_recordRefused; }

    // The product number of the latest AsignaProducto (the finish may lower it); -1 before one.
    qint32 lastProduct() const { return m_lastProduct; }
    // The open connection, none before the opening or after it failed.
    DBConnection* connection() const { return m_connection.get(); }

private:
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
    // The database has ended the export's transaction: nothing of it is kept. The user is told
    // so the first time; no record is written any more.
    bool undone();
    void tellNotExported();

    quint8 m_exportUnion = 0;
    quint8 m_exportProducts = 0;
    qint32 m_lastProduct = -1;
    qint32 m_machineCode = -1;
    qint32 m_machineType = 0;
    std::unique_ptr<DBConnection> m_connection;
    ExportOptionsDialogHost& m_options;
    fw::Clock& m_clock;
    bool m_recordRefused = false;
    bool m_notExportedTold = false;
};
