// Glyph picture generator: draws every Glyph Template a reading step uses and writes it as
// <dir>/<resource id>.bmp (24-bit, the text's colour scaled by coverage on pure black).
//
// Fonts (Debian fonts-nanum, /usr/share/fonts/truetype/nanum/), FreeType 2.12.1, 8-bit grey
// anti-aliasing; a pixel's channel is round(colour channel x coverage / 255):
//   digits, decimal points, tildes: NanumGothicBold.ttf, 12 px, full hinting, strokes widened
//     by 80/64 px and heightened by 1 px, drawn 1/4 px right; 10 rows tall, 9 columns a digit;
//   option captions (blue, white) and the grey attacks-per-second caption end:
//     NanumBarunGothic.ttf, 13 px wide by 10 px high, light hinting, top row of the tallest
//     syllable on row 0;
//   slot captions (grey) and "빈 홈" (blue): NanumGothicBold.ttf, unhinted, strokes widened and
//     heightened by 1/2 px, the largest size whose ink fits the picture;
//   the bullet: a diamond drawn by area coverage, no font.
// Re-run after changing anything here (the output is the same on every run for the same fonts
// and FreeType):  build/tools/glyphgen/glyphgen res/glyphs
// The second and the tight screen's pictures (see `namespace second` below) are test data:
//   build/tools/glyphgen/glyphgen --second-screen tests/data/second_screen
//   build/tools/glyphgen/glyphgen --tight-screen tests/data/tight_screen
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/bmp.h"
#include "base/files.h"
#include "reader/glyph_pack.h"
#include "reader/glyphs.h"
#include "tools/compose/compose.h"
#include "tools/compose/second_screen.h"

namespace {

const char* const kFontDir = "/usr/share/fonts/truetype/nanum/";
constexpr int kLineHeight = 10;      // option lines: bullet, caption and digits share these rows
constexpr int kDigitAdvance = 9;     // every digit picture is one advance wide
constexpr int kPointAdvance = 4;     // a decimal point picture is one advance wide
constexpr int kTildeAdvance = 8;     // the second number of a range starts 8 columns after the tilde
constexpr int kCaptionGap = 3;       // blank columns the grey caption end keeps before its number
constexpr int kPointCoverage = 238;  // a point is never fully covered: white 0xEEEEEE at its brightest

// How much of each pixel the text covers, 0..255.
struct Ink {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> a;
    Ink(int w, int h) : width(w), height(h), a(size_t(w) * size_t(h), 0) {}
    uint8_t Get(int x, int y) const {
        return x < 0 || y < 0 || x >= width || y >= height ? 0 : a[size_t(y) * width + x];
    }
};

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left; }
};

struct Style {
    FT_Face face = nullptr;
    int pixelSize = 0;                     // height of the em square
    int pixelWidth = 0;                    // its width; 0: the same as the height
    FT_Int32 load = FT_LOAD_TARGET_LIGHT;  // hinting
    int boldX = 0;                         // strokes widened by this much, in 1/64 pixel
    int boldY = 0;                         // and made taller by this much
    int shiftX = 0;                        // outline moved right by this much before drawing
};

Box InkBox(const Ink& ink) {
    Box b{ink.width, ink.height, 0, 0};
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x)
            if (ink.Get(x, y)) {
                b.left = std::min(b.left, x), b.right = std::max(b.right, x + 1);
                b.top = std::min(b.top, y), b.bottom = std::max(b.bottom, y + 1);
            }
    if (b.right <= b.left) b = Box{};
    return b;
}

// Draws `text` with its baseline on row `baseline`, the pen starting at column `penX`.
// Overlapping glyphs keep the larger coverage. Returns false when a glyph cannot be drawn.
// `penEnd`, when given, receives where the pen stands after the text.
bool DrawText(Ink& ink, const Style& s, std::u32string_view text, int penX, int baseline,
              int* penEnd = nullptr) {
    if (FT_Set_Pixel_Sizes(s.face, FT_UInt(s.pixelWidth), FT_UInt(s.pixelSize))) return false;
    for (char32_t c : text) {
        FT_UInt index = FT_Get_Char_Index(s.face, FT_ULong(c));
        if (c != U' ' && index == 0) return false;
        if (FT_Load_Glyph(s.face, index, s.load)) return false;
        FT_GlyphSlot g = s.face->glyph;
        if ((s.boldX || s.boldY) && FT_Outline_EmboldenXY(&g->outline, s.boldX, s.boldY)) return false;
        FT_Outline_Translate(&g->outline, s.shiftX, 0);
        if (FT_Render_Glyph(g, FT_RENDER_MODE_NORMAL)) return false;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row)
            for (unsigned col = 0; col < bm.width; ++col) {
                int x = penX + g->bitmap_left + int(col), y = baseline - g->bitmap_top + int(row);
                if (x < 0 || y < 0 || x >= ink.width || y >= ink.height) continue;
                uint8_t& dst = ink.a[size_t(y) * ink.width + x];
                dst = std::max(dst, bm.buffer[row * bm.pitch + col]);
            }
        penX += int((g->advance.x + s.boldX + 32) >> 6);
    }
    if (penEnd) *penEnd = penX;
    return true;
}

