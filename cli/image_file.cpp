// Screen pictures from files.
#include "cli/image_file.h"

#include <cstring>
#include <vector>

#include "base/bmp.h"
#include "base/files.h"

namespace {
const uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error) {
    if (size >= 8 && std::memcmp(data, kPngSignature, 8) == 0) return DecodePng(data, size, out, error);
    if (size >= 2 && data[0] == 'B' && data[1] == 'M') return DecodeBmp(data, size, out, error);
    error = "not a BMP or PNG file";
    return false;
}

bool LoadImageFile(const std::string& path, PixelBuffer& out, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, error)) return false;
    return DecodeImage(bytes.data(), bytes.size(), out, error);
}
