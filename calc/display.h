// How the calculator's numbers read on the pages: a value through its control's decimals, and the
// diff indicators. Text is UTF-16, as the Windows controls take it.
#pragma once
#include <cstdint>
#include <string>

#include "base/pixels.h"
#include "calc/formulas.h"

// Decimals of the controls that show each value.
constexpr int kWeaponDpsDecimals = 1;
constexpr int kEquivalentDecimals = 2;
constexpr int kSummaryDecimals[kSummaryCount] = {2, 0, 0, 2, 0, 1, 0, 0, 0, 0, 0};
constexpr int kAdjustmentDecimals[kAdjustmentCount] = {1, 1, 0, 0, 2, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0};

// Diff indicator colours: rising red, falling blue (0x00BBGGRR).
constexpr uint32_t kRisingColour = RgbValue(255, 0, 0);
constexpr uint32_t kFallingColour = RgbValue(0, 0, 255);

// Empty text strictly between -0.01 and 0.01; otherwise "%.0f", "%.1f" or "%.2f" (decimals 2 and
// more). Infinities read "∞" and "-∞", an undefined result (NaN) "—".
std::u16string FormatValue(float v, int decimals);

enum class DiffMark { Unchanged, Rising, Falling };
struct DiffText {
    std::u16string text;
    DiffMark mark = DiffMark::Unchanged;  // Unchanged: the indicator keeps its colour
};
// "▲ %.2f" for d > 0, "▼ %.2f" of -d for d < 0, empty for 0; NaN reads "—" and keeps the mark.
DiffText FormatDiff(float d);