// Ink of `text` on a canvas large enough for it, baseline at row 64, pen at column 16.
constexpr int kScratchBaseline = 64, kScratchPen = 16;
// `penEnd`, when given, receives the scratch column where the pen stands after the text.
Ink Scratch(const Style& s, std::u32string_view text, bool& ok, int* penEnd = nullptr) {
    Ink ink(kScratchPen * 2 + s.pixelSize * 2 * int(text.size()), kScratchBaseline * 2);
    ok = DrawText(ink, s, text, kScratchPen, kScratchBaseline, penEnd);
    return ink;
}

// Copies the part of `src` starting at (sx, sy) into a w x h picture at (dx, dy).
Ink Cut(const Ink& src, int sx, int sy, int w, int h, int dx = 0, int dy = 0) {
    Ink out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (x - dx >= 0 && y - dy >= 0) out.a[size_t(y) * w + x] = src.Get(sx + x - dx, sy + y - dy);
    return out;
}

uint8_t Scale(uint32_t channel, uint32_t coverage) {
    return uint8_t((channel * coverage + 127) / 255);
}

PixelBuffer Paint(const Ink& ink, uint32_t colour) {
    PixelBuffer p(ink.width, ink.height);
    for (size_t i = 0; i < ink.a.size(); ++i) {
        uint32_t c = ink.a[i];
        p.pixels[i] =
            RgbValue(Scale(colour & 0xFF, c), Scale((colour >> 8) & 0xFF, c), Scale(colour >> 16, c));
    }
    return p;
}

struct Fonts {
    Style digit;    // digits, points, tildes
    Style caption;  // option captions and the caption end of the weapon line
    Style label;    // slot captions and the empty-socket caption; size chosen per picture
    int captionBaseline = 0;
    int digitBaseline = 0;
};

// Scales the coverage so that its brightest pixel has coverage `peak`, keeping the shape.
void SetPeak(Ink& ink, int peak) {
    int now = *std::max_element(ink.a.begin(), ink.a.end());
    if (now == 0) return;
    for (uint8_t& v : ink.a) v = uint8_t((v * peak + now / 2) / now);
}

int TotalCoverage(const Ink& ink) {
    int sum = 0;
    for (uint8_t v : ink.a) sum += v;
    return sum;
}

// One character of the digit font in a w x h picture on the digit baseline. With `column` < 0
// its ink is centred (an odd spare column goes to the left), else the pen starts at scratch
// column `column`. `peak` 0 keeps the font's own coverage. Fails when ink falls outside.
Ink DigitFontGlyph(const Fonts& f, char32_t c, int w, int h, int column, int peak, bool& ok) {
    Ink s = Scratch(f.digit, std::u32string_view(&c, 1), ok);
    if (peak) SetPeak(s, peak);
    const int top = kScratchBaseline - f.digitBaseline;
    Box b = InkBox(s);
    Ink out = column >= 0 ? Cut(s, column, top, w, h) : Cut(s, b.left, top, w, h, (w - b.Width() + 1) / 2, 0);
    ok = ok && TotalCoverage(out) == TotalCoverage(s);
    return out;
}

// Where the digit cells start on the scratch canvas: the ink of all ten digits drawn at one pen
// position, centred in a cell, so each digit keeps its own place as the font sets it.
int DigitCellColumn(const Fonts& f, int w, bool& ok) {
    Ink all(0, 0);
    for (char32_t c = U'0'; c <= U'9'; ++c) {
        Ink s = Scratch(f.digit, std::u32string_view(&c, 1), ok);
        if (all.a.empty()) all = s;
        for (size_t i = 0; i < all.a.size(); ++i) all.a[i] = std::max(all.a[i], s.a[i]);
    }
    Box b = InkBox(all);
    ok = ok && b.Width() <= w && b.Height() <= kLineHeight;
    return b.left - (w - b.Width() + 1) / 2;
}

// The slim diamond that starts an option line, by area coverage (16 x 16 samples a pixel),
// centred a little right of a pixel edge; the picture is its columns 4 and 5. Off centre, the two
// columns hold different values on every row, and neither has a fully covered pixel, so the
// bullet is found once per line and not on the full-colour strokes of text.
Ink BulletSlice() {
    Ink diamond(kLineHeight, kLineHeight);
    const double cx = 5.125, cy = 5.0, halfWidth = 1.5, halfHeight = 5.25;
    for (int y = 0; y < kLineHeight; ++y)
        for (int x = 0; x < kLineHeight; ++x) {
            int inside = 0;
            for (int sy = 0; sy < 16; ++sy)
                for (int sx = 0; sx < 16; ++sx) {
                    double px = x + (sx + 0.5) / 16, py = y + (sy + 0.5) / 16;
                    inside += std::abs(px - cx) / halfWidth + std::abs(py - cy) / halfHeight <= 1.0;
                }
            diamond.a[size_t(y) * kLineHeight + x] = uint8_t((inside * 255 + 128) / 256);
        }
    return Cut(diamond, 4, 0, 2, kLineHeight);
}

enum class Shape {
    kCaption,     // option caption: the words from their first pixel, the sign just before the number
    kCaptionEnd,  // the last columns of a caption, then kCaptionGap blank columns
    kWhole,       // the whole text, as large as fits, centred
    kRightPart,   // the text as tall as fits, its right-hand columns
    kLeftSlice,   // the text as tall as fits, its left-hand columns
};

struct Content {
    int index;
    Shape shape;
    const char32_t* text;
    int phase = 0;  // slot captions: where the text starts within its first pixel, in 1/64 pixel
    int skip = 0;   // left slice: ink columns left out before it
};

