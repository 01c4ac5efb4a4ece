// The whole read on composed screens: through the locator at every screen edge and several
// sizes, agreement with the literal parser, and pictures that are noisy, odd or hostile.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "base/catalogue.h"
#include "reader/glyphs.h"
#include "reader/locator.h"
#include "tests/support/parser_scenes.h"
#include "tests/support/reference_parser.h"

using namespace scenes;

namespace {

class WholeRead : public ReaderTest {
protected:
    static PixelBuffer Screen(const TooltipScene& scene) {
        PixelBuffer screen;
        std::string error;
        EXPECT_TRUE(ComposeScreen(scene, screen, error)) << error;
        return screen;
    }
    static ItemRecord Read(const PixelBuffer& screen, TooltipRect* rect, int set = 0) {
        PixelBuffer tooltip;
        if (!LocateTooltip(screen, tooltip, nullptr, rect)) return UnidentifiedItem();
        return ParseItem(&tooltip, set);
    }
    static void ExpectChest(const ItemRecord& r) {
        EXPECT_EQ(r.kind, 6);
        ExpectStats(r, {{kIntelligence, 174}, {kLifePercent, 9}, {kMagicFind, 18}, {kAllResistance, 51}});
    }
    static bool SameRecord(const ItemRecord& a, const ItemRecord& b) {
        return std::memcmp(&a, &b, sizeof a) == 0;
    }
};

struct Placement {
    int screenW, screenH, x, y, w, h;
    bool found;
};

TEST_F(WholeRead, TooltipsAtEveryScreenEdgeAndSeveralSizes) {
    const Placement cases[] = {
        {1920, 1080, 0, 0, 450, 700, true},        // top-left corner
        {1920, 1080, 0, 379, 450, 700, true},      // one row above the bottom edge
        {1920, 1080, 1469, 0, 450, 700, true},     // one column left of the right edge
        {1920, 1080, 1469, 379, 450, 700, true},   // both
        {1920, 1080, 1470, 100, 450, 700, false},  // its bottom row runs into the right edge
        {1920, 1080, 100, 380, 450, 700, false},   // its left column runs into the bottom edge
        {1920, 1080, 800, 400, 301, 201, true},    // the smallest tooltip
        {2560, 1440, 1500, 200, 800, 1000, true}, {3840, 2160, 2900, 1100, 450, 700, true},
        {1024, 768, 300, 20, 700, 740, true},
    };
    for (const Placement& c : cases) {
        SCOPED_TRACE(std::to_string(c.screenW) + "x" + std::to_string(c.screenH) + " at " +
                     std::to_string(c.x) + "," + std::to_string(c.y));
        TooltipScene s = Chest();
        s.screenWidth = c.screenW, s.screenHeight = c.screenH, s.x = c.x, s.y = c.y, s.width = c.w,
        s.height = c.h;
        alerts.clear();
        TooltipRect rect;
        ItemRecord r = Read(Screen(s), &rect);
        if (!c.found) {
            EXPECT_EQ(r.kind, -1);
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_EQ(alerts[0], u"툴팁을 발견하지 못하였음.");
            continue;
        }
        EXPECT_EQ(rect.x, c.x);
        EXPECT_EQ(rect.y, c.y);
        EXPECT_EQ(rect.width, c.w);
        EXPECT_EQ(rect.height, c.h);
        ExpectChest(r);
        EXPECT_TRUE(alerts.empty());
    }
}

TEST_F(WholeRead, ProductAgreesWithTheLiteralParser) {
    gSettings.socketOptions[2] = 2;
    TooltipScene ring;
    ring.kind = 4;
    ring.lines = {OptionLine(12, "10", "20"), OptionLine(4, "6.5"), OptionLine(34, "52"), EmptySocketLine()};
    TooltipScene many;
    many.kind = 6;
    for (int i = 0; i < 24; ++i) many.lines.push_back(i % 3 ? OptionLine(7, "3") : BulletLine());
    TooltipScene weapon = Weapon();
    weapon.lines.push_back(OptionLine(32, "9"));  // a gem line with no stat
    TooltipScene noKind = Chest();
    noKind.kind = -1;
    for (TooltipScene s : {Chest(), weapon, ring, many, noKind}) {
        s.width = 320, s.height = 480;  // small: the literal parser copies the tooltip per match
        PixelBuffer t = Tooltip(s);
        for (int set : {0, 1}) {
            ItemRecord product = ParseItem(&t, set), reference = ReferenceParseItem(&t, set);
            EXPECT_TRUE(SameRecord(product, reference)) << "kind " << s.kind << " set " << set;
            ExpectParsedInvariants(product);
        }
    }
    // And the whole read, locator included.
    TooltipScene s = Chest();
    s.screenWidth = 800, s.screenHeight = 600, s.x = 333, s.y = 77, s.width = 320, s.height = 480;
    PixelBuffer screen = Screen(s);
    TooltipRect a, b;
    EXPECT_TRUE(SameRecord(Read(screen, &a), ReferenceReadScreen(screen, 0, &b)));
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.height, b.height);
}

