// The glyph pack check: the built-in pictures pass with nothing to report, and a pack spoilt in
// one place is reported against the picture (or layout value) that was spoilt, with the numbers.
#include "reader/pack_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <initializer_list>
#include <tuple>
#include <utility>

#include "base/catalogue.h"

namespace {

constexpr int kBlueDigit7 = kGlyphBlueDigit0 + 7;
constexpr int kRingCaption = 60, kHelmCaption = 61;  // kinds 4 and 5
constexpr int kAgilityCaption = 42, kIntellectCaption = 43;

class PackCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(LoadGlyphTemplates(error)) << error;
    }
    static GlyphPack Pack() { return BuiltInPack(); }
    // A folder holding these pictures and layout fields (bits of PackContents::layoutFields).
    static PackContents Holding(std::initializer_list<int> pictures, unsigned fields = 0) {
        PackContents contents;
        for (int i : pictures) contents.picture[i] = true;
        contents.layoutFields = fields;
        return contents;
    }
    static unsigned Field(const char* name) {
        for (int f = 0; f < kLayoutFieldCount; ++f)
            if (std::string(LayoutFieldName(f)) == name) return 1u << f;
        ADD_FAILURE() << "no layout field " << name;
        return 0;
    }
    static std::string Dump(const std::vector<PackProblem>& problems) {
        std::string text;
        for (const PackProblem& p : problems)
            text += "\n  [" + std::to_string(p.templateIndex) + "] " + p.text;
        return text.empty() ? " (none)" : text;
    }
    // The problems against `index` whose text holds every one of `words`.
    static int Count(const std::vector<PackProblem>& problems, int index,
                     std::initializer_list<const char*> words) {
        return int(std::count_if(problems.begin(), problems.end(), [&](const PackProblem& p) {
            return p.templateIndex == index && std::all_of(words.begin(), words.end(), [&](const char* w) {
                       return p.text.find(w) != std::string::npos;
                   });
        }));
    }
    static bool AllAgainst(const std::vector<PackProblem>& problems, int index) {
        return std::all_of(problems.begin(), problems.end(),
                           [&](const PackProblem& p) { return p.templateIndex == index; });
    }
};

TEST_F(PackCheck, BuiltInPackPassesWithAndWithoutContents) {
    EXPECT_TRUE(CheckGlyphPack(BuiltInPack()).empty()) << Dump(CheckGlyphPack(BuiltInPack()));
    PackContents everything;
    for (int i = 0; i < kGlyphCount; ++i) everything.picture[i] = kGlyphInfo[i].resourceId != 0;
    everything.layoutFields = kAllLayoutFields;
    EXPECT_TRUE(CheckGlyphPack(BuiltInPack(), &everything).empty())
        << Dump(CheckGlyphPack(BuiltInPack(), &everything));
}

TEST_F(PackCheck, BuiltInPackChecksWellUnderASecond) {
    const std::clock_t cpu = std::clock();
    const auto start = std::chrono::steady_clock::now();
    const std::vector<PackProblem> problems = CheckGlyphPack(BuiltInPack());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double cpuSeconds = double(std::clock() - cpu) / CLOCKS_PER_SEC;
    RecordProperty("seconds", std::to_string(seconds));
    std::printf("built-in pack checked in %.3f s (%.3f s of processor time)\n", seconds, cpuSeconds);
    EXPECT_TRUE(problems.empty());
#if defined(NDEBUG) && !defined(__SANITIZE_ADDRESS__)
    EXPECT_LT(cpuSeconds, 0.5);
#endif
}

// Every picture enlarged `factor` times, pixel by pixel, with the layout to match: the game's text
// drawn larger.
GlyphPack Scaled(int factor) {
    GlyphPack pack = BuiltInPack();
    for (PixelBuffer& t : pack.templates) {
        PixelBuffer big(t.width * factor, t.height * factor);
        for (int y = 0; y < big.height; ++y)
            for (int x = 0; x < big.width; ++x)
                big.pixels[size_t(y) * big.width + x] = t.pixels[size_t(y / factor) * t.width + x / factor];
        t = big;
    }
    GlyphLayout& l = pack.layout;
    for (int* v : {&l.captionOffset, &l.digitAdvance, &l.pointAdvance, &l.damageGap, &l.tildeSearch,
                   &l.damageRight, &l.damageUp})
        *v *= factor;
    return pack;
}

