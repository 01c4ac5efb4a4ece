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

// The pages' captions of the Stat Summary entries and of the Value Equivalents rows; rows before
// kEqLife answer a change of damage, the others a change of life.
constexpr const char16_t* kSummaryCaptions[kSummaryCount] = {
    u"공격력", u"생명력", u"모든 저항", u"초당 공격 횟수", u"극대화 피해", u"극대화 확률",
    u"힘",     u"민첩",   u"지능",      u"활력",           u"생명력 %"};
constexpr const char16_t* kEquivalentCaptions[kEquivalentCount] = {
    u"공격력",      u"무기 DPS",    u"평균 피해", u"속성 피해 %", u"주요 능력치", u"공격 속도",
    u"극대화 피해", u"극대화 확률", u"생명력",    u"활력",        u"생명력 %"};
constexpr const char16_t kDamageEquivalentsCaption[] = u"가치 환산 - 공격력";
constexpr const char16_t kLifeEquivalentsCaption[] = u"가치 환산 - 생명력";

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
