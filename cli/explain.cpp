// The diagnostics picture of a read.
#include "cli/explain.h"

#include <algorithm>
#include <cstdint>

#include "base/bmp.h"
#include "base/catalogue.h"

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#endif
#include "stb_image_write.h"
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace {

constexpr int kMargin = 8;  // screen pixels shown around the tooltip
constexpr uint32_t kYellow = RgbValue(255, 220, 0), kCyan = RgbValue(0, 220, 255),
                   kGreen = RgbValue(40, 230, 40), kMagenta = RgbValue(255, 60, 255),
                   kOrange = RgbValue(255, 150, 0), kRed = RgbValue(255, 0, 0);

bool IsCaption(int index) {
    return std::any_of(std::begin(kStatDescriptors), std::end(kStatDescriptors),
                       [&](const StatDescriptor& row) { return row.templateIndex == index; });
}

bool IsKind(int index) {
    return std::any_of(std::begin(kItemKinds), std::end(kItemKinds),
                       [&](const ItemKind& kind) { return kind.templateIndex == index; });
}

// What of the screen the picture shows, and at what scale.
struct Frame {
    int x, y, width, height, scale;
};

bool Fits(int64_t width, int64_t height) {
    return width <= kMaxImageSide && height <= kMaxImageSide && width * height <= kMaxImagePixels;
}

Frame FrameFor(const PixelBuffer& screen, const TooltipRect& rect) {
    Frame f{rect.x - kMargin, rect.y - kMargin, rect.width + 2 * kMargin, rect.height + 2 * kMargin,
            kExplainScale};
    while (f.scale > 1 && !Fits(int64_t(f.width) * f.scale, int64_t(f.height) * f.scale)) --f.scale;
    if (Fits(f.width, f.height)) return f;
    // Only a tooltip about as large as the largest screen gets here: the screen itself fits.
    const int x1 = std::min(f.x + f.width, screen.width), y1 = std::min(f.y + f.height, screen.height);
    f.x = std::max(f.x, 0), f.y = std::max(f.y, 0);
    f.width = std::max(x1 - f.x, 0), f.height = std::max(y1 - f.y, 0);
    return f;
}

// The outline of a box of tooltip pixels, drawn between the scaled pixels' edges (over the pixels
// next to it at scale 1), and only within the picture.
void Box(PixelBuffer& out, const Frame& f, int x, int y, int w, int h, uint32_t colour) {
    const int64_t s = f.scale;
    const int64_t x0 = (int64_t(x) - f.x) * s - 1, y0 = (int64_t(y) - f.y) * s - 1;
    const int64_t x1 = (int64_t(x) + w - f.x) * s, y1 = (int64_t(y) + h - f.y) * s;
    auto put = [&](int64_t px, int64_t py) {
        if (px >= 0 && py >= 0 && px < out.width && py < out.height)
            out.pixels[size_t(py) * out.width + size_t(px)] = colour;
    };
    for (int64_t px = std::max<int64_t>(x0, -1); px <= std::min<int64_t>(x1, out.width); ++px)
        put(px, y0), put(px, y1);
    for (int64_t py = std::max<int64_t>(y0, -1); py <= std::min<int64_t>(y1, out.height); ++py)
        put(x0, py), put(x1, py);
}

}  // namespace

const char* MarkKind(int index) {
    if (index == kGlyphBullet) return "bullet";
    if (index == kGlyphEmptySocket) return "empty socket";
    if (index == kGlyphBluePoint || index == kGlyphWhitePoint) return "point";
    if (index == kGlyphBlueTilde || index == kGlyphWhiteTilde) return "tilde";
    if ((index >= kGlyphBlueDigit0 && index < kGlyphBlueDigit0 + 10) ||
        (index >= kGlyphWhiteDigit0 && index < kGlyphWhiteDigit0 + 10))
        return "digit";
    if (IsKind(index)) return "kind caption";
    if (IsCaption(index)) return "caption";
    return "picture";
}

uint32_t MarkColour(int index) {
    const std::string kind = MarkKind(index);
    if (kind == "kind caption") return kYellow;
    if (kind == "bullet" || kind == "empty socket") return kCyan;
    if (kind == "caption") return kGreen;
    if (kind == "digit") return kMagenta;
    return kOrange;
}

PixelBuffer ExplainPicture(const PixelBuffer& screen, const TooltipRect& rect, const ParseTrace& trace,
                           const GlyphPack& pack) {
    const Frame f = FrameFor(screen, rect);
    PixelBuffer out(f.width * f.scale, f.height * f.scale);
    for (int y = 0; y < out.height; ++y) {
        uint32_t* row = out.pixels.data() + size_t(y) * out.width;
        const int sy = f.y + y / f.scale;
        for (int x = 0; x < out.width; ++x) {
            const int sx = f.x + x / f.scale;
            const bool inside = sx >= 0 && sy >= 0 && sx < screen.width && sy < screen.height;
            row[x] = inside ? screen.pixels[size_t(sy) * screen.width + sx] : 0;
        }
    }
    Box(out, f, rect.x, rect.y, rect.width, rect.height, kYellow);
    for (const ParseMark& m : trace.marks) {
        const PixelBuffer& t = pack.Template(m.templateIndex);
        Box(out, f, rect.x + m.x, rect.y + m.y, t.width, t.height, MarkColour(m.templateIndex));
    }
    for (const ParseMiss& miss : trace.misses) {
        if (miss.templateIndex < 0) continue;
        const PixelBuffer& t = pack.Template(miss.templateIndex);
        Box(out, f, rect.x + miss.x, rect.y + miss.y, t.width, t.height, kRed);
    }
    return out;
}

std::vector<uint8_t> EncodePng(PixelBuffer image) {
    const int width = image.width, height = image.height;
    std::vector<uint8_t> rgb(size_t(width) * height * 3);
    for (size_t i = 0; i < size_t(width) * height; ++i) {
        const uint32_t p = image.pixels[i];
        rgb[3 * i] = uint8_t(p), rgb[3 * i + 1] = uint8_t(p >> 8), rgb[3 * i + 2] = uint8_t(p >> 16);
    }
    image = PixelBuffer();
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* bytes = static_cast<std::vector<uint8_t>*>(context);
            bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &png, width, height, 3, rgb.data(), width * 3);
    return png;
}
