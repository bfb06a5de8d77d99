#include "app/WideName.h"

#include <gtest/gtest.h>

TEST(WideNameTest, ANewNameIsSeventeenZeroUnits)
{
    const WideName name;
    EXPECT_TRUE(name.isEmpty());
    EXPECT_EQ(name.size(), 0);
    EXPECT_EQ(name.units(), WideName::Units{});
}

TEST(WideNameTest, WhateverIsAssignedKeepsAtMostSixteenUnitsAndTheTerminator)
{
    const WideName longName(u"ABCDEFGHIJKLMNOPQRSTU");
    EXPECT_EQ(longName.toQString(), "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(longName.units()[WideName::Capacity], 0);

    const WideName cutAtZero(std::u16string_view(u"AB\0CD", 5));
    EXPECT_EQ(cutAtZero.toQString(), "AB");
    EXPECT_EQ(cutAtZero.units()[3], 0);

    // A cut through a surrogate pair drops its first half too.
    const std::u16string withPair = std::u16string(15, u'x') + u"\U0001F600";
    EXPECT_EQ(WideName(withPair).size(), 15);
}

TEST(WideNameTest, UnitsFromAFileGetTheirTerminatorAndNothingAfterIt)
{
    WideName::Units full;
    full.fill(u'Z');
    const WideName fromFull = WideName::fromUnits(full);
    EXPECT_EQ(fromFull.size(), 16);
    EXPECT_EQ(fromFull.units()[16], 0);

    WideName::Units withGarbage{u'T', u'E', 0, u'G', u'G'};
    const WideName fromGarbage = WideName::fromUnits(withGarbage);
    EXPECT_EQ(fromGarbage.toQString(), "TE");
    EXPECT_EQ(fromGarbage.units()[3], 0);
    EXPECT_EQ(fromGarbage, WideName(u"TE"));
}

TEST(WideNameTest, ReassigningAShorterNameClearsTheLongerOne)
{
    WideName name = WideName::fromQString("CHOCOLATE");
    name.assign(u"TE");
    EXPECT_EQ(name, WideName(u"TE"));
    EXPECT_EQ(std::u16string(name.data()), u"TE");
}
