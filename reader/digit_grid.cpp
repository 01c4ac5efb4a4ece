// The digit grid numbers stand on.
#include "reader/digit_grid.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "reader/glyphs.h"

int NodeOf(char c) {
    return c == '.' ? kPointNode : c - '0';
}

int DigitIndex(int node, bool white) {
    if (node == kPointNode) return white ? kGlyphWhitePoint : kGlyphBluePoint;
    return (white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0) + node;
}

float ReadAs(const std::string& number) {
    float value = 0, divisor = 0;
    for (char c : number) {
        if (c == '.') {
            divisor = 10;
        } else if (divisor == 0) {
            value = value * 10 + float(c - '0');
        } else {
            value += float(c - '0') / divisor;
            divisor *= 10;
        }
    }
    return value;
}

bool IsNumber(std::string_view s) {
    if (s.empty() || s.front() == '.' || s.back() == '.' || s.size() > 12) return false;
    int points = 0;
    for (char c : s) {
        if (c == '.')
            ++points;
        else if (c < '0' || c > '9')
            return false;
    }
    return points <= 1;
}

bool SplitValue(std::string text, std::vector<std::string>& numbers, int& tail) {
    if (!text.empty() && text.front() == '+') text.erase(0, 1);
    size_t end = text.find_last_of("0123456789") + 1;
    if (end == 0) return false;
    tail = 0;
    for (size_t i = end; i < text.size();) {  // count characters, not bytes
        ++tail;
        i += (uint8_t(text[i]) < 0x80)   ? 1
             : (uint8_t(text[i]) < 0xE0) ? 2
             : (uint8_t(text[i]) < 0xF0) ? 3
                                         : 4;
    }
    const std::string value = text.substr(0, end);
    const size_t tilde = value.find('~');
    numbers = {value.substr(0, tilde)};
    if (tilde != std::string::npos) numbers.push_back(value.substr(tilde + 1));
    return std::all_of(numbers.begin(), numbers.end(), IsNumber);
}

bool SolveGrid(const std::vector<Number>& numbers, const Grid& known, const bool knownBearing[kNodes],
               bool knownAdvance, bool knownPointAdvance, Grid& grid, std::string& error, bool* uncertain) {
    if (uncertain) *uncertain = false;
    int inkWidth[kNodes] = {};
    bool seen[kNodes] = {};
    int maxWidth = 1;
    for (const Number& n : numbers)
        for (size_t k = 0; k < n.chars.size(); ++k) {
            const int node = NodeOf(n.text[k]);
            seen[node] = true;
            inkWidth[node] = std::max(inkWidth[node], n.chars[k].x1 - n.chars[k].x0);
            maxWidth = std::max(maxWidth, inkWidth[node]);
        }
    const int advLo = knownAdvance ? known.advance : maxWidth,
              advHi = knownAdvance ? known.advance : 3 * maxWidth + 4;
    std::vector<Grid> found;
    for (int adv = advLo; adv <= advHi; ++adv) {
        const int pLo =
            knownPointAdvance || !seen[kPointNode] ? known.pointAdvance : std::max(1, inkWidth[kPointNode]);
        const int pHi = knownPointAdvance || !seen[kPointNode] ? known.pointAdvance : adv;
        for (int padv = pLo; padv <= pHi; ++padv) {
            Grid g;
            g.advance = adv, g.pointAdvance = padv;
            int component[kNodes];
            std::fill(component, component + kNodes, -1);
            for (int i = 0; i < kNodes; ++i)
                if (knownBearing[i]) component[i] = 0, g.bearing[i] = known.bearing[i];
            // Propagate bearings along neighbouring characters until nothing changes.
            // Propagate bearings along neighbouring characters, from the known ones first, then
            // from each character not reached yet.
            bool ok = true;
            for (int root = -1; ok && root < kNodes; ++root) {
                if (root >= 0) {
                    if (!seen[root] || component[root] >= 0) continue;
                    component[root] = root + 1, g.bearing[root] = 0;
                }
                for (bool changed = true; changed && ok;) {
                    changed = false;
                    for (const Number& n : numbers)
                        for (size_t k = 0; k + 1 < n.chars.size(); ++k) {
                            const int a = NodeOf(n.text[k]), b = NodeOf(n.text[k + 1]);
                            const int expect = n.chars[k + 1].x0 - n.chars[k].x0 - g.Cell(a);  // b[b] - b[a]
                            if (component[a] >= 0 && component[b] < 0) {
                                component[b] = component[a], g.bearing[b] = g.bearing[a] + expect,
                                changed = true;
                            } else if (component[b] >= 0 && component[a] < 0) {
                                component[a] = component[b], g.bearing[a] = g.bearing[b] - expect,
                                changed = true;
                            } else if (component[a] >= 0 && g.bearing[b] - g.bearing[a] != expect) {
                                ok = false;
                            }
                        }
                }
            }
            if (!ok) continue;
            // Each character's ink within its cell, and each number's first cell after the ink
            // before it; free groups are moved to sit centred in their cells.
            std::map<int, std::pair<int, int>> shift;  // component -> allowed [lo, hi]
            for (int i = 0; i < kNodes; ++i)
                if (seen[i]) {
                    auto& r = shift.try_emplace(component[i], -1000, 1000).first->second;
                    r.first = std::max(r.first, -g.bearing[i]);
                    r.second = std::min(r.second, g.Cell(i) - inkWidth[i] - g.bearing[i]);
                }
            for (const Number& n : numbers)
                if (n.inkBefore >= 0) {
                    const int node = NodeOf(n.text[0]);
                    auto& r = shift[component[node]];
                    r.second = std::min(r.second, n.chars[0].x0 - n.inkBefore - g.bearing[node]);
                }
            for (auto& [c, r] : shift) {
                if (r.first > r.second || (c == 0 && (r.first > 0 || r.second < 0))) ok = false;
                if (!ok || c == 0) continue;
                double centre = 0;
                int members = 0;
                for (int i = 0; i < kNodes; ++i)
                    if (seen[i] && component[i] == c)
                        centre += (g.Cell(i) - inkWidth[i]) / 2.0 - g.bearing[i], ++members;
                const int s = std::clamp(int(std::lround(centre / members)), r.first, r.second);
                for (int i = 0; i < kNodes; ++i)
                    if (component[i] == c) g.bearing[i] += s;
            }
            if (ok) found.push_back(g);
        }
    }
    if (found.empty()) return error = "the numbers do not stand on one digit grid", false;
    if (uncertain)
        *uncertain = std::any_of(found.begin(), found.end(), [&](const Grid& g) {
            return g.advance != found[0].advance || g.pointAdvance != found[0].pointAdvance;
        });
    for (const Grid& g : found)
        if (g.advance != found[0].advance)
            return error =
                       "the digit spacing is not certain from this tooltip: describe one with a number that "
                       "repeats a digit (like 11 or 220) first",
                   false;
    for (const Grid& g : found)
        if (g.pointAdvance != found[0].pointAdvance)
            return error =
                       "the decimal point's spacing is not certain from this tooltip: describe one with the "
                       "same digit on both sides of a point (like 1.1) first",
                   false;
    grid = found[0];
    return true;
}
