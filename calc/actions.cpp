// The equip and compare actions.
#include "calc/actions.h"

#include "base/catalogue.h"
#include "base/settings.h"
#include "base/status.h"
#include "calc/formulas.h"
#include "calc/profile_layout.h"
#include "calc/view.h"

namespace {

// The weapon style that follows from putting an item of `kind` into weapon slot `slot`.
int NewWeaponStyle(int kind, int slot, const EquipmentProfile& p) {
    if (kind == 0) return p.offHandWithTwoHander == 1 && p.weaponStyle == 1 ? 1 : 0;
    if (kind == 1) return slot == 1 || p.weaponStyle == 2 ? 2 : 0;
    return 1;
}

void ShowSlot(int slot) {
    for (int k = 0; k < kStatCount; ++k)
        ViewCall(&CalcView::showSlotStat, slot, k, gProfile.slots[slot].stats[k]);
}

}  // namespace

int ChooseSlot(int kind, int secondary) {
    if (kind < 0) return -1;
    int fallback = -1;
    // A kind beyond the table is accepted nowhere; it ends in the alert like any unplaceable kind.
    if (kind < kKindCount)
        for (int slot = 0; slot < kSlotCount; ++slot) {
            const int mark = kSlots[slot].accepts[kind];
            if (mark == 0) continue;
            if (secondary == 0 || mark == 2) return slot;
            fallback = slot;
        }
    if (fallback >= 0) return fallback;
    ShowAlert(kAlertNoSlot);
    return -1;
}

int PlaceItem(ItemRecord record, int secondary, EquipmentProfile& profile, int suppressDisplay) {
    const int slot = ChooseSlot(record.kind, secondary);
    if (slot < 0) return -1;
    profile.slots[slot] = record;
    if (slot == 0 || slot == 1) {
        const int weaponType = NewWeaponStyle(record.kind, slot, profile);
        ApplyWeaponLayout(profile, weaponType, suppressDisplay);
        profile.weaponStyle = weaponType;
    }
    return slot;
}

void EquipItem(ItemRecord record, int secondary) {
    const int slot = PlaceItem(record, secondary, gProfile, 0);
    if (slot < 0) return;
    if (slot == 0 || slot == 1) {
        ViewCall(&CalcView::showWeaponStyle, int(gProfile.weaponStyle));
        ShowSlot(1);
        ShowSlot(0);
    } else {
        ShowSlot(slot);
    }
    Recalculate();
    ApplyAdjustments();
    ComputeValueEquivalents();
    if (gSettings.noActivateMainWindowOnEquip == 0) ViewCall(&CalcView::activateMainWindow);
    ViewCall(&CalcView::selectPage, CalcPage::Profile);
    ShowEquipNotice(record.kind);
}

void CompareItem(ItemRecord record, int secondary, int manual) {
    EquipmentProfile modProfile = gProfile;
    if (PlaceItem(record, secondary, modProfile, 1) < 0) return;
    const StatTotals modStats = AggregateProfile(modProfile);
    // The Base Attributes of the last Recalculate hold: the copy shares paragon and main attribute.
    gCalc.modified = ComputeSummary(modStats);
    const StatTotals stats = AggregateProfile(gProfile);
    for (int j = 0; j < kAdjustmentCount; ++j)
        gCalc.adjustments[j] = modStats.s[kAdjustmentStat[j]] - stats.s[kAdjustmentStat[j]];

    ViewCall(&CalcView::showAdjustments, gCalc.adjustments);
    ViewCall(&CalcView::showModifiedSummary, gCalc.modified);
    ShowDiffIndicators();
    ComputeValueEquivalents();
    ViewCall(&CalcView::selectPage, CalcPage::Calculator);
    if (gSettings.showModifiedStatsPopup != 0 && manual == 0) {
        ViewCall(&CalcView::showModifiedStats);
        ViewCall(&CalcView::minimiseMainWindow);
    } else {
        ViewCall(&CalcView::activateMainWindow);
    }
}
