// A small PNG writer for tests.
#include "tests/support/png_writer.h"

#include <algorithm>

namespace {

uint32_t Crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int shift = 24; shift >= 0; shift -= 8) v.push_back(uint8_t(x >> shift));
}

void Chunk(std::vector<uint8_t>& out, const char type[5], const std::vector<uint8_t>& data) {
    Put32(out, uint32_t(data.size()));
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    Put32(out, Crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored blocks.
std::vector<uint8_t> Zlib(const std::vector<uint8_t>& raw) {
    std::vector<uint8_t> z = {0x78, 0x01};
    size_t pos = 0;
    do {
        size_t n = std::min<size_t>(65535, raw.size() - pos);
        bool last = pos + n == raw.size();
        z.push_back(last ? 1 : 0);
        z.push_back(uint8_t(n)), z.push_back(uint8_t(n >> 8));
        z.push_back(uint8_t(~n)), z.push_back(uint8_t(~n >> 8));
        z.insert(z.end(), raw.begin() + long(pos), raw.begin() + long(pos + n));
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;
    for (uint8_t c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
    Put32(z, b << 16 | a);
    return z;
}

}  // namespace

std::vector<uint8_t> EncodePngRaw(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colourType,
                                  const std::vector<uint8_t>& scanlines) {
    std::vector<uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr;
    Put32(ihdr, width), Put32(ihdr, height);
    ihdr.insert(ihdr.end(), {bitDepth, colourType, 0, 0, 0});
    Chunk(out, "IHDR", ihdr);
    Chunk(out, "IDAT", Zlib(scanlines));
    Chunk(out, "IEND", {});
    return out;
}

std::vector<uint8_t> EncodePngRgb(const PixelBuffer& image) {
    std::vector<uint8_t> raw;
    raw.reserve(size_t(image.height) * (1 + size_t(image.width) * 3));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        for (int x = 0; x < image.width; ++x) {
            uint32_t p = PixelAt(image, x, y);
            raw.insert(raw.end(), {uint8_t(p), uint8_t(p >> 8), uint8_t(p >> 16)});
        }
    }
    return EncodePngRaw(uint32_t(image.width), uint32_t(image.height), 8, 2, raw);
}
