// The compare-item record across a change of kind: a weapon typed in and then turned into a ring
// leaves no damage behind, while changes that keep the same fields keep what was typed.
#include "app/compare_fields.h"

#include <gtest/gtest.h>

#include <cstring>

#include "calc/formulas.h"

namespace {

constexpr int32_t kOneHand = 1, kTwoHand = 2, kRing = 4, kAmulet = 11;

TEST(CompareFields, CrossingBetweenWeaponsAndOtherKindsClearsWhatNoFieldShows) {
    ItemRecord item;
    item.kind = kOneHand;
    item.stats[kWeaponMin] = 100, item.stats[kWeaponMax] = 200, item.stats[kWeaponAttacksPerSecond] = 1.4f;
    item.stats[kStrength] = 50;
    EXPECT_GT(WeaponDps(item), 0);  // the dialog shows it, normalising into stats 9, 10 and 2
    ASSERT_GT(item.stats[kMinDamage], 0);
    ASSERT_GT(item.stats[kAttacksPerSecond], 0);

    // Another weapon shows the same fields: nothing changes.
    const ItemRecord weapon = item;
    item.kind = kTwoHand;
    ClearHiddenCompareStats(item, kOneHand);
    EXPECT_EQ(0, std::memcmp(&weapon.stats, &item.stats, sizeof item.stats));

    // A ring: no weapon value and no normalised damage is left to compare with.
    item.kind = kRing;
    ClearHiddenCompareStats(item, kTwoHand);
    for (int s = 0; s < kStatCount; ++s) EXPECT_EQ(item.stats[s], s == kStrength ? 50 : 0) << "stat " << s;
    EXPECT_EQ(WeaponDps(item), 0);

    // Damage typed for the ring stays when it becomes an amulet, and goes when it becomes a weapon.
    item.stats[kMinDamage] = 5, item.stats[kMaxDamage] = 9, item.stats[kAttackSpeed] = 7;
    item.kind = kAmulet;
    ClearHiddenCompareStats(item, kRing);
    EXPECT_EQ(item.stats[kMinDamage], 5);
    EXPECT_EQ(item.stats[kAttackSpeed], 7);
    item.kind = kOneHand;
    ClearHiddenCompareStats(item, kAmulet);
    EXPECT_EQ(item.stats[kMinDamage], 0);
    EXPECT_EQ(item.stats[kMaxDamage], 0);
    EXPECT_EQ(item.stats[kAttackSpeed], 0);
    EXPECT_EQ(item.stats[kStrength], 50);
}

}  // namespace
