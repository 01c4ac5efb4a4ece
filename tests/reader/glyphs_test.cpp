// A picture set as the reader sees it, for the built-in pictures and for the second screen's
// (another font, size and layout): every template must stand out from black and from the pictures
// it can meet where the game draws them, at the sampling steps and default tolerances the reading
// uses, with room to spare. Each check reports its worst case.
#include "reader/glyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/catalogue.h"
#include "reader/matcher.h"
#include "tests/support/glyph_margins.h"
#include "tools/compose/second_screen.h"

namespace {

constexpr int kKindTolerance = 10;   // item kind: step 2
constexpr int kOptionTolerance = 5;  // captions: step 3
constexpr int kValueTolerance = 8;   // digits: step 1
constexpr int kTildeTolerance = 5;   // the range tilde: step 1
constexpr int kKindStep = 2, kCaptionStep = 3, kBulletStep = 3;
constexpr int kWeaponCaption = 36;
constexpr int kLineX = 4, kLineY = 3;

// A picture set with the placement its text is drawn at, and the kind captions that hold another
// kind's caption inside them (on the second screen "손" in "한손 무기" and "손목", "목" in "손목";
// none among the built-in pictures): the reader tries kinds in order, so the outer one comes first.
struct PictureSet {
    const GlyphPack* pack = nullptr;
    ComposePlacement place;
    std::vector<std::pair<int, int>> held;  // outer, inner template
};

const PictureSet* Load(bool second) {
    static std::string error;
    static SecondScreen screen;
    static const bool builtIn = LoadGlyphTemplates(error);
    static const bool loaded = builtIn && LoadSecondScreen(screen, error);
    static const PictureSet sets[] = {
        {&BuiltInPack(), ComposePlacement{}, {}},
        {&screen.pack, screen.placement, {{57, 68}, {58, 68}, {59, 68}, {59, 67}}},
    };
    if (!(second ? loaded : builtIn)) ADD_FAILURE() << error;
    return (second ? loaded : builtIn) ? &sets[second] : nullptr;
}

class PictureSetMargins : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override { ASSERT_NE(set = Load(GetParam()), nullptr); }
    const PixelBuffer& Glyph(int index) const { return set->pack->Template(index); }
    const GlyphLayout& Layout() const { return set->pack->layout; }
    const ComposePlacement& Place() const { return set->place; }

    // A number as the game lays it out, '~' standing for a range's tilde. Returns the column
    // after the last character.
    int DrawText(PixelBuffer& canvas, int x, int y, const std::string& text, bool white) const {
        const size_t tilde = text.find('~');
        x = DrawNumber(canvas, x, y, text.substr(0, tilde), white, *set->pack);
        if (tilde == std::string::npos) return x;
        DrawGlyph(canvas, x, y, white ? kGlyphWhiteTilde : kGlyphBlueTilde, *set->pack);
        return DrawNumber(canvas, x + Place().tildeAdvance, y, text.substr(tilde + 1), white, *set->pack);
    }

    // An option line on black: bullet at (kLineX, kLineY), the caption the caption offset on,
    // then `number`.
    PixelBuffer LineOnBlack(int caption, const std::string& number) const {
        const int captionX = kLineX + Layout().captionOffset;
        PixelBuffer line(captionX + Glyph(caption).width + 120, kLineY + Place().lineHeight + 4);
        DrawGlyph(line, kLineX, kLineY, kGlyphBullet, *set->pack);
        DrawGlyph(line, captionX, kLineY, caption, *set->pack);
        DrawText(line, captionX + Glyph(caption).width, kLineY, number, IsWhite(caption));
        return line;
    }

    bool HoldsLaterKind(int outer, int inner) const {
        return std::find(set->held.begin(), set->held.end(), std::pair(outer, inner)) != set->held.end();
    }

    const PictureSet* set = nullptr;
};

