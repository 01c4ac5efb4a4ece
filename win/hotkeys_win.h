// Registering the Hotkey Table's five combinations with the system, for the main window.
#pragma once
#include "base/gdi_win.h"
#include "base/hotkeys.h"

// Registers every slot that has a key; remembers per slot whether the system took it.
void RegisterHotkeys(HWND window);
void UnregisterHotkeys(HWND window);
// Whether slot i's combination is registered now (false for an empty slot).
bool HotkeyRegistered(int slot);
