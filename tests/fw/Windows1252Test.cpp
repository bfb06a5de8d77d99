#include "fw/Windows1252.h"

#include <gtest/gtest.h>

TEST(Windows1252Test, EveryByteComesBackUnchanged)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    const QString text = fw::Windows1252::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(fw::Windows1252::encode(text), all);
}

TEST(Windows1252Test, BytesShowAsTheCodePageCharacters)
{
    struct Case {
        const char* bytes;
        QString text;
    };
    const Case cases[] = {
        {"CAF\xC9", QStringLiteral("CAFÉ")},
        {"\x80 \x9F", QStringLiteral("€ Ÿ")},
        {"\x81\x8D\x8F\x90\x9D", QStringLiteral("\u0081\u008D\u008F\u0090\u009D")},
        {"\xA0\xFF", QStringLiteral("\u00A0ÿ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(fw::Windows1252::decode(QByteArray(c.bytes)), c.text);
        EXPECT_EQ(fw::Windows1252::encode(c.text), QByteArray(c.bytes));
    }
}

TEST(Windows1252Test, CharactersOutsideThePageBecomeOneQuestionMarkEach)
{
    // U+0080 is a control character the page does not hold (its byte 80 is the euro sign).
    EXPECT_EQ(fw::Windows1252::encode(QStringLiteral("Жa\u0080")), QByteArray("?a?"));
    EXPECT_EQ(fw::Windows1252::encode(QStringLiteral("x\U0001F600y")), QByteArray("x?y"));
    EXPECT_EQ(fw::Windows1252::encode(QString(QChar(0xD800))), QByteArray("?"));
}
