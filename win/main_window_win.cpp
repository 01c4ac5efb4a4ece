// The main window procedure: creation of everything, menu commands, tab switching, wheel
// forwarding to the profile page, the deferred resize while minimised, a new monitor's scale, and
// saving at the end, of the window or of the Windows session.
#include "win/main_window_win.h"

#include <algorithm>
#include <string>

#include "app/bindings.h"
#include "app/ini_win.h"
#include "app/settings_file.h"
#include "base/settings.h"
#include "res/resource.h"
#include "win/about_box_win.h"
#include "win/controls_win.h"
#include "win/dispatcher_win.h"
#include "win/distribution_win.h"
#include "win/hotkeys_win.h"
#include "win/learn_dialog_win.h"
#include "win/overlay_win.h"
#include "win/pages_win.h"
#include "win/popups_win.h"
#include "win/settings_dialog_win.h"
#include "win/settings_open_win.h"
#include "win/settings_report_win.h"
#include "win/startup_win.h"

HINSTANCE gInstance = nullptr;
HWND gMainWindow = nullptr;

namespace {

struct PageRow {
    const wchar_t* tabText;
    int dialogId;
    DLGPROC procedure;
    HWND window;
};
PageRow gPages[] = {
    {L"프로필", IDD_PROFILE, ProfilePageProc, nullptr},
    {L"능력치 계산기", IDD_CALCULATOR, CalculatorPageProc, nullptr},
};
constexpr int kPageCount = 2;

HWND gTab = nullptr;
HFONT gTabFont = nullptr;
HWND gShownPage = nullptr;
SIZE gSummarySize = {};

// A layout change while minimised is applied again when the window is restored.
struct DeferredResize {
    WINDOWPOS request;
    bool pending;
};
DeferredResize gDeferred = {};

// Set once the settings were saved for the end of the Windows session: the process may be ended
// at any moment after that, and nothing is saved or asked again.
bool gSavedForSessionEnd = false;

// The topmost marker with "no z-order" changes nothing in the z-order but lets a layout change made
// while minimised be recognised and applied again on restore.
void SizeMainWindowToClient(int width, int height) {
    SizeWindowToClient(gMainWindow, width, height, true);
}

void ShowSelectedPage() {
    if (gShownPage) ShowWindow(gShownPage, SW_HIDE);
    const int tab = int(SendMessageW(gTab, TCM_GETCURSEL, 0, 0));
    gShownPage = tab >= 0 && tab < kPageCount ? gPages[tab].window : nullptr;
    if (gShownPage) ShowWindow(gShownPage, SW_SHOWNA);
}

void CreateTabControl(HWND window) {
    gTab = CreateWindowExW(0, WC_TABCONTROLW, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0,
                           window, nullptr, gInstance, nullptr);
    gTabFont = CreateFontW(14, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"굴림");
    SendMessageW(gTab, WM_SETFONT, WPARAM(gTabFont), TRUE);
    for (int i = 0; i < kPageCount; ++i) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(gPages[i].tabText);
        SendMessageW(gTab, TCM_INSERTITEMW, i, LPARAM(&item));
    }
}

BOOL OnCreate(HWND window) {
    gMainWindow = window;
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&controls);
    PrepareProgramState();
    BuildBindingTable();
    InstallCalcView();
    LoadStartupSettings();
    CreateActionLock();
    RegisterHotkeys(window);

    HWND summary = CreateDialogParamW(gInstance, MAKEINTRESOURCEW(IDD_SUMMARY), window, SummaryPageProc, 0);
    gSummaryPage = summary;
    SetWindowPos(summary, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    gSummarySize = TemplateSizePixels(summary, IDD_SUMMARY);
    ShowWindow(summary, SW_SHOWNA);
    SizeMainWindowToClient(gSummarySize.cx, gSummarySize.cy);

    CreateTabControl(window);
    for (PageRow& page : gPages)
        page.window =
            CreateDialogParamW(gInstance, MAKEINTRESOURCEW(page.dialogId), window, page.procedure, 0);
    gProfilePage = gPages[0].window;
    gCalculatorPage = gPages[1].window;
    SendMessageW(gTab, TCM_SETCURSEL, 0, 0);
    ShowSelectedPage();
    CreatePopupsAndOverlay();
    ReportStartupProblems();
    PostMessageW(window, kReportSettingsAtStart, 0, 0);
    return TRUE;
}

// No new action can start once the hotkeys are gone; the running ones are let finish (they may be
// writing a picture, and they send this window their tooltips) before anything is saved or freed.
void OnClose(HWND window) {
    UnregisterHotkeys(window);
    WaitForActions(5000);
    DestroyWindow(window);
}

void SaveAtClose() {
    std::string why;
    if (SaveSettings(&why))
        TellSaveNotes(nullptr);
    else
        ReportSaveFailure(nullptr,
                          L"설정 파일을 저장하지 못했습니다. 바뀐 설정과 프로필이 저장되지 않았습니다.", why);
}

void OnDestroy(HWND window) {
    UnregisterHotkeys(window);
    if (!gSavedForSessionEnd) SaveAtClose();
    if (gTabFont) DeleteObject(gTabFont);
    PostQuitMessage(0);
}

// Logoff or shutdown: the system ends the process once this returns, without WM_DESTROY, so this
// is the last moment to save. No message box now (nobody would answer it); a file that cannot be
// saved was named at start.
void OnEndSession(HWND window, bool ending) {
    if (!ending || gSavedForSessionEnd) return;
    UnregisterHotkeys(window);
    SaveSettings();
    gSavedForSessionEnd = true;
}

