// Hotkey-field values and Hotkey Slots, both ways, and the action of a hotkey id.
#include "base/hotkeys.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Field flags: 1 Shift, 2 Ctrl, 4 Alt. Slot flags: 1 Alt, 2 Ctrl, 4 Shift.
uint32_t SlotFlagsOf(uint32_t fieldFlags) {
    return ((fieldFlags & 1) ? 4 : 0) | ((fieldFlags & 2) ? 2 : 0) | ((fieldFlags & 4) ? 1 : 0);
}

TEST(Hotkeys, FieldToSlotForEveryModifierCombination) {
    for (uint32_t flags = 0; flags < 16; ++flags) {
        HotkeySlot slot = kDefaultHotkeys[2];
        SetSlotFromHotkeyField(slot, (flags << 8) | 0x41);
        EXPECT_EQ(slot.virtualKey, 0x41u);
        EXPECT_EQ(slot.modifiers, SlotFlagsOf(flags & 7)) << "field flags " << flags;  // extended (8) dropped
        EXPECT_EQ(slot.hotkeyId, 12);
        EXPECT_EQ(slot.controlId, 4003);
    }
}

TEST(Hotkeys, SlotToFieldForEveryModifierCombination) {
    for (uint32_t fieldFlags = 0; fieldFlags < 8; ++fieldFlags) {
        HotkeySlot slot{10, 4000, 0x78, SlotFlagsOf(fieldFlags)};
        EXPECT_EQ(HotkeyFieldValue(slot), (fieldFlags << 8) | 0x78) << "slot flags " << slot.modifiers;
        HotkeySlot back{};
        SetSlotFromHotkeyField(back, HotkeyFieldValue(slot));
        EXPECT_EQ(back.modifiers, slot.modifiers);
        EXPECT_EQ(back.virtualKey, slot.virtualKey);
    }
}

// Every slot gets a field of its own, however the stored control ids repeat or stray.
TEST(Hotkeys, EachSlotHasAFieldOfItsOwn) {
    auto fields = [](std::initializer_list<int> ids) {
        HotkeySlot slots[kHotkeyCount] = {kDefaultHotkeys[0], kDefaultHotkeys[1], kDefaultHotkeys[2],
                                          kDefaultHotkeys[3], kDefaultHotkeys[4]};
        int i = 0;
        for (int id : ids) slots[i++].controlId = id;
        std::string out;
        for (int s = 0; s < kHotkeyCount; ++s) out += std::to_string(HotkeyFieldId(slots, s)) + " ";
        return out;
    };
    EXPECT_EQ(fields({4000, 4002, 4003, 4004, 4005}), "4000 4002 4003 4004 4005 ");
    EXPECT_EQ(fields({4005, 4004, 4003, 4002, 4000}), "4005 4004 4003 4002 4000 ");  // moved, kept
    EXPECT_EQ(fields({4000, 4000, 4003, 4004, 4005}), "4000 4002 4003 4004 4005 ");  // the second is missing
    EXPECT_EQ(fields({4002, 4002, 4003, 4004, 4005}),
              "4002 4000 4003 4004 4005 ");  // its own taken: first free
    EXPECT_EQ(fields({1007, 4005, 4005, 4005, 4005}), "4000 4005 4003 4004 4002 ");  // a stray id
}

TEST(Hotkeys, DefaultTableInFieldValues) {
    EXPECT_EQ(HotkeyFieldValue(kDefaultHotkeys[0]), 0x0231);  // Ctrl+1
    EXPECT_EQ(HotkeyFieldValue(kDefaultHotkeys[1]), 0x0331);  // Ctrl+Shift+1
    EXPECT_EQ(HotkeyFieldValue(kDefaultHotkeys[4]), 0x0078);  // F9
}

TEST(Hotkeys, KeyIsOneByteInTheField) {
    HotkeySlot slot{11, 4002, 0x1F5, 1};  // Alt + key beyond 255
    EXPECT_EQ(HotkeyFieldValue(slot), 0x04F5);
    HotkeySlot cleared = kDefaultHotkeys[0];
    SetSlotFromHotkeyField(cleared, 0);  // an emptied field: no key, no modifiers
    EXPECT_EQ(cleared.virtualKey, 0u);
    EXPECT_EQ(cleared.modifiers, 0u);
    SetSlotFromHotkeyField(cleared, 0xABCD0A31);  // only the low 16 bits carry the field value
    EXPECT_EQ(cleared.virtualKey, 0x31u);
    EXPECT_EQ(cleared.modifiers, SlotFlagsOf(0x0A & 7));
}

TEST(Hotkeys, ActionOfAHotkeyId) {
    for (int id = 10; id <= 14; ++id) EXPECT_EQ(HotkeyAction(id), id - 9);
    for (int id : {-10, 0, 1, 5, 9, 15, 40000}) EXPECT_EQ(HotkeyAction(id), 0) << id;
}

}  // namespace