TEST_F(PackCheck, PicturesOfAnotherSizeAreMeasuredAtTheirOwnSize) {
    const std::vector<PackProblem> twice = CheckGlyphPack(Scaled(2));
    EXPECT_TRUE(twice.empty()) << Dump(twice);
    // Three times larger, the bullet's pixels come in blocks of three, as wide as the sampling
    // step: it is found at nine places around every real bullet.
    const std::vector<PackProblem> thrice = CheckGlyphPack(Scaled(3));
    EXPECT_EQ(Count(thrice, kGlyphBullet,
                    {"bullet (101.bmp) is found 9 times in the line of caption 민첩 (177.bmp)"}),
              1)
        << Dump(thrice);
    EXPECT_TRUE(AllAgainst(thrice, kGlyphBullet)) << Dump(thrice);
}

TEST_F(PackCheck, ProblemsComeInTemplateOrder) {
    GlyphPack pack = Pack();
    pack.templates[kHelmCaption] = PixelBuffer(26, 10);
    pack.templates[kGlyphBlueDigit0 + 2] = pack.templates[kGlyphBlueDigit0 + 3];
    pack.layout.digitAdvance = 0;
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    ASSERT_GE(problems.size(), 3u) << Dump(problems);
    EXPECT_TRUE(std::is_sorted(
        problems.begin(), problems.end(),
        [](const PackProblem& a, const PackProblem& b) { return a.templateIndex < b.templateIndex; }))
        << Dump(problems);
    EXPECT_EQ(problems.front().templateIndex, -1) << Dump(problems);
}

// --- Colours and ink

TEST_F(PackCheck, PixelOffItsColourIsReportedWithWhereItIs) {
    GlyphPack pack = Pack();
    PixelBuffer& digit = pack.templates[kGlyphBlueDigit0 + 3];
    digit.pixels[size_t(4) * digit.width + 2] = RgbValue(0, 255, 0);
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(
        Count(problems, kGlyphBlueDigit0 + 3,
              {"digit 3 (blue, 126.bmp) has 1 pixel that is not its colour #6969FF", "#00FF00 at (2, 4)"}),
        1)
        << Dump(problems);
    EXPECT_EQ(problems.size(), 1u) << Dump(problems);
}

TEST_F(PackCheck, ColourScaleAllowsOneStepOfRoundingPerChannel) {
    // Blue at coverage 128 is (53, 53, 128): one off in a channel is the game's rounding, three
    // off is another colour. Grey and white pixels scale every channel alike.
    auto colourProblems = [&](int index, uint32_t value) {
        GlyphPack pack = Pack();
        pack.templates[index].pixels[0] = value;
        const PackContents contents = Holding({index});
        return Count(CheckGlyphPack(pack, &contents), index, {"not its colour"});
    };
    EXPECT_EQ(colourProblems(kAgilityCaption, RgbValue(53, 53, 128)), 0);
    EXPECT_EQ(colourProblems(kAgilityCaption, RgbValue(54, 52, 129)), 0);
    EXPECT_EQ(colourProblems(kAgilityCaption, RgbValue(56, 53, 128)), 1);
    EXPECT_EQ(colourProblems(kAgilityCaption, RgbValue(53, 53, 53)), 1);
    EXPECT_EQ(colourProblems(kGlyphWhiteDigit0, RgbValue(0x7F, 0x80, 0x7F)), 0);
    EXPECT_EQ(colourProblems(kGlyphWhiteDigit0, RgbValue(0x7F, 0x82, 0x7F)), 1);
    EXPECT_EQ(colourProblems(kRingCaption, RgbValue(0x44, 0x44, 0x44)), 0);
    EXPECT_EQ(colourProblems(kRingCaption, RgbValue(0xFF, 0xFF, 0xFF)), 1);  // brighter than grey can be
    EXPECT_EQ(colourProblems(kRingCaption, 0x01444444), 1);                  // the fourth byte must be 0
}

TEST_F(PackCheck, MissingPictureIsReportedOnlyWhenNoContentsAreGiven) {
    GlyphPack pack = Pack();
    pack.templates[kGlyphBluePoint] = PixelBuffer();
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(Count(problems, kGlyphBluePoint, {"decimal point (blue, 208.bmp) is missing"}), 1)
        << Dump(problems);
    EXPECT_EQ(problems.size(), 1u) << Dump(problems);
    // What a folder lacks is another part's business.
    const PackContents contents = Holding({kGlyphBullet});
    EXPECT_TRUE(CheckGlyphPack(pack, &contents).empty()) << Dump(CheckGlyphPack(pack, &contents));
}

