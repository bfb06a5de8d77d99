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
    const bool atOnce = lateUs <= m_characterUs / 2;
    // On a line known to hand bytes over at once, the machine's work in a late answer is no
    // reason to wait longer.
    if (lineOnly || atOnce || !prompt()) {
        m_recentLateUs[std::size_t(m_nextRecent)] = std::max<qint64>(lateUs, 0);
        m_nextRecent = (m_nextRecent + 1) % RecentAnswers;
    }
    if (atOnce)
        m_score = std::min(m_score + 1, PromptScore + 1);
    else if (lineOnly)
        m_score = std::max(m_score - 1, 0);
}

qint64 LineTiming::quietUs() const
{
    // A byte held lateUs may follow the one before it by a character more than that.
    const qint64 longestLateUs = *std::max_element(m_recentLateUs.begin(), m_recentLateUs.end());
    return std::max(QuietFloorUs, 2 * (m_characterUs + longestLateUs));
}
