// The template matcher: its documented corner cases, and agreement with the literal version
// over many random images, templates, windows and settings.
#include "reader/matcher.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <vector>

#include "tests/support/reference_reader.h"

namespace {

constexpr uint32_t kInk = 0xFF6969;
constexpr uint32_t kPaper = 0x202020;

// A 6 x 5 template: an ink frame with a grey dot in the middle, black elsewhere.
PixelBuffer FrameTemplate() {
    PixelBuffer t(6, 5);
    for (int x = 0; x < 6; ++x) t.pixels[size_t(x)] = t.pixels[size_t(4 * 6 + x)] = kInk;
    for (int y = 0; y < 5; ++y) t.pixels[size_t(y * 6)] = t.pixels[size_t(y * 6 + 5)] = kInk;
    t.pixels[size_t(2 * 6 + 2)] = 0x888888;
    return t;
}

void Paste(PixelBuffer& image, const PixelBuffer& t, int x, int y) {
    for (int ty = 0; ty < t.height; ++ty)
        for (int tx = 0; tx < t.width; ++tx)
            image.pixels[size_t((y + ty) * image.width + x + tx)] = t.pixels[size_t(ty * t.width + tx)];
}

std::vector<std::pair<int, int>> Hits(const HitPos* hits, int n) {
    std::vector<std::pair<int, int>> v;
    for (int i = 0; i < n; ++i) v.emplace_back(hits[i].x, hits[i].y);
    return v;
}

}  // namespace

TEST(Matcher, ToleranceCountsDifferingSampledPixels) {
    const PixelBuffer t = FrameTemplate();
    PixelBuffer image(30, 20, kPaper);
    Paste(image, t, 7, 4);
    HitPos hit;
    EXPECT_EQ(MatchTemplate(image, 7, 4, 1, 1, t, &hit, 0, 1, 0, 0), 1);
    // One changed pixel: rejected at tolerance 0, accepted at 1.
    image.pixels[size_t(4 * 30 + 7)] = kPaper;
    EXPECT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, &hit, 0, 1, 0, 0), 0);
    EXPECT_EQ(MatchTemplate(image, 7, 4, 1, 1, t, &hit, 0, 1, 1, 0), 1);
    // Five changed pixels pass tolerance 5; the sixth rejects.
    for (int x = 8; x < 12; ++x) image.pixels[size_t(4 * 30 + x)] = kPaper;
    EXPECT_EQ(MatchTemplate(image, 7, 4, 1, 1, t, &hit, 0, 1, 4, 0), 0);
    EXPECT_EQ(MatchTemplate(image, 7, 4, 1, 1, t, &hit, 0, 1, 5, 0), 1);
    image.pixels[size_t(4 * 30 + 12)] = kPaper;
    EXPECT_EQ(MatchTemplate(image, 7, 4, 1, 1, t, &hit, 0, 1, 5, 0), 0);
    // A negative tolerance behaves as 0.
    EXPECT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, &hit, 0, 1, -3, 0), 0);
}

TEST(Matcher, FirstHitIsTheSmallestColumnThenRow) {
    const PixelBuffer t = FrameTemplate();
    PixelBuffer image(60, 40, kPaper);
    Paste(image, t, 30, 2);
    Paste(image, t, 20, 25);
    Paste(image, t, 20, 12);
    HitPos hit;
    ASSERT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, &hit, 0, 1, 0, 0), 1);
    EXPECT_EQ(hit.x, 20);
    EXPECT_EQ(hit.y, 12);
    HitPos all[kHitListSize];
    ASSERT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, all, 1, 1, 0, 0), 3);
    EXPECT_EQ(Hits(all, 3), (std::vector<std::pair<int, int>>{{20, 12}, {20, 25}, {30, 2}}));
    // Mode 0 may count without writing.
    EXPECT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, nullptr, 1, 1, 0, 0), 3);
}

