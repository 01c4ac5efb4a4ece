// The three pages: every value control tied to its variable through the binding table, edits
// written back at once and the numbers recomputed.
#include "win/pages_win.h"

#include <algorithm>
#include <string>

#include "app/bindings.h"
#include "app/profile_switch.h"
#include "base/profile.h"
#include "base/settings.h"
#include "calc/formulas.h"
#include "calc/profile_layout.h"
#include "calc/view.h"
#include "res/resource.h"
#include "win/bindings_win.h"
#include "win/compare_dialog_win.h"
#include "win/main_window_win.h"
#include "win/popups_win.h"
#include "win/settings_report_win.h"
#include "win/startup_win.h"

HWND gProfilePage = nullptr;
HWND gCalculatorPage = nullptr;
HWND gSummaryPage = nullptr;

namespace {

// Profile page scrolling, in pixels.
constexpr int kVisibleHeightLimit = 800;
struct ProfileScroll {
    int total;
    int visible;
    int position;
    int width;
};
ProfileScroll gScroll = {};

// The calculator page's diff indicators: static control and whether it shows a rise.
struct DiffIndicator {
    HWND window;
    bool rising;
};
DiffIndicator gDiff[kSummaryCount] = {};

void ShowAdjustmentsOnPage() {
    for (const float& v : gCalc.adjustments) ShowBoundValue(gCalculatorPage, &v);
}

int Notification(WPARAM wParam) {
    return HIWORD(wParam);
}

// ---- Profile page

void ShowProfileValues(const EquipmentProfile& profile) {
    HWND page = gProfilePage;
    if (!page) return;
    ShowBoundChoice(page, &profile.mainAttribute);
    ShowBoundChoice(page, &profile.weaponStyle);
    ShowBoundCheck(page, &profile.offHandWithTwoHander);
    GuardedUpdate guard;
    ShowBoundValue(page, &profile.paragonLevel);
    for (const float* v :
         {&profile.skillAttackSpeed, &profile.skillCritDamage, &profile.skillCritChance, &profile.skillDamage,
          &profile.skillMainAttribute, &profile.skillVitality, &profile.skillAllResistance})
        ShowBoundValue(page, v);
    for (const ItemRecord& slot : profile.slots)
        for (const float& stat : slot.stats) ShowBoundValue(page, &stat);
}

void SetWeaponColumn(WeaponColumn column, float* stats) {
    const BoundColumn bound = column == WeaponColumn::Weapon2 ? kWeapon2Column : kOffHandColumn;
    BindColumn(bound, stats);
    for (int s = 0; s < kStatCount; ++s)
        if (const ControlBinding* entry = ColumnEntry(bound, s))
            SetFieldLocked(gProfilePage, entry, !stats, false);
}

void OnProfileCreate(HWND page) {
    gProfilePage = page;
    const SIZE size = TemplateSizePixels(page, IDD_PROFILE);
    gScroll = {int(size.cy), std::min<int>(size.cy, kVisibleHeightLimit), 0, int(size.cx)};
    SCROLLINFO info = {sizeof info,
                       SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL,
                       0,
                       gScroll.total,
                       UINT(gScroll.visible),
                       0,
                       0};
    SetScrollInfo(page, SB_VERT, &info, TRUE);
    SetWindowPos(page, nullptr, 0, 0, gScroll.width, gScroll.visible,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FillChoiceList(page, IDC_WEAPON_STYLE, 3);
    FillChoiceList(page, IDC_MAIN_ATTRIBUTE, 3);
    ShowProfile();
    Recalculate();
}

void OnProfileCommand(HWND page, int id, int code) {
    if (gUiUpdateGuard != 1) return;
    if (id == IDC_OFFHAND_WITH_TWO_HANDER && code == BN_CLICKED) {
        ReadBoundCheck(page, id);
        ShowProfile();
        Recalculate();
    } else if (code == CBN_SELCHANGE) {
        ReadBoundChoice(page, id);
        if (id == IDC_WEAPON_STYLE) ShowProfile();
        Recalculate();
    } else if (code == EN_CHANGE) {
        ReadBoundEdit(page, id);
        Recalculate();
    }
}

// Moves the page content by `step` pixels, kept within the page.
void ScrollProfileBy(HWND page, int step) {
    const int limit = std::max(0, gScroll.total - gScroll.visible);
    step = std::clamp(gScroll.position + step, 0, limit) - gScroll.position;
    if (step == 0) return;
    gScroll.position += step;
    ScrollWindowEx(page, 0, -step, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    SetScrollPos(page, SB_VERT, gScroll.position, TRUE);
}

void OnProfileScroll(HWND page, WPARAM wParam) {
    int step = 0;
    switch (LOWORD(wParam)) {
        case SB_LINEUP:
            step = -5;
            break;
        case SB_LINEDOWN:
            step = 5;
            break;
        case SB_PAGEUP:
            step = -20;
            break;
        case SB_PAGEDOWN:
            step = 20;
            break;
        case SB_THUMBTRACK:
            step = int(HIWORD(wParam)) - gScroll.position;
            break;
        default:
            break;
    }
    ScrollProfileBy(page, step);
}

// ---- Calculator page

void OnCalculatorCreate(HWND page) {
    gCalculatorPage = page;
    for (int j = 0; j < kSummaryCount; ++j) gDiff[j] = {GetDlgItem(page, IDC_DIFF_DAMAGE + j), false};
    ShowAdjustmentsOnPage();
    ApplyAdjustments();
    ComputeValueEquivalents();
}

void ResetAdjustments() {
    std::fill(std::begin(gCalc.adjustments), std::end(gCalc.adjustments), 0.0f);
    ShowAdjustmentsOnPage();
    ApplyAdjustments();
    ComputeValueEquivalents();
}

void OnCalculatorCommand(HWND page, int id, int code) {
    if (gUiUpdateGuard != 1) return;
    if (id == IDC_RESET_ADJUSTMENTS && code == BN_CLICKED) {
        ResetAdjustments();
    } else if (id == IDC_COMPARE_ITEM && code == BN_CLICKED) {
        OpenCompareDialog();
    } else if (code == EN_CHANGE) {
        ReadBoundEdit(page, id);
        ApplyAdjustments();
        ComputeValueEquivalents();
    }
}

INT_PTR OnCalculatorStaticColour(HDC dc, HWND control) {
    for (const DiffIndicator& d : gDiff)
        if (d.window == control) SetTextColor(dc, d.rising ? RGB(255, 0, 0) : RGB(0, 0, 255));
    SetBkMode(dc, TRANSPARENT);
    return INT_PTR(COLOR_BTNFACE + 1);
}

// ---- Summary page

void CheckActiveProfileButton(HWND page) {
    CheckRadioButton(page, IDC_PROFILE_1, IDC_PROFILE_5, IDC_PROFILE_1 - 1 + gSettings.activeProfile);
}

// The active profile's own button saves it and reads it back, as a switch does, so that what another
// writer stored in the profiles meanwhile comes in.
void OnSummaryCommand(HWND page, int id, int code) {
    if (code != BN_CLICKED || id < IDC_PROFILE_1 || id > IDC_PROFILE_5) return;
    const int n = id - (IDC_PROFILE_1 - 1);
    std::string why;
    if (!SwitchProfile(n, &why)) {
        // The profile being left could not be written; its edits stay on the pages.
        CheckActiveProfileButton(page);
        ReportSaveFailure(gMainWindow,
                          L"프로필을 바꾸지 못했습니다. 지금 프로필을 설정 파일에 저장할 수 없습니다.", why);
        return;
    }
    TellSaveNotes(gMainWindow);
    TellDamagedProfile(gMainWindow);
}

// ---- Calculator view hooks

void ShowSlotStat(int slot, int stat, float) {
    if (slot >= 0 && slot < kSlotCount && stat >= 0 && stat < kStatCount)
        ShowBoundValue(gProfilePage, &gProfile.slots[slot].stats[stat]);
}

void ShowWeaponStyle(int) {
    ShowBoundChoice(gProfilePage, &gProfile.weaponStyle);
}

void ShowWeaponDps(const float*) {
    ShowBoundValue(gProfilePage, &gCalc.weaponDps[0]);
    ShowBoundValue(gProfilePage, &gCalc.weaponDps[1]);
}

void ShowSummary(HWND page, const StatSummary& summary) {
    for (const float& v : summary.v) ShowBoundValue(page, &v);
}

void ShowCurrentSummary(const StatSummary& s) {
    ShowSummary(gSummaryPage, s);
}

void ShowModifiedSummary(const StatSummary& s) {
    ShowSummary(gCalculatorPage, s);
}

void ShowAdjustments(const float*) {
    ShowAdjustmentsOnPage();
}

void ShowDiffIndicator(int entry, std::u16string_view text, bool rising) {
    if (entry < 0 || entry >= kSummaryCount || !gDiff[entry].window) return;
    gDiff[entry].rising = rising;
    const std::u16string copy(text);
    SetWindowTextW(gDiff[entry].window, reinterpret_cast<const wchar_t*>(copy.c_str()));
    InvalidateRect(gDiff[entry].window, nullptr, TRUE);
}

void ShowValueEquivalents(const float*) {
    for (const float& v : gCalc.equivalents) ShowBoundValue(gCalculatorPage, &v);
}

void SelectCalcPage(CalcPage page) {
    SelectPage(page == CalcPage::Profile ? gProfilePage : gCalculatorPage);
}

void MinimiseMainWindow() {
    ShowWindow(gMainWindow, SW_MINIMIZE);
}

}  // namespace

INT_PTR CALLBACK ProfilePageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            OnProfileCreate(page);
            return TRUE;
        case WM_SHOWWINDOW:
            if (wParam) LayoutForPage(page, gScroll.width, gScroll.visible);
            return FALSE;
        case WM_COMMAND:
            OnProfileCommand(page, LOWORD(wParam), Notification(wParam));
            return TRUE;
        case WM_VSCROLL:
            OnProfileScroll(page, wParam);
            return TRUE;
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK CalculatorPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            OnCalculatorCreate(page);
            return TRUE;
        case WM_SHOWWINDOW:
            if (wParam) {
                const SIZE size = TemplateSizePixels(page, IDD_CALCULATOR);
                LayoutForPage(page, size.cx, size.cy);
                ApplyAdjustments();
                ComputeValueEquivalents();
            }
            return FALSE;
        case WM_COMMAND:
            OnCalculatorCommand(page, LOWORD(wParam), Notification(wParam));
            return TRUE;
        case WM_CTLCOLORSTATIC:
            return OnCalculatorStaticColour(HDC(wParam), HWND(lParam));
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK SummaryPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            gSummaryPage = page;
            CheckActiveProfileButton(page);
            return TRUE;
        case WM_COMMAND:
            OnSummaryCommand(page, LOWORD(wParam), Notification(wParam));
            return TRUE;
        default:
            return FALSE;
    }
}

