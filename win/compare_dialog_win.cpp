// The compare-item dialog. Its record keeps the kind and position between openings; the stats
// start empty each time. Hotkeys are off while it is open, so a key press cannot start an action
// that would change the numbers under the player's typing.
#include "win/compare_dialog_win.h"

#include "app/bindings.h"
#include "app/compare_fields.h"
#include "calc/actions.h"
#include "calc/formulas.h"
#include "res/resource.h"
#include "win/bindings_win.h"
#include "win/controls_win.h"
#include "win/hotkeys_win.h"
#include "win/main_window_win.h"

namespace {

void Close(HWND dialog, INT_PTR result) {
    RegisterHotkeys(gMainWindow);
    EndDialog(dialog, result);
}

// Enter in an editable field submits the dialog; everything else goes on to the edit itself.
LRESULT CALLBACK FieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_KEYDOWN && wParam == VK_RETURN &&
        !(GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY)) {
        Close(GetParent(field), 1);
        return 0;
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(field, FieldProc, 0);
    return DefSubclassProc(field, message, wParam, lParam);
}

// The two drop-down lists keep their own Enter, which picks the highlighted choice: taking it as
// "submit" would close the dialog while the player is still choosing the kind.
bool IsEdit(HWND control) {
    wchar_t className[16] = {};
    return control && GetClassNameW(control, className, 16) && lstrcmpiW(className, L"Edit") == 0;
}

void ShowWeaponDps(HWND dialog) {
    gCompareItem.weaponDps = WeaponDps(gCompareItem.item);
    ShowBoundValue(dialog, &gCompareItem.weaponDps);
}

void ApplyKindFields(HWND dialog) {
    const bool weapon = IsWeaponKind(gCompareItem.item.kind);
    for (int s : kCompareWeaponOnlyStats)
        SetFieldLocked(dialog, &gCompareItem.item.stats[s], !weapon, !weapon);
    for (int s : kCompareNonWeaponStats) SetFieldLocked(dialog, &gCompareItem.item.stats[s], weapon, weapon);
    ShowWeaponDps(dialog);
}

void OnInit(HWND dialog) {
    UnregisterHotkeys(gMainWindow);
    const ControlBinding* table = BindingTable();
    for (int i = 0; i < kBindingCount; ++i)
        if (table[i].kind == kCompareFieldKind && IsEdit(GetDlgItem(dialog, table[i].controlId)))
            SetWindowSubclass(GetDlgItem(dialog, table[i].controlId), FieldProc, 0, 0);
    FillChoiceList(dialog, IDC_CMP_KIND, 13);
    FillChoiceList(dialog, IDC_CMP_POSITION, 2);
    for (float& v : gCompareItem.item.stats) v = 0;
    ShowBoundChoice(dialog, &gCompareItem.item.kind);
    ShowBoundChoice(dialog, &gCompareItem.secondary);
    ApplyKindFields(dialog);
}

void OnCommand(HWND dialog, int id, int code) {
    switch (id) {
        case IDOK:  // Enter outside the fields: the focused control decides
            SendMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
            return;
        case IDCANCEL:
        case IDC_CMP_CANCEL:
            Close(dialog, 2);
            return;
        case IDC_CMP_SUBMIT:
            Close(dialog, 1);
            return;
        default:
            break;
    }
    if (gUiUpdateGuard != 1) return;
    if (code == CBN_SELCHANGE) {
        const int32_t previousKind = gCompareItem.item.kind;
        ReadBoundChoice(dialog, id);
        if (id == IDC_CMP_KIND) {
            ClearHiddenCompareStats(gCompareItem.item, previousKind);
            ApplyKindFields(dialog);
        }
    } else if (code == EN_CHANGE) {
        ReadBoundEdit(dialog, id);
        ShowWeaponDps(dialog);
    }
}

INT_PTR CALLBACK CompareDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnInit(dialog);
            return TRUE;
        case WM_COMMAND:
            OnCommand(dialog, LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

void OpenCompareDialog() {
    const INT_PTR result =
        DialogBoxParamW(gInstance, MAKEINTRESOURCEW(IDD_COMPARE), gMainWindow, CompareDialogProc, 0);
    if (result == 1) CompareItem(gCompareItem.item, gCompareItem.secondary, 1);
}
