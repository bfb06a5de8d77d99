#include "export/UsbDeviceId.h"

#include <limits>

namespace UsbDeviceId {

namespace {

QByteArray idPart(const QByteArray& field)
{
    QByteArray part = field;
    while (!part.isEmpty() && (part.back() == ' ' || part.back() == '\n' || part.back() == '\t'))
        part.chop(1);
    part.replace(' ', '_');
    return part.toUpper();
}

bool isBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi's reading; a value outside 32 bits saturates rather than being undefined.
qint32 readAsAtoi(const QByteArray& text)
{
    qsizetype i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    qint64 value = 0;
    constexpr qint64 Limit = qint64(std::numeric_limits<qint32>::max()) + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), Limit);
    value = negative ? -value : std::min(value, Limit - 1);
    return qint32(value);
}

} // namespace

QByteArray compose(const QByteArray& vendor, const QByteArray& model, const QByteArray& revision,
                   const QByteArray& serial)
{
    const QByteArray instance = serial.isEmpty() ? QByteArray("0") : serial;
    return "USBSTOR\\DISK&VEN_" + idPart(vendor) + "&PROD_" + idPart(model) + "&REV_" + idPart(revision) + '\\' +
           instance + "&0";
}

bool namesProgrammingDevice(const QByteArray& id) { return id.contains("PEMVORA") && id.contains("QUORVANEL"); }

qint32 serialField(const QByteArray& id)
{
    const qsizetype rev = id.indexOf("REV");
    if (rev < 0)
        return 0;
    const qsizetype slash = id.indexOf('\\', rev);
    if (slash < 0)
        return 0;
    const qsizetype amp = id.indexOf('&', slash + 1);
    if (amp < 0)
        return 0;
    return readAsAtoi(id.mid(slash + 1, amp - slash - 1));
}

} // namespace UsbDeviceId
