// The Item Record: what the reader makes of one tooltip, and what profiles store per slot.
// Its bytes are a file format (profiles are stored raw), so the layout never changes.
#pragma once
#include <cstdint>

constexpr int kStatCount = 25;
constexpr int kKindCount = 13;
constexpr int kSlotCount = 13;

// Stat indices; field 1 + s of the record holds stat s.
enum Stat : int {
    kArmour = 0,
    kAttackSpeed = 1,       // attack speed % on a non-weapon
    kAttacksPerSecond = 2,  // normalised weapon speed, filled by the calculator
    kCritChance = 3,
    kCritDamage = 4,
    kDexterity = 5,
    kIntelligence = 6,
    kStrength = 7,
    kVitality = 8,
    kMinDamage = 9,
    kMaxDamage = 10,
    kSkillDamagePercent = 11,  // filled by the calculator only
    kElementalMin = 12,
    kElementalMax = 13,
    kElementalPercent = 14,
    kLifePercent = 15,
    kMagicFind = 16,
    kAllResistance = 17,
    kLifePerHit = 18,
    kWeaponMin = 19,
    kWeaponMax = 20,
    kWeaponSpeedPercent = 21,
    kWeaponDamagePercent = 22,
    kAttacksPerSecondBonus = 23,
    kWeaponAttacksPerSecond = 24,
};

struct ItemRecord {
    int32_t kind = 0;  // 0..12, or -1 when not identified
    float stats[kStatCount] = {};
};
static_assert(sizeof(float) == 4 && sizeof(ItemRecord) == 104, "Item Record is a 104-byte file format");

inline bool IsWeaponKind(int kind) {
    return kind == 1 || kind == 2;
}

// A record for "nothing read": kind -1, every stat 0.
inline ItemRecord UnidentifiedItem() {
    ItemRecord r;
    r.kind = -1;
    return r;
}
