// Screen pictures from files: uncompressed BMP (24/32-bit) or PNG, told apart by their signature.
// Malformed, truncated or oversized files fail with a short reason; nothing is read past the data.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/pixels.h"

bool DecodeImage(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error);
bool LoadImageFile(const std::string& path, PixelBuffer& out, std::string& error);

// PNG alone (any bit depth and colour type; alpha is dropped), within the BMP reader's limits.
bool DecodePng(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error);
