#pragma once

#include <QByteArray>
#include <QString>

namespace fw {

// The one way 8-bit names meet widgets: Windows-1252 both ways, without loss. The five bytes
// the code page leaves undefined (81 8D 8F 90 9D) stand for the control characters of the same
// value, so every byte string comes back byte for byte once the text is unchanged. A
// character the page cannot hold becomes '?'.
namespace Windows1252 {

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text);

} // namespace Windows1252

} // namespace fw
