// The Equipment Profile record: the item in each of 13 slots plus the character's own values.
// Its 1396 bytes are stored raw in the settings file, so the layout never changes.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/item.h"

struct EquipmentProfile {
    ItemRecord slots[kSlotCount];
    float skillAttackSpeed = 0;    // attack speed % granted by skills
    float skillCritDamage = 0;     // critical hit damage %
    float skillCritChance = 0;     // critical hit chance %
    float skillDamage = 0;         // damage %
    float skillMainAttribute = 0;  // main attribute
    float skillVitality = 0;       // vitality
    float skillAllResistance = 0;  // all resistance
    int32_t mainAttribute = 0;     // stat index: 7 strength, 5 dexterity, 6 intelligence
    float paragonLevel = 0;
    int32_t weaponStyle = 0;  // 0 one-hand with off-hand, 1 two-hand, 2 dual wield
    int32_t offHandWithTwoHander = 0;
};
static_assert(sizeof(EquipmentProfile) == 1396, "Equipment Profile is a 1396-byte file format");
static_assert(offsetof(EquipmentProfile, mainAttribute) == 1380 &&
              offsetof(EquipmentProfile, weaponStyle) == 1388);

// All zero except the main attribute, intelligence.
EquipmentProfile DefaultProfile();

// The one profile in memory: the active one.
extern EquipmentProfile gProfile;

constexpr int kProfileCount = 5;  // stored as "1".."5"
