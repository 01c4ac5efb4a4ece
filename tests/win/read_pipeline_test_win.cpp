// The whole Windows reading path on a real display: a composed tooltip shown in a window is
// captured, located, cut out as a bitmap and parsed, and must read exactly like the picture.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "reader/capture_win.h"
#include "reader/glyphs.h"
#include "reader/parser.h"
#include "tests/win/test_window.h"
#include "tools/compose/compose.h"

namespace {

constexpr POINT kWindowPos = {200, 120};
constexpr int kMargin = 10;  // grey around the tooltip inside the window
const PixelBuffer* gPicture = nullptr;

// The chest armour of the reading examples: intelligence +82, an unknown line, all resistance
// +51, life +9%, magic find 18%, two gems of intelligence +46.
TooltipScene ChestScene() {
    TooltipScene s;
    s.width = 450, s.height = 700, s.kind = 6;
    s.lines = {OptionLine(7, "82"),  RawLine(60, "12"),    OptionLine(15, "51"), OptionLine(13, "9"),
               OptionLine(14, "18"), OptionLine(35, "46"), OptionLine(35, "46")};
    return s;
}

// Paints the composed picture 1:1 with one device-independent transfer.
void PaintPicture(HDC dc, const RECT& client) {
    OwnedBrush grey(CreateSolidBrush(RGB(0x80, 0x80, 0x80)));
    FillRect(dc, &client, grey.get());
    const PixelBuffer& p = *gPicture;
    std::vector<uint32_t> bgrx(p.pixels.size());
    for (size_t i = 0; i < bgrx.size(); ++i) {
        const uint32_t v = p.pixels[i];  // 0x00BBGGRR
        bgrx[i] = (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = p.width;
    info.bmiHeader.biHeight = -p.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, kMargin, kMargin, DWORD(p.width), DWORD(p.height), 0, 0, 0, UINT(p.height),
                      bgrx.data(), &info, DIB_RGB_COLORS);
}

std::vector<std::u16string> gAlerts;
void RecordAlert(PopupTarget target, const PopupRequest& request) {
    if (target == PopupTarget::Alert) gAlerts.emplace_back(request.text);
}

TEST(ReadPipeline, CapturedTooltipReadsExactlyLikeItsPicture) {
    std::string error;
    ASSERT_TRUE(LoadGlyphTemplates(error)) << error;
    PixelBuffer picture;
    ASSERT_TRUE(ComposeTooltip(ChestScene(), picture, error)) << error;
    gPicture = &picture;

    HWND window = ShowPaintedWindow(PaintPicture, kWindowPos.x, kWindowPos.y, picture.width + 2 * kMargin,
                                    picture.height + 2 * kMargin);
    ASSERT_NE(window, nullptr);

    // Wait until the display shows the tooltip, then take the screen as an action would.
    PopupDelivery previous = SetPopupDelivery(RecordAlert);
    POINTS position = {-1, -1};
    HBITMAP found = nullptr;
    for (int attempt = 0; attempt < 50 && !found; ++attempt) {
        PumpMessages();
        Sleep(100);
        OwnedBitmap screen(CaptureScreen());
        found = LocateTooltip(screen.get(), &position);
    }
    OwnedBitmap tooltip(found);
    ASSERT_TRUE(tooltip) << "the tooltip never reached the screen";
    EXPECT_EQ(position.x, kWindowPos.x + kMargin);
    EXPECT_EQ(position.y, kWindowPos.y + kMargin);

    // Pixel for pixel what was painted, so the glyphs match as they do in the picture.
    const PixelBuffer cut = MakePixelBuffer(tooltip.get());
    ASSERT_EQ(cut.width, picture.width);
    ASSERT_EQ(cut.height, picture.height);
    EXPECT_TRUE(cut.pixels == picture.pixels);

    gSettings = Settings{};
    gProfile = DefaultProfile();
    gAlerts.clear();
    const ItemRecord item = ParseItem(&cut, 0);
    SetPopupDelivery(previous);
    DestroyWindow(window);
    PumpMessages();

    EXPECT_TRUE(gAlerts.empty());
    EXPECT_EQ(item.kind, 6);
    float expected[kStatCount] = {};
    expected[kIntelligence] = 174, expected[kLifePercent] = 9, expected[kMagicFind] = 18;
    expected[kAllResistance] = 51;
    for (int s = 0; s < kStatCount; ++s) EXPECT_EQ(item.stats[s], expected[s]) << "stat " << s;
}

}  // namespace
