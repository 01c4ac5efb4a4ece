// Measuring glyph pictures as the matcher sees them, for the tests that prove a picture set
// discriminative: mismatches at a place, ink against blank, hits in a window.
#pragma once
#include <cstdint>
#include <ostream>
#include <string>

#include "base/pixels.h"
#include "reader/glyphs.h"
#include "reader/matcher.h"

inline bool IsWhite(int index) {
    return kGlyphInfo[index].colour == kWhite;
}
inline int Digit(int d, bool white) {
    return (white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0) + d;
}

inline void Paste(PixelBuffer& canvas, const PixelBuffer& picture, int x, int y) {
    for (int py = 0; py < picture.height; ++py)
        for (int px = 0; px < picture.width; ++px)
            if (x + px >= 0 && y + py >= 0 && x + px < canvas.width && y + py < canvas.height)
                canvas.pixels[size_t(y + py) * canvas.width + x + px] =
                    picture.pixels[size_t(py) * picture.width + px];
}

// Every sampled template pixel at (x, y) that the matcher would count as a mismatch.
inline int Mismatches(const PixelBuffer& image, int x, int y, const PixelBuffer& tmpl, int step, int mode) {
    int count = 0;
    for (int tx = 0; tx < tmpl.width; tx += step)
        for (int ty = 0; ty < tmpl.height; ty += step) {
            uint32_t t = PixelAt(tmpl, tx, ty), s = PixelAt(image, int64_t(x) + tx, int64_t(y) + ty);
            count += mode == 0 ? s != t : mode == 1 ? (t != 0 && s != t) : (t == 0xFFFFFFu && s != 0xFFFFFFu);
        }
    return count;
}

// Mismatches against a blank stretch of tooltip.
inline int Ink(const PixelBuffer& tmpl, int step, int mode = 0) {
    return Mismatches(PixelBuffer(tmpl.width, tmpl.height), 0, 0, tmpl, step, mode);
}

inline int Hits(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl, int step,
                int tolerance, int mode) {
    HitPos hits[kHitListSize];
    return MatchTemplate(image, x, y, w, h, tmpl, hits, 1, step, tolerance, mode);
}

// The least value seen and where, for the failure message.
struct Worst {
    int value = 1 << 30;
    std::string where;
    void Take(int v, const std::string& at) {
        if (v < value) value = v, where = at;
    }
};
inline std::ostream& operator<<(std::ostream& os, const Worst& w) {
    return os << w.value << " (" << w.where << ")";
}
