// The glyph pack dialog. It works on one tooltip picture at a time (the last capture's, or one the
// player opens), pre-fills the form from a first reading with the pack of that screen size, and on
// "배우기" teaches the pack folder and shows what that did. The form's logic and texts are in
// app/learn_form; this file moves them between the controls and draws the picture.
#include "win/learn_dialog_win.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "app/ini_win.h"
#include "app/last_tooltip.h"
#include "app/learn_form.h"
#include "app/learn_korean.h"
#include "base/catalogue.h"
#include "base/files.h"
#include "base/settings.h"
#include "reader/pack_learn.h"
#include "res/resource.h"
#include "win/controls_win.h"
#include "win/dispatcher_win.h"
#include "win/hotkeys_win.h"
#include "win/main_window_win.h"
#include "win/picture_file_win.h"
#include "win/startup_win.h"

namespace {

constexpr int kValueChars = 24;
constexpr int kNumberMargin = 22;  // pixels left of the picture for the line numbers

struct LearnSession {
    bool have = false;
    PixelBuffer tooltip;          // what is described and learned: the tooltip alone
    std::vector<uint32_t> shown;  // the same pixels in the order a DIB wants (0x00RRGGBB)
    LearnSource source;
    std::vector<int> lineTops;  // each option line's top row in the tooltip
    LearnForm guessed;          // the form as the first reading filled it in
};

// The pack folder as the player knows such paths, with backslashes.
std::string PackFolder(int width, int height) {
    std::string folder = GlyphPackFolder(width, height);
    std::replace(folder.begin(), folder.end(), '/', '\\');
    return folder;
}

LearnSession& Session(HWND dialog) {
    return *reinterpret_cast<LearnSession*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

std::string ControlText(HWND dialog, int id) {
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, id, text, 256);
    return WideToUtf8(text);
}

void SetText(HWND dialog, int id, const std::string& text) {
    SetDlgItemTextW(dialog, id, Utf8ToWide(text).c_str());
}

void AddChoice(HWND dialog, int id, const char16_t* text) {
    SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

// The pack the first reading uses: the folder of that size when it loads, else the built-in one.
GlyphPack PackForGuess(LearnSource& source) {
    GlyphPack pack = BuiltInPack();
    PackContents contents;
    std::error_code ec;
    source.packPictures = 0;
    source.packError.clear();
    if (!std::filesystem::is_directory(PathFromUtf8(source.folder), ec)) return pack;
    std::string why;
    if (!LoadGlyphPack(source.folder, pack, why, &contents)) {
        source.packError = KoreanText(PackFailure(kPackUnreadable, source.folder, why));
        return BuiltInPack();
    }
    source.packPictures = contents.Pictures();
    return pack;
}

// What the folder holds now (nothing when it does not exist or cannot be read).
PackContents FolderContents(const std::string& folder) {
    GlyphPack pack;
    PackContents contents;
    std::string error;
    std::error_code ec;
    if (std::filesystem::is_directory(PathFromUtf8(folder), ec))
        LoadGlyphPack(folder, pack, error, &contents);
    return contents;
}

void ApplyKind(HWND dialog) {
    const int kind = int(SendDlgItemMessageW(dialog, IDC_LEARN_KIND, CB_GETCURSEL, 0, 0));
    for (int id : {IDC_LEARN_APS, IDC_LEARN_DAMAGE}) EnableWindow(GetDlgItem(dialog, id), IsWeaponKind(kind));
}

void ShowForm(HWND dialog, const LearnForm& form, bool usable) {
    SendDlgItemMessageW(dialog, IDC_LEARN_KIND, CB_SETCURSEL, form.kind, 0);
    EnableWindow(GetDlgItem(dialog, IDC_LEARN_KIND), usable);
    for (int i = 0; i < kLearnRows; ++i) {
        const bool line = usable && i < form.lineCount;
        SendDlgItemMessageW(dialog, IDC_LEARN_ROW + i, CB_SETCURSEL, line ? form.rows[i] + 1 : -1, 0);
        SetText(dialog, IDC_LEARN_VALUE + i, line ? form.values[i] : std::string());
        EnableWindow(GetDlgItem(dialog, IDC_LEARN_ROW + i), line);
        EnableWindow(GetDlgItem(dialog, IDC_LEARN_VALUE + i), line);
    }
    SetText(dialog, IDC_LEARN_APS, form.attacksPerSecond);
    SetText(dialog, IDC_LEARN_DAMAGE, form.damage);
    SetText(dialog, IDC_LEARN_SOCKETS, form.emptySockets);
    EnableWindow(GetDlgItem(dialog, IDC_LEARN_SOCKETS), usable);
    EnableWindow(GetDlgItem(dialog, IDC_LEARN_TEACH), usable);
    ApplyKind(dialog);
}

LearnForm ReadForm(HWND dialog, const LearnSession& session) {
    LearnForm form;
    form.kind = int(SendDlgItemMessageW(dialog, IDC_LEARN_KIND, CB_GETCURSEL, 0, 0));  // CB_ERR is -1
    form.lineCount = session.guessed.lineCount;
    for (int i = 0; i < std::min(form.lineCount, kLearnRows); ++i) {
        const int choice = int(SendDlgItemMessageW(dialog, IDC_LEARN_ROW + i, CB_GETCURSEL, 0, 0));
        form.rows[i] = choice > 0 ? choice - 1 : -1;
        form.values[i] = ControlText(dialog, IDC_LEARN_VALUE + i);
    }
    form.attacksPerSecond = ControlText(dialog, IDC_LEARN_APS);
    form.damage = ControlText(dialog, IDC_LEARN_DAMAGE);
    form.emptySockets = ControlText(dialog, IDC_LEARN_SOCKETS);
    return form;
}

// Reads the session's tooltip with the pack of its size and shows what that found.
void ShowSession(HWND dialog) {
    LearnSession& s = Session(dialog);
    InvalidateRect(GetDlgItem(dialog, IDC_LEARN_PICTURE), nullptr, TRUE);
    if (!s.have) {
        ShowForm(dialog, LearnForm(), false);
        SetText(
            dialog, IDC_LEARN_REPORT,
            "마지막 단축키 캡처에 툴팁이 없습니다.\r\n게임에서 아이템에 마우스를 올리고 단축키(예: Ctrl+1)를 "
            "누른 뒤 다시 여세요. 저장한 툴팁이나 스크린샷은 \"열기...\"로 열 수 있습니다.");
        return;
    }
    s.shown.resize(s.tooltip.pixels.size());
    for (size_t i = 0; i < s.shown.size(); ++i) {
        const uint32_t v = s.tooltip.pixels[i];
        s.shown[i] = (v & 0xFF) << 16 | (v & 0xFF00) | (v >> 16 & 0xFF);
    }
    const GlyphPack pack = PackForGuess(s.source);
    TooltipGuess guess;
    LearnMessage error;
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const bool read = GuessTooltip(s.tooltip, pack, guess, error);
    SetCursor(previous);
    s.guessed = read ? FormFromGuess(guess) : LearnForm();
    s.lineTops = read ? guess.lineTops : std::vector<int>();
    ShowForm(dialog, s.guessed, read);
    SetText(dialog, IDC_LEARN_REPORT,
            IntroText(s.source, s.guessed, read ? std::string() : KoreanText(error)));
}

void OnInit(HWND dialog, LearnSession* session) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(session));
    UnregisterHotkeys(gMainWindow);
    for (const ItemKind& kind : kItemKinds) AddChoice(dialog, IDC_LEARN_KIND, kind.name);
    for (int i = 0; i < kLearnRows; ++i) {
        AddChoice(dialog, IDC_LEARN_ROW + i, u"—");
        for (const StatDescriptor& row : kStatDescriptors) AddChoice(dialog, IDC_LEARN_ROW + i, row.name);
        SendDlgItemMessageW(dialog, IDC_LEARN_VALUE + i, EM_SETLIMITTEXT, kValueChars, 0);
    }
    for (int id : {IDC_LEARN_APS, IDC_LEARN_DAMAGE, IDC_LEARN_SOCKETS})
        SendDlgItemMessageW(dialog, id, EM_SETLIMITTEXT, kValueChars, 0);
    ShowSession(dialog);
}

