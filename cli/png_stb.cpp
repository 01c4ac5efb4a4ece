// PNG decoding through stb_image, restricted to PNG and decoding from memory only.
//
// Memory is bounded twice. Before decoding, the header (size, bit depth, colour type, interlace)
// and the file's size give what the decoder will need at most, and a picture that would need
// more than kPngDecodeBudget is refused. While decoding, every allocation of the decoder goes
// through a counter that refuses to go past that estimate, so data that inflates beyond the
// picture's own size (a decompression bomb) or chunk lengths that ask for gigabytes fail at once.
#include <climits>
#include <cstdlib>
#include <cstring>

#include "base/bmp.h"
#include "cli/image_file.h"

namespace {

// What the decoder may hold at once, file bytes included.
constexpr uint64_t kPngDecodeBudget = uint64_t(640) << 20;

// The decoder's allocations carry their size in front, so that frees and reallocations can be
// counted. One decode runs per thread at a time.
struct AllocationBudget {
    uint64_t limit = 0;  // 0: no decode running, nothing is refused
    uint64_t live = 0;
};
thread_local AllocationBudget tBudget;
constexpr size_t kHeader = 16;  // keeps the alignment malloc gives

void* BudgetMalloc(size_t size) {
    if (tBudget.limit && (size > tBudget.limit || tBudget.live + size > tBudget.limit)) return nullptr;
    if (size > SIZE_MAX - kHeader) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!block) return nullptr;
    std::memcpy(block, &size, sizeof size);
    tBudget.live += size;
    return block + kHeader;
}

void BudgetFree(void* p) {
    if (!p) return;
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    size_t size;
    std::memcpy(&size, block, sizeof size);
    tBudget.live -= size;
    std::free(block);
}

void* BudgetRealloc(void* p, size_t size) {
    if (!p) return BudgetMalloc(size);
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    size_t old;
    std::memcpy(&old, block, sizeof old);
    // Counted as if old and new were both held, as a moving reallocation does.
    if (tBudget.limit && (size > tBudget.limit || tBudget.live + size > tBudget.limit)) return nullptr;
    if (size > SIZE_MAX - kHeader) return nullptr;
    auto* grown = static_cast<unsigned char*>(std::realloc(block, size + kHeader));
    if (!grown) return nullptr;
    std::memcpy(grown, &size, sizeof size);
    tBudget.live = tBudget.live - old + size;
    return grown + kHeader;
}

}  // namespace

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS kMaxImageSide
#define STBI_MALLOC(size) BudgetMalloc(size)
#define STBI_REALLOC(p, size) BudgetRealloc(p, size)
#define STBI_FREE(p) BudgetFree(p)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include "stb_image.h"
#pragma GCC diagnostic pop

namespace {

uint32_t Be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// The decoder's last reason; some of its failures leave none.
std::string FailureReason() {
    const char* why = stbi_failure_reason();
    return why && *why ? why : "corrupt data";
}

struct PngHeader {
    uint64_t width = 0, height = 0;
    int depth = 0, colour = 0, interlace = 0;
};

bool ReadHeader(const uint8_t* data, size_t size, PngHeader& h) {
    // Signature, then the IHDR chunk: length 13, type, width, height, depth, colour type,
    // compression, filter, interlace.
    if (size < 8 + 8 + 13 || Be32(data + 8) != 13 || std::memcmp(data + 12, "IHDR", 4) != 0) return false;
    h.width = Be32(data + 16);
    h.height = Be32(data + 20);
    h.depth = data[24];
    h.colour = data[25];
    h.interlace = data[28];
    return true;
}

// The most the decoder holds at once for this picture (file bytes not included), stage by stage:
// the compressed data gathered from the IDAT chunks (doubling as it grows) and the inflated rows,
// the rows and the unfiltered picture, the colour conversions, then our own copy.
uint64_t DecodeNeed(const PngHeader& h, uint64_t fileBytes) {
    const uint64_t px = h.width * h.height;
    const uint64_t channels = h.colour == 2 ? 3 : h.colour == 4 ? 2 : h.colour == 6 ? 4 : 1;
    const uint64_t bytesPerValue = h.depth == 16 ? 2 : 1;
    const uint64_t raw = h.height * (1 + (h.width * channels * uint64_t(h.depth) + 7) / 8 + channels);
    const uint64_t rawHeld = h.interlace ? 2 * raw : raw;  // interlaced rows outgrow the first guess
    const uint64_t out = px * (h.colour == 3 ? 1 : channels + 1) * bytesPerValue;
    uint64_t need = std::max(3 * fileBytes, 2 * fileBytes + (h.interlace ? 3 * raw : raw));
    need = std::max(need, rawHeld + out * (h.interlace ? 2 : 1));
    need = std::max(need, out + px * 4 * bytesPerValue);  // palette expansion or fewer channels
    if (h.depth == 16) need = std::max(need, px * 6 + px * 3);
    return need;
}

// The decoder copies a first IDAT chunk of no bytes from a null buffer; such files are refused.
bool FirstIdatEmpty(const uint8_t* data, size_t size) {
    for (size_t at = 8; at + 8 <= size;) {
        const uint32_t length = Be32(data + at);
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0) return length == 0;
        if (length > size - at - 8) return false;
        at += 12 + size_t(length);
    }
    return false;
}

}  // namespace

bool DecodePng(const uint8_t* data, size_t size, PixelBuffer& out, std::string& error) {
    if (size > size_t(INT_MAX)) {
        error = "PNG file too large";
        return false;
    }
    int width = 0, height = 0, channels = 0;
    stbi__g_failure_reason = nullptr;
    // The header alone first, so that an oversized picture is refused before any allocation.
    if (!stbi_info_from_memory(data, int(size), &width, &height, &channels)) {
        error = "unreadable PNG header (" + FailureReason() + ")";
        return false;
    }
    PngHeader header;
    if (width <= 0 || height <= 0 || !ReadHeader(data, size, header)) {
        error = "PNG has no pixels";
        return false;
    }
    if (width > kMaxImageSide || height > kMaxImageSide || int64_t(width) * height > kMaxImagePixels) {
        error = "PNG dimensions too large (" + std::to_string(width) + " x " + std::to_string(height) +
                "; at most " + std::to_string(kMaxImageSide) + " a side and 8192 x 8192 pixels in all)";
        return false;
    }
    const uint64_t need = DecodeNeed(header, size);
    const uint64_t ownCopy = uint64_t(width) * height * (3 + 4);
    if (size + std::max(need, ownCopy) > kPngDecodeBudget) {
        error = "PNG needs too much memory to decode (" + std::to_string(header.depth) + "-bit, " +
                std::to_string(width) + " x " + std::to_string(height) + ")";
        return false;
    }
    if (FirstIdatEmpty(data, size)) {
        error = "unreadable PNG data (empty first IDAT chunk)";
        return false;
    }
    tBudget = AllocationBudget{need + (uint64_t(1) << 20), 0};
    stbi_uc* rgb = stbi_load_from_memory(data, int(size), &width, &height, &channels, 3);
    tBudget.limit = 0;  // the pixels are freed below, outside the decode
    if (!rgb) {
        error = "unreadable PNG data (" + FailureReason() + ")";
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