TEST_F(PackCheck, BlankKindCaptionIsReportedOnceForItsInk) {
    GlyphPack pack = Pack();
    const PixelBuffer& ring = pack.templates[kRingCaption];
    pack.templates[kRingCaption] = PixelBuffer(ring.width, ring.height);
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(Count(problems, kRingCaption,
                    {"kind caption 반지 (200.bmp) has only 0 inked samples at step 2; needs at least 15"}),
              1)
        << Dump(problems);
    EXPECT_TRUE(AllAgainst(problems, kRingCaption)) << Dump(problems);
    EXPECT_EQ(problems.size(), 1u) << "a blank picture is not compared with others" << Dump(problems);
}

TEST_F(PackCheck, WhiteDigitWithoutPureWhiteCannotBeReadOnTheDamageLine) {
    GlyphPack pack = Pack();
    for (uint32_t& p : pack.templates[kGlyphWhiteDigit0 + 5].pixels)
        if (p == 0xFFFFFF) p = 0xEEEEEE;
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(Count(problems, kGlyphWhiteDigit0 + 5,
                    {"digit 5 (white, 129.bmp) has only 0 pure white pixels; needs at least 4"}),
              1)
        << Dump(problems);
    EXPECT_EQ(problems.size(), 1u) << Dump(problems);
}

TEST_F(PackCheck, PictureTallerThanAnyTextIsReportedOnceAndLeftOut) {
    GlyphPack pack = Pack();
    pack.templates[kAgilityCaption] = PixelBuffer(40, 300, RgbValue(0, 0, 7));  // also off its colour
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(Count(problems, kAgilityCaption,
                    {"caption 민첩 (177.bmp) is 300 pixels tall; no line of text is over 100"}),
              1)
        << Dump(problems);
    EXPECT_EQ(problems.size(), 1u) << Dump(problems);
}

// --- Digits, points and tildes

TEST_F(PackCheck, DigitCopiedFromAnotherIsReportedAgainstTheCopy) {
    GlyphPack pack = Pack();
    pack.templates[kBlueDigit7] = pack.templates[kGlyphBlueDigit0 + 1];
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(Count(problems, kBlueDigit7,
                    {"digit 7 (blue, 134.bmp) differs from digit 1 (blue, 122.bmp) in only 0 sampled pixels; "
                     "needs at least 16"}),
              1)
        << Dump(problems);
    EXPECT_EQ(problems.size(), 1u) << Dump(problems);
    // The folder holding the copy: the problem is the copy's, whichever digit comes first.
    pack = Pack();
    pack.templates[kGlyphBlueDigit0 + 1] = pack.templates[kBlueDigit7];
    const PackContents contents = Holding({kGlyphBlueDigit0 + 1});
    const std::vector<PackProblem> held = CheckGlyphPack(pack, &contents);
    EXPECT_EQ(
        Count(held, kGlyphBlueDigit0 + 1, {"digit 7 (blue, 134.bmp)", "digit 1 (blue, 122.bmp)", "only 0"}),
        1)
        << Dump(held);
    EXPECT_TRUE(AllAgainst(held, kGlyphBlueDigit0 + 1)) << Dump(held);
}

TEST_F(PackCheck, WhiteDigitsCloseInTheirPureWhitePixelsAreReported) {
    // An 8 whose pure white pixels are exactly the 3's: drawn in full the two stay far apart, but
    // the damage line, which sees pure white alone, cannot tell them apart.
    GlyphPack pack = Pack();
    PixelBuffer& eight = pack.templates[kGlyphWhiteDigit0 + 8];
    const PixelBuffer original = eight;
    const PixelBuffer& three = pack.templates[kGlyphWhiteDigit0 + 3];
    for (size_t p = 0; p < eight.pixels.size(); ++p)
        eight.pixels[p] = three.pixels[p] == 0xFFFFFF      ? 0xFFFFFF
                          : original.pixels[p] == 0xFFFFFF ? 0xEEEEEE
                                                           : original.pixels[p];
    const PackContents contents = Holding({kGlyphWhiteDigit0 + 8});
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    EXPECT_EQ(Count(problems, kGlyphWhiteDigit0 + 8,
                    {"digit 8 (white, 135.bmp) differs from digit 3 (white, 125.bmp) (pure white pixels) "
                     "in only 0 sampled pixels; needs at least 3"}),
              1)
        << Dump(problems);
    EXPECT_TRUE(AllAgainst(problems, kGlyphWhiteDigit0 + 8)) << Dump(problems);
}

