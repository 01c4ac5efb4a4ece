// The notice and alert popups share one class and procedure, driven by Popup Requests; the
// modified-stats popup reads the two summaries. All run on the thread that created them, and
// requests from workers reach them by SendMessageW.
#include "win/popups_win.h"

#include <algorithm>

#include "app/popup_timing.h"
#include "calc/formulas.h"
#include "win/overlay_win.h"

HWND gModifiedStatsPopup = nullptr;
HWND gNoticePopup = nullptr;
HWND gAlertPopup = nullptr;

namespace {

constexpr wchar_t kStateProperty[] = L"1";
constexpr wchar_t kFontFace[] = L"굴림";

struct PopupState {
    bool dismissOnClick = false;
    bool requested = false;  // no request, nothing to paint
    bool centred = false;
    wchar_t text[kPopupTextMax] = {};
    int textLength = 0;
    bool laidOut = false;
    PopupLayout layout;
    PopupAnimation animation;
};

PopupState* StateOf(HWND window) {
    return static_cast<PopupState*>(GetPropW(window, kStateProperty));
}

HFONT CreatePopupFont(int height) {
    return CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, kFontFace);
}

void SetAlpha(HWND window, int alpha) {
    SetLayeredWindowAttributes(window, 0, BYTE(alpha), LWA_ALPHA);
}

// The brush the popups' class paints with. Both popups share it, so once it is replaced neither
// window paints with the previous one, which can then go.
HBRUSH gClassBrush = nullptr;

void RecolourClass(HWND window, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    if (!brush) return;
    SetClassLongPtrW(window, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush));
    if (gClassBrush) DeleteObject(gClassBrush);
    gClassBrush = brush;
}

// Measures the text and places the popup: centred, or resting above the bottom edge and starting
// below the screen when it slides.
void LayOut(HWND window, PopupState& s) {
    BorrowedDC dc(window);
    GdiObject<HFONT> font(CreatePopupFont(kPopupFontHeight));
    SIZE extent{};
    {
        Selection selected(dc.get(), font.get());
        GetTextExtentPoint32W(dc.get(), s.text, s.textLength, &extent);
    }
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    s.layout = LayOutPopup(extent.cx, extent.cy, screenWidth, screenHeight, s.centred, s.animation.slide);
    PlacePopupAnimation(s.animation, s.layout, screenHeight);
    MoveWindow(window, s.layout.x, s.animation.currentY, s.layout.width, s.layout.height, TRUE);
    s.laidOut = true;
}

LRESULT OnCreate(HWND window, const CREATESTRUCTW* create) {
    auto* state = new PopupState;
    state->dismissOnClick = (reinterpret_cast<UINT_PTR>(create->lpCreateParams) & 1) != 0;
    SetPropW(window, kStateProperty, state);
    return 0;
}

void OnDestroy(HWND window) {
    delete StateOf(window);
    RemovePropW(window, kStateProperty);
}

