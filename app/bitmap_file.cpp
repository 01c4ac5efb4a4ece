// BMP files of saved tooltips.
#include "app/bitmap_file.h"

#include <cstring>

namespace {

void Put16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
    out[at] = uint8_t(v);
    out[at + 1] = uint8_t(v >> 8);
}

void Put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = uint8_t(v >> (8 * i));
}

bool IsBitCount(uint16_t b) {
    return b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32;
}

}  // namespace

uint32_t DibRowBytes(int32_t width, uint16_t bitCount) {
    return uint32_t(((uint64_t(bitCount) * uint32_t(width) + 31) / 32) * 4);
}

uint32_t DibImageBytes(int32_t width, int32_t height, uint16_t bitCount) {
    return DibRowBytes(width, bitCount) * uint32_t(height);
}

uint32_t DibPaletteBytes(uint16_t bitCount) {
    return bitCount <= 8 ? 4u << bitCount : 0u;
}

std::vector<uint8_t> EncodeBitmapFile(const DibDescription& dib, const uint8_t* palette, const uint8_t* rows,
                                      size_t rowBytes) {
    // Sides are those of a screen picture, so the sizes below fit 32 bits.
    if (dib.width <= 0 || dib.height <= 0 || dib.width > 32767 || dib.height > 32767 ||
        !IsBitCount(dib.bitCount))
        return {};
    const uint32_t paletteBytes = DibPaletteBytes(dib.bitCount);
    const uint32_t needed = DibImageBytes(dib.width, dib.height, dib.bitCount);
    const uint32_t sizeImage = dib.sizeImage ? dib.sizeImage : needed;
    if (sizeImage < needed || rowBytes < sizeImage || !rows || (paletteBytes && !palette)) return {};

    const uint32_t offBits = kBmpFileHeaderBytes + kBmpInfoHeaderBytes + paletteBytes;
    std::vector<uint8_t> out(size_t(offBits) + sizeImage, 0);
    out[0] = 'B', out[1] = 'M';
    Put32(out, 2, offBits + sizeImage);
    Put32(out, 10, offBits);
    Put32(out, 14, kBmpInfoHeaderBytes);
    Put32(out, 18, uint32_t(dib.width));
    Put32(out, 22, uint32_t(dib.height));
    Put16(out, 26, 1);
    Put16(out, 28, dib.bitCount);
    Put32(out, 30, 0);  // uncompressed
    Put32(out, 34, sizeImage);
    if (paletteBytes) std::memcpy(out.data() + 54, palette, paletteBytes);
    std::memcpy(out.data() + offBits, rows, sizeImage);
    return out;
}

std::vector<uint8_t> EncodeBmp32(const PixelBuffer& image) {
    const int64_t readable = ReadableCount(image);
    if (image.width <= 0 || image.height <= 0 || readable < int64_t(image.width) * image.height) return {};
    const size_t w = size_t(image.width), h = size_t(image.height);
    std::vector<uint8_t> rows(w * h * 4);
    for (size_t y = 0; y < h; ++y) {
        const uint32_t* src = image.pixels.data() + (h - 1 - y) * w;  // bottom row first
        uint8_t* dst = rows.data() + y * w * 4;
        for (size_t x = 0; x < w; ++x) {
            const uint32_t v = src[x];  // 0x00BBGGRR; the file holds blue, green, red, 0
            dst[4 * x] = uint8_t(v >> 16);
            dst[4 * x + 1] = uint8_t(v >> 8);
            dst[4 * x + 2] = uint8_t(v);
            dst[4 * x + 3] = 0;
        }
    }
    DibDescription dib{image.width, image.height, 32, 0};
    return EncodeBitmapFile(dib, nullptr, rows.data(), rows.size());
}