// What each carried caption picture shows. An option caption's words start at its left edge and
// its "+" stands one blank column before the number, so the sign stays with the value however
// long the words are; gem lines (white) repeat the words of the matching options.
const Content kContents[] = {
    {36, Shape::kCaptionEnd, U"초당 공격 횟수"},
    {37, Shape::kCaption, U"초당 공격 횟수"},
    {38, Shape::kCaption, U"방어도"},
    {39, Shape::kCaption, U"공격 속도"},
    {40, Shape::kCaption, U"극대화 확률"},
    {41, Shape::kCaption, U"극대화 피해"},
    {42, Shape::kCaption, U"민첩"},
    {43, Shape::kCaption, U"지능"},
    {44, Shape::kCaption, U"최소 피해"},
    {45, Shape::kCaption, U"최대 피해"},
    {46, Shape::kCaption, U"힘"},
    {47, Shape::kCaption, U"활력"},
    {48, Shape::kCaption, U"피해"},
    {49, Shape::kCaption, U"생명력"},
    {50, Shape::kCaption, U"마법 아이템 발견 확률"},
    {51, Shape::kCaption, U"모든 원소 저항"},
    {52, Shape::kCaption, U"극대화 피해"},
    {53, Shape::kCaption, U"민첩"},
    {54, Shape::kCaption, U"지능"},
    {55, Shape::kCaption, U"힘"},
    {56, Shape::kWhole, U"보조 장비"},
    {57, Shape::kWhole, U"한손 무기"},
    {58, Shape::kWhole, U"양손 무기"},
    {59, Shape::kWhole, U"손목", 32},
    {60, Shape::kRightPart, U"손가락"},
    {61, Shape::kWhole, U"머리", 16},
    {62, Shape::kWhole, U"몸통"},
    {63, Shape::kWhole, U"허리"},
    {64, Shape::kWhole, U"발", 16},
    {65, Shape::kWhole, U"다리"},
    {66, Shape::kWhole, U"어깨"},
    {67, Shape::kWhole, U"목", 32},
    {68, Shape::kLeftSlice, U"손", 48, 3},
    {69, Shape::kCaption, U"무기 공격력"},
    {70, Shape::kCaption, U"비전 무기 공격력"},
    {71, Shape::kCaption, U"냉기 무기 공격력"},
    {72, Shape::kCaption, U"신성 무기 공격력"},
    {73, Shape::kCaption, U"화염 무기 공격력"},
    {74, Shape::kCaption, U"번개 무기 공격력"},
    {75, Shape::kCaption, U"독 무기 공격력"},
    {76, Shape::kCaption, U"비전 피해"},
    {77, Shape::kCaption, U"냉기 피해"},
    {78, Shape::kCaption, U"신성 피해"},
    {79, Shape::kCaption, U"화염 피해"},
    {80, Shape::kCaption, U"번개 피해"},
    {81, Shape::kCaption, U"독 피해"},
    {82, Shape::kCaption, U"적중 시 생명력"},
    {83, Shape::kCaption, U"공격자에게 피해"},
    {84, Shape::kCaption, U"무기 공격력 증가"},
    {85, Shape::kCaption, U"활력"},
    {86, Shape::kCaption, U"마법 아이템 발견 확률"},
    {87, Shape::kCaption, U"생명력"},
    {88, Shape::kWhole, U"빈 홈"},
};

constexpr int kWordsToSign = 3;  // at least this many blank columns between the words and the sign

// Largest size of the label font at which the text's ink is at most w x h (w = 0: any width).
bool FitLabel(Style& s, std::u32string_view text, int w, int h, Ink& scratch, Box& box) {
    for (s.pixelSize = 24; s.pixelSize >= 6; --s.pixelSize) {
        bool ok = false;
        scratch = Scratch(s, text, ok);
        if (!ok) return false;
        box = InkBox(scratch);
        if (box.Height() <= h && (w == 0 || box.Width() <= w)) return true;
    }
    return false;
}

// Copies every inked pixel of `src` from (sx, sy) on into `out` at (dx, dy).
void Stamp(Ink& out, const Ink& src, int sx, int sy, int w, int h, int dx, int dy) {
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t v = src.Get(sx + x, sy + y);
            int ox = dx + x, oy = dy + y;
            if (v && ox >= 0 && oy >= 0 && ox < out.width && oy < out.height)
                out.a[size_t(oy) * out.width + ox] = v;
        }
}

bool DrawCaption(const Fonts& f, const Content& c, int w, int h, Ink& out, std::string& error) {
    bool ok = false, signOk = false;
    Ink words = Scratch(f.caption, c.text, ok);
    Ink sign = Scratch(f.caption, U"+", signOk);
    Box b = InkBox(words), sb = InkBox(sign);
    if (!ok || !signOk || b.Empty()) return error = "cannot draw the caption", false;
    const int top = kScratchBaseline - f.captionBaseline;
    if (b.bottom - top > h || b.top < top) return error = "caption taller than the line", false;
    if (c.shape == Shape::kCaptionEnd) {
        out = Cut(words, b.right - (w - kCaptionGap), top, w, h);
        return true;
    }
    const int signLeft = w - 1 - sb.Width();
    if (b.Width() + kWordsToSign > signLeft)
        return error =
                   "words wider than the picture by " + std::to_string(b.Width() + kWordsToSign - signLeft),
               false;
    out = Cut(words, b.left, top, w, h);
    Stamp(out, sign, sb.left, top, sb.Width(), h, signLeft, 0);
    return true;
}