// `changed`: some of the pack's files were written before the failure.
void ReportFolderFailure(HWND dialog, const std::string& folder, const std::string& why, bool changed) {
    std::wstring text = std::wstring(L"글자 팩 폴더에 쓸 수 없습니다. ") +
                        (changed ? L"팩의 일부만 바뀌었습니다: 폴더에 쓸 수 있게 한 뒤 다시 배우세요.\n"
                                 : L"팩을 바꾸지 않았습니다.\n") +
                        Utf8ToWide(folder);
    if (!why.empty()) text += L"\n" + Utf8ToWide(why);
    MessageBoxW(dialog, text.c_str(), kMessageBoxTitle, MB_OK | MB_ICONERROR);
}

void OnTeach(HWND dialog) {
    LearnSession& s = Session(dialog);
    if (!s.have) return;
    const LearnForm form = ReadForm(dialog, s);
    LearnTooltip what;
    std::string problem;
    if (!DescribeForm(form, what, problem)) {
        SetText(dialog, IDC_LEARN_REPORT, "배우기 전에 고칠 것: " + problem);
        return;
    }
    // A folder that cannot be written is named before anything is tried.
    if (!FolderWritable(s.source.folder)) {
        ReportFolderFailure(dialog, s.source.folder, std::string(), false);
        return;
    }
    const PackContents before = FolderContents(s.source.folder);
    TeachOutcome outcome;
    LearnMessage error;
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const bool taught = TeachPackFolder(s.source.folder, s.tooltip, what, outcome, error);
    SetCursor(previous);
    if (!taught && outcome.folderFailed) {
        // What was written before the failure is read from the next hotkey action on.
        if (outcome.wrote) DropGlyphPack(s.source.screenWidth, s.source.screenHeight);
        ReportFolderFailure(dialog, s.source.folder, KoreanText(error), outcome.wrote);
        return;
    }
    if (!taught) {
        SetText(dialog, IDC_LEARN_REPORT, "배우지 못했습니다 (팩은 그대로): " + KoreanText(error));
        return;
    }
    DropGlyphPack(s.source.screenWidth, s.source.screenHeight);
    const PackContents after = FolderContents(s.source.folder);
    s.source.packPictures = after.Pictures();
    SetText(
        dialog, IDC_LEARN_REPORT,
        TeachText(s.source, outcome, before, after, what, FieldsByHand(s.guessed, form), FormFields(form)));
}

