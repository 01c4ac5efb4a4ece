// PNG decoding through stb_image, restricted to PNG and decoding from memory only.
#include <climits>

#include "base/bmp.h"
#include "cli/image_file.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS kMaxImageSide
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include "stb_image.h"
#pragma GCC diagnostic pop

bool DecodePng(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error) {
    if (size > size_t(INT_MAX)) {
        error = "PNG file too large";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    // The header alone first, so that an oversized picture is refused before any allocation.
    if (!stbi_info_from_memory(data, int(size), &width, &height, &channels)) {
        error = std::string("unreadable PNG header (") + stbi_failure_reason() + ")";
        return false;
    }
    if (width <= 0 || height <= 0) {
        error = "PNG has no pixels";
        return false;
    }
    if (width > kMaxImageSide || height > kMaxImageSide || int64_t(width) * height > kMaxImagePixels) {
        error = "PNG dimensions too large";
        return false;
    }
    stbi_uc* rgb = stbi_load_from_memory(data, int(size), &width, &height, &channels, 3);
    if (!rgb) {
        error = std::string("unreadable PNG data (") + stbi_failure_reason() + ")";
        return false;
    }
    PixelBuffer img(width, height);
    const stbi_uc* p = rgb;
    for (uint32_t& value : img.pixels) {
        value = RgbValue(p[0], p[1], p[2]);
        p += 3;
    }
    stbi_image_free(rgb);
    out = std::move(img);
    return true;
}
