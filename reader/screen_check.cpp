// Captures the reader cannot use.
#include "reader/screen_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "reader/locator.h"

bool IsAllBlack(const PixelBuffer& capture) {
    const int64_t count = ReadableCount(capture);
    if (count <= 0) return false;
    const uint32_t* p = capture.pixels.data();
    // OR a block of pixels together before testing: a loop without a branch per pixel, which the
    // compiler turns into wide vector operations. Blocks are small enough to stop early on a real
    // screen, whose first rows already hold colour.
    constexpr int64_t kBlock = 4096;
    for (int64_t start = 0; start < count; start += kBlock) {
        const int64_t end = std::min(count, start + kBlock);
        uint32_t any = 0;
        for (int64_t i = start; i < end; ++i) any |= p[i];
        if (any & 0xFFFFFFu) return false;  // the fourth byte of a value carries no colour
    }
    return true;
}

bool IsAllBlack(ScreenSource& screen) {
    const int64_t width = screen.Width(), height = screen.Height();
    if (width <= 0 || height <= 0) return false;
    auto black = [width](const ScreenRows& rows, int64_t count) {
        for (int64_t r = 0; r < count; ++r)
            for (int64_t x = 0; x < width; ++x)
                if (rows.At(x, r) & 0xFFFFFFu) return false;
        return true;
    };
    for (int64_t row = kSampledRowStep - 1; row < height; row += kSampledRowStep)
        if (!black(screen.Rows(ScreenArea{0, int32_t(row), int32_t(width), 1}), 1)) return false;
    return black(screen.Rows(ScreenArea{0, 0, int32_t(width), int32_t(height)}), height);
}

bool IsScaledCapture(int captureWidth, int captureHeight, int physicalWidth, int physicalHeight) {
    if (physicalWidth <= 0 || physicalHeight <= 0) return false;
    return captureWidth != physicalWidth || captureHeight != physicalHeight;
}

CaptureProblem CheckCapture(const PixelBuffer& capture, int physicalWidth, int physicalHeight) {
    if (ReadableCount(capture) <= 0) return CaptureProblem::kNone;
    if (IsScaledCapture(capture.width, capture.height, physicalWidth, physicalHeight))
        return CaptureProblem::kScaled;
    if (IsAllBlack(capture)) return CaptureProblem::kBlack;
    return CaptureProblem::kNone;
}

CaptureProblem CheckCapture(ScreenSource& capture, int physicalWidth, int physicalHeight) {
    if (capture.Width() <= 0 || capture.Height() <= 0) return CaptureProblem::kNone;
    if (IsScaledCapture(capture.Width(), capture.Height(), physicalWidth, physicalHeight))
        return CaptureProblem::kScaled;
    if (IsAllBlack(capture)) return CaptureProblem::kBlack;
    return CaptureProblem::kNone;
}
