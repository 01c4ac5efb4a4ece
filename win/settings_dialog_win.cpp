// The settings dialog. The lists, sliders and check boxes change their settings at once through the
// binding table; the hotkeys and the two folders are read back when the dialog closes. There is no
// OK or Cancel: closing keeps everything.
#include "win/settings_dialog_win.h"

#include <objbase.h>
#include <shlobj.h>

#include "app/hotkey_notes.h"
#include "app/ini_win.h"
#include "app/settings_file.h"
#include "base/settings.h"
#include "res/resource.h"
#include "win/bindings_win.h"
#include "win/controls_win.h"
#include "win/hotkeys_win.h"
#include "win/main_window_win.h"
#include "win/startup_win.h"

namespace {

constexpr int kFolderChars = 259;

// By tolerance, in the order of kToleranceRanges.
struct ToleranceRow {
    int slider, button;
};
constexpr ToleranceRow kTolerances[3] = {
    {IDC_KIND_TOLERANCE, IDC_KIND_TOLERANCE_DEFAULT},
    {IDC_OPTION_TOLERANCE, IDC_OPTION_TOLERANCE_DEFAULT},
    {IDC_VALUE_TOLERANCE, IDC_VALUE_TOLERANCE_DEFAULT},
};

constexpr int kHotkeyNotes[kHotkeyCount] = {IDC_HOTKEY_NOTE_EQUIP, IDC_HOTKEY_NOTE_EQUIP_SECONDARY,
                                            IDC_HOTKEY_NOTE_COMPARE, IDC_HOTKEY_NOTE_COMPARE_SECONDARY,
                                            IDC_HOTKEY_NOTE_CAPTURE};

int HotkeyFieldId(int slot) {
    return HotkeyFieldId(gSettings.hotkeys, slot);
}

std::wstring FieldText(HWND dialog, int id) {
    wchar_t text[kFolderChars + 1] = {};
    GetDlgItemTextW(dialog, id, text, kFolderChars + 1);
    return text;
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM start) {
    if (message == BFFM_INITIALIZED && start) SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, start);
    return 0;
}

// Which combinations the system refused at the last registration, before the dialog gives them
// all back: a refused slot gets a note beside its field.
void ShowHotkeyNotes(HWND dialog) {
    bool registered[kHotkeyCount];
    for (int i = 0; i < kHotkeyCount; ++i) registered[i] = HotkeyRegistered(i);
    for (int i = 0; i < kHotkeyCount; ++i)
        SetDlgItemTextW(dialog, kHotkeyNotes[i],
                        reinterpret_cast<const wchar_t*>(
                            HotkeyNoteText(HotkeySlotState(gSettings.hotkeys, registered, i))));
}

void ShowHotkeys(HWND dialog) {
    for (int i = 0; i < kHotkeyCount; ++i)
        SendDlgItemMessageW(dialog, HotkeyFieldId(i), HKM_SETHOTKEY, HotkeyFieldValue(gSettings.hotkeys[i]),
                            0);
}

void OnInit(HWND dialog) {
    ShowHotkeyNotes(dialog);
    UnregisterHotkeys(gMainWindow);
    GuardedUpdate guard;
    const int lists[][2] = {{IDC_SOCKET_EQUIP_WEAPON, 3}, {IDC_SOCKET_EQUIP_HELM, 3},
                            {IDC_SOCKET_EQUIP_OTHER, 4},  {IDC_SOCKET_COMPARE_WEAPON, 3},
                            {IDC_SOCKET_COMPARE_HELM, 3}, {IDC_SOCKET_COMPARE_OTHER, 4},
                            {IDC_IMAGE_FORMAT, 2}};
    for (const auto& list : lists) FillChoiceList(dialog, list[0], list[1]);
    for (const int32_t& option : gSettings.socketOptions) ShowBoundChoice(dialog, &option);
    ShowBoundChoice(dialog, &gSettings.imageFileExtension);
    ShowHotkeys(dialog);
    for (int i = 0; i < 3; ++i)
        SendDlgItemMessageW(dialog, kTolerances[i].slider, TBM_SETRANGE, TRUE,
                            MAKELPARAM(kToleranceRanges[i].lowest, kToleranceRanges[i].highest));
    for (const int32_t& tolerance : gSettings.errorLimit) ShowBoundSlider(dialog, &tolerance);
    ShowToleranceLabels(dialog);
    ShowBoundCheck(dialog, &gSettings.showModifiedStatsPopup);
    ShowBoundCheck(dialog, &gSettings.noActivateMainWindowOnEquip);
    for (int id : {IDC_IMAGE_FOLDER, IDC_INI_FOLDER})
        SendDlgItemMessageW(dialog, id, EM_SETLIMITTEXT, kFolderChars, 0);
    SetDlgItemTextW(dialog, IDC_IMAGE_FOLDER, Utf8ToWide(ImageFolder()).c_str());
    SetDlgItemTextW(dialog, IDC_INI_FOLDER, Utf8ToWide(gSettings.iniFolder).c_str());
}