// Moved to a monitor of another scale: the system suggests the window's new place and size.
void OnDpiChanged(HWND window, const RECT* suggested) {
    SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Nothing to draw: the pages cover the client area. BeginPaint validates this window alone, where
// ValidateRect on a window without WS_CLIPCHILDREN would validate its children too, and they would
// never paint.
void OnPaint(HWND window) {
    PAINTSTRUCT ps;
    BeginPaint(window, &ps);
    EndPaint(window, &ps);
}

void OnCommand(HWND window, int id) {
    switch (id) {
        case IDM_OPEN_SETTINGS:
            OpenSettingsFile(window);
            break;
        case IDM_HELP:
            ShellExecuteW(window, L"open", kDistributionPage, nullptr, nullptr, SW_SHOWNORMAL);
            break;
        case IDM_SETTINGS:
            OpenSettingsDialog(window);
            break;
        case IDM_ABOUT:
            OpenAboutBox(window);
            break;
        case IDM_LEARN_GLYPHS:
            OpenLearnDialog(window);
            break;
        default:
            break;
    }
}

void OnMouseWheel(WPARAM wParam) {
    if (!gProfilePage || !IsWindowVisible(gProfilePage)) return;
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    WheelProfilePage(GET_WHEEL_DELTA_WPARAM(wParam) > 0, lines);
}

void OnWindowPosChanging(HWND window, const WINDOWPOS* pos) {
    if (IsIconic(window) &&
        (pos->hwndInsertAfter == HWND_TOPMOST || pos->hwndInsertAfter == HWND_NOTOPMOST)) {
        gDeferred.request = *pos;
        gDeferred.pending = true;
    }
}

void OnSize(WPARAM kind) {
    if (kind != SIZE_RESTORED || !gDeferred.pending) return;
    gDeferred.pending = false;
    const WINDOWPOS& r = gDeferred.request;
    SetWindowPos(r.hwnd, r.hwndInsertAfter, r.x, r.y, r.cx, r.cy, r.flags);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate(window);
            return 0;
        case WM_CLOSE:
            OnClose(window);
            return 0;
        case WM_HOTKEY:
            StartHotkeyAction(int(wParam));
            return 0;
        case kTooltipForAction:
            return OnTooltipForAction(lParam);
        case WM_DESTROY:
            OnDestroy(window);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            OnEndSession(window, wParam != 0);
            return 0;
        case kReportSettingsAtStart:
            ReportSettingsAtStart(window);
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(window, reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_PAINT:
            OnPaint(window);
            return 0;
        case WM_COMMAND:
            OnCommand(window, LOWORD(wParam));
            return 0;
        case WM_NOTIFY:
            if (reinterpret_cast<NMHDR*>(lParam)->hwndFrom == gTab &&
                reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE)
                ShowSelectedPage();
            return 0;
        case WM_MOUSEWHEEL:
            OnMouseWheel(wParam);
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE) HidePopup(gModifiedStatsPopup);
            break;
        case WM_WINDOWPOSCHANGING:
            OnWindowPosChanging(window, reinterpret_cast<WINDOWPOS*>(lParam));
            break;
        case WM_SIZE:
            OnSize(wParam);
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void SelectPage(HWND page) {
    if (!page || page == gShownPage) return;
    for (int i = 0; i < kPageCount; ++i)
        if (gPages[i].window == page) {
            SendMessageW(gTab, TCM_SETCURSEL, i, 0);
            ShowSelectedPage();
        }
}

void LayoutForPage(HWND page, int pageWidth, int pageHeight) {
    if (!gTab) return;
    RECT outer = {0, 0, pageWidth, pageHeight};
    SendMessageW(gTab, TCM_ADJUSTRECT, TRUE, LPARAM(&outer));
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    SetWindowPos(gTab, nullptr, gSummarySize.cx, 10, outerWidth, outerHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SizeMainWindowToClient(gSummarySize.cx + outerWidth + 10,
                           std::max<int>(outerHeight, gSummarySize.cy) + 20);
    RECT display = {0, 0, outerWidth, outerHeight};
    SendMessageW(gTab, TCM_ADJUSTRECT, FALSE, LPARAM(&display));
    SetWindowPos(page, HWND_TOP, gSummarySize.cx + display.left, 10 + display.top, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE);
}

void ActivateMainWindow() {
    SetForegroundWindow(gMainWindow);
    ShowWindow(gMainWindow, IsIconic(gMainWindow) ? SW_RESTORE : SW_SHOWNORMAL);
}

SIZE TemplateSizePixels(HWND window, int dialogId) {
    // An extended dialog template starts with version, signature, help id, styles and item count,
    // then x, y, cx, cy in dialog units.
    SIZE size = {};
    HRSRC found = FindResourceW(gInstance, MAKEINTRESOURCEW(dialogId), MAKEINTRESOURCEW(5));  // RT_DIALOG
    const auto* t = found ? static_cast<const BYTE*>(LockResource(LoadResource(gInstance, found))) : nullptr;
    if (!t || SizeofResource(gInstance, found) < 26) return size;
    RECT r = {0, 0, *reinterpret_cast<const short*>(t + 22), *reinterpret_cast<const short*>(t + 24)};
    MapDialogRect(window, &r);
    size.cx = r.right;
    size.cy = r.bottom;
    return size;
}

bool IsPageMessage(MSG* msg) {
    for (HWND page : {gSummaryPage, gProfilePage, gCalculatorPage})
        if (page && IsDialogMessageW(page, msg)) return true;
    return false;
}
