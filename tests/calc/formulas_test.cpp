// Stat aggregation, the damage formulas and the value equivalents, with the worked examples.
#include "calc/formulas.h"

#include <cmath>
#include <limits>

#include "calc/display.h"
#include "tests/calc/recorder.h"

namespace {

using Formulas = CalcTest;

std::u16string Shown(float v, int decimals) {
    return FormatValue(v, decimals);
}

// The one-weapon profile of the worked example: tooltip damage 100-200, 1.40 attacks per second.
void EquipExampleWeapon() {
    gProfile.slots[0] = Weapon(1, 100, 200, 1.40f);
    gProfile.slots[1].kind = 0;
}

TEST_F(Formulas, EmptyProfileHasOnlyTheCharacterBaseValues) {
    Recalculate();
    EXPECT_EQ(gCalc.base.strength, 67);
    EXPECT_EQ(gCalc.base.dexterity, 67);
    EXPECT_EQ(gCalc.base.intelligence, 187);
    EXPECT_EQ(gCalc.base.vitality, 127);
    const float* v = gCalc.current.v;
    EXPECT_EQ(v[kSumAttacksPerSecond], 0);
    EXPECT_EQ(v[kSumDamage], 0);
    EXPECT_EQ(v[kSumLife], 4721);
    EXPECT_FLOAT_EQ(v[kSumAllResistance], 18.7f);
    EXPECT_EQ(v[kSumCritChance], 5);
    EXPECT_EQ(v[kSumCritDamage], 50);
    EXPECT_EQ(v[kSumIntelligence], 187);
    EXPECT_EQ(v[kSumVitality], 127);
    EXPECT_EQ(rec::Folded(), (std::vector<std::string>{"dps", "current"}));
}

TEST_F(Formulas, BaseAttributesFollowParagonAndMainAttribute) {
    gProfile.paragonLevel = 10;
    gProfile.mainAttribute = kStrength;
    ComputeBaseAttributes();
    EXPECT_EQ(gCalc.base.strength, 217);
    EXPECT_EQ(gCalc.base.dexterity, 77);
    EXPECT_EQ(gCalc.base.intelligence, 77);
    EXPECT_EQ(gCalc.base.vitality, 147);

    gProfile.mainAttribute = kDexterity;
    gProfile.paragonLevel = 2.9f;  // truncated toward zero: 3 * 2.9 + 187 = 195.7
    ComputeBaseAttributes();
    EXPECT_EQ(gCalc.base.dexterity, 195);
    EXPECT_EQ(gCalc.base.strength, 69);
    EXPECT_EQ(gCalc.base.vitality, 132);

    // Any other selector counts as intelligence, also in the summary's main attribute.
    gProfile.mainAttribute = 99;
    gProfile.paragonLevel = 10;
    ComputeBaseAttributes();
    EXPECT_EQ(gCalc.base.intelligence, 217);
    EXPECT_EQ(gCalc.base.strength, 77);
}

TEST_F(Formulas, UnreadableParagonLevelStillGivesDefinedBaseAttributes) {
    gProfile.paragonLevel = std::numeric_limits<float>::quiet_NaN();
    ComputeBaseAttributes();
    EXPECT_EQ(gCalc.base.intelligence, 0);
    gProfile.paragonLevel = 1e30f;
    ComputeBaseAttributes();
    EXPECT_EQ(gCalc.base.intelligence, INT32_MAX);
    EXPECT_EQ(gCalc.base.vitality, INT32_MAX);
    gProfile.paragonLevel = -1e30f;
    ComputeBaseAttributes();
    EXPECT_EQ(gCalc.base.strength, INT32_MIN);
}

TEST_F(Formulas, WeaponNormalisationRecoversBaseDamage) {
    ItemRecord w = Weapon(1, 100, 200, 1.40f);
    WeaponNormalise(w);
    EXPECT_EQ(w.stats[kMinDamage], 100);
    EXPECT_EQ(w.stats[kMaxDamage], 200);
    EXPECT_EQ(w.stats[kAttacksPerSecond], 1.40f);

    w.stats[kWeaponDamagePercent] = 10;  // 1.1 * ceil(99.5 / 1.1) = 1.1 * 91
    WeaponNormalise(w);
    EXPECT_EQ(w.stats[kMinDamage], 100.1f);
    EXPECT_EQ(w.stats[kMaxDamage], float(1.1f * 182.0));

    // The elemental part comes off; a base of exactly n + 0.5 goes down to n.
    ItemRecord e = Weapon(2, 110.5f, 230, 1.0f);
    e.stats[kElementalMin] = 10;
    e.stats[kElementalMax] = 30;
    WeaponNormalise(e);
    EXPECT_EQ(e.stats[kMinDamage], 100);
    EXPECT_EQ(e.stats[kMaxDamage], 200);
}

TEST_F(Formulas, WeaponNormalisationRecoversBaseSpeed) {
    ItemRecord w = Weapon(1, 0, 0, 1.61f);
    w.stats[kWeaponSpeedPercent] = 15;  // base ceil(1.605 / 1.15 * 100) / 100 = 1.40
    WeaponNormalise(w);
    EXPECT_FLOAT_EQ(w.stats[kAttacksPerSecond], 1.15f * 1.40f);

    ItemRecord b = Weapon(1, 0, 0, 1.5f);
    b.stats[kAttacksPerSecondBonus] = 0.1f;
    WeaponNormalise(b);
    EXPECT_FLOAT_EQ(b.stats[kAttacksPerSecond], 1.5f);

    // Whatever stats 2, 9 and 10 held before is replaced, so a second pass changes nothing.
    ItemRecord again = w;
    again.stats[kAttacksPerSecond] = 77;
    WeaponNormalise(again);
    EXPECT_EQ(again.stats[kAttacksPerSecond], w.stats[kAttacksPerSecond]);
}

TEST_F(Formulas, NonWeaponsAreNotNormalised) {
    for (int kind : {-1, 0, 3, 4, 12}) {
        ItemRecord r = Weapon(kind, 100, 200, 1.4f);
        r.stats[kMinDamage] = 7;
        const ItemRecord before = r;
        WeaponNormalise(r);
        EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0) << "kind " << kind;
    }
    ItemRecord offHand = Item(0, kMinDamage, 50);
    offHand.stats[kMaxDamage] = 60;
    EXPECT_EQ(WeaponDps(offHand), 0);  // no attacks per second of its own
}

