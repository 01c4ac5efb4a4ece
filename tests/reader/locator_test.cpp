// The tooltip locator: the documented cases, the column jump after a broken right edge, and
// agreement with the literal column-by-column scan over many random and composed screens, read
// whole, through a source that counts what it is asked for, and fetched in blocks.
#include "reader/locator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/status.h"
#include "reader/glyphs.h"
#include "reader/screen_source.h"
#include "tests/support/reference_reader.h"
#include "tests/support/second_screen_scenes.h"
#include "tools/compose/compose.h"

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

// A picture read by areas that marks the pixels asked for. An empty area, or a fetch outside the
// screen or not holding the area, is a fault a screen fetched from the display could not survive.
class CountingSource final : public ScreenSource {
public:
    explicit CountingSource(const PixelBuffer& p)
        : ScreenSource(p.width, p.height), inner_(p), asked_(size_t(p.width) * p.height) {}
    using ScreenSource::Rows;
    ScreenRows Rows(const ScreenArea& a, const ScreenArea& f) override {
        if (a.width <= 0 || a.height <= 0 || f.x < 0 || f.y < 0 || f.x > a.x || f.y > a.y ||
            a.x + a.width > f.x + f.width || a.y + a.height > f.y + f.height || f.x + f.width > Width() ||
            f.y + f.height > Height()) {
            std::fprintf(stderr, "bad area %d,%d %dx%d in %d,%d %dx%d\n", a.x, a.y, a.width, a.height, f.x,
                         f.y, f.width, f.height);
            std::abort();
        }
        for (int64_t y = a.y; y < a.y + a.height; ++y)
            std::fill_n(asked_.begin() + y * Width() + a.x, a.width, 1);
        return inner_.Rows(a);
    }
    int64_t Asked() const { return std::count(asked_.begin(), asked_.end(), 1); }

private:
    BufferSource inner_;
    std::vector<uint8_t> asked_;
};

// Copies areas of a picture in memory, as the display fetcher does.
struct CopyFetcher final : ScreenFetcher {
    explicit CopyFetcher(const PixelBuffer& p) : picture(p) {}
    bool Fetch(const ScreenArea& a, uint32_t* out) override {
        const PixelBuffer cut = CropPixels(picture, a.x, a.y, a.width, a.height);
        std::copy(cut.pixels.begin(), cut.pixels.end(), out);
        return true;
    }
    const PixelBuffer& picture;
};

struct Reading {
    bool found = false;
    TooltipRect rect{-1, -1, -1, -1};
    int64_t asked = 0, fetched = 0;
    int fetches = 0;
};

bool SameRect(const TooltipRect& a, const TooltipRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// Locates every way there is and expects the literal scan's answer each time: the picture whole,
// the counting source, a sparse screen fetched in blocks (with the same cut), and a picture that
// holds only what the sparse screen fetched, as a kept capture of a failed read does.
Reading LocateEveryWay(const PixelBuffer& screen, const std::string& what) {
    Reading r;
    r.found = ReferenceFindTooltip(screen, r.rect);
    TooltipRect got[4];
    CountingSource counting(screen);
    SparseScreen blocks(screen.width, screen.height, std::make_unique<CopyFetcher>(screen));
    PixelBuffer kept(screen.width, screen.height, 0x5A5A5A);
    const bool found[4] = {FindTooltip(screen, got[0]), FindTooltip(counting, got[1]),
                           FindTooltip(blocks, got[2]), (blocks.PasteInto(kept), FindTooltip(kept, got[3]))};
    for (int way = 0; way < 4; ++way)
        EXPECT_TRUE(found[way] == r.found && (!r.found || SameRect(got[way], r.rect)))
            << what << ", way " << way;
    if (r.found) {
        EXPECT_EQ(CropScreen(blocks, r.rect).pixels,
                  CropPixels(screen, r.rect.x, r.rect.y, r.rect.width, r.rect.height).pixels)
            << what;
    }
    r.asked = counting.Asked(), r.fetched = blocks.FetchedPixels(), r.fetches = blocks.Fetches();
    return r;
}

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
        found +=
            LocateEveryWay(screen, "seed " + std::to_string(seed) + " round " + std::to_string(round)).found;
        if (HasFailure()) return;
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
        const Reading r =
            LocateEveryWay(s, "seed " + std::to_string(seed) + " round " + std::to_string(round));
        if (HasFailure()) return;
        const TooltipRect& expect = r.rect;
        const bool e = r.found;
        found += e;
        // A cut whose left neighbour on the bottom row is black was reached by a jump (or lies
        // beside a longer column); these are the cases this test is for.
        if (e && expect.x > 0 && PixelAt(s, expect.x - 1, expect.y + expect.height - 1) == 0) ++foundOffEdge;
    }
    EXPECT_GT(found, rounds / 4);
    std::printf("%d of %d found, %d beside black\n", found, rounds, foundOffEdge);
    EXPECT_GT(foundOffEdge, rounds / 10);
}

