// The overlay window: the replay's rectangles and opacity, a show ignored while running, the
// picture's ownership, the stretched painting, input passed to the game, and sizing by client area.
#include <gtest/gtest.h>

#include <vector>

#include "app/overlay_replay.h"
#include "tests/win/test_window.h"
#include "win/overlay_win.h"

namespace {

HBITMAP MakeBitmap(int width, int height, COLORREF left, COLORREF right) {
    BorrowedDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen.get()));
    HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), width, height);
    Selection selected(memory.get(), bitmap);
    RECT l = {0, 0, width / 2, height}, r = {width / 2, 0, width, height};
    OwnedBrush lb(CreateSolidBrush(left)), rb(CreateSolidBrush(right));
    FillRect(memory.get(), &l, lb.get());
    FillRect(memory.get(), &r, rb.get());
    return bitmap;
}

int AlphaOf(HWND window) {
    BYTE alpha = 0;
    GetLayeredWindowAttributes(window, nullptr, &alpha, nullptr);
    return alpha;
}

RECT RectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void ExpectRect(HWND window, int x, int y, int w, int h) {
    const RECT r = RectOf(window);
    EXPECT_EQ(r.left, x);
    EXPECT_EQ(r.top, y);
    EXPECT_EQ(r.right - r.left, w);
    EXPECT_EQ(r.bottom - r.top, h);
}

// The stand-in game: a window of the game's class that records the messages it receives.
struct Received {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> gReceived;

LRESULT CALLBACK GameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_KEYDOWN || message == WM_LBUTTONDOWN || message == WM_RBUTTONUP) {
        gReceived.push_back({message, wParam, lParam});
        return 7;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class Overlay : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = CS_HREDRAW | CS_VREDRAW;
        wc.lpfnWndProc = OverlayProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = kOverlayClassName;
        RegisterClassExW(&wc);
        CreateOverlayWindow(GetModuleHandleW(nullptr));
    }
    void TearDown() override {
        SendMessageW(gOverlayWindow, WM_CLOSE, 0, 0);
        PumpMessages();
    }
    // The replay runs on its own timer; the test sends the steps itself.
    static void Step(int n) {
        KillTimer(gOverlayWindow, 1);
        for (int i = 0; i < n; ++i) SendMessageW(gOverlayWindow, WM_TIMER, 1, 0);
    }
};

