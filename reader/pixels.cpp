// Plain pixel-buffer helpers shared by the locator, the tools and the tests.
#include "reader/pixels.h"

PixelBuffer CropPixels(const PixelBuffer& src, int32_t x, int32_t y, int32_t w, int32_t h) {
    PixelBuffer out(w, h);
    for (int32_t row = 0; row < h; ++row) {
        int64_t sy = int64_t(y) + row;
        if (sy < 0 || sy >= src.height) continue;
        for (int32_t col = 0; col < w; ++col) {
            int64_t sx = int64_t(x) + col;
            if (sx >= 0 && sx < src.width) out.pixels[size_t(row) * w + col] = src.pixels[size_t(sy) * src.width + size_t(sx)];
        }
    }
    return out;
}
