// Reading and writing uncompressed BMP files (24- and 32-bit, bottom-up or top-down).
// Malformed input yields a clear error; nothing is read outside the given bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/pixels.h"

// Largest image accepted: a screen, or several side by side, at most 16384 pixels a side and
// 8192 x 8192 pixels in all (256 MB as a Pixel Buffer). Larger pictures are refused from their
// header, before anything is decoded.
constexpr int32_t kMaxImageSide = 16384;
constexpr int64_t kMaxImagePixels = int64_t(8192) * 8192;

// Decodes a whole .bmp file. On failure returns false and sets `error` to a short reason.
bool DecodeBmp(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error);

// A 24-bit bottom-up BMP file of the buffer (the fourth byte of a value is dropped).
std::vector<uint8_t> EncodeBmp24(const PixelBuffer& image);
