// The popups as windows: requests delivered from a worker thread, placement, the opacity and
// position of each tick, class recolouring, clicks, the modified-stats lines, fade and drag. The
// timers are stopped and their ticks sent by hand, so every step is checked exactly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "app/popup_timing.h"
#include "calc/formulas.h"
#include "tests/win/test_window.h"
#include "win/overlay_win.h"
#include "win/popups_win.h"

namespace {

void RegisterTestClass(const wchar_t* name, WNDPROC proc) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

// Runs `work` on a worker thread while this thread serves only the messages sent to its windows,
// as the program's thread does; posted timer ticks stay queued.
void OnWorker(void (*work)()) {
    HANDLE thread = CreateThread(
        nullptr, 0, [](void* w) -> DWORD { return reinterpret_cast<void (*)()>(w)(), 0; },
        reinterpret_cast<void*>(work), 0, nullptr);
    ASSERT_NE(thread, nullptr);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 5000, QS_SENDMESSAGE) != WAIT_OBJECT_0) {
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(thread);
}

int AlphaOf(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    GetLayeredWindowAttributes(window, nullptr, &alpha, &flags);
    return alpha;
}

RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// Stops the real timer and sends `n` ticks by hand.
void Tick(HWND window, int n) {
    KillTimer(window, 1);
    for (int i = 0; i < n; ++i) SendMessageW(window, WM_TIMER, 1, 0);
}

COLORREF ClassBrushColour(HWND window) {
    LOGBRUSH lb{};
    GetObjectW(reinterpret_cast<HBRUSH>(GetClassLongPtrW(window, GCLP_HBRBACKGROUND)), sizeof lb, &lb);
    return lb.lbColor;
}

class Popups : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        RegisterTestClass(kNoticePopupClassName, NoticePopupProc);
        RegisterTestClass(kModifiedStatsPopupClassName, ModifiedStatsPopupProc);
        CreatePopupWindows(GetModuleHandleW(nullptr));
        InstallPopupDelivery();
    }
    void TearDown() override {
        HidePopup(gAlertPopup);
        HidePopup(gNoticePopup);
        HidePopup(gModifiedStatsPopup);
        PumpMessages();
    }
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
};

TEST_F(Popups, CreatedHiddenWithTheirTitlesAndStyles) {
    ASSERT_NE(gAlertPopup, nullptr);
    ASSERT_NE(gNoticePopup, nullptr);
    ASSERT_NE(gModifiedStatsPopup, nullptr);
    EXPECT_EQ(FindWindowW(kNoticePopupClassName, L"Tallywick Alert Popup"), gAlertPopup);
    EXPECT_EQ(FindWindowW(kNoticePopupClassName, L"Tallywick Notice Popup"), gNoticePopup);
    EXPECT_EQ(FindWindowW(kModifiedStatsPopupClassName, L"Tallywick Popup"), gModifiedStatsPopup);
    for (HWND w : {gAlertPopup, gNoticePopup, gModifiedStatsPopup}) {
        EXPECT_FALSE(IsWindowVisible(w));
        const LONG_PTR ex = GetWindowLongPtrW(w, GWL_EXSTYLE);
        EXPECT_TRUE(ex & WS_EX_LAYERED);
        EXPECT_TRUE(ex & WS_EX_TOPMOST);
        EXPECT_EQ(bool(ex & WS_EX_NOACTIVATE), w != gModifiedStatsPopup);
        EXPECT_TRUE(GetWindowLongPtrW(w, GWL_STYLE) & WS_BORDER);
    }
    RECT r = RectOf(gModifiedStatsPopup);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right - r.left, 180);
    EXPECT_EQ(r.bottom - r.top, 75);
}

// An alert from a worker: taken before the worker goes on, centred, fading 25 per tick.
TEST_F(Popups, AlertFromWorkerIsCentredAndFadesInHoldsAndOut) {
    OnWorker([] { ShowAlert(u"툴팁을 발견하지 못하였음."); });
    ASSERT_TRUE(IsWindowVisible(gAlertPopup));
    EXPECT_EQ(PopupText(gAlertPopup), u"툴팁을 발견하지 못하였음.");
    const RECT r = RectOf(gAlertPopup);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_GT(w, 2 * kPopupMarginX + 50);  // the text's width plus the margins
    EXPECT_GT(h, 2 * kPopupMarginY);
    EXPECT_EQ(r.left, screenWidth / 2 - w / 2);
    EXPECT_EQ(r.top, screenHeight / 2 - h / 2);
    EXPECT_EQ(AlphaOf(gAlertPopup), 0);
    EXPECT_EQ(ClassBrushColour(gAlertPopup), RGB(255, 153, 153));

    Tick(gAlertPopup, 1);
    EXPECT_EQ(AlphaOf(gAlertPopup), 25);
    Tick(gAlertPopup, 9);
    EXPECT_EQ(AlphaOf(gAlertPopup), 250);
    Tick(gAlertPopup, 100);
    EXPECT_EQ(AlphaOf(gAlertPopup), 250);
    EXPECT_TRUE(IsWindowVisible(gAlertPopup));
    Tick(gAlertPopup, 10);
    EXPECT_EQ(AlphaOf(gAlertPopup), 0);
    EXPECT_TRUE(IsWindowVisible(gAlertPopup));
    Tick(gAlertPopup, 1);
    EXPECT_FALSE(IsWindowVisible(gAlertPopup));
    EXPECT_EQ(RectOf(gAlertPopup).top, r.top);  // a fading popup never moves
}

