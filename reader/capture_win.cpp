// Screen capture through GDI and the conversion of bitmaps into Pixel Buffers.
#include "reader/capture_win.h"

#include <climits>
#include <cstdlib>
#include <vector>

#include "reader/locator.h"

namespace {
// Larger bitmaps are not read: their pixel count would not fit the buffer's 32-bit count.
constexpr int64_t kMaxPixels = INT32_MAX / 4;

uint32_t ValueOfBgrx(uint32_t bgrx) {
    // Memory order blue, green, red, unused: as a little-endian word 0xXXRRGGBB.
    return ((bgrx & 0xFFu) << 16) | (bgrx & 0xFF00u) | ((bgrx >> 16) & 0xFFu);
}

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

    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    request.bmiHeader.biWidth = width;
    request.bmiHeader.biHeight = -height;  // top-down rows
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;

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
