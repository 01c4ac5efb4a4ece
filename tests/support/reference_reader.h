// Literal versions of the matcher and the tooltip locator, written as plainly as the behaviour is
// described: every pixel through PixelAt, no shortcuts. The fast code is checked against them.
#pragma once
#include "base/pixels.h"
#include "reader/locator.h"
#include "reader/matcher.h"

// Same contract as MatchTemplate.
int ReferenceMatchTemplate(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl,
                           HitPos* hits, int many, int step, int tolerance, int mode);

// Same contract as FindTooltip.
bool ReferenceFindTooltip(const PixelBuffer& screen, TooltipRect& rect);
