// The Glyph Template set: small pictures of what the game draws in its tooltips (captions,
// digits, points, tildes, the bullet), matched pixel for pixel against the screen.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/pixels.h"

constexpr int kGlyphCount = 117;

// Brightest pixel of each text colour, as pixel values.
constexpr uint32_t kBlue = 0xFF6969;  // affix blue: red 105, green 105, blue 255
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kGrey = 0x888888;

// Template indices the reader uses.
constexpr int kGlyphBullet = 0;
constexpr int kGlyphBlueDigit0 = 1;  // + digit
constexpr int kGlyphBluePoint = 11;
constexpr int kGlyphBlueTilde = 12;
constexpr int kGlyphWhiteDigit0 = 13;  // + digit
constexpr int kGlyphWhitePoint = 23;
constexpr int kGlyphWhiteTilde = 24;
constexpr int kGlyphEmptySocket = 88;

struct GlyphInfo {
    int resourceId;  // 0: a picture no reading step uses, not carried
    int width;
    int height;
    uint32_t colour;  // brightest pixel of its text
};
extern const GlyphInfo kGlyphInfo[kGlyphCount];

// Where the game puts things relative to each other: the layout the reader assumes between the
// pictures. The built-in pictures are cut at these values; a learned pack measures its own.
struct GlyphLayout {
    int captionOffset = 11;  // option bullet's left column to the caption's first column
    int digitAdvance = 9;    // one digit to the next
    int pointAdvance = 4;    // a decimal point to the digit after it
    int damageGap = 8;       // end of the minimum damage to the start of the maximum
    int tildeSearch = 200;   // columns right of the caption start searched for a range's tilde
    int damageRight = 12;    // attacks-per-second caption to the damage line, columns right
    int damageUp = 19;       // ... and rows up (the damage line's first digit is also tried a row higher)
    bool operator==(const GlyphLayout&) const = default;
};

// A Glyph Pack: one picture per template index (empty where a picture is not carried) and the
// layout they were cut at. Template sizes come from the pictures themselves.
struct GlyphPack {
    PixelBuffer templates[kGlyphCount];
    GlyphLayout layout;
    // Template `index`; an empty buffer for an index out of range or not carried.
    const PixelBuffer& Template(int index) const;
};

// Where the pictures come from: given a resource id, the bytes of a .bmp file.
using GlyphSource = bool (*)(int resourceId, std::vector<uint8_t>& bmpFile);

// Loads every carried template into the built-in pack, checking its size against kGlyphInfo.
// Call once at start-up, before any read.
bool LoadGlyphTemplates(GlyphSource source, std::string& error);
// The same from the pictures built into this binary.
bool LoadGlyphTemplates(std::string& error);

// The pack built into the program, once LoadGlyphTemplates has run; the default for reading.
const GlyphPack& BuiltInPack();
// Template `index` of the built-in pack; an empty buffer for an index not carried or not loaded.
const PixelBuffer& GlyphTemplate(int index);
