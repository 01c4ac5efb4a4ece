// The five global hotkeys: the Hotkey Table and conversions to and from hotkey-field values.
#pragma once
#include <cstdint>

// 16 bytes, stored whole in the settings file.
struct HotkeySlot {
    int32_t hotkeyId = 0;     // 10..14; the hotkey message carries it
    int32_t controlId = 0;    // hotkey field of the slot in the settings dialog
    uint32_t virtualKey = 0;  // 0: the slot has no hotkey
    uint32_t modifiers = 0;   // 1 Alt, 2 Ctrl, 4 Shift
};
static_assert(sizeof(HotkeySlot) == 16, "Hotkey Slot is a 16-byte file format");

constexpr int kHotkeyCount = 5;
constexpr int kFirstHotkeyId = 10;

// Built-in table: Ctrl+1, Ctrl+Shift+1, Ctrl+2, Ctrl+Shift+2, F9; slot i starts action i + 1.
constexpr HotkeySlot kDefaultHotkeys[kHotkeyCount] = {
    {10, 4000, 0x31, 2}, {11, 4002, 0x31, 6}, {12, 4003, 0x32, 2}, {13, 4004, 0x32, 6}, {14, 4005, 0x78, 0},
};

// Hotkey-field flags (high byte of a field's value) and slot modifier flags.
constexpr uint32_t kFieldShift = 1, kFieldCtrl = 2, kFieldAlt = 4, kFieldExtended = 8;
constexpr uint32_t kModAlt = 1, kModCtrl = 2, kModShift = 4;

// Sets the slot's key and modifiers from a hotkey field's value (low byte the key, high byte the
// field flags). The extended-key flag has no modifier and is dropped.
void SetSlotFromHotkeyField(HotkeySlot& slot, uint32_t fieldValue);
// The hotkey-field value that shows the slot's combination (the key's low 8 bits).
uint16_t HotkeyFieldValue(const HotkeySlot& slot);
// The action a hotkey id starts: 1..5 for ids 10..14, 0 for any other id.
int HotkeyAction(int hotkeyId);
// The settings dialog's hotkey field of a slot, one field to a slot whatever the slots name (a
// settings file could name any control, or one field twice): the slot's own control id when that
// is one of the five fields and no earlier slot has it, otherwise its default field when free,
// otherwise the first free one.
int HotkeyFieldId(const HotkeySlot (&slots)[kHotkeyCount], int slot);
