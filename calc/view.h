// What the calculator shows in the windows: one record of hooks that the Windows layer fills and
// tests record. Every hook may be null (nothing is shown). Hooks that write controls do so with
// the pages' update guard cleared, so a programmatic write never feeds back into the profile.
// Every caller runs on the user-interface thread: the program's dispatcher hands a read item to
// that thread before equipping or comparing it, so the hooks write controls directly.
#pragma once
#include <string_view>

#include "base/profile.h"
#include "calc/formulas.h"

enum class CalcPage { Profile = 0, Calculator = 1 };
enum class WeaponColumn { Weapon2 = 0, OffHand = 1 };

struct CalcView {
    // Profile page.
    void (*showSlotStat)(int slot, int stat, float value) = nullptr;
    void (*showWeaponStyle)(int style) = nullptr;  // the "무기 유형" combo
    // boundStats null: the column's text is cleared, it is made read-only and unbound.
    // Otherwise: the column is made editable and bound to these 25 stats.
    void (*setWeaponColumn)(WeaponColumn column, float* boundStats) = nullptr;
    // Every field of the profile: combos, check box, paragon, skill bonuses, 13 x 25 stats.
    void (*showProfileValues)(const EquipmentProfile& profile) = nullptr;
    void (*showWeaponDps)(const float dps[2]) = nullptr;
    // Stats summary page.
    void (*showCurrentSummary)(const StatSummary& summary) = nullptr;
    // Calculator page.
    void (*showAdjustments)(const float adjustments[kAdjustmentCount]) = nullptr;
    void (*showModifiedSummary)(const StatSummary& summary) = nullptr;
    void (*showDiffIndicator)(int entry, std::u16string_view text, bool rising) = nullptr;
    void (*showValueEquivalents)(const float equivalents[kEquivalentCount]) = nullptr;
    // Main window.
    void (*selectPage)(CalcPage page) = nullptr;
    void (*activateMainWindow)() = nullptr;  // foreground, normal state
    void (*minimiseMainWindow)() = nullptr;
    void (*showModifiedStats)() = nullptr;  // the modified-stats popup reads both summaries
};

// Installs the hooks; returns the previous set.
CalcView SetCalcView(const CalcView& view);
// The hooks in use.
const CalcView& GetCalcView();

// While held, the hooks that write the pages are kept, with what they were given, and run in
// order at release; the others (the page switch, the main window, the modified-stats popup) run at
// once. An action holds them so that its popup or notice is up before the pages are redrawn.
// Holding again before the release changes nothing; a release without a hold does nothing.
void HoldPageWrites();
void ReleasePageWrites();

// Calls one hook when it is installed: ViewCall(&CalcView::selectPage, CalcPage::Profile).
template <class Hook, class... Args>
void ViewCall(Hook CalcView::*hook, Args&&... args) {
    if (auto f = GetCalcView().*hook) f(static_cast<Args&&>(args)...);
}
