#include "db/FormatString.h"
#include "tests/db/LocaleScope.h"
#include "tests/db/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

struct ValueCase {
    const char* what;
    DBValue value;
    const char* text;
};

double days(int year, int month, int day, int hour, int minute, int second)
{
    return OleDateTime(year, month, day, hour, minute, second).Days();
}

const QLocale spanish(QLocale::Spanish, QLocale::Spain);

} // namespace

TEST(FormatStringTest, FormatValueGivesEachTypeItsText)
{
    const LocaleScope locale(QLocale::c());
    const FormatString format;
    const ValueCase cases[] = {
        {"null", DBValue(), ""},
        {"byte", DBValue::FromByte(200), "200"},
        {"16-bit", DBValue::FromInt16(-5), "-5"},
        {"32-bit", DBValue::FromInt32(-2147483647 - 1), "-2147483648"},
        {"beyond 32 bits", DBValue::FromInt64(3000000000LL), "3000000000"},
        {"beyond 32 bits, negative", DBValue::FromInt64(-9007199254740993LL), "-9007199254740993"},
        {"single", DBValue::FromSingle(3.14159f), "3.14"},
        {"double", DBValue::FromDouble(2.5), "2.50"},
        {"double rounded", DBValue::FromDouble(3.14159), "3.14"},
        {"currency", DBValue::FromCurrency(105000), "10.5"},
        {"whole currency", DBValue::FromCurrency(70000), "7"},
        {"negative currency", DBValue::FromCurrency(-2500), "-0.25"},
        {"true", DBValue::FromBool(true), "SI"},
        {"false", DBValue::FromBool(false), "NO"},
        {"seconds alone bring no time", DBValue::FromDate(days(2024, 3, 5, 0, 0, 30)), "05/03/2024"},
        {"one minute brings the time", DBValue::FromDate(days(2024, 3, 5, 0, 1, 0)), "05/03/2024 00:01:00"},
        {"afternoon", DBValue::FromDate(days(2024, 3, 5, 14, 7, 9)), "05/03/2024 14:07:09"},
        {"before 1900", DBValue::FromDate(days(1899, 12, 29, 6, 0, 0)), "29/12/1899 06:00:00"},
        {"last second of the range", DBValue::FromDate(days(9999, 12, 31, 0, 0, 0) + 0.99999999),
         "31/12/9999 23:59:59"},
        {"date that cannot be split", DBValue::FromDate(1e12), "-1/-1/-1 -1:-1:-1"},
        {"text", DBValue::FromText("Leche"), "Leche"},
        {"apostrophe", DBValue::FromText("O'Neil"), "O`Neil"},
        {"empty text", DBValue::FromText(""), ""},
    };
    for (const ValueCase& c : cases)
        EXPECT_EQ(format.FormatValue(c.value), QString::fromUtf8(c.text)) << c.what;
}

TEST(FormatStringTest, DisplayKeepsTheLocaleSeparatorAndSqlNumbersTakeAPoint)
{
    const LocaleScope locale(spanish);
    FormatString format;
    EXPECT_EQ(format.FormatValue(DBValue::FromDouble(3.14159)), "3,14");
    EXPECT_EQ(format.FormatValue(DBValue::FromSingle(2.5f)), "2,50");
    EXPECT_EQ(format.FormatValue(DBValue::FromCurrency(105000)), "10,5");
    EXPECT_EQ(format.FormatFloat(3.14159f), "3.14");
    EXPECT_EQ(format.FormatFloat(2.5f), "2.50");
    EXPECT_EQ(format.FormatFloat(-10.0f), "-10.00");
}

TEST(FormatStringTest, FormatFloatTakesAPointWithAPointLocaleToo)
{
    const LocaleScope locale(QLocale::c());
    FormatString format;
    EXPECT_EQ(format.FormatFloat(3.14159f), "3.14");
    EXPECT_EQ(format.FormatFloat(0.0f), "0.00");
}

TEST(FormatStringTest, ReplaceDecimalSeparatorChangesOnlySeparatorsBetweenDigits)
{
    const LocaleScope locale(spanish);
    FormatString format;
    const std::pair<const char*, const char*> cases[] = {
        {"1,5", "1.5"}, {"1,234,5", "1.234.5"}, {",5", ",5"},   {"5,", "5,"},
        {"a,b", "a,b"}, {"12,34 y 5,6", "12.34 y 5.6"},       {"", ""},
    };
    for (const auto& [in, out] : cases) {
        QString text = QString::fromUtf8(in);
        format.ReplaceDecimalSeparator(text);
        EXPECT_EQ(text, QString::fromUtf8(out)) << in;
    }
}

TEST(FormatStringTest, FlattenLinesMakesOneLine)
{
    const FormatString format;
    EXPECT_EQ(format.FlattenLines("uno\r\ndos"), "uno dos");
    EXPECT_EQ(format.FlattenLines("\n"), "");
    EXPECT_EQ(format.FlattenLines("a\rb\nc"), "a bc");
    EXPECT_EQ(format.FlattenLines("sin saltos"), "sin saltos");
}

TEST(FormatStringTest, EscapeSqlTextDoublesEveryApostrophe)
{
    EXPECT_EQ(FormatString::EscapeSqlText("O'Neil"), "O''Neil");
    EXPECT_EQ(FormatString::EscapeSqlText("''"), "''''");
    EXPECT_EQ(FormatString::EscapeSqlText("x' OR '1'='1"), "x'' OR ''1''=''1");
    EXPECT_EQ(FormatString::EscapeSqlText("LECHE"), "LECHE");
}
