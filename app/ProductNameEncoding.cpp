#include "app/ProductNameEncoding.h"

#include "app/NameConverter.h"
#include "fw/Application.h"

#include <algorithm>
#include <array>

namespace {

constexpr quint32 DefaultCodePage = 1250;

// What the machines' separators and fillers (0xCC, 0xCD, 0xFF bytes) become in a name.
constexpr std::array<char16_t, 6> NameEnds{0x00CC, 0xCC00, 0xCCCC, 0xCD00, 0xCDCD, 0xFFFF};

} // namespace

quint32 GetNameCodePage()
{
    if (!fw::ProgramWide<fw::Application>::exists())
        return DefaultCodePage;
    const int page = fw::Application::get().profile().GetInt(QStringLiteral("Ormi"), QStringLiteral("Codepage"), 0);
    switch (page) {
    case 1251:
    case 1255:
    case 1256:
        return quint32(page);
    default:
        return DefaultCodePage;
    }
}

void ConvertNameToWide(const QByteArray& name, WideName& wide, quint32 codePage)
{
    if (QByteArray(name.constData()) == FillerProductName || codePage == DefaultCodePage)
        return;
    std::u16string units;
    if (!NameConverter::ToWide(name, codePage, units))
        return;
    const auto end = std::find_first_of(units.begin(), units.end(), NameEnds.begin(), NameEnds.end());
    units.erase(end, units.end());
    wide.assign(units);
}
