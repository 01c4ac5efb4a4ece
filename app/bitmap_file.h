// The BMP file a saved tooltip becomes: the 14-byte file header, the 40-byte info header, the
// colour table of a palette picture and the pixel rows bottom-up, each padded to 4 bytes, exactly
// as the system delivers a bitmap's bits. The Windows layer fetches the bits; the bytes are made
// here.
#pragma once
#include <cstdint>
#include <vector>

#include "base/pixels.h"

constexpr uint32_t kBmpFileHeaderBytes = 14;
constexpr uint32_t kBmpInfoHeaderBytes = 40;

// Bytes of one stored row: bitCount bits per pixel rounded up to whole 32-bit words.
uint32_t DibRowBytes(int32_t width, uint16_t bitCount);
// The whole pixel block of a bitmap stored with that many rows.
uint32_t DibImageBytes(int32_t width, int32_t height, uint16_t bitCount);
// 4 bytes per entry, 2^bitCount entries for pictures of 8 bits per pixel or fewer; else 0.
uint32_t DibPaletteBytes(uint16_t bitCount);

// The description that goes into the info header.
struct DibDescription {
    int32_t width = 0;
    int32_t height = 0;  // positive: rows bottom-up
    uint16_t bitCount = 32;
    uint32_t sizeImage = 0;  // 0: DibImageBytes
};

// The file bytes. `palette` holds DibPaletteBytes bytes (or is null when there are none to write),
// `rows` the pixel block of `sizeImage` bytes. Empty when the description is not one the file can
// hold (no pixels, a bit count other than 1, 4, 8, 16, 24 or 32, too few bytes given).
std::vector<uint8_t> EncodeBitmapFile(const DibDescription& dib, const uint8_t* palette, const uint8_t* rows,
                                      size_t rowBytes);

// A 32-bit bottom-up file of a Pixel Buffer, as a 32-bit screen's bitmap is saved.
std::vector<uint8_t> EncodeBmp32(const PixelBuffer& image);
