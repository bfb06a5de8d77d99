#include "app/WideName.h"

#include <QChar>

#include <algorithm>

WideName WideName::fromQString(const QString& text)
{
    return WideName(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), std::size_t(text.size())));
}

WideName WideName::fromUnits(const Units& units)
{
    return WideName(std::u16string_view(units.data(), Capacity));
}

void WideName::assign(std::u16string_view text)
{
    text = text.substr(0, text.find(u'\0'));
    if (text.size() > std::size_t(Capacity)) {
        text = text.substr(0, Capacity);
        // Never keep half of a surrogate pair that the cut went through.
        if (QChar::isHighSurrogate(text.back()))
            text.remove_suffix(1);
    }
    clear();
    std::copy(text.begin(), text.end(), m_units.begin());
}

int WideName::size() const
{
    int length = 0;
    while (m_units[std::size_t(length)] != 0)
        ++length;
    return length;
}

QString WideName::toQString() const { return QString::fromUtf16(m_units.data(), size()); }