TEST_F(WholeRead, SparseNoiseInsideAndHeavyNoiseAroundChangeNothing) {
    TooltipScene s = Chest();
    s.noisePercent = 60;
    PixelBuffer screen = Screen(s);
    std::mt19937 rng(7);
    // One pixel in a hundred of the body, never on its left column or bottom row (the locator
    // needs those black), set to a random colour.
    for (int i = 0; i < s.width * s.height / 100; ++i) {
        int x = s.x + 1 + int(rng() % uint32_t(s.width - 2)), y = s.y + int(rng() % uint32_t(s.height - 1));
        screen.pixels[size_t(y) * screen.width + x] = rng() & 0xFFFFFF;
    }
    TooltipRect rect;
    ExpectChest(Read(screen, &rect));
}

TEST_F(WholeRead, RandomPicturesGiveClearResults) {
    std::mt19937 rng(11);
    for (int round = 0; round < 20; ++round) {
        const int w = 1 + int(rng() % 500), h = 1 + int(rng() % 400);
        PixelBuffer t(w, h);
        const int mode = round % 4;
        for (uint32_t& p : t.pixels) {
            uint32_t v = rng();
            // Full colour noise, sparse glyph colours on black, white specks, or black and white.
            p = mode == 0   ? v & 0xFFFFFF
                : mode == 1 ? (v % 7 == 0 ? (v & 8 ? 0xFF6969u : 0x888888u) : 0u)
                : mode == 2 ? (v % 5 == 0 ? 0xFFFFFFu : 0u)
                            : (v & 1 ? 0xFFFFFFu : 0u);
        }
        ItemRecord r = ParseItem(&t, round & 1);
        ExpectParsedInvariants(r);
        EXPECT_GE(r.kind, -1);
        EXPECT_LT(r.kind, kKindCount);
        for (float v : r.stats) EXPECT_TRUE(std::isfinite(v)) << "round " << round;
    }
}

TEST_F(WholeRead, BulletsWithoutCaptionsReadNothing) {
    TooltipScene s;
    s.kind = 6;
    for (int i = 0; i < 30; ++i) s.lines.push_back(BulletLine());
    ExpectStats(Parse(s), {});
    // Bullets packed over the whole body, the slot caption kept clear.
    PixelBuffer t = Tooltip(s);
    for (int y = 30; y + 10 < t.height; y += 11)
        for (int x = 0; x + 2 < t.width; x += 3) DrawGlyph(t, x, y, kGlyphBullet);
    ItemRecord r = ParseItem(&t, 0);
    EXPECT_EQ(r.kind, 6);
    ExpectStats(r, {});
    s.kind = -1;
    EXPECT_EQ(Parse(s).kind, -1);
}

TEST_F(WholeRead, GlyphsAtTheEdgesOfOddSizedTooltips) {
    // Bullets, captions and digits cut by every edge, on tooltips from nothing to a sliver.
    const int sizes[][2] = {{0, 0}, {1, 1}, {2, 10}, {1, 300}, {300, 1}, {13, 13}, {40, 700}, {700, 40}};
    for (const auto& size : sizes) {
        PixelBuffer t(size[0], size[1]);
        const int w = size[0], h = size[1];
        for (int x : {w - 1, w - 2, w - 12, w / 2})
            for (int y : {h - 1, h - 5, 0}) {
                DrawGlyph(t, x, y, kGlyphBullet);
                DrawGlyph(t, x + 11, y, 43);
                DrawNumber(t, x + 11 + 40, y, "99", false);
            }
        ItemRecord r = ParseItem(&t, 1);
        EXPECT_EQ(r.kind, -1) << w << "x" << h;
        ExpectParsedInvariants(r);
    }
}

