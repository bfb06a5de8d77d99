#pragma once

#include "link/ExportarProgramacion.h"

#include <QByteArray>
#include <QList>
#include <QString>

// An exporter that records every call of the compile step, in order, and refuses the
// records it is told to.
class RecordingExporter : public ExportarProgramacion {
public:
    enum class Call { Data, Byte, Product, Message, Progress };

    struct Event {
        Call call = Call::Data;
        int block = 0;
        int field = 0;
        QByteArray payload; // Data: the payload; Byte: the value; Product: the name
        int number = 0;     // Byte: the size; Product: the product number; Progress: percent
        QString text;       // Message
    };

    static Event data(int block, int field, const QByteArray& payload) { return {Call::Data, block, field, payload, 0, {}}; }
    static Event byte(int block, int field, int value, int size = 1)
    {
        return {Call::Byte, block, field, QByteArray(1, char(value)), size, {}};
    }
    static Event product(int number, const QByteArray& name) { return {Call::Product, 0, 0, name, number, {}}; }
    static Event message(const QString& text) { return {Call::Message, 0, 0, {}, 0, text}; }
    static Event progress(int percent) { return {Call::Progress, 0, 0, {}, percent, {}}; }

    bool EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload) override;
    bool EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size) override;
    void AsignaProducto(qint32 productNumber, const QByteArray& name) override;
    void MuestraMensaje(const QString& text) override;
    void MuestraProgreso(qint32 percent) override;

    // The index-th call of EscribeDatos (from 0) is refused; -1 refuses none.
    void refuseData(int index) { m_refusedData = index; }
    void refuseBytes(bool refuse) { m_refuseBytes = refuse; }

    const QList<Event>& events() const { return m_events; }
    // The Data events only.
    QList<Event> records() const;
    // One line for an event, for readable failures.
    static QString describe(const Event& event);

private:
    QList<Event> m_events;
    int m_dataCalls = 0;
    int m_refusedData = -1;
    bool m_refuseBytes = false;
};
