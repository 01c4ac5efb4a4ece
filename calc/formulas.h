// Stat aggregation and the damage, life and value-equivalent formulas, with the calculator's
// process-wide results (current and modified summary, adjustments, value equivalents).
#pragma once
#include <cstdint>

#include "base/item.h"
#include "base/profile.h"

// The sum over a profile's items plus the skill bonuses, by stat index.
struct StatTotals {
    float s[kStatCount] = {};
};

// Stat Summary entries, in the order the pages show them.
enum SummaryEntry : int {
    kSumDamage = 0,
    kSumLife = 1,
    kSumAllResistance = 2,
    kSumAttacksPerSecond = 3,
    kSumCritDamage = 4,
    kSumCritChance = 5,
    kSumStrength = 6,
    kSumDexterity = 7,
    kSumIntelligence = 8,
    kSumVitality = 9,
    kSumLifePercent = 10,
};
constexpr int kSummaryCount = 11;

struct StatSummary {
    float v[kSummaryCount] = {};
};

// The calculator page's Stat Adjustments: adjustment j is added to stat kAdjustmentStat[j].
constexpr int kAdjustmentCount = 16;
constexpr int kAdjustmentStat[kAdjustmentCount] = {9, 10, 12, 13, 2, 14, 1, 4, 3, 11, 7, 5, 6, 8, 15, 17};

// Value Equivalents rows: 0..7 answer the modified damage, 8..10 the modified life.
enum EquivalentRow : int {
    kEqDamage = 0,
    kEqWeaponDps = 1,
    kEqAverageDamage = 2,
    kEqElementalPercent = 3,
    kEqMainAttribute = 4,
    kEqAttackSpeed = 5,
    kEqCritDamage = 6,
    kEqCritChance = 7,
    kEqLife = 8,
    kEqVitality = 9,
    kEqLifePercent = 10,
};
constexpr int kEquivalentCount = 11;

constexpr int32_t kBaseLife = 276;
constexpr int32_t kBaseCritChance = 5;
constexpr int32_t kBaseCritDamage = 50;

struct BaseAttributes {
    int32_t strength = 67;
    int32_t dexterity = 67;
    int32_t intelligence = 187;
    int32_t vitality = 127;
};

// Everything the calculator computes for display. The program has exactly one of each; none is
// stored in the settings file.
struct CalcState {
    float weaponDps[2] = {};  // slot 0, slot 1 of the active profile
    BaseAttributes base;
    StatSummary current;   // the active profile
    StatSummary modified;  // the active profile with the adjustments, or with a compared item
    float adjustments[kAdjustmentCount] = {};
    float equivalents[kEquivalentCount] = {};
    uint8_t diffRising[kSummaryCount] = {};  // mark of each diff indicator: 1 rising, 0 falling
};

extern CalcState gCalc;

// The stat index that a main-attribute selector names: 7 strength, 5 dexterity, else intelligence.
int MainAttributeStat(int32_t selector);

// Recovers a weapon's base damage and speed from its tooltip values, in place. Non-weapons
// (kinds other than 1 and 2) are left alone.
void WeaponNormalise(ItemRecord& r);
// Normalises r in place and returns its own damage per second.
float WeaponDps(ItemRecord& r);
StatTotals AggregateProfile(EquipmentProfile p);
// From the active profile's paragon level and main attribute into gCalc.base.
void ComputeBaseAttributes();
float AverageDamage(const StatTotals& t, bool withoutElementalBonus);
// Uses gCalc.base and the active profile's main-attribute selector.
StatSummary ComputeSummary(const StatTotals& t);

// The full refresh of the active profile's numbers: weapon DPS, base attributes, current summary.
void Recalculate();
// The active profile plus the adjustments into the modified summary, with its diff indicators.
void ApplyAdjustments();
// The eleven Value Equivalents from the current and the modified summary.
void ComputeValueEquivalents();
// Sets the eleven diff indicators from modified minus current summary and shows them.
void ShowDiffIndicators();
