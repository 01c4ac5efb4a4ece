// The tooltip composer: draws a game-like item tooltip from the glyph pictures, at the layout the
// reader expects, on a desktop-like screen. Used by the tests, the benchmarks and the samples.
//
// A scene is described by a small text, one directive per line ('#' starts a comment; positions
// are in pixels, tooltip positions relative to the tooltip's top-left corner; NUMBER is digits with
// an optional fraction, e.g. 82, 1.40, 6.5):
//
//   screen W H               screen size (default 1920 1080)
//   seed N                   background random seed (default 1)
//   noise PERCENT            share of background pixels speckled with noise, 0..100 (default 3)
//   decoys N                 small pure black boxes the locator must pass over (default 3)
//   tooltip X Y W H          the tooltip's black body on the screen, at least 301 x 201
//   tooltip none             a screen without a tooltip (the desktop and its decoys only)
//   kind K                   the slot caption of item kind K (0..12) in the upper-right quarter
//   weapon APS MIN MAX [R]   attacks-per-second caption with APS after it, and the damage range
//                            MIN - MAX in white, R = 19 or 20 rows above the caption (default 19)
//   line ROW NUMBER [%]      option line of descriptor row ROW: bullet, caption, value (white
//                            digits for the gem rows, blue otherwise); "%" adds a made-up
//                            percent sign right after the value
//   line ROW MIN MAX [%]     a range line: MIN, tilde, MAX
//   gem ROW NUMBER [%]       a gem line (ROW must be one of the socketed-gem rows 30..39)
//   empty_socket             the caption "빈 홈"
//   raw WIDTH NUMBER [white] [%]  a line no descriptor row knows: bullet, WIDTH pixels of
//                            made-up caption text, value
//   bullet                   a bullet alone
//   text X Y W H RRGGBB      made-up text of that size and colour (item name, flavour text)
//   at X Y                   the next line starts (its bullet's top-left) at X, Y
//
// Lines are stacked from the top in the order given, one line pitch apart; `at` moves the cursor.
//
// Scenes made in code may draw with another glyph pack (another screen's pictures and layout) and
// a placement to match; by default they use the built-in pictures at the built-in placement.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/pixels.h"

struct GlyphPack;

// Where the composer puts what the reader finds by searching, and the sizes of the made-up text.
// Where the reader looks relative to what it found (caption offset, advances, the damage line's
// offsets and gap) is the pack's layout. The defaults are the built-in screen's.
struct ComposePlacement {
    int linePitch = 18;        // one option line to the next
    int left = 16;             // bullets and the weapon caption, from the body's left edge
    int slotRight = 16;        // slot caption's right end, from the body's right edge
    int slotTop = 12;          // slot caption's top row
    int damageTop = 36;        // the weapon's damage line
    int firstLine = 44;        // first option line without a weapon block
    int firstLineWeapon = 90;  // ... and below one
    int edgeClear = 4;         // nothing is drawn this close to the body's edges
    int lineHeight = 10;       // rows of a line of text
    int tildeAdvance = 8;      // a range's tilde to the maximum's first digit
    int tailWidth = 8;         // made-up "%" after a value
    int textPiece = 9;         // made-up text is pieced together from cuts this wide
    int textPitch = 14;        // one row of made-up text to the next
    int separatorRow = 5;      // the dash between the damage numbers, rows below the line's top
    int separatorInset = 2;    // columns the dash keeps clear of the numbers on either side
    bool operator==(const ComposePlacement&) const = default;
};

// The placement text: one "name = value" per line, '#' starts a comment; the names are the
// fields above in snake case (line_pitch, left, slot_right, ...). Names not given keep their value
// in `placement`. Unknown names and values outside 0..1000 are errors.
bool ParseComposePlacement(std::string_view text, ComposePlacement& placement, std::string& error);
std::string FormatComposePlacement(const ComposePlacement& placement);

struct ComposeLine {
    enum Type { kOption, kRaw, kEmptySocket, kBullet, kText } type = kOption;
    int row = 0;           // kOption: descriptor row
    std::string value;     // kOption, kRaw: the number as drawn
    std::string maxValue;  // kOption: the number after the tilde, empty for a single value
    int width = 0;         // kRaw, kText: width of the made-up text
    int tailWidth = 0;     // kOption, kRaw: made-up text right after the value (a "%")
    int height = 0;        // kText
    bool white = false;    // kRaw: white digits and text
    uint32_t colour = 0;   // kText, as a pixel value
    bool placed = false;   // true: starts at (x, y) instead of below the previous line
    int x = 0, y = 0;
};

struct TooltipScene {
    int screenWidth = 1920, screenHeight = 1080;
    uint32_t seed = 1;
    int noisePercent = 3;
    int decoys = 3;
    int x = 1200, y = 200, width = 450, height = 700;
    bool noTooltip = false;
    int kind = -1;  // -1: no slot caption
    bool weapon = false;
    std::string attacksPerSecond, minDamage, maxDamage;
    int damageRise = 19;  // the pack's damage_up or one more
    std::vector<ComposeLine> lines;
    const GlyphPack* pack = nullptr;  // pictures and layout to draw with; null: the built-in pack
    ComposePlacement placement;
};

// Line builders for scenes made in code.
ComposeLine OptionLine(int row, std::string value, std::string maxValue = {});
ComposeLine RawLine(int width, std::string value, bool white = false);
ComposeLine EmptySocketLine();
ComposeLine BulletLine();
ComposeLine TextBlock(int x, int y, int width, int height, uint32_t colour);
ComposeLine PlacedAt(ComposeLine line, int x, int y);

// Reads a description; on failure returns false with the line number and reason in `error`.
bool ParseScene(std::string_view text, TooltipScene& scene, std::string& error);

// The tooltip body alone (scene.width x scene.height), or the whole screen with it. Both need the
// glyph set loaded (the scene's pack, when it has one); they fail with a reason when something
// does not fit or is out of range.
bool ComposeTooltip(const TooltipScene& scene, PixelBuffer& tooltip, std::string& error);
bool ComposeScreen(const TooltipScene& scene, PixelBuffer& screen, std::string& error);

// Drawing pieces, for tests that place things by hand. A glyph is drawn by its ink (non-black
// pixels) only. DrawNumber draws digits 9 pixels apart and a point 4 pixels wide, and returns the
// x where the next character would start.
void DrawGlyph(PixelBuffer& image, int x, int y, int templateIndex);
int DrawNumber(PixelBuffer& image, int x, int y, std::string_view number, bool white);
// The weapon's damage range, the minimum's first digit at (x, y): minimum, separator, maximum.
void DrawDamageRange(PixelBuffer& image, int x, int y, std::string_view minDamage,
                     std::string_view maxDamage);
// The same with the pictures and layout of `pack` (digits one digit advance apart, a point one
// point advance wide, the maximum the damage gap after the minimum), and for the damage range
// the separator where `placement` puts it.
void DrawGlyph(PixelBuffer& image, int x, int y, int templateIndex, const GlyphPack& pack);
int DrawNumber(PixelBuffer& image, int x, int y, std::string_view number, bool white, const GlyphPack& pack);
void DrawDamageRange(PixelBuffer& image, int x, int y, std::string_view minDamage, std::string_view maxDamage,
                     const GlyphPack& pack, const ComposePlacement& placement);
