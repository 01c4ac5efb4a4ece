// The modified-stats popup's lines: arrow, number and colour.
#include "app/stat_delta.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::u16string Text(float v, int precision, uint32_t* colour = nullptr) {
    StatDeltaText d;
    d.colour = 0x123456;  // whatever was there before
    FormatStatDelta(v, d, precision);
    if (colour) *colour = d.colour;
    return d.text;
}

TEST(StatDelta, ArrowAndColourFollowTheSign) {
    uint32_t c;
    EXPECT_EQ(Text(-12.5f, 2, &c), u"▼ 12.50");
    EXPECT_EQ(c, RgbValue(0, 0, 230));
    EXPECT_EQ(Text(215.25f, 2, &c), u"▲ 215.25");
    EXPECT_EQ(c, RgbValue(220, 0, 0));
    EXPECT_EQ(Text(0.0f, 0, &c), u"▲ 0");
    EXPECT_EQ(c, RgbValue(0, 0, 0));
    EXPECT_EQ(Text(0.0f, 2), u"▲ 0.00");
    EXPECT_EQ(Text(-0.0f, 0, &c), u"▲ 0");
    EXPECT_EQ(c, 0u);
}

TEST(StatDelta, PrecisionPicksTheDecimals) {
    EXPECT_EQ(Text(1234.56f, 0), u"▲ 1235");
    EXPECT_EQ(Text(-3.25f, 1), u"▼ 3.2");  // an exact tie goes to the even digit, as printf does
    EXPECT_EQ(Text(7.0f, 5), u"▲ 7.00");
    EXPECT_EQ(Text(7.0f, -1), u"▲ 7.00");
    // A tiny loss still points down although it reads 0.
    EXPECT_EQ(Text(-0.001f, 2), u"▼ 0.00");
}

TEST(StatDelta, NonFiniteValuesAndLongNumbersStayInTheText) {
    uint32_t c;
    EXPECT_EQ(Text(std::nanf(""), 2, &c), u"—");
    EXPECT_EQ(c, 0u);
    EXPECT_EQ(Text(-INFINITY, 0, &c), u"▼ ∞");
    EXPECT_EQ(c, RgbValue(0, 0, 230));
    // The largest float has 39 digits; the text is cut to its 31 characters and terminated.
    std::u16string big = Text(3.4e38f, 2);
    EXPECT_EQ(big.size(), size_t(kStatDeltaTextMax - 1));
    EXPECT_EQ(big.substr(0, 4), u"▲ 33");
}

}  // namespace
