// BMP codec for glyph pictures, sample screens and saved tooltips.
#include "base/bmp.h"

#include <cstring>

namespace {

uint32_t Le16(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8;
}
uint32_t Le32(const uint8_t* p) {
    return Le16(p) | Le16(p + 2) << 16;
}
void Put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x)), v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    Put16(v, x), Put16(v, x >> 16);
}

bool Fail(std::string& error, const char* why) {
    error = why;
    return false;
}

}  // namespace

bool DecodeBmp(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error) {
    if (size < 14 + 12) return Fail(error, "file too short for a BMP header");
    if (data[0] != 'B' || data[1] != 'M') return Fail(error, "not a BMP file (no BM signature)");
    uint32_t offset = Le32(data + 10);
    uint32_t headerSize = Le32(data + 14);
    if (headerSize < 40 || headerSize > 1024) return Fail(error, "unsupported BMP header");
    if (14 + uint64_t(headerSize) > size) return Fail(error, "truncated BMP header");
    const uint8_t* h = data + 14;
    int32_t width = int32_t(Le32(h + 4));
    int32_t rawHeight = int32_t(Le32(h + 8));
    uint32_t planes = Le16(h + 12), bits = Le16(h + 14), compression = Le32(h + 16);
    if (planes != 1) return Fail(error, "BMP plane count is not 1");
    if (bits != 24 && bits != 32) return Fail(error, "only 24- and 32-bit BMP files are supported");
    // Bit fields are accepted only with the standard masks, which is what 32-bit writers use. A
    // 40-byte header keeps its three masks right after it; the larger headers hold them inside.
    uint32_t masksEnd = 14 + headerSize;
    if (compression == 3 && bits == 32) {
        const uint8_t* masks = h + 40;
        if (headerSize < 52) {
            masksEnd = 14 + 40 + 12;
            if (size < masksEnd) return Fail(error, "truncated BMP colour masks");
        }
        if (Le32(masks) != 0xFF0000 || Le32(masks + 4) != 0xFF00 || Le32(masks + 8) != 0xFF)
            return Fail(error, "unsupported BMP colour masks");
    } else if (compression != 0) {
        return Fail(error, "compressed BMP files are not supported");
    }
    if (rawHeight == INT32_MIN) return Fail(error, "invalid BMP height");
    bool topDown = rawHeight < 0;
    int32_t height = topDown ? -rawHeight : rawHeight;
    if (width <= 0 || height <= 0) return Fail(error, "BMP has no pixels");
    if (width > kMaxImageSide || height > kMaxImageSide || int64_t(width) * height > kMaxImagePixels)
        return Fail(error, "BMP dimensions too large");
    uint64_t stride = (uint64_t(width) * bits + 31) / 32 * 4;
    uint64_t need = uint64_t(offset) + stride * uint64_t(height);
    if (offset < masksEnd) return Fail(error, "BMP pixel data overlaps its header");
    if (need > size) return Fail(error, "truncated BMP pixel data");

    PixelBuffer img(width, height);
    uint32_t bytesPerPixel = bits / 8;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = data + offset + stride * uint64_t(topDown ? y : height - 1 - y);
        uint32_t* dst = img.pixels.data() + size_t(y) * width;
        for (int32_t x = 0; x < width; ++x, row += bytesPerPixel) dst[x] = RgbValue(row[2], row[1], row[0]);
    }
    out = std::move(img);
    return true;
}

std::vector<uint8_t> EncodeBmp24(const PixelBuffer& image) {
    // Values the buffer does not hold are written as black rather than read past its end.
    if (ReadableCount(image) < int64_t(image.width) * image.height)
        return EncodeBmp24(CropPixels(image, 0, 0, image.width, image.height));
    uint32_t stride = (uint32_t(image.width) * 3 + 3) & ~3u;
    uint32_t dataSize = stride * uint32_t(image.height);
    std::vector<uint8_t> v;
    v.reserve(54 + dataSize);
    v.push_back('B'), v.push_back('M');
    Put32(v, 54 + dataSize), Put32(v, 0), Put32(v, 54);
    Put32(v, 40), Put32(v, uint32_t(image.width)), Put32(v, uint32_t(image.height));
    Put16(v, 1), Put16(v, 24), Put32(v, 0), Put32(v, dataSize);
    Put32(v, 2835), Put32(v, 2835), Put32(v, 0), Put32(v, 0);
    for (int32_t y = image.height - 1; y >= 0; --y) {
        const uint32_t* src = image.pixels.data() + size_t(y) * image.width;
        for (int32_t x = 0; x < image.width; ++x) {
            uint32_t c = src[x];
            v.push_back(uint8_t(c >> 16)), v.push_back(uint8_t(c >> 8)), v.push_back(uint8_t(c));
        }
        for (uint32_t pad = uint32_t(image.width) * 3; pad < stride; ++pad) v.push_back(0);
    }
    return v;
}
