// Display formats of the calculator's values.
#include "calc/display.h"

#include <charconv>
#include <cmath>

namespace {

// Fixed-point text of v, independent of the C locale (the decimal mark is always '.').
std::u16string Fixed(double v, int decimals) {
    int precision = decimals <= 0 ? 0 : decimals == 1 ? 1 : 2;
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
    if (ec != std::errc()) return u"";
    return std::u16string(buf, end);
}

// A non-finite value as a player reads it: unbounded either way, or no answer at all.
std::u16string NonFinite(double v) {
    if (std::isnan(v)) return u"—";
    return v > 0 ? u"∞" : u"-∞";
}

}  // namespace

std::u16string FormatValue(float v, int decimals) {
    if (!std::isfinite(v)) return NonFinite(v);
    // Compared as doubles, as the rule is written: a stored 0.01f (0.0099999998) is below 0.01.
    if (double(v) > -0.01 && double(v) < 0.01) return u"";
    return Fixed(v, decimals);
}

DiffText FormatDiff(float d) {
    DiffText r;
    if (std::isnan(d)) {
        r.text = NonFinite(d);
    } else if (d > 0) {
        r.text = u"▲ " + (std::isinf(d) ? NonFinite(d) : Fixed(d, 2));
        r.mark = DiffMark::Rising;
    } else if (d < 0) {
        r.text = u"▼ " + (std::isinf(d) ? NonFinite(-d) : Fixed(-d, 2));
        r.mark = DiffMark::Falling;
    }
    return r;
}
