// Pixel Buffer: a bitmap's pixels as plain 32-bit values, top-down, no gaps between rows.
// A value is red + green * 256 + blue * 65536 (0x00BBGGRR); every comparison uses it as is.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct PixelBuffer {
    std::vector<uint32_t> pixels;  // width * height values
    int32_t width = 0;
    int32_t height = 0;
    int32_t count = 0;  // width * height

    PixelBuffer() = default;
    PixelBuffer(int32_t w, int32_t h, uint32_t fill = 0)
        : pixels(size_t(w) * size_t(h), fill), width(w), height(h), count(w * h) {}
};

// The pixel at linear position x + width * y; 0 (black) outside 0..count-1. An x at or beyond
// the width reads into the following row, as the linear position says.
inline uint32_t PixelAt(const PixelBuffer& b, int64_t x, int64_t y) {
    int64_t p = x + int64_t(b.width) * y;
    return (p < 0 || p >= b.count) ? 0u : b.pixels[size_t(p)];
}

constexpr uint32_t RgbValue(uint8_t r, uint8_t g, uint8_t b) { return r | (uint32_t(g) << 8) | (uint32_t(b) << 16); }

// Copy of the rectangle (x, y, w, h); pixels outside the source read as 0.
PixelBuffer CropPixels(const PixelBuffer& src, int32_t x, int32_t y, int32_t w, int32_t h);
