#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Where the compile step hands a document's configuration records: a machine recorder, the
// .prg writer or the management-database export. A record is addressed by a block id and a
// field. The exporter knows nothing of documents and reports its own failures.
class ExportarProgramacion {
public:
    virtual ~ExportarProgramacion();

    // One record. The payload lives only during the call (one buffer serves every record), so
    // an exporter copies what it keeps. False refuses the record and ends the compile.
    virtual bool EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload) = 0;
    // A one-byte record; the compile step passes size 1 and does not look at the result.
    virtual bool EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size) = 0;
    // The number and name of each product header as it is compiled; ignored unless an
    // exporter keeps products of its own.
    virtual void AsignaProducto(qint32 productNumber, const QByteArray& name);
    // A status text for the user.
    virtual void MuestraMensaje(const QString& text) = 0;
    // Progress in percent; more than 100 for product numbers above 24.
    virtual void MuestraProgreso(qint32 percent) = 0;

protected:
    ExportarProgramacion() = default;
    ExportarProgramacion(const ExportarProgramacion&) = default;
    ExportarProgramacion& operator=(const ExportarProgramacion&) = default;
};
