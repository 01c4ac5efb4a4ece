// The stand-in game of the window tests: a borderless top-level window of the game's window class
// that covers the primary screen, shows a screen picture 1:1 at (0, 0), takes the focus and writes
// one line per interesting message it receives, so that a test sees what reached the game.
//
//   standin_game.exe [--picture FILE.bmp|FILE.png] [--scene SCENE.txt] [--pack FOLDER]
//                    [--save-picture OUT.bmp] [--log FILE] [--title TEXT] [--hold-hotkey MOD,KEY] [--framed]
//   standin_game.exe --probe-hotkey MOD,KEY [--log FILE]
//   standin_game.exe --query-window TITLE [--log FILE]
//   standin_game.exe --query-controls TITLE [--log FILE]
//   standin_game.exe --reload [--log FILE]
//   standin_game.exe --cover on|off [--log FILE]
//   standin_game.exe --activate TITLE [--log FILE]
//
// --picture shows a picture file (PNG when the command-line reader's image loader is built in);
// --scene composes the screen a tooltip-composer description asks for, in process (a BMP file given
// there, or copied over the scene file before a reload, is shown as it is), drawn with the glyph
// pack and composer placement of --pack FOLDER when given (another screen's text); --save-picture
// writes the picture shown as a 24-bit BMP (for comparing screenshots with it). Without either the
// window is plain grey. The message WM_USER+1 reads the picture (or scene) again and repaints.
//
// --framed shows an ordinary captioned 400 x 300 window at (100, 100) instead (for the harness's
// own checks of frames and client areas).
// --hold-hotkey registers that global hotkey before the window shows, so that no other program
// gets it; a press is then logged as "hotkey". MOD is "none" or names joined by '+' (ctrl, shift,
// alt, win) or a number; KEY is a digit or letter, F1..F24, or a number (0x.. for hex).
//
// --probe-hotkey opens no window: it tries to register the combination, logs "probe-hotkey ...
// registered" (exit 0) or "... refused error=N" (exit 1), and gives it back.
// --query-window logs the window rectangle and the client area's screen position of the
// top-level window with that exact title: "query-window window=L,T,R,B client=X,Y,W,H" (exit 0)
// or "query-window not-found" (exit 1).
// --reload asks the running stand-in to read its picture (or scene) file again and repaint, so
// that a test can change what the game shows without moving the focus; it waits until the
// repaint is done and logs "reload done" (exit 0) or "reload not-found" (exit 1).
// --cover on makes the running stand-in top-most, above every other window, as a game in
// exclusive full-screen mode covers the desktop; --cover off puts it back below the other windows
// (under Wine on Xvfb, without a window manager, it may still be drawn over them until they are
// raised).
// Logs "cover on done" / "cover off done" (exit 0) or "cover not-found" (exit 1).
// --activate brings the top-level window with that exact title to the foreground, as the player
// would by switching to it (Xvfb has no window manager to switch with): "activate done" (exit 0)
// or "activate not-found" (exit 1).
// --query-controls logs one line per child window of that top-level window, as a user sees it:
// "control id=N class=C parent=P x=X y=Y w=W h=H visible=0|1 readonly=0|1 checked=0|1 text=T"
// (screen position; P is the parent dialog's own id path, so that repeated ids can be told
// apart: the parent's window handle in hex; choice is a combo box's selected entry, -1 for none
// and for other controls; text is the control's text, or a combo box's selected choice, UTF-8,
// last on the line).
//
// Log lines: "<milliseconds since start> <event> <details>", flushed one by one, for example
//   152 ready window=0x1234 screen=1280x1024 picture=1280x1024 title="Stand-in Game"
//   901 key-down vk=0x31          930 char code=0x0031        955 key-up vk=0x31
//   1200 button-down left x=40 y=60                           1210 mouse-move x=41 y=60
//   1300 hotkey id=1 mod=0x2 vk=0x31      set-focus, kill-focus, activate state=1, activate-app 1
// Each line also goes to standard output. Exit code 0 after the window is closed, 2 for bad usage
// or an unreadable picture.
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/bmp.h"
#include "base/files.h"
#include "base/gdi_win.h"
#include "reader/glyphs.h"
#include "tools/compose/compose.h"
#include "tools/compose/second_screen.h"
#include "win/controls_win.h"  // CommandLineToArgvW
#ifdef TALLYWICK_STANDIN_PNG
#include "cli/image_file.h"
#endif

