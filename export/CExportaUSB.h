#pragma once

#include "export/UsbDeviceLocator.h"
#include "link/ExportarProgramacion.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

struct SaveDialogRequest;

// The .prg writer: turns each compiled record into text lines "EC" + block id + field + data,
// all in hex, and prepares the save dialog on the programming device's folder. Lines end in
// CR LF on every system, as the machine's programming device reads them.
class CExportaUSB : public ExportarProgramacion {
public:
    static constexpr int NoDeviceText = 20500;
    static constexpr int FirstCharacterText = 20501;
    static constexpr int NameTooLongText = 20502;
    static constexpr int FilterPrgText = 20505;
    static constexpr int FilterAllText = 20506;
    // Payload bytes of a hex-text line.
    static constexpr int ChunkLength = 25;
    static constexpr int MaxNameLength = 8;

    explicit CExportaUSB(UsbDeviceLocator locator = UsbDeviceLocator());

    // Hex-text lines of at most 25 payload bytes each (one bare line for no payload), or for
    // a raw block one line of the payload's pairs in reverse order. Always true.
    bool EscribeDatos(quint8 blockId, quint8 field, QByteArrayView payload) override;
    // Size 1: one line with the value in decimal, at least two digits. Size 0: the empty
    // record's line. Larger sizes are refused (false, no line): there is one byte to read.
    bool EscribeByte(quint8 blockId, quint8 field, quint8 value, qint32 size) override;
    void MuestraMensaje(const QString& text) override;
    void MuestraProgreso(qint32 percent) override;

    // Starts the dialog in the device's folder; without a device asks whether to go on
    // (false: the user declined) and leaves the folder empty. Filters, "prg", no name.
    bool PreparaDialogoGuardar(SaveDialogRequest& request) const;
    // The file name rule, on the name without folder: the first ".prg" (this case only)
    // removed, the rest must not start with a digit, '+' or '-' and must have at most 8
    // characters. A broken rule is shown and gives false.
    static bool CompruebaNombreFichero(QString fileName);
    // The header line: the machine type in decimal.
    static void EscribeCabecera(qint32 machineType, QByteArray& text);
    // 2n + 3 record bytes as hex pairs and a line end, appended to the line text.
    static void EscribeLineaHex(QByteArrayView record, QByteArray& line, qsizetype n);

    // The record lines so far.
    const QByteArray& text() const { return m_text; }

private:
    UsbDeviceLocator m_locator;
    QByteArray m_text;
};
