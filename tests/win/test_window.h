// A window for the Win32 tests: top-most, borderless, its client area drawn by a paint function,
// so that tests can put known pixels on the (virtual) display.
#pragma once
#include "base/gdi_win.h"

using PaintFunction = void (*)(HDC dc, const RECT& client);

// Shows the window at (x, y) with a w x h client area; destroy it with DestroyWindow.
HWND ShowPaintedWindow(PaintFunction paint, int x, int y, int w, int h);

// Handles every message waiting for this thread's windows.
void PumpMessages();
