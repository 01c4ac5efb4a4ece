// The notice and alert popups' animation: placement, per-tick steps with their truncation, and the
// opacity bounds.
#include "app/popup_timing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

PopupRequest Request(int32_t in, int32_t hold, int32_t out, bool centred, bool slide) {
    PopupRequest r;
    r.fadeInMs = in, r.holdMs = hold, r.fadeOutMs = out;
    r.centred = centred, r.slide = slide;
    return r;
}

// A started and placed animation for a popup `height` high on a 1920 x `screenHeight` screen.
PopupAnimation Started(const PopupRequest& r, int32_t height, int32_t screenHeight) {
    PopupAnimation a = StartPopupAnimation(r);
    PopupLayout l = LayOutPopup(200, height - 2 * kPopupMarginY, 1920, screenHeight, r.centred, r.slide);
    PlacePopupAnimation(a, l, screenHeight);
    return a;
}

TEST(PopupLayout, SizeIsTextPlusMarginsAndXIsHalvesTruncated) {
    PopupLayout l = LayOutPopup(101, 16, 1921, 1081, true, false);
    EXPECT_EQ(l.width, 141);
    EXPECT_EQ(l.height, 46);
    EXPECT_EQ(l.x, 960 - 70);  // 1921 / 2 - 141 / 2, each truncated
    EXPECT_EQ(l.targetY, 540 - 23);
    EXPECT_EQ(l.startY, l.targetY);
}

TEST(PopupLayout, BottomPlacementAndSlideStartBelowScreen) {
    PopupLayout l = LayOutPopup(260, 16, 1920, 1080, false, true);
    EXPECT_EQ(l.targetY, 1080 - 46 - 50);
    EXPECT_EQ(l.startY, 1080);
    EXPECT_EQ(LayOutPopup(260, 16, 1920, 1080, false, false).startY, 984);
}

// The sliding notice: 30 ticks of -3 stop six pixels short of the resting edge, then 30 of +3.
TEST(PopupAnimation, SlidingNoticeStopsAt990AndReturnsTo1080) {
    PopupAnimation a = Started(Request(300, 1000, 300, false, true), 46, 1080);
    EXPECT_EQ(a.targetY, 984);
    EXPECT_EQ(a.currentY, 1080);
    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(AdvancePopup(a), PopupTick::Moved) << i;
        EXPECT_EQ(a.alpha, 255);
    }
    EXPECT_FLOAT_EQ(a.yStep, -3.0f);
    EXPECT_EQ(a.currentY, 990);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(AdvancePopup(a), PopupTick::Held) << i;
    EXPECT_EQ(a.currentY, 990);
    for (int i = 0; i < 30; ++i) ASSERT_EQ(AdvancePopup(a), PopupTick::Moved) << i;
    EXPECT_FLOAT_EQ(a.yStep, 3.0f);
    EXPECT_EQ(a.currentY, 1080);
    EXPECT_EQ(AdvancePopup(a), PopupTick::Hide);
    EXPECT_EQ(AdvancePopup(a), PopupTick::Hide);
}

TEST(PopupAnimation, FadingAlertRisesBy25ThenFallsTo0) {
    PopupAnimation a = Started(Request(100, 1000, 100, true, false), 46, 1080);
    EXPECT_EQ(a.alpha, 0);
    std::vector<int32_t> seen;
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(AdvancePopup(a), PopupTick::Faded);
        seen.push_back(a.alpha);
        EXPECT_EQ(a.currentY, a.targetY);
    }
    EXPECT_EQ(seen, (std::vector<int32_t>{25, 50, 75, 100, 125, 150, 175, 200, 225, 250}));
    for (int i = 0; i < 100; ++i) ASSERT_EQ(AdvancePopup(a), PopupTick::Held);
    EXPECT_EQ(a.alpha, 250);
    for (int i = 0; i < 10; ++i) ASSERT_EQ(AdvancePopup(a), PopupTick::Faded);
    EXPECT_FLOAT_EQ(a.alphaStep, -25.0f);  // -25.5 truncated toward zero
    EXPECT_EQ(a.alpha, 0);
    EXPECT_EQ(AdvancePopup(a), PopupTick::Hide);
}

// Unequal times would carry a plain running sum below 0 or above 255 (and its low 8 bits would
// flash the popup); the opacity stays within bounds.
TEST(PopupAnimation, OpacityStaysWithinBoundsForUnequalTimes) {
    for (auto [in, out] : {std::pair{100, 30}, {30, 100}, {7, 7}, {15, 1000}, {1, 3}, {2000, 10}}) {
        PopupAnimation a = Started(Request(in, 50, out, true, false), 46, 1080);
        int32_t peak = 0;
        PopupTick t;
        int ticks = 0;
        while ((t = AdvancePopup(a)) != PopupTick::Hide && ticks++ < 1000) {
            ASSERT_GE(a.alpha, 0) << in << "/" << out;
            ASSERT_LE(a.alpha, 255) << in << "/" << out;
            peak = std::max(peak, a.alpha);
        }
        EXPECT_EQ(t, PopupTick::Hide) << in << "/" << out;
        EXPECT_GT(peak, 0) << in << "/" << out;
    }
}

TEST(PopupAnimation, ShortTimesTakeWholeTicksAndZeroOrNegativeSkipAPhase) {
    // 15 ms is two ticks; the second would reach 340 and stops at 255.
    PopupAnimation a = Started(Request(15, 0, -5, true, false), 46, 1080);
    EXPECT_EQ(AdvancePopup(a), PopupTick::Faded);
    EXPECT_EQ(a.alpha, 170);
    EXPECT_EQ(AdvancePopup(a), PopupTick::Faded);
    EXPECT_EQ(a.alpha, 255);
    EXPECT_EQ(AdvancePopup(a), PopupTick::Hide);  // no hold, no disappearing phase

    PopupAnimation b = Started(Request(0, 20, 0, false, true), 46, 1080);
    EXPECT_EQ(AdvancePopup(b), PopupTick::Held);
    EXPECT_EQ(AdvancePopup(b), PopupTick::Held);
    EXPECT_EQ(AdvancePopup(b), PopupTick::Hide);
    EXPECT_EQ(b.currentY, 1080);  // never slid in: it stays below the screen
}

TEST(PopupAnimation, StepIsFixedAtTheFirstTickOfAPhase) {
    PopupAnimation a = Started(Request(300, 0, 300, false, true), 46, 1080);
    AdvancePopup(a);
    // A later change of the layout does not change the step already taken.
    a.targetY = 0;
    AdvancePopup(a);
    EXPECT_FLOAT_EQ(a.yStep, -3.0f);
    EXPECT_EQ(a.currentY, 1074);
}

TEST(PopupRequestText, LengthStopsAtTerminatorOrAt64) {
    PopupRequest r;
    EXPECT_EQ(PopupTextLength(r), 0);
    r.text[0] = u'가', r.text[1] = u'나';
    EXPECT_EQ(PopupTextLength(r), 2);
    for (int i = 0; i <= kPopupTextMax; ++i) r.text[i] = u'x';
    EXPECT_EQ(PopupTextLength(r), 64);
}

}  // namespace
