// Registering the Hotkey Table. A refused combination stays silent here; the slot remembers it.
#include "win/hotkeys_win.h"

#include "base/settings.h"

namespace {
bool gRegistered[kHotkeyCount] = {};
}

void RegisterHotkeys(HWND window) {
    for (int i = 0; i < kHotkeyCount; ++i) {
        const HotkeySlot& slot = gSettings.hotkeys[i];
        // The slot's modifier flags are the system's MOD_ALT, MOD_CONTROL and MOD_SHIFT.
        gRegistered[i] =
            slot.virtualKey != 0 &&
            RegisterHotKey(window, slot.hotkeyId, slot.modifiers & (MOD_ALT | MOD_CONTROL | MOD_SHIFT),
                           slot.virtualKey);
    }
}

void UnregisterHotkeys(HWND window) {
    for (int i = 0; i < kHotkeyCount; ++i) {
        UnregisterHotKey(window, gSettings.hotkeys[i].hotkeyId);
        gRegistered[i] = false;
    }
}

bool HotkeyRegistered(int slot) {
    return slot >= 0 && slot < kHotkeyCount && gRegistered[slot];
}
