// The modified-stats popup's line texts.
#include "app/stat_delta.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace {

void Append(StatDeltaText& out, int& n, std::u16string_view text) {
    for (char16_t c : text)
        if (n < kStatDeltaTextMax - 1) out.text[n++] = c;
    out.text[n] = 0;
}

}  // namespace

void FormatStatDelta(float value, StatDeltaText& out, int precision) {
    out = StatDeltaText{};
    int n = 0;
    if (std::isnan(value)) {
        Append(out, n, u"—");
        return;
    }
    if (value < 0) {
        Append(out, n, u"▼ ");
        out.colour = kDeltaFallingColour;
        value = -value;
    } else {
        if (value == 0) value = 0;  // a negative zero reads as plain 0
        Append(out, n, u"▲ ");
        out.colour = value > 0 ? kDeltaRisingColour : kDeltaUnchangedColour;
    }
    if (std::isinf(value)) {
        Append(out, n, u"∞");
        return;
    }
    // Independent of the C locale: the decimal mark is always '.'.
    const int decimals = precision == 0 ? 0 : precision == 1 ? 1 : 2;
    char digits[64];
    auto [end, ec] =
        std::to_chars(digits, digits + sizeof digits, double(value), std::chars_format::fixed, decimals);
    if (ec != std::errc()) return;
    for (const char* p = digits; p != end; ++p) {
        const char16_t c = char16_t(*p);
        Append(out, n, std::u16string_view(&c, 1));
    }
}
