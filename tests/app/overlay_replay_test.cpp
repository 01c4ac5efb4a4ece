// The overlay replay: swelling around the centre, fading, and the packed screen position.
#include "app/overlay_replay.h"

#include <gtest/gtest.h>

namespace {

TEST(OverlayReplay, TooltipAt100x50SwellsAroundItsCentre) {
    OverlayFrame f = StartOverlayReplay(PackScreenPosition(100, 50), 300, 100);
    EXPECT_EQ(f.alpha, 255);
    EXPECT_EQ(f.width, 300);
    ASSERT_TRUE(StepOverlayReplay(f));
    EXPECT_EQ(f.x, 96);
    EXPECT_EQ(f.y, 48);
    EXPECT_EQ(f.width, 306);
    EXPECT_EQ(f.height, 102);
    EXPECT_EQ(f.alpha, 235);
    ASSERT_TRUE(StepOverlayReplay(f));
    EXPECT_EQ(f.x, 92);
    EXPECT_EQ(f.y, 46);
    EXPECT_EQ(f.width, 312);
    EXPECT_EQ(f.height, 104);
    EXPECT_EQ(f.alpha, 215);
}

TEST(OverlayReplay, TwelveShownStepsDownTo15ThenHidden) {
    OverlayFrame f = StartOverlayReplay(PackScreenPosition(0, 0), 301, 201);
    int shown = 0;
    int32_t last = 0;
    while (StepOverlayReplay(f)) {
        ++shown;
        last = f.alpha;
        ASSERT_LT(shown, 100);
    }
    EXPECT_EQ(shown, 12);
    EXPECT_EQ(last, 15);
    EXPECT_LT(f.alpha, 0);
}

TEST(OverlayReplay, NearTheOriginTheCornerGoesNegativeTruncatingTowardZero) {
    OverlayFrame f = StartOverlayReplay(PackScreenPosition(1, 0), 100, 100);
    ASSERT_TRUE(StepOverlayReplay(f));
    EXPECT_EQ(f.width, 102);
    EXPECT_EQ(f.x, 0);   // 1 - 1.02 = -0.02
    EXPECT_EQ(f.y, -1);  // 0 - 1.02
}

TEST(ScreenPosition, PacksXLowAndYHighAsSigned16Bit) {
    EXPECT_EQ(PackScreenPosition(100, 50), 0x00320064u);
    EXPECT_EQ(PackedX(0x00320064u), 100);
    EXPECT_EQ(PackedY(0x00320064u), 50);
    const uint32_t p = PackScreenPosition(-3, 2559);
    EXPECT_EQ(PackedX(p), -3);
    EXPECT_EQ(PackedY(p), 2559);
    EXPECT_EQ(PackedY(PackScreenPosition(0, -32768)), -32768);
}

}  // namespace
