// The weapon layout: slot kinds per style, what survives a change, and the two page columns.
#include "calc/profile_layout.h"
#include "tests/calc/recorder.h"

namespace {

using WeaponLayout = CalcTest;

ItemRecord Filled(int kind, float value) {
    ItemRecord r;
    r.kind = kind;
    for (float& s : r.stats) s = value;
    return r;
}

bool AllZero(const ItemRecord& r) {
    for (float s : r.stats)
        if (s != 0) return false;
    return true;
}

TEST_F(WeaponLayout, FirstDisplayOfTheDefaultProfile) {
    ShowProfile();
    EXPECT_EQ(gProfile.slots[0].kind, 1);
    EXPECT_EQ(gProfile.slots[1].kind, 0);
    for (const ItemRecord& r : gProfile.slots) EXPECT_TRUE(AllZero(r));
    EXPECT_EQ(gProfile.mainAttribute, kIntelligence);
    EXPECT_EQ(rec::log, (std::vector<std::string>{"weapon2 cleared", "offhand bound", "profile"}));
    EXPECT_EQ(rec::boundColumn[1], gProfile.slots[1].stats);
    // Data first: the columns are set once the kinds are final.
    EXPECT_EQ(rec::kindsAtColumn[0], 1);
    EXPECT_EQ(rec::kindsAtColumn[1], 0);
}

TEST_F(WeaponLayout, OneHandToDualWieldKeepsTheMainHand) {
    gProfile.slots[0] = Filled(1, 5);
    gProfile.slots[1] = Filled(0, 7);
    gProfile.weaponStyle = 2;
    ApplyActiveWeaponLayout();
    const ItemRecord mainHand = Filled(1, 5);
    EXPECT_EQ(std::memcmp(&gProfile.slots[0], &mainHand, sizeof(ItemRecord)), 0);
    EXPECT_EQ(gProfile.slots[1].kind, 1);
    EXPECT_TRUE(AllZero(gProfile.slots[1]));
    EXPECT_EQ(rec::log, (std::vector<std::string>{"weapon2 bound", "offhand cleared"}));
    EXPECT_EQ(rec::boundColumn[0], gProfile.slots[1].stats);
}

TEST_F(WeaponLayout, DualWieldToTwoHandDependsOnTheOffHandFlag) {
    for (int flag : {0, 1}) {
        Clear();
        gProfile.slots[0] = Filled(1, 5);
        gProfile.slots[1] = Filled(1, 7);
        gProfile.offHandWithTwoHander = flag;
        ApplyWeaponLayout(gProfile, 1, 0);
        EXPECT_EQ(gProfile.slots[0].kind, 2);
        EXPECT_TRUE(AllZero(gProfile.slots[0]));
        EXPECT_EQ(gProfile.slots[1].kind, 1) << "the layout never changes slot 1's kind for two-hand";
        if (flag == 0) {
            EXPECT_TRUE(AllZero(gProfile.slots[1]));
            EXPECT_EQ(rec::log, (std::vector<std::string>{"weapon2 cleared", "offhand cleared"}));
        } else {
            EXPECT_EQ(gProfile.slots[1].stats[kStrength], 7);
            EXPECT_EQ(rec::log, (std::vector<std::string>{"weapon2 cleared", "offhand bound"}));
            EXPECT_EQ(rec::boundColumn[1], gProfile.slots[1].stats);
        }
    }
}

TEST_F(WeaponLayout, TheStyleIsNotStoredAndOtherValuesMeanOneHand) {
    for (int style : {-1, 3, 100}) {
        gProfile.slots[0] = Filled(2, 5);
        gProfile.slots[1] = Filled(1, 7);
        gProfile.weaponStyle = style;
        ApplyActiveWeaponLayout();
        EXPECT_EQ(gProfile.slots[0].kind, 1);
        EXPECT_EQ(gProfile.slots[1].kind, 0);
        EXPECT_TRUE(AllZero(gProfile.slots[0]));
        EXPECT_TRUE(AllZero(gProfile.slots[1]));
        EXPECT_EQ(gProfile.weaponStyle, style);
    }
}

TEST_F(WeaponLayout, SuppressedDisplayTouchesNoColumn) {
    EquipmentProfile copy = gProfile;
    ApplyWeaponLayout(copy, 2, 1);
    EXPECT_EQ(copy.slots[1].kind, 1);
    EXPECT_TRUE(rec::log.empty());
}

// Every style over every combination of weapon-slot kinds and the flag: the kinds end as the
// style says, a slot keeps its stats exactly when its kind already fitted, nothing else moves.
TEST_F(WeaponLayout, InvariantsHoldFromEveryStartingPoint) {
    for (int style : {0, 1, 2})
        for (int flag : {0, 1})
            for (int k0 : {-1, 0, 1, 2})
                for (int k1 : {-1, 0, 1, 2}) {
                    EquipmentProfile p = DefaultProfile();
                    p.slots[0] = Filled(k0, 3);
                    p.slots[1] = Filled(k1, 4);
                    p.slots[7] = Filled(3, 9);
                    p.offHandWithTwoHander = flag;
                    p.weaponStyle = style;
                    const EquipmentProfile before = p;
                    ApplyWeaponLayout(p, style, 1);
                    SCOPED_TRACE(testing::Message()
                                 << "style " << style << " flag " << flag << " kinds " << k0 << "," << k1);
                    const int want0 = style == 1 ? 2 : 1;
                    const int want1 = style == 2 ? 1 : style == 0 ? 0 : k1;
                    EXPECT_EQ(p.slots[0].kind, want0);
                    EXPECT_EQ(p.slots[1].kind, want1);
                    EXPECT_EQ(AllZero(p.slots[0]), k0 != want0);
                    const bool slot1Cleared = k1 != want1 || (style == 1 && flag == 0);
                    EXPECT_EQ(AllZero(p.slots[1]), slot1Cleared);
                    EXPECT_EQ(std::memcmp(&p.slots[2], &before.slots[2], sizeof(ItemRecord) * 11), 0);
                    EXPECT_EQ(std::memcmp(&p.skillAttackSpeed, &before.skillAttackSpeed, 44), 0);
                    // A second pass finds everything in place.
                    const EquipmentProfile once = p;
                    ApplyWeaponLayout(p, style, 1);
                    EXPECT_TRUE(SameBytes(p, once));
                }
}

}  // namespace
