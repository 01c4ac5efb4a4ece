// The binding operations on real controls.
#include "win/bindings_win.h"

#include <string>

#include "base/settings.h"
#include "res/resource.h"
#include "win/controls_win.h"

int gUiUpdateGuard = 1;

namespace {

HWND BoundControl(HWND window, const ControlBinding* b) {
    return b ? GetDlgItem(window, b->controlId) : nullptr;
}

// Writes only a text that differs: an action redisplays hundreds of fields, and most keep theirs.
void SetText(HWND control, const std::u16string& text) {
    wchar_t current[128];
    const int n = GetWindowTextW(control, current, 128);
    if (size_t(n) == text.size() && text.size() < 127 &&
        std::char_traits<char16_t>::compare(reinterpret_cast<const char16_t*>(current), text.data(),
                                            text.size()) == 0)
        return;
    GuardedUpdate guard;
    SetWindowTextW(control, reinterpret_cast<const wchar_t*>(text.c_str()));
}

}  // namespace

void ShowBoundValue(HWND window, const float* variable) {
    const ControlBinding* b = FindBindingByTarget(variable);
    if (HWND control = BoundControl(window, b)) SetText(control, BoundValueText(*variable, b->decimals));
}

void ShowBoundChoice(HWND window, const int32_t* variable) {
    const ControlBinding* b = FindBindingByTarget(variable);
    const ChoiceList* list = b ? FindChoiceList(b->controlId) : nullptr;
    if (!list) return;
    GuardedUpdate guard;
    SendDlgItemMessageW(window, b->controlId, CB_SETCURSEL, ChoiceIndexForValue(*list, *variable), 0);
}

void ShowBoundCheck(HWND window, const int32_t* variable) {
    const ControlBinding* b = FindBindingByTarget(variable);
    if (!b) return;
    GuardedUpdate guard;
    CheckDlgButton(window, b->controlId, *variable ? BST_CHECKED : BST_UNCHECKED);
}

void ReadBoundEdit(HWND window, int controlId) {
    ControlBinding* b = FindBindingById(controlId);
    if (!b || !b->target) return;
    wchar_t text[128] = {};
    GetDlgItemTextW(window, controlId, text, 128);
    *static_cast<float*>(b->target) = StoredValueFromText(reinterpret_cast<const char16_t*>(text));
}

void ReadBoundChoice(HWND window, int controlId) {
    ControlBinding* b = FindBindingById(controlId);
    const ChoiceList* list = FindChoiceList(controlId);
    if (!b || !b->target || !list) return;
    const LRESULT i = SendDlgItemMessageW(window, controlId, CB_GETCURSEL, 0, 0);
    if (i < 0 || i >= list->count) return;
    *static_cast<int32_t*>(b->target) = list->choices[i].value;
}

void ReadBoundCheck(HWND window, int controlId) {
    ControlBinding* b = FindBindingById(controlId);
    if (!b || !b->target) return;
    *static_cast<int32_t*>(b->target) = IsDlgButtonChecked(window, controlId) == BST_CHECKED ? 1 : 0;
}

void FillChoiceList(HWND window, int controlId, int n) {
    const ChoiceList* list = FindChoiceList(controlId);
    if (!list) return;
    GuardedUpdate guard;
    for (int i = 0; i < n && i < list->count; ++i)
        SendDlgItemMessageW(window, controlId, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(list->choices[i].text));
}

void ShowBoundSlider(HWND window, const int32_t* variable) {
    const ControlBinding* b = FindBindingByTarget(variable);
    if (!b) return;
    GuardedUpdate guard;
    SendDlgItemMessageW(window, b->controlId, TBM_SETPOS, TRUE, *variable);
}

void ReadBoundSlider(HWND window, int controlId) {
    ControlBinding* b = FindBindingById(controlId);
    if (!b || !b->target) return;
    *static_cast<int32_t*>(b->target) = int32_t(SendDlgItemMessageW(window, controlId, TBM_GETPOS, 0, 0));
}

void ShowToleranceLabels(HWND window) {
    constexpr int kLabels[3] = {IDC_KIND_TOLERANCE_VALUE, IDC_OPTION_TOLERANCE_VALUE,
                                IDC_VALUE_TOLERANCE_VALUE};
    GuardedUpdate guard;
    for (int i = 0; i < 3; ++i) SetDlgItemInt(window, kLabels[i], UINT(gSettings.errorLimit[i]), TRUE);
}

void SetFieldLocked(HWND window, const ControlBinding* entry, bool locked, bool zeroValue) {
    HWND control = BoundControl(window, entry);
    if (!control) return;
    if (locked) {
        SetText(control, u"");
        if (zeroValue && entry->target) *static_cast<float*>(entry->target) = 0;
    }
    SendMessageW(control, EM_SETREADONLY, locked ? TRUE : FALSE, 0);
}

void SetFieldLocked(HWND window, const float* variable, bool locked, bool zeroValue) {
    SetFieldLocked(window, FindBindingByTarget(variable), locked, zeroValue);
}
