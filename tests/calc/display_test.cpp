// Display formats: values through their decimals, the diff indicators, non-finite results.
#include "calc/display.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <random>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(Display, ValuesNearZeroAreEmpty) {
    for (float v : {0.0f, -0.0f, 0.004f, -0.004f, 0.0099f, -0.0099f})
        for (int d : {0, 1, 2}) EXPECT_EQ(FormatValue(v, d), u"") << v << " decimals " << d;
    EXPECT_EQ(FormatValue(-0.02f, 2), u"-0.02");
    // The bound is the double 0.01: the float nearest to it lies just below and shows empty.
    EXPECT_EQ(FormatValue(0.01f, 2), u"");
    EXPECT_EQ(FormatValue(-0.01f, 2), u"");
    EXPECT_EQ(FormatValue(std::nextafter(0.01f, 1.0f), 2), u"0.01");
    EXPECT_EQ(FormatValue(std::nextafter(-0.01f, -1.0f), 2), u"-0.01");
    EXPECT_EQ(FormatValue(0.02f, 0), u"0");
}

TEST(Display, DecimalsOfTheControl) {
    EXPECT_EQ(FormatValue(617.7675f, 0), u"618");
    EXPECT_EQ(FormatValue(617.7675f, 1), u"617.8");
    EXPECT_EQ(FormatValue(617.7675f, 2), u"617.77");
    EXPECT_EQ(FormatValue(617.7675f, 5), u"617.77");  // 2 and more use two decimals
    EXPECT_EQ(FormatValue(9999, 0), u"9999");
    EXPECT_EQ(FormatValue(-12.5f, 2), u"-12.50");
    EXPECT_EQ(FormatValue(3.4e38f, 0).size(), 39u);
}

// The text must be what "%.0f", "%.1f" and "%.2f" make of the value, whatever the locale.
TEST(Display, AgreesWithPrintfOverManyValues) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> mag(-6, 6);
    char buf[64];
    for (int i = 0; i < 20000; ++i) {
        const float v = std::copysign(std::pow(10.0f, mag(rng)), float(int(rng() % 2) * 2 - 1));
        const int d = int(rng() % 3);
        if (double(v) > -0.01 && double(v) < 0.01) continue;
        std::snprintf(buf, sizeof buf, d == 0 ? "%.0f" : d == 1 ? "%.1f" : "%.2f", double(v));
        const std::u16string want(buf, buf + std::char_traits<char>::length(buf));
        ASSERT_EQ(FormatValue(v, d), want) << "value " << v << " decimals " << d;
    }
}

TEST(Display, NonFiniteValuesReadAsSymbols) {
    EXPECT_EQ(FormatValue(kInf, 2), u"∞");
    EXPECT_EQ(FormatValue(-kInf, 0), u"-∞");
    EXPECT_EQ(FormatValue(kNaN, 1), u"—");
    EXPECT_EQ(FormatValue(-kNaN, 1), u"—");
}

TEST(Display, DiffIndicators) {
    DiffText up = FormatDiff(215.25f);
    EXPECT_EQ(up.text, u"▲ 215.25");
    EXPECT_EQ(up.mark, DiffMark::Rising);
    DiffText down = FormatDiff(-12.5f);
    EXPECT_EQ(down.text, u"▼ 12.50");
    EXPECT_EQ(down.mark, DiffMark::Falling);
    DiffText same = FormatDiff(0);
    EXPECT_EQ(same.text, u"");
    EXPECT_EQ(same.mark, DiffMark::Unchanged);
    // A tiny difference still shows: only an exact zero is empty.
    EXPECT_EQ(FormatDiff(0.001f).text, u"▲ 0.00");
    EXPECT_EQ(FormatDiff(-0.0f).text, u"");
    EXPECT_EQ(kRisingColour, 0x0000FFu);
    EXPECT_EQ(kFallingColour, 0xFF0000u);
}

TEST(Display, NonFiniteDiffIndicators) {
    EXPECT_EQ(FormatDiff(kInf).text, u"▲ ∞");
    EXPECT_EQ(FormatDiff(kInf).mark, DiffMark::Rising);
    EXPECT_EQ(FormatDiff(-kInf).text, u"▼ ∞");
    EXPECT_EQ(FormatDiff(-kInf).mark, DiffMark::Falling);
    EXPECT_EQ(FormatDiff(kNaN).text, u"—");
    EXPECT_EQ(FormatDiff(kNaN).mark, DiffMark::Unchanged);
}

}  // namespace
