// Text found as ink on black.
#include "reader/ink_lines.h"

#include <algorithm>

#include "reader/glyphs.h"

bool Inked(const PixelBuffer& t, int x, int y) {
    return t.pixels[size_t(y) * t.width + x] != 0;
}

std::vector<Band> FindBands(const PixelBuffer& t) {
    std::vector<Band> bands;
    int start = -1, last = -1;
    auto close = [&] {
        if (start >= 0) bands.push_back(Band{start, last + 1, {}});
        start = -1;
    };
    for (int y = 0; y < t.height; ++y) {
        bool ink = false;
        for (int x = 0; x < t.width && !ink; ++x) ink = Inked(t, x, y);
        if (ink) {
            if (start < 0) start = y;
            last = y;
        } else if (start >= 0 && y - last > kMaxGapInLine) {
            close();
        }
    }
    close();
    for (Band& band : bands) {
        Blob blob{-1, -1, 0, 0};
        for (int x = 0; x <= t.width; ++x) {
            int top = -1, bottom = -1;
            for (int y = band.y0; x < t.width && y < band.y1; ++y)
                if (Inked(t, x, y)) bottom = y + 1, top = top < 0 ? y : top;
            if (top >= 0) {
                if (blob.x0 < 0) blob = Blob{x, x + 1, top, bottom};
                blob.x1 = x + 1, blob.y0 = std::min(blob.y0, top), blob.y1 = std::max(blob.y1, bottom);
            } else if (blob.x0 >= 0) {
                band.blobs.push_back(blob);
                blob.x0 = -1;
            }
        }
    }
    return bands;
}

bool SamePicture(const PixelBuffer& a, const PixelBuffer& b) {
    return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

PixelBuffer Cut(const PixelBuffer& t, int x0, int y0, int x1, int y1) {
    return CropPixels(t, x0, y0, x1 - x0, y1 - y0);
}

bool HasPureWhite(const PixelBuffer& t, const Blob& b) {
    for (int y = b.y0; y < b.y1; ++y)
        for (int x = b.x0; x < b.x1; ++x)
            if (t.pixels[size_t(y) * t.width + x] == kWhite) return true;
    return false;
}

Blob InkBox(const PixelBuffer& p) {
    Blob b{p.width, 0, p.height, 0};
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (Inked(p, x, y))
                b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x + 1), b.y0 = std::min(b.y0, y),
                b.y1 = std::max(b.y1, y + 1);
    return b;
}
