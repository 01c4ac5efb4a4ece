// The modified-stats popup's lines: a change of damage, life or all resistance as an arrow, a
// blank and the size of the change, in red when rising, blue when falling, black when unchanged.
#pragma once
#include <cstdint>

#include "base/pixels.h"

constexpr int kStatDeltaTextMax = 32;
constexpr uint32_t kDeltaRisingColour = RgbValue(220, 0, 0);
constexpr uint32_t kDeltaFallingColour = RgbValue(0, 0, 230);
constexpr uint32_t kDeltaUnchangedColour = RgbValue(0, 0, 0);

struct StatDeltaText {
    char16_t text[kStatDeltaTextMax] = {};  // zero-terminated
    uint32_t colour = 0;                    // 0x00BBGGRR
};

// Precision 0 gives "%.0f", 1 gives "%.1f", any other "%.2f". A value that is not a number reads
// "—" in black; an unbounded one "∞" after its arrow.
void FormatStatDelta(float value, StatDeltaText& out, int precision);
