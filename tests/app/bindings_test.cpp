// The control binding table and the value/text conversions of the bound fields.
#include "app/bindings.h"

#include <gtest/gtest.h>

#include <set>

#include "base/profile.h"
#include "base/settings.h"
#include "calc/formulas.h"
#include "calc/profile_layout.h"
#include "res/resource.h"

namespace {

class Bindings : public ::testing::Test {
protected:
    void SetUp() override { BuildBindingTable(); }
};

TEST_F(Bindings, EveryControlIdOccursOnceAndEveryFixedEntryHasATarget) {
    std::set<int> ids;
    int columnEntries = 0;
    for (int i = 0; i < kBindingCount; ++i) {
        const ControlBinding& b = BindingTable()[i];
        EXPECT_TRUE(ids.insert(b.controlId).second) << "control " << b.controlId << " twice";
        if (b.column == kNoColumn)
            EXPECT_NE(b.target, nullptr) << "control " << b.controlId;
        else
            ++columnEntries;
    }
    // Weapon 2: 12 stats of the basic group and 5 of the extra group; off-hand: 12 armour rows.
    EXPECT_EQ(columnEntries, 17 + 12);
}

TEST_F(Bindings, LookupsFindTheDocumentedVariables) {
    EXPECT_EQ(FindBindingById(IDC_W1_APS)->target, &gProfile.slots[0].stats[kWeaponAttacksPerSecond]);
    EXPECT_EQ(FindBindingById(IDC_W1_APS)->decimals, 2);
    EXPECT_EQ(FindBindingById(IDC_RING2_CRIT_CHANCE)->target, &gProfile.slots[11].stats[kCritChance]);
    EXPECT_EQ(FindBindingById(IDC_RING2_CRIT_CHANCE)->decimals, 1);
    EXPECT_EQ(FindBindingById(IDC_FEET_ALL_RESISTANCE)->target, &gProfile.slots[12].stats[kAllResistance]);
    EXPECT_EQ(FindBindingById(IDC_HEAD_MIN_DAMAGE)->target, &gProfile.slots[2].stats[kMinDamage]);
    EXPECT_EQ(FindBindingById(IDC_MOD_DAMAGE)->target, &gCalc.modified.v[kSumDamage]);
    EXPECT_EQ(FindBindingById(IDC_CUR_LIFE_PERCENT)->target, &gCalc.current.v[kSumLifePercent]);
    EXPECT_EQ(FindBindingById(IDC_EQ_LIFE_PERCENT)->target, &gCalc.equivalents[kEqLifePercent]);
    EXPECT_EQ(FindBindingById(IDC_ADJ_ALL_RESISTANCE)->target, &gCalc.adjustments[15]);
    EXPECT_EQ(FindBindingById(IDC_CMP_APS_BONUS)->kind, kCompareFieldKind);
    EXPECT_EQ(FindBindingById(IDC_CMP_APS_BONUS)->target, &gCompareItem.item.stats[kAttacksPerSecondBonus]);
    EXPECT_EQ(FindBindingById(IDC_VALUE_TOLERANCE)->target, &gSettings.errorLimit[2]);
    EXPECT_EQ(FindBindingById(12345), nullptr);
    EXPECT_EQ(FindBindingByTarget(&gCalc.weaponDps[1])->controlId, IDC_W2_DPS);
    EXPECT_EQ(FindBindingByTarget(&gSettings.imageFileExtension)->controlId, IDC_IMAGE_FORMAT);
    EXPECT_EQ(FindBindingByTarget(nullptr), nullptr);
}

TEST_F(Bindings, WeaponColumnsFollowTheLayoutAndUnboundEntriesAreSkipped) {
    gProfile = DefaultProfile();
    float* slot1 = gProfile.slots[1].stats;
    BindColumn(kWeapon2Column, nullptr);
    BindColumn(kOffHandColumn, slot1);
    // Off-hand has min damage but no weapon range; weapon 2 the opposite.
    EXPECT_EQ(FindBindingByTarget(&slot1[kMinDamage])->controlId, IDC_OFFHAND_MIN_DAMAGE);
    EXPECT_EQ(FindBindingByTarget(&slot1[kWeaponMin]), nullptr);
    EXPECT_EQ(ColumnEntry(kOffHandColumn, kWeaponMin), nullptr);
    EXPECT_EQ(ColumnEntry(kWeapon2Column, kWeaponMin)->target, nullptr);

    BindColumn(kOffHandColumn, nullptr);
    BindColumn(kWeapon2Column, slot1);
    EXPECT_EQ(FindBindingByTarget(&slot1[kWeaponMin])->controlId, IDC_W2_WEAPON_MIN);
    EXPECT_EQ(FindBindingByTarget(&slot1[kMinDamage]), nullptr);
    // Strength is in both columns: only the bound one answers.
    EXPECT_EQ(FindBindingByTarget(&slot1[kStrength])->controlId, IDC_W2_STRENGTH);
    BindColumn(kWeapon2Column, nullptr);
    EXPECT_EQ(FindBindingByTarget(&slot1[kStrength]), nullptr);
    EXPECT_EQ(ColumnEntry(BoundColumn(5), 0), nullptr);
    EXPECT_EQ(ColumnEntry(kWeapon2Column, kStatCount), nullptr);
}

TEST(BoundText, ValuesShowWithTheirDecimalsAndNearZeroIsEmpty) {
    EXPECT_EQ(BoundValueText(0, 0), u"");
    EXPECT_EQ(BoundValueText(0.0099999998f, 2), u"");
    EXPECT_EQ(BoundValueText(1.4f, 2), u"1.40");
    EXPECT_EQ(BoundValueText(-7.25f, 1), u"-7.2");
    EXPECT_EQ(BoundValueText(9999, 0), u"9999");
}

TEST(BoundText, TypedTextStoresItsLeadingNumberCappedAt9999) {
    EXPECT_EQ(StoredValueFromText(u"12345"), 9999);
    EXPECT_EQ(StoredValueFromText(u"9999.5"), 9999);
    EXPECT_EQ(StoredValueFromText(u"1e10"), 9999);
    EXPECT_EQ(StoredValueFromText(u"abc"), 0);
    EXPECT_EQ(StoredValueFromText(u""), 0);
    EXPECT_EQ(StoredValueFromText(u"힘"), 0);
    EXPECT_EQ(StoredValueFromText(u"inf"), 0);
    EXPECT_EQ(StoredValueFromText(u"nan"), 0);
    EXPECT_EQ(StoredValueFromText(u"0x10"), 0);
    EXPECT_FLOAT_EQ(StoredValueFromText(u"  42abc"), 42);
    EXPECT_FLOAT_EQ(StoredValueFromText(u"1.25"), 1.25f);
    EXPECT_FLOAT_EQ(StoredValueFromText(u".5"), 0.5f);
    EXPECT_FLOAT_EQ(StoredValueFromText(u"-300"), -300);  // no lower limit
    EXPECT_FLOAT_EQ(StoredValueFromText(u"+7"), 7);
    EXPECT_FLOAT_EQ(StoredValueFromText(u"12힘34"), 12);
    EXPECT_EQ(StoredValueFromText(u"-1e999"), -std::numeric_limits<float>::max());
}

TEST(ChoiceLists, ValuesSelectTheirChoiceAndUnknownValuesTheFirst) {
    const ChoiceList* kinds = FindChoiceList(IDC_CMP_KIND);
    ASSERT_NE(kinds, nullptr);
    EXPECT_EQ(kinds->count, 13);
    EXPECT_EQ(std::u16string(kinds->choices[ChoiceIndexForValue(*kinds, 4)].text), u"반지");
    EXPECT_EQ(ChoiceIndexForValue(*kinds, 99), 0);
    const ChoiceList* attribute = FindChoiceList(IDC_MAIN_ATTRIBUTE);
    EXPECT_EQ(ChoiceIndexForValue(*attribute, 5), 1);
    EXPECT_EQ(FindChoiceList(IDC_W1_DPS), nullptr);
    EXPECT_EQ(FindChoiceList(IDC_SOCKET_COMPARE_OTHER)->count, 4);
}

TEST(OffHandFlag, OnlyExactlyOneKeepsTheOffHandOfATwoHander) {
    for (int flag : {0, 1, 2, -1}) {
        EquipmentProfile p = DefaultProfile();
        p.offHandWithTwoHander = flag;
        p.slots[1].kind = 0;
        p.slots[1].stats[kStrength] = 50;
        ApplyWeaponLayout(p, 1, 1);
        EXPECT_EQ(p.slots[1].stats[kStrength], flag == 1 ? 50 : 0) << "flag " << flag;
    }
}

}  // namespace
