// The option parser written literally, for checking the product parser and for the benchmark:
// every matcher call goes through the reference matcher with its own copy of the tooltip's and
// the template's pixels, as a matcher that builds its pixel buffers from bitmaps at each call does.
#pragma once
#include "base/item.h"
#include "base/pixels.h"
#include "reader/locator.h"
#include "reader/matcher.h"

// Same contracts as ParseItem and ReadNumber.
ItemRecord ReferenceParseItem(const PixelBuffer* tooltip, int set);
float ReferenceReadNumber(const PixelBuffer& image, int x, int y, const PixelBuffer* label, bool white,
                          int mode, int tolerance, HitPos* end);

// The whole read of a screen: the reference locator, a pixel-by-pixel cut of the tooltip, the
// reference parser. `rect` receives the tooltip when one was found (kind -1 otherwise).
ItemRecord ReferenceReadScreen(const PixelBuffer& screen, int set, TooltipRect* rect);
