// Tallywick.exe: registers the window classes, creates the main window and runs the message loop.
#include "app/ini_win.h"
#include "base/gdi_win.h"
#include "res/resource.h"
#include "win/controls_win.h"
#include "win/dispatcher_win.h"
#include "win/main_window_win.h"
#include "win/overlay_win.h"
#include "win/popups_win.h"

namespace {

bool RegisterWindowClass(const wchar_t* name, WNDPROC procedure, HBRUSH background, const wchar_t* menu) {
    WNDCLASSEXW c = {};
    c.cbSize = sizeof c;
    c.style = CS_HREDRAW | CS_VREDRAW;
    c.lpfnWndProc = procedure;
    c.hInstance = gInstance;
    c.hIcon = LoadIconW(gInstance, MAKEINTRESOURCEW(IDI_TALLYWICK));
    c.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    c.hbrBackground = background;
    c.lpszMenuName = menu;
    c.lpszClassName = name;
    return RegisterClassExW(&c) != 0;
}

// "--log FILE": one line per action with its outcome and the time of each stage.
void ReadCommandLine() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return;
    for (int i = 1; i + 1 < argc; ++i)
        if (lstrcmpW(argv[i], L"--log") == 0) SetActionLog(WideToUtf8(argv[i + 1]));
    LocalFree(argv);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    gInstance = instance;
    ReadCommandLine();
    RegisterWindowClass(L"Tallywick", MainWindowProc, HBRUSH(COLOR_BTNFACE + 1),
                        MAKEINTRESOURCEW(IDR_MAIN_MENU));
    RegisterWindowClass(L"Transparent Popup Class", OverlayProc, HBRUSH(COLOR_BTNFACE + 1), nullptr);
    RegisterWindowClass(kModifiedStatsPopupClassName, ModifiedStatsPopupProc,
                        HBRUSH(GetStockObject(LTGRAY_BRUSH)), nullptr);
    RegisterWindowClass(kNoticePopupClassName, NoticePopupProc, HBRUSH(GetStockObject(LTGRAY_BRUSH)),
                        nullptr);
    HWND window = CreateWindowExW(0, L"Tallywick", L"Tallywick", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  200, 200, 300, 300, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsPageMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}