bool DrawContent(const Fonts& f, const Content& c, Ink& out, std::string& error) {
    const GlyphInfo& info = kGlyphInfo[c.index];
    const int w = info.width, h = info.height;
    if (c.shape == Shape::kCaption || c.shape == Shape::kCaptionEnd)
        return DrawCaption(f, c, w, h, out, error);
    Style label = f.label;
    label.shiftX = c.phase;
    Ink s(0, 0);
    Box b;
    std::u32string_view text(c.text);
    if (!FitLabel(label, text, c.shape == Shape::kWhole ? w : 0, h, s, b))
        return error = "label does not fit", false;
    int dy = (h - b.Height()) / 2;
    if (c.shape == Shape::kWhole) {
        out = Cut(s, b.left, b.top, w, h, (w - b.Width()) / 2, dy);
    } else if (c.shape == Shape::kRightPart) {
        if (b.Width() <= w) return error = "text too narrow for a right part", false;
        out = Cut(s, b.right - w, b.top, w, h, 0, dy);
    } else {
        out = Cut(s, b.left + c.skip, b.top, w, h, 0, dy);
    }
    return true;
}

bool OpenFace(FT_Library lib, const char* file, FT_Face& face) {
    std::string path = std::string(kFontDir) + file;
    if (FT_New_Face(lib, path.c_str(), 0, &face)) {
        std::fprintf(stderr, "glyphgen: cannot open font %s\n", path.c_str());
        return false;
    }
    return true;
}

// How far the highest ink of `text` stands above the baseline, in pixels.
int Ascent(const Style& s, std::u32string_view text) {
    bool ok = false;
    Ink ink = Scratch(s, text, ok);
    Box b = InkBox(ink);
    return b.Empty() ? 0 : kScratchBaseline - b.top;
}