// A new request replaces whatever the popup shows and starts again from the appearing phase. It is
// laid out before it is shown, so it never flashes at its previous place or size.
LRESULT OnShowRequest(HWND window, const PopupRequest* request) {
    PopupState* s = StateOf(window);
    if (!s || !request) return 0;
    s->requested = true;
    s->animation = StartPopupAnimation(*request);
    s->centred = request->centred != 0;
    s->textLength = PopupTextLength(*request);
    std::copy_n(request->text, s->textLength, s->text);
    RecolourClass(window, request->background);
    LayOut(window, *s);
    ShowWindow(window, SW_SHOWNA);
    SetAlpha(window, s->animation.alpha);
    KillTimer(window, 1);
    SetTimer(window, 1, kPopupTickMs, nullptr);
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

void PaintNotice(HDC dc, const PopupState& s) {
    GdiObject<HFONT> font(CreatePopupFont(kPopupFontHeight));
    Selection selected(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutW(dc, kPopupMarginX, kPopupMarginY, s.text, s.textLength);
}

LRESULT OnNoticePaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PopupState* s = StateOf(window);
    if (s && s->requested) {
        if (!s->laidOut) LayOut(window, *s);
        PaintNotice(dc, *s);
    }
    EndPaint(window, &ps);
    return 0;
}

LRESULT OnNoticeTimer(HWND window) {
    PopupState* s = StateOf(window);
    if (!s || !s->laidOut) return 0;
    switch (AdvancePopup(s->animation)) {
        case PopupTick::Moved:
            MoveWindow(window, s->layout.x, s->animation.currentY, s->layout.width, s->layout.height, TRUE);
            break;
        case PopupTick::Faded:
            SetAlpha(window, s->animation.alpha);
            break;
        case PopupTick::Held:
            break;
        case PopupTick::Hide:
            HidePopup(window);
            break;
    }
    return 0;
}

void OnNoticeClick(HWND window) {
    PopupState* s = StateOf(window);
    if (s && s->dismissOnClick) HidePopup(window);
}

// The modified-stats popup: three lines, a fade-in of 20 per 30 ms tick, and dragging.
StatDeltaText gLines[3];
int gStatsAlpha = 0;
bool gDragging = false;
POINT gGrabOffset = {};

constexpr int kStatsTickMs = 30;
constexpr int kStatsFadeStep = 20;

LRESULT OnStatsShow(HWND window) {
    FormatStatDelta(gCalc.modified.v[kSumDamage] - gCalc.current.v[kSumDamage], gLines[0], 2);
    FormatStatDelta(gCalc.modified.v[kSumLife] - gCalc.current.v[kSumLife], gLines[1], 0);
    FormatStatDelta(gCalc.modified.v[kSumAllResistance] - gCalc.current.v[kSumAllResistance], gLines[2], 0);
    gStatsAlpha = 0;
    SetAlpha(window, 0);
    SetTimer(window, 1, kStatsTickMs, nullptr);
    ShowWindow(window, SW_SHOWNA);
    InvalidateRect(window, nullptr, TRUE);
    return 0;
}

LRESULT OnStatsTimer(HWND window) {
    gStatsAlpha += kStatsFadeStep;
    if (gStatsAlpha > 255) {
        SetAlpha(window, 255);
        KillTimer(window, 1);
    } else {
        SetAlpha(window, gStatsAlpha);
    }
    return 0;
}

void PaintStats(HDC dc) {
    static constexpr const wchar_t* kLabels[3] = {L"공격력: ", L"생명력: ", L"모든 저항: "};
    GdiObject<HFONT> font(CreatePopupFont(12));
    Selection selected(dc, font.get());
    SetBkMode(dc, TRANSPARENT);
    for (int i = 0; i < 3; ++i) {
        const int y = 10 + 20 * i;
        SetTextAlign(dc, TA_RIGHT | TA_TOP);
        SetTextColor(dc, RGB(0, 0, 0));
        TextOutW(dc, 90, y, kLabels[i], int(wcslen(kLabels[i])));
        const auto* text = reinterpret_cast<const wchar_t*>(gLines[i].text);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        SetTextColor(dc, COLORREF(gLines[i].colour));
        TextOutW(dc, 95, y, text, int(wcslen(text)));
    }
}

LRESULT OnStatsPaint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    PaintStats(dc);
    EndPaint(window, &ps);
    return 0;
}

// The grab offset is taken from the window's corner, so the popup does not jump by its border.
void OnStatsButtonDown(HWND window) {
    POINT cursor;
    RECT rect;
    GetCursorPos(&cursor);
    GetWindowRect(window, &rect);
    gGrabOffset = {cursor.x - rect.left, cursor.y - rect.top};
    gDragging = true;
    SetCapture(window);
}

void OnStatsMouseMove(HWND window) {
    if (!gDragging) return;
    POINT cursor;
    GetCursorPos(&cursor);
    SetWindowPos(window, HWND_TOP, cursor.x - gGrabOffset.x, cursor.y - gGrabOffset.y, 0, 0, SWP_NOSIZE);
}

