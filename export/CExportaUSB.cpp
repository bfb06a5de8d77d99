#include "export/CExportaUSB.h"

#include "app/MachineModel.h"
#include "export/SaveDialogHost.h"
#include "fw/Application.h"
#include "fw/CodePage.h"
#include "fw/MessageBoxes.h"

#include <algorithm>

namespace {

constexpr char RecordMark = char(0xEC);
constexpr char LineEnd[] = "\r\n";

QByteArray recordStart(quint8 blockId, quint8 field)
{
    QByteArray record;
    record += RecordMark;
    record += char(blockId);
    record += char(field);
    return record;
}

// Two upper-case hex digits a byte.
QByteArray hexPairs(QByteArrayView bytes) { return bytes.toByteArray().toHex().toUpper(); }

QString resourceText(int id) { return fw::Application::get().strings().text(id); }

} // namespace

CExportaUSB::CExportaUSB(UsbDeviceLocator locator)
    : m_locator(std::move(locator))
{
}

bool CExportaUSB::EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload)
{
    if (IsRawRecordCode(blockId)) {
        QByteArray record = recordStart(blockId, field);
        for (qsizetype i = payload.size() - 1; i >= 0; --i)
            record += payload[i];
        EscribeLineaHex(record, m_text, payload.size() / 2);
        return true;
    }
    qsizetype position = 0;
    do {
        const qsizetype n = std::min<qsizetype>(ChunkLength, payload.size() - position);
        QByteArray record = recordStart(blockId, field);
        for (qsizetype i = position; i < position + n; ++i)
            record += hexPairs(payload.sliced(i, 1));
        EscribeLineaHex(record, m_text, n);
        position += n;
    } while (position < payload.size());
    return true;
}

bool CExportaUSB::EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size)
{
    if (size == 0)
        return EscribeDatos(blockId, field, {});
    if (size != 1)
        return false;
    m_text += hexPairs(recordStart(blockId, field)) + QByteArray::number(value).rightJustified(2, '0') + LineEnd;
    return true;
}

void CExportaUSB::MuestraMensaje(const QString&) {}

void CExportaUSB::MuestraProgreso(qint32) {}

bool CExportaUSB::PreparaDialogoGuardar(SaveDialogRequest& request) const
{
    QString folder = QString::fromLatin1(UsbDeviceLocator::DeviceFolder);
    if (m_locator.FindDevice(folder)) {
        request.initialFolder = folder;
    } else {
        if (!fw::MessageBoxes::askYesNo(resourceText(NoDeviceText)))
            return false;
        request.initialFolder.clear();
    }
    request.defaultExtension = QStringLiteral("prg");
    request.fileName.clear();
    // "*.*" would hide names without a dot here; the label stays as the user knows it.
    request.filters = {{resourceText(FilterPrgText), QStringLiteral("*.prg")}, {resourceText(FilterAllText), QStringLiteral("*")}};
    return true;
}

bool CExportaUSB::CompruebaNombreFichero(QString fileName)
{
    const qsizetype extension = fileName.indexOf(QStringLiteral(".prg"));
    if (extension >= 0)
        fileName.remove(extension, 4);
    const QChar first = fileName.isEmpty() ? QChar() : fileName.front();
    if ((first >= QLatin1Char('0') && first <= QLatin1Char('9')) || first == QLatin1Char('+') ||
        first == QLatin1Char('-')) {
        fw::MessageBoxes::box(resourceText(FirstCharacterText));
        return false;
    }
    // Names are counted as the 8-bit bytes the machine's medium keeps.
    if (fw::CodePage::encodeLossy(fileName, fw::CodePage::Ansi).size() > MaxNameLength) {
        fw::MessageBoxes::box(resourceText(NameTooLongText));
        return false;
    }
    return true;
}

void CExportaUSB::EscribeCabecera(qint32 machineType, QByteArray& text)
{
    text = QByteArray::number(machineType) + LineEnd;
}

void CExportaUSB::EscribeLineaHex(QByteArrayView record, QByteArray& line, qsizetype n)
{
    const qsizetype count = std::min(2 * n + 3, record.size());
    line += hexPairs(record.first(count)) + LineEnd;
}