namespace {

constexpr wchar_t kClassName[] = L"D3 Main Window Class";
constexpr UINT kReloadMessage = WM_USER + 1;
constexpr UINT kCoverMessage = WM_USER + 2;  // wParam: 1 top-most over everything, 0 below the others
constexpr int kHeldHotkeyId = 1;
constexpr COLORREF kOutsideColour = RGB(0x40, 0x40, 0x40);  // beside a picture smaller than the screen

struct Options {
    std::string picture, scene, pack, savePicture, log, holdHotkey, probeHotkey, queryWindow, queryControls;
    bool reload = false;
    std::string cover;
    std::string activate;
    std::wstring title = L"Stand-in Game";
    bool framed = false;
};

FILE* gLog = nullptr;
ULONGLONG gStart = 0;
Options gOptions;
HBITMAP gBitmap = nullptr;  // the picture as a 32-bit DIB section, deleted when replaced
int gPictureWidth = 0, gPictureHeight = 0;
int gLastMouseX = -1, gLastMouseY = -1;

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n);
    return out;
}

// One line to the log file and to standard output, each flushed at once.
void Log(const char* format, ...) {
    char text[8192];  // room for a multi-line edit's whole text
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    const unsigned long long ms = GetTickCount64() - gStart;
    if (gLog) {
        std::fprintf(gLog, "%llu %s\n", ms, text);
        std::fflush(gLog);
    }
    std::printf("%llu %s\n", ms, text);
    std::fflush(stdout);
}

bool ParseNumber(const std::string& text, unsigned& value) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    const std::wstring w = Wide(text);
    const unsigned long v = std::wcstoul(w.c_str(), &end, 0);
    if (!end || *end != L'\0' || v > 0xFFFF) return false;
    value = unsigned(v);
    return true;
}

// "MOD,KEY" as described at the top; false for anything else.
bool ParseHotkey(const std::string& text, UINT& modifiers, UINT& key) {
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    const std::string mod = text.substr(0, comma), k = text.substr(comma + 1);
    modifiers = 0;
    if (mod != "none" && !ParseNumber(mod, modifiers)) {
        size_t start = 0;
        while (start <= mod.size()) {
            size_t plus = mod.find('+', start);
            if (plus == std::string::npos) plus = mod.size();
            const std::string name = mod.substr(start, plus - start);
            if (name == "ctrl")
                modifiers |= MOD_CONTROL;
            else if (name == "shift")
                modifiers |= MOD_SHIFT;
            else if (name == "alt")
                modifiers |= MOD_ALT;
            else if (name == "win")
                modifiers |= MOD_WIN;
            else
                return false;
            start = plus + 1;
        }
    }
    if (k.size() == 1 && std::isalnum(static_cast<unsigned char>(k[0]))) {
        key = UINT(std::toupper(static_cast<unsigned char>(k[0])));
        return true;
    }
    if (k.size() >= 2 && (k[0] == 'F' || k[0] == 'f') && std::isdigit(static_cast<unsigned char>(k[1]))) {
        unsigned n = 0;
        if (!ParseNumber(k.substr(1), n) || n < 1 || n > 24) return false;
        key = VK_F1 + n - 1;
        return true;
    }
    unsigned v = 0;
    if (!ParseNumber(k, v) || v == 0 || v > 0xFE) return false;
    key = v;
    return true;
}

// The picture or scene of the options, or false with a reason.
bool LoadPicture(PixelBuffer& picture, std::string& error) {
    if (!gOptions.scene.empty()) {
        std::vector<uint8_t> text;
        if (!LoadGlyphTemplates(error) || !ReadFileBytes(gOptions.scene, text, error)) return false;
        // A BMP file in the scene's place is shown as it is: a screen no description makes.
        if (text.size() >= 2 && text[0] == 'B' && text[1] == 'M')
            return DecodeBmp(text.data(), text.size(), picture, error);
        TooltipScene scene;
        if (!ParseScene(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()), scene,
                        error))
            return false;
        static GlyphPack pack;  // kept: the scene draws from it
        if (!gOptions.pack.empty()) {
            if (!LoadGlyphPack(gOptions.pack, pack, error) ||
                !LoadComposePlacement(gOptions.pack, scene.placement, error))
                return false;
            scene.pack = &pack;
        }
        return ComposeScreen(scene, picture, error);
    }
#ifdef TALLYWICK_STANDIN_PNG
    return LoadImageFile(gOptions.picture, picture, error);
#else
    const std::string& p = gOptions.picture;
    if (p.size() >= 4 &&
        (p.compare(p.size() - 4, 4, ".png") == 0 || p.compare(p.size() - 4, 4, ".PNG") == 0)) {
        error = "PNG pictures need the command-line reader's image loader; give a BMP";
        return false;
    }
    std::vector<uint8_t> bytes;
    return ReadFileBytes(gOptions.picture, bytes, error) &&
           DecodeBmp(bytes.data(), bytes.size(), picture, error);
