// The template matcher: where does this glyph picture appear in this window of an image,
// allowing this many differing sampled pixels?
#pragma once
#include <cstdint>

#include "base/pixels.h"

struct HitPos {
    int16_t x = 0;
    int16_t y = 0;
};

constexpr int kHitListSize = 20;

enum MatchMode : int {
    kMatchExact = 0,      // every sampled pixel compared
    kMatchInk = 1,        // black template pixels are not compared
    kMatchWhiteOnly = 2,  // only pure white template pixels, which need pure white on screen
};

// Candidates (template top-left) run over x <= cx < min(x + w, width), y <= cy < min(y + h, height),
// columns outer and rows inner; w = 0 / h = 0 mean the image width / height. A candidate passes
// with at most `tolerance` mismatches among the samples taken every `step` pixels. Returns the
// number of hits (at most 1, or 20 when `many`), written to `hits`, which only mode 0 may omit.
int MatchTemplate(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl, HitPos* hits,
                  int many, int step, int tolerance, int mode);
