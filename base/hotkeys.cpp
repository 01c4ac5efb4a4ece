// Conversions between hotkey-field values and Hotkey Slots.
#include "base/hotkeys.h"

void SetSlotFromHotkeyField(HotkeySlot& slot, uint32_t fieldValue) {
    const uint32_t flags = (fieldValue >> 8) & 0xFF;
    slot.virtualKey = fieldValue & 0xFF;
    slot.modifiers = ((flags & kFieldCtrl) ? kModCtrl : 0) | ((flags & kFieldAlt) ? kModAlt : 0) |
                     ((flags & kFieldShift) ? kModShift : 0);
}

uint16_t HotkeyFieldValue(const HotkeySlot& slot) {
    const uint32_t m = slot.modifiers;
    const uint32_t flags = ((m & kModCtrl) ? kFieldCtrl : 0) | ((m & kModAlt) ? kFieldAlt : 0) |
                           ((m & kModShift) ? kFieldShift : 0);
    return uint16_t((flags << 8) | (slot.virtualKey & 0xFF));
}

int HotkeyAction(int hotkeyId) {
    return hotkeyId >= kFirstHotkeyId && hotkeyId < kFirstHotkeyId + kHotkeyCount ? hotkeyId - 9 : 0;
}