#endif
}

// Loads the picture into a fresh DIB section (the previous one stays when loading fails).
bool ReloadPicture() {
    if (gOptions.picture.empty() && gOptions.scene.empty()) return true;
    PixelBuffer picture;
    std::string error;
    if (!LoadPicture(picture, error)) {
        Log("picture-error %s", error.c_str());
        return false;
    }
    if (!gOptions.savePicture.empty() && !WriteFileBytes(gOptions.savePicture, EncodeBmp24(picture), error)) {
        Log("picture-error %s", error.c_str());
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;  // top-down, like the pixel buffer
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    OwnedBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) {
        Log("picture-error cannot make a %dx%d bitmap", picture.width, picture.height);
        return false;
    }
    auto* out = static_cast<uint32_t*>(bits);
    for (size_t i = 0; i < size_t(picture.count); ++i) {
        const uint32_t v = picture.pixels[i];  // 0x00BBGGRR to the DIB's 0x00RRGGBB
        out[i] = (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
    }
    GdiFlush();
    if (gBitmap) DeleteObject(gBitmap);  // not selected anywhere: painting selects it for one scope
    gBitmap = bitmap.release();
    gPictureWidth = picture.width;
    gPictureHeight = picture.height;
    return true;
}

void Paint(HWND window) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    OwnedBrush outside(CreateSolidBrush(kOutsideColour));
    if (gBitmap) {
        OwnedDC memory(CreateCompatibleDC(dc));
        Selection selected(memory.get(), gBitmap);
        BitBlt(dc, 0, 0, gPictureWidth, gPictureHeight, memory.get(), 0, 0, SRCCOPY);
        RECT right = {gPictureWidth, 0, client.right, client.bottom};
        RECT below = {0, gPictureHeight, gPictureWidth, client.bottom};
        if (right.left < right.right) FillRect(dc, &right, outside.get());
        if (below.top < below.bottom) FillRect(dc, &below, outside.get());
    } else {
        FillRect(dc, &client, outside.get());
    }
    EndPaint(window, &ps);
}

const char* ButtonName(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return "left";
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return "right";
        default:
            return "middle";
    }
}

LRESULT CALLBACK GameWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));  // client position of mouse messages
    switch (message) {
        case WM_PAINT:
            Paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_KEYDOWN:
            Log("key-down vk=0x%02X repeat=%d", unsigned(wParam), (lParam >> 30) & 1 ? 1 : 0);
            break;
        case WM_KEYUP:
            Log("key-up vk=0x%02X", unsigned(wParam));
            break;
        case WM_SYSKEYDOWN:
            Log("sys-key-down vk=0x%02X", unsigned(wParam));
            break;
        case WM_SYSKEYUP:
            Log("sys-key-up vk=0x%02X", unsigned(wParam));
            break;
        case WM_CHAR:
            Log("char code=0x%04X", unsigned(wParam));
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            Log("button-down %s x=%d y=%d", ButtonName(message), x, y);
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            Log("button-up %s x=%d y=%d", ButtonName(message), x, y);
            break;
        case WM_MOUSEMOVE:
            if (x != gLastMouseX || y != gLastMouseY) Log("mouse-move x=%d y=%d", x, y);
            gLastMouseX = x, gLastMouseY = y;
            break;
        case WM_SETFOCUS:
            Log("set-focus");
            break;
        case WM_KILLFOCUS:
            Log("kill-focus");
            break;
        case WM_ACTIVATE:
            Log("activate state=%u minimized=%u", LOWORD(wParam), HIWORD(wParam) ? 1u : 0u);
            break;
        case WM_ACTIVATEAPP:
            Log("activate-app %d", wParam ? 1 : 0);
            break;
        case WM_HOTKEY:
            Log("hotkey id=%d mod=0x%X vk=0x%02X", int(wParam), unsigned(LOWORD(lParam)),
                unsigned(HIWORD(lParam)));
            return 0;
        case kReloadMessage:
            if (ReloadPicture()) Log("picture-reloaded picture=%dx%d", gPictureWidth, gPictureHeight);
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);  // painted before the sender goes on
            return 0;
        case kCoverMessage:
            if (wParam) {
                SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            } else {
                SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            }
            Log("covered %s", wParam ? "on" : "off");
            return 0;
        case WM_CLOSE:
            Log("close");
            break;
        case WM_DESTROY:
            Log("destroy");
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

