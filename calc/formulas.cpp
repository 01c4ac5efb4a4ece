// The calculator's arithmetic. Values are float32; products and quotients are evaluated in
// double and rounded to float32 wherever a named intermediate or result is stored.
#include "calc/formulas.h"

#include <cmath>
#include <cstdint>

#include "calc/display.h"
#include "calc/view.h"

CalcState gCalc;

namespace {

// Truncation toward zero that stays defined for any stored float: NaN gives 0, values beyond
// the int32 range give its ends. A profile read from a file may hold any bit pattern.
int32_t TruncateToInt(double v) {
    if (std::isnan(v)) return 0;
    if (v >= 2147483647.0) return INT32_MAX;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}

float MainAttributeValue(const StatSummary& summary) {
    switch (MainAttributeStat(gProfile.mainAttribute)) {
        case kStrength:
            return summary.v[kSumStrength];
        case kDexterity:
            return summary.v[kSumDexterity];
        default:
            return summary.v[kSumIntelligence];
    }
}

// Damage ranges of the second weapon are averaged with the first one's in dual wield.
bool IsDamageRange(int k) {
    return k == kMinDamage || k == kMaxDamage || k == kElementalMin || k == kElementalMax;
}

}  // namespace

int MainAttributeStat(int32_t selector) {
    return selector == kStrength || selector == kDexterity ? selector : kIntelligence;
}

void WeaponNormalise(ItemRecord& r) {
    if (!IsWeaponKind(r.kind)) return;
    float* s = r.stats;
    const float m = float(1.0 + double(s[kWeaponDamagePercent]) / 100.0);
    const float o = float(1.0 + double(s[kWeaponSpeedPercent]) / 100.0);
    // The tooltip's damage includes the elemental part and the damage %; "ceil after - 0.5" rounds a
    // base of exactly n + 0.5 down to n.
    s[kMinDamage] = float(m * std::ceil((double(s[kWeaponMin]) - s[kElementalMin] - 0.5) / m));
    s[kMaxDamage] = float(m * std::ceil((double(s[kWeaponMax]) - s[kElementalMax] - 0.5) / m));
    const double bonus = s[kAttacksPerSecondBonus];
    const double base = std::ceil((double(s[kWeaponAttacksPerSecond]) - bonus - 0.005) / o * 100.0);
    s[kAttacksPerSecond] = float(bonus + o * base / 100.0);
}

float WeaponDps(ItemRecord& r) {
    WeaponNormalise(r);
    const float* s = r.stats;
    const float avg =
        float((double(s[kMinDamage]) + s[kMaxDamage] + s[kElementalMin] + s[kElementalMax]) / 2.0);
    return float(double(avg) * s[kAttacksPerSecond]);
}

StatTotals AggregateProfile(EquipmentProfile p) {
    const bool dual = p.weaponStyle == 2;
    StatTotals t;
    float* T = t.s;
    WeaponNormalise(p.slots[0]);
    WeaponNormalise(p.slots[1]);
    for (int i = 0; i < kSlotCount; ++i)
        for (int k = 0; k < kStatCount; ++k) {
            const float v = p.slots[i].stats[k];
            T[k] = (i == 1 && dual && IsDamageRange(k)) ? float((double(T[k]) + v) / 2.0) : T[k] + v;
        }
    // Each weapon's own speed, with the profile-wide "attacks per second +" in place of its own.
    const float* s0 = p.slots[0].stats;
    const float* s1 = p.slots[1].stats;
    const float a0 =
        float(double(s0[kAttacksPerSecond]) + T[kAttacksPerSecondBonus] - s0[kAttacksPerSecondBonus]);
    const float a1 =
        float(double(s1[kAttacksPerSecond]) + T[kAttacksPerSecondBonus] - s1[kAttacksPerSecondBonus]);
    T[kAttacksPerSecond] = dual ? float(2.0 / (1.0 / a0 + 1.0 / a1)) : a0;

    T[kAttackSpeed] += p.skillAttackSpeed;
    T[kCritDamage] += p.skillCritDamage;
    T[kCritChance] += p.skillCritChance;
    T[kSkillDamagePercent] += p.skillDamage;
    T[MainAttributeStat(gProfile.mainAttribute)] += p.skillMainAttribute;
    T[kVitality] += p.skillVitality;
    T[kAllResistance] += p.skillAllResistance;
    if (dual) T[kAttackSpeed] += 15;  // dual wielding's own attack speed bonus
    return t;
}

void ComputeBaseAttributes() {
    const double p = gProfile.paragonLevel;
    const int32_t primary = TruncateToInt(3 * p + 187);
    const int32_t secondary = TruncateToInt(p + 67);
    BaseAttributes& b = gCalc.base;
    const int sel = MainAttributeStat(gProfile.mainAttribute);
    b.strength = sel == kStrength ? primary : secondary;
    b.dexterity = sel == kDexterity ? primary : secondary;
    b.intelligence = sel == kIntelligence ? primary : secondary;
    b.vitality = TruncateToInt(2 * p + 127);
}

float AverageDamage(const StatTotals& t, bool withoutElementalBonus) {
    const float* T = t.s;
    const float avg =
        float((double(T[kMinDamage]) + T[kMaxDamage] + T[kElementalMin] + T[kElementalMax]) / 2.0);
    if (withoutElementalBonus) return avg;
    // The elemental damage % multiplies the minimum damage only.
    return float(avg + double(T[kElementalPercent]) / 100.0 * T[kMinDamage]);
}

