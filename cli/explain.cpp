// The diagnostics picture of a read.
#include "cli/explain.h"

#include <algorithm>

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

// The outline of a box of tooltip pixels, drawn between the scaled pixels' edges.
void Box(PixelBuffer& out, int originX, int originY, int x, int y, int w, int h, uint32_t colour) {
    const int x0 = (x - originX) * kExplainScale - 1, y0 = (y - originY) * kExplainScale - 1;
    const int x1 = (x + w - originX) * kExplainScale, y1 = (y + h - originY) * kExplainScale;
    auto put = [&](int px, int py) {
        if (px >= 0 && py >= 0 && px < out.width && py < out.height)
            out.pixels[size_t(py) * out.width + px] = colour;
    };
    for (int px = x0; px <= x1; ++px) put(px, y0), put(px, y1);
    for (int py = y0; py <= y1; ++py) put(x0, py), put(x1, py);
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
    const int originX = rect.x - kMargin, originY = rect.y - kMargin;
    const int w = rect.width + 2 * kMargin, h = rect.height + 2 * kMargin;
    PixelBuffer out(w * kExplainScale, h * kExplainScale);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const int sx = originX + x / kExplainScale, sy = originY + y / kExplainScale;
            const bool inside = sx >= 0 && sy >= 0 && sx < screen.width && sy < screen.height;
            out.pixels[size_t(y) * out.width + x] =
                inside ? screen.pixels[size_t(sy) * screen.width + sx] : 0;
        }
    Box(out, originX, originY, rect.x, rect.y, rect.width, rect.height, kYellow);
    for (const ParseMark& m : trace.marks) {
        const PixelBuffer& t = pack.Template(m.templateIndex);
        Box(out, originX, originY, rect.x + m.x, rect.y + m.y, t.width, t.height,
            MarkColour(m.templateIndex));
    }
    for (const ParseMiss& miss : trace.misses) {
        if (miss.templateIndex < 0) continue;
        const PixelBuffer& t = pack.Template(miss.templateIndex);
        Box(out, originX, originY, rect.x + miss.x, rect.y + miss.y, t.width, t.height, kRed);
    }
    return out;
}

std::vector<uint8_t> EncodePng(const PixelBuffer& image) {
    std::vector<uint8_t> rgb(size_t(image.width) * image.height * 3);
    for (size_t i = 0; i < size_t(image.width) * image.height; ++i) {
        const uint32_t p = image.pixels[i];
        rgb[3 * i] = uint8_t(p), rgb[3 * i + 1] = uint8_t(p >> 8), rgb[3 * i + 2] = uint8_t(p >> 16);
    }
    std::vector<uint8_t> png;
    stbi_write_png_to_func(
        [](void* context, void* data, int size) {
            auto* bytes = static_cast<std::vector<uint8_t>*>(context);
            bytes->insert(bytes->end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
        },
        &png, image.width, image.height, 3, rgb.data(), image.width * 3);
    return png;
}