void EndDrag() {
    if (!gDragging) return;
    gDragging = false;
    ReleaseCapture();
}

void Deliver(PopupTarget target, const PopupRequest& request) {
    HWND popup = target == PopupTarget::Alert ? gAlertPopup : gNoticePopup;
    if (popup) ShowPopupRequest(popup, request);
}

HWND CreatePopup(HINSTANCE instance, DWORD exStyle, const wchar_t* className, const wchar_t* title, int width,
                 int height, void* parameter) {
    HWND window = CreateWindowExW(exStyle, className, title, WS_POPUP | WS_BORDER, 10, 10, width, height,
                                  nullptr, nullptr, instance, parameter);
    // Layered windows draw nothing until their attributes are set; the opacity comes later.
    if (window) SetLayeredWindowAttributes(window, 0, 0, 0);
    return window;
}

}  // namespace

LRESULT CALLBACK NoticePopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
            break;
        case WM_DESTROY:
            return OnDestroy(window), 0;
        case WM_PAINT:
            return OnNoticePaint(window);
        case kShowMessage:
            return OnShowRequest(window, reinterpret_cast<const PopupRequest*>(wParam));
        case kHideMessage:
            return HidePopup(window), 0;
        case WM_TIMER:
            return OnNoticeTimer(window);
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            OnNoticeClick(window);
            break;
        case WM_ACTIVATE:
            ReturnActivation(wParam, lParam);
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK ModifiedStatsPopupProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kShowMessage:
            return OnStatsShow(window);
        case kHideMessage:
            return HidePopup(window), 0;
        case WM_TIMER:
            return OnStatsTimer(window);
        case WM_PAINT:
            return OnStatsPaint(window);
        case WM_LBUTTONDOWN:
            OnStatsButtonDown(window);
            break;
        case WM_MOUSEMOVE:
            OnStatsMouseMove(window);
            break;
        case WM_LBUTTONUP:
            EndDrag();
            break;
        case WM_RBUTTONDOWN:
            HidePopup(window);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) EndDrag();
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void CreatePopupWindows(HINSTANCE instance) {
    constexpr DWORD kPopupExStyle = WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    gModifiedStatsPopup = CreatePopup(instance, kPopupExStyle, kModifiedStatsPopupClassName,
                                      kModifiedStatsPopupTitle, 180, 75, nullptr);
    gNoticePopup = CreatePopup(instance, WS_EX_NOACTIVATE | kPopupExStyle, kNoticePopupClassName,
                               kNoticePopupTitle, 300, 50, reinterpret_cast<void*>(0));
    gAlertPopup = CreatePopup(instance, WS_EX_NOACTIVATE | kPopupExStyle, kNoticePopupClassName,
                              kAlertPopupTitle, 300, 50, reinterpret_cast<void*>(1));
}

void InstallPopupDelivery() {
    SetPopupDelivery(Deliver);
}

void ShowPopupRequest(HWND popup, const PopupRequest& request) {
    SendMessageW(popup, kShowMessage, reinterpret_cast<WPARAM>(&request), 0);
}

void HidePopup(HWND window) {
    if (!window) return;
    // A timer belongs to the window's own thread; a worker asks that thread to stop it.
    if (GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) {
        SendMessageW(window, kHideMessage, 0, 0);
        return;
    }
    KillTimer(window, 1);
    ShowWindow(window, SW_HIDE);
}

void ShowModifiedStats() {
    if (gModifiedStatsPopup) SendMessageW(gModifiedStatsPopup, kShowMessage, 0, 0);
}

std::u16string PopupText(HWND popup) {
    const PopupState* s = StateOf(popup);
    return s ? std::u16string(reinterpret_cast<const char16_t*>(s->text), size_t(s->textLength)) : u"";
}

void ModifiedStatsLines(StatDeltaText (&lines)[3]) {
    std::copy_n(gLines, 3, lines);
}
