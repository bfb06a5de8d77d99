#include "link/PackedBcd.h"
#include "tests/support/TestBytes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct ToBcdCase {
    quint32 value;
    int digits;
    bool reversed;
    QByteArray expected;
};

struct FromBcdCase {
    int digits;
    QByteArray source;
    bool reversed;
    quint32 expected;
};

} // namespace

TEST(PackedBcdTest, IntToBcdWritesPairsHighNibbleFirstInEitherOrder)
{
    const ToBcdCase cases[] = {
        {2468, 4, false, bytes({0x24, 0x68})},
        {2468, 4, true, bytes({0x68, 0x24})},
        {80, 2, false, bytes({0x80})},
        {5, 3, false, bytes({0x00, 0x05})}, // an odd count writes the bytes of the next even one
        {123456, 6, true, bytes({0x56, 0x34, 0x12})},
        {4294967295u, 10, false, bytes({0x42, 0x94, 0x96, 0x72, 0x95})},
        {0, 0, false, QByteArray()},
        // The first digit is not range-checked: its nibble is the digit modulo 16.
        {100, 2, false, bytes({0xA0})},
        {255, 2, false, bytes({0x95})},
        {10000, 4, false, bytes({0xA0, 0x00})},
    };
    for (const ToBcdCase& c : cases) {
        const auto out = IntToBcd(c.value, c.digits, c.reversed);
        ASSERT_TRUE(out.has_value()) << c.value;
        EXPECT_EQ(*out, c.expected) << c.value << " in " << c.digits << (c.reversed ? " reversed" : "");
    }
}

TEST(PackedBcdTest, BcdToIntReadsNibblesAsDigits)
{
    const FromBcdCase cases[] = {
        {4, bytes({0x24, 0x68}), false, 2468},
        {4, bytes({0x24, 0x68}), true, 6824},
        {2, bytes({0x80}), false, 80},
        {2, bytes({0xA0}), false, 100}, // a nibble above 9 weighs like a digit
        {3, bytes({0x24, 0x68}), false, 2468}, // odd count raised when not reversed
        {3, bytes({0x24, 0x68}), true, 824},   // and taken as it is when reversed
        {0, QByteArray(), false, 0},
        {10, bytes({0x42, 0x94, 0x96, 0x72, 0x95}), false, 4294967295u},
    };
    for (const FromBcdCase& c : cases) {
        const auto value = BcdToInt(c.digits, c.source, c.reversed);
        ASSERT_TRUE(value.has_value()) << c.source.toHex().constData();
        EXPECT_EQ(*value, c.expected) << c.source.toHex().constData() << (c.reversed ? " reversed" : "");
    }
}

TEST(PackedBcdTest, EveryFourDigitValueRoundTripsInBothOrders)
{
    for (quint32 value = 0; value <= 9999; ++value) {
        for (bool reversed : {false, true}) {
            const auto packed = IntToBcd(value, 4, reversed);
            ASSERT_TRUE(packed.has_value());
            ASSERT_EQ(BcdToInt(4, *packed, reversed), value) << value << reversed;
        }
    }
}

TEST(PackedBcdTest, CountsAboveTenDigitsShortSourcesAndOverflowsAreRefused)
{
    EXPECT_FALSE(IntToBcd(1, 11, false).has_value());
    EXPECT_FALSE(IntToBcd(1, 12, true).has_value());
    EXPECT_FALSE(IntToBcd(1, -2, false).has_value());
    EXPECT_FALSE(BcdToInt(12, QByteArray(6, '\x11'), false).has_value());
    EXPECT_FALSE(BcdToInt(-1, QByteArray(1, '\x11'), true).has_value());
    EXPECT_FALSE(BcdToInt(4, bytes({0x24}), false).has_value());
    EXPECT_FALSE(BcdToInt(3, bytes({0x24}), true).has_value());
    // Ten digits that do not fit 32 bits.
    EXPECT_FALSE(BcdToInt(10, bytes({0x99, 0x99, 0x99, 0x99, 0x99}), false).has_value());
    EXPECT_FALSE(BcdToInt(10, QByteArray(5, '\xFF'), true).has_value());
}

