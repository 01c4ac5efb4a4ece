// Captures the reader cannot use.
#include "reader/screen_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

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
