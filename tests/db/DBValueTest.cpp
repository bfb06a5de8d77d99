#include "db/DBValue.h"

#include <gtest/gtest.h>

namespace {

template <class T>
struct ConversionCase {
    const char* what;
    DBValue value;
    std::optional<T> expected;
};

} // namespace

TEST(DBValueTest, ToLongTruncatesTowardZeroAndRefusesWhatDoesNotFit)
{
    const ConversionCase<qint32> cases[] = {
        {"double", DBValue::FromDouble(3.99), 3},
        {"negative double", DBValue::FromDouble(-3.99), -3},
        {"single", DBValue::FromSingle(2.5f), 2},
        {"16-bit sign-extended", DBValue::FromInt16(-5), -5},
        {"byte", DBValue::FromByte(255), 255},
        {"boolean", DBValue::FromBool(true), -1},
        {"currency", DBValue::FromCurrency(35000), 3},
        {"numeric text", DBValue::FromText(" 42 "), 42},
        {"other text", DBValue::FromText("abc"), std::nullopt},
        {"too large", DBValue::FromDouble(3e10), std::nullopt},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_EQ(c.value.ToLong(&error), c.expected) << c.what;
        EXPECT_EQ(error.isEmpty(), c.expected.has_value()) << c.what;
    }
    QString error;
    DBValue::FromDouble(3e10).ToLong(&error);
    EXPECT_EQ(error, DBValue::OverflowText());
    DBValue::FromText("abc").ToLong(&error);
    EXPECT_EQ(error, DBValue::TypeMismatchText());
}

TEST(DBValueTest, ToBoolLooksAtTheLowestByteOfIntegers)
{
    const ConversionCase<bool> cases[] = {
        {"256", DBValue::FromInt32(256), false},
        {"257", DBValue::FromInt32(257), true},
        {"-256 16-bit", DBValue::FromInt16(-256), false},
        {"byte 0", DBValue::FromByte(0), false},
        {"true", DBValue::FromBool(true), true},
        {"double", DBValue::FromDouble(0.5), true},
        {"text", DBValue::FromText("quizas"), std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.value.ToBool(nullptr), c.expected) << c.what;
}

TEST(DBValueTest, ToFloatAndToDoubleConvertNumbers)
{
    EXPECT_EQ(DBValue::FromInt32(7).ToFloat(nullptr), 7.0f);
    EXPECT_EQ(DBValue::FromDouble(0.1).ToFloat(nullptr), 0.1f);
    EXPECT_EQ(DBValue::FromDouble(1e300).ToFloat(nullptr), std::nullopt);
    EXPECT_EQ(DBValue::FromSingle(2.5f).ToDouble(nullptr), 2.5);
    EXPECT_EQ(DBValue::FromCurrency(105000).ToDouble(nullptr), 10.5);
    EXPECT_EQ(DBValue::FromText("1.5").ToDouble(nullptr), 1.5);
}

TEST(DBValueTest, ToDateConvertsDaysAndDateTexts)
{
    EXPECT_EQ(DBValue().ToDate().GetStatus(), OleDateTime::Status::Null);
    EXPECT_EQ(DBValue::FromDouble(2.0).ToDate(), OleDateTime(1900, 1, 1, 0, 0, 0));
    EXPECT_EQ(DBValue::FromText("2024-03-05 14:07:09").ToDate(), OleDateTime(2024, 3, 5, 14, 7, 9));
    EXPECT_EQ(DBValue::FromText("mañana").ToDate().GetStatus(), OleDateTime::Status::Invalid);
    // A number outside the calendar's years does not convert.
    EXPECT_EQ(DBValue::FromDouble(1e12).ToDate().GetStatus(), OleDateTime::Status::Invalid);
    EXPECT_EQ(DBValue::FromInt32(2147483647).ToDate().GetStatus(), OleDateTime::Status::Invalid);
    EXPECT_EQ(DBValue::FromInt32(-700000).ToDate().GetStatus(), OleDateTime::Status::Invalid);
}

TEST(DBValueTest, IntegersBeyond32BitsConvertOnlyWhereTheyFit)
{
    const DBValue big = DBValue::FromInt64(3000000000LL);
    QString error;
    EXPECT_EQ(big.ToLong(&error), std::nullopt);
    EXPECT_EQ(error, DBValue::OverflowText());
    EXPECT_EQ(big.ToDouble(nullptr), 3e9);
    EXPECT_EQ(DBValue::FromInt64(0x100000001LL).ToBool(nullptr), true);
    EXPECT_EQ(DBValue::FromInt64(0x100000000LL).ToBool(nullptr), false);
}
