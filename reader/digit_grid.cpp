// The digit grid numbers stand on: each number's cells are tried at every place its line allows,
// and a place is kept when every character cuts to the picture it has elsewhere.
#include "reader/digit_grid.h"

#include <algorithm>
#include <cstdlib>
#include <set>

#include "reader/glyphs.h"

int NodeOf(char c) {
    return c == '.' ? kPointNode : c == '~' ? kTildeNode : c - '0';
}

int DigitIndex(int node, bool white) {
    if (node == kPointNode) return white ? kGlyphWhitePoint : kGlyphBluePoint;
    if (node == kTildeNode) return white ? kGlyphWhiteTilde : kGlyphBlueTilde;
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

int Grid::Cell(int node) const {
    return node == kPointNode ? pointAdvance : node == kTildeNode ? tildeAdvance : advance;
}

namespace {

// A picture on the grid: a part of a tooltip, or a whole pack picture.
struct Region {
    const PixelBuffer* image = nullptr;
    int x = 0, y = 0, w = 0, h = 0;
};

// The same pixels; with `shape`, the same coverage whatever the colour (the blue channel, which
// the game's blue and white text both carry at full strength).
bool Same(const Region& a, const Region& b, bool shape) {
    if (a.w != b.w || a.h != b.h) return false;
    const uint32_t mask = shape ? 0xFF0000u : 0xFFFFFFu;
    for (int y = 0; y < a.h; ++y) {
        const uint32_t* pa = a.image->pixels.data() + size_t(a.y + y) * a.image->width + a.x;
        const uint32_t* pb = b.image->pixels.data() + size_t(b.y + y) * b.image->width + b.x;
        for (int x = 0; x < a.w; ++x)
            if ((pa[x] & mask) != (pb[x] & mask)) return false;
    }
    return true;
}

// Blank columns on the right of the ink less those on its left, for centring.
int Imbalance(const Region& r) {
    int first = r.w, last = -1;
    for (int y = 0; y < r.h; ++y)
        for (int x = 0; x < r.w; ++x)
            if (r.image->pixels[size_t(r.y + y) * r.image->width + r.x + x] != 0)
                first = std::min(first, x), last = std::max(last, x);
    return last < 0 ? 0 : (r.w - 1 - last) - first;
}

// The same character in the other colour.
int Twin(int index) {
    if (index >= kGlyphBlueDigit0 && index <= kGlyphBlueTilde) return index + (kGlyphWhiteDigit0 - 1);
    if (index >= kGlyphWhiteDigit0 && index <= kGlyphWhiteTilde) return index - (kGlyphWhiteDigit0 - 1);
    return -1;
}

struct Candidate {
    int start, top, point, tilde;
};

struct Fit {
    bool exact = true;  // every known picture and every repeated character agrees
    int matches = 0;    // known pictures that agree
    int shapes = 0;     // characters known only in the other colour
    bool shape = true;  // ... and all of them agree in shape
};

struct Ref {
    Region region;
    bool guessed = false;
};

// The solve for one digit advance.
class Solver {
public:
    Solver(const std::vector<Number>& numbers, const GridKnowns& knowns, int advance)
        : numbers_(&numbers), height_(knowns.boxHeight) {
        grid_ = knowns.grid;
        grid_.advance = advance;
        for (const auto& [index, picture] : knowns.pictures)
            if (picture && picture->count > 0)
                refs_[index] = Ref{Region{picture, 0, 0, picture->width, picture->height}, false};
        placements_.resize(numbers.size());
        conflicted_.assign(numbers.size(), false);
        roomless_.assign(numbers.size(), false);
    }

    // Places what the known pictures and the numbers' own repeats fix.
    void Settle() { Propagate(false); }

    // Then the rest: with no picture known at all, the most telling number's place is chosen so
    // that its characters sit centred in their cells (any place its text allows reads the same);
    // numbers nothing connects to what is placed are centred too, as a guess.
    void Finish() {
        if (refs_.empty()) Anchor(false);
        while (Anchor(true)) {
        }
    }

    // Numbers that no place fits: the place agreeing with the most known pictures.
    void PlaceDisagreeing() {
        for (size_t n = 0; n < numbers_->size(); ++n) {
            if (!conflicted_[n] || roomless_[n]) continue;
            const std::vector<Candidate> all = Enumerate(n);
            int best = -1, bestMatches = -1;
            for (size_t c = 0; c < all.size(); ++c) {
                const int m = Evaluate(n, all[c], true).matches;
                if (m > bestMatches) best = int(c), bestMatches = m;
            }
            if (best < 0) continue;
            Place(n, all[size_t(best)], false);
            placements_[n].disagrees = true;
        }
    }

    int Conflicts() const { return conflicts_; }
    bool Roomless(size_t n) const { return roomless_[n]; }
    const Grid& grid() const { return grid_; }
    const std::vector<Placement>& placements() const { return placements_; }

private:
    bool Needs(size_t n, char c) const { return (*numbers_)[n].text.find(c) != std::string::npos; }
    // A number waits while its point's or tilde's spacing is unknown, except that one of the two
    // may be found by placing it.
    bool Ready(size_t n, bool guessing) const {
        const bool point = Needs(n, '.') && !grid_.pointAdvance, tilde = Needs(n, '~') && !grid_.tildeAdvance;
        return guessing ? !point && !tilde : !(point && tilde);
    }

    std::vector<Candidate> Enumerate(size_t n) const {
        const Number& num = (*numbers_)[n];
        const PixelBuffer& image = *num.image;
        const int a = grid_.advance;
        std::vector<Candidate> out;
        const bool point = Needs(n, '.'), tilde = Needs(n, '~');
        const int p0 = !point ? 0 : grid_.pointAdvance ? grid_.pointAdvance : 1;
        const int p1 = !point ? 0 : grid_.pointAdvance ? grid_.pointAdvance : a;
        const int t0 = !tilde ? 0 : grid_.tildeAdvance ? grid_.tildeAdvance : 1;
        const int t1 = !tilde ? 0 : grid_.tildeAdvance ? grid_.tildeAdvance : 2 * a;
        for (int top = std::max(num.topLo, 0); top <= num.topHi && top + height_ <= image.height; ++top)
            for (int p = p0; p <= p1; ++p)
                for (int t = t0; t <= t1; ++t) {
                    Grid g = grid_;
                    g.pointAdvance = p, g.tildeAdvance = t;
                    int width = 0;
                    for (char c : num.text) width += g.Cell(NodeOf(c));
                    const int first = g.Cell(NodeOf(num.text.front())),
                              last = g.Cell(NodeOf(num.text.back()));
                    int lo = std::max(num.startLo, 0), hi = std::min(num.startHi, image.width - width);
                    if (num.lastInk >= 0)
                        lo = std::max(lo, num.lastInk - width + 1),
                        hi = std::min(hi, num.lastInk - width + last);
                    if (num.firstInk >= 0)
                        lo = std::max(lo, num.firstInk - first + 1), hi = std::min(hi, num.firstInk);
                    if (num.labelIndex >= 0) lo = std::max(lo, num.labelX + 1);
                    for (int s = lo; s <= hi; ++s) out.push_back(Candidate{s, top, p, t});
                }
        return out;
    }

    // Checks a place against the known pictures. `full` counts every match (for the likeliest
    // place of a disagreeing number); otherwise the first disagreement ends the check.
    Fit Evaluate(size_t n, const Candidate& c, bool full) const {
        const Number& num = (*numbers_)[n];
        Fit fit;
        auto check = [&](int index, const Region& r) {
            const auto it = refs_.find(index);
            if (it != refs_.end()) {
                const bool same = Same(r, it->second.region, false);
                fit.matches += same;
                fit.exact = fit.exact && same;
                return;
            }
            const auto twin = refs_.find(Twin(index));
            if (twin != refs_.end()) {
                ++fit.shapes;
                fit.shape = fit.shape && Same(r, twin->second.region, true);
            }
        };
        if (num.labelIndex >= 0)
            check(num.labelIndex, Region{num.image, num.labelX, c.top, c.start - num.labelX, height_});
        std::vector<std::pair<int, Region>> seen;  // a character repeated in the number cuts the same
        Grid g = grid_;
        g.pointAdvance = c.point, g.tildeAdvance = c.tilde;
        int x = c.start;
        for (char ch : num.text) {
            if (!fit.exact && !full) break;
            const int node = NodeOf(ch), index = DigitIndex(node, num.white);
            const Region r{num.image, x, c.top, g.Cell(node), height_};
            const auto it =
                std::find_if(seen.begin(), seen.end(), [&](const auto& e) { return e.first == index; });
            if (it == seen.end()) {
                seen.emplace_back(index, r);
                check(index, r);
            } else if (!Same(r, it->second, false)) {
                fit.exact = false;
            }
            x += g.Cell(node);
        }
        return fit;
    }

    void Place(size_t n, const Candidate& c, bool guessed) {
        const Number& num = (*numbers_)[n];
        placements_[n] = Placement{true, guessed, false, c.start, c.top};
        if (c.point) grid_.pointAdvance = c.point;
        if (c.tilde) grid_.tildeAdvance = c.tilde;
        auto add = [&](int index, const Region& r) {
            if (refs_.emplace(index, Ref{r, guessed}).second) added_.push_back(index);
        };
        if (num.labelIndex >= 0)
            add(num.labelIndex, Region{num.image, num.labelX, c.top, c.start - num.labelX, height_});
        int x = c.start;
        for (char ch : num.text) {
            const int node = NodeOf(ch);
            add(DigitIndex(node, num.white), Region{num.image, x, c.top, grid_.Cell(node), height_});
            x += grid_.Cell(node);
        }
    }

    // Places every number that exactly one place fits, until nothing changes.
    void Propagate(bool guessing) {
        for (bool changed = true; changed;) {
            changed = false;
            for (size_t n = 0; n < numbers_->size(); ++n) {
                if (placements_[n].placed || conflicted_[n] || !Ready(n, guessing)) continue;
                std::vector<Candidate> fits;
                const std::vector<Candidate> all = Enumerate(n);
                std::vector<Fit> why;
                for (const Candidate& c : all)
                    if (const Fit f = Evaluate(n, c, false); f.exact) fits.push_back(c), why.push_back(f);
                if (fits.empty()) {
                    roomless_[n] = all.empty();
                    conflicted_[n] = true;
                    ++conflicts_;
                    continue;
                }
                // Known in the other colour only: the shape narrows the places, when one agrees.
                std::vector<Candidate> shaped;
                for (size_t i = 0; i < fits.size(); ++i)
                    if (why[i].shapes > 0 && why[i].shape) shaped.push_back(fits[i]);
                if (!shaped.empty()) fits = shaped;
                if (fits.size() == 1) {
                    Place(n, fits[0], guessing);
                    changed = true;
                }
            }
        }
    }

    // Picks the longest number not placed yet and places it where, with everything that follows
    // from it, the pictures it adds sit best centred in their cells; false when none is left. A
    // number followed by other text is never the one picked: nothing but its pictures tells where
    // it ends.
    bool Anchor(bool guessing) {
        size_t anchor = numbers_->size();
        for (size_t n = 0; n < numbers_->size(); ++n)
            if (!placements_[n].placed && !conflicted_[n] && Ready(n, true) &&
                ((*numbers_)[n].lastInk >= 0 || (*numbers_)[n].firstInk >= 0) &&
                (anchor == numbers_->size() || (*numbers_)[n].text.size() > (*numbers_)[anchor].text.size()))
                anchor = n;
        if (anchor == numbers_->size()) return false;
        const Solver before = *this;
        int bestScore = 0;
        const Candidate* best = nullptr;
        const std::vector<Candidate> all = Enumerate(anchor);
        for (const Candidate& c : all) {
            if (!Evaluate(anchor, c, false).exact) continue;
            const size_t mark = added_.size();
            Place(anchor, c, guessing);
            Propagate(guessing);
            if (conflicts_ == before.conflicts_) {
                std::set<int> nodes;  // each character once, whatever its colour
                int imbalance = 0;
                for (size_t i = mark; i < added_.size(); ++i) {
                    const int index = added_[i], twin = Twin(index);
                    const int node =
                        index <= kGlyphBlueTilde ? index - kGlyphBlueDigit0 : twin - kGlyphBlueDigit0;
                    if (twin < 0 || node > kPointNode || !nodes.insert(node).second) continue;
                    imbalance += Imbalance(refs_.at(index).region);
                }
                // On the likeliest rows; then as near centred as can be; of two as near, the ink
                // a column further right.
                const int rows = std::abs(c.top - (*numbers_)[anchor].topGuess);
                const int score = rows * 100000 + 2 * std::abs(imbalance) + (imbalance > 0);
                if (!best || score < bestScore) best = &c, bestScore = score;
            }
            *this = before;
        }
        if (!best) {
            conflicted_[anchor] = true;
            ++conflicts_;
            return true;
        }
        Place(anchor, *best, guessing);
        Propagate(guessing);
        return true;
    }

    const std::vector<Number>* numbers_;
    int height_;
    Grid grid_;
    std::map<int, Ref> refs_;
    std::vector<int> added_;  // template indices placed in this solve, in order
    std::vector<Placement> placements_;
    std::vector<bool> conflicted_, roomless_;
    int conflicts_ = 0;
};

constexpr int kMaxAdvance = 64;  // wider than any digit of the game's text at any size

// What is said of a number: where it is and how it is drawn.
LearnMessage Why(LearnCode code, const Number& n) {
    LearnMessage m{code, n.where};
    m.text = n.text;
    return m;
}

}  // namespace

bool SolveGrid(const std::vector<Number>& numbers, const GridKnowns& knowns, GridSolution& solution,
               LearnMessage& error) {
    solution = GridSolution();
    solution.placements.resize(numbers.size());
    solution.why.resize(numbers.size());
    if (numbers.empty()) {
        solution.grid = knowns.grid;
        return true;
    }
    std::vector<Solver> valid;
    if (knowns.grid.advance > 0) {
        valid.emplace_back(numbers, knowns, knowns.grid.advance);
        valid.back().Settle();
        valid.back().Finish();
    } else {
        // Every advance the line height allows; once two fit, the spacing is not certain.
        const int widest = std::min(3 * std::max(knowns.boxHeight, 4), kMaxAdvance);
        for (int a = 2; a <= widest && valid.size() < 2; ++a) {
            Solver s(numbers, knowns, a);
            s.Settle();
            if (s.Conflicts()) continue;
            s.Finish();
            if (!s.Conflicts()) valid.push_back(s);
        }
        if (valid.empty()) return error = LearnMessage{kNoGrid}, false;
        if (valid.size() > 1) {
            solution.grid = knowns.grid;
            std::fill(solution.why.begin(), solution.why.end(), LearnMessage{kDigitSpacingUnsure});
            return true;
        }
    }
    Solver& s = valid[0];
    for (size_t n = 0; n < numbers.size(); ++n)
        if (s.Roomless(n)) return error = Why(kNoRoom, numbers[n]), false;
    s.PlaceDisagreeing();
    solution.grid = s.grid();
    solution.placements = s.placements();
    for (size_t n = 0; n < numbers.size(); ++n) {
        const Placement& p = solution.placements[n];
        const std::string& text = numbers[n].text;
        if (p.guessed)
            solution.why[n] = Why(kPlacedByGuess, numbers[n]);
        else if (!p.placed && text.find('.') != std::string::npos && !solution.grid.pointAdvance)
            solution.why[n] = Why(kPointSpacingUnsure, numbers[n]);
        else if (!p.placed && text.find('~') != std::string::npos && !solution.grid.tildeAdvance)
            solution.why[n] = Why(kTildeSpacingUnsure, numbers[n]);
        else if (!p.placed)
            solution.why[n] = Why(kCannotPlace, numbers[n]);
    }
    return true;
}