// The caption templates of the option pass (every descriptor row but the weapon base line's).
std::vector<int> OptionCaptions() {
    std::vector<int> list;
    for (int row = 0; row < kDescriptorCount; ++row) {
        int index = kStatDescriptors[row].templateIndex;
        if (row != kAttacksPerSecondRow && std::find(list.begin(), list.end(), index) == list.end())
            list.push_back(index);
    }
    return list;
}

int KindOf(int templateIndex) {
    for (int kind = 0; kind < kKindCount; ++kind)
        if (kItemKinds[kind].templateIndex == templateIndex) return kind;
    return -1;
}

TEST_P(PictureSetMargins, EveryPictureIsItsColourScaledByCoverageOnBlack) {
    for (int i = 0; i < kGlyphCount; ++i) {
        const GlyphInfo& info = kGlyphInfo[i];
        if (info.resourceId == 0) {
            EXPECT_EQ(Glyph(i).count, 0) << "template " << i << " is not carried";
            continue;
        }
        std::vector<uint32_t> scale;  // the colour at coverages 1..255, each channel rounded
        for (uint32_t k = 1; k <= 255; ++k) {
            auto ch = [&](int shift) { return uint8_t((((info.colour >> shift) & 0xFF) * k + 127) / 255); };
            scale.push_back(RgbValue(ch(0), ch(8), ch(16)));
        }
        int ink = 0, outside = 0;
        for (uint32_t p : Glyph(i).pixels)
            if (p != 0) ++ink, outside += std::find(scale.begin(), scale.end(), p) == scale.end();
        EXPECT_GT(ink, 0) << "template " << i << " is blank";
        EXPECT_EQ(outside, 0) << "template " << i << " has pixels off the scale of its colour";
    }
    // The damage line is read by pure white pixels: every white digit has them, and the white
    // point has none (it always matches there, as the reader's damage gap assumes).
    for (int d = 0; d < 10; ++d) EXPECT_GE(Ink(Glyph(Digit(d, true)), 1, 2), 4) << "white " << d;
    const std::vector<uint32_t>& point = Glyph(kGlyphWhitePoint).pixels;
    EXPECT_LT(*std::max_element(point.begin(), point.end()), 0xFFFFFFu);
}

TEST_P(PictureSetMargins, KindCaptionsStandOutFromBlackAndFromOneAnother) {
    Worst ink, apart;
    std::vector<std::string> matched;
    for (int ki = 0; ki < kKindCount; ++ki) {
        const int i = kItemKinds[ki].templateIndex;
        ink.Take(Ink(Glyph(i), kKindStep), std::to_string(i));
        for (int kj = 0; kj < kKindCount; ++kj) {
            const int j = kItemKinds[kj].templateIndex;
            if (i == j || HoldsLaterKind(i, j)) continue;
            // Caption i alone on black, with room for template j to overlap it from any side.
            const PixelBuffer &outer = Glyph(i), &tmpl = Glyph(j);
            PixelBuffer canvas(outer.width + 2 * tmpl.width, outer.height + 2 * tmpl.height);
            Paste(canvas, outer, tmpl.width, tmpl.height);
            const int w = outer.width + tmpl.width + 1, h = outer.height + tmpl.height + 1;
            for (int x = 0; x < w; ++x)
                for (int y = 0; y < h; ++y)
                    apart.Take(Mismatches(canvas, x, y, tmpl, kKindStep, 0),
                               std::to_string(j) + " in " + std::to_string(i));
            if (Hits(canvas, 0, 0, w, h, tmpl, kKindStep, kKindTolerance, 0))
                matched.push_back(std::to_string(j) + " in " + std::to_string(i));
        }
    }
    EXPECT_TRUE(matched.empty()) << "kind captions read inside others: " << ::testing::PrintToString(matched);
    EXPECT_GE(ink.value, kKindTolerance + 5) << "fewest inked samples: " << ink;
    EXPECT_GE(apart.value, kKindTolerance + 5) << "closest pair: " << apart;
    // The captions held are found inside, so their kinds must be tried after the outer ones; a
    // pair listed needlessly would hide a collision from the check above.
    for (auto [outer, inner] : set->held) {
        EXPECT_LT(KindOf(outer), KindOf(inner)) << inner << " in " << outer;
        PixelBuffer canvas(Glyph(outer).width + 20, Glyph(outer).height + 20);
        Paste(canvas, Glyph(outer), 10, 10);
        EXPECT_EQ(Hits(canvas, 0, 0, 0, 0, Glyph(inner), kKindStep, kKindTolerance, 0), 1)
            << inner << " in " << outer;
    }
}

