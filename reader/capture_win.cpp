// Screen capture through GDI and the conversion of bitmaps into Pixel Buffers.
#include "reader/capture_win.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

#include "reader/locator.h"

namespace {
// Larger bitmaps are not read: their pixel count would not fit the buffer's 32-bit count.
constexpr int64_t kMaxPixels = INT32_MAX / 4;

// The section kept between copies grows to the largest width and height asked for, up to this
// many pixels; a larger copy gets a section of its own size.
constexpr int64_t kKeptSectionPixels = 1 << 20;

uint32_t ValueOfBgrx(uint32_t bgrx) {
    // Memory order blue, green, red, unused: as a little-endian word 0xXXRRGGBB.
    return ((bgrx & 0xFFu) << 16) | (bgrx & 0xFF00u) | ((bgrx >> 16) & 0xFFu);
}

BITMAPINFO TopDown32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// Copies areas of the display into one device-independent section, selected into a memory context
// for the life of the fetcher.
class DisplayFetcher final : public ScreenFetcher {
public:
    // A display context of its own: the screen's common one, asked for by several workers at once,
    // has held an action up for two seconds under Wine.
    DisplayFetcher()
        : display_(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr)),
          memory_(display_ ? CreateCompatibleDC(display_.get()) : nullptr) {}
    ~DisplayFetcher() override {
        if (original_) SelectObject(memory_.get(), original_);
        if (section_) DeleteObject(section_);
    }

    bool Fetch(const ScreenArea& area, uint32_t* out) override {
        if (!memory_ || !Fit(area.width, area.height)) return false;
        if (!BitBlt(memory_.get(), 0, 0, area.width, area.height, display_.get(), area.x, area.y, SRCCOPY))
            return false;
        GdiFlush();  // the section's memory is read directly
        for (int32_t row = 0; row < area.height; ++row) {
            const uint32_t* from = bits_ + int64_t(row) * sectionWidth_;
            uint32_t* to = out + int64_t(row) * area.width;
            for (int32_t x = 0; x < area.width; ++x) to[x] = ValueOfBgrx(from[x]);
        }
        return true;
    }

private:
    // Makes the section at least width x height.
    bool Fit(int width, int height) {
        if (section_ && width <= sectionWidth_ && height <= sectionHeight_) return true;
        int w = std::max(width, sectionWidth_), h = std::max(height, sectionHeight_);
        if (int64_t(w) * h > kKeptSectionPixels) w = width, h = height;
        BITMAPINFO info = TopDown32(w, h);
        void* bits = nullptr;
        HBITMAP made = CreateDIBSection(display_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (!made || !bits) {
            if (made) DeleteObject(made);
            return false;
        }
        HGDIOBJ previous = SelectObject(memory_.get(), made);
        if (!previous || previous == HGDI_ERROR) {
            DeleteObject(made);
            return false;
        }
        if (section_)
            DeleteObject(section_);  // unselected by the selection above
        else
            original_ = previous;
        section_ = made;
        bits_ = static_cast<const uint32_t*>(bits);
        sectionWidth_ = w, sectionHeight_ = h;
        return true;
    }

    OwnedDC display_;
    OwnedDC memory_;
    HGDIOBJ original_ = nullptr;  // the memory context's own bitmap, selected back at the end
    HBITMAP section_ = nullptr;
    const uint32_t* bits_ = nullptr;
    int sectionWidth_ = 0, sectionHeight_ = 0;
};

HBITMAP CopyRectInternal(HBITMAP source, int x, int y, int width, int height) {
    BorrowedDC screen(nullptr);
    if (!screen) return nullptr;
    OwnedDC sourceDC(CreateCompatibleDC(screen.get()));
    OwnedDC targetDC(CreateCompatibleDC(screen.get()));
    OwnedBitmap target(CreateCompatibleBitmap(screen.get(), width, height));
    if (!sourceDC || !targetDC || !target) return nullptr;
    {
        Selection sourceSel(sourceDC.get(), source);
        Selection targetSel(targetDC.get(), target.get());
        if (!sourceSel || !targetSel) return nullptr;
        if (!BitBlt(targetDC.get(), 0, 0, width, height, sourceDC.get(), x, y, SRCCOPY)) return nullptr;
    }
    return target.release();
}
}  // namespace