TEST_F(WholeRead, MismatchCountIsTheToleranceTheMatcherNeeds) {
    // The diagnostics' count must be the matcher's: a template passes at exactly that tolerance
    // and fails one below, at every step and mode the reading uses.
    std::mt19937 rng(7);
    PixelBuffer t = Tooltip(Chest());
    const int templates[] = {kItemKinds[6].templateIndex, 43, 60, kGlyphBlueDigit0 + 8,
                             kGlyphWhiteDigit0 + 3};
    for (int index : templates)
        for (int step : {1, 2, 3})
            for (int mode : {kMatchExact, kMatchInk, kMatchWhiteOnly})
                for (int trial = 0; trial < 20; ++trial) {
                    const int x = int(rng() % uint32_t(t.width - 150)),
                              y = int(rng() % uint32_t(t.height - 20));
                    const PixelBuffer& tmpl = GlyphTemplate(index);
                    const int m = CountMismatches(t, x, y, tmpl, step, mode);
                    HitPos hit;
                    EXPECT_EQ(MatchTemplate(t, x, y, 1, 1, tmpl, &hit, 0, step, m, mode), 1)
                        << index << " " << step;
                    if (m > 0) {
                        EXPECT_EQ(MatchTemplate(t, x, y, 1, 1, tmpl, &hit, 0, step, m - 1, mode), 0)
                            << index << " step " << step << " mode " << mode;
                    }
                }
}

TEST_F(WholeRead, KindCaptionJustPastTheToleranceSuggestsTheSlider) {
    PixelBuffer t = Tooltip(Chest());
    ParseTrace trace;
    ASSERT_EQ(ParseItem(&t, 0, BuiltInPack(), &trace).kind, 6);
    const int caption = kItemKinds[6].templateIndex;
    auto mark = std::find_if(trace.marks.begin(), trace.marks.end(),
                             [&](const ParseMark& m) { return m.templateIndex == caption; });
    ASSERT_NE(mark, trace.marks.end());
    // Three sampled pixels of the caption (step 2) altered: three mismatches where it stands.
    for (int k = 0; k < 3; ++k) {
        uint32_t& p = t.pixels[size_t(mark->y + 2 * k) * t.width + mark->x + 2 * k];
        p = p == 0 ? 0x202020 : 0;
    }
    ASSERT_EQ(CountMismatches(t, mark->x, mark->y, GlyphTemplate(caption), 2, kMatchExact), 3);
    gSettings.errorLimit[kKindTolerance] = 1;  // the slider two short
    alerts.clear();
    ParseTrace near;
    EXPECT_EQ(ParseItem(&t, 0, BuiltInPack(), &near).kind, -1);
    EXPECT_EQ(near.kindMismatches, 3);
    ASSERT_EQ(alerts.size(), 2u);
    EXPECT_EQ(alerts[0], kAlertUnknownKind);
    EXPECT_EQ(alerts[1], kAlertKindNearLimit);
    // Far past the tolerance it is no longer a near miss, and with bullets the pictures still
    // match the screen: only the plain alert.
    gSettings.errorLimit[kKindTolerance] = 0;
    for (int k = 3; k < 12; ++k) {
        uint32_t& p = t.pixels[size_t(mark->y + 2 * (k % 5)) * t.width + mark->x + 2 * k];
        p = p == 0 ? 0x202020 : 0;
    }
    alerts.clear();
    ParseTrace far;
    EXPECT_EQ(ParseItem(&t, 0, BuiltInPack(), &far).kind, -1);
    EXPECT_EQ(far.kindMismatches, -1);
    EXPECT_EQ(alerts, std::vector<std::u16string>{kAlertUnknownKind});
}

}  // namespace