int ProbeHotkey() {
    UINT modifiers = 0, key = 0;
    if (!ParseHotkey(gOptions.probeHotkey, modifiers, key)) {
        Log("usage-error bad hotkey \"%s\"", gOptions.probeHotkey.c_str());
        return 2;
    }
    if (RegisterHotKey(nullptr, kHeldHotkeyId, modifiers | MOD_NOREPEAT, key)) {
        Log("probe-hotkey mod=0x%X vk=0x%02X registered", modifiers, key);
        UnregisterHotKey(nullptr, kHeldHotkeyId);
        return 0;
    }
    Log("probe-hotkey mod=0x%X vk=0x%02X refused error=%lu", modifiers, key, GetLastError());
    return 1;
}

int QueryWindow() {
    HWND window = FindWindowW(nullptr, Wide(gOptions.queryWindow).c_str());
    RECT outer, client;
    POINT origin = {0, 0};
    if (!window || !GetWindowRect(window, &outer) || !GetClientRect(window, &client) ||
        !ClientToScreen(window, &origin)) {
        Log("query-window not-found");
        return 1;
    }
    Log("query-window window=%ld,%ld,%ld,%ld client=%ld,%ld,%ld,%ld visible=%d", outer.left, outer.top,
        outer.right, outer.bottom, origin.x, origin.y, client.right, client.bottom,
        IsWindowVisible(window) ? 1 : 0);
    return 0;
}

// Text as another process's control gives it: WM_GETTEXT, or a combo box's selected choice.
std::wstring ControlText(HWND control, const wchar_t* className) {
    wchar_t text[2048] = {};  // a message box's text runs to several paragraphs
    if (_wcsicmp(className, L"ComboBox") == 0) {
        const LRESULT i = SendMessageW(control, CB_GETCURSEL, 0, 0);
        if (i >= 0 && SendMessageW(control, CB_GETLBTEXTLEN, i, 0) < 2047)
            SendMessageW(control, CB_GETLBTEXT, i, LPARAM(text));
    } else {
        SendMessageW(control, WM_GETTEXT, 2047, LPARAM(text));
    }
    for (wchar_t* p = text; *p; ++p)
        if (*p == L'\r' || *p == L'\n') *p = L' ';
    return text;
}

BOOL CALLBACK LogControl(HWND control, LPARAM) {
    wchar_t className[64] = {};
    GetClassNameW(control, className, 64);
    RECT r;
    GetWindowRect(control, &r);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    const bool edit = _wcsicmp(className, L"Edit") == 0;
    const bool button = _wcsicmp(className, L"Button") == 0;
    const bool combo = _wcsicmp(className, L"ComboBox") == 0;
    Log("control id=%d class=%s parent=%llx x=%ld y=%ld w=%ld h=%ld visible=%d enabled=%d readonly=%d "
        "checked=%d choice=%d text=%s",
        GetDlgCtrlID(control), Utf8(className).c_str(), (unsigned long long)(uintptr_t)GetParent(control),
        r.left, r.top, r.right - r.left, r.bottom - r.top, IsWindowVisible(control) ? 1 : 0,
        IsWindowEnabled(control) ? 1 : 0, edit && (style & ES_READONLY) ? 1 : 0,
        button && SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0,
        combo ? int(SendMessageW(control, CB_GETCURSEL, 0, 0)) : -1,
        Utf8(ControlText(control, className)).c_str());
    return TRUE;
}

int Reload() {
    HWND window = FindWindowW(kClassName, nullptr);
    DWORD_PTR result = 0;
    if (!window || !SendMessageTimeoutW(window, kReloadMessage, 0, 0, SMTO_NORMAL, 10000, &result)) {
        Log("reload not-found");
        return 1;
    }
    Log("reload done");
    return 0;
}

int Cover() {
    const bool on = gOptions.cover == "on";
    if (!on && gOptions.cover != "off") {
        Log("usage-error --cover takes on or off");
        return 2;
    }
    HWND window = FindWindowW(kClassName, nullptr);
    DWORD_PTR result = 0;
    if (!window || !SendMessageTimeoutW(window, kCoverMessage, on ? 1 : 0, 0, SMTO_NORMAL, 10000, &result)) {
        Log("cover not-found");
        return 1;
    }
    Log("cover %s done", on ? "on" : "off");
    return 0;
}

int Activate() {
    HWND window = FindWindowW(nullptr, Wide(gOptions.activate).c_str());
    if (!window || !SetForegroundWindow(window)) {
        Log("activate not-found");
        return 1;
    }
    Log("activate done");
    return 0;
}