void InstallCalcView() {
    CalcView view;
    view.showSlotStat = ShowSlotStat;
    view.showWeaponStyle = ShowWeaponStyle;
    view.setWeaponColumn = SetWeaponColumn;
    view.showProfileValues = ShowProfileValues;
    view.showWeaponDps = ShowWeaponDps;
    view.showCurrentSummary = ShowCurrentSummary;
    view.showAdjustments = ShowAdjustments;
    view.showModifiedSummary = ShowModifiedSummary;
    view.showDiffIndicator = ShowDiffIndicator;
    view.showValueEquivalents = ShowValueEquivalents;
    view.selectPage = SelectCalcPage;
    view.activateMainWindow = ActivateMainWindow;
    view.minimiseMainWindow = MinimiseMainWindow;
    view.showModifiedStats = ShowModifiedStats;
    SetCalcView(view);
}

void WheelProfilePage(bool up, unsigned lines) {
    if (!gProfilePage) return;
    if (lines == WHEEL_PAGESCROLL) {
        ScrollProfileBy(gProfilePage, up ? -gScroll.visible : gScroll.visible);
        return;
    }
    // Beyond this many requests the page is at its end whatever the setting says.
    const unsigned enough = unsigned(gScroll.total / 20 + 1);
    for (unsigned i = 0; i < std::min(lines, enough); ++i)
        SendMessageW(gProfilePage, WM_VSCROLL, up ? SB_PAGEUP : SB_PAGEDOWN, 0);
}

void ShowActiveProfileEverywhere() {
    ShowProfile();
    Recalculate();
    ApplyAdjustments();
    ComputeValueEquivalents();
    if (gSummaryPage) CheckActiveProfileButton(gSummaryPage);
}
