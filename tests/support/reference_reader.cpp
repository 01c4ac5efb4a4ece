// Literal matcher and locator: columns outer, rows inner, one PixelAt per sample.
#include "tests/support/reference_reader.h"

#include <algorithm>

int ReferenceMatchTemplate(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl,
                           HitPos* hits, int many, int step, int tolerance, int mode) {
    // Any other mode searches nothing; a step below 1 would never advance.
    if (mode < 0 || mode > 2 || step < 1) return 0;
    if (w == 0) w = image.width;
    if (h == 0) h = image.height;
    const int limit = many ? kHitListSize : 1;
    int count = 0;
    const int64_t xEnd = std::min<int64_t>(int64_t(x) + w, image.width);
    const int64_t yEnd = std::min<int64_t>(int64_t(y) + h, image.height);
    for (int64_t cx = x; cx < xEnd; ++cx) {
        for (int64_t cy = y; cy < yEnd; ++cy) {
            int mismatches = 0;
            bool failed = false;
            for (int64_t tx = 0; tx < tmpl.width && !failed; tx += step) {
                for (int64_t ty = 0; ty < tmpl.height && !failed; ty += step) {
                    const uint32_t t = PixelAt(tmpl, tx, ty);
                    const uint32_t s = PixelAt(image, cx + tx, cy + ty);
                    bool miss = false;
                    if (mode == 0) miss = s != t;
                    if (mode == 1) miss = t != 0 && s != t;
                    if (mode == 2) miss = t == 0xFFFFFF && s != 0xFFFFFF;
                    if (!miss) continue;
                    if (mismatches >= tolerance)
                        failed = true;
                    else
                        ++mismatches;
                }
            }
            if (failed) continue;
            if (hits) hits[count] = HitPos{int16_t(cx), int16_t(cy)};
            ++count;
            if (count == limit) return count;
        }
    }
    return count;
}

bool ReferenceFindTooltip(const PixelBuffer& screen, TooltipRect& rect) {
    const int64_t width = screen.width, height = screen.height;
    for (int64_t x = 0; x < width; ++x) {
        int64_t run = 0, runStart = 0;
        for (int64_t y = 0; y < height; ++y) {
            if (PixelAt(screen, x, y) == 0) {
                if (run == 0) {
                    runStart = y;
                    run = 1;
                } else {
                    ++run;
                }
                continue;
            }
            if (run > 200) {
                const int64_t bottom = y - 1;
                int64_t x2 = x;
                while (x2 < width && PixelAt(screen, x2, bottom) == 0) ++x2;
                const int64_t black = x2 - x;
                const bool reachedEdge = x2 == width;
                if (!reachedEdge && black >= 301) {
                    const int64_t middle = runStart + run / 2;
                    bool edgeBlack = true;
                    for (int64_t py = bottom; py > middle; py -= 50) {
                        if (PixelAt(screen, x2 - 1, py) != 0) {
                            edgeBlack = false;
                            break;
                        }
                    }
                    if (edgeBlack) {
                        rect = TooltipRect{int32_t(x), int32_t(runStart), int32_t(black), int32_t(run)};
                        return true;
                    }
                    x += 100;  // the walk goes on at row y + 1 of the new column
                }
            }
            run = 0;
        }
    }
    return false;
}
