#include "link/LineTiming.h"

#include <algorithm>

namespace {
constexpr qint64 BitsPerCharacter = 10;
} // namespace

LineTiming::LineTiming(int baud)
    : m_characterUs(BitsPerCharacter * 1'000'000 / std::max(1, baud))
{
}

void LineTiming::noteAnswer(qint64 lateUs, bool lineOnly)
{
    if (lateUs < -m_characterUs / 4)
        m_fasterThanItsSpeed = true;
    if (lateUs <= m_characterUs / 2) {
        m_score = std::min(m_score + 1, PromptScore + 1);
        return;
    }
    if (lineOnly || !prompt())
        m_longestLateUs = std::max(m_longestLateUs, lateUs);
    if (lineOnly)
        m_score = std::max(m_score - 1, 0);
}

qint64 LineTiming::quietUs() const
{
    // A byte held lateUs may follow the one before it by a character more than that.
    return std::max(QuietFloorUs, 2 * (m_characterUs + m_longestLateUs));
}