TEST_F(PackCheck, DigitThatReadsAsAPointIsReported) {
    GlyphPack pack = Pack();
    PixelBuffer point(9, 10);  // the blue point drawn into a digit's cell
    const PixelBuffer& real = pack.templates[kGlyphBluePoint];
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < real.width; ++x)
            point.pixels[size_t(y) * 9 + x] = real.pixels[size_t(y) * real.width + x];
    for (int y = 0; y < 3; ++y) point.pixels[size_t(y) * 9 + 8] = kBlue;  // enough ink of its own
    for (int y = 3; y < 10; ++y) point.pixels[size_t(y) * 9 + 7] = kBlue;
    pack.templates[kGlyphBlueDigit0 + 4] = point;
    const PackContents contents = Holding({kGlyphBlueDigit0 + 4});
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    EXPECT_EQ(Count(problems, kGlyphBlueDigit0 + 4,
                    {"digit 4 (blue, 128.bmp) differs from decimal point (blue, 208.bmp)"}),
              1)
        << Dump(problems);
}

TEST_F(PackCheck, TildeThatReadsInsideANumberIsReported) {
    GlyphPack pack = Pack();
    pack.templates[kGlyphBlueTilde] = pack.templates[kGlyphBlueDigit0 + 0];
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(
        Count(problems, kGlyphBlueTilde,
              {"tilde (blue, 211.bmp) differs from the number 00 at its column 0 in only 0 sampled pixels; "
               "needs at least 10"}),
        1)
        << Dump(problems);
}

// --- Kind captions

TEST_F(PackCheck, KindCaptionEqualToAnotherIsReported) {
    GlyphPack pack = Pack();
    pack.templates[kHelmCaption] = pack.templates[kRingCaption];
    const PackContents contents = Holding({kHelmCaption});
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    EXPECT_EQ(
        Count(
            problems, kHelmCaption,
            {"kind caption 반지 (200.bmp) differs from kind caption 투구 (196.bmp) overlapping it at (0, 0) "
             "in only 0 sampled pixels; needs at least 15"}),
        1)
        << Dump(problems);
    EXPECT_TRUE(AllAgainst(problems, kHelmCaption)) << Dump(problems);
    // The earlier kind's caption made a copy of the later one's: the ring caption, tried first,
    // now reads a helm, and the folder holding it is told so.
    pack = Pack();
    pack.templates[kRingCaption] = pack.templates[kHelmCaption];
    const PackContents ring = Holding({kRingCaption});
    const std::vector<PackProblem> copied = CheckGlyphPack(pack, &ring);
    EXPECT_EQ(Count(copied, kRingCaption,
                    {"kind caption 반지 (200.bmp) differs from kind caption 투구 (196.bmp)", "only 0"}),
              1)
        << Dump(copied);
    EXPECT_TRUE(AllAgainst(copied, kRingCaption)) << Dump(copied);
    const PackContents unrelated = Holding({kGlyphBullet});
    EXPECT_TRUE(CheckGlyphPack(pack, &unrelated).empty()) << Dump(CheckGlyphPack(pack, &unrelated));
}

TEST_F(PackCheck, KindCaptionInsideALaterKindsCaptionIsReportedButNotTheOtherWayRound) {
    const int first = kItemKinds[0].templateIndex, last = kItemKinds[kKindCount - 1].templateIndex;
    const int chest = kItemKinds[6].templateIndex;
    // The first kind, tried before all others, cut from the chest caption: it reads a chest.
    GlyphPack pack = Pack();
    pack.templates[first] = CropPixels(pack.templates[chest], 0, 0, 16, pack.templates[chest].height);
    std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(Count(problems, chest,
                    {"kind caption 보조장비 (146.bmp) differs from kind caption 가슴 방어구 (202.bmp)",
                     "in only 0 sampled pixels"}),
              1)
        << Dump(problems);
    // The last kind cut the same way: the chest caption is found first, so nothing misreads.
    pack = Pack();
    pack.templates[last] = CropPixels(pack.templates[chest], 0, 0, 16, pack.templates[chest].height);
    problems = CheckGlyphPack(pack);
    EXPECT_TRUE(problems.empty()) << Dump(problems);
}

