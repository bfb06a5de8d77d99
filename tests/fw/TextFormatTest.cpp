#include "fw/TextFormat.h"

#include <gtest/gtest.h>

using fw::TextFormat;

TEST(TextFormatTest, PlaceholdersOfThePrograms32BitTexts)
{
    struct Case {
        const char* pattern;
        std::initializer_list<fw::FormatArg> args;
        const char* expected;
    };
    const Case cases[] = {
        {"Máximo nº de dispositivos para un producto %u", {12}, "Máximo nº de dispositivos para un producto 12"},
        {"%ld bytes", {-5L}, "-5 bytes"},
        {"%d", {0x100000001LL}, "1"},          // a 32-bit value: the high half is not read
        {"%u", {-1}, "4294967295"},
        {"%02X%02x", {0xAB, 0x0C}, "AB0c"},
        {"%08lX", {0xCBF43926LL}, "CBF43926"},
        {"%s_%02d%02d.sql", {"log", 7, 3}, "log_0703.sql"},
        {"%.3f ms", {1.23456}, "1.235 ms"},
        {"%c", {65}, "A"},
        {"100%%", {}, "100%"},
        {"%-4s|", {"ab"}, "ab  |"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextFormat::format(QString::fromUtf8(c.pattern), c.args), QString::fromUtf8(c.expected))
            << c.pattern;
}

TEST(TextFormatTest, MissingOrMismatchedArgumentsNeverReadPastTheList)
{
    EXPECT_EQ(TextFormat::format("Fichero %s no existe", {}), "Fichero  no existe");
    EXPECT_EQ(TextFormat::format("%d y %d", {3}), "3 y ");
    EXPECT_EQ(TextFormat::format("%s", {42}), "42");
    EXPECT_EQ(TextFormat::format("%d", {"17"}), "17");
    EXPECT_EQ(TextFormat::format("50%% de %", {}), "50% de %");
}

TEST(TextFormatTest, TheShortSizePrefixCutsTheValueAsTheCLibraryDoes)
{
    struct Case {
        const char* pattern;
        qint64 value;
        const char* expected;
    };
    const Case cases[] = {
        {"%hd", 70000, "4464"},   {"%02hd", 5, "05"},    {"%hd", -20, "-20"},  {"%hi", 32768, "-32768"},
        {"%02hX", -20, "FFEC"},   {"%02hX", 0x1AB, "1AB"}, {"%hu", 65537, "1"}, {"%hhd", 200, "-56"},
        {"%02hhX", -1, "FF"},     {"%02X", -20, "FFFFFFEC"}, {"%ld", 70000, "70000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextFormat::format(QString::fromUtf8(c.pattern), {c.value}), QString::fromUtf8(c.expected))
            << c.pattern;
}
