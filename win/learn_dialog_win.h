// The dialog "글자 팩 만들기": the player teaches Tallywick the screen from the tooltip of the last
// hotkey capture (or a saved tooltip or screenshot), checking what the dialog pre-filled.
#pragma once
#include "base/gdi_win.h"

// Runs the dialog modally over `owner`. The hotkeys are off while it is open. What it learns goes
// into the pack folder of the tooltip's screen size, and the next hotkey action reads with it.
void OpenLearnDialog(HWND owner);
