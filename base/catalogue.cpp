// The item vocabulary tables, as constant data.
#include "base/catalogue.h"

const ItemKind kItemKinds[kKindCount] = {
    {56, u"보조장비"},    {57, u"한손 무기"},   {58, u"양손 무기"}, {59, u"팔 방어구"}, {60, u"반지"},
    {61, u"투구"},        {62, u"가슴 방어구"}, {63, u"허리띠"},    {64, u"장화"},      {65, u"바지"},
    {66, u"어깨 방어구"}, {67, u"목걸이"},      {68, u"장갑"},
};

// accepts[] is indexed by item kind 0..12.
const SlotEntry kSlots[kSlotCount] = {
    {{0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, u"주 장비"},
    {{1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, u"보조 장비"},
    {{0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}, u"머리"},
    {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0}, u"목"},
    {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0}, u"어깨"},
    {{0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}, u"몸통"},
    {{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, u"손"},
    {{0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0}, u"손목"},
    {{0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0}, u"허리"},
    {{0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}, u"다리"},
    {{0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0}, u"왼쪽 손가락"},
    {{0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}, u"오른쪽 손가락"},
    {{0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}, u"발"},
};

// clang-format off
const StatDescriptor kStatDescriptors[kDescriptorCount] = {
    // template, name, stat, socket, white, range, condition
    {38, u"방어도", 0, 0, 0, 0, kNever},
    {39, u"공격 속도", 1, 0, 0, 0, kNonWeaponsOnly},
    {36, u"초당 공격 횟수", 24, 0, 0, 0, kNever},
    {37, u"초당 공격 횟수 +", 23, 0, 0, 0, kWeaponsOnly},
    {40, u"극대화 확률", 3, 0, 0, 0, kEveryKind},
    {41, u"극대화 피해", 4, 0, 0, 0, kEveryKind},
    {42, u"민첩", 5, 0, 0, 0, kEveryKind},
    {43, u"지능", 6, 0, 0, 0, kEveryKind},
    {44, u"최소 피해", 9, 0, 0, 0, kNonWeaponsOnly},
    {45, u"최대 피해", 10, 0, 0, 0, kNonWeaponsOnly},
    {46, u"힘", 7, 0, 0, 0, kEveryKind},
    {47, u"활력", 8, 0, 0, 0, kEveryKind},
    {48, u"피해", 9, 0, 0, 1, kNonWeaponsOnly},
    {49, u"생명력 %", 15, 0, 0, 0, kEveryKind},
    {50, u"마법 아이템 발견", 16, 0, 0, 0, kEveryKind},
    {51, u"모든 원소 저항", 17, 0, 0, 0, kEveryKind},
    {39, u"무기 공격 속도 증가", 21, 0, 0, 0, kWeaponsOnly},
    {69, u"무기 공격력 %", 22, 0, 0, 0, kWeaponsOnly},
    {70, u"비전 무기 공격력", 12, 0, 0, 1, kEveryKind},
    {71, u"냉기 무기 공격력", 12, 0, 0, 1, kEveryKind},
    {72, u"신성 무기 공격력", 12, 0, 0, 1, kEveryKind},
    {73, u"화염 무기 공격력", 12, 0, 0, 1, kEveryKind},
    {74, u"번개 무기 공격력", 12, 0, 0, 1, kEveryKind},
    {75, u"독 무기 공격력", 12, 0, 0, 1, kEveryKind},
    {76, u"비전 피해 %", 14, 0, 0, 0, kEveryKind},
    {77, u"냉기 피해 %", 14, 0, 0, 0, kEveryKind},
    {78, u"신성 피해 %", 14, 0, 0, 0, kEveryKind},
    {79, u"화염 피해 %", 14, 0, 0, 0, kEveryKind},
    {80, u"번개 피해 %", 14, 0, 0, 0, kEveryKind},
    {81, u"독 피해 %", 14, 0, 0, 0, kEveryKind},
    {52, u"보석 - 극대화 피해", 4, 1, 1, 0, kEveryKind},
    {82, u"보석 - 적중 시 생명력 회복", 18, 1, 1, 0, kWeaponsOnly},
    {84, u"보석 - 무기 공격력", -1, 1, 1, 0, kWeaponsOnly},
    {83, u"보석 - 근접 공격자에게 피해", -1, 1, 1, 0, kWeaponsOnly},
    {53, u"보석 - 민첩", 5, 1, 1, 0, kNonWeaponsOnly},
    {54, u"보석 - 지능", 6, 1, 1, 0, kNonWeaponsOnly},
    {55, u"보석 - 힘", 7, 1, 1, 0, kNonWeaponsOnly},
    {85, u"보석 - 활력", 8, 1, 1, 0, kNonWeaponsOnly},
    {86, u"보석 - 마법 아이템 발견", 16, 1, 1, 0, kNonWeaponsOnly},
    {87, u"보석 - 생명력 %", 15, 1, 1, 0, kNonWeaponsOnly},
};
// clang-format on

const char16_t* KindName(int kind) {
    return kind >= 0 && kind < kKindCount ? kItemKinds[kind].name : nullptr;
}

const char16_t* StatName(int stat) {
    switch (stat) {
        // Filled by ranges, gems, the weapon's own lines or the calculator, or by a line per
        // element: these take the captions of the pages' fields.
        case kAttacksPerSecond:
            return u"초당 공격 횟수";
        case kSkillDamagePercent:
            return u"공격력 %";
        case kElementalMin:
            return u"최소 속성 피해";
        case kElementalMax:
            return u"최대 속성 피해";
        case kElementalPercent:
            return u"속성 피해 %";
        case kLifePerHit:
            return u"적중 시 생명력 회복";
        case kWeaponMin:
            return u"최소 무기 공격력";
        case kWeaponMax:
            return u"최대 무기 공격력";
        default:
            break;
    }
    // The one plain option line that stores into the stat.
    for (const StatDescriptor& d : kStatDescriptors)
        if (d.stat == stat && d.socket == 0 && d.range == 0) return d.name;
    return nullptr;
}

SocketCategory SocketCategoryOf(int kind) {
    if (IsWeaponKind(kind)) return kSocketWeapon;
    return kind == 5 ? kSocketHelm : kSocketOther;
}

SocketEffect SocketChoice(int kind, int set, const int32_t socketOptions[6], int mainAttribute) {
    SocketCategory category = SocketCategoryOf(kind);
    int value = socketOptions[(set == 1 ? 0 : 3) + category];
    SocketEffect effect;
    if (value == 0) return effect;
    effect.active = true;  // any other value counts sockets; unknown values add nothing
    if (value == 2) {
        static const int kTarget[] = {kCritDamage, kLifePercent, -1};
        static const float kAmount[] = {100, 18, 58};
        // A selector other than strength or dexterity counts as intelligence, as everywhere else;
        // an unchecked value from a damaged settings file must not index past the stats.
        int mainStat =
            (mainAttribute == kStrength || mainAttribute == kDexterity) ? mainAttribute : kIntelligence;
        effect.targetStat = category == kSocketOther ? mainStat : kTarget[category];
        effect.amount = kAmount[category];
    } else if (value == 3 && category == kSocketOther) {
        effect.targetStat = kVitality;
        effect.amount = 58;
    }
    return effect;
}
