#include "link/LineTiming.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// An answer as the recorder notes it: how late it came, and whether only the line can have
// delayed it.
struct Answer {
    qint64 lateUs;
    bool lineOnly;
};

constexpr qint64 Character = 1041; // ten bits at 9600 baud

// The answers, then that many more that came at once.
std::vector<Answer> withAtOnce(std::vector<Answer> answers, int count)
{
    answers.insert(answers.end(), std::size_t(count), Answer{100, true});
    return answers;
}

TEST(LineTimingTest, ACharacterIsTenBitsAtTheLinesSpeed)
{
    EXPECT_EQ(LineTiming(9600).characterUs(), Character);
    EXPECT_EQ(LineTiming(19200).characterUs(), 520);
}

TEST(LineTimingTest, TimesAreTrustedOnlyOnALineSeenToHandBytesOverAtOnce)
{
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        bool prompt;
    };
    const Answer atOnce{200, true};
    const Answer held{9000, true};
    const Answer machineAtWork{9000, false};
    const Case cases[] = {
        {"nothing seen yet", {}, false},
        {"one answer at once", {atOnce}, false},
        {"two answers at once", {atOnce, atOnce}, true},
        {"half a character late is still at once", {{520, true}, {520, true}}, true},
        {"a held answer among the first", {atOnce, held, atOnce}, false},
        {"one answer taken late after three at once", {atOnce, atOnce, atOnce, held}, true},
        {"two answers held after three at once", {atOnce, atOnce, atOnce, held, held}, false},
        // A USB adapter holds nearly every answer: one that came at once now and then is not enough.
        {"held answers with one at once between them", {held, atOnce, held, atOnce, held, atOnce}, false},
        {"a late answer the machine may have worked on", {atOnce, machineAtWork, atOnce}, true},
        // A pseudo-terminal without a wire hands answers over sooner than the speed allows.
        {"an answer sooner than the line's speed", {atOnce, {-Character, true}, atOnce, atOnce}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LineTiming line(9600);
        for (const Answer& answer : c.answers)
            line.noteAnswer(answer.lateUs, answer.lineOnly);
        EXPECT_EQ(line.prompt(), c.prompt);
    }
}

TEST(LineTimingTest, TheQuietTimeIsTwiceTheLongestGapNeverLessThanTheFloor)
{
    struct Case {
        const char* name;
        std::vector<Answer> answers;
        qint64 quietUs;
    };
    const Case cases[] = {
        {"nothing seen yet", {}, LineTiming::QuietFloorUs},
        {"a UART", {{200, true}, {-100, true}}, LineTiming::QuietFloorUs},
        // A byte held 15 ms may follow the one before it by a character more.
        {"bursts every 16 ms", {{200, true}, {15000, true}, {3000, true}}, 2 * (Character + 15000)},
        {"bursts every 32 ms", {{31000, true}}, 2 * (Character + 31000)},
        // Waiting longer is never wrong: on a line not yet seen to hand bytes over at once, a
        // late answer counts even when the machine may have been at work.
        {"the machine's work on a line not known yet", {{40000, false}}, 2 * (Character + 40000)},
        {"the machine's work on a line seen at once", {{200, true}, {200, true}, {40000, false}},
         LineTiming::QuietFloorUs},
        // One answer the program was late to take is forgotten after the next sixteen.
        {"a late answer sixteen answers ago", withAtOnce({{9000, true}}, LineTiming::RecentAnswers),
         LineTiming::QuietFloorUs},
        {"a late answer fifteen answers ago", withAtOnce({{9000, true}}, LineTiming::RecentAnswers - 1),
         2 * (Character + 9000)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LineTiming line(9600);
        for (const Answer& answer : c.answers)
            line.noteAnswer(answer.lateUs, answer.lineOnly);
        EXPECT_EQ(line.quietUs(), c.quietUs);
    }
}

} // namespace
