// The Equipment Profile: the item in each of 13 slots plus the character's own values.
// Its 1396 bytes are stored raw in the settings file, so the layout never changes.
#pragma once
#include <cstddef>
#include <cstdint>

#include "reader/item.h"

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

// Makes slots 0 and 1 agree with `style` (0 one-hand with off-hand, 1 two-hand, 2 dual wield;
// any other value counts as 0). A weapon slot whose kind changes loses its stats; one whose kind
// already fits keeps them. Unless suppressDisplay, the profile page's weapon-2 and off-hand
// columns are then set to match. The style itself is not stored here.
void ApplyWeaponLayout(EquipmentProfile& profile, int style, int suppressDisplay);
// The layout of the active profile's own style, with display.
void ApplyActiveWeaponLayout();
// Redisplays the profile page: the active layout first, then every field of the profile.
void ShowProfile();

// Saves the active profile, makes profile n (1..5) the active one, loads it (or the default),
// redisplays it and recomputes every number. False, with nothing changed, when n is out of range
// or the active profile could not be saved: its unsaved values stay in memory rather than be lost.
bool SwitchProfile(int n);