// The saved notice slides from below the screen, opaque, and stops where the truncated steps end.
TEST_F(Popups, SavedNoticeSlidesUpAndBackDown) {
    OnWorker([] { ShowSavedNotice(u"C:\\그림\\D3Item_0007.jpg"); });
    ASSERT_TRUE(IsWindowVisible(gNoticePopup));
    EXPECT_EQ(PopupText(gNoticePopup), u"D3Item_0007.jpg 이미지 파일로 저장 되었습니다.");
    const RECT r = RectOf(gNoticePopup);
    const int w = r.right - r.left, h = r.bottom - r.top;
    EXPECT_EQ(r.left, screenWidth / 2 - w / 2);
    EXPECT_EQ(r.top, screenHeight);
    EXPECT_EQ(AlphaOf(gNoticePopup), 255);
    EXPECT_EQ(ClassBrushColour(gNoticePopup), RGB(153, 255, 153));

    const int targetY = screenHeight - h - 50;
    const int step = (targetY - screenHeight) * 10 / 300;
    Tick(gNoticePopup, 30);
    EXPECT_EQ(RectOf(gNoticePopup).top, screenHeight + 30 * step);
    EXPECT_EQ(AlphaOf(gNoticePopup), 255);
    Tick(gNoticePopup, 200 + 30);
    EXPECT_EQ(RectOf(gNoticePopup).top, screenHeight);
    EXPECT_TRUE(IsWindowVisible(gNoticePopup));
    Tick(gNoticePopup, 1);
    EXPECT_FALSE(IsWindowVisible(gNoticePopup));
}

// A new request replaces the old one at once; the shared class brush changes with it, and the
// brush it replaced is gone.
TEST_F(Popups, SecondRequestRestartsAndRecoloursTheSharedClass) {
    ShowAlert(u"첫째");
    Tick(gAlertPopup, 50);
    ASSERT_EQ(AlphaOf(gAlertPopup), 250);
    const auto first = reinterpret_cast<HBRUSH>(GetClassLongPtrW(gAlertPopup, GCLP_HBRBACKGROUND));
    ShowEquipNotice(9);
    EXPECT_EQ(ClassBrushColour(gAlertPopup), RGB(130, 212, 255));  // the other popup of the class
    EXPECT_EQ(GetObjectType(first), 0u);
    ShowAlert(u"둘째 알림");
    EXPECT_EQ(PopupText(gAlertPopup), u"둘째 알림");
    EXPECT_EQ(AlphaOf(gAlertPopup), 0);
    Tick(gAlertPopup, 1);
    EXPECT_EQ(AlphaOf(gAlertPopup), 25);
    EXPECT_EQ(ClassBrushColour(gNoticePopup), RGB(255, 153, 153));
}

// On screen: the alert's ground in its request's colour, with dark text inside the margins.
TEST_F(Popups, AlertPaintsItsColourAndText) {
    ShowAlert(u"아이템 종류 식별 불가.");
    Tick(gAlertPopup, 10);
    UpdateWindow(gAlertPopup);
    PumpMessages();
    Sleep(200);  // the X server shows what was drawn
    PumpMessages();
    const RECT r = RectOf(gAlertPopup);
    BorrowedDC screen(nullptr);
    const COLORREF ground = GetPixel(screen.get(), r.left + 5, r.top + 5);
    EXPECT_NEAR(GetRValue(ground), 250, 6);  // alpha 250 over the black desktop, or opaque
    EXPECT_NEAR(GetGValue(ground), 150, 6);
    EXPECT_NEAR(GetBValue(ground), 150, 6);
    int dark = 0;
    for (int y = r.top + kPopupMarginY; y < r.bottom - kPopupMarginY; ++y)
        for (int x = r.left + kPopupMarginX; x < r.right - kPopupMarginX; ++x)
            if (GetRValue(GetPixel(screen.get(), x, y)) < 80) ++dark;
    EXPECT_GT(dark, 50);
    if (const char* keep = std::getenv("TALLYWICK_KEEP_POPUP")) {
        // A copy of the popup's area for a person to look at.
        OwnedDC memory(CreateCompatibleDC(screen.get()));
        OwnedBitmap shot(CreateCompatibleBitmap(screen.get(), r.right - r.left, r.bottom - r.top));
        {
            Selection selected(memory.get(), shot.get());
            BitBlt(memory.get(), 0, 0, r.right - r.left, r.bottom - r.top, screen.get(), r.left, r.top,
                   SRCCOPY);
        }
        HANDLE f = CreateFileA(keep, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        std::vector<uint8_t> bytes(size_t(4) * (r.right - r.left) * (r.bottom - r.top));
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right - r.left, r.bottom - r.top, 1, 32, BI_RGB};
        GetDIBits(screen.get(), shot.get(), 0, UINT(r.bottom - r.top), bytes.data(), &info, DIB_RGB_COLORS);
        BITMAPFILEHEADER fh{0x4D42, DWORD(54 + bytes.size()), 0, 0, 54};
        DWORD n;
        WriteFile(f, &fh, 14, &n, nullptr);
        WriteFile(f, &info.bmiHeader, 40, &n, nullptr);
        WriteFile(f, bytes.data(), DWORD(bytes.size()), &n, nullptr);
        CloseHandle(f);
    }
}

