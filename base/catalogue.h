// Constant tables of the item vocabulary: kinds, slots, option-line descriptors.
// Template fields are indices into the glyph set; they resolve once the set is loaded.
#pragma once
#include <cstdint>

#include "base/item.h"

struct ItemKind {
    int templateIndex;     // grey slot caption that identifies the kind
    const char16_t* name;  // display name, at most 9 characters
};

struct SlotEntry {
    int32_t accepts[kKindCount];  // 0 does not fit, 1 fits, 2 fits as the second placement
    const char16_t* name;
};

enum Condition : uint8_t { kNever = 0, kEveryKind = 1, kWeaponsOnly = 2, kNonWeaponsOnly = 3 };

struct StatDescriptor {
    int templateIndex;     // caption up to where the value's first digit begins
    const char16_t* name;  // descriptive only
    int32_t stat;          // receiving stat index, or -1 for "recognised, stored nowhere"
    uint8_t socket;        // 1: a socketed-gem line
    uint8_t white;         // 1: value drawn in white digits, else blue
    uint8_t range;         // 1: two numbers joined by a tilde, the second going to stat + 1
    uint8_t condition;     // Condition
};

constexpr int kDescriptorCount = 40;

extern const ItemKind kItemKinds[kKindCount];
extern const SlotEntry kSlots[kSlotCount];
extern const StatDescriptor kStatDescriptors[kDescriptorCount];

// Row of the weapon's attacks-per-second caption; only the weapon base line reads it.
constexpr int kAttacksPerSecondRow = 2;

// Name of a kind, or nullptr when out of range.
const char16_t* KindName(int kind);
// Name of a stat index, as the option line that stores into it reads, or as the pages caption the
// stats no single line names (ranges, weapon damage, the calculator's own); nullptr when out of range.
const char16_t* StatName(int stat);

// Gem socket choices: the stored setting values, per item category.
enum SocketCategory { kSocketWeapon = 0, kSocketHelm = 1, kSocketOther = 2 };
SocketCategory SocketCategoryOf(int kind);

// What one socket choice means for a parsed item. When active, gem lines are not read and
// every socket (empty or filled) adds `amount` to `targetStat` (none when -1).
struct SocketEffect {
    bool active = false;
    int targetStat = -1;
    float amount = 0;
};
// socketOptions: equip set (weapon, helm, other) then compare set; set 1 = equip, 0 = compare.
SocketEffect SocketChoice(int kind, int set, const int32_t socketOptions[6], int mainAttribute);
