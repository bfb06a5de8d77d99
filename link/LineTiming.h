#pragma once

#include <QtGlobal>

#include <array>

// What a recorder has seen of how its serial line hands the machine's bytes over: how late each
// answer came past the earliest the line's speed allowed. A UART hands every byte over as it
// arrives; a USB serial adapter holds what it gets and hands it over in bursts every few
// milliseconds, so the byte after another may come a whole burst later. Two things follow:
// the time the line must stay silent before nothing more can come, and whether a byte's time
// alone tells which answer it belongs to (only on a line seen to hand bytes over at once).
class LineTiming {
public:
    // Five characters of eleven bits at 9600 baud: the line is never taken as quiet sooner.
    static constexpr qint64 QuietFloorUs = 6000;
    // Times are trusted once answers that came at once outnumber those the line held back by
    // this many among the last ones: a line that holds bytes back never gets there (a USB
    // adapter holds nearly every answer, and the answer to a byte sent right after a burst a
    // whole period), while one answer the program itself was late to take (a busy computer)
    // does not undo it.
    static constexpr int PromptScore = 2;
    // The quiet time follows the latest answers, so that one the program itself was late to
    // take does not slow the rest of a transfer; a line that holds bytes back shows it in
    // nearly every answer.
    static constexpr int RecentAnswers = 16;

    explicit LineTiming(int baud);

    // The shortest time a character takes on the line: start bit, eight data bits, stop bit.
    qint64 characterUs() const { return m_characterUs; }

    // An answer came lateUs past the earliest it could have come. lineOnly: nothing but the
    // line can have delayed it (the answer to a control byte, the next byte of a block), so a
    // late one shows the line holds bytes back; otherwise the machine's own work may be in the
    // delay: a late one then lengthens the quiet time only while the line is not known to hand
    // bytes over at once (waiting longer is never wrong).
    void noteAnswer(qint64 lateUs, bool lineOnly);

    // The answers come at once (none more than half a character late, but for a rare one). Never
    // on a line that has handed an answer over sooner than its speed allows (a virtual line
    // without a wire): times tell nothing there.
    bool prompt() const { return !m_fasterThanItsSpeed && m_score >= PromptScore; }
    // Twice the longest a byte has been seen to follow another (or an answer what it answers)
    // among the recent answers, never less than the floor.
    qint64 quietUs() const;

private:
    qint64 m_characterUs;
    // How late the recent answers came (those that count for the quiet time), oldest replaced.
    std::array<qint64, RecentAnswers> m_recentLateUs{};
    int m_nextRecent = 0;
    int m_score = 0;
    bool m_fasterThanItsSpeed = false;
};
