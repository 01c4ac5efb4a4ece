// The overlay window: a copy of the saved tooltip shown where the game drew it, swelling by 2 %
// and fading by 20 every 60 ms until it is gone. It never takes the activation.
#include "win/overlay_win.h"

#include "app/overlay_replay.h"

HWND gOverlayWindow = nullptr;

namespace {

struct OverlayState {
    HBITMAP picture = nullptr;  // owned
    bool showing = false;
    OverlayFrame frame;
};
OverlayState gOverlay;  // touched only on the window's thread

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm)) return {0, 0};
    return {bm.bmWidth, bm.bmHeight};
}

void SetAlpha(HWND window, int alpha) {
    SetLayeredWindowAttributes(window, 0, BYTE(alpha), LWA_ALPHA);
}

void HideOverlay(HWND window) {
    KillTimer(window, 1);
    ShowWindow(window, SW_HIDE);
}

LRESULT OnShow(HWND window, WPARAM wParam) {
    if (gOverlay.showing || !gOverlay.picture) return 0;
    const SIZE size = BitmapSize(gOverlay.picture);
    gOverlay.showing = true;
    gOverlay.frame = StartOverlayReplay(uint32_t(wParam), size.cx, size.cy);
    const OverlayFrame& f = gOverlay.frame;
    MoveWindow(window, f.x, f.y, f.width, f.height, FALSE);
    SetAlpha(window, 255);
    SetTimer(window, 1, kOverlayStepMs, nullptr);
    ShowWindow(window, SW_SHOWNA);
    SendMessageW(window, WM_TIMER, 1, 0);  // the first step before the sender goes on
    return 0;
}

LRESULT OnTimer(HWND window) {
    if (!gOverlay.showing) return 0;  // a tick queued before the window was hidden
    OverlayFrame& f = gOverlay.frame;
    if (!StepOverlayReplay(f)) {
        ShowWindow(window, SW_HIDE);
        SetAlpha(window, 255);
        KillTimer(window, 1);
        return 0;
    }
    MoveWindow(window, f.x, f.y, f.width, f.height, FALSE);
    SetAlpha(window, f.alpha);
    return 0;
}

LRESULT OnSetPicture(HWND window, HBITMAP picture) {
    HBITMAP previous = gOverlay.picture;
    gOverlay.picture = picture;
    if (previous && previous != picture) DeleteObject(previous);
    if (gOverlay.showing) InvalidateRect(window, nullptr, TRUE);  // the next step draws the new one
    return 0;
}

LRESULT OnPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    PaintOverlay(dc, client);
    EndPaint(window, &ps);
    return 0;
}

LRESULT OnDestroy(HWND window) {
    KillTimer(window, 1);
    OnSetPicture(window, nullptr);
    if (gOverlayWindow == window) gOverlayWindow = nullptr;
    return 0;
}

}  // namespace

LRESULT CALLBACK OverlayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kShowMessage:
            return OnShow(window, wParam);
        case kHideMessage:
            return HideOverlay(window), 0;
        case kSetPictureMessage:
            return OnSetPicture(window, reinterpret_cast<HBITMAP>(wParam));
        case WM_TIMER:
            return OnTimer(window);
        case WM_PAINT:
            return OnPaint(window);
        case WM_SIZE:
            return InvalidateRect(window, nullptr, TRUE), 0;
        case WM_CLOSE:
            return HideOverlay(window), 0;
        case WM_SHOWWINDOW:
            if (!wParam) gOverlay.showing = false;
            break;
        case WM_DESTROY:
            OnDestroy(window);
            break;
        case WM_MOUSEACTIVATE:
            // A click on the replay must not activate it: the game, another program, would lose
            // the keyboard, and handing the activation back cannot reach another program's window.
            return MA_NOACTIVATE;
        case WM_ACTIVATE:
            ReturnActivation(wParam, lParam);
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return ForwardToGameWindow(message, wParam, lParam), 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND CreateOverlayWindow(HINSTANCE instance) {
    gOverlayWindow = CreateWindowExW(WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST,
                                     kOverlayClassName, kOverlayTitle, WS_POPUP, 500, 500, 300, 300, nullptr,
                                     nullptr, instance, nullptr);
    if (gOverlayWindow) SetAlpha(gOverlayWindow, 200);
    return gOverlayWindow;
}

void SetOverlayPicture(HBITMAP picture) {
    if (gOverlayWindow)
        SendMessageW(gOverlayWindow, kSetPictureMessage, reinterpret_cast<WPARAM>(picture), 0);
    else if (picture)
        DeleteObject(picture);  // nobody could ever show it
}

void ShowOverlay(int x, int y) {
    if (gOverlayWindow) SendMessageW(gOverlayWindow, kShowMessage, PackScreenPosition(x, y), 0);
}

void PaintOverlay(HDC dc, const RECT& client) {
    const SIZE size = BitmapSize(gOverlay.picture);
    if (size.cx <= 0 || size.cy <= 0) return;
    // The picture's own size is the logical extent, so drawing it at its size fills the window.
    const int oldMode = SetMapMode(dc, MM_ANISOTROPIC);
    SIZE oldWindow, oldViewport;
    SetWindowExtEx(dc, size.cx, size.cy, &oldWindow);
    SetViewportExtEx(dc, client.right - client.left, client.bottom - client.top, &oldViewport);
    DrawBitmap(dc, 0, 0, gOverlay.picture);
    SetViewportExtEx(dc, oldViewport.cx, oldViewport.cy, nullptr);
    SetWindowExtEx(dc, oldWindow.cx, oldWindow.cy, nullptr);
    SetMapMode(dc, oldMode);
}

void DrawBitmap(HDC dc, int x, int y, HBITMAP bitmap) {
    const SIZE size = BitmapSize(bitmap);
    OwnedDC memory(CreateCompatibleDC(dc));
    Selection selected(memory.get(), bitmap);
    if (!selected) return;
    BitBlt(dc, x, y, size.cx, size.cy, memory.get(), 0, 0, SRCCOPY);
}

void ReturnActivation(WPARAM wParam, LPARAM lParam) {
    const WORD state = LOWORD(wParam);
    if ((state == WA_ACTIVE || state == WA_CLICKACTIVE) && lParam)
        SetActiveWindow(reinterpret_cast<HWND>(lParam));
}

HWND FindGameWindow() {
    return FindWindowW(kGameWindowClassName, nullptr);
}

LRESULT ForwardToGameWindow(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND game = FindGameWindow();
    if (!game) return 0;
    // A hung game must not freeze the overlay's thread, which runs every window of the program.
    DWORD_PTR result = 0;
    SendMessageTimeoutW(game, message, wParam, lParam, SMTO_ABORTIFHUNG, 1000, &result);
    return LRESULT(result);
}

void SizeWindowToClient(HWND window, int width, int height, bool topmost) {
    RECT rect = {0, 0, width, height};
    const DWORD style = DWORD(GetWindowLongPtrW(window, GWL_STYLE));
    const DWORD exStyle = DWORD(GetWindowLongPtrW(window, GWL_EXSTYLE));
    AdjustWindowRectEx(&rect, style, GetMenu(window) != nullptr, exStyle);
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, rect.right - rect.left,
                 rect.bottom - rect.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
