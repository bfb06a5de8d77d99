#include "tests/link/RecordingExporter.h"

bool RecordingExporter::EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload)
{
    m_events.append(data(blockId, field, payload.toByteArray()));
    return m_dataCalls++ != m_refusedData;
}

bool RecordingExporter::EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size)
{
    m_events.append(byte(blockId, field, value, size));
    return !m_refuseBytes;
}

void RecordingExporter::AsignaProducto(qint32 productNumber, const QByteArray& name)
{
    m_events.append(product(productNumber, name));
}

void RecordingExporter::MuestraMensaje(const QString& text) { m_events.append(message(text)); }

void RecordingExporter::MuestraProgreso(qint32 percent) { m_events.append(progress(percent)); }

QList<RecordingExporter::Event> RecordingExporter::records() const
{
    QList<Event> out;
    for (const Event& event : m_events) {
        if (event.call == Call::Data)
            out.append(event);
    }
    return out;
}

QString RecordingExporter::describe(const Event& event)
{
    switch (event.call) {
    case Call::Data:
        return QStringLiteral("data %1/%2 [%3] %4")
            .arg(event.block)
            .arg(event.field)
            .arg(event.payload.size())
            .arg(QString::fromLatin1(event.payload.toHex(' ')));
    case Call::Byte:
        return QStringLiteral("byte %1/%2 %3 size %4")
            .arg(event.block)
            .arg(event.field)
            .arg(quint8(event.payload.at(0)))
            .arg(event.number);
    case Call::Product:
        return QStringLiteral("product %1 %2").arg(event.number).arg(QString::fromLatin1(event.payload));
    case Call::Message:
        return QStringLiteral("message %1").arg(event.text);
    case Call::Progress:
        return QStringLiteral("progress %1").arg(event.number);
    }
    return QString();
}
