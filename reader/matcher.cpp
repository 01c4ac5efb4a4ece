// Template matcher.
#include "reader/matcher.h"

#include <algorithm>

int MatchTemplate(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl, HitPos* hits,
                  int many, int step, int tolerance, int mode) {
    if (mode < 0 || mode > 2 || step < 1) return 0;
    if (w == 0) w = image.width;
    if (h == 0) h = image.height;
    int limit = many ? kHitListSize : 1;
    int count = 0;
    int64_t xEnd = std::min<int64_t>(int64_t(x) + w, image.width);
    int64_t yEnd = std::min<int64_t>(int64_t(y) + h, image.height);
    for (int64_t cx = x; cx < xEnd; ++cx) {
        for (int64_t cy = y; cy < yEnd; ++cy) {
            int mismatches = 0;
            bool passed = true;
            for (int tx = 0; tx < tmpl.width && passed; tx += step) {
                for (int ty = 0; ty < tmpl.height; ty += step) {
                    uint32_t t = PixelAt(tmpl, tx, ty);
                    uint32_t s = PixelAt(image, cx + tx, cy + ty);
                    bool miss = mode == 0 ? s != t : mode == 1 ? (t != 0 && s != t) : (t == 0xFFFFFF && s != 0xFFFFFF);
                    if (!miss) continue;
                    if (mismatches >= tolerance) {
                        passed = false;
                        break;
                    }
                    ++mismatches;
                }
            }
            if (!passed) continue;
            if (hits) hits[count] = HitPos{int16_t(cx), int16_t(cy)};
            if (++count >= limit) return count;
        }
    }
    return count;
}
