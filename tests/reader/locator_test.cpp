// The tooltip locator: the documented cases, the column jump after a broken right edge, and
// agreement with the literal column-by-column scan over many random screens.
#include "reader/locator.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "base/status.h"
#include "tests/support/reference_reader.h"

namespace {

constexpr uint32_t kDesk = 0x3A6EA5;

std::vector<std::u16string> gAlerts;

void RecordPopup(PopupTarget target, const PopupRequest& request) {
    if (target == PopupTarget::Alert) gAlerts.emplace_back(request.text);
}

void Fill(PixelBuffer& s, int x, int y, int w, int h, uint32_t v) {
    for (int yy = y; yy < y + h; ++yy)
        for (int xx = x; xx < x + w; ++xx) s.pixels[size_t(yy) * s.width + xx] = v;
}

class Locator : public ::testing::Test {
protected:
    void SetUp() override {
        gAlerts.clear();
        previous_ = SetPopupDelivery(RecordPopup);
    }
    void TearDown() override { SetPopupDelivery(previous_); }

    // Locates, checks the alert and the out position, and returns the rectangle (all -1 if none).
    TooltipRect Locate(const PixelBuffer& screen) {
        PixelBuffer cut;
        HitPos position{-5, -5};
        TooltipRect rect{-1, -1, -1, -1};
        const bool found = LocateTooltip(screen, cut, &position, &rect);
        if (!found) {
            EXPECT_EQ(gAlerts, std::vector<std::u16string>{u"툴팁을 발견하지 못하였음."});
            EXPECT_EQ(position.x, -5) << "the position is left alone";
            return TooltipRect{-1, -1, -1, -1};
        }
        EXPECT_TRUE(gAlerts.empty());
        EXPECT_EQ(position.x, rect.x);
        EXPECT_EQ(position.y, rect.y);
        EXPECT_EQ(cut.width, rect.width);
        EXPECT_EQ(cut.height, rect.height);
        EXPECT_EQ(cut.pixels, CropPixels(screen, rect.x, rect.y, rect.width, rect.height).pixels);
        return rect;
    }

private:
    PopupDelivery previous_ = nullptr;
};

void ExpectRect(const TooltipRect& r, int x, int y, int w, int h) {
    EXPECT_EQ(r.x, x);
    EXPECT_EQ(r.y, y);
    EXPECT_EQ(r.width, w);
    EXPECT_EQ(r.height, h);
}

}  // namespace

TEST_F(Locator, SmallestTooltipIsFoundAndCut) {
    PixelBuffer screen(800, 600, kDesk);
    Fill(screen, 120, 70, 301, 201, 0);
    const TooltipRect r = Locate(screen);
    ExpectRect(r, 120, 70, 301, 201);
}

TEST_F(Locator, SmallestTooltipInTheTopLeftCornerIsFound) {
    PixelBuffer screen(700, 500, kDesk);
    Fill(screen, 0, 0, 301, 201, 0);
    ExpectRect(Locate(screen), 0, 0, 301, 201);
}

TEST_F(Locator, OnePixelTooNarrowOrTooShortIsNotFound) {
    PixelBuffer narrow(800, 600, kDesk);
    Fill(narrow, 120, 70, 300, 250, 0);
    ExpectRect(Locate(narrow), -1, -1, -1, -1);
    gAlerts.clear();
    PixelBuffer shortOne(800, 600, kDesk);
    Fill(shortOne, 120, 70, 400, 200, 0);
    ExpectRect(Locate(shortOne), -1, -1, -1, -1);
}

TEST_F(Locator, BlackAreaTouchingAScreenEdgeIsNotFound) {
    PixelBuffer right(800, 600, kDesk);
    Fill(right, 400, 70, 400, 250, 0);  // its bottom row reaches the right edge
    ExpectRect(Locate(right), -1, -1, -1, -1);
    gAlerts.clear();
    PixelBuffer bottom(800, 600, kDesk);
    Fill(bottom, 100, 300, 400, 300, 0);  // no non-black pixel ends its columns
    ExpectRect(Locate(bottom), -1, -1, -1, -1);
    gAlerts.clear();
    PixelBuffer empty;
    ExpectRect(Locate(empty), -1, -1, -1, -1);
}

TEST_F(Locator, LeftmostOfTwoWinsAndOnlyTheBlackBodyIsCut) {
    PixelBuffer screen(1200, 900, kDesk);
    Fill(screen, 500, 20, 350, 250, 0);
    Fill(screen, 480, 400, 320, 300, 0);
    Fill(screen, 480, 380, 320, 20, 0x101010);  // a dark title bar above the body is not black
    ExpectRect(Locate(screen), 480, 400, 320, 300);
}

