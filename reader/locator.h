// The tooltip locator: finds the game's pure black tooltip body in a screen image.
#pragma once
#include <cstdint>

#include "base/pixels.h"
#include "reader/matcher.h"
#include "reader/screen_source.h"

struct TooltipRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
};

// A run of more than 200 black rows in a column covers one of the rows 200, 401, 602, ...: the
// locator reads those rows whole and the rest of the screen only where they are black.
constexpr int32_t kSampledRowStep = 201;

// Scans columns left to right for a black run of more than 200 rows whose bottom row stays black
// for more than 300 pixels and whose right edge is black at every 50th row up to the middle.
bool FindTooltip(const PixelBuffer& screen, TooltipRect& rect);
// The same search, reading the screen by areas: the sampled rows first, then the columns, bottom
// rows and right edges of the black runs through them.
bool FindTooltip(ScreenSource& screen, TooltipRect& rect);

// A copy of a rectangle that lies inside the screen.
PixelBuffer CropScreen(ScreenSource& screen, const TooltipRect& rect);

// FindTooltip, then cuts the rectangle out. Writes the top-left corner to `position` when given
// and found. When nothing is found, raises the alert "툴팁을 발견하지 못하였음." and returns false.
bool LocateTooltip(const PixelBuffer& screen, PixelBuffer& tooltip, HitPos* position,
                   TooltipRect* rect = nullptr);
