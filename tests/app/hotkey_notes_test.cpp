// Notes on refused hotkeys: which refusals are another program's and which an earlier slot's.
#include "app/hotkey_notes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Table {
    HotkeySlot slots[kHotkeyCount] = {kDefaultHotkeys[0], kDefaultHotkeys[1], kDefaultHotkeys[2],
                                      kDefaultHotkeys[3], kDefaultHotkeys[4]};
    bool registered[kHotkeyCount] = {true, true, true, true, true};
    HotkeyState State(int slot) const { return HotkeySlotState(slots, registered, slot); }
};

TEST(HotkeyNotes, RegisteredAndEmptySlotsHaveNoNote) {
    Table t;
    for (int i = 0; i < kHotkeyCount; ++i) EXPECT_EQ(t.State(i), HotkeyState::kWorks) << i;
    t.slots[2].virtualKey = 0;  // cleared in the dialog: never registered, yet nothing is wrong
    t.registered[2] = false;
    EXPECT_EQ(t.State(2), HotkeyState::kWorks);
    EXPECT_EQ(std::u16string(HotkeyNoteText(HotkeyState::kWorks)), u"");
}

TEST(HotkeyNotes, RefusedWithoutAnEarlierTwinIsAnotherProgram) {
    Table t;
    t.registered[0] = false;  // Ctrl+1 held by someone else
    EXPECT_EQ(t.State(0), HotkeyState::kHeldElsewhere);
    EXPECT_EQ(t.State(1), HotkeyState::kWorks);
    EXPECT_EQ(std::u16string(HotkeyNoteText(t.State(0))), u"다른 프로그램이 사용 중");
}

TEST(HotkeyNotes, RefusedBehindAnEarlierSlotOfTheSameCombination) {
    Table t;
    t.slots[4] = {14, 4005, 0x31, kModCtrl};  // the capture slot set to Ctrl+1, which slot 0 has
    t.registered[4] = false;
    EXPECT_EQ(t.State(4), HotkeyState::kTakenByEarlierSlot);
    EXPECT_EQ(std::u16string(HotkeyNoteText(t.State(4))), u"위 단축키가 사용 중");
}

TEST(HotkeyNotes, AnEarlierTwinThatWasItselfRefusedMeansAnotherProgram) {
    Table t;
    t.slots[3] = {13, 4004, 0x31, kModCtrl};
    t.registered[0] = false;
    t.registered[3] = false;
    EXPECT_EQ(t.State(0), HotkeyState::kHeldElsewhere);
    EXPECT_EQ(t.State(3), HotkeyState::kHeldElsewhere);
}

TEST(HotkeyNotes, OnlyTheRegisteredBitsOfKeyAndModifiersDecideATwin) {
    Table t;
    // Same key with a flag registration ignores, and a key differing only above the low 16 bits.
    t.slots[1] = {11, 4002, 0x31, kModCtrl | 8};
    t.registered[1] = false;
    EXPECT_EQ(t.State(1), HotkeyState::kTakenByEarlierSlot);
    t.slots[2] = {12, 4003, 0x10031, kModCtrl};
    t.registered[2] = false;
    EXPECT_EQ(t.State(2), HotkeyState::kTakenByEarlierSlot);
    // A different modifier set is a different combination.
    t.slots[2] = {12, 4003, 0x31, kModCtrl | kModAlt};
    EXPECT_EQ(t.State(2), HotkeyState::kHeldElsewhere);
}

TEST(HotkeyNotes, SlotOutsideTheTableHasNoNote) {
    Table t;
    EXPECT_EQ(t.State(-1), HotkeyState::kWorks);
    EXPECT_EQ(t.State(kHotkeyCount), HotkeyState::kWorks);
}

}  // namespace
