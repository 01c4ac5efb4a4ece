// Screen capture and pixel access on Windows: the screen image as a GDI bitmap, any bitmap as a
// portable Pixel Buffer, and the locator over a screen bitmap.
#pragma once
#include "base/gdi_win.h"
#include "base/pixels.h"

// A new bitmap, compatible with the display, holding a copy of the primary screen. The caller
// deletes it. nullptr when the display could not be copied.
HBITMAP CaptureScreen();

// The bitmap's pixels, top-down, each BGRX pixel read as red + green * 256 + blue * 65536. A
// bitmap that cannot be read yields a buffer whose every read is 0. The bitmap must not be
// selected into a device context.
PixelBuffer MakePixelBuffer(HBITMAP bitmap);

// A copy of (x, y, width, height) of `source` in a new bitmap compatible with the screen, owned by
// the caller; nullptr on failure.
HBITMAP CopyBitmapRect(HBITMAP source, int x, int y, int width, int height);

// Finds the tooltip in `screen` (which is only read) and returns a new bitmap holding a copy of its
// black body, owned by the caller; writes its top-left corner to `position` when given. When nothing
// is found, the alert "툴팁을 발견하지 못하였음." is raised, `position` is left alone and the result
// is nullptr.
HBITMAP LocateTooltip(HBITMAP screen, POINTS* position);
