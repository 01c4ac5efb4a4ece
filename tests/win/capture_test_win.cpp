// Screen capture, bitmap reading and the locator over bitmaps, checked against a window of known
// colours shown on the (virtual) display.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/status.h"
#include "reader/capture_win.h"
#include "reader/locator.h"
#include "tests/win/test_window.h"

namespace {

constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);

// The test window's client area: a grey ground with colour swatches along the top and a black
// body of the smallest size the locator accepts, with grey right of and below it.
struct Swatch {
    RECT rect;
    COLORREF colour;
};
constexpr Swatch kSwatches[] = {
    {{10, 10, 50, 50}, RGB(255, 0, 0)},       {{60, 10, 100, 50}, RGB(0, 0, 255)},
    {{110, 10, 150, 50}, RGB(255, 255, 255)}, {{160, 10, 200, 50}, kGrey},
    {{20, 70, 321, 271}, RGB(0, 0, 0)},
};
constexpr RECT kBlackBody = {20, 70, 321, 271};
constexpr int kClientWidth = 360, kClientHeight = 300;
constexpr POINT kWindowPos = {40, 60};

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
    OwnedBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

void PaintSwatches(HDC dc, const RECT& client) {
    FillColour(dc, client, kGrey);
    for (const Swatch& s : kSwatches) FillColour(dc, s.rect, s.colour);
}

uint32_t ValueOf(COLORREF colour) {
    return uint32_t(colour) & 0xFFFFFFu;
}

// Alerts raised through the status seam while a test runs.
std::vector<std::u16string> gAlerts;
void RecordPopup(PopupTarget target, const PopupRequest& request) {
    if (target == PopupTarget::Alert) gAlerts.emplace_back(request.text);
}

// A bitmap of the given size filled with `ground`, with `black` (if not empty) painted pure black.
HBITMAP MakeTestBitmap(int width, int height, COLORREF ground, RECT black) {
    BorrowedDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen.get()));
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
    Selection selected(memory.get(), bitmap);
    RECT all = {0, 0, width, height};
    FillColour(memory.get(), all, ground);
    if (!IsRectEmpty(&black)) FillColour(memory.get(), black, RGB(0, 0, 0));
    return bitmap;
}

// A 32-bit DIB section of 3 x 2 pixels whose memory holds `bgrx` (six words, rows in memory
// order), top-down when `topDown`.
HBITMAP MakeDibSection(bool topDown, const uint32_t (&bgrx)[6]) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = topDown ? -2 : 2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (dib) {
        for (int i = 0; i < 6; ++i) static_cast<uint32_t*>(bits)[i] = bgrx[i];
        GdiFlush();
    }
    return dib;
}

class ScreenCapture : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        window_ = ShowPaintedWindow(PaintSwatches, kWindowPos.x, kWindowPos.y, kClientWidth, kClientHeight);
        // The display shows the window some time after it is painted: wait until the first
        // swatch's colour reaches the screen (or give up after a few seconds).
        for (int attempt = 0; attempt < 50; ++attempt) {
            PumpMessages();
            Sleep(100);
            OwnedBitmap screen(CaptureScreen());
            PixelBuffer pixels = MakePixelBuffer(screen.get());
            POINT p = ToScreen(kSwatches[0].rect.left, kSwatches[0].rect.top);
            if (PixelAt(pixels, p.x, p.y) == ValueOf(kSwatches[0].colour)) break;
        }
    }
    static void TearDownTestSuite() {
        DestroyWindow(window_);
        PumpMessages();
    }
    static POINT ToScreen(int x, int y) {
        POINT p = {x, y};
        ClientToScreen(window_, &p);
        return p;
    }
    static HWND window_;
};
HWND ScreenCapture::window_ = nullptr;