TEST(PackedBcdTest, TheHighestValueWithoutAWrapHasAFirstDigitOf15)
{
    EXPECT_EQ(highestBcdValue(0), 0u);
    EXPECT_EQ(highestBcdValue(2), 159u);
    EXPECT_EQ(highestBcdValue(3), 15999u); // an odd count writes the bytes of the next even one
    EXPECT_EQ(highestBcdValue(4), 15999u);
    EXPECT_EQ(highestBcdValue(10), 15999999999ull);
    EXPECT_EQ(IntToBcd(15999, 4, false), bytes({0xF9, 0x99}));
    // One more wraps the first digit: 16 is written as its nibble 0, and 16000 reads as 0.
    EXPECT_EQ(IntToBcd(16000, 4, false), bytes({0x00, 0x00}));
}

TEST(PackedBcdTest, CheckedBcdTakesAnyLengthAndOnlyTheLeadingDigitAbove9)
{
    const struct {
        QByteArray source;
        bool reversed;
        quint32 expected;
    } accepted[] = {
        {bytes({0x80}), false, 80},
        {bytes({0xA0}), true, 100}, // the leading digit's nibble is the digit modulo 16
        {bytes({0xA0, 0x00}), true, 100}, // the temperature record 00 b, reversed
        {bytes({0x00, 0xA0}), false, 100},
        {bytes({0x99, 0xF9}), true, 15999},
        {bytes({0x00, 0x01, 0x00}), true, 100},
        {bytes({0x00, 0x00, 0x00, 0x00, 0x00}), true, 0},
        {bytes({0x95, 0x72, 0x96, 0x94, 0x42}), true, 4294967295u},
    };
    for (const auto& c : accepted)
        EXPECT_EQ(checkedBcdToInt(c.source, c.reversed), c.expected) << c.source.toHex().constData();

    const struct {
        QByteArray source;
        bool reversed;
    } refused[] = {
        // A units nibble above 9.
        {bytes({0x0F}), false},
        {bytes({0x0F}), true},
        // A nibble above 9 below another digit.
        {bytes({0xA0, 0x01}), true},
        {bytes({0x01, 0xA0}), false},
        {bytes({0xA0, 0x10}), true},
        // No byte, or more than ten digits.
        {QByteArray(), true},
        {QByteArray(6, '\x11'), true},
        // Beyond 32 bits.
        {bytes({0x96, 0x72, 0x96, 0x94, 0x42}), true},
        {bytes({0x99, 0x99, 0x99, 0x99, 0xF9}), true},
    };
    for (const auto& c : refused)
        EXPECT_FALSE(checkedBcdToInt(c.source, c.reversed).has_value()) << c.source.toHex().constData();
}

// Over every byte string of one and two bytes: accepted exactly when IntToBcd writes it, for a
// value that does not wrap, in as many digits or fewer with zero bytes above, and then read as
// that value.
TEST(PackedBcdTest, CheckedBcdAcceptsExactlyWhatIntToBcdWritesWithoutAWrap)
{
    for (const int byteCount : {1, 2}) {
        for (const bool reversed : {false, true}) {
            std::map<QByteArray, quint32> written;
            for (int digits = 2; digits <= 2 * byteCount; digits += 2) {
                const QByteArray zeros(byteCount - digits / 2, '\0');
                for (quint32 value = 0; value <= highestBcdValue(digits); ++value) {
                    const QByteArray packed = IntToBcd(value, digits, reversed).value();
                    written[reversed ? packed + zeros : zeros + packed] = value;
                }
            }
            for (quint32 raw = 0; raw < (1u << (8 * byteCount)); ++raw) {
                QByteArray source;
                for (int i = 0; i < byteCount; ++i)
                    source += char((raw >> (8 * i)) & 0xFF);
                const auto it = written.find(source);
                const std::optional<quint32> read = checkedBcdToInt(source, reversed);
                ASSERT_EQ(read.has_value(), it != written.end()) << source.toHex().constData() << " " << reversed;
                if (read) {
                    ASSERT_EQ(*read, it->second) << source.toHex().constData() << " " << reversed;
                }
            }
        }
    }
}
