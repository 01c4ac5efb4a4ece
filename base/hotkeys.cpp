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

int HotkeyFieldId(const HotkeySlot (&slots)[kHotkeyCount], int slot) {
    int fields[kHotkeyCount] = {};
    for (int i = 0; i <= slot && i < kHotkeyCount; ++i) {
        auto free = [&](int id) {
            for (int j = 0; j < i; ++j)
                if (fields[j] == id) return false;
            return true;
        };
        bool known = false;
        for (const HotkeySlot& d : kDefaultHotkeys) known = known || d.controlId == slots[i].controlId;
        int id = known && free(slots[i].controlId) ? slots[i].controlId : kDefaultHotkeys[i].controlId;
        for (int k = 0; k < kHotkeyCount && !free(id); ++k) id = kDefaultHotkeys[k].controlId;
        fields[i] = id;
    }
    return slot >= 0 && slot < kHotkeyCount ? fields[slot] : 0;
}
