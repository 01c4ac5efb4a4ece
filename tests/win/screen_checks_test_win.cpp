// The checks on each capture, on the real (virtual) display: the display's physical size agrees
// with the program's own capture when nothing scales it, and a screen covered in black is told
// apart from an ordinary one.
#include <gtest/gtest.h>

#include "reader/capture_win.h"
#include "tests/win/test_window.h"
#include "win/screen_checks_win.h"

namespace {

void PaintBlack(HDC dc, const RECT& client) {
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void PaintFaintest(HDC dc, const RECT& client) {
    OwnedBrush brush(CreateSolidBrush(RGB(1, 1, 1)));  // the faintest colour there is
    FillRect(dc, &client, brush.get());
}

PixelBuffer CaptureNow() {
    OwnedBitmap screen(CaptureScreen());
    return screen ? MakePixelBuffer(screen.get()) : PixelBuffer();
}

// Captures until `done` holds for the capture (the display shows a window some time after it is
// painted), for a few seconds at most; returns the last capture.
template <class Done>
PixelBuffer CaptureUntil(Done done) {
    PixelBuffer pixels;
    for (int attempt = 0; attempt < 50; ++attempt) {
        PumpMessages();
        pixels = CaptureNow();
        if (done(pixels)) break;
        Sleep(100);
    }
    return pixels;
}

TEST(PhysicalDisplaySize, IsTheSizeOfTheCaptureOnAnUnscaledDisplay) {
    const DisplaySize display = PhysicalDisplaySize();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), display.width);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), display.height);
    const PixelBuffer pixels = CaptureNow();
    ASSERT_GT(pixels.count, 0);
    EXPECT_EQ(pixels.width, display.width);
    EXPECT_EQ(pixels.height, display.height);
    EXPECT_FALSE(IsScaledCapture(pixels.width, pixels.height, display.width, display.height));
}

// A screen-wide window of the desktop's grey is shown first, since an empty display may read black.
class ScreenChecks : public ::testing::Test {
protected:
    void SetUp() override {
        w_ = GetSystemMetrics(SM_CXSCREEN), h_ = GetSystemMetrics(SM_CYSCREEN);
        ground_ = ShowPaintedWindow(PaintGrey, 0, 0, w_, h_);
        ASSERT_NE(nullptr, ground_);
        const int w = w_, h = h_;
        ground = CaptureUntil([w, h](const PixelBuffer& p) { return PixelAt(p, w / 2, h / 2) == kGrey; });
        ASSERT_EQ(kGrey, PixelAt(ground, w_ / 2, h_ / 2)) << "the grey window did not reach the screen";
    }
    void TearDown() override {
        if (ground_) DestroyWindow(ground_);
        PumpMessages();
    }
    static constexpr uint32_t kGrey = 0x808080;
    static void PaintGrey(HDC dc, const RECT& client) {
        OwnedBrush brush(CreateSolidBrush(RGB(0x80, 0x80, 0x80)));
        FillRect(dc, &client, brush.get());
    }
    int w_ = 0, h_ = 0;
    HWND ground_ = nullptr;
    PixelBuffer ground;
};

TEST_F(ScreenChecks, AnOrdinaryScreenHasNoProblem) {
    EXPECT_FALSE(IsAllBlack(ground));
    EXPECT_EQ(CaptureProblem::kNone, CheckScreenCapture(ground));
}

TEST_F(ScreenChecks, AScreenCoveredInBlackIsABlackCaptureAndOneLitCornerIsNot) {
    HWND black = ShowPaintedWindow(PaintBlack, 0, 0, w_, h_);
    ASSERT_NE(nullptr, black);
    const PixelBuffer covered = CaptureUntil([](const PixelBuffer& p) { return IsAllBlack(p); });
    EXPECT_EQ(CaptureProblem::kBlack, CheckScreenCapture(covered));

    // The faintest colour in a 2 x 2 corner is enough for the screen to be read as usual.
    HWND corner = ShowPaintedWindow(PaintFaintest, w_ - 2, h_ - 2, 2, 2);
    ASSERT_NE(nullptr, corner);
    const PixelBuffer lit = CaptureUntil([](const PixelBuffer& p) { return !IsAllBlack(p); });
    EXPECT_EQ(RGB(1, 1, 1), PixelAt(lit, w_ - 1, h_ - 1));
    EXPECT_EQ(CaptureProblem::kNone, CheckScreenCapture(lit));
    DestroyWindow(corner);
    DestroyWindow(black);
}

}  // namespace
