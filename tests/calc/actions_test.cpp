// Equip and compare: slot choice, placement with the weapon style, and the order of what the
// player sees.
#include "calc/actions.h"

#include <cmath>

#include "base/catalogue.h"
#include "calc/display.h"
#include "tests/calc/recorder.h"

namespace {

using Actions = CalcTest;
using Log = std::vector<std::string>;

TEST_F(Actions, SlotOfEveryKindAndFlag) {
    const int want[kKindCount][2] = {{1, 1}, {0, 1},   {0, 0}, {7, 7}, {10, 11}, {2, 2}, {5, 5},
                                     {8, 8}, {12, 12}, {9, 9}, {4, 4}, {3, 3},   {6, 6}};
    for (int kind = 0; kind < kKindCount; ++kind)
        for (int flag : {0, 1})
            EXPECT_EQ(ChooseSlot(kind, flag), want[kind][flag]) << "kind " << kind << " flag " << flag;
    EXPECT_TRUE(rec::log.empty());
}

TEST_F(Actions, UnidentifiedItemHasNoSlotAndNoMessage) {
    EXPECT_EQ(ChooseSlot(-1, 0), -1);
    EXPECT_EQ(ChooseSlot(-7, 1), -1);
    EXPECT_TRUE(rec::log.empty());
}

TEST_F(Actions, UnknownKindRaisesTheSlotAlert) {
    for (int kind : {13, 14, 1000, INT32_MAX}) {
        Clear();
        EXPECT_EQ(ChooseSlot(kind, 0), -1);
        EXPECT_EQ(rec::log, Log{"alert"});
        EXPECT_EQ(rec::PopupText(), u"slot index를 결정할 수 없음");
    }
}

TEST_F(Actions, PlacingKeepsTheRecordExactlyAsRead) {
    ItemRecord ring = Item(4, kCritChance, 6.5f);
    ring.stats[kAttacksPerSecond] = 3;  // whatever the reader left is stored unchanged
    EXPECT_EQ(PlaceItem(ring, 0, gProfile, 0), 10);
    EXPECT_EQ(std::memcmp(&gProfile.slots[10], &ring, sizeof ring), 0);
    EXPECT_EQ(PlaceItem(Item(4, kCritChance, 3), 1, gProfile, 0), 11);
    EXPECT_EQ(gProfile.slots[10].stats[kCritChance], 6.5f);
    EXPECT_EQ(gProfile.slots[11].stats[kCritChance], 3);
    EXPECT_TRUE(rec::log.empty()) << "no weapon slot, no layout";
}

TEST_F(Actions, OneHandAsSecondaryOverATwoHanderStartsDualWield) {
    gProfile.slots[0] = Weapon(2, 300, 400, 1.1f);
    gProfile.weaponStyle = 1;
    const ItemRecord sword = Weapon(1, 100, 200, 1.4f);
    EXPECT_EQ(PlaceItem(sword, 1, gProfile, 0), 1);
    EXPECT_EQ(gProfile.weaponStyle, 2);
    EXPECT_EQ(gProfile.slots[0].kind, 1);
    EXPECT_EQ(gProfile.slots[0].stats[kWeaponMin], 0);
    EXPECT_EQ(std::memcmp(&gProfile.slots[1], &sword, sizeof sword), 0);
    EXPECT_EQ(rec::log, (Log{"weapon2 bound", "offhand cleared"}));
}

TEST_F(Actions, TwoHanderWhileDualWielding) {
    for (int flag : {0, 1}) {
        gProfile = DefaultProfile();
        gProfile.slots[0] = Weapon(1, 100, 200, 1.4f);
        gProfile.slots[1] = Weapon(1, 50, 60, 1.5f);
        gProfile.weaponStyle = 2;
        gProfile.offHandWithTwoHander = flag;
        EXPECT_EQ(PlaceItem(Weapon(2, 300, 400, 1.0f), 0, gProfile, 0), 0);
        EXPECT_EQ(gProfile.weaponStyle, 1);
        EXPECT_EQ(gProfile.slots[0].stats[kWeaponMin], 300);
        EXPECT_EQ(gProfile.slots[1].stats[kWeaponMin], flag ? 50 : 0) << "flag " << flag;
    }
}

TEST_F(Actions, OffHandOverATwoHander) {
    for (int flag : {0, 1}) {
        gProfile = DefaultProfile();
        gProfile.slots[0] = Weapon(2, 300, 400, 1.0f);
        gProfile.weaponStyle = 1;
        gProfile.offHandWithTwoHander = flag;
        EXPECT_EQ(PlaceItem(Item(0, kVitality, 40), 0, gProfile, 0), 1);
        EXPECT_EQ(gProfile.slots[1].stats[kVitality], 40) << "flag " << flag;
        if (flag == 0) {
            EXPECT_EQ(gProfile.weaponStyle, 0);
            EXPECT_EQ(gProfile.slots[0].kind, 1);
            EXPECT_EQ(gProfile.slots[0].stats[kWeaponMin], 0);
        } else {
            EXPECT_EQ(gProfile.weaponStyle, 1);
            EXPECT_EQ(gProfile.slots[0].kind, 2);
            EXPECT_EQ(gProfile.slots[0].stats[kWeaponMin], 300);
        }
    }
}

TEST_F(Actions, OneHandAsPrimaryWhileDualWieldingReplacesTheMainHand) {
    gProfile.slots[0] = Weapon(1, 100, 200, 1.4f);
    gProfile.slots[1] = Weapon(1, 50, 60, 1.5f);
    gProfile.weaponStyle = 2;
    EXPECT_EQ(PlaceItem(Weapon(1, 120, 220, 1.3f), 0, gProfile, 0), 0);
    EXPECT_EQ(gProfile.weaponStyle, 2);
    EXPECT_EQ(gProfile.slots[0].stats[kWeaponMin], 120);
    EXPECT_EQ(gProfile.slots[1].stats[kWeaponMin], 50);
}

TEST_F(Actions, OneHandAsPrimaryOverAnOffHandStaysOneHanded) {
    gProfile.slots[1] = Item(0, kVitality, 40);
    EXPECT_EQ(PlaceItem(Weapon(1, 120, 220, 1.3f), 0, gProfile, 0), 0);
    EXPECT_EQ(gProfile.weaponStyle, 0);
    EXPECT_EQ(gProfile.slots[1].stats[kVitality], 40);
}

TEST_F(Actions, TwoHanderAsSecondaryStillGoesToTheMainHand) {
    EXPECT_EQ(PlaceItem(Weapon(2, 300, 400, 1.0f), 1, gProfile, 0), 0);
    EXPECT_EQ(gProfile.weaponStyle, 1);
}

TEST_F(Actions, UnplaceableItemLeavesTheProfileAlone) {
    gProfile.slots[0] = Weapon(2, 300, 400, 1.0f);
    gProfile.weaponStyle = 1;
    const EquipmentProfile before = gProfile;
    ItemRecord unknown = Weapon(-1, 1, 2, 3);
    EXPECT_EQ(PlaceItem(unknown, 1, gProfile, 0), -1);
    unknown.kind = 13;
    EXPECT_EQ(PlaceItem(unknown, 0, gProfile, 0), -1);
    EXPECT_TRUE(SameBytes(gProfile, before));
    EXPECT_EQ(rec::log, Log{"alert"});
}

TEST_F(Actions, EquipOfAnArmourPiece) {
    EquipItem(Item(4, kCritChance, 6), 1);
    EXPECT_EQ(gProfile.slots[11].stats[kCritChance], 6);
    EXPECT_EQ(rec::shownStat[11][kCritChance], 6);
    // The main window is not brought forward by default, but the profile page is still selected.
    EXPECT_EQ(rec::Folded(), (Log{"stat 11*25", "dps", "current", "modified", "diff*11", "equivalents",
                                  "page profile", "notice"}));
    EXPECT_EQ(rec::PopupText(), u"장비 정보 입력이 완료 되었습니다. - 반지");
    EXPECT_EQ(gCalc.current.v[kSumCritChance], 11);
}

TEST_F(Actions, EquipOfAWeaponShowsStyleThenBothWeaponSlots) {
    gSettings.noActivateMainWindowOnEquip = 0;
    EquipItem(Weapon(1, 100, 200, 1.4f), 1);
    EXPECT_EQ(rec::Folded(),
              (Log{"weapon2 bound", "offhand cleared", "style 2", "stat 1*25", "stat 0*25", "dps", "current",
                   "modified", "diff*11", "equivalents", "activate", "page profile", "notice"}));
    EXPECT_EQ(rec::shownStat[1][kWeaponMin], 100);
    EXPECT_EQ(rec::PopupText(), u"장비 정보 입력이 완료 되었습니다. - 한손 무기");
    EXPECT_FLOAT_EQ(gCalc.weaponDps[1], 210);
}

TEST_F(Actions, EquipRecomputesWithTheStandingAdjustments) {
    gCalc.adjustments[12] = 100;
    EquipItem(Weapon(1, 100, 200, 1.4f), 0);
    EXPECT_EQ(FormatValue(gCalc.current.v[kSumDamage], 2), u"617.77");
    EXPECT_EQ(FormatValue(gCalc.modified.v[kSumDamage], 2), u"833.02");
    EXPECT_EQ(FormatValue(gCalc.equivalents[kEqDamage], 2), u"215.25");
}

TEST_F(Actions, FailedEquipShowsNothingElse) {
    const EquipmentProfile before = gProfile;
    EquipItem(Weapon(-1, 1, 2, 3), 0);
    EXPECT_TRUE(rec::log.empty());
    EquipItem(Weapon(20, 1, 2, 3), 0);
    EXPECT_EQ(rec::log, Log{"alert"});
    EXPECT_TRUE(SameBytes(gProfile, before));
}

// A profile with something in most slots, recalculated as the program would leave it.
void WearSomething() {
    EquipItem(Weapon(2, 300, 400, 1.1f), 0);
    EquipItem(Item(4, kCritChance, 6), 0);
    EquipItem(Item(4, kCritDamage, 30), 1);
    EquipItem(Item(5, kIntelligence, 80), 0);
    EquipItem(Item(6, kVitality, 90), 0);
    EquipItem(Item(12, kAttackSpeed, 8), 0);
    CalcTest::Clear();
}

TEST_F(Actions, CompareFromAHotkeyShowsThePopupAndMinimises) {
    WearSomething();
    CompareItem(Item(5, kIntelligence, 120), 0, 0);
    EXPECT_EQ(rec::Folded(), (Log{"adjustments", "modified", "diff*11", "equivalents", "page calculator",
                                  "popup", "minimise"}));
    EXPECT_EQ(gCalc.adjustments[12], 40);
    EXPECT_EQ(rec::diffText[kSumIntelligence], u"▲ 40.00");
}

TEST_F(Actions, ManualCompareOrPopupSwitchedOffBringsTheWindowForward) {
    WearSomething();
    const Log want{"adjustments", "modified", "diff*11", "equivalents", "page calculator", "activate"};
    CompareItem(Item(5, kIntelligence, 120), 0, 1);
    EXPECT_EQ(rec::Folded(), want);
    Clear();
    gSettings.showModifiedStatsPopup = 0;
    CompareItem(Item(5, kIntelligence, 120), 0, 0);
    EXPECT_EQ(rec::Folded(), want);
}

TEST_F(Actions, CompareNeverChangesTheActiveProfile) {
    WearSomething();
    const EquipmentProfile before = gProfile;
    const ItemRecord items[] = {Weapon(1, 100, 200, 1.4f), Weapon(2, 10, 20, 2),      Item(0, kVitality, 5),
                                Item(4, kStrength, 1),     Item(8, kLifePercent, 12), Item(-1, 0, 0)};
    for (const ItemRecord& item : items)
        for (int flag : {0, 1}) {
            CompareItem(item, flag, 0);
            EXPECT_TRUE(SameBytes(gProfile, before)) << "kind " << item.kind << " flag " << flag;
        }
}

TEST_F(Actions, ComparingTheEquippedItemChangesNothing) {
    WearSomething();
    gCalc.adjustments[3] = 55;  // a standing adjustment is overwritten by the compare
    ApplyAdjustments();
    // The weapon as the reader gives it again: normalisation makes it equal to the worn one.
    for (const ItemRecord& item :
         {Weapon(2, 300, 400, 1.1f), Item(6, kVitality, 90), Item(4, kCritDamage, 30)}) {
        const int flag = item.kind == 4 ? 1 : 0;
        Clear();
        CompareItem(item, flag, 0);
        for (int j = 0; j < kAdjustmentCount; ++j) EXPECT_EQ(gCalc.adjustments[j], 0) << "adjustment " << j;
        for (int j = 0; j < kSummaryCount; ++j) EXPECT_EQ(rec::diffText[j], u"") << "indicator " << j;
        EXPECT_EQ(gCalc.equivalents[kEqDamage], 0);
        EXPECT_EQ(gCalc.equivalents[kEqLife], 0);
    }
}

TEST_F(Actions, CompareARingAgainstTheFingerItWouldGoTo) {
    WearSomething();  // left ring: crit chance 6, right ring: crit damage 30
    CompareItem(Item(4, kCritChance, 10), 0, 0);
    EXPECT_EQ(gCalc.adjustments[8], 4);
    EXPECT_EQ(gCalc.adjustments[7], 0);
    CompareItem(Item(4, kCritChance, 10), 1, 0);
    EXPECT_EQ(gCalc.adjustments[8], 10);
    EXPECT_EQ(gCalc.adjustments[7], -30);
    EXPECT_EQ(rec::diffText[kSumCritDamage], u"▼ 30.00");
    EXPECT_FALSE(rec::diffRising[kSumCritDamage]);
}

TEST_F(Actions, CompareIncludesTheLossOfATwoHander) {
    WearSomething();
    CompareItem(Weapon(1, 100, 200, 1.4f), 1, 0);  // dual wield: the two-hander would go
    EXPECT_EQ(gCalc.adjustments[0], (0 + 100) / 2.0f - 300);
    EXPECT_EQ(gCalc.adjustments[6], 15);  // dual wield's attack speed
    EXPECT_EQ(rec::diffText[kSumDamage].substr(0, 1), u"▼");
}

// Editing nothing after a compare: recomputing from the adjustments gives the same summary.
TEST_F(Actions, AdjustmentsFromACompareReproduceItsSummary) {
    WearSomething();
    for (const ItemRecord& item : {Weapon(1, 100, 200, 1.4f), Item(0, kVitality, 5), Item(4, kStrength, 1)})
        for (int flag : {0, 1}) {
            CompareItem(item, flag, 0);
            const StatSummary compared = gCalc.modified;
            ApplyAdjustments();
            for (int j = 0; j < kSummaryCount; ++j)
                EXPECT_NEAR(gCalc.modified.v[j], compared.v[j], 1e-3 * (1 + std::fabs(compared.v[j])))
                    << "entry " << j << " kind " << item.kind << " flag " << flag;
        }
}

TEST_F(Actions, FailedCompareLeavesEverythingAsItWas) {
    WearSomething();
    CompareItem(Item(5, kIntelligence, 120), 0, 0);
    const CalcState before = gCalc;
    Clear();
    CompareItem(Weapon(-1, 1, 2, 3), 0, 0);
    EXPECT_TRUE(rec::log.empty());
    CompareItem(Weapon(13, 1, 2, 3), 1, 0);
    EXPECT_EQ(rec::log, Log{"alert"});
    EXPECT_EQ(std::memcmp(&before.modified, &gCalc.modified, sizeof before.modified), 0);
    EXPECT_EQ(std::memcmp(before.adjustments, gCalc.adjustments, sizeof before.adjustments), 0);
    EXPECT_EQ(std::memcmp(before.equivalents, gCalc.equivalents, sizeof before.equivalents), 0);
}

// With the page writes held, as the program acts on a hotkey: the notice, the popup, the page
// switch and the main window come at once, and the release writes the pages exactly what they get
// unheld, in the same order (the diff texts copied while the calculator's own went away).
TEST_F(Actions, HeldPageWritesComeAfterTheOutcomeAndUnchanged) {
    WearSomething();
    const EquipmentProfile profile = gProfile;
    const CalcState calc = gCalc;
    for (const auto act : {+[] { EquipItem(Weapon(1, 100, 200, 1.4f), 1); },
                           +[] { CompareItem(Item(5, kIntelligence, 120), 0, 0); }}) {
        gProfile = profile, gCalc = calc;
        Clear();
        act();
        Log first, after;
        for (const std::string& e : rec::log)
            (e == "notice" || e == "popup" || e == "activate" || e == "minimise" || e.rfind("page", 0) == 0
                 ? first
                 : after)
                .push_back(e);
        const std::vector<std::u16string> texts(std::begin(rec::diffText), std::end(rec::diffText));
        gProfile = profile, gCalc = calc;
        Clear();
        HoldPageWrites();
        act();
        HoldPageWrites();  // a second hold changes nothing, nor a second release
        EXPECT_EQ(rec::log, first);
        ReleasePageWrites();
        ReleasePageWrites();
        first.insert(first.end(), after.begin(), after.end());
        EXPECT_EQ(rec::log, first);
        EXPECT_EQ(std::vector<std::u16string>(std::begin(rec::diffText), std::end(rec::diffText)), texts);
        const size_t mark = rec::log.size();
        EquipItem(Item(4, kCritChance, 7), 0);  // released: the pages are written at once again
        EXPECT_EQ(rec::log.at(mark).substr(0, 5), "stat ");
    }
}

}  // namespace