std::unique_ptr<SparseScreen> OpenScreen() {
    return std::make_unique<SparseScreen>(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                          std::make_unique<DisplayFetcher>());
}

PixelBuffer CaptureScreenPixels() {
    OwnedBitmap screen(CaptureScreen());
    return screen ? MakePixelBuffer(screen.get()) : PixelBuffer();
}

HBITMAP MakeBitmap(const PixelBuffer& pixels) {
    if (pixels.width <= 0 || pixels.height <= 0 ||
        ReadableCount(pixels) < int64_t(pixels.width) * pixels.height)
        return nullptr;
    std::vector<uint32_t> bgrx(pixels.pixels.begin(),
                               pixels.pixels.begin() + int64_t(pixels.width) * pixels.height);
    for (uint32_t& v : bgrx) v = ValueOfBgrx(v);  // the same swap of the outer bytes, both ways
    BorrowedDC screen(nullptr);
    if (!screen) return nullptr;
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.get(), pixels.width, pixels.height));
    BITMAPINFO info = TopDown32(pixels.width, pixels.height);
    if (!bitmap || SetDIBits(screen.get(), bitmap.get(), 0, UINT(pixels.height), bgrx.data(), &info,
                             DIB_RGB_COLORS) != pixels.height)
        return nullptr;
    return bitmap.release();
}

HBITMAP CaptureScreen() {
    OwnedDC display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!display) return nullptr;
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    OwnedDC memory(CreateCompatibleDC(display.get()));
    OwnedBitmap bitmap(CreateCompatibleBitmap(display.get(), width, height));
    if (!memory || !bitmap) return nullptr;
    {
        Selection selected(memory.get(), bitmap.get());
        // A failed copy would hand out a bitmap of undefined content as if it were the screen.
        if (!selected || !BitBlt(memory.get(), 0, 0, width, height, display.get(), 0, 0, SRCCOPY))
            return nullptr;
    }
    return bitmap.release();
}

PixelBuffer MakePixelBuffer(HBITMAP bitmap) {
    BITMAP info{};
    if (!bitmap || GetObjectW(bitmap, sizeof info, &info) != int(sizeof info)) return PixelBuffer();
    const int32_t width = info.bmWidth;
    const int32_t height = std::abs(info.bmHeight);
    if (width <= 0 || height <= 0 || int64_t(width) * height > kMaxPixels) return PixelBuffer();

    BITMAPINFO request = TopDown32(width, height);

    // At 32 bits per pixel the row stride ((32 * width + 31) / 32) * 4 is width * 4: no gaps.
    std::vector<uint32_t> bits(size_t(width) * size_t(height));
    int rows = 0;
    {
        BorrowedDC screen(nullptr);
        if (screen)
            rows = GetDIBits(screen.get(), bitmap, 0, UINT(height), bits.data(), &request, DIB_RGB_COLORS);
    }
    PixelBuffer buffer(width, height);
    if (rows != height) return buffer;  // unreadable: every read is 0
    for (size_t i = 0; i < bits.size(); ++i) buffer.pixels[i] = ValueOfBgrx(bits[i]);
    return buffer;
}

HBITMAP LocateTooltip(HBITMAP screen, POINTS* position) {
    TooltipRect found;
    {
        const PixelBuffer pixels = MakePixelBuffer(screen);
        PixelBuffer body;
        if (!LocateTooltip(pixels, body, nullptr, &found)) return nullptr;
    }
    HBITMAP tooltip = CopyBitmapRect(screen, found.x, found.y, found.width, found.height);
    if (tooltip && position) *position = POINTS{SHORT(found.x), SHORT(found.y)};
    return tooltip;
}

HBITMAP CopyBitmapRect(HBITMAP source, int x, int y, int width, int height) {
    return CopyRectInternal(source, x, y, width, height);
}
