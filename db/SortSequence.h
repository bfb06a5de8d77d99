#pragma once

#include <array>
#include <cstddef>

// The grid's clicked column numbers in click order. Ten slots, the first -1 ending the
// sequence; only the first nine take clicks, so the tenth always ends it.
class SortSequence {
public:
    static constexpr int Slots = 10;
    static constexpr int ClickSlots = 9;

    SortSequence() { Clear(); }

    // The column goes into the first free slot of the nine; when none is free the sequence
    // starts over with the column alone.
    void Push(int column);
    void Clear() { m_slots.fill(-1); }
    bool IsEmpty() const { return m_slots[0] == -1; }

    int At(int slot) const { return m_slots[std::size_t(slot)]; }
    void Set(int slot, int column) { m_slots[std::size_t(slot)] = column; }
    const std::array<int, Slots>& Values() const { return m_slots; }

    bool operator==(const SortSequence&) const = default;

private:
    std::array<int, Slots> m_slots;
};
