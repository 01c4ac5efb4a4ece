// Pixel Buffer: a bitmap's pixels as plain 32-bit values, top-down, no gaps between rows.
// A value is red + green * 256 + blue * 65536 (0x00BBGGRR); every comparison uses it as is.
#pragma once
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct PixelBuffer {
    std::vector<uint32_t> pixels;  // width * height values; the fourth byte of each is 0
    int32_t width = 0;
    int32_t height = 0;
    int32_t count = 0;  // width * height

    PixelBuffer() = default;
    // Negative sizes give an empty buffer rather than a huge allocation.
    PixelBuffer(int32_t w, int32_t h, uint32_t fill = 0)
        : pixels(w > 0 && h > 0 ? size_t(w) * size_t(h) : 0, fill),
          width(std::max(w, 0)),
          height(std::max(h, 0)),
          count(int32_t(std::min<int64_t>(int64_t(width) * height, INT32_MAX))) {}
};

// How many values may be read: `count`, or fewer when a hand-made buffer holds fewer values.
inline int64_t ReadableCount(const PixelBuffer& b) {
    return std::clamp<int64_t>(int64_t(b.pixels.size()), 0, std::max<int64_t>(b.count, 0));
}

// The pixel at linear position x + width * y; 0 (black) outside 0..count-1. An x at or beyond
// the width reads into the following row, as the linear position says.
inline uint32_t PixelAt(const PixelBuffer& b, int64_t x, int64_t y) {
    const int64_t p = x + int64_t(b.width) * y;
    return (p < 0 || p >= b.count || size_t(p) >= b.pixels.size()) ? 0u : b.pixels[size_t(p)];
}

constexpr uint32_t RgbValue(uint8_t r, uint8_t g, uint8_t b) {
    return r | (uint32_t(g) << 8) | (uint32_t(b) << 16);
}

// Copy of the rectangle (x, y, w, h); pixels outside the source read as 0.
PixelBuffer CropPixels(const PixelBuffer& src, int32_t x, int32_t y, int32_t w, int32_t h);