TEST_F(Overlay, CreatedHiddenLayeredAt200) {
    ASSERT_NE(gOverlayWindow, nullptr);
    EXPECT_EQ(FindWindowW(kOverlayClassName, L"Transparent Window"), gOverlayWindow);
    EXPECT_FALSE(IsWindowVisible(gOverlayWindow));
    EXPECT_EQ(AlphaOf(gOverlayWindow), 200);
    EXPECT_TRUE(GetWindowLongPtrW(gOverlayWindow, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
}

TEST_F(Overlay, ReplaySwellsFadesAndHidesAfter13Steps) {
    SetOverlayPicture(MakeBitmap(300, 100, RGB(200, 0, 0), RGB(0, 0, 200)));
    SendMessageW(gOverlayWindow, kShowMessage, PackScreenPosition(100, 50), 0);
    KillTimer(gOverlayWindow, 1);
    ASSERT_TRUE(IsWindowVisible(gOverlayWindow));
    ExpectRect(gOverlayWindow, 96, 48, 306, 102);  // the first step happens before the show returns
    EXPECT_EQ(AlphaOf(gOverlayWindow), 235);
    Step(1);
    ExpectRect(gOverlayWindow, 92, 46, 312, 104);
    EXPECT_EQ(AlphaOf(gOverlayWindow), 215);

    // A second show while running changes nothing.
    ShowOverlay(700, 700);
    ExpectRect(gOverlayWindow, 92, 46, 312, 104);
    EXPECT_EQ(AlphaOf(gOverlayWindow), 215);

    Step(10);
    EXPECT_TRUE(IsWindowVisible(gOverlayWindow));
    EXPECT_EQ(AlphaOf(gOverlayWindow), 15);
    Step(1);
    EXPECT_FALSE(IsWindowVisible(gOverlayWindow));
    EXPECT_EQ(AlphaOf(gOverlayWindow), 255);

    // Hidden, the next show starts afresh.
    ShowOverlay(10, 20);
    KillTimer(gOverlayWindow, 1);
    EXPECT_EQ(AlphaOf(gOverlayWindow), 235);
    ExpectRect(gOverlayWindow, 6, 18, 306, 102);
}

TEST_F(Overlay, HidingByCloseEndsTheReplay) {
    SetOverlayPicture(MakeBitmap(50, 40, RGB(1, 2, 3), RGB(1, 2, 3)));
    ShowOverlay(300, 300);
    SendMessageW(gOverlayWindow, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(gOverlayWindow));
    ShowOverlay(0, 0);
    EXPECT_TRUE(IsWindowVisible(gOverlayWindow));
}

TEST_F(Overlay, OwnsTheLatestPictureAndFreesThePrevious) {
    HBITMAP first = MakeBitmap(20, 10, RGB(255, 0, 0), RGB(0, 0, 255));
    HBITMAP second = MakeBitmap(20, 10, RGB(0, 255, 0), RGB(0, 255, 0));
    SetOverlayPicture(first);
    EXPECT_EQ(GetObjectType(first), DWORD(OBJ_BITMAP));
    SetOverlayPicture(second);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetObjectType(second), DWORD(OBJ_BITMAP));
}

// The picture, whatever the window's size, fills it: left half red, right half blue.
TEST_F(Overlay, PaintingStretchesThePictureOverTheClientArea) {
    SetOverlayPicture(MakeBitmap(2, 1, RGB(255, 0, 0), RGB(0, 0, 255)));
    BorrowedDC screen(nullptr);
    OwnedDC memory(CreateCompatibleDC(screen.get()));
    OwnedBitmap target(CreateCompatibleBitmap(screen.get(), 40, 20));
    Selection selected(memory.get(), target.get());
    RECT client = {0, 0, 40, 20};
    PaintOverlay(memory.get(), client);
    EXPECT_EQ(GetPixel(memory.get(), 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(memory.get(), 19, 19), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(memory.get(), 20, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(memory.get(), 39, 19), RGB(0, 0, 255));
    EXPECT_EQ(GetMapMode(memory.get()), MM_TEXT);  // the dc is left as it was
}

TEST_F(Overlay, InputReachesTheGameWindowOrIsDropped) {
    gReceived.clear();
    EXPECT_EQ(FindGameWindow(), nullptr);
    SendMessageW(gOverlayWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6));
    EXPECT_EQ(ForwardToGameWindow(WM_KEYDOWN, 'A', 0), 0);

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = GameProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = kGameWindowClassName;
    RegisterClassExW(&wc);
    HWND game = CreateWindowExW(0, kGameWindowClassName, L"game", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
    ASSERT_NE(game, nullptr);
    EXPECT_EQ(FindGameWindow(), game);
    EXPECT_EQ(SendMessageW(gOverlayWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 6)), 0);
    SendMessageW(gOverlayWindow, WM_KEYDOWN, VK_F9, 0x00430001);
    SendMessageW(gOverlayWindow, WM_RBUTTONUP, 0, MAKELPARAM(300, 2));
    SendMessageW(gOverlayWindow, WM_MOUSEMOVE, 0, 0);  // not passed on
    EXPECT_EQ(ForwardToGameWindow(WM_KEYDOWN, 'A', 0), 7);
    DestroyWindow(game);
    ASSERT_EQ(gReceived.size(), 4u);
    EXPECT_EQ(gReceived[0].message, UINT(WM_LBUTTONDOWN));
    EXPECT_EQ(gReceived[0].lParam, MAKELPARAM(5, 6));
    EXPECT_EQ(gReceived[1].message, UINT(WM_KEYDOWN));
    EXPECT_EQ(gReceived[1].wParam, WPARAM(VK_F9));
    EXPECT_EQ(gReceived[1].lParam, 0x00430001);
    EXPECT_EQ(gReceived[2].lParam, MAKELPARAM(300, 2));
}

// The window a player works in: records whether it ever lost the activation.
bool gPlayerDeactivated = false;
LRESULT CALLBACK PlayerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) gPlayerDeactivated = true;
    return DefWindowProcW(window, message, wParam, lParam);
}

void ClickAt(int x, int y) {
    SetCursorPos(x, y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
    for (int i = 0; i < 20; ++i) {
        PumpMessages();
        Sleep(10);
    }
}

TEST_F(Overlay, AClickOnTheReplayLeavesTheActiveWindowActive) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PlayerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Overlay Test Player";
    RegisterClassExW(&wc);
    HWND player = CreateWindowExW(0, wc.lpszClassName, L"player", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr,
                                  nullptr, wc.hInstance, nullptr);
    ASSERT_NE(player, nullptr);
    SetForegroundWindow(player);
    SetActiveWindow(player);
    PumpMessages();
    ASSERT_EQ(GetActiveWindow(), player);

    SetOverlayPicture(MakeBitmap(300, 200, RGB(200, 0, 0), RGB(0, 0, 200)));
    ShowOverlay(100, 100);
    KillTimer(gOverlayWindow, 1);  // the replay stays where it is while the click is made
    PumpMessages();
    ASSERT_TRUE(IsWindowVisible(gOverlayWindow));
    gPlayerDeactivated = false;
    ClickAt(250, 200);
    EXPECT_FALSE(gPlayerDeactivated) << "the click activated the replay";
    EXPECT_EQ(GetActiveWindow(), player);
    DestroyWindow(player);
    PumpMessages();
}

TEST_F(Overlay, SizeWindowToClientGivesThatClientArea) {
    HWND framed = CreateWindowExW(0, L"STATIC", L"frame", WS_CAPTION | WS_SYSMENU | WS_POPUP, 30, 40, 100,
                                  100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(framed, nullptr);
    SizeWindowToClient(framed, 250, 120, true);
    RECT client, window;
    GetClientRect(framed, &client);
    GetWindowRect(framed, &window);
    EXPECT_EQ(client.right, 250);
    EXPECT_EQ(client.bottom, 120);
    EXPECT_EQ(window.left, 30);
    EXPECT_EQ(window.top, 40);
    EXPECT_FALSE(GetWindowLongPtrW(framed, GWL_EXSTYLE) & WS_EX_TOPMOST);  // z-order unchanged
    DestroyWindow(framed);
}

}  // namespace
