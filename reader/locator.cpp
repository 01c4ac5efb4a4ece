// Tooltip locator.
#include "reader/locator.h"

#include "app/status.h"

namespace {
constexpr int kMinHeight = 200;
constexpr int kMinWidth = 300;
constexpr int kProbeSpacing = 50;
constexpr int kSkipDistance = 100;
}  // namespace

bool FindTooltip(const PixelBuffer& screen, TooltipRect& rect) {
    const int64_t width = screen.width, height = screen.height;
    for (int64_t x = 0; x < width; ++x) {
        int64_t run = 0, runStart = 0;
        for (int64_t y = 0; y < height; ++y) {
            if (PixelAt(screen, x, y) == 0) {
                if (run == 0) runStart = y;
                ++run;
                continue;
            }
            if (run > kMinHeight) {
                int64_t bottom = y - 1, x2 = x;
                while (x2 < width && PixelAt(screen, x2, bottom) == 0) ++x2;
                int64_t black = x2 - x;
                if (x2 < width && black > kMinWidth) {
                    int64_t middle = runStart + run / 2;
                    bool edgeBlack = true;
                    for (int64_t py = bottom; py > middle && edgeBlack; py -= kProbeSpacing)
                        edgeBlack = PixelAt(screen, x2 - 1, py) == 0;
                    if (edgeBlack) {
                        rect = TooltipRect{int32_t(x), int32_t(runStart), int32_t(black), int32_t(run)};
                        return true;
                    }
                    x += kSkipDistance;  // the walk goes on in the new column, from row y + 1
                }
            }
            run = 0;
        }
    }
    return false;
}

bool LocateTooltip(const PixelBuffer& screen, PixelBuffer& tooltip, HitPos* position, TooltipRect* rect) {
    TooltipRect found;
    if (!FindTooltip(screen, found)) {
        ShowAlert(kAlertNoTooltip);
        return false;
    }
    tooltip = CropPixels(screen, found.x, found.y, found.width, found.height);
    if (position) *position = HitPos{int16_t(found.x), int16_t(found.y)};
    if (rect) *rect = found;
    return true;
}
