#include "db/SortSequence.h"

void SortSequence::Push(int column)
{
    for (int slot = 0; slot < ClickSlots; ++slot) {
        if (m_slots[size_t(slot)] == -1) {
            m_slots[size_t(slot)] = column;
            return;
        }
    }
    Clear();
    m_slots[0] = column;
}
