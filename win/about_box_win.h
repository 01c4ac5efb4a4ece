// The about box: name, version, release date, where the program is distributed, and a link there.
#pragma once
#include "base/gdi_win.h"

// Runs the box modally over `owner`; the hotkeys are off while it is open.
void OpenAboutBox(HWND owner);
