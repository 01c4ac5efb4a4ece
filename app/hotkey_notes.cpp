// The settings dialog's notes on refused hotkeys.
#include "app/hotkey_notes.h"

namespace {

// Registration passes the key's low 16 bits and the Alt, Ctrl and Shift flags; two slots collide
// when those agree.
bool SameCombination(const HotkeySlot& a, const HotkeySlot& b) {
    constexpr uint32_t kMods = kModAlt | kModCtrl | kModShift;
    return (a.virtualKey & 0xFFFF) == (b.virtualKey & 0xFFFF) &&
           (a.modifiers & kMods) == (b.modifiers & kMods);
}

}  // namespace

HotkeyState HotkeySlotState(const HotkeySlot (&slots)[kHotkeyCount], const bool (&registered)[kHotkeyCount],
                            int slot) {
    if (slot < 0 || slot >= kHotkeyCount || registered[slot] || slots[slot].virtualKey == 0)
        return HotkeyState::kWorks;
    for (int i = 0; i < slot; ++i)
        if (registered[i] && SameCombination(slots[i], slots[slot])) return HotkeyState::kTakenByEarlierSlot;
    return HotkeyState::kHeldElsewhere;
}

const char16_t* HotkeyNoteText(HotkeyState state) {
    switch (state) {
        case HotkeyState::kHeldElsewhere:
            return u"다른 프로그램이 사용 중";
        case HotkeyState::kTakenByEarlierSlot:
            return u"위 단축키가 사용 중";
        case HotkeyState::kWorks:
        default:
            return u"";
    }
}
