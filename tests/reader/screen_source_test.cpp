// A screen fetched in blocks: what is fetched when, and what a failed fetch reads; and the
// black-capture check read by areas.
#include "reader/screen_source.h"

#include <gtest/gtest.h>

#include "reader/locator.h"
#include "reader/screen_check.h"

namespace {

// Copies areas of a picture, counting the copies; or fails each, leaving what it wrote.
struct PictureFetcher final : ScreenFetcher {
    PictureFetcher(const PixelBuffer& p, int* n = nullptr, bool f = false) : picture(p), copies(n), fail(f) {}
    bool Fetch(const ScreenArea& a, uint32_t* out) override {
        if (copies) ++*copies;
        const PixelBuffer cut = CropPixels(picture, a.x, a.y, a.width, a.height);
        std::copy(cut.pixels.begin(), cut.pixels.end(), out);
        return !fail;
    }
    const PixelBuffer& picture;
    int* copies;
    bool fail;
};

SparseScreen Over(const PixelBuffer& p, int* copies = nullptr, bool fail = false) {
    return SparseScreen(p.width, p.height, std::make_unique<PictureFetcher>(p, copies, fail));
}

}  // namespace

TEST(SparseScreen, FetchesWhatItIsToldOnceThenTheWholeScreen) {
    PixelBuffer picture(600, 400);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 600; ++x) picture.pixels[size_t(y) * 600 + x] = uint32_t(x + 1000 * y);
    int copies = 0;
    SparseScreen screen = Over(picture, &copies);
    EXPECT_EQ(screen.Rows(ScreenArea{10, 20, 1, 300}, ScreenArea{10, 20, 50, 300}).At(0, 299), 10u + 319000);
    // Inside that block, read from it with its stride; reaching out of it by a column or a row, or
    // with a fetch that does not hold the area, a block of the area's own.
    EXPECT_EQ(screen.Rows(ScreenArea{30, 50, 20, 2}).At(19, 1), 49u + 51000);
    EXPECT_EQ(copies, 1);
    screen.Rows(ScreenArea{59, 100, 2, 1});
    screen.Rows(ScreenArea{10, 19, 1, 1});
    screen.Rows(ScreenArea{590, 0, 10, 1}, ScreenArea{591, 0, 9, 1});
    EXPECT_EQ(copies, 4);
    EXPECT_EQ(screen.FetchedPixels(), 50 * 300 + 2 + 1 + 10);
    // A fetch that would pass a screen's worth brings the whole screen, which answers everything.
    screen.Rows(ScreenArea{0, 0, 600, 100}, ScreenArea{0, 0, 600, 400});
    EXPECT_EQ(screen.Rows(ScreenArea{123, 345, 7, 8}).At(6, 7), 129u + 352000);
    EXPECT_EQ(screen.FetchedPixels(), 50 * 300 + 13 + 600 * 400);
    EXPECT_EQ(copies, 5);
    EXPECT_FALSE(screen.Failed());

    // A failed copy reads black, whatever it left, and is remembered.
    SparseScreen failing = Over(picture, nullptr, true);
    EXPECT_EQ(failing.Rows(ScreenArea{5, 5, 10, 10}).At(9, 9), 0u);
    EXPECT_TRUE(failing.Failed());
}

TEST(ScreenCheckByAreas, BlackIsDecidedOnTheSampledRowsAndMadeSureOfOnTheRest) {
    const int w = 1000, h = 700;
    // An ordinary screen: its colour shows on the first sampled row; nothing else is fetched.
    const PixelBuffer grey(w, h, 0x808080);
    SparseScreen ordinary = Over(grey);
    EXPECT_EQ(CheckCapture(ordinary, w, h), CaptureProblem::kNone);
    EXPECT_EQ(ordinary.FetchedPixels(), w);
    // Black everywhere: the three sampled rows, then the whole screen to be sure.
    const PixelBuffer black(w, h, 0);
    SparseScreen covered = Over(black);
    EXPECT_EQ(CheckCapture(covered, w, h), CaptureProblem::kBlack);
    EXPECT_EQ(covered.FetchedPixels(), w * (3 + h));
    // Black on every sampled row, with grey under a tooltip and right of its bottom row only: not a
    // black capture, and the tooltip is found.
    PixelBuffer outlined(w, h, 0);
    for (int x = 99; x <= 550; ++x) outlined.pixels[size_t(650) * w + x] = 0x808080;
    outlined.pixels[size_t(649) * w + 550] = 0x808080;
    SparseScreen dark = Over(outlined);
    EXPECT_EQ(CheckCapture(dark, w, h), CaptureProblem::kNone);
    TooltipRect rect;
    ASSERT_TRUE(FindTooltip(dark, rect));
    EXPECT_TRUE(rect.x == 99 && rect.y == 0 && rect.width == 451 && rect.height == 650);
    // The size is compared before anything is fetched; a screen of fewer than 201 rows has no
    // sampled row and is read whole.
    SparseScreen scaled = Over(black);
    EXPECT_EQ(CheckCapture(scaled, 1920, 1080), CaptureProblem::kScaled);
    EXPECT_EQ(scaled.FetchedPixels(), 0);
    PixelBuffer low(w, 150, 0);
    SparseScreen lowBlack = Over(low);
    EXPECT_TRUE(IsAllBlack(lowBlack));
    low.pixels.back() = 1;
    SparseScreen lowLit = Over(low);
    EXPECT_FALSE(IsAllBlack(lowLit));
}
