// The tooltip of the most recent hotkey capture, read or not, kept for the glyph pack dialog: the
// picture a failed read used stays at hand until the next capture replaces it. Only the tooltip is
// kept, with the size of the screen it was captured from (which names the pack it belongs to).
// Safe to use from any thread.
#pragma once
#include <cstdint>

#include "base/pixels.h"

struct KeptTooltip {
    PixelBuffer picture;  // the tooltip alone
    int screenWidth = 0, screenHeight = 0;
    uint64_t capture = 0;  // counts the captures kept so far, 1 for the first
};

// Keeps a copy of `tooltip` and the screen size; a capture without a tooltip (null) forgets the
// previous one, since the dialog is about the most recent capture.
void KeepLastTooltip(const PixelBuffer* tooltip, int screenWidth, int screenHeight);

// The most recent capture's tooltip; false when there has been no capture or it had no tooltip.
bool LastTooltip(KeptTooltip& kept);