TEST_F(Locator, RightEdgeIsProbedEveryFiftyRowsUpToTheMiddle) {
    PixelBuffer screen(900, 700, kDesk);
    Fill(screen, 100, 100, 400, 300, 0);  // rows 100..399, right column 499
    // The probes go up from the bottom row while below the middle row 250: rows 399, 349, 299.
    // A dent between probes is not seen, nor is one at row 249...
    screen.pixels[size_t(320) * 900 + 499] = kDesk;
    screen.pixels[size_t(249) * 900 + 499] = kDesk;
    ExpectRect(Locate(screen), 100, 100, 400, 300);
    // ...but one at a probed row rejects the area.
    screen.pixels[size_t(299) * 900 + 499] = kDesk;
    ExpectRect(Locate(screen), -1, -1, -1, -1);
}

TEST_F(Locator, MiddleRowItselfIsNotProbed) {
    // Rows 100..400: the middle row is 250, and the probes 400, 350 and 300 stop short of it.
    PixelBuffer screen(900, 700, kDesk);
    Fill(screen, 100, 100, 400, 301, 0);
    screen.pixels[size_t(250) * 900 + 499] = kDesk;
    ExpectRect(Locate(screen), 100, 100, 400, 301);
    screen.pixels[size_t(300) * 900 + 499] = kDesk;
    ExpectRect(Locate(screen), -1, -1, -1, -1);
}

TEST_F(Locator, BrokenRightEdgeSendsTheWalkHundredColumnsOn) {
    // Area A (left column 100) has a bottom row running on to column 549 while its body ends at
    // 449, so the probe 50 rows up fails: columns 101..199 are never walked and column 200 only
    // below A's bottom. Tooltip B (left column 150) is therefore cut from column 200.
    PixelBuffer screen(1000, 800, kDesk);
    Fill(screen, 100, 50, 350, 250, 0);
    Fill(screen, 100, 299, 450, 1, 0);
    Fill(screen, 150, 400, 500, 300, 0);
    ExpectRect(Locate(screen), 200, 400, 450, 300);
}

TEST_F(Locator, AfterTheJumpRowsAboveTheFailedRunAreNotWalked) {
    // B lies above A's bottom: column 200 is walked only below it, so B is found from column 201.
    PixelBuffer screen(1000, 800, kDesk);
    Fill(screen, 100, 400, 350, 300, 0);
    Fill(screen, 100, 699, 450, 1, 0);
    Fill(screen, 150, 50, 500, 250, 0);
    ExpectRect(Locate(screen), 201, 50, 449, 250);
}

TEST_F(Locator, JumpsChainAcrossSeveralBrokenAreas) {
    // A at 100 sends the walk to 200 below its bottom, where C's broken edge sends it to 300.
    PixelBuffer screen(1100, 1000, kDesk);
    Fill(screen, 100, 20, 350, 250, 0);
    Fill(screen, 100, 269, 450, 1, 0);
    Fill(screen, 180, 300, 350, 250, 0);
    Fill(screen, 180, 549, 450, 1, 0);
    Fill(screen, 250, 600, 450, 300, 0);
    TooltipRect expect;
    ASSERT_TRUE(ReferenceFindTooltip(screen, expect));
    ExpectRect(expect, 300, 600, 400, 300);
    ExpectRect(Locate(screen), 300, 600, 400, 300);
}

namespace {

// A desktop-like screen: colour blocks and some black specks, with black areas of random sizes
// near every edge, some with broken right edges, extended bottom rows or specks inside.
PixelBuffer RandomScreen(std::mt19937& rng) {
    auto pick = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
    PixelBuffer s(pick(400, 640), pick(240, 440));
    const uint32_t desk = (rng() & 0xFFFFFF) | 1;
    for (uint32_t& v : s.pixels) v = rng() % 50 == 0 ? 0 : desk;
    for (int k = pick(0, 3); k > 0; --k) {
        const int x = pick(0, s.width - 1), y = pick(0, s.height - 1);
        Fill(s, x, y, std::min(s.width - x, pick(5, 200)), std::min(s.height - y, pick(5, 150)),
             rng() & 0xFFFFFF);
    }
    for (int k = pick(1, 4); k > 0; --k) {
        const int w = pick(290, std::min(460, s.width)), h = pick(190, std::min(330, s.height));
        int x = pick(-40, s.width - w + 40), y = pick(-40, s.height - h + 40);
        if (rng() % 4 == 0) x = s.width - w;   // touching the right edge
        if (rng() % 4 == 0) y = s.height - h;  // touching the bottom edge
        x = std::clamp(x, 0, s.width - w), y = std::clamp(y, 0, s.height - h);
        Fill(s, x, y, w, h, 0);
        const int right = x + w - 1, bottom = y + h - 1;
        switch (rng() % 6) {
            case 0:  // a dent in the right column
                s.pixels[size_t(pick(y, bottom)) * s.width + right] = desk;
                break;
            case 1:  // the bottom row runs on to the right
                Fill(s, right, bottom, std::min(s.width - right, pick(1, 150)), 1, 0);
                break;
            case 2:  // specks inside break some column runs
                for (int i = pick(1, 20); i > 0; --i)
                    s.pixels[size_t(pick(y, bottom)) * s.width + pick(x, right)] = desk;
                break;
            case 3:  // a full black column through the area
                Fill(s, pick(x, right), 0, 1, s.height, 0);
                break;
            default:
                break;
        }
    }
    return s;
}

}  // namespace

