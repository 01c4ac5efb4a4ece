// The diagnostics picture of a read: the tooltip, enlarged, with a box around everything that
// matched (kind caption, bullets, captions, digits, points, tildes, sockets) and, for each line
// whose caption matched nothing, a red box where the nearest caption came closest.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "base/pixels.h"
#include "reader/locator.h"
#include "reader/parser.h"

constexpr int kExplainScale = 3;  // a pixel of the tooltip becomes 3 x 3, room for 1-pixel boxes

// The tooltip with a margin of screen around it, scaled, its outline in yellow and the marks drawn.
// The picture stays within the limits of any picture the program reads (kMaxImageSide a side,
// kMaxImagePixels in all): a tooltip too large for kExplainScale is drawn at 2 or 1, and at 1
// without what of the margin lies past the screen.
PixelBuffer ExplainPicture(const PixelBuffer& screen, const TooltipRect& rect, const ParseTrace& trace,
                           const GlyphPack& pack);

// The colour a mark of this template is boxed in, as a pixel value, and what kind of mark it is.
uint32_t MarkColour(int templateIndex);
const char* MarkKind(int templateIndex);

// PNG bytes of a picture (8-bit RGB). The picture is let go as soon as its RGB copy is made, so
// that a large one is not held three times over.
std::vector<uint8_t> EncodePng(PixelBuffer image);
