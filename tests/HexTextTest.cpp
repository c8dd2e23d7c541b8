#include "core/base/HexText.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(HexText, AcceptsDigitsOfEitherCaseWithin32Bits)
{
    EXPECT_EQ(parseHex("9f10"), 0x9F10u);
    EXPECT_EQ(parseHex("9F10"), 0x9F10u);
    EXPECT_EQ(parseHex("0"), 0u);
    EXPECT_EQ(parseHex("FFFFFFFF"), 0xFFFFFFFFu);
    EXPECT_EQ(parseHex("00000000FF"), 0xFFu) << "leading zeros do not count against 32 bits";
}

TEST(HexText, RefusesPrefixesBlanksSignsAndOverflow)
{
    for (const char* text : {"", "0x9F10", "$9F10", " 9F10", "9F10 ", "-1", "+1", "G", "12 34", "100000000", "1\n"})
        EXPECT_FALSE(parseHex(text).has_value()) << '"' << text << '"';
}

TEST(HexText, FormatsUpperCaseWithMinimumDigits)
{
    EXPECT_EQ(formatHex(0x3C10), "3C10");
    EXPECT_EQ(formatHex(0), "0");
    EXPECT_EQ(formatHex(0xA, 2), "0A");
    EXPECT_EQ(formatHex(0x1FF, 2), "1FF");
    EXPECT_EQ(formatHex(0xFFFFFFFF), "FFFFFFFF");
}

TEST(HexText, DecimalReadsSignedValuesWithin32Bits)
{
    EXPECT_EQ(parseDecimal("7"), 7);
    EXPECT_EQ(parseDecimal("-2147483648"), INT32_MIN);
    EXPECT_EQ(parseDecimal("2147483647"), INT32_MAX);
    for (const char* text : {"", "-", "2147483648", "1.5", "0x1", " 1", "99999999999999999999"})
        EXPECT_FALSE(parseDecimal(text).has_value()) << '"' << text << '"';
}
