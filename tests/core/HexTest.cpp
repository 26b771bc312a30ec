#include "common/Hex.h"

#include <gtest/gtest.h>

namespace quarnel {
namespace {

TEST(Hex, FormatsUpperCaseWithoutLeadingZeros) {
    EXPECT_EQ(ToHex(0), "0");
    EXPECT_EQ(ToHex(0x1A5), "1A5");
    EXPECT_EQ(ToHex(0xFFFFFFFFu), "FFFFFFFF");
    EXPECT_EQ(ToHexWidth(0xF2C8, 6), "00F2C8");
    EXPECT_EQ(ToHexWidth(0x12345678, 6), "345678");
}

TEST(Hex, ParsesTypedNumbers) {
    EXPECT_EQ(ParseHex("1A"), 26u);
    EXPECT_EQ(ParseHex(" ff "), 255u);
    EXPECT_FALSE(ParseHex(""));
    EXPECT_FALSE(ParseHex("1G"));
    EXPECT_FALSE(ParseHex("123456789"));
    EXPECT_EQ(ParseNumber("0x10"), 16u);
    EXPECT_EQ(ParseNumber("10"), 10u);
    EXPECT_FALSE(ParseNumber("1A"));
    EXPECT_FALSE(ParseNumber("-1"));
}

} // namespace
} // namespace quarnel
