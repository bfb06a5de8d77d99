#pragma once

#include <QString>

#include <array>
#include <string_view>

// The UTF-16 name of a row: at most 16 units and a terminating zero, 17 units in all as the
// document file stores them. Whatever is assigned is cut to fit, and every unit after the
// name is zero, so the terminator is always there.
class WideName {
public:
    static constexpr int Capacity = 16;
    static constexpr int StoredUnits = Capacity + 1;
    using Units = std::array<char16_t, StoredUnits>;

    WideName() = default;
    // The text up to its first zero unit, cut after 16 units.
    explicit WideName(std::u16string_view text) { assign(text); }
    static WideName fromQString(const QString& text);
    // The 17 units as a file holds them; a last unit that is not zero is dropped.
    static WideName fromUnits(const Units& units);

    void assign(std::u16string_view text);
    void clear() { m_units.fill(0); }

    bool isEmpty() const { return m_units[0] == 0; }
    int size() const;
    std::u16string_view view() const { return std::u16string_view(m_units.data(), std::size_t(size())); }
    QString toQString() const;
    // Zero-terminated.
    const char16_t* data() const { return m_units.data(); }
    const Units& units() const { return m_units; }

    bool operator==(const WideName&) const = default;

private:
    Units m_units{};
};