TEST_F(Popups, ClicksDismissOnlyTheAlert) {
    ShowAlert(u"알림");
    ShowEquipNotice(9);
    SendMessageW(gNoticePopup, WM_RBUTTONDOWN, 0, 0);
    SendMessageW(gNoticePopup, WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(IsWindowVisible(gNoticePopup));
    SendMessageW(gAlertPopup, WM_RBUTTONDOWN, 0, 0);
    EXPECT_FALSE(IsWindowVisible(gAlertPopup));
    ShowAlert(u"알림");
    SendMessageW(gAlertPopup, WM_LBUTTONDOWN, 0, 0);
    EXPECT_FALSE(IsWindowVisible(gAlertPopup));
}

// The dispatcher hides the alert from its worker: the timer stops too, so no tick brings it back.
TEST_F(Popups, HideFromWorkerStopsTheAnimation) {
    ShowAlert(u"알림");
    OnWorker([] { HidePopup(gAlertPopup); });
    EXPECT_FALSE(IsWindowVisible(gAlertPopup));
    Sleep(50);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, gAlertPopup, WM_TIMER, WM_TIMER, PM_NOREMOVE));
}

TEST_F(Popups, ModifiedStatsLinesFadeInOver13Ticks) {
    gCalc.current.v[kSumDamage] = 1000.0f;
    gCalc.modified.v[kSumDamage] = 987.5f;
    gCalc.current.v[kSumLife] = gCalc.modified.v[kSumLife] = 30000.0f;
    gCalc.current.v[kSumAllResistance] = 100.0f;
    gCalc.modified.v[kSumAllResistance] = 160.4f;
    OnWorker(ShowModifiedStats);
    ASSERT_TRUE(IsWindowVisible(gModifiedStatsPopup));
    StatDeltaText lines[3];
    ModifiedStatsLines(lines);
    EXPECT_EQ(std::u16string(lines[0].text), u"▼ 12.50");
    EXPECT_EQ(lines[0].colour, RGB(0, 0, 230));
    EXPECT_EQ(std::u16string(lines[1].text), u"▲ 0");
    EXPECT_EQ(lines[1].colour, RGB(0, 0, 0));
    EXPECT_EQ(std::u16string(lines[2].text), u"▲ 60");
    EXPECT_EQ(lines[2].colour, RGB(220, 0, 0));
    EXPECT_EQ(AlphaOf(gModifiedStatsPopup), 0);
    Tick(gModifiedStatsPopup, 12);
    EXPECT_EQ(AlphaOf(gModifiedStatsPopup), 240);
    Tick(gModifiedStatsPopup, 1);
    EXPECT_EQ(AlphaOf(gModifiedStatsPopup), 255);
    SendMessageW(gModifiedStatsPopup, WM_RBUTTONDOWN, 0, 0);
    EXPECT_FALSE(IsWindowVisible(gModifiedStatsPopup));
}

TEST_F(Popups, ModifiedStatsDragsWithTheCursorAndKeepsItsSize) {
    ShowModifiedStats();
    SetWindowPos(gModifiedStatsPopup, nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetCursorPos(40, 30);
    POINT at;
    GetCursorPos(&at);
    if (at.x != 40 || at.y != 30) GTEST_SKIP() << "the cursor cannot be placed on this display";
    SendMessageW(gModifiedStatsPopup, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(29, 19));
    SetCursorPos(240, 330);
    SendMessageW(gModifiedStatsPopup, WM_MOUSEMOVE, MK_LBUTTON, 0);
    SendMessageW(gModifiedStatsPopup, WM_LBUTTONUP, 0, 0);
    RECT r = RectOf(gModifiedStatsPopup);
    EXPECT_EQ(r.left, 210);
    EXPECT_EQ(r.top, 310);
    EXPECT_EQ(r.right - r.left, 180);
    // Released: further moves leave it where it is.
    SetCursorPos(400, 400);
    SendMessageW(gModifiedStatsPopup, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(RectOf(gModifiedStatsPopup).left, 210);
}

}  // namespace