// --- Option captions, the bullet and the socket caption

TEST_F(PackCheck, OptionCaptionEqualToOneAtTheSamePlaceIsReported) {
    GlyphPack pack = Pack();
    pack.templates[kAgilityCaption] = pack.templates[kIntellectCaption];
    const PackContents contents = Holding({kAgilityCaption});
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    EXPECT_EQ(Count(problems, kAgilityCaption,
                    {"caption 민첩 (177.bmp) differs from caption 지능 (182.bmp) at the caption's place "
                     "before 12 in only "
                     "0 sampled "
                     "pixels; needs at least 10"}),
              1)
        << Dump(problems);
    EXPECT_TRUE(AllAgainst(problems, kAgilityCaption)) << Dump(problems);
}

TEST_F(PackCheck, CaptionsOfRowsThatNeverMeetAreNotCompared) {
    // A gem line read only on weapons and one read only on other items never stand at one bullet.
    const int weaponGem = 84, otherGem = 53;
    ASSERT_EQ(kStatDescriptors[32].templateIndex, weaponGem);
    ASSERT_EQ(kStatDescriptors[32].condition, kWeaponsOnly);
    ASSERT_EQ(kStatDescriptors[34].templateIndex, otherGem);
    ASSERT_EQ(kStatDescriptors[34].condition, kNonWeaponsOnly);
    GlyphPack pack = Pack();
    pack.templates[otherGem] = pack.templates[weaponGem];
    const PackContents contents = Holding({otherGem});
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    EXPECT_TRUE(problems.empty()) << Dump(problems);
    // Read on every item, the same copy is reported.
    const int everyGem = 52;
    ASSERT_EQ(kStatDescriptors[30].templateIndex, everyGem);
    ASSERT_EQ(kStatDescriptors[30].condition, kEveryKind);
    pack = Pack();
    pack.templates[everyGem] = pack.templates[weaponGem];
    const PackContents every = Holding({everyGem});
    const std::vector<PackProblem> met = CheckGlyphPack(pack, &every);
    EXPECT_EQ(Count(met, everyGem,
                    {"caption 보석 - 극대화 피해 (139.bmp) differs from caption 보석 - 무기 공격력 (233.bmp)",
                     "only 0"}),
              1)
        << Dump(met);
}

TEST_F(PackCheck, BulletFoundInsideACaptionIsReported) {
    GlyphPack pack = Pack();
    const PixelBuffer& caption = pack.templates[kAgilityCaption];
    // Two columns of the caption with ink on at least two of the rows the bullet search samples.
    int x = 0;
    auto inked = [&](int cx) {
        int n = 0;
        for (int y = 0; y < caption.height; y += 3) n += PixelAt(caption, cx, y) != 0;
        return n;
    };
    while (x + 2 < caption.width && inked(x) < 2) ++x;
    ASSERT_GE(inked(x), 2);
    pack.templates[kGlyphBullet] = CropPixels(caption, x, 0, 2, caption.height);
    const PackContents contents = Holding({kGlyphBullet});
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    EXPECT_EQ(
        Count(problems, kGlyphBullet, {"bullet (101.bmp) is found", "in the line of caption 민첩 (177.bmp)"}),
        1)
        << Dump(problems);
    EXPECT_TRUE(AllAgainst(problems, kGlyphBullet)) << Dump(problems);
}

TEST_F(PackCheck, SocketCaptionFoundInsideAnOptionLineIsReported) {
    GlyphPack pack = Pack();
    pack.templates[kGlyphEmptySocket] = CropPixels(pack.templates[kIntellectCaption], 5, 0, 30, 14);
    const PackContents contents = Holding({kGlyphEmptySocket});
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    EXPECT_EQ(Count(problems, kGlyphEmptySocket,
                    {"empty socket caption (231.bmp) is found in the line of caption 지능 (182.bmp) at (16, "
                     "0) from its bullet"}),
              1)
        << Dump(problems);
    EXPECT_TRUE(AllAgainst(problems, kGlyphEmptySocket)) << Dump(problems);
}

// --- Layout