TEST_F(ScreenCapture, ImageHasTheScreenSizeAndIsReturnedUnselected) {
    ASSERT_NE(window_, nullptr);
    OwnedBitmap screen(CaptureScreen());
    ASSERT_TRUE(screen);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(screen.get(), sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(info.bmHeight, GetSystemMetrics(SM_CYSCREEN));
    // A bitmap still selected into another context could not be selected here.
    OwnedDC memory(CreateCompatibleDC(nullptr));
    Selection selected(memory.get(), screen.get());
    EXPECT_TRUE(selected);
}

TEST_F(ScreenCapture, PaintedColoursReadAsColourReferences) {
    OwnedBitmap screen(CaptureScreen());
    PixelBuffer pixels = MakePixelBuffer(screen.get());
    ASSERT_EQ(pixels.width, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(pixels.height, GetSystemMetrics(SM_CYSCREEN));
    ASSERT_EQ(pixels.count, pixels.width * pixels.height);
    EXPECT_EQ(ValueOf(kSwatches[0].colour), 0x0000FFu);  // pure red
    EXPECT_EQ(ValueOf(kSwatches[1].colour), 0xFF0000u);  // pure blue
    for (const Swatch& s : kSwatches) {
        int wrong = 0;
        for (int y = s.rect.top; y < s.rect.bottom; ++y)
            for (int x = s.rect.left; x < s.rect.right; ++x) {
                POINT p = ToScreen(x, y);
                wrong += PixelAt(pixels, p.x, p.y) != ValueOf(s.colour);
            }
        POINT corner = ToScreen(s.rect.left, s.rect.top);
        EXPECT_EQ(wrong, 0) << "swatch at " << s.rect.left << "," << s.rect.top << " reads " << std::hex
                            << PixelAt(pixels, corner.x, corner.y);
    }
    POINT ground = ToScreen(5, 5);
    EXPECT_EQ(PixelAt(pixels, ground.x, ground.y), 0x808080u);
}

TEST_F(ScreenCapture, UnchangedScreenCapturesAreEqual) {
    OwnedBitmap first(CaptureScreen());
    OwnedBitmap second(CaptureScreen());
    ASSERT_TRUE(first && second);
    EXPECT_NE(first.get(), second.get());
    PixelBuffer a = MakePixelBuffer(first.get());
    PixelBuffer b = MakePixelBuffer(second.get());
    ASSERT_GT(a.count, 0);
    EXPECT_EQ(a.width, b.width);
    EXPECT_EQ(a.count, b.count);
    EXPECT_TRUE(a.pixels == b.pixels);
}

TEST_F(ScreenCapture, LocatorFindsTheWindowsBlackBodyOnScreen) {
    PopupDelivery previous = SetPopupDelivery(RecordPopup);
    gAlerts.clear();
    OwnedBitmap screen(CaptureScreen());
    POINTS position = {-1, -1};
    OwnedBitmap tooltip(LocateTooltip(screen.get(), &position));
    SetPopupDelivery(previous);
    ASSERT_TRUE(tooltip);
    POINT corner = ToScreen(kBlackBody.left, kBlackBody.top);
    EXPECT_EQ(position.x, corner.x);
    EXPECT_EQ(position.y, corner.y);
    PixelBuffer cut = MakePixelBuffer(tooltip.get());
    EXPECT_EQ(cut.width, 301);
    EXPECT_EQ(cut.height, 201);
    EXPECT_TRUE(gAlerts.empty());
}

// The screen read by areas, as an action reads it: the same body as in the whole screen, cut to
// the same pixels, every copied pixel as the whole capture has it (the one section reused for
// rows, column stretches and the cut), and a small part of the screen copied.
TEST_F(ScreenCapture, ScreenReadByAreasFindsTheBodyCopyingLittle) {
    std::unique_ptr<SparseScreen> screen = OpenScreen();
    ASSERT_EQ(screen->Width(), GetSystemMetrics(SM_CXSCREEN));
    ASSERT_EQ(screen->Height(), GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(screen->FetchedPixels(), 0);
    TooltipRect rect, expect;
    ASSERT_TRUE(FindTooltip(*screen, rect));
    const PixelBuffer cut = CropScreen(*screen, rect);
    const PixelBuffer whole = CaptureScreenPixels();
    ASSERT_TRUE(FindTooltip(whole, expect));
    const POINT corner = ToScreen(kBlackBody.left, kBlackBody.top);
    EXPECT_TRUE(rect.x == corner.x && rect.y == corner.y && rect.width == 301 && rect.height == 201);
    EXPECT_TRUE(rect.x == expect.x && rect.y == expect.y && rect.width == expect.width &&
                rect.height == expect.height);
    EXPECT_TRUE(cut.pixels == CropPixels(whole, rect.x, rect.y, rect.width, rect.height).pixels);
    PixelBuffer pasted = whole;
    screen->PasteInto(pasted);
    EXPECT_TRUE(pasted.pixels == whole.pixels);
    EXPECT_FALSE(screen->Failed());
    EXPECT_GT(screen->Fetches(), 2);
    EXPECT_LT(screen->FetchedPixels(), int64_t(whole.count) / 4);
}

TEST(MakePixelBuffer, TopDownDibSectionReadsInRowOrderIgnoringTheFourthByte) {
    // Memory words 0xXXRRGGBB; the fourth byte is set to show it never takes part.
    const uint32_t bgrx[6] = {0xAB0000FF, 0xAB00FF00, 0xABFF0000, 0x00FFFFFF, 0x00000000, 0xFF123456};
    OwnedBitmap dib(MakeDibSection(true, bgrx));
    ASSERT_TRUE(dib);
    PixelBuffer b = MakePixelBuffer(dib.get());
    ASSERT_EQ(b.width, 3);
    ASSERT_EQ(b.height, 2);
    ASSERT_EQ(b.count, 6);
    const uint32_t expected[6] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x563412};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(b.pixels[i], expected[i]) << "pixel " << i;
    EXPECT_EQ(PixelAt(b, 3, 0), 0xFFFFFFu);  // past the row end reads the next row
}

TEST(MakePixelBuffer, BottomUpDibSectionComesOutTopDown) {
    const uint32_t bgrx[6] = {0x000000FF, 0x000000FF, 0x000000FF, 0x00FF0000, 0x00FF0000, 0x00FF0000};
    OwnedBitmap dib(MakeDibSection(false, bgrx));
    ASSERT_TRUE(dib);
    PixelBuffer b = MakePixelBuffer(dib.get());
    ASSERT_EQ(b.count, 6);
    // Memory row 0 is the bottom row of a bottom-up bitmap.
    EXPECT_EQ(PixelAt(b, 0, 0), 0x0000FFu);
    EXPECT_EQ(PixelAt(b, 2, 1), 0xFF0000u);
}

TEST(MakePixelBuffer, UnreadableBitmapsReadAsBlack) {
    PixelBuffer none = MakePixelBuffer(nullptr);
    EXPECT_EQ(none.count, 0);
    EXPECT_EQ(PixelAt(none, 0, 0), 0u);

    OwnedBrush brush(CreateSolidBrush(RGB(255, 255, 255)));
    PixelBuffer notBitmap = MakePixelBuffer(reinterpret_cast<HBITMAP>(brush.get()));
    EXPECT_EQ(notBitmap.count, 0);

    HBITMAP deleted = MakeTestBitmap(8, 8, RGB(255, 255, 255), RECT{});
    DeleteObject(deleted);
    PixelBuffer gone = MakePixelBuffer(deleted);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(PixelAt(gone, x, y), 0u);
}

TEST(LocateTooltipBitmap, CutsTheSmallestBlackBodyAndReportsItsCorner) {
    PopupDelivery previous = SetPopupDelivery(RecordPopup);
    gAlerts.clear();
    OwnedBitmap screen(MakeTestBitmap(640, 480, RGB(0x20, 0x40, 0x60), RECT{123, 77, 123 + 301, 77 + 201}));
    const PixelBuffer before = MakePixelBuffer(screen.get());
    POINTS position = {-1, -1};
    OwnedBitmap tooltip(LocateTooltip(screen.get(), &position));
    SetPopupDelivery(previous);

    ASSERT_TRUE(tooltip);
    EXPECT_EQ(position.x, 123);
    EXPECT_EQ(position.y, 77);
    BITMAP info{};
    ASSERT_EQ(GetObjectW(tooltip.get(), sizeof info, &info), int(sizeof info));
    EXPECT_EQ(info.bmWidth, 301);
    EXPECT_EQ(info.bmHeight, 201);
    // Cut from the right place: any offset would bring in the blue-grey ground.
    PixelBuffer cut = MakePixelBuffer(tooltip.get());
    ASSERT_EQ(cut.count, 301 * 201);
    int nonBlack = 0;
    for (uint32_t v : cut.pixels) nonBlack += v != 0;
    EXPECT_EQ(nonBlack, 0);
    EXPECT_TRUE(gAlerts.empty());
    // The screen image is only read: still a valid bitmap with the same pixels.
    EXPECT_TRUE(MakePixelBuffer(screen.get()).pixels == before.pixels);
}

TEST(LocateTooltipBitmap, NoTooltipRaisesTheAlertAndLeavesThePositionAlone) {
    PopupDelivery previous = SetPopupDelivery(RecordPopup);
    gAlerts.clear();
    // One pixel too narrow.
    OwnedBitmap screen(MakeTestBitmap(640, 480, RGB(0x20, 0x40, 0x60), RECT{123, 77, 123 + 300, 77 + 201}));
    POINTS position = {-7, -9};
    HBITMAP tooltip = LocateTooltip(screen.get(), &position);
    // Without a bitmap at all the search finds nothing too.
    HBITMAP fromNothing = LocateTooltip(nullptr, nullptr);
    SetPopupDelivery(previous);

    EXPECT_EQ(tooltip, nullptr);
    EXPECT_EQ(fromNothing, nullptr);
    EXPECT_EQ(position.x, -7);
    EXPECT_EQ(position.y, -9);
    ASSERT_EQ(gAlerts.size(), 2u);
    EXPECT_EQ(gAlerts[0], kAlertNoTooltip);
    EXPECT_EQ(gAlerts[1], kAlertNoTooltip);
}

}  // namespace
