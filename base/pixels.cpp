// Plain pixel-buffer helpers shared by the locator, the tools and the tests.
#include "base/pixels.h"

#include <algorithm>
#include <cstring>

PixelBuffer CropPixels(const PixelBuffer& src, int32_t x, int32_t y, int32_t w, int32_t h) {
    PixelBuffer out(w, h);
    // The columns of the rectangle that lie inside the source; the rest stays 0.
    const int64_t colFrom = std::max<int64_t>(0, -int64_t(x));
    const int64_t colTo = std::min<int64_t>(out.width, int64_t(src.width) - x);
    if (colFrom >= colTo) return out;
    const int64_t readable = ReadableCount(src);
    for (int64_t row = 0; row < out.height; ++row) {
        const int64_t sy = int64_t(y) + row;
        if (sy < 0 || sy >= src.height) continue;
        const int64_t first = sy * src.width + x + colFrom;
        const int64_t n = std::min(colTo - colFrom, readable - first);
        if (n <= 0) continue;
        std::memcpy(out.pixels.data() + row * out.width + colFrom, src.pixels.data() + first,
                    size_t(n) * sizeof(uint32_t));
    }
    return out;
}
