#include "fw/TextKey.h"

#include <QStringList>

#include <array>
#include <utility>

namespace fw {

namespace {

constexpr std::array<std::pair<TextKey::Kind, const char*>, 4> Prefixes{{
    {TextKey::Kind::Menu, "menu"},
    {TextKey::Kind::Popup, "popup"},
    {TextKey::Kind::Toolbar, "toolbar"},
    {TextKey::Kind::Dialog, "dialog"},
}};

std::optional<int> number(QStringView text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

} // namespace

QString TextKey::name() const
{
    if (kind == Kind::String)
        return QString::number(id);
    QString out;
    for (const auto& [prefixKind, prefix] : Prefixes) {
        if (prefixKind == kind)
            out = QLatin1String(prefix) + QLatin1Char('.') + QString::number(id);
    }
    if (kind == Kind::Dialog && control != NoControl)
        out += QLatin1Char('.') + QString::number(control);
    return out;
}

std::optional<TextKey> TextKey::parse(QStringView name)
{
    const QList<QStringView> parts = name.trimmed().split(QLatin1Char('.'));
    if (parts.size() == 1) {
        const std::optional<int> id = number(parts[0]);
        return id ? std::optional(string(*id)) : std::nullopt;
    }
    for (const auto& [kind, prefix] : Prefixes) {
        if (parts[0] != QLatin1String(prefix))
            continue;
        const std::optional<int> id = number(parts[1]);
        if (!id)
            return std::nullopt;
        if (parts.size() == 2)
            return TextKey{kind, *id};
        if (parts.size() == 3 && kind == Kind::Dialog) {
            const std::optional<int> control = number(parts[2]);
            return control ? std::optional(dialog(*id, *control)) : std::nullopt;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace fw