TEST_P(PictureSetMargins, DigitsDifferFromBlankAndFromEachOther) {
    for (bool white : {false, true}) {
        Worst ink, apart;
        for (int a = 0; a < 10; ++a) {
            ink.Take(Ink(Glyph(Digit(a, white)), 1), std::to_string(a));
            for (int b = 0; b < 10; ++b) {
                if (a == b) continue;
                PixelBuffer canvas(Layout().digitAdvance, Place().lineHeight);
                Paste(canvas, Glyph(Digit(b, white)), 0, 0);
                apart.Take(Mismatches(canvas, 0, 0, Glyph(Digit(a, white)), 1, 0),
                           std::to_string(a) + " on " + std::to_string(b));
            }
        }
        // Twice the tolerance: one digit never reads as blank or as another.
        EXPECT_GE(ink.value, 2 * kValueTolerance)
            << (white ? "white" : "blue") << " digit with least ink: " << ink;
        EXPECT_GE(apart.value, 2 * kValueTolerance)
            << (white ? "white" : "blue") << " closest digits: " << apart;
    }
}

// The damage line is read by pure white pixels alone (tolerance 1), searching two rows for its
// first digit; after a whole minimum the reader looks a point advance on for a fraction, where
// the maximum's first digit begins damage gap - point advance columns further.
TEST_P(PictureSetMargins, WhiteDigitsDifferInTheirPureWhitePixels) {
    const int shiftToMax = Layout().damageGap - Layout().pointAdvance;
    Worst blank, apart, self, dash;
    for (int a = 0; a < 10; ++a) {
        const PixelBuffer& ta = Glyph(Digit(a, true));
        blank.Take(Ink(ta, 1, 2), std::to_string(a));
        for (int b = 0; b < 10; ++b) {
            PixelBuffer canvas(shiftToMax + 2 * Layout().digitAdvance, Place().lineHeight + 4);
            Paste(canvas, Glyph(Digit(b, true)), shiftToMax, 2);
            for (int shift = -1; shift <= 1; ++shift) {
                int n = Mismatches(canvas, shiftToMax, 2 + shift, ta, 1, 2);
                std::string at =
                    std::to_string(a) + " on " + std::to_string(b) + " rows off " + std::to_string(shift);
                if (a != b)
                    apart.Take(n, at);
                else if (shift != 0)
                    self.Take(n, at);
            }
            for (int row : {1, 2})
                dash.Take(Mismatches(canvas, 0, row, ta, 1, 2),
                          std::to_string(a) + " before " + std::to_string(b));
        }
    }
    EXPECT_GE(blank.value, 4) << "fewest pure white pixels: " << blank;
    EXPECT_GE(apart.value, 3) << "closest pair: " << apart;
    EXPECT_GE(self.value, 2) << "a digit one row off itself: " << self;
    EXPECT_GE(dash.value, 3) << "closest: " << dash;
}

