// The catalogue tables: slot marks and socket choices.
#include "base/catalogue.h"

#include <gtest/gtest.h>

TEST(Catalogue, EveryKindFitsItsSlotsAsListed) {
    for (int kind = 0; kind < kKindCount; ++kind) {
        int ones = 0, twos = 0;
        for (const SlotEntry& slot : kSlots) {
            ones += slot.accepts[kind] == 1;
            twos += slot.accepts[kind] == 2;
        }
        EXPECT_EQ(ones, 1) << "kind " << kind;
        EXPECT_EQ(twos, (kind == 1 || kind == 4) ? 1 : 0) << "kind " << kind;
    }
    EXPECT_EQ(kSlots[0].accepts[1], 1);
    EXPECT_EQ(kSlots[1].accepts[1], 2);
    EXPECT_EQ(kSlots[10].accepts[4], 1);
    EXPECT_EQ(kSlots[11].accepts[4], 2);
}

TEST(Catalogue, SocketChoiceFollowsCategoryAndSet) {
    // equip set: weapon 2, helm 2, other 2; compare set: weapon 1, helm 0, other 3
    const int32_t options[6] = {2, 2, 2, 1, 0, 3};
    SocketEffect e = SocketChoice(1, 1, options, 6);
    EXPECT_TRUE(e.active);
    EXPECT_EQ(e.targetStat, kCritDamage);
    EXPECT_EQ(e.amount, 100);
    e = SocketChoice(5, 1, options, 6);
    EXPECT_EQ(e.targetStat, kLifePercent);
    EXPECT_EQ(e.amount, 18);
    for (int sel : {5, 6, 7}) EXPECT_EQ(SocketChoice(0, 1, options, sel).targetStat, sel);
    EXPECT_EQ(SocketChoice(2, 0, options, 6).targetStat, -1);
    EXPECT_TRUE(SocketChoice(2, 0, options, 6).active);
    EXPECT_FALSE(SocketChoice(5, 0, options, 6).active);
    e = SocketChoice(12, 0, options, 6);
    EXPECT_EQ(e.targetStat, kVitality);
    EXPECT_EQ(e.amount, 58);
}

TEST(Catalogue, OutOfListChoiceCountsSocketsWithoutTarget) {
    const int32_t options[6] = {3, 7, -1, 0, 0, 0};
    for (int kind : {1, 5, 6}) {
        SocketEffect e = SocketChoice(kind, 1, options, 6);
        EXPECT_TRUE(e.active);
        EXPECT_EQ(e.targetStat, -1);
    }
}

TEST(Catalogue, DamagedMainAttributeSelectorCountsAsIntelligence) {
    const int32_t options[6] = {0, 0, 2, 0, 0, 0};
    EXPECT_EQ(SocketChoice(6, 1, options, 99).targetStat, kIntelligence);
    EXPECT_EQ(SocketChoice(6, 1, options, -5).targetStat, kIntelligence);
}