int QueryControls() {
    HWND window = FindWindowW(nullptr, Wide(gOptions.queryControls).c_str());
    if (!window) {
        Log("query-controls not-found");
        return 1;
    }
    EnumChildWindows(window, LogControl, 0);
    Log("query-controls done");
    return 0;
}

int RunGame(HINSTANCE instance) {
    if (!ReloadPicture()) return 2;

    if (!gOptions.holdHotkey.empty()) {
        UINT modifiers = 0, key = 0;
        if (!ParseHotkey(gOptions.holdHotkey, modifiers, key)) {
            Log("usage-error bad hotkey \"%s\"", gOptions.holdHotkey.c_str());
            return 2;
        }
        if (RegisterHotKey(nullptr, kHeldHotkeyId, modifiers | MOD_NOREPEAT, key))
            Log("hold-hotkey mod=0x%X vk=0x%02X registered", modifiers, key);
        else
            Log("hold-hotkey mod=0x%X vk=0x%02X refused error=%lu", modifiers, key, GetLastError());
    }

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = GameWndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) {
        Log("window-error RegisterClassExW %lu", GetLastError());
        return 2;
    }
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    HWND window = gOptions.framed
                      ? CreateWindowExW(0, kClassName, gOptions.title.c_str(), WS_OVERLAPPEDWINDOW, 100, 100,
                                        400, 300, nullptr, nullptr, instance, nullptr)
                      : CreateWindowExW(0, kClassName, gOptions.title.c_str(), WS_POPUP, 0, 0, width, height,
                                        nullptr, nullptr, instance, nullptr);
    if (!window) {
        Log("window-error CreateWindowExW %lu", GetLastError());
        return 2;
    }
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetForegroundWindow(window);
    SetFocus(window);
    Log("ready window=0x%llX screen=%dx%d picture=%dx%d title=\"%s\"",
        static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(window)), width, height, gPictureWidth,
        gPictureHeight, Utf8(gOptions.title).c_str());

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // A hotkey registered without a window arrives as a thread message.
        if (msg.hwnd == nullptr && msg.message == WM_HOTKEY) {
            GameWndProc(window, msg.message, msg.wParam, msg.lParam);
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    UnregisterHotKey(nullptr, kHeldHotkeyId);
    return int(msg.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    gStart = GetTickCount64();
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::string usage;
    for (int i = 1; i < argc; ++i) {
        const std::wstring name = argv[i];
        if (name == L"--framed") {
            gOptions.framed = true;
            continue;
        }
        if (name == L"--reload") {
            gOptions.reload = true;
            continue;
        }
        if (i + 1 >= argc) {
            usage = "missing value after " + Utf8(name);
            break;
        }
        const std::wstring value = argv[++i];
        if (name == L"--picture")
            gOptions.picture = Utf8(value);
        else if (name == L"--scene")
            gOptions.scene = Utf8(value);
        else if (name == L"--pack")
            gOptions.pack = Utf8(value);
        else if (name == L"--save-picture")
            gOptions.savePicture = Utf8(value);
        else if (name == L"--log")
            gOptions.log = Utf8(value);
        else if (name == L"--title")
            gOptions.title = value;
        else if (name == L"--hold-hotkey")
            gOptions.holdHotkey = Utf8(value);
        else if (name == L"--probe-hotkey")
            gOptions.probeHotkey = Utf8(value);
        else if (name == L"--query-window")
            gOptions.queryWindow = Utf8(value);
        else if (name == L"--query-controls")
            gOptions.queryControls = Utf8(value);
        else if (name == L"--activate")
            gOptions.activate = Utf8(value);
        else if (name == L"--cover")
            gOptions.cover = Utf8(value);
        else {
            usage = "unknown option " + Utf8(name);
            break;
        }
    }
    LocalFree(argv);
    if (!gOptions.log.empty()) gLog = _wfopen(Wide(gOptions.log).c_str(), L"ab");
    if (!usage.empty()) {
        Log("usage-error %s", usage.c_str());
        return 2;
    }
    int rc;
    if (!gOptions.probeHotkey.empty())
        rc = ProbeHotkey();
    else if (!gOptions.queryWindow.empty())
        rc = QueryWindow();
    else if (!gOptions.queryControls.empty())
        rc = QueryControls();
    else if (gOptions.reload)
        rc = Reload();
    else if (!gOptions.cover.empty())
        rc = Cover();
    else if (!gOptions.activate.empty())
        rc = Activate();
    else
        rc = RunGame(instance);
    Log("exit code=%d", rc);
    if (gLog) std::fclose(gLog);
    return rc;
}
