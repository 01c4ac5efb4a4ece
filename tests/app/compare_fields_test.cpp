// The compare-item record across a change of kind: a weapon typed in and then turned into a ring
// leaves no damage behind, while changes that keep the same fields keep what was typed.
#include "app/compare_fields.h"

#include <gtest/gtest.h>

#include "calc/formulas.h"

namespace {

TEST(CompareFields, CrossingBetweenWeaponsAndOtherKindsClearsWhatNoFieldShows) {
    ItemRecord item;
    item.kind = 1;  // one-hand weapon
    item.stats[kWeaponMin] = 100, item.stats[kWeaponMax] = 200, item.stats[kWeaponAttacksPerSecond] = 1.4f;
    item.stats[kStrength] = 50;
    EXPECT_GT(WeaponDps(item), 0);  // shown by the dialog, which normalises into stats 9, 10 and 2
    const ItemRecord weapon = item;
    item.kind = 2;  // another weapon shows the same fields
    ClearHiddenCompareStats(item, 1);
    for (int s = 0; s < kStatCount; ++s) EXPECT_EQ(item.stats[s], weapon.stats[s]) << "stat " << s;

    item.kind = 4;  // a ring: no weapon value and no normalised damage is left to compare with
    ClearHiddenCompareStats(item, 2);
    for (int s = 0; s < kStatCount; ++s) EXPECT_EQ(item.stats[s], s == kStrength ? 50 : 0) << "stat " << s;

    // Damage typed for the ring stays when it becomes an amulet, and goes when it becomes a weapon.
    item.stats[kMinDamage] = 5, item.stats[kAttackSpeed] = 7;
    item.kind = 11;
    ClearHiddenCompareStats(item, 4);
    EXPECT_EQ(item.stats[kMinDamage] + item.stats[kAttackSpeed], 12);
    item.kind = 1;
    ClearHiddenCompareStats(item, 11);
    EXPECT_EQ(item.stats[kMinDamage] + item.stats[kAttackSpeed], 0);
    EXPECT_EQ(item.stats[kStrength], 50);
}

}  // namespace