bool Write(const std::string& dir, int index, const PixelBuffer& picture) {
    const GlyphInfo& info = kGlyphInfo[index];
    if (picture.width != info.width || picture.height != info.height) {
        std::fprintf(stderr, "glyphgen: template %d came out %dx%d\n", index, picture.width, picture.height);
        return false;
    }
    std::string path = dir + "/" + std::to_string(info.resourceId) + ".bmp", error;
    if (!WriteFileBytes(path, EncodeBmp24(picture), error)) {
        std::fprintf(stderr, "glyphgen: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// The second screen: the same captions and numbers as another screen shows them, in other faces,
// larger, on another layout. Every picture of an option line (bullet, captions, digits, points,
// tildes, "빈 홈") is one line box tall with the text on one baseline, and as wide as the text
// puts it: a caption runs from its first ink to where the pen leaves it (the value's first digit
// cell), a digit, point or tilde is its own advance wide with its ink where the pen puts it.
//   digits, points, tildes: NanumSquareB.ttf, 20 px, full hinting (the font's digits are
//     tabular); the points' brightest coverage is kPointCoverage, as in the built-in set;
//   option captions ("words +"), the grey caption end of the weapon line and "빈 홈":
//     NanumSquareR.ttf, 15 px, light hinting, strokes widened and heightened by 1/2 px;
//   slot captions (grey): NanumMyeongjoBold.ttf, 15 px, light hinting, cut to their ink;
//   the bullet: a round dot drawn by area coverage, no font.
// The tight screen is drawn the same way in a smaller face whose digits, points and tildes touch
// their neighbours, as small game text does (kTightDesign):
//   digits, points, tildes: NanumGothicBold.ttf, 11 px, full hinting, strokes widened and
//     heightened by 1 px, drawn 1/4 px right; a digit's cell is as wide as the ink of all ten
//     digits laid over one another, a point's and a tilde's as wide as their own ink;
//   option captions: NanumBarunGothic.ttf, 12 px, strokes widened and heightened by 1/2 px;
//   slot captions: NanumSquareRoundB.ttf, 13 px; the bullet a smaller round dot.
// Writes the pictures, layout.txt (the reader's layout) and placement.txt (the composer's).
namespace second {

// What tells one screen from another: its faces and sizes, and where the game puts things.
struct ScreenDesign {
    const char *digitFace, *captionFace, *slotFace;
    int digitSize, captionSize, slotSize;
    int digitBold;        // digit strokes widened and heightened, in 1/64 pixel
    int digitShift;       // digits drawn this far right of the pen, in 1/64 pixel
    int captionBold;      // caption strokes widened and heightened, in 1/64 pixel
    int captionOffset;    // bullet's left column to the caption's
    int damageGap;        // end of the minimum damage to the maximum's first digit cell
    int tildeSearch;      // the widest range caption and its first number fit in this
    int damageRight;      // attacks-per-second caption to the damage line, columns
    int damageUp;         // ... and rows up
    int captionEndInk;    // ink columns the grey caption end keeps of its words
    int sliceWidth;       // the left slice of a slot caption
    int captionToDigit;   // least black columns between a caption's ink and the value's
    int bulletToCaption;  // ... between the bullet's ink and the caption's
    int betweenLines;     // least black rows between the ink of two option lines
    double bulletRadius;  // the round bullet's radius, in pixels
    // Tight: every digit cell is as wide as the ink of all ten digits laid over one another, and a
    // point's and a tilde's as wide as their own ink, so that "99", "0." and "9~" touch, as the
    // game's small text does. Otherwise each cell is the font's own advance and neighbours never
    // touch.
    bool tight;
};

// clang-format off
constexpr ScreenDesign kSecondDesign = {
    .digitFace = "NanumSquareB.ttf", .captionFace = "NanumSquareR.ttf", .slotFace = "NanumMyeongjoBold.ttf",
    .digitSize = 20, .captionSize = 15, .slotSize = 15, .digitBold = 0, .digitShift = 0, .captionBold = 32,
    .captionOffset = 14, .damageGap = 16, .tildeSearch = 300, .damageRight = 24, .damageUp = 26,
    .captionEndInk = 40, .sliceWidth = 9, .captionToDigit = 2, .bulletToCaption = 3, .betweenLines = 3,
    .bulletRadius = 3.45, .tight = false};
// The tight screen: a smaller bold face for the numbers, cells as narrow as their ink.
constexpr ScreenDesign kTightDesign = {
    .digitFace = "NanumGothicBold.ttf", .captionFace = "NanumBarunGothic.ttf", .slotFace = "NanumSquareRoundB.ttf",
    .digitSize = 11, .captionSize = 12, .slotSize = 13, .digitBold = 64, .digitShift = 16, .captionBold = 32,
    .captionOffset = 12, .damageGap = 12, .tildeSearch = 260, .damageRight = 20, .damageUp = 18,
    .captionEndInk = 34, .sliceWidth = 8, .captionToDigit = 2, .bulletToCaption = 3, .betweenLines = 3,
    .bulletRadius = 2.6, .tight = true};
// clang-format on

struct Screen {
    const ScreenDesign* design = nullptr;
    Style digit, caption, slot;
    int baseline = 0;    // the baseline's row in the line box
    int lineHeight = 0;  // rows of the line box
    int digitAdvance = 0, pointAdvance = 0, tildeAdvance = 0;
    int digitBearing = 0;  // fewest black columns before a digit's ink in its cell
    int digitCell = 0;     // tight: where a digit's cell starts, in columns right of its pen
};

// The highest and lowest ink rows of `text` relative to the baseline (negative: above it).
bool InkRows(const Style& s, std::u32string_view text, int& top, int& bottom) {
    bool ok = false;
    Ink ink = Scratch(s, text, ok);
    Box b = InkBox(ink);
    if (!ok || b.Empty()) return false;
    top = b.top - kScratchBaseline, bottom = b.bottom - kScratchBaseline;
    return true;
}

int Advance(const Style& s, char32_t c, bool& ok) {
    int pen = 0;
    Scratch(s, std::u32string_view(&c, 1), ok, &pen);
    return pen - kScratchPen;
}

// One character on the line box, its cell starting `from` columns right of where the pen starts:
// `width` columns. Fails when ink falls outside the cell.
Ink Cell(const Screen& sc, char32_t c, int from, int width, int peak, bool& ok) {
    Ink s = Scratch(sc.digit, std::u32string_view(&c, 1), ok);
    if (peak) SetPeak(s, peak);
    Ink out = Cut(s, kScratchPen + from, kScratchBaseline - sc.baseline, width, sc.lineHeight);
    ok = ok && TotalCoverage(out) == TotalCoverage(s);
    return out;
}

// The round bullet, by area coverage (16 x 16 samples a pixel), a little off the middle of the
// digits' height and of a pixel, so its rows and columns all differ; cut to its ink columns.
Ink Bullet(const Screen& sc, int digitTop) {
    const int w = 10;
    Ink dot(w, sc.lineHeight);
    const double radius = sc.design->bulletRadius, cx = 4.1, cy = sc.baseline + digitTop / 2.0 + 0.3;
    for (int y = 0; y < sc.lineHeight; ++y)
        for (int x = 0; x < w; ++x) {
            int inside = 0;
            for (int sy = 0; sy < 16; ++sy)
                for (int sx = 0; sx < 16; ++sx) {
                    double px = x + (sx + 0.5) / 16 - cx, py = y + (sy + 0.5) / 16 - cy;
                    inside += px * px + py * py <= radius * radius;
                }
            dot.a[size_t(y) * w + x] = uint8_t((inside * 255 + 128) / 256);
        }
    Box b = InkBox(dot);
    return Cut(dot, b.left, 0, b.Width(), sc.lineHeight);
}

// Where the ink of a picture lies, by column: first inked column and one past the last.
Box ColumnsOf(const Ink& ink) {
    return InkBox(ink);
}

// An option caption: its words, a space and the sign, from the first ink to where the pen stops,
// widened when the value's first digit would come closer than captionToDigit black columns.
bool OptionCaption(const Screen& sc, const Content& c, Ink& out, std::string& error) {
    bool ok = false;
    int pen = 0;
    std::u32string text = std::u32string(c.text) + U" +";
    Ink s = Scratch(sc.caption, text, ok, &pen);
    Box b = InkBox(s);
    if (!ok || b.Empty()) return error = "cannot draw the caption", false;
    const int width = std::max(pen - b.left, b.right - b.left + sc.design->captionToDigit - sc.digitBearing);
    out = Cut(s, b.left, kScratchBaseline - sc.baseline, width, sc.lineHeight);
    if (TotalCoverage(out) != TotalCoverage(s)) return error = "caption taller than the line", false;
    return true;
}

// The end of the grey weapon caption: its last captionEndInk ink columns, then the space the
// pen leaves before the number (at least captionToDigit black columns to the first digit's ink).
bool CaptionEnd(const Screen& sc, const Content& c, Ink& out, std::string& error) {
    bool ok = false;
    int pen = 0;
    std::u32string text = std::u32string(c.text) + U" ";
    Ink s = Scratch(sc.caption, text, ok, &pen);
    Box b = InkBox(s);
    const int endInk = sc.design->captionEndInk;
    if (!ok || b.Width() <= endInk) return error = "cannot draw the caption end", false;
    const int left = b.right - endInk;
    const int width = std::max(pen - left, endInk + sc.design->captionToDigit - sc.digitBearing);
    out = Cut(s, left, kScratchBaseline - sc.baseline, width, sc.lineHeight);
    return true;
}

// "빈 홈" on the line box, cut to its ink columns.
bool SocketCaption(const Screen& sc, const Content& c, Ink& out, std::string& error) {
    bool ok = false;
    Ink s = Scratch(sc.caption, c.text, ok);
    Box b = InkBox(s);
    if (!ok || b.Empty()) return error = "cannot draw the socket caption", false;
    out = Cut(s, b.left, kScratchBaseline - sc.baseline, b.Width(), sc.lineHeight);
    if (TotalCoverage(out) != TotalCoverage(s)) return error = "socket caption taller than the line", false;
    return true;
}

// A slot caption cut to its ink rows: whole, the part after its first syllable, or a slice of
// sliceWidth columns after `skip` ink columns.
bool SlotCaption(const Screen& sc, const Content& c, Ink& out, std::string& error) {
    bool ok = false;
    std::u32string_view text(c.text);
    Ink s = Scratch(sc.slot, text, ok);
    Box b = InkBox(s);
    if (!ok || b.Empty()) return error = "cannot draw the slot caption", false;
    if (c.shape == Shape::kWhole) {
        out = Cut(s, b.left, b.top, b.Width(), b.Height());
    } else if (c.shape == Shape::kRightPart) {
        bool restOk = false;
        Ink rest(s.width, s.height);
        const int pen = kScratchPen + Advance(sc.slot, text[0], restOk);
        restOk = restOk && DrawText(rest, sc.slot, text.substr(1), pen, kScratchBaseline);
        Box r = InkBox(rest);
        if (!restOk || r.Empty()) return error = "text too short for a right part", false;
        out = Cut(s, r.left, b.top, b.right - r.left, b.Height());
    } else {
        const int slice = sc.design->sliceWidth;
        if (b.Width() < c.skip + slice) return error = "text too narrow for the slice", false;
        out = Cut(s, b.left + c.skip, b.top, slice, b.Height());
    }
    return true;
}

bool WritePicture(const std::string& dir, int index, const PixelBuffer& picture) {
    std::string path = dir + "/" + std::to_string(kGlyphInfo[index].resourceId) + ".bmp", error;
    if (!WriteFileBytes(path, EncodeBmp24(picture), error)) {
        std::fprintf(stderr, "glyphgen: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool WriteText(const std::string& path, const std::string& text) {
    std::string error;
    if (!WriteFileBytes(path, std::vector<uint8_t>(text.begin(), text.end()), error)) {
        std::fprintf(stderr, "glyphgen: %s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

bool Complain(const std::string& what) {
    std::fprintf(stderr, "glyphgen: second screen: %s\n", what.c_str());
    return false;
}

// The ink columns of `text` relative to the pen: the first inked and one past the last.
Box PenColumns(const Style& s, std::u32string_view text, bool& ok) {
    Box b = InkBox(Scratch(s, text, ok));
    b.left -= kScratchPen, b.right -= kScratchPen;
    return b;
}

bool Generate(FT_Library lib, const std::string& dir, const ScreenDesign& design) {
    std::error_code ec;
    std::filesystem::create_directories(PathFromUtf8(dir), ec);
    if (ec) return Complain(dir + ": " + ec.message());
    FT_Face digitFace, captionFace, slotFace;
    if (!OpenFace(lib, design.digitFace, digitFace) || !OpenFace(lib, design.captionFace, captionFace) ||
        !OpenFace(lib, design.slotFace, slotFace))
        return false;
    Screen sc;
    sc.design = &design;
    sc.digit = Style{digitFace,        design.digitSize, 0, FT_LOAD_TARGET_NORMAL, design.digitBold,
                     design.digitBold, design.digitShift};
    sc.caption = Style{captionFace,          design.captionSize, 0,
                       FT_LOAD_TARGET_LIGHT, design.captionBold, design.captionBold};
    sc.slot = Style{slotFace, design.slotSize, 0, FT_LOAD_TARGET_LIGHT};

    // The line box: from the highest ink of any option line's text to the lowest.
    std::u32string captions = U"+빈 홈";
    for (const Content& c : kContents)
        if (c.shape == Shape::kCaption || c.shape == Shape::kCaptionEnd) captions += c.text;
    int digitTop = 0, digitBottom = 0, captionTop = 0, captionBottom = 0;
    if (!InkRows(sc.digit, U"0123456789.~", digitTop, digitBottom) ||
        !InkRows(sc.caption, captions, captionTop, captionBottom))
        return Complain("cannot draw the line's text");
    sc.baseline = -std::min(digitTop, captionTop);
    sc.lineHeight = sc.baseline + std::max(digitBottom, captionBottom);

    bool ok = true;
    int pointFrom = 0, tildeFrom = 0;
    if (design.tight) {
        Box all = PenColumns(sc.digit, U"0", ok);
        for (char32_t d = U'1'; d <= U'9'; ++d) {
            const Box b = PenColumns(sc.digit, std::u32string_view(&d, 1), ok);

            all.left = std::min(all.left, b.left), all.right = std::max(all.right, b.right);
        }
        const Box point = PenColumns(sc.digit, U".", ok), tilde = PenColumns(sc.digit, U"~", ok);
        sc.digitCell = all.left, sc.digitAdvance = all.Width();
        pointFrom = point.left, sc.pointAdvance = point.Width();
        tildeFrom = tilde.left, sc.tildeAdvance = tilde.Width();
    } else {
        // Tabular digits: every digit one advance.
        sc.digitAdvance = Advance(sc.digit, U'0', ok);
        for (char32_t d = U'1'; d <= U'9'; ++d)
            if (Advance(sc.digit, d, ok) != sc.digitAdvance) return Complain("the digits are not tabular");
        sc.pointAdvance = Advance(sc.digit, U'.', ok);
        sc.tildeAdvance = Advance(sc.digit, U'~', ok);
    }
    if (!ok) return Complain("cannot draw the digits");

    Ink digits[10] = {Ink(0, 0), Ink(0, 0), Ink(0, 0), Ink(0, 0), Ink(0, 0),
                      Ink(0, 0), Ink(0, 0), Ink(0, 0), Ink(0, 0), Ink(0, 0)};
    sc.digitBearing = sc.digitAdvance;
    for (int d = 0; d < 10; ++d) {
        digits[d] = Cell(sc, char32_t(U'0' + d), sc.digitCell, sc.digitAdvance, 0, ok);
        if (!ok) return Complain("digit " + std::to_string(d) + " does not fit its cell");
        sc.digitBearing = std::min(sc.digitBearing, ColumnsOf(digits[d]).left);
    }
    Ink point = Cell(sc, U'.', pointFrom, sc.pointAdvance, kPointCoverage, ok);
    Ink tilde = Cell(sc, U'~', tildeFrom, sc.tildeAdvance, 0, ok);
    if (!ok) return Complain("the point or the tilde does not fit its cell");

    // Neighbours in a number: on a tight screen these touch (no black column between their inks),
    // on the other they never do.
    struct Piece {
        const Ink* ink;
        std::string name;
    };
    std::vector<Piece> before, after;
    for (int d = 0; d < 10; ++d) {
        before.push_back({&digits[d], std::to_string(d)});
        after.push_back({&digits[d], std::to_string(d)});
    }
    before.push_back({&point, "."}), before.push_back({&tilde, "~"});
    after.push_back({&point, "."}), after.push_back({&tilde, "~"});
    for (const Piece& a : before)
        for (const Piece& b : after) {
            if ((a.name == "." || a.name == "~") && (b.name == "." || b.name == "~")) continue;
            const int gap = a.ink->width - ColumnsOf(*a.ink).right + ColumnsOf(*b.ink).left;
            const std::string pair = a.name + b.name;
            if (design.tight && gap > 0 && (pair == "99" || pair == "0." || pair == "9~"))
                return Complain("\"" + pair + "\" do not touch");
            if (!design.tight && gap < 1) return Complain("\"" + pair + "\" touch");
        }

    GlyphLayout layout;
    layout.captionOffset = design.captionOffset;
    layout.digitAdvance = sc.digitAdvance;
    layout.pointAdvance = sc.pointAdvance;
    layout.damageGap = design.damageGap;
    layout.tildeSearch = design.tildeSearch;
    layout.damageRight = design.damageRight;
    layout.damageUp = design.damageUp;

    Ink bullet = Bullet(sc, digitTop);
    if (design.captionOffset - ColumnsOf(bullet).right < design.bulletToCaption)
        return Complain("the bullet comes too close to the caption");

    ok = WritePicture(dir, kGlyphBullet, Paint(bullet, kBlue));
    for (int set = 0; set < 2; ++set) {
        const uint32_t colour = set ? kWhite : kBlue;
        const int first = set ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
        for (int d = 0; d < 10; ++d) ok = WritePicture(dir, first + d, Paint(digits[d], colour)) && ok;
        ok = WritePicture(dir, set ? kGlyphWhitePoint : kGlyphBluePoint, Paint(point, colour)) && ok;
        ok = WritePicture(dir, set ? kGlyphWhiteTilde : kGlyphBlueTilde, Paint(tilde, colour)) && ok;
    }
    int slotHeight = 0;
    for (const Content& c : kContents) {
        Ink ink(0, 0);
        std::string error;
        bool drawn = c.index == kGlyphEmptySocket    ? SocketCaption(sc, c, ink, error)
                     : c.shape == Shape::kCaption    ? OptionCaption(sc, c, ink, error)
                     : c.shape == Shape::kCaptionEnd ? CaptionEnd(sc, c, ink, error)
                                                     : SlotCaption(sc, c, ink, error);
        if (!drawn) {
            Complain("template " + std::to_string(c.index) + ": " + error);
            ok = false;
            continue;
        }
        if (c.shape != Shape::kCaption && c.shape != Shape::kCaptionEnd && c.index != kGlyphEmptySocket)
            slotHeight = std::max(slotHeight, ink.height);
        ok = WritePicture(dir, c.index, Paint(ink, kGlyphInfo[c.index].colour)) && ok;
    }

    // Where the composer puts things: below the slot caption, the weapon block (damage line, then
    // its caption damageUp rows lower) and the option lines, each line betweenLines black rows
    // and more from the next.
    ComposePlacement place;
    place.lineHeight = sc.lineHeight;
    place.linePitch = sc.lineHeight + design.betweenLines + 3;
    place.left = 20;
    place.slotRight = 22;
    place.slotTop = 14;
    place.edgeClear = 6;
    place.firstLine = place.slotTop + slotHeight + 26;
    place.damageTop = place.slotTop + slotHeight + 16;
    place.firstLineWeapon = place.damageTop + design.damageUp + 1 + sc.lineHeight + 24;
    place.tildeAdvance = sc.tildeAdvance;
    place.tailWidth = 12;
    place.textPiece = sc.digitAdvance;
    place.textPitch = place.linePitch;
    place.separatorRow = sc.baseline + (digitTop + digitBottom) / 2;
    place.separatorInset = 4;

    ok = WriteText(dir + "/" + kPackLayoutFile, FormatGlyphLayout(layout)) && ok;
    ok = WriteText(dir + "/" + kPlacementFile, FormatComposePlacement(place)) && ok;
    FT_Done_Face(digitFace);
    FT_Done_Face(captionFace);
    FT_Done_Face(slotFace);
    return ok;
}

}  // namespace second

}  // namespace

int main(int argc, char** argv) {
    const std::string_view option = argc == 3 ? argv[1] : "";
    const bool secondScreen = option == "--second-screen", tightScreen = option == "--tight-screen";
    if (argc != 2 && !secondScreen && !tightScreen) {
        std::fprintf(stderr,
                     "usage: glyphgen <output directory>\n"
                     "       glyphgen --second-screen|--tight-screen <output directory>\n");
        return 2;
    }
    const std::string dir = argv[argc - 1];
    FT_Library lib;
    if (FT_Init_FreeType(&lib)) return 1;
    if (secondScreen || tightScreen) {
        const bool ok =
            second::Generate(lib, dir, secondScreen ? second::kSecondDesign : second::kTightDesign);
        FT_Done_FreeType(lib);
        return ok ? 0 : 1;
    }
    Fonts f;
    FT_Face gothicBold, barunGothic;
    if (!OpenFace(lib, "NanumGothicBold.ttf", gothicBold) ||
        !OpenFace(lib, "NanumBarunGothic.ttf", barunGothic))
        return 1;
    f.digit = Style{gothicBold, 12, 0, FT_LOAD_TARGET_NORMAL, 80, 64, 16};
    f.caption = Style{barunGothic, 10, 13, FT_LOAD_TARGET_LIGHT, 0};
    f.label = Style{gothicBold, 0, 0, FT_LOAD_NO_HINTING, 32, 32};
    f.digitBaseline = Ascent(f.digit, U"0123456789");
    std::u32string all;
    for (const Content& c : kContents)
        if (c.shape == Shape::kCaption || c.shape == Shape::kCaptionEnd) all += c.text;
    f.captionBaseline = Ascent(f.caption, all);

    bool cellOk = true;
    const int cell = DigitCellColumn(f, kDigitAdvance, cellOk);
    if (!cellOk) std::fprintf(stderr, "glyphgen: the digits do not fit their cells\n");
    bool ok = cellOk && Write(dir, kGlyphBullet, Paint(BulletSlice(), kBlue));
    for (int set = 0; set < 2; ++set) {
        uint32_t colour = set ? kWhite : kBlue;
        int first = set ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
        bool drawn = true;
        for (int d = 0; d < 10; ++d) {
            Ink digit = DigitFontGlyph(f, char32_t(U'0' + d), kDigitAdvance, kLineHeight, cell, 0, drawn);
            ok = drawn && Write(dir, first + d, Paint(digit, colour)) && ok;
            if (!drawn) std::fprintf(stderr, "glyphgen: digit %d does not fit its picture\n", d);
        }
        Ink point = DigitFontGlyph(f, U'.', kPointAdvance, kLineHeight + 1, -1, kPointCoverage, drawn);
        ok = drawn && Write(dir, set ? kGlyphWhitePoint : kGlyphBluePoint, Paint(point, colour)) && ok;
        if (!drawn) std::fprintf(stderr, "glyphgen: the point does not fit its picture\n");
        Ink tilde = DigitFontGlyph(f, U'~', kTildeAdvance, kLineHeight, -1, 0, drawn);
        ok = drawn && Write(dir, set ? kGlyphWhiteTilde : kGlyphBlueTilde, Paint(tilde, colour)) && ok;
        if (!drawn) std::fprintf(stderr, "glyphgen: the tilde does not fit its picture\n");
    }
    for (const Content& c : kContents) {
        Ink ink(0, 0);
        std::string error;
        if (!DrawContent(f, c, ink, error)) {
            std::fprintf(stderr, "glyphgen: template %d: %s\n", c.index, error.c_str());
            ok = false;
            continue;
        }
        ok = Write(dir, c.index, Paint(ink, kGlyphInfo[c.index].colour)) && ok;
    }
    FT_Done_Face(gothicBold);
    FT_Done_Face(barunGothic);
    FT_Done_FreeType(lib);
    return ok ? 0 : 1;
}
