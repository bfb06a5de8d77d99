#include "fw/CodePage.h"

#include <gtest/gtest.h>

TEST(CodePageTest, EveryPageRoundTripsItsDefinedEightBitRange)
{
    for (int page : {1250, 1251, 1252, 1255, 1256}) {
        ASSERT_TRUE(fw::CodePage::isSupported(page)) << page;
        int defined = 0;
        for (int byte = 0x20; byte <= 0xFF; ++byte) {
            const QByteArray original(1, char(byte));
            const QString text = fw::CodePage::decode(original, page);
            if (text == QString(QChar(0xFFFD)))
                continue; // a hole of the page
            ++defined;
            const auto back = fw::CodePage::encode(text, page);
            ASSERT_TRUE(back.has_value()) << page << " " << byte;
            EXPECT_EQ(*back, original) << page << " " << byte;
        }
        EXPECT_GT(defined, 200) << page;
    }
}

TEST(CodePageTest, EncodingRefusesACharacterThePageLacksButNotARealQuestionMark)
{
    EXPECT_EQ(fw::CodePage::encode("¿Café?", 1252), QByteArray("\xBF" "Caf\xE9?"));
    EXPECT_FALSE(fw::CodePage::encode("Кофе", 1252).has_value());
    EXPECT_EQ(fw::CodePage::encode("Кофе", 1251), QByteArray("\xCA\xEE\xF4\xE5"));
    EXPECT_FALSE(fw::CodePage::encode("x", 437).has_value());
    EXPECT_EQ(fw::CodePage::encodeLossy("Кx", 1252), QByteArray("?x"));
}

TEST(CodePageTest, AHalfSurrogatePairCostsOnlyItsOwnCharacter)
{
    const QString loneHigh = QString(QChar(0xD83D)) + QStringLiteral("x");
    EXPECT_EQ(fw::CodePage::encodeLossy(loneHigh, 1252), QByteArray("?x"));
    EXPECT_EQ(fw::CodePage::encodeLossy(QStringLiteral("a\U0001F600b"), 1252), QByteArray("a?b"));
    EXPECT_FALSE(fw::CodePage::encode(loneHigh, 1252).has_value());
}
