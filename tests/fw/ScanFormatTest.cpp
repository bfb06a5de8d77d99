#include "fw/ScanFormat.h"

#include <gtest/gtest.h>

using fw::ScanFormat;

namespace {

struct Case {
    const char* line;
    const char* pattern;
    int read;
    int first;
    int second;
};

class ScanFormatCases : public ::testing::TestWithParam<Case> {};

} // namespace

TEST_P(ScanFormatCases, ReadsAsSscanfDoes)
{
    const Case& c = GetParam();
    int first = -99;
    int second = -99;
    EXPECT_EQ(ScanFormat::scan(c.line, c.pattern, {&first, &second}), c.read);
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(second, c.second);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScanFormatCases,
    ::testing::Values(
        Case{"| 7 | NAME", "| %d |", 1, 7, -99},
        Case{"|7", "| %d |", 1, 7, -99},               // what follows the last value does not count
        Case{"|\t -12 |", "| %d |", 1, -12, -99},
        Case{" | 7 |", "| %d |", 0, -99, -99},          // a character of the pattern is no blank
        Case{"| N. |", "| %d |", 0, -99, -99},
        Case{"", "| %d |", 0, -99, -99},
        Case{"|  0xF4  |  1  |", "| 0x%02X | %d |", 2, 0xF4, 1},
        Case{"| 0xf1 | 10 |", "| 0x%02X | %d |", 2, 0xF1, 10},
        Case{"| 0x1F4 | 1 |", "| 0x%02X | %d |", 1, 0x1F, -99}, // two digits at most
        Case{"| 0XF4 | 1 |", "| 0x%02X | %d |", 0, -99, -99},
        Case{"| F4 | 1 |", "| 0x%02X | %d |", 0, -99, -99},
        Case{"| 0x | 1 |", "| 0x%02X | %d |", 0, -99, -99},
        Case{"| 2147483647 | -2147483648 |", "| %d | %d |", 2, 2147483647, -2147483647 - 1},
        Case{"| 2147483648 | 1 |", "| %d | %d |", 0, -99, -99}, // does not fit
        Case{"| 99999999999999999999999 |", "| %d |", 0, -99, -99},
        Case{"| - | 1 |", "| %d | %d |", 0, -99, -99},
        Case{"| 5 | x |", "| %d | %d |", 1, 5, -99}));

TEST(ScanFormatTest, ValuesBeyondThoseGivenAreNotWritten)
{
    int only = 0;
    EXPECT_EQ(ScanFormat::scan("1 2", "%d %d", {&only}), 1);
    EXPECT_EQ(only, 1);
}

TEST(ScanFormatTest, AnUnknownDirectiveEndsTheScan)
{
    int value = 0;
    EXPECT_EQ(ScanFormat::scan("5 %", "%d %", {&value}), 1);
    EXPECT_EQ(ScanFormat::scan("5", "%s", {&value}), 0);
}