void OnClose(HWND dialog) {
    SetImageFolder(WideToUtf8(FieldText(dialog, IDC_IMAGE_FOLDER).c_str()));
    gSettings.iniFolder = WideToUtf8(FieldText(dialog, IDC_INI_FOLDER).c_str());
    ComputeSettingsPath(ExecutablePath());
    for (int i = 0; i < kHotkeyCount; ++i)
        SetSlotFromHotkeyField(
            gSettings.hotkeys[i],
            uint32_t(SendDlgItemMessageW(dialog, HotkeyFieldId(i), HKM_GETHOTKEY, 0, 0)) & 0xFFFF);
    RegisterHotkeys(gMainWindow);
    EndDialog(dialog, 0);
}

void OnSlider(HWND dialog, HWND slider) {
    ReadBoundSlider(dialog, GetDlgCtrlID(slider));
    ShowToleranceLabels(dialog);
}

void OnDefaultButton(HWND dialog, int button) {
    for (int i = 0; i < 3; ++i)
        if (kTolerances[i].button == button) {
            gSettings.errorLimit[i] = kToleranceRanges[i].byDefault;
            ShowBoundSlider(dialog, &gSettings.errorLimit[i]);
        }
    ShowToleranceLabels(dialog);
}

// Browsing starts at the folder in the field; a chosen one is shown there and taken when the
// dialog closes.
void OnBrowse(HWND dialog, int field) {
    std::string folder = WideToUtf8(FieldText(dialog, field).c_str());
    if (ChooseFolder(dialog, folder)) SetDlgItemTextW(dialog, field, Utf8ToWide(folder).c_str());
}

// A changed field stands for a combination not yet registered: its old note no longer applies.
void OnHotkeyChanged(HWND dialog, int field) {
    for (int i = 0; i < kHotkeyCount; ++i)
        if (HotkeyFieldId(i) == field) SetDlgItemTextW(dialog, kHotkeyNotes[i], L"");
}

void OnCommand(HWND dialog, int id, int code) {
    switch (id) {
        case IDCANCEL:  // the close box or Escape
            OnClose(dialog);
            return;
        case IDOK:  // Enter: there is no default button
            return;
        case IDC_KIND_TOLERANCE_DEFAULT:
        case IDC_OPTION_TOLERANCE_DEFAULT:
        case IDC_VALUE_TOLERANCE_DEFAULT:
            OnDefaultButton(dialog, id);
            return;
        case IDC_IMAGE_FOLDER_BROWSE:
            OnBrowse(dialog, IDC_IMAGE_FOLDER);
            return;
        case IDC_INI_FOLDER_BROWSE:
            OnBrowse(dialog, IDC_INI_FOLDER);
            return;
        default:
            break;
    }
    if (gUiUpdateGuard != 1) return;
    if (code == CBN_SELCHANGE)
        ReadBoundChoice(dialog, id);
    else if (code == BN_CLICKED && (id == IDC_NO_ACTIVATE_ON_EQUIP || id == IDC_POPUP_ON_COMPARE))
        ReadBoundCheck(dialog, id);
    else if (code == EN_CHANGE)
        OnHotkeyChanged(dialog, id);
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_HSCROLL:
            if (lParam) OnSlider(dialog, reinterpret_cast<HWND>(lParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void OpenSettingsDialog(HWND owner) {
    DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_SETTINGS), owner, SettingsDialogProc, 0);
}

bool ChooseFolder(HWND owner, std::string& folder) {
    // The resizable browser needs COM in a single-threaded apartment on the calling thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const std::wstring start = Utf8ToWide(folder);
    wchar_t name[MAX_PATH] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = owner;
    info.pszDisplayName = name;
    info.lpszTitle = L"저장할 폴더를 선택하세요.";
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    bool chosen = false;
    if (PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info)) {
        wchar_t path[MAX_PATH] = {};
        if (SHGetPathFromIDListW(item, path)) {
            folder = WideToUtf8(path);
            chosen = true;
        }
        CoTaskMemFree(item);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

// Runs on the capture action's worker: the folder is handed over under the image folder's lock.
bool ChooseImageFolder() {
    std::string folder = ImageFolder();
    if (!ChooseFolder(gMainWindow, folder)) return false;
    SetImageFolder(folder);
    return true;
}