TEST_F(PackCheck, ImplausibleLayoutValuesAreReportedAgainstTheLayout) {
    GlyphPack pack = Pack();
    pack.layout.captionOffset = 2;  // the bullet is 2 wide
    pack.layout.pointAdvance = 0;
    pack.layout.tildeSearch = 100;  // the widest caption of a range is 118 wide
    pack.layout.damageRight = -1;
    const std::vector<PackProblem> problems = CheckGlyphPack(pack);
    EXPECT_EQ(
        Count(problems, -1, {"layout: caption_offset is 2; must be at least 3, past the bullet's width"}), 1)
        << Dump(problems);
    EXPECT_EQ(Count(problems, -1, {"layout: point_advance is 0; must be at least 1"}), 1) << Dump(problems);
    EXPECT_EQ(Count(problems, -1, {"layout: tilde_search is 100; must be at least 119"}), 1)
        << Dump(problems);
    EXPECT_EQ(Count(problems, -1, {"layout: damage_right is -1; must be at least 0"}), 1) << Dump(problems);
    EXPECT_EQ(Count(problems, -1, {"layout:"}), 4) << Dump(problems);
    // A folder that gives none of those values is not blamed for them; one that gives one is.
    const PackContents digits = Holding({}, Field("digit_advance"));
    EXPECT_EQ(Count(CheckGlyphPack(pack, &digits), -1, {"layout:"}), 0)
        << Dump(CheckGlyphPack(pack, &digits));
    const PackContents search = Holding({}, Field("tilde_search"));
    EXPECT_EQ(Count(CheckGlyphPack(pack, &search), -1, {"layout:"}), 1)
        << Dump(CheckGlyphPack(pack, &search));
    // A bullet from the folder as wide as the caption offset is the bullet's problem too.
    GlyphPack wide = Pack();
    wide.templates[kGlyphBullet] = CropPixels(wide.templates[kGlyphBullet], 0, 0, 11, 10);
    const PackContents bullet = Holding({kGlyphBullet});
    EXPECT_EQ(Count(CheckGlyphPack(wide, &bullet), -1, {"caption_offset is 11; must be at least 12"}), 1)
        << Dump(CheckGlyphPack(wide, &bullet));
}

TEST_F(PackCheck, DamageGapThatPutsTheMaximumWhereAFractionIsReadIsReported) {
    // With damage_gap equal to point_advance the maximum's first digit stands where the reader
    // looks for the minimum's fraction.
    GlyphPack pack = Pack();
    pack.layout.damageGap = pack.layout.pointAdvance;
    const PackContents contents = Holding({}, Field("damage_gap"));
    const std::vector<PackProblem> problems = CheckGlyphPack(pack, &contents);
    EXPECT_EQ(Count(problems, kGlyphWhiteDigit0 + 1,
                    {"digit 1 (white, 121.bmp) differs from digit 1 (white, 121.bmp) standing 0 columns on "
                     "(pure white pixels) in only 0"}),
              1)
        << Dump(problems);
    EXPECT_EQ(problems.size(), 10u) << "one for each white digit" << Dump(problems);
    const PackContents other = Holding({}, Field("digit_advance"));
    EXPECT_TRUE(CheckGlyphPack(pack, &other).empty()) << Dump(CheckGlyphPack(pack, &other));
}

// --- What stops a pack being used

