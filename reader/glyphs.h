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

// Where the pictures come from: given a resource id, the bytes of a .bmp file.
using GlyphSource = bool (*)(int resourceId, std::vector<uint8_t>& bmpFile);

// Loads every carried template, checking its size against kGlyphInfo. Call once at start-up.
bool LoadGlyphTemplates(GlyphSource source, std::string& error);
// The same from the pictures built into this binary.
bool LoadGlyphTemplates(std::string& error);

// Template `index`; an empty buffer for an index that is not carried or not loaded.
const PixelBuffer& GlyphTemplate(int index);
