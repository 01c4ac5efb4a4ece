// The about box. Its texts are the program's own, set when it opens (the template holds
// placeholders). Hotkeys are off while it is open and registered again when it closes.
#include "win/about_box_win.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "res/resource.h"
#include "tallywick_version.h"
#include "win/controls_win.h"
#include "win/distribution_win.h"
#include "win/hotkeys_win.h"
#include "win/main_window_win.h"

namespace {

constexpr wchar_t kVersionText[] = L"Tallywick v" TALLYWICK_VERSION_NAME;
constexpr wchar_t kDateText[] = L"2012/09/23";
constexpr wchar_t kNoteText[] =
    L"\r\n Tallywick는 아래의 블로그 주소를 통해 정식으로 배포됩니다.\r\n"
    L"프로그램에 대한 의견은 언제나 환영합니다.";

// The link sits at the bottom right: the control is narrowed to its text and moved to the right
// end of its template place, which does not depend on the link control's own alignment styles.
void AlignLinkRight(HWND link) {
    RECT place;
    GetWindowRect(link, &place);
    MapWindowPoints(nullptr, GetParent(link), reinterpret_cast<POINT*>(&place), 2);
    SIZE text = {};
    {
        BorrowedDC dc(link);
        const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(link, WM_GETFONT, 0, 0));
        Selection selected(dc.get(), font);
        GetTextExtentPoint32W(dc.get(), kDistributionPage, int(wcslen(kDistributionPage)), &text);
    }
    const int width = std::min<int>(text.cx + 8, place.right - place.left);
    if (width <= 8) return;
    SetWindowPos(link, nullptr, place.right - width, place.top, width, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void OnInit(HWND dialog) {
    UnregisterHotkeys(gMainWindow);
    SetDlgItemTextW(dialog, IDC_ABOUT_VERSION, kVersionText);
    SetDlgItemTextW(dialog, IDC_ABOUT_DATE, kDateText);
    SetDlgItemTextW(dialog, IDC_ABOUT_NOTE, kNoteText);
    // A bare <a>: the click opens the one distribution constant, and the markup needs no
    // attribute, whose separator some link controls take from the font.
    const std::wstring link = std::wstring(L"<a>") + kDistributionPage + L"</a>";
    SetDlgItemTextW(dialog, IDC_ABOUT_LINK, link.c_str());
    AlignLinkRight(GetDlgItem(dialog, IDC_ABOUT_LINK));
    // The focus starts on the link, so the note is not shown all selected.
    SetFocus(GetDlgItem(dialog, IDC_ABOUT_LINK));
}

void OnClose(HWND dialog) {
    RegisterHotkeys(gMainWindow);
    EndDialog(dialog, 0);
}

// A click on the link, or Enter while it has the focus.
void OnLinkActivated(HWND dialog) {
    ShellExecuteW(dialog, L"open", kDistributionPage, nullptr, nullptr, SW_SHOWNORMAL);
}

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog);
            return FALSE;  // the focus is set
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) OnClose(dialog);
            return TRUE;  // no OK button: Enter elsewhere does nothing
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == IDC_ABOUT_LINK && (header->code == NM_CLICK || header->code == NM_RETURN))
                OnLinkActivated(dialog);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

void OpenAboutBox(HWND owner) {
    DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutBoxProc, 0);
}