TEST(Matcher, ManyHitsStopAtTwentyInColumnThenRowOrder) {
    const PixelBuffer blank(2, 2);  // all black: matches any black area
    const PixelBuffer image(30, 8);
    HitPos hits[kHitListSize + 1];
    hits[kHitListSize] = HitPos{-7, -7};
    ASSERT_EQ(MatchTemplate(image, 3, 0, 0, 7, blank, hits, 1, 1, 0, 0), kHitListSize);
    for (int i = 0; i < kHitListSize; ++i) {
        EXPECT_EQ(hits[i].x, 3 + i / 7) << i;
        EXPECT_EQ(hits[i].y, i % 7) << i;
    }
    EXPECT_EQ(hits[kHitListSize].x, -7) << "nothing is written past the twentieth hit";
}

TEST(Matcher, WindowBoundsAndDefaults) {
    const PixelBuffer t = FrameTemplate();
    PixelBuffer image(40, 30, kPaper);
    Paste(image, t, 34, 25);  // touching the bottom-right corner
    HitPos hit;
    EXPECT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, &hit, 0, 1, 0, 0), 1) << "w = h = 0 is the whole image";
    EXPECT_EQ(hit.x, 34);
    EXPECT_EQ(hit.y, 25);
    EXPECT_EQ(MatchTemplate(image, 34, 25, 1, 1, t, &hit, 0, 1, 0, 0), 1);
    EXPECT_EQ(MatchTemplate(image, 35, 25, 1, 1, t, &hit, 0, 1, 0, 0), 0);
    EXPECT_EQ(MatchTemplate(image, 0, 0, 34, 30, t, &hit, 0, 1, 0, 0), 0) << "x + w is excluded";
    EXPECT_EQ(MatchTemplate(image, 0, 0, 40, 25, t, &hit, 0, 1, 0, 0), 0) << "y + h is excluded";
    EXPECT_EQ(MatchTemplate(image, 40, 0, 5, 5, t, &hit, 0, 1, 0, 0), 0) << "window right of the image";
    EXPECT_EQ(MatchTemplate(image, 0, -20, 40, 10, t, &hit, 0, 1, 0, 0), 0) << "window above the image";
    EXPECT_EQ(MatchTemplate(image, 0, 0, -5, 10, t, &hit, 0, 1, 0, 0), 0) << "negative width";
    // A window (x, y, 1, 1) tries exactly one position, even for a template that matches anywhere.
    const PixelBuffer blank(1, 1);
    HitPos hits[kHitListSize];
    EXPECT_EQ(MatchTemplate(PixelBuffer(9, 9), 4, 5, 1, 1, blank, hits, 1, 1, 0, 0), 1);
    EXPECT_EQ(hits[0].x, 4);
    EXPECT_EQ(hits[0].y, 5);
}

TEST(Matcher, TemplateReachingOutsideReadsWhatPixelAccessYields) {
    // Right of the last column the next row's first pixels are read; below the last row, black.
    PixelBuffer image(10, 4, kPaper);
    PixelBuffer t(3, 1);
    t.pixels = {0x111111, 0x222222, 0x333333};
    image.pixels[size_t(1 * 10 + 8)] = 0x111111;
    image.pixels[size_t(1 * 10 + 9)] = 0x222222;
    image.pixels[size_t(2 * 10 + 0)] = 0x333333;
    HitPos hit;
    ASSERT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, &hit, 0, 1, 0, 0), 1);
    EXPECT_EQ(hit.x, 8);
    EXPECT_EQ(hit.y, 1);

    PixelBuffer tall(1, 3);
    tall.pixels = {0x444444, 0, 0};
    image.pixels[size_t(3 * 10 + 5)] = 0x444444;
    ASSERT_EQ(MatchTemplate(image, 0, 0, 0, 0, tall, &hit, 0, 1, 0, 0), 1);
    EXPECT_EQ(hit.x, 5);
    EXPECT_EQ(hit.y, 3);
}

TEST(Matcher, StepSamplesEveryStepthColumnAndRow) {
    PixelBuffer t(9, 10);
    for (uint32_t& v : t.pixels) v = kInk;
    PixelBuffer image(20, 20, kPaper);
    Paste(image, t, 2, 2);
    // Spoil every pixel off the step-3 grid (columns 0, 3, 6; rows 0, 3, 6, 9).
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 9; ++x)
            if (x % 3 || y % 3) image.pixels[size_t((2 + y) * 20 + 2 + x)] = kPaper;
    HitPos hit;
    EXPECT_EQ(MatchTemplate(image, 2, 2, 1, 1, t, &hit, 0, 3, 0, 0), 1);
    EXPECT_EQ(MatchTemplate(image, 2, 2, 1, 1, t, &hit, 0, 2, 0, 0), 0);
    image.pixels[size_t((2 + 9) * 20 + 2 + 6)] = kPaper;  // on the grid
    EXPECT_EQ(MatchTemplate(image, 2, 2, 1, 1, t, &hit, 0, 3, 0, 0), 0);
    EXPECT_EQ(MatchTemplate(image, 2, 2, 1, 1, t, &hit, 0, 3, 1, 0), 1);
}

