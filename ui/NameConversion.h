#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The "Convertir" button of the product-name dialogs: the UTF-16 name the user typed (at most
// 99 units) into the 8-bit name a machine shows, with the T38A family's code page or through
// the classic machines' character table beside the program. The converter reports its own
// failures; none then.
namespace NameConversion {

constexpr int MaxUnits = 99;

std::optional<QByteArray> convertWithCodePage(const QString& wide, quint32 codePage);
std::optional<QByteArray> convertWithTable(const QString& wide);

} // namespace NameConversion