TEST_P(PictureSetMargins, OptionCaptionsAreToldApartWhereTheyStand) {
    const std::vector<int> captions = OptionCaptions();
    const char* numbers[] = {"12", "345", "9.5", "1~2", "80"};
    Worst ink, apart;
    for (int t : captions) {
        ink.Take(Ink(Glyph(t), kCaptionStep), std::to_string(t));
        for (int other : captions)
            for (const char* number : numbers) {
                if (other == t) continue;
                PixelBuffer line = LineOnBlack(other, number);
                apart.Take(
                    Mismatches(line, kLineX + Layout().captionOffset, kLineY, Glyph(t), kCaptionStep, 0),
                    std::to_string(t) + " on " + std::to_string(other) + " " + number);
            }
    }
    // Twice the tolerance. Descriptor rows that share one picture never meet here.
    EXPECT_GE(ink.value, 2 * kOptionTolerance) << "fewest inked samples: " << ink;
    EXPECT_GE(apart.value, 2 * kOptionTolerance) << "closest pair: " << apart;
    // The weapon base caption is searched over the left half of the tooltip, blank or not.
    EXPECT_GE(Ink(Glyph(kWeaponCaption), kCaptionStep), 2 * kOptionTolerance);
}

TEST_P(PictureSetMargins, BulletIsFoundOncePerLineAndNowhereElse) {
    const PixelBuffer& bullet = Glyph(kGlyphBullet);
    EXPECT_GE(Ink(bullet, kBulletStep), 3) << "a blank stretch would pass for a bullet";
    std::vector<std::string> wrong;
    for (int caption : OptionCaptions())
        for (const char* number : {"12", "9.5", "1~2"}) {
            PixelBuffer line = LineOnBlack(caption, number);
            HitPos hits[kHitListSize];
            int n = MatchTemplate(line, 0, 0, 0, 0, bullet, hits, 1, kBulletStep, 1, 0);
            if (n != 1 || hits[0].x != kLineX || hits[0].y != kLineY)
                wrong.push_back(std::to_string(caption) + " " + number + ": " + std::to_string(n) + " hits");
        }
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

TEST_P(PictureSetMargins, TildesStandOutFromCaptionsAndDigits) {
    for (bool white : {false, true}) {
        const PixelBuffer& tilde = Glyph(white ? kGlyphWhiteTilde : kGlyphBlueTilde);
        Worst apart;
        // The search slides along the line's top row from the caption's first column.
        auto scan = [&](const PixelBuffer& line, int from, int to, const std::string& what) {
            for (int x = from; x < to; ++x)
                apart.Take(Mismatches(line, x, kLineY, tilde, 1, 0), what + " at " + std::to_string(x));
        };
        const int captionX = kLineX + Layout().captionOffset;
        for (int c : OptionCaptions())
            if (IsWhite(c) == white)
                scan(LineOnBlack(c, ""), captionX, captionX + Glyph(c).width, "caption " + std::to_string(c));
        for (int a = 0; a < 10; ++a)
            for (int b = 0; b < 10; ++b)
                for (std::string number :
                     {std::to_string(a) + std::to_string(b), std::to_string(a) + "." + std::to_string(b)}) {
                    PixelBuffer line(60, Place().lineHeight + 8);
                    DrawText(line, 0, kLineY, number, white);
                    scan(line, 0, 2 * Layout().digitAdvance, number);
                }
        EXPECT_GE(Ink(tilde, 1), 2 * kTildeTolerance) << (white ? "white" : "blue");
        EXPECT_GE(apart.value, 2 * kTildeTolerance) << (white ? "white" : "blue") << " closest: " << apart;
    }
}

TEST_P(PictureSetMargins, EmptySocketCaptionIsFoundOnlyOnItsOwn) {
    const PixelBuffer& socket = Glyph(kGlyphEmptySocket);
    EXPECT_GT(Ink(socket, 1), 20);
    for (int caption : OptionCaptions()) {
        PixelBuffer line = LineOnBlack(caption, "12");
        EXPECT_EQ(Hits(line, 0, 0, 0, 0, socket, 1, 1, 0), 0) << "inside caption " << caption;
    }
    PixelBuffer line(socket.width + 20, socket.height + 8);
    Paste(line, socket, 7, 3);
    EXPECT_EQ(Hits(line, 0, 0, 0, 0, socket, 1, 1, 0), 1);
}

INSTANTIATE_TEST_SUITE_P(, PictureSetMargins, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "SecondScreen" : "BuiltIn";
                         });

}  // namespace