// A saved tooltip, or a screenshot whose tooltip is cut out; learned for the primary display's size.
void OnOpen(HWND dialog) {
    LearnSession& s = Session(dialog);
    wchar_t path[MAX_PATH] = {};
    const std::wstring folder = Utf8ToWide(ImageFolder());
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dialog;
    ofn.lpstrFilter = L"툴팁이나 스크린샷 (*.bmp, *.png)\0*.bmp;*.png\0모든 파일\0*.*\0";
    ofn.lpstrFile = path;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return;
    const std::string file = WideToUtf8(path);
    PixelBuffer picture;
    std::string error;
    if (!LoadPictureFile(file, picture, error)) {
        SetText(dialog, IDC_LEARN_REPORT, "그림을 열지 못했습니다: " + file + "\r\n" + error);
        return;
    }
    PixelBuffer tooltip;
    LearnMessage notFound;
    if (!FindTooltipBody(picture, tooltip, notFound)) {
        SetText(dialog, IDC_LEARN_REPORT,
                "그림에서 툴팁을 찾지 못했습니다: " + file + "\r\n" + KoreanText(notFound));
        return;
    }
    s.have = true;
    s.tooltip = std::move(tooltip);
    s.source = LearnSource();
    s.source.openedFile = true;
    s.source.file = file;
    s.source.pictureWidth = picture.width;
    s.source.pictureHeight = picture.height;
    s.source.screenWidth = GetSystemMetrics(SM_CXSCREEN);
    s.source.screenHeight = GetSystemMetrics(SM_CYSCREEN);
    s.source.folder = PackFolder(s.source.screenWidth, s.source.screenHeight);
    ShowSession(dialog);
}

