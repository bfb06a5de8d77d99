#include "link/T38AFrame.h"
#include "link/T38AReception.h"

#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

namespace {

TEST(T38AFrameTest, RequestFramesCarryTheCommandCharacterAndTheCodedRest)
{
    struct Case {
        const char* name;
        QByteArray command;
        QByteArray frame;
    };
    const Case cases[] = {
        {"one character", "0", bytes({0x01, 0x30, 0x02, 0x30, 0x30, 0x03, 0x60, 0x04})},
        {"complement and escape", bytes({0x33, 0x01, 0xF0}),
         bytes({0x01, 0x30, 0x02, 0x30, 0x33, 0xFE, 0x16, 0xF0, 0x03, 0x67, 0x04})},
        {"empty", QByteArray(), bytes({0x01, 0x30, 0x02, 0x30, 0x03, 0x30, 0x04})},
        {"E8 complements to 17", bytes({'L', 0xE8}), bytes({0x01, 0x30, 0x02, 0x30, 'L', 0x17, 0x03, 0x93, 0x04})},
        {"E9 is escaped", bytes({'L', 0xE9}), bytes({0x01, 0x30, 0x02, 0x30, 'L', 0x16, 0xE9, 0x03, 0x7B, 0x04})},
        {"the command character stays", bytes({0xE9}), bytes({0x01, 0x30, 0x02, 0x30, 0xE9, 0x03, 0x19, 0x04})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T38AFrame::request('0', '0', c.command).toHex(' '), c.frame.toHex(' ')) << c.name;
}

TEST(T38AFrameTest, TheWorstCaseFrameHoldsEveryByte)
{
    // Every byte after the first escaped: 2n + 6 bytes.
    const QByteArray command = 'X' + QByteArray(99, char(0xFF));
    const QByteArray frame = T38AFrame::request('0', '5', command);
    EXPECT_EQ(frame.size(), 2 * command.size() + 6);
    EXPECT_EQ(T38AFrame::decodeData(QByteArray("\x01<\x02\x35") + frame.mid(5)), QByteArray(99, char(0xFF)));
}

TEST(T38AFrameTest, RepliesAreCheckedAndDecoded)
{
    const QByteArray good = bytes({0x01, 0x3C, 0x02, 0x30, 0x16, 0xFF, 0x03, 0x45, 0x04});
    EXPECT_TRUE(T38AFrame::isValid(good, '0', 0));
    EXPECT_EQ(T38AFrame::decodeData(good), bytes({0xFF}));
    EXPECT_EQ(T38AFrame::decodeData(bytes({0x01, 0x3C, 0x02, 0x30, 0xBE, 0x16, 0x03, 0x00, 0x04})), bytes({0x41}));
    EXPECT_EQ(T38AFrame::decodeData(bytes({0x01, 0x3C, 0x02, 0x30, 0x03, 0x30, 0x04})), QByteArray());

    // A sum of 04: 30 + D4.
    const QByteArray sumFour = bytes({0x01, 0x3C, 0x02, 0x30, 0xD4, 0x03, 0x00, 0x00});
    struct Case {
        const char* name;
        QByteArray stored;
        int tryCount;
        bool valid;
    };
    const Case cases[] = {
        {"good", good, 0, true},
        {"other sequence", bytes({0x01, 0x3C, 0x02, 0x31, 0x16, 0xFF, 0x03, 0x46, 0x04}), 0, false},
        {"bad sum", bytes({0x01, 0x3C, 0x02, 0x30, 0x16, 0xFF, 0x03, 0x46, 0x04}), 0, false},
        {"no EOT", bytes({0x01, 0x3C, 0x02, 0x30, 0x16, 0xFF, 0x03, 0x45, 0x00}), 0, false},
        {"cut after the sum", bytes({0x01, 0x3C, 0x02, 0x30, 0x16, 0xFF, 0x03, 0x45}), 0, false},
        {"no ETX", bytes({0x01, 0x3C, 0x02, 0x30, 0x16, 0xFF}), 0, false},
        {"request address", bytes({0x01, 0x30, 0x02, 0x30, 0x16, 0xFF, 0x03, 0x45, 0x04}), 0, false},
        {"no STX", bytes({0x01, 0x3C, 0x00, 0x30, 0x16, 0xFF, 0x03, 0x45, 0x04}), 0, false},
        {"nothing", QByteArray(), 0, false},
        {"sum 04 before the fifth try", sumFour, 4, false},
        {"sum 04 from the fifth try", sumFour, 5, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T38AFrame::isValid(c.stored, '0', c.tryCount), c.valid) << c.name;
}

// The data of a reply is coded: no byte below 0x17 but the escape, and the escape only before
// a byte of 0xE9 or more. Each frame here has the right sum for its bytes; a NUL does not even
// change it.
TEST(T38AFrameTest, AReplyHoldingBytesTheCodingNeverSendsIsBad)
{
    const auto reply = [](const QByteArray& coded) {
        quint8 sum = '0';
        for (const char byte : coded)
            sum = quint8(sum + quint8(byte));
        return bytes({0x01, 0x3C, 0x02, 0x30}) + coded + bytes({0x03, sum, 0x04});
    };
    struct Case {
        const char* name;
        QByteArray coded;
        bool valid;
    };
    const Case cases[] = {
        {"AB", bytes({0xBE, 0xBD}), true},
        {"the lowest complement", bytes({0xBE, 0x17}), true},
        {"an escaped E9", bytes({0xBE, 0x16, 0xE9}), true},
        {"an escaped FF", bytes({0x16, 0xFF, 0xBD}), true},
        {"a NUL inside", bytes({0xBE, 0x00, 0xBD}), false},
        {"a NUL first", bytes({0x00, 0xBE, 0xBD}), false},
        {"a NUL last", bytes({0xBE, 0xBD, 0x00}), false},
        {"STX inside", bytes({0xBE, 0x02, 0xBD}), false},
        {"EOT inside", bytes({0xBE, 0x04, 0xBD}), false},
        {"ENQ inside", bytes({0xBE, 0x05, 0xBD}), false},
        {"15 inside", bytes({0xBE, 0x15, 0xBD}), false},
        {"an escaped NUL", bytes({0xBE, 0x16, 0x00}), false},
        {"an escape before a complement", bytes({0xBE, 0x16, 0xBD}), false},
        {"an escaped E8", bytes({0xBE, 0x16, 0xE8}), false},
        {"an escape right before the ETX", bytes({0xBE, 0x16}), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(T38AFrame::isValid(reply(c.coded), '0', 0), c.valid) << c.name;

    // The sum 04 taken from the fifth try on does not let such a byte through: 30 + D4 + 00.
    EXPECT_TRUE(T38AFrame::isValid(bytes({0x01, 0x3C, 0x02, 0x30, 0xD4, 0x03, 0x00, 0x00}), '0', 5));
    EXPECT_FALSE(T38AFrame::isValid(bytes({0x01, 0x3C, 0x02, 0x30, 0xD4, 0x00, 0x03, 0x00, 0x00}), '0', 5));
}

TEST(T38AFrameTest, TheSequenceRunsFromZeroToNineAndRound)
{
    EXPECT_EQ(T38AFrame::nextSequence('0'), '1');
    EXPECT_EQ(T38AFrame::nextSequence('8'), '9');
    EXPECT_EQ(T38AFrame::nextSequence('9'), '0');
}

// Feeds the bytes; the index of the byte that ended the reception, or -1.
int feedAll(T38AReception& reception, const QByteArray& input, int* restarts = nullptr)
{
    reception.start();
    for (int i = 0; i < input.size(); ++i) {
        const T38AReception::Feed fed = reception.feed(quint8(input[i]));
        if (restarts && fed.restarted)
            ++*restarts;
        if (fed.ended)
            return i;
    }
    return -1;
}

TEST(T38AReceptionTest, AReplyEndsAtTheEotTwoAfterTheFirstEtx)
{
    T38AReception reception;
    const QByteArray reply = bytes({0x01, 0x3C, 0x02, 0x30, 0x16, 0xFF, 0x03, 0x45, 0x04});
    EXPECT_EQ(feedAll(reception, bytes({0x99, 0x3C}) + reply + bytes({0x77})), 10);
    EXPECT_EQ(reception.stored(), reply);

    // Anything else two after the ETX: no end.
    EXPECT_EQ(feedAll(reception, bytes({0x01, 0x3C, 0x02, 0x30, 0x03, 0x30, 0x00, 0x04})), -1);
}

TEST(T38AReceptionTest, ASecondSohBeforeTheEtxRestartsTheFrame)
{
    T38AReception reception;
    int restarts = 0;
    const QByteArray reply = bytes({0x01, 0x3C, 0x02, 0x30, 0x03, 0x30, 0x04});
    EXPECT_EQ(feedAll(reception, bytes({0x01, 0x3C, 0x02}) + reply, &restarts), 9);
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(reception.stored(), reply);
}

TEST(T38AReceptionTest, AFrameWithoutTheReplyAddressIsDropped)
{
    T38AReception reception;
    EXPECT_EQ(feedAll(reception, bytes({0x01, 0x30, 0x02, 0x30})), -1);
    EXPECT_TRUE(reception.stored().isEmpty());
}

// Only bytes that stay in a frame hold the reception open: a start byte, a dropped frame and
// bytes outside any frame do not.
TEST(T38AReceptionTest, OnlyBytesKeptInAFrameCountAsReceived)
{
    struct Case {
        const char* name;
        QByteArray input;
        QByteArray kept; // 1 where the byte counts
    };
    const Case cases[] = {
        {"start and a dropped frame, again and again", bytes({0x01, 0x00, 0x01, 0x00, 0x01, 0x00}),
         bytes({0, 0, 0, 0, 0, 0})},
        {"bytes outside a frame", bytes({0x55, 0x3C, 0x02, 0x04}), bytes({0, 0, 0, 0})},
        {"a reply begun", bytes({0x01, 0x3C, 0x02, 0x30}), bytes({0, 1, 1, 1})},
        {"a reply begun and broken off", bytes({0x01, 0x3C, 0x01, 0x30}), bytes({0, 1, 0, 0})},
        {"an out-of-band frame", bytes({0x05, 0x3C, 0x02}), bytes({0, 0, 1})},
    };
    for (const Case& c : cases) {
        T38AReception reception;
        reception.start();
        QByteArray kept;
        for (const char byte : c.input)
            kept.append(char(reception.feed(quint8(byte)).inFrame ? 1 : 0));
        EXPECT_EQ(kept.toHex(' '), c.kept.toHex(' ')) << c.name;
    }
}

TEST(T38AReceptionTest, AnEnqAnnouncesAnOutOfBandFrameStoredLikeAReply)
{
    T38AReception reception;
    EXPECT_EQ(feedAll(reception, bytes({0x05, 0x3C, 0x02, 0x30, 0x03, 0x30, 0x04})), 6);
    EXPECT_EQ(reception.mark(), T38AReception::Mark::OutOfBandPending);
    EXPECT_EQ(reception.stored(), bytes({0x01, 0x3C, 0x02, 0x30, 0x03, 0x30, 0x04}));

    // Any other byte outside a frame ends the announcement; an SOH frame too.
    feedAll(reception, bytes({0x05, 0x99, 0x3C}));
    EXPECT_EQ(reception.mark(), T38AReception::Mark::None);
    EXPECT_TRUE(reception.stored().isEmpty());
    feedAll(reception, bytes({0x05, 0x01}));
    EXPECT_EQ(reception.mark(), T38AReception::Mark::None);
}

TEST(T38AReceptionTest, MoreThan1020StoredBytesEndTheReception)
{
    T38AReception reception;
    const QByteArray endless = bytes({0x01, 0x3C, 0x02, 0x30}) + QByteArray(2000, char(0x55));
    EXPECT_EQ(feedAll(reception, endless), T38AReception::MaxStored);
    EXPECT_EQ(reception.stored().size(), T38AReception::MaxStored + 1);
}

} // namespace