TEST_F(Formulas, WeaponDpsIsAverageDamageTimesSpeed) {
    ItemRecord w = Weapon(1, 100, 200, 1.40f);
    EXPECT_FLOAT_EQ(WeaponDps(w), 210.0f);
    EXPECT_EQ(Shown(WeaponDps(w), kWeaponDpsDecimals), u"210.0");
    w.stats[kElementalPercent] = 50;  // the elemental % does not enter a weapon's own DPS
    EXPECT_FLOAT_EQ(WeaponDps(w), 210.0f);
}

TEST_F(Formulas, DualWieldAveragesDamageAndSpeed) {
    EquipmentProfile p = DefaultProfile();
    p.weaponStyle = 2;
    p.slots[0] = Weapon(1, 100, 200, 1.4f);
    p.slots[1] = Weapon(1, 50, 100, 1.6f);
    p.slots[0].stats[kStrength] = 10;
    p.slots[1].stats[kStrength] = 20;
    p.slots[2] = Item(5, kMinDamage, 10);  // armour adds after the weapons are averaged
    const EquipmentProfile before = p;
    const StatTotals t = AggregateProfile(p);
    EXPECT_TRUE(SameBytes(p, before));
    EXPECT_NEAR(t.s[kAttacksPerSecond], 2 / (1 / 1.4 + 1 / 1.6), 1e-5);
    EXPECT_FLOAT_EQ(t.s[kAttacksPerSecond], 1.4933333f);
    EXPECT_EQ(t.s[kAttackSpeed], 15);
    EXPECT_EQ(t.s[kMinDamage], 85);
    EXPECT_EQ(t.s[kMaxDamage], 150);
    EXPECT_EQ(t.s[kStrength], 30);

    p.weaponStyle = 0;  // the same items one-handed: summed, first weapon's speed, no extra 15
    p.slots[1].kind = 0;
    const StatTotals one = AggregateProfile(p);
    EXPECT_FLOAT_EQ(one.s[kAttacksPerSecond], 1.4f);
    EXPECT_EQ(one.s[kAttackSpeed], 0);
    EXPECT_EQ(one.s[kMinDamage], 100 + 0 + 10);  // off-hand keeps its typed min damage: 0 here
}

