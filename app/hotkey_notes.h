// Why a hotkey does nothing: the note the settings dialog shows beside a slot whose combination
// the system refused at the last registration.
#pragma once
#include "base/hotkeys.h"

enum class HotkeyState {
    kWorks,               // registered, or the slot has no key
    kHeldElsewhere,       // refused: another program holds the combination
    kTakenByEarlierSlot,  // refused: an earlier slot of the table registered the same combination
};

// The state of `slot` after a registration pass that recorded per slot whether it succeeded.
HotkeyState HotkeySlotState(const HotkeySlot (&slots)[kHotkeyCount], const bool (&registered)[kHotkeyCount],
                            int slot);
// The note for a state: empty while the hotkey works.
const char16_t* HotkeyNoteText(HotkeyState state);
