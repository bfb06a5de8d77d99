#pragma once

#include "export/UsbDeviceLocator.h"

#include <QByteArray>
#include <QString>

#include <optional>

class COrmiDoc;
class CExportaUSB;
class SaveDialogHost;
struct SaveDialogRequest;

// One run of the .prg export command: the machine model is chosen, the save dialog opens on
// the programming device's folder until the name is accepted, the configuration is compiled
// into memory and only then written, atomically: an existing file is replaced whole or left
// as it was. Every end is told to the user, except the user's own Cancel.
class UsbExport {
public:
    static constexpr int NotExportedText = 20503;
    static constexpr int ExportedText = 20504;

    UsbExport(COrmiDoc& document, SaveDialogHost& dialog, UsbDeviceLocator locator = UsbDeviceLocator());
    UsbExport(const UsbExport&) = delete;
    UsbExport& operator=(const UsbExport&) = delete;

    void Run();

private:
    // The path of an accepted name, or none on Cancel.
    std::optional<QString> choosePath(const SaveDialogRequest& request);

    COrmiDoc& m_document;
    SaveDialogHost& m_dialog;
    UsbDeviceLocator m_locator;
};