TEST(Matcher, InkAndWhiteOnlyModes) {
    PixelBuffer t(3, 2);
    t.pixels = {0xFFFFFF, 0, kInk, 0, 0xEEEEEE, 0xFFFFFF};
    PixelBuffer image(12, 6, kPaper);
    image.pixels[size_t(2 * 12 + 5)] = 0xFFFFFF;
    image.pixels[size_t(2 * 12 + 7)] = kInk;
    image.pixels[size_t(3 * 12 + 7)] = 0xFFFFFF;
    HitPos hit;
    // Mode 1: black template pixels are not compared, the grey 0xEEEEEE is.
    EXPECT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, &hit, 0, 1, 0, 1), 0);
    image.pixels[size_t(3 * 12 + 6)] = 0xEEEEEE;
    ASSERT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, &hit, 0, 1, 0, 1), 1);
    EXPECT_EQ(hit.x, 5);
    EXPECT_EQ(hit.y, 2);
    // Mode 2: only the pure white template pixels count.
    image.pixels[size_t(2 * 12 + 7)] = kPaper;
    image.pixels[size_t(3 * 12 + 6)] = kPaper;
    ASSERT_EQ(MatchTemplate(image, 0, 0, 0, 0, t, &hit, 0, 1, 0, 2), 1);
    EXPECT_EQ(hit.x, 5);
    // No pure white pixel at all: the first candidate of the window is a hit.
    const PixelBuffer point(4, 11, 0xEEEEEE);
    ASSERT_EQ(MatchTemplate(image, 3, 4, 5, 5, point, &hit, 0, 1, 0, 2), 1);
    EXPECT_EQ(hit.x, 3);
    EXPECT_EQ(hit.y, 4);
    // Mode 1 or 2 without a hit array counts, never writes.
    EXPECT_EQ(MatchTemplate(image, 0, 0, 0, 0, point, nullptr, 1, 1, 0, 2), kHitListSize);
}

TEST(Matcher, InvalidModeOrStepSearchesNothing) {
    const PixelBuffer blank(1, 1);
    const PixelBuffer image(5, 5);
    HitPos hit{-1, -1};
    for (int mode : {-1, 3, 7}) EXPECT_EQ(MatchTemplate(image, 0, 0, 0, 0, blank, &hit, 0, 1, 0, mode), 0);
    EXPECT_EQ(MatchTemplate(image, 0, 0, 0, 0, blank, &hit, 0, 0, 0, 0), 0);
    EXPECT_EQ(hit.x, -1);
}