// Problems that make a read wrong or endless block the pack; a picture merely short of the room
// wanted only warns, so a partly learned pack still reads.
TEST_F(PackCheck, ProblemsThatMisreadBlockThePackAndNarrowMarginsOnlyWarn) {
    auto blocking = [](const GlyphPack& pack, const PackContents& held) {
        const std::vector<PackProblem> problems = CheckGlyphPack(pack, &held);
        const PackProblem* first = FirstBlockingProblem(problems);
        return std::pair{first ? first->text : std::string(), problems};
    };
    // A blank digit matches empty black at the value tolerance: every read of it is endless ones.
    GlyphPack blank = Pack();
    blank.templates[kBlueDigit7] = PixelBuffer(9, 10);
    auto [why, problems] = blocking(blank, Holding({kBlueDigit7}));
    EXPECT_EQ(why, "digit 7 (blue, 134.bmp) has only 0 inked samples at step 1; needs at least 16")
        << Dump(problems);

    // An advance narrower than the digits, given by the folder, is the layout's; the built-in
    // digits are 9 wide.
    GlyphPack narrow = Pack();
    narrow.layout.digitAdvance = 3;
    std::tie(why, problems) = blocking(narrow, Holding({}, Field("digit_advance")));
    EXPECT_EQ(
        why,
        "layout: digit_advance is 3, narrower than digit 0 (blue, 120.bmp), 9 pixels wide: each step of "
        "the reader would overlap it")
        << Dump(problems);
    EXPECT_EQ(problems.size(), 1u) << Dump(problems);
    narrow.layout.digitAdvance = 0;  // told once, as a value the reader cannot step with
    std::tie(why, problems) = blocking(narrow, Holding({}, Field("digit_advance")));
    EXPECT_EQ(why, "layout: digit_advance is 0; must be at least 1") << Dump(problems);
    EXPECT_EQ(problems.size(), 1u) << Dump(problems);

    // A picture 512 wide and 1 high: a digit overlaps every step, a caption is no line of text.
    GlyphPack flat = Pack();
    flat.templates[kGlyphBlueDigit0 + 2] = PixelBuffer(512, 1, kBlue);
    flat.templates[kAgilityCaption] = PixelBuffer(512, 1, kBlue);
    std::tie(why, problems) = blocking(flat, Holding({kGlyphBlueDigit0 + 2, kAgilityCaption}));
    EXPECT_EQ(Count(problems, kGlyphBlueDigit0 + 2,
                    {"digit 2 (blue, 124.bmp) is 512 pixels wide, wider than digit_advance 9"}),
              1)
        << Dump(problems);
    EXPECT_EQ(Count(problems, kAgilityCaption,
                    {"caption 민첩 (177.bmp) is 1 pixels tall; no line of text is under 5"}),
              1)
        << Dump(problems);
    EXPECT_TRUE(std::all_of(problems.begin(), problems.end(), [](const PackProblem& p) { return p.blocks; }))
        << Dump(problems);

    // Digits exactly as wide as the advance, their ink touching the next cell as the game's own
    // "99" does, are right.
    GlyphPack touching = Pack();
    for (int d = 0; d < 10; ++d) {
        PixelBuffer& digit = touching.templates[kGlyphBlueDigit0 + d];
        for (int y = 3; y < 6; ++y) digit.pixels[size_t(y) * digit.width + digit.width - 1] = kBlue;
    }
    PackContents allDigits = Holding({}, Field("digit_advance"));
    for (int d = 0; d < 10; ++d) allDigits.picture[kGlyphBlueDigit0 + d] = true;
    std::tie(why, problems) = blocking(touching, allDigits);
    EXPECT_EQ(why, "") << Dump(problems);

    // A partly taught pack: the spacing it measured goes with the digits and range captions it cut,
    // not with the built-in ones (another screen's, 9 wide) that stand in for those it lacks yet.
    GlyphPack partial = Pack();
    partial.layout.digitAdvance = 8;
    PackContents taught = Holding({}, Field("digit_advance") | Field("tilde_search"));
    int rangeCaption = -1;
    for (const StatDescriptor& row : kStatDescriptors)
        if (row.range && rangeCaption < 0) rangeCaption = row.templateIndex;
    for (int i : {kGlyphBlueDigit0, kGlyphBlueDigit0 + 1, rangeCaption}) {
        const PixelBuffer& t = partial.templates[i];
        partial.templates[i] = CropPixels(t, 0, 0, i == rangeCaption ? t.width : 8, t.height);
        taught.picture[i] = true;
    }
    partial.layout.tildeSearch = partial.templates[rangeCaption].width + 1;
    std::tie(why, problems) = blocking(partial, taught);
    EXPECT_EQ(why, "") << Dump(problems);
    partial.layout.digitAdvance = 7;  // narrower than its own digits: blocks as before
    std::tie(why, problems) = blocking(partial, taught);
    EXPECT_NE(why.find("digit_advance is 7"), std::string::npos) << Dump(problems);

    // Ink short of the margin but above the tolerance, and a pixel off its colour, only warn.
    GlyphPack faint = Pack();
    PixelBuffer& seven = faint.templates[kBlueDigit7];
    int kept = 0;
    for (uint32_t& p : seven.pixels)
        if (p != 0 && ++kept > 10) p = 0;
    faint.templates[kGlyphBlueDigit0 + 3].pixels[0] = RgbValue(0, 255, 0);
    std::tie(why, problems) = blocking(faint, Holding({kBlueDigit7, kGlyphBlueDigit0 + 3}));
    EXPECT_EQ(Count(problems, kBlueDigit7, {"has only 10 inked samples at step 1; needs at least 16"}), 1)
        << Dump(problems);
    EXPECT_EQ(problems.size(), 2u) << Dump(problems);
    EXPECT_EQ(why, "") << Dump(problems);
}

}  // namespace