TEST(LocatorDifferential, AgreesWithTheLiteralScanOnRandomScreens) {
    const uint32_t seed = 4242;
    std::mt19937 rng(seed);
    int found = 0, rounds = 0;
    for (int round = 0; round < 100; ++round, ++rounds) {
        PixelBuffer screen = RandomScreen(rng);
        if (round % 40 == 7) screen.pixels.resize(screen.pixels.size() * 3 / 4);  // a hand-made short buffer
        TooltipRect expect{-1, -1, -1, -1}, got{-1, -1, -1, -1};
        const bool e = ReferenceFindTooltip(screen, expect);
        const bool g = FindTooltip(screen, got);
        found += e;
        ASSERT_EQ(e, g) << "seed " << seed << " round " << round;
        ASSERT_EQ(expect.x, got.x) << "seed " << seed << " round " << round;
        ASSERT_EQ(expect.y, got.y) << "seed " << seed << " round " << round;
        ASSERT_EQ(expect.width, got.width) << "seed " << seed << " round " << round;
        ASSERT_EQ(expect.height, got.height) << "seed " << seed << " round " << round;
    }
    // Both outcomes must be well represented, or the comparison proves little.
    EXPECT_GT(found, rounds / 10);
    EXPECT_LT(found, rounds * 9 / 10);
}

// Screens built around the column jump: an area whose bottom row runs on past its broken right
// edge, with further areas (themselves sometimes broken) placed around the columns it skips.
TEST(LocatorDifferential, AgreesWhereBrokenEdgesSendTheWalkOn) {
    const uint32_t seed = 99;
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
    int found = 0, foundOffEdge = 0;
    const int rounds = 80;
    for (int round = 0; round < rounds; ++round) {
        PixelBuffer s(pick(700, 900), pick(600, 840), kDesk);
        // Areas in bands down the screen, each starting a little right of the one before.
        int x = pick(0, 80), y = pick(0, 20);
        for (int k = pick(2, 4); k > 0; --k) {
            const int w = pick(320, 480), h = pick(200, 260);
            if (rng() % 3 == 0) y = pick(0, s.height - h - 1);
            if (x + w + 1 >= s.width || y + h >= s.height) break;
            Fill(s, x, y, w, h, 0);
            if (rng() % 3) Fill(s, x + w - 1, y + h - 1, std::min(s.width - (x + w - 1), pick(2, 120)), 1, 0);
            x += pick(20, 140);
            y += h + pick(1, 40);
        }
        TooltipRect expect{-1, -1, -1, -1}, got{-1, -1, -1, -1};
        const bool e = ReferenceFindTooltip(s, expect);
        ASSERT_EQ(e, FindTooltip(s, got)) << "seed " << seed << " round " << round;
        ASSERT_EQ(expect.x, got.x) << "seed " << seed << " round " << round;
        ASSERT_EQ(expect.y, got.y) << "seed " << seed << " round " << round;
        ASSERT_EQ(expect.width, got.width) << "seed " << seed << " round " << round;
        ASSERT_EQ(expect.height, got.height) << "seed " << seed << " round " << round;
        found += e;
        // A cut whose left neighbour on the bottom row is black was reached by a jump (or lies
        // beside a longer column); these are the cases this test is for.
        if (e && expect.x > 0 && PixelAt(s, expect.x - 1, expect.y + expect.height - 1) == 0) ++foundOffEdge;
    }
    EXPECT_GT(found, rounds / 4);
    std::printf("%d of %d found, %d beside black\n", found, rounds, foundOffEdge);
    EXPECT_GT(foundOffEdge, rounds / 10);
}