// The fast matcher must agree with the literal one on every input, edge cases included.
TEST(MatcherDifferential, AgreesWithTheLiteralMatcher) {
    const uint32_t seed = 20240611;
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
    const uint32_t palette[] = {0, 0, 0, 0xFFFFFF, kInk, 0x888888, 0xEEEEEE};
    auto colour = [&] { return rng() % 8 == 0 ? (rng() & 0xFFFFFF) : palette[rng() % 7]; };

    int withHits = 0, cases = 0;
    for (int round = 0; round < 6000; ++round) {
        // Mostly black images with sparse ink, as a tooltip is; sometimes dense noise.
        const int iw = pick(1, 48), ih = pick(1, 24);
        PixelBuffer image(iw, ih);
        const int density = pick(0, 4);
        for (uint32_t& v : image.pixels) v = int(rng() % 4) < density ? colour() : 0;
        if (round % 50 == 0) image.pixels.resize(image.pixels.size() / 2);  // a hand-made short buffer

        // A template cut from the image (often reaching past its edges), then touched up.
        const int tw = pick(0, 10), th = pick(0, 10);
        PixelBuffer tmpl = CropPixels(image, pick(-3, iw), pick(-3, ih), tw, th);
        for (int k = pick(0, 3); k > 0 && tmpl.count > 0; --k)
            tmpl.pixels[rng() % tmpl.pixels.size()] = colour();
        if (rng() % 10 == 0)
            for (uint32_t& v : tmpl.pixels) v = colour();

        int x = pick(-12, iw + 2), y = pick(-12, ih + 2);
        int w = rng() % 5 == 0 ? 0 : pick(-2, 56), h = rng() % 5 == 0 ? 0 : pick(-2, 30);
        if (round % 100 == 1) x = -2000, w = 2020;  // far outside the image
        const int step = rng() % 10 == 0 ? pick(-1, 0) : pick(1, 4);
        const int tolerance = pick(-1, 8);
        const int mode = rng() % 12 == 0 ? pick(-2, 4) : pick(0, 2);
        const int many = int(rng() % 2) * pick(1, 3);
        const bool noArray = rng() % 8 == 0;

        HitPos expect[kHitListSize + 1], got[kHitListSize + 1];
        for (int i = 0; i <= kHitListSize; ++i) expect[i] = got[i] = HitPos{-32768, -32768};
        const int n1 = ReferenceMatchTemplate(image, x, y, w, h, tmpl, noArray ? nullptr : expect, many, step,
                                              tolerance, mode);
        const int n2 =
            MatchTemplate(image, x, y, w, h, tmpl, noArray ? nullptr : got, many, step, tolerance, mode);
        ++cases;
        withHits += n1 > 0;
        ASSERT_EQ(n1, n2) << "seed " << seed << " round " << round << ": image " << iw << "x" << ih
                          << " template " << tw << "x" << th << " window " << x << "," << y << "," << w << ","
                          << h << " step " << step << " tolerance " << tolerance << " mode " << mode;
        for (int i = 0; i <= kHitListSize; ++i) {
            ASSERT_EQ(expect[i].x, got[i].x) << "seed " << seed << " round " << round << " hit " << i;
            ASSERT_EQ(expect[i].y, got[i].y) << "seed " << seed << " round " << round << " hit " << i;
        }
    }
    // The inputs must exercise both outcomes, or the comparison proves little.
    std::printf("%d of %d cases found a hit\n", withHits, cases);
    EXPECT_GT(withHits, cases / 5);
    EXPECT_LT(withHits, cases * 4 / 5);
}

// Wide images with templates cut from them, so that the candidates are tested eight at a time.
TEST(MatcherDifferential, AgreesOnWideTooltipLikeImages) {
    const uint32_t seed = 977;
    std::mt19937 rng(seed);
    auto pick = [&](int lo, int hi) { return lo + int(rng() % uint32_t(hi - lo + 1)); };
    for (int round = 0; round < 150; ++round) {
        PixelBuffer image(pick(60, 120), pick(20, 40));
        for (int k = pick(5, 40); k > 0; --k) {  // short text-like strokes
            const int x0 = pick(0, image.width - 1), y0 = pick(0, image.height - 1);
            const uint32_t c = rng() % 2 ? kInk : 0x888888;
            for (int i = 0; i < pick(1, 9); ++i)
                image.pixels[size_t(y0 * image.width + std::min(image.width - 1, x0 + i))] = c;
        }
        const int tw = pick(2, 30), th = pick(2, 14);
        const PixelBuffer tmpl =
            CropPixels(image, pick(0, image.width - tw), pick(0, image.height - th), tw, th);
        const int step = pick(1, 3), tolerance = pick(0, 12), mode = pick(0, 2), many = int(rng() % 2);
        HitPos expect[kHitListSize], got[kHitListSize];
        const int n1 = ReferenceMatchTemplate(image, 0, 0, 0, 0, tmpl, expect, many, step, tolerance, mode);
        const int n2 = MatchTemplate(image, 0, 0, 0, 0, tmpl, got, many, step, tolerance, mode);
        ASSERT_EQ(n1, n2) << "seed " << seed << " round " << round;
        ASSERT_GE(n1, 1) << "the template was cut from the image";
        EXPECT_EQ(Hits(expect, n1), Hits(got, n2)) << "seed " << seed << " round " << round;
    }
}
