#include "ui/NameConversion.h"

#include "app/NameConverter.h"
#include "fw/Application.h"

#include <QDir>

#include <string>

namespace NameConversion {

namespace {

constexpr int WrongCharacterCaption = 205;
constexpr int TableMissingText = 206;

std::u16string typedUnits(const QString& wide)
{
    const QString text = wide.left(MaxUnits);
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size()));
}

} // namespace

std::optional<QByteArray> convertWithCodePage(const QString& wide, quint32 codePage)
{
    QByteArray out;
    if (!NameConverter::ConvertWithCodePage(typedUnits(wide), out, codePage))
        return std::nullopt;
    return out;
}

std::optional<QByteArray> convertWithTable(const QString& wide)
{
    fw::Application& app = fw::Application::get();
    NameConverter converter;
    converter.SetCaption(app.strings().text(WrongCharacterCaption));
    converter.SetFileErrorText(app.strings().text(TableMissingText));
    converter.SetTablePath(QDir(app.programFolder()).filePath(QStringLiteral("ConvertLCD.txt")));
    QByteArray out;
    if (!converter.ConvertWithTable(typedUnits(wide), out))
        return std::nullopt;
    return out;
}

} // namespace NameConversion
