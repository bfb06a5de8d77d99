#pragma once

#include "link/ExportarProgramacion.h"

#include <QByteArray>

#include <map>
#include <utility>

// The records a T38A machine holds after a compile through the T38A recorder, without a line:
// the last record of every id and field as the pieces carry it (raw records reversed, the
// others as upper-case hexadecimal text; an empty record is never sent).
class T38AStoredRecords : public ExportarProgramacion {
public:
    using Key = std::pair<quint8, quint8>;

    bool EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload) override;
    bool EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size) override;
    void MuestraMensaje(const QString&) override {}
    void MuestraProgreso(qint32) override {}

    // The configuration data as the bulk read collects it: every record as EC 'R' id field
    // and its bytes, in id and field order, then the end marker EC 01.
    QByteArray data() const;

    std::map<Key, QByteArray> records;
};
