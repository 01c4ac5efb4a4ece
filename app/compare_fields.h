// Which stats of the compare-item record the dialog shows fields for, by item kind: weapons show
// their base values, other kinds their own damage and attack speed.
#pragma once
#include <cstdint>

#include "base/item.h"

// Shown for weapons only. Attacks per second has no field: the weapon's values are normalised
// into it (and into the minimum and maximum damage) whenever its damage per second is shown.
inline constexpr int kCompareWeaponOnlyStats[] = {
    kWeaponMin,          kWeaponMax,           kWeaponAttacksPerSecond, kElementalMin,    kElementalMax,
    kWeaponSpeedPercent, kWeaponDamagePercent, kAttacksPerSecondBonus,  kAttacksPerSecond};
// Shown for every other kind only.
inline constexpr int kCompareNonWeaponStats[] = {kMinDamage, kMaxDamage, kAttackSpeed};

// After the record's kind changed from `previousKind`: when it crossed between weapons and other
// kinds, clears every stat that depends on the kind. The fields that become editable were locked
// and empty until now, yet a weapon's normalised damage stays in their stats; left there, a ring
// would compare with the damage of the weapon typed before it.
void ClearHiddenCompareStats(ItemRecord& item, int32_t previousKind);
