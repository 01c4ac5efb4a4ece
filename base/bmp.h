// Reading and writing uncompressed BMP files (24- and 32-bit, bottom-up or top-down).
// Malformed input yields a clear error; nothing is read outside the given bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/pixels.h"

// Largest image accepted: positions are 16-bit on screen, and the pixel count must fit 32 bits.
constexpr int32_t kMaxImageSide = 32767;
constexpr int64_t kMaxImagePixels = int64_t(1) << 28;

// Decodes a whole .bmp file. On failure returns false and sets `error` to a short reason.
bool DecodeBmp(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error);

// A 24-bit bottom-up BMP file of the buffer (the fourth byte of a value is dropped).
std::vector<uint8_t> EncodeBmp24(const PixelBuffer& image);
