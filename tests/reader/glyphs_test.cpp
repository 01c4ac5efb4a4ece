// The glyph picture set as the reader sees it: every template must stand out from black and from
// the pictures it can meet, at the sampling steps and default tolerances the reading uses, with
// room to spare. Each check reports its worst case.
#include "reader/glyphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/catalogue.h"
#include "reader/matcher.h"
#include "tests/support/glyph_margins.h"

namespace {

constexpr int kKindTolerance = 10;   // item kind: step 2
constexpr int kOptionTolerance = 5;  // captions: step 3
constexpr int kValueTolerance = 8;   // digits: step 1
constexpr int kTildeTolerance = 5;   // the range tilde: step 1
constexpr int kKindStep = 2, kCaptionStep = 3, kBulletStep = 3;
constexpr int kFirstKind = 56, kLastKind = 68;
constexpr int kWeaponCaption = 36;

const PixelBuffer& Glyph(int index) {
    static const bool loaded = [] {
        std::string error;
        return LoadGlyphTemplates(error);
    }();
    static const PixelBuffer kNone;
    return loaded ? GlyphTemplate(index) : kNone;
}

// A number as the game lays it out: digits 9 apart, a point taking 4 columns, the number after a
// tilde 8 columns on. Returns the column after the last glyph.
int DrawNumber(PixelBuffer& canvas, int x, int y, const std::string& text, bool white) {
    for (char c : text) {
        int index = c == '.'   ? (white ? kGlyphWhitePoint : kGlyphBluePoint)
                    : c == '~' ? (white ? kGlyphWhiteTilde : kGlyphBlueTilde)
                               : Digit(c - '0', white);
        Paste(canvas, Glyph(index), x, y);
        x += c == '.' ? 4 : c == '~' ? 8 : 9;
    }
    return x;
}

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

// An option line on black: bullet at (x, y), caption 11 columns on, then `number`.
PixelBuffer OptionLine(int caption, const std::string& number, int x = 4, int y = 3) {
    PixelBuffer line(x + 11 + Glyph(caption).width + 80, y + 14);
    Paste(line, Glyph(kGlyphBullet), x, y);
    Paste(line, Glyph(caption), x + 11, y);
    DrawNumber(line, x + 11 + Glyph(caption).width, y, number, IsWhite(caption));
    return line;
}

TEST(GlyphSet, EveryPictureIsItsColourScaledByCoverageOnBlack) {
    std::string error;
    ASSERT_TRUE(LoadGlyphTemplates(error)) << error;
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
    // Read by its pure white pixels, the white point has none and so always matches.
    const std::vector<uint32_t>& point = Glyph(kGlyphWhitePoint).pixels;
    EXPECT_EQ(*std::max_element(point.begin(), point.end()), 0xEEEEEEu);
}

// Kind captions that hold a later kind's caption inside them: the earlier kind is tried first.
bool HoldsLaterKind(int outer, int inner) {
    return (outer == 59 && (inner == 67 || inner == 68)) || (outer == 60 && inner == 68);
}

TEST(GlyphSet, KindCaptionsStandOutFromBlackAndFromOneAnother) {
    Worst ink, apart;
    std::vector<std::string> matched;
    for (int i = kFirstKind; i <= kLastKind; ++i) {
        ink.Take(Ink(Glyph(i), kKindStep), std::to_string(i));
        for (int j = kFirstKind; j <= kLastKind; ++j) {
            if (i == j || HoldsLaterKind(i, j)) continue;
            const PixelBuffer &outer = Glyph(i), &tmpl = Glyph(j);
            // Caption i alone on black, with room for template j to overlap it from any side.
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
}

TEST(GlyphSet, DigitsDifferFromBlankAndFromEachOther) {
    for (bool white : {false, true}) {
        Worst ink, apart;
        for (int a = 0; a < 10; ++a) {
            ink.Take(Ink(Glyph(Digit(a, white)), 1), std::to_string(a));
            for (int b = 0; b < 10; ++b) {
                PixelBuffer canvas(9, 10);
                Paste(canvas, Glyph(Digit(b, white)), 0, 0);
                if (a != b)
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

// The weapon's damage line is read by pure white pixels alone (tolerance 1), searching two rows
// for its first digit; after a whole number the reader looks 4 columns on for a fraction, where
// the next number's first digit begins 4 columns further (a non-white dash between them).
TEST(GlyphSet, WhiteDigitsDifferInTheirPureWhitePixels) {
    Worst blank, apart, self, dash;
    for (int a = 0; a < 10; ++a) {
        const PixelBuffer& ta = Glyph(Digit(a, true));
        blank.Take(Ink(ta, 1, 2), std::to_string(a));
        for (int b = 0; b < 10; ++b) {
            PixelBuffer canvas(20, 14);
            Paste(canvas, Glyph(Digit(b, true)), 4, 2);
            for (int shift = -1; shift <= 1; ++shift) {
                int n = Mismatches(canvas, 4, 2 + shift, ta, 1, 2);
                std::string at =
                    std::to_string(a) + " on " + std::to_string(b) + " rows off " + std::to_string(shift);
                if (a != b)
                    apart.Take(n, at);
                else if (shift != 0)
                    self.Take(n, at);
            }
            dash.Take(Mismatches(canvas, 0, 2, ta, 1, 2),
                      std::to_string(a) + " 4 columns before " + std::to_string(b));
        }
    }
    EXPECT_GE(blank.value, 4) << "fewest pure white pixels: " << blank;
    EXPECT_GE(apart.value, 3) << "closest pair: " << apart;
    EXPECT_GE(self.value, 2) << "a digit one row off itself: " << self;
    EXPECT_GE(dash.value, 3) << "closest: " << dash;
}

TEST(GlyphSet, OptionCaptionsAreToldApartWhereTheyStand) {
    const std::vector<int> captions = OptionCaptions();
    const char* numbers[] = {"12", "345", "9.5", "1~2", "80"};
    Worst ink, apart;
    for (int t : captions) {
        ink.Take(Ink(Glyph(t), kCaptionStep), std::to_string(t));
        for (int other : captions)
            for (const char* number : numbers) {
                if (other == t) continue;
                PixelBuffer line = OptionLine(other, number);
                apart.Take(Mismatches(line, 4 + 11, 3, Glyph(t), kCaptionStep, 0),
                           std::to_string(t) + " on " + std::to_string(other) + " " + number);
            }
    }
    // Twice the tolerance. Descriptor rows 1 and 16 share one picture, so they never meet here.
    EXPECT_GE(ink.value, 2 * kOptionTolerance) << "fewest inked samples: " << ink;
    EXPECT_GE(apart.value, 2 * kOptionTolerance) << "closest pair: " << apart;
    // The weapon base caption is searched over the left half of the tooltip, blank or not.
    EXPECT_GE(Ink(Glyph(kWeaponCaption), kCaptionStep), 2 * kOptionTolerance);
}

TEST(GlyphSet, BulletIsFoundOncePerLineAndNowhereElse) {
    const PixelBuffer& bullet = Glyph(kGlyphBullet);
    int inked = 0;
    for (int row : {0, 3, 6, 9}) inked += PixelAt(bullet, 0, row) != 0;
    EXPECT_GE(inked, 2) << "a blank stretch would pass for a bullet";
    std::vector<std::string> wrong;
    for (int caption : OptionCaptions())
        for (const char* number : {"12", "9.5", "1~2"}) {
            PixelBuffer line = OptionLine(caption, number);
            HitPos hits[kHitListSize];
            int n = MatchTemplate(line, 0, 0, 0, 0, bullet, hits, 1, kBulletStep, 1, 0);
            if (n != 1 || hits[0].x != 4 || hits[0].y != 3)
                wrong.push_back(std::to_string(caption) + " " + number + ": " + std::to_string(n) + " hits");
        }
    EXPECT_TRUE(wrong.empty()) << ::testing::PrintToString(wrong);
}

TEST(GlyphSet, TildesStandOutFromCaptionsAndDigits) {
    for (bool white : {false, true}) {
        const PixelBuffer& tilde = Glyph(white ? kGlyphWhiteTilde : kGlyphBlueTilde);
        Worst apart;
        // The search slides along the line's top row from the caption's first column.
        auto scan = [&](const PixelBuffer& line, int from, int to, const std::string& what) {
            for (int x = from; x < to; ++x)
                apart.Take(Mismatches(line, x, 3, tilde, 1, 0), what + " at " + std::to_string(x));
        };
        for (int c : OptionCaptions())
            if (IsWhite(c) == white)
                scan(OptionLine(c, ""), 4 + 11, 4 + 11 + Glyph(c).width, "caption " + std::to_string(c));
        for (int a = 0; a < 10; ++a)
            for (int b = 0; b < 10; ++b)
                for (std::string number :
                     {std::to_string(a) + std::to_string(b), std::to_string(a) + "." + std::to_string(b)}) {
                    PixelBuffer line(40, 16);
                    DrawNumber(line, 0, 3, number, white);
                    scan(line, 0, 18, number);
                }
        EXPECT_GE(Ink(tilde, 1), 2 * kTildeTolerance) << (white ? "white" : "blue");
        EXPECT_GE(apart.value, 2 * kTildeTolerance) << (white ? "white" : "blue") << " closest: " << apart;
    }
}

TEST(GlyphSet, EmptySocketCaptionIsFoundOnlyOnItsOwn) {
    const PixelBuffer& socket = Glyph(kGlyphEmptySocket);
    EXPECT_GT(Ink(socket, 1), 20);
    for (int caption : OptionCaptions()) {
        PixelBuffer line = OptionLine(caption, "12");
        EXPECT_EQ(Hits(line, 0, 0, 0, 0, socket, 1, 1, 0), 0) << "inside caption " << caption;
    }
    PixelBuffer line(60, 20);
    Paste(line, socket, 7, 3);
    EXPECT_EQ(Hits(line, 0, 0, 0, 0, socket, 1, 1, 0), 1);
}

}  // namespace