TEST_F(Formulas, AttacksPerSecondBonusIsProfileWide) {
    EquipmentProfile p = DefaultProfile();
    p.slots[0] = Weapon(1, 100, 200, 1.6f);
    p.slots[0].stats[kAttacksPerSecondBonus] = 0.2f;  // base 1.40
    p.slots[6] = Item(12, kAttacksPerSecondBonus, 0.1f);
    const StatTotals t = AggregateProfile(p);
    EXPECT_FLOAT_EQ(t.s[kAttacksPerSecond], 1.4f + 0.3f);
}

TEST_F(Formulas, SkillBonusesGoToTheirStats) {
    EquipmentProfile p = DefaultProfile();
    p.skillAttackSpeed = 1, p.skillCritDamage = 2, p.skillCritChance = 3, p.skillDamage = 4;
    p.skillMainAttribute = 5, p.skillVitality = 6, p.skillAllResistance = 7;
    for (int sel : {int(kStrength), int(kDexterity), int(kIntelligence), 0}) {
        gProfile.mainAttribute = sel;
        const StatTotals t = AggregateProfile(p);
        EXPECT_EQ(t.s[kAttackSpeed], 1);
        EXPECT_EQ(t.s[kCritDamage], 2);
        EXPECT_EQ(t.s[kCritChance], 3);
        EXPECT_EQ(t.s[kSkillDamagePercent], 4);
        EXPECT_EQ(t.s[MainAttributeStat(sel)], 5) << "selector " << sel;
        EXPECT_EQ(t.s[kStrength] + t.s[kDexterity] + t.s[kIntelligence], 5);
        EXPECT_EQ(t.s[kVitality], 6);
        EXPECT_EQ(t.s[kAllResistance], 7);
    }
}

TEST_F(Formulas, ElementalPercentMultipliesMinimumDamageOnly) {
    StatTotals t;
    t.s[kMinDamage] = 100;
    t.s[kMaxDamage] = 200;
    t.s[kElementalPercent] = 20;
    EXPECT_EQ(AverageDamage(t, false), 170);
    EXPECT_EQ(AverageDamage(t, true), 150);
    t.s[kElementalMin] = 10, t.s[kElementalMax] = 30;
    EXPECT_EQ(AverageDamage(t, true), 170);
    EXPECT_EQ(AverageDamage(t, false), 190);
}

TEST_F(Formulas, OneWeaponWorkedExample) {
    EquipExampleWeapon();
    Recalculate();
    EXPECT_FLOAT_EQ(gCalc.weaponDps[0], 210.0f);
    EXPECT_EQ(gCalc.weaponDps[1], 0);
    const float* v = gCalc.current.v;
    EXPECT_EQ(Shown(v[kSumDamage], kSummaryDecimals[kSumDamage]), u"617.77");
    EXPECT_NEAR(v[kSumDamage], 617.7675, 1e-3);
    EXPECT_EQ(v[kSumLife], 4721);
    EXPECT_FLOAT_EQ(v[kSumAllResistance], 18.7f);
    EXPECT_EQ(Shown(v[kSumAttacksPerSecond], kSummaryDecimals[kSumAttacksPerSecond]), u"1.40");
    // Recalculate leaves the normalised values in the active profile's weapon slots.
    EXPECT_EQ(gProfile.slots[0].stats[kMinDamage], 100);
    EXPECT_EQ(gProfile.slots[0].stats[kAttacksPerSecond], 1.40f);
}

TEST_F(Formulas, SkillDamageAndLifePercentEnterTheSummary) {
    EquipExampleWeapon();
    gProfile.skillDamage = 10;
    gProfile.slots[5] = Item(6, kLifePercent, 10);
    Recalculate();
    EXPECT_NEAR(gCalc.current.v[kSumDamage], 617.7675 * 1.1, 1e-3);
    EXPECT_NEAR(gCalc.current.v[kSumLife], 4721 * 1.1, 1e-3);
    EXPECT_EQ(gCalc.current.v[kSumLifePercent], 10);
}

