// A small PNG writer for tests: uncompressed (stored) deflate blocks, so that tests can build
// valid files of any colour type and then damage them on purpose.
#pragma once
#include <cstdint>
#include <vector>

#include "base/pixels.h"

// 8-bit RGB (colour type 2) of the buffer.
std::vector<uint8_t> EncodePngRgb(const PixelBuffer& image);

// A file from raw parts: the IHDR fields as given and `scanlines` (filter byte per row included)
// as one IDAT. Nothing is checked, so the header may claim what the data does not hold.
std::vector<uint8_t> EncodePngRaw(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                                  const std::vector<uint8_t>& scanlines);
