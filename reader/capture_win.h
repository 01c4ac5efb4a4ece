// Screen capture and pixel access on Windows: the screen read by areas as the locator asks for
// them, the screen image as a GDI bitmap, any bitmap as a portable Pixel Buffer and back, and the
// locator over a screen bitmap.
#pragma once
#include <memory>

#include "base/gdi_win.h"
#include "base/pixels.h"
#include "reader/screen_source.h"

// The primary screen, copied from the display only where it is read: each area asked for that was
// not copied before is copied with one block transfer into a device-independent section that is
// kept from one copy to the next. Nothing is copied until the first area is asked for.
std::unique_ptr<SparseScreen> OpenScreen();

// The whole primary screen as a Pixel Buffer; empty when the display could not be copied.
PixelBuffer CaptureScreenPixels();

// A new bitmap, compatible with the screen, holding the pixels; owned by the caller. nullptr for
// an empty buffer or on failure.
HBITMAP MakeBitmap(const PixelBuffer& pixels);

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
