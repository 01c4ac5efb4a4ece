// The weapon layout of a profile.
#include "calc/profile_layout.h"

#include "calc/view.h"

namespace {

// A kind change empties the slot first, so no stats of the previous item survive it.
void SetKind(ItemRecord& r, int kind) {
    if (r.kind == kind) return;
    r = ItemRecord{};
    r.kind = kind;
}

void ClearStats(ItemRecord& r) {
    for (float& v : r.stats) v = 0;
}

}  // namespace

void ApplyWeaponLayout(EquipmentProfile& profile, int style, int suppressDisplay) {
    ItemRecord& slot1 = profile.slots[1];
    float* weapon2 = nullptr;
    float* offHand = nullptr;
    if (style == 1) {
        SetKind(profile.slots[0], 2);
        if (profile.offHandWithTwoHander != 1)  // only exactly 1 counts; a damaged file may hold others
            ClearStats(slot1);
        else
            offHand = slot1.stats;
    } else if (style == 2) {
        SetKind(profile.slots[0], 1);
        SetKind(slot1, 1);
        weapon2 = slot1.stats;
    } else {
        SetKind(profile.slots[0], 1);
        SetKind(slot1, 0);
        offHand = slot1.stats;
    }
    if (suppressDisplay) return;
    ViewCall(&CalcView::setWeaponColumn, WeaponColumn::Weapon2, weapon2);
    ViewCall(&CalcView::setWeaponColumn, WeaponColumn::OffHand, offHand);
}

void ApplyActiveWeaponLayout() {
    ApplyWeaponLayout(gProfile, gProfile.weaponStyle, 0);
}

void ShowProfile() {
    ApplyActiveWeaponLayout();
    ViewCall(&CalcView::showProfileValues, gProfile);
}
