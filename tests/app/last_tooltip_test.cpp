// The last capture's tooltip: kept as a copy with its screen size, forgotten by a capture without
// a tooltip.
#include "app/last_tooltip.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(LastTooltipTest, TheMostRecentCaptureDecides) {
    PixelBuffer tooltip(3, 2, 0x123456);
    KeepLastTooltip(&tooltip, 1920, 1200);
    tooltip.pixels[0] = 0;  // the keeper holds its own copy
    KeptTooltip first;
    ASSERT_TRUE(LastTooltip(first));
    EXPECT_EQ(std::vector<uint32_t>(6, 0x123456), first.picture.pixels);
    EXPECT_EQ(1920, first.screenWidth);
    EXPECT_EQ(1200, first.screenHeight);

    KeepLastTooltip(nullptr, 2560, 1440);  // the next capture found no tooltip
    KeptTooltip none;
    EXPECT_FALSE(LastTooltip(none));
    KeepLastTooltip(&tooltip, 2560, 1440);
    KeptTooltip next;
    ASSERT_TRUE(LastTooltip(next));
    EXPECT_EQ(first.capture + 2, next.capture);
    EXPECT_EQ(0u, next.picture.pixels[0]);
}

}  // namespace