namespace {

// Screens the program meets or must survive, by name: the sample screen at three sizes, the
// window tests' scenes, second-screen tooltips, tooltips at every corner and touching an edge, two,
// none, and hostile bands, frame and black noise.
std::vector<std::pair<std::string, PixelBuffer>> ComposedScreens(std::string& error) {
    std::vector<std::pair<std::string, PixelBuffer>> out;
    auto compose = [&](const std::string& name, TooltipScene scene, int width = 0, int height = 0) {
        if (width) scene.screenWidth = width, scene.screenHeight = height;
        scene.x = std::min(scene.x, scene.screenWidth - scene.width - 40);  // the sample's tooltip, or inside
        PixelBuffer screen;
        if (ComposeScreen(scene, screen, error)) out.emplace_back(name, std::move(screen));
    };
    auto described = [&](const std::string& name, const std::string& path, int width = 0, int height = 0) {
        std::string text;
        TooltipScene scene;
        if (ReadFileBytes(TALLYWICK_SOURCE_DIR + path, text, error, 1 << 16) &&
            ParseScene(text, scene, error))
            compose(name, scene, width, height);
    };
    for (const auto& [w, h] : {std::pair{1920, 1080}, {2560, 1440}, {3840, 2160}})
        described("sample " + std::to_string(w), "/samples/sample_screen.txt", w, h);
    for (std::string name : {"helm", "ring_a", "ring_b", "save_item", "unknown", "second_ring",
                             "second_teach_ring", "no_tooltip"})
        described(name, "/tests/gui/scenes/" + name + ".txt");
    SecondScreen second;
    if (!LoadSecondScreen(second, error)) return out;
    int k = 0;
    for (TooltipScene scene : SecondScreenOthers(second)) {
        scene.seed = uint32_t(40 + k), scene.x = 300 + 250 * k, scene.y = 60 + 40 * k;
        compose("second screen " + std::to_string(k++), scene);
    }
    constexpr int w = 1280, h = 1024, tw = 450, th = 700;
    auto add = [&](const std::string& name, std::vector<std::array<int, 5>> fills, int sw = 1280,
                   int sh = 1024, uint32_t ground = kDesk) {
        PixelBuffer s(sw, sh, ground);
        for (const auto& f : fills) Fill(s, f[0], f[1], f[2], f[3], uint32_t(f[4]));
        out.emplace_back(name, std::move(s));
    };
    // Corners, one desk pixel right of and below the body; then touching the right or bottom edge.
    for (const auto& [x, y] : {std::pair{0, 0}, {w - tw - 1, 0}, {0, h - th - 1}, {w - tw - 1, h - th - 1}})
        add("corner " + std::to_string(x) + "," + std::to_string(y), {{x, y, tw, th, 0}});
    for (const auto& [x, y] : {std::pair{w - tw, 100}, {300, h - th}, {w - tw, h - th}})
        add("touching " + std::to_string(x) + "," + std::to_string(y), {{x, y, tw, th, 0}});
    add("two tooltips", {{700, 20, tw, 400, 0}, {240, 500, 380, 300, 0}});  // the left one is cut
    add("none", {});
    // Black bands of 201 rows under white lines: every column tested, every bottom row black to the
    // right edge. A black frame with a white right column and bottom row: found whole.
    std::vector<std::array<int, 5>> lines;
    for (int y = 201; y < 1300; y += 202) lines.push_back({0, y, 2000, 1, 0xFFFFFF});
    add("bands", lines, 2000, 1300, 0);
    add("frame", {{1499, 0, 1, 900, 0xFFFFFF}, {0, 899, 1500, 1, 0xFFFFFF}}, 1500, 900, 0);
    std::mt19937 rng(7);
    PixelBuffer noise(1600, 1000, kDesk);
    for (uint32_t& v : noise.pixels) v = rng() % 3 == 0 ? 0 : kDesk;
    Fill(noise, 600, 200, tw + 1, th + 1, kDesk);  // desk right of and below the body
    Fill(noise, 600, 200, tw, th, 0);
    out.emplace_back("black noise", std::move(noise));
    return out;
}

}  // namespace

// On every screen each way of reading finds what the literal scan finds. The locator asks for the
// sampled rows, the stretch of a column between the sampled rows around each black pixel of them,
// and a few bottom rows and right edges; the sparse screen fetches at most twice that besides the
// cut (a desktop in a few dozen copies), or the whole screen once when that costs less.
TEST(LocatorSources, AgreeOnComposedAndHostileScreens) {
    std::string error;
    ASSERT_TRUE(LoadGlyphTemplates(error)) << error;
    const auto screens = ComposedScreens(error);
    ASSERT_TRUE(error.empty()) << error;
    ASSERT_EQ(screens.size(), 28u);
    int found = 0;
    for (const auto& [name, screen] : screens) {
        const Reading r = LocateEveryWay(screen, name);
        found += r.found;
        const int64_t all = int64_t(screen.width) * screen.height;
        std::printf("%-18s %s  asked %5.2f%%  fetched %6.2f%% in %2d copies\n", name.c_str(),
                    r.found ? "found" : "none ", 100.0 * r.asked / all, 100.0 * r.fetched / all, r.fetches);
        int64_t blackSampled = 0;
        for (int y = kSampledRowStep - 1; y < screen.height; y += kSampledRowStep)
            for (int x = 0; x < screen.width; ++x) blackSampled += PixelAt(screen, x, y) == 0;
        EXPECT_LE(r.asked, (screen.height / kSampledRowStep + 4) * screen.width +
                               blackSampled * 2 * kSampledRowStep + 2 * screen.height)
            << name;
        const int64_t cut = r.found ? int64_t(r.rect.width) * r.rect.height : 0;
        EXPECT_TRUE(r.fetched <= cut + 2 * r.asked || r.fetched >= all) << name;
        EXPECT_LE(r.fetched, 2 * all) << name;
        if (name.rfind("sample", 0) == 0 || name.rfind("second", 0) == 0) {
            EXPECT_LE(r.fetches, 25) << name;
        }
    }
    EXPECT_EQ(found, 22);
    const Reading fourK = LocateEveryWay(screens[2].second, "sample 3840");
    EXPECT_LT(fourK.fetched * 20, int64_t(3840) * 2160) << "a twentieth of the 4K sample";
}
