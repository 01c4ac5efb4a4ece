// The number reader: digits of both colours, decimal points, the white-only mode with its one-row
// search and end position, labels, trailing text and the value tolerance.
#include <gtest/gtest.h>

#include <cstdint>

#include "reader/glyphs.h"
#include "reader/parser.h"
#include "tests/support/parser_scenes.h"

using namespace scenes;

namespace {

class ReadNumberTest : public ReaderTest {
protected:
    PixelBuffer image{200, 60};
};

TEST_F(ReadNumberTest, WhiteDecimalAfterItsLabel) {
    const PixelBuffer& label = GlyphTemplate(36);  // the attacks-per-second caption
    DrawGlyph(image, 20, 30, 36);
    DrawNumber(image, 20 + label.width, 30, "1.40", true);
    EXPECT_EQ(ReadNumber(image, 20, 30, &label, true, 0, 0, nullptr), 1.4f);
    // Without the label the reader starts on the caption and finds no digit there.
    EXPECT_EQ(ReadNumber(image, 20, 30, nullptr, true, 0, 0, nullptr), 0);
    // Blue digits are not white ones.
    EXPECT_EQ(ReadNumber(image, 20, 30, &label, false, 0, 0, nullptr), 0);
}

TEST_F(ReadNumberTest, EveryDigitOfBothColoursInExactMode) {
    for (bool white : {false, true})
        for (const char* number : {"1234", "5678", "90", "7.25", "0.5", "3"}) {
            PixelBuffer img(120, 30);
            DrawNumber(img, 10, 10, number, white);
            EXPECT_EQ(ReadNumber(img, 10, 10, nullptr, white, 0, 0, nullptr), std::stof(number))
                << number << (white ? " white" : " blue");
        }
}

TEST_F(ReadNumberTest, WhiteOnlyModeReportsWhereReadingStopped) {
    // "12" whose first digit starts at the given position: the end lies 18 pixels right of it.
    DrawNumber(image, 60, 40, "12", true);
    HitPos end;
    EXPECT_EQ(ReadNumber(image, 60, 40, nullptr, true, 2, 1, &end), 12);
    EXPECT_EQ(end.x, 78);
    EXPECT_EQ(end.y, 40);
}

TEST_F(ReadNumberTest, WhiteOnlyModeLooksOneRowHigherToo) {
    DrawNumber(image, 60, 39, "405", true);
    HitPos end;
    EXPECT_EQ(ReadNumber(image, 60, 40, nullptr, true, 2, 1, &end), 405);
    EXPECT_EQ(end.x, 60 + 27);
    EXPECT_EQ(end.y, 39);
    // Two rows higher is out of reach; nothing is read and the end stays at the start, one row up.
    PixelBuffer img(200, 60);
    DrawNumber(img, 60, 38, "405", true);
    EXPECT_EQ(ReadNumber(img, 60, 40, nullptr, true, 2, 1, &end), 0);
    EXPECT_EQ(end.x, 60);
    EXPECT_EQ(end.y, 39);
}

TEST_F(ReadNumberTest, WhiteOnlyModeFractionKeepsThePointAdvance) {
    DrawNumber(image, 30, 20, "12.5", true);
    HitPos end;
    EXPECT_EQ(ReadNumber(image, 30, 20, nullptr, true, 2, 1, &end), 12.5f);
    EXPECT_EQ(end.x, 30 + 9 + 9 + 4 + 9);
}

TEST_F(ReadNumberTest, EveryWhiteDigitInWhiteOnlyMode) {
    for (int d = 0; d <= 9; ++d) {
        std::string number = std::to_string(d) + std::to_string(9 - d) + std::to_string(d);
        PixelBuffer img(120, 30);
        DrawNumber(img, 10, 10, number, true);
        HitPos end;
        EXPECT_EQ(ReadNumber(img, 10, 10, nullptr, true, 2, 1, &end), std::stof(number)) << number;
        EXPECT_EQ(end.x, 10 + 27) << number;
    }
}

TEST_F(ReadNumberTest, TrailingTextEndsTheNumber) {
    TooltipScene s;
    s.kind = 6;
    s.lines = {OptionLine(7, "82")};
    s.lines[0].tailWidth = 8;
    PixelBuffer t = Tooltip(s);
    const PixelBuffer& caption = GlyphTemplate(43);
    EXPECT_EQ(ReadNumber(t, 16 + 11, 44, &caption, false, 0, 0, nullptr), 82);
}

TEST_F(ReadNumberTest, ZeroToleranceMeansTheValueTolerance) {
    DrawNumber(image, 10, 10, "8", false);
    // Three ink pixels of the digit turned black: read within the value tolerance of 8 ...
    int changed = 0;
    for (int i = 0; i < 9 * 10 && changed < 3; ++i) {
        uint32_t& p = image.pixels[size_t(10 + i / 9) * image.width + 10 + i % 9];
        if (p) p = 0, ++changed;
    }
    EXPECT_EQ(ReadNumber(image, 10, 10, nullptr, false, 0, 0, nullptr), 8);
    // ... but not within 2, whether set in the settings or passed by the caller.
    gSettings.errorLimit[2] = 2;
    EXPECT_EQ(ReadNumber(image, 10, 10, nullptr, false, 0, 0, nullptr), 0);
    EXPECT_EQ(ReadNumber(image, 10, 10, nullptr, false, 0, 3, nullptr), 8);
}

TEST_F(ReadNumberTest, NumbersCutByTheImageEdgeAreReadSafely) {
    // The third digit starts at the right edge: no candidate lies there, so two digits are read.
    PixelBuffer img(40, 30);
    DrawNumber(img, 22, 8, "777", true);
    for (int mode : {0, 2}) {
        HitPos end;
        EXPECT_EQ(ReadNumber(img, 22, 8, nullptr, true, mode, 1, &end), 77) << mode;
        // No point can be tried past the edge, so the integer's end is taken 4 pixels back.
        EXPECT_EQ(end.x, 22 + 18 - 4) << mode;
    }
    // Digits whose lower rows fall off the bottom: reads below it see black, never past the data.
    PixelBuffer low(60, 14);
    DrawNumber(low, 10, 8, "777", true);
    for (int mode : {0, 2}) EXPECT_LE(ReadNumber(low, 10, 8, nullptr, true, mode, 1, nullptr), 777);
    EXPECT_EQ(ReadNumber(img, 1000, 1000, nullptr, true, 2, 1, nullptr), 0);
    EXPECT_EQ(ReadNumber(img, -1000, -1000, nullptr, false, 0, 0, nullptr), 0);
}

}  // namespace

// Reading is bounded by the picture whatever a layout says: an advance that goes nowhere or back,
// or a digit that matches empty black, still reads at most one digit per column.
TEST_F(ReadNumberTest, AnyLayoutEndsWithinThePicture) {
    DrawNumber(image, 20, 30, "777", false);
    for (int advance : {0, -9, INT32_MIN, INT32_MAX}) {
        GlyphPack pack = BuiltInPack();
        pack.layout.digitAdvance = advance;
        pack.layout.pointAdvance = advance;
        pack.templates[kGlyphBlueDigit0 + 1] = PixelBuffer(9, 10);  // blank: a "1" everywhere
        ParseTrace trace;
        HitPos end;
        const float v = ReadNumber(image, 20, 30, nullptr, false, 0, 0, &end, pack, &trace);
        EXPECT_LE(trace.marks.size(), size_t(image.width)) << advance;
        EXPECT_GT(v, 0) << advance;
        EXPECT_LE(end.x, image.width + 9) << advance;
    }
}