TEST_F(Formulas, IntelligenceAdjustmentAndItsValueEquivalents) {
    EquipExampleWeapon();
    Recalculate();
    gCalc.adjustments[12] = 100;  // "지능"
    ApplyAdjustments();
    ComputeValueEquivalents();
    EXPECT_EQ(Shown(gCalc.modified.v[kSumDamage], 2), u"833.02");
    const float* e = gCalc.equivalents;
    const struct {
        int row;
        const char16_t* text;
    } expected[] = {
        {kEqDamage, u"215.25"},
        {kEqWeaponDps, u"73.17"},
        {kEqAverageDamage, u"52.26"},
        {kEqMainAttribute, u"100.00"},
        {kEqAttackSpeed, u"34.84"},
        {kEqCritDamage, u"714.29"},
        {kEqCritChance, u"71.43"},
        // No elemental % and minimum damage 100: the elemental row equals the average-damage row.
        {kEqElementalPercent, u"52.26"},
        // Life is unchanged: every life row is empty.
        {kEqLife, u""},
        {kEqVitality, u""},
        {kEqLifePercent, u""},
    };
    for (const auto& x : expected) EXPECT_EQ(Shown(e[x.row], kEquivalentDecimals), x.text) << "row " << x.row;
    EXPECT_EQ(rec::Folded(),
              (std::vector<std::string>{"dps", "current", "modified", "diff*11", "equivalents"}));
}

TEST_F(Formulas, LifeEquivalentsAnswerTheModifiedLife) {
    Recalculate();
    gCalc.adjustments[13] = 10;  // "활력": +350 life
    ApplyAdjustments();
    ComputeValueEquivalents();
    const float* e = gCalc.equivalents;
    EXPECT_EQ(e[kEqLife], 350);
    EXPECT_FLOAT_EQ(e[kEqVitality], 10);
    EXPECT_NEAR(e[kEqLifePercent], 350.0 / 4721 * 100, 1e-3);
}

TEST_F(Formulas, DiffIndicatorsRiseFallAndKeepTheirMark) {
    EquipExampleWeapon();
    Recalculate();
    gCalc.adjustments[12] = 100;
    ApplyAdjustments();
    EXPECT_EQ(rec::diffText[kSumDamage], u"▲ 215.25");
    EXPECT_EQ(rec::diffText[kSumIntelligence], u"▲ 100.00");
    EXPECT_EQ(rec::diffText[kSumAllResistance], u"▲ 10.00");
    EXPECT_EQ(rec::diffText[kSumLife], u"");
    EXPECT_TRUE(rec::diffRising[kSumDamage]);

    gCalc.adjustments[12] = -100;
    ApplyAdjustments();
    EXPECT_EQ(rec::diffText[kSumIntelligence], u"▼ 100.00");
    EXPECT_FALSE(rec::diffRising[kSumIntelligence]);

    gCalc.adjustments[12] = 0;  // unchanged: empty text, the falling mark stays
    ApplyAdjustments();
    EXPECT_EQ(rec::diffText[kSumIntelligence], u"");
    EXPECT_FALSE(rec::diffRising[kSumIntelligence]);
    gCalc.adjustments[12] = 1;
    ApplyAdjustments();
    gCalc.adjustments[12] = 0;
    ApplyAdjustments();
    EXPECT_TRUE(rec::diffRising[kSumIntelligence]);
}

TEST_F(Formulas, NoWeaponGivesUndefinedDamageEquivalents) {
    Recalculate();
    gCalc.adjustments[12] = 100;
    ApplyAdjustments();
    ComputeValueEquivalents();
    const float* e = gCalc.equivalents;
    EXPECT_EQ(Shown(e[kEqDamage], 2), u"");  // 0 damage either way
    for (int row = kEqWeaponDps; row <= kEqCritChance; ++row)
        EXPECT_EQ(Shown(e[row], 2), u"—") << "row " << row;
    EXPECT_EQ(Shown(e[kEqLife], 2), u"");
}

TEST_F(Formulas, NoMinimumDamageGivesUnboundedElementalEquivalent) {
    ItemRecord w = Weapon(1, 10, 20, 1.0f);  // all of it elemental: base damage 0
    w.stats[kElementalMin] = 10;
    w.stats[kElementalMax] = 20;
    gProfile.slots[0] = w;
    Recalculate();
    gCalc.adjustments[12] = 100;
    ApplyAdjustments();
    ComputeValueEquivalents();
    EXPECT_EQ(gProfile.slots[0].stats[kMinDamage], 0);
    EXPECT_EQ(Shown(gCalc.equivalents[kEqElementalPercent], 2), u"∞");
    EXPECT_TRUE(std::isfinite(gCalc.equivalents[kEqAverageDamage]));
}

}  // namespace