StatSummary ComputeSummary(const StatTotals& t) {
    const float* T = t.s;
    const BaseAttributes& b = gCalc.base;
    StatSummary r;
    float* v = r.v;
    const float cc = float(kBaseCritChance + double(T[kCritChance]));
    const float cd = float(kBaseCritDamage + double(T[kCritDamage]));
    v[kSumStrength] = float(b.strength + double(T[kStrength]));
    v[kSumDexterity] = float(b.dexterity + double(T[kDexterity]));
    v[kSumIntelligence] = float(b.intelligence + double(T[kIntelligence]));
    v[kSumVitality] = float(b.vitality + double(T[kVitality]));
    const float main = MainAttributeValue(r);
    const double speed = 1.0 + double(T[kAttackSpeed]) / 100.0;
    v[kSumAttacksPerSecond] = float(speed * T[kAttacksPerSecond]);
    v[kSumDamage] = float(double(AverageDamage(t, false)) * T[kAttacksPerSecond] * speed *
                          (1.0 + (cd / 100.0) * (cc / 100.0)) * (1.0 + main / 100.0) *
                          (1.0 + double(T[kSkillDamagePercent]) / 100.0));
    v[kSumLife] =
        float((kBaseLife + double(v[kSumVitality]) * 35.0) * (1.0 + double(T[kLifePercent]) / 100.0));
    v[kSumAllResistance] = float(double(v[kSumIntelligence]) / 10.0 + T[kAllResistance]);
    v[kSumCritDamage] = cd;
    v[kSumCritChance] = cc;
    v[kSumLifePercent] = T[kLifePercent];
    return r;
}

void Recalculate() {
    gCalc.weaponDps[0] = WeaponDps(gProfile.slots[0]);
    gCalc.weaponDps[1] = WeaponDps(gProfile.slots[1]);
    const StatTotals stats = AggregateProfile(gProfile);
    ComputeBaseAttributes();
    gCalc.current = ComputeSummary(stats);
    ViewCall(&CalcView::showWeaponDps, gCalc.weaponDps);
    ViewCall(&CalcView::showCurrentSummary, gCalc.current);
}

void ShowDiffIndicators() {
    for (int j = 0; j < kSummaryCount; ++j) {
        const DiffText diff = FormatDiff(gCalc.modified.v[j] - gCalc.current.v[j]);
        if (diff.mark != DiffMark::Unchanged) gCalc.diffRising[j] = diff.mark == DiffMark::Rising;
        ViewCall(&CalcView::showDiffIndicator, j, std::u16string_view(diff.text), gCalc.diffRising[j] != 0);
    }
}

void ApplyAdjustments() {
    StatTotals stats = AggregateProfile(gProfile);
    for (int j = 0; j < kAdjustmentCount; ++j) stats.s[kAdjustmentStat[j]] += gCalc.adjustments[j];
    gCalc.modified = ComputeSummary(stats);
    ViewCall(&CalcView::showModifiedSummary, gCalc.modified);
    ShowDiffIndicators();
}

void ComputeValueEquivalents() {
    const StatTotals t = AggregateProfile(gProfile);
    const float* cur = gCalc.current.v;
    const float vit = cur[kSumVitality], lp = cur[kSumLifePercent];
    const double cc = cur[kSumCritChance], cd = cur[kSumCritDamage];
    const double main = MainAttributeValue(gCalc.current);
    const double L0 = cur[kSumLife], D0 = cur[kSumDamage];
    const double L1 = gCalc.modified.v[kSumLife], D1 = gCalc.modified.v[kSumDamage];
    const double avgE = AverageDamage(t, false), avgN = AverageDamage(t, true);
    const double mn = t.s[kMinDamage], ep = t.s[kElementalPercent];
    const double aps = t.s[kAttacksPerSecond], ias = t.s[kAttackSpeed];
    const double crit = 1.0 + cc / 100.0 * cd / 100.0;
    const double speed = 1.0 + ias / 100.0, mainFactor = 1.0 + main / 100.0;
    // K leaves out the skills' damage %: each row asks for one stat alone.
    const double K = float(speed * aps * crit * mainFactor);

    float* e = gCalc.equivalents;
    e[kEqDamage] = float(D1 - D0);
    e[kEqWeaponDps] = float((D1 / K - avgE) * aps);
    e[kEqAverageDamage] = float(D1 / K - avgE);
    e[kEqElementalPercent] = float((D1 / K - avgN) * 100.0 / mn - ep);
    e[kEqMainAttribute] = float((D1 / (avgE * aps * speed * crit) - 1.0) * 100.0 - main);
    e[kEqAttackSpeed] = float((D1 / (avgE * aps * crit * mainFactor) - 1.0) * 100.0 - ias);
    const double withoutCrit = D1 / (avgE * aps * speed * mainFactor) - 1.0;
    e[kEqCritDamage] = float(withoutCrit * 10000.0 / cc - cd);
    e[kEqCritChance] = float(withoutCrit * 10000.0 / cd - cc);
    e[kEqLife] = float(L1 - L0);
    e[kEqVitality] = float((L1 / (1.0 + lp / 100.0) - kBaseLife) / 35.0 - vit);
    e[kEqLifePercent] = float((L1 / (kBaseLife + vit * 35.0) - 1.0) * 100.0 - lp);
    ViewCall(&CalcView::showValueEquivalents, gCalc.equivalents);
}