// The tooltip scaled to fit beside a column of line numbers, each at its line's height.
void DrawPicture(const LearnSession& s, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    OwnedBrush back(CreateSolidBrush(RGB(0x30, 0x30, 0x30)));
    FillRect(dc, &r, back.get());
    const PixelBuffer& t = s.tooltip;
    if (!s.have || t.width <= 0 || t.height <= 0) return;
    const int areaW = r.right - r.left - kNumberMargin, areaH = r.bottom - r.top;
    const double scale = std::min(double(areaW) / t.width, double(areaH) / t.height);
    const int w = std::max(1, int(t.width * scale)), h = std::max(1, int(t.height * scale));
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = t.width;
    info.bmiHeader.biHeight = -t.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetStretchBltMode(dc, scale < 1 ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(dc, 0, 0, nullptr);
    StretchDIBits(dc, r.left + kNumberMargin, r.top, w, h, 0, 0, t.width, t.height, s.shown.data(), &info,
                  DIB_RGB_COLORS, SRCCOPY);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0xFF, 0xD8, 0x30));
    for (size_t i = 0; i < s.lineTops.size(); ++i) {
        const std::wstring number = std::to_wstring(i + 1);
        RECT cell = {r.left, r.top + int(s.lineTops[i] * scale) - 2, r.left + kNumberMargin - 3,
                     r.top + int(s.lineTops[i] * scale) + 14};
        DrawTextW(dc, number.c_str(), -1, &cell, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOCLIP);
    }
}

void Close(HWND dialog) {
    RegisterHotkeys(gMainWindow);
    EndDialog(dialog, 0);
}

void OnCommand(HWND dialog, int id, int code) {
    switch (id) {
        case IDCANCEL:
            Close(dialog);
            break;
        case IDC_LEARN_TEACH:
            OnTeach(dialog);
            break;
        case IDC_LEARN_OPEN:
            OnOpen(dialog);
            break;
        case IDC_LEARN_KIND:
            if (code == CBN_SELCHANGE) ApplyKind(dialog);
            break;
        default:  // IDOK (Enter): learning takes the button
            break;
    }
}

INT_PTR CALLBACK LearnDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Controls may talk to the dialog before it has its session.
    if (message != WM_INITDIALOG && !GetWindowLongPtrW(dialog, DWLP_USER)) return FALSE;
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog, reinterpret_cast<LearnSession*>(lParam));
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_DRAWITEM:
            if (wParam != IDC_LEARN_PICTURE) return FALSE;
            DrawPicture(Session(dialog), *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void OpenLearnDialog(HWND owner) {
    LearnSession session;
    KeptTooltip kept;
    if (LastTooltip(kept)) {
        session.have = true;
        session.tooltip = std::move(kept.picture);
        session.source.screenWidth = kept.screenWidth;
        session.source.screenHeight = kept.screenHeight;
        session.source.folder = PackFolder(kept.screenWidth, kept.screenHeight);
    }
    DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_LEARN_GLYPHS), owner, LearnDialogProc,
                    reinterpret_cast<LPARAM>(&session));
}
