#pragma once

#include <QByteArray>

// The device instance id of a USB disk, as Windows composes it, and what the programming
// device is recognised by. The locator composes the id from sysfs so that one rule serves.
namespace UsbDeviceId {

// USBSTOR\DISK&VEN_<vendor>&PROD_<model>&REV_<rev>\<serial>&0, the three SCSI fields with
// trailing blanks cut, inner blanks as '_' and upper-cased; a disk without a serial gives "0".
QByteArray compose(const QByteArray& vendor, const QByteArray& model, const QByteArray& revision,
                   const QByteArray& serial);
// Both the maker's and the device's name appear in the id, in upper case, anywhere.
bool namesProgrammingDevice(const QByteArray& id);
// The text between the first '\' at or after "REV" and the next '&' after it, read as atoi
// reads (leading blanks, a sign, digits; anything else 0). A missing piece gives 0.
qint32 serialField(const QByteArray& id);

} // namespace UsbDeviceId
