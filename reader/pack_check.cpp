// Checking a glyph pack: each picture is measured against black and against the pictures it can
// meet where the reader looks for it, sampled as the matcher samples, at the steps and default
// tolerances of a read, and must stand out with room to spare.
#include "reader/pack_check.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <iterator>
#include <string_view>
#include <vector>

#include "base/catalogue.h"
#include "base/settings.h"
#include "base/text_encoding.h"
#include "reader/matcher.h"

namespace {

// The reader's fixed tolerances beside the three a user may set, and its sampling steps.
constexpr int kBulletTolerance = 1, kPointTolerance = 1, kTildeTolerance = 5, kSocketTolerance = 1;
constexpr int kDamageTolerance = 1;  // the weapon's damage digits, by their pure white pixels
constexpr int kKindStep = 2, kCaptionStep = 3, kBulletStep = 3;
// Kind captions keep a fixed margin over their tolerance; digits, captions and tildes must differ
// by twice theirs. The socket caption is searched over the whole tooltip at tolerance 1.
constexpr int kKindMargin = 5, kSocketInk = 21;
constexpr int kMaxTextHeight = 100;  // taller than any line of the game's text, at any size
constexpr int kMinTextHeight = 5;    // flatter than any legible line of text
constexpr int kLeft = 4, kTop = 3;   // where an option line's bullet stands on its canvas
constexpr int kNobody = -2;          // a finding that is not this pack's to report
// Numbers drawn after a caption on the option lines compared.
const char* const kNumbers[] = {"12", "345", "9.5", "1~2", "80"};

std::string Hex(uint32_t v) {  // as #RRGGBB
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
    return text;
}

std::string Many(int n, const std::string& noun) {
    return std::to_string(n) + " " + noun + (n == 1 ? "" : "s");
}

std::string Name(int i) {
    const std::string file = std::to_string(kGlyphInfo[i].resourceId) + ".bmp)";
    const std::string tinted = (kGlyphInfo[i].colour == kWhite ? " (white, " : " (blue, ") + file;
    const int digit = i - (i < kGlyphWhiteDigit0 ? kGlyphBlueDigit0 : kGlyphWhiteDigit0);
    if (i > 0 && i <= kGlyphWhiteTilde && digit < 10) return "digit " + std::to_string(digit) + tinted;
    if (i == kGlyphBluePoint || i == kGlyphWhitePoint) return "decimal point" + tinted;
    if (i == kGlyphBlueTilde || i == kGlyphWhiteTilde) return "tilde" + tinted;
    if (i == kGlyphBullet) return "bullet (" + file;
    if (i == kGlyphEmptySocket) return "empty socket caption (" + file;
    for (const ItemKind& kind : kItemKinds)
        if (kind.templateIndex == i) return "kind caption " + Utf8(kind.name) + " (" + file;
    for (const StatDescriptor& row : kStatDescriptors)
        if (row.templateIndex == i) return "caption " + Utf8(row.name) + " (" + file;
    return "picture (" + file;
}

// A pixel the game can draw in this text colour: the colour scaled by some coverage, each channel
// rounded, allowing ±1 per channel.
bool OnScale(uint32_t p, uint32_t colour) {
    int top = 0;  // the colour's brightest channel pins the coverage down to a few values
    for (int c = 8; c < 24; c += 8) top = (colour >> c & 0xFF) > (colour >> top & 0xFF) ? c : top;
    const int want = std::max(int(colour >> top & 0xFF), 1), got = int(p >> top & 0xFF);
    const int last = std::min(255, (got + 2) * 255 / want + 1);
    for (int k = std::max(1, (got - 2) * 255 / want); k <= last && p >> 24 == 0; ++k) {
        bool fits = true;
        for (int c = 0; c < 24 && fits; c += 8)
            fits = std::abs(int(((colour >> c & 0xFF) * k + 127) / 255) - int(p >> c & 0xFF)) <= 1;
        if (fits) return true;
    }
    return false;
}

// The bit of PackContents::layoutFields that says the folder gives this value of the layout.
unsigned Bit(int GlyphLayout::*value) {
    GlyphLayout layout;
    int f = 0;
    while (f < kLayoutFieldCount - 1 && &LayoutValue(layout, f) != &(layout.*value)) ++f;
    return 1u << f;
}

bool RowApplies(uint8_t condition, int weapon) {
    return condition == kEveryKind || condition == (weapon ? kWeaponsOnly : kNonWeaponsOnly);
}

// Sampled pixels of `tmpl` at (x, y) that the matcher counts as differing.
int Mismatches(const PixelBuffer& image, int x, int y, const PixelBuffer& tmpl, int step, int mode) {
    int count = 0;
    for (int tx = 0; tx < tmpl.width; tx += step)
        for (int ty = 0; ty < tmpl.height; ty += step) {
            const uint32_t t = PixelAt(tmpl, tx, ty), s = PixelAt(image, int64_t(x) + tx, int64_t(y) + ty);
            count += mode == kMatchWhiteOnly ? t == 0xFFFFFF && s != t : s != t;
        }
    return count;
}

int Ink(const PixelBuffer& tmpl, int step, int mode) {
    return Mismatches(PixelBuffer(tmpl.width, tmpl.height), 0, 0, tmpl, step, mode);
}

// The fewest mismatches of `tmpl` over the candidates of a window when below `need`, and where;
// otherwise `need`. The matcher itself judges, so this is what a read would see.
int Closest(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl, int step, int need,
            HitPos& at) {
    if (!MatchTemplate(image, x, y, w, h, tmpl, &at, 0, step, need - 1, kMatchExact)) return need;
    int t = 0;
    while (t < need - 1 && !MatchTemplate(image, x, y, w, h, tmpl, &at, 0, step, t, kMatchExact)) ++t;
    return t;
}

void Paste(PixelBuffer& canvas, const PixelBuffer& picture, int x, int y) {
    for (int py = 0; py < picture.height; ++py)
        for (int px = 0; px < picture.width; ++px)
            if (x + px >= 0 && y + py >= 0 && x + px < canvas.width && y + py < canvas.height)
                canvas.pixels[size_t(y + py) * canvas.width + x + px] = PixelAt(picture, px, py);
}

// An option caption: for which items the option pass tries it, and on which its line can stand.
struct Caption {
    int index;
    bool white;
    bool tried[2], shown[2];  // [0] other items, [1] weapons
};
bool Meet(const Caption& tried, const Caption& shown) {
    return (tried.tried[0] && shown.shown[0]) || (tried.tried[1] && shown.shown[1]);
}

// The closest of some comparisons: mismatches, whom to report it against, the two sides and where.
// A comparison that reads the same either way round names the one reported against first.
struct Least {
    int n = 1 << 30, owner = kNobody, a = 0, b = 0;
    std::string where;
    void Take(int v, int who, int pa, int pb, std::string at, bool either = false) {
        if (either && who == pb) std::swap(pa, pb);
        if (who != kNobody && v < n) *this = Least{v, who, pa, pb, std::move(at)};
    }
};

class Checker {
public:
    Checker(const GlyphPack& pack, const PackContents* contents) : pack_(pack), contents_(contents) {
        // A picture taller or flatter than text is no picture of it, and matches where no text
        // is; left out, it cannot slow the rest down.
        for (int i = 0; i < kGlyphCount; ++i) {
            if (kGlyphInfo[i].resourceId == 0 || T(i).count <= 0) continue;
            const bool tall = T(i).height > kMaxTextHeight, flat = T(i).height < kMinTextHeight;
            if (!tall && !flat) continue;
            weak_[i] = true;
            Report(Whose({i}),
                   Name(i) + " is " + std::to_string(T(i).height) + " pixels tall; no line of text is " +
                       (tall ? "over " + std::to_string(kMaxTextHeight)
                             : "under " + std::to_string(kMinTextHeight)),
                   true);
        }
        for (int i = 0; i < kGlyphCount; ++i) {
            if (weak_[i]) continue;
            if (i <= kGlyphWhiteTilde)
                glyphW_ = std::max(glyphW_, T(i).width), glyphH_ = std::max(glyphH_, T(i).height);
            tallest_ = std::max(tallest_, T(i).height);
        }
        for (int r = 0; r < kDescriptorCount; ++r) {
            const StatDescriptor& row = kStatDescriptors[r];
            if (r == kAttacksPerSecondRow) continue;  // the weapon line's caption, read on its own
            auto c = std::find_if(captions_.begin(), captions_.end(),
                                  [&](const Caption& c) { return c.index == row.templateIndex; });
            if (c == captions_.end())
                c = captions_.insert(c, Caption{row.templateIndex, row.white != 0, {}, {}});
            for (int w = 0; w < 2; ++w) {
                c->tried[w] |= RowApplies(row.condition, w);
                c->shown[w] |= RowApplies(row.condition, w) || row.condition == kNever;
            }
        }
        for (const Caption& c : captions_) captionW_ = std::max(captionW_, T(c.index).width);
        lines_.resize(captions_.size());
    }

    std::vector<PackProblem> Run() {
        CheckLayout();
        CheckDigitWidths();
        for (int i = 0; i < kGlyphCount; ++i) CheckColours(i);
        CheckKinds();
        for (bool white : {false, true}) CheckDigits(white), CheckTilde(white);
        CheckDamageDigits();
        CheckCaptions();
        CheckBulletAndSocket();
        std::stable_sort(problems_.begin(), problems_.end(), [](const PackProblem& a, const PackProblem& b) {
            return a.templateIndex < b.templateIndex;
        });
        return std::move(problems_);
    }

private:
    const PixelBuffer& T(int i) const { return pack_.Template(i); }
    // Whom a finding about these pictures (and these layout values, when it depends on them) is
    // reported against: the first picture, or with contents the first the folder holds; kNobody
    // when the folder holds none of them.
    int Whose(std::initializer_list<int> pictures, unsigned fields = 0) const {
        if (!contents_ || (contents_->layoutFields & fields)) return *pictures.begin();
        for (int i : pictures)
            if (i >= 0 && contents_->picture[i]) return i;
        return kNobody;
    }
    void Report(int index, std::string text, bool blocks = false) {
        if (index != kNobody) problems_.push_back(PackProblem{index, std::move(text), blocks});
    }
    bool Usable(int i) const { return T(i).count > 0 && !weak_[i]; }
    // Whether a layout value is checked against picture i of its group. The values a folder
    // measured go with the pictures it cut: where it holds some of the group, only those count
    // (the built-in pictures it falls back to are another screen's and cannot match this one's
    // text); where it holds none, the pictures it will be read with.
    bool MeasuredWith(int i, bool folderHoldsSome) const {
        return !contents_ || !folderHoldsSome || contents_->picture[i];
    }
    template <typename Pictures>
    bool HoldsAny(const Pictures& pictures) const {
        if (!contents_) return false;
        for (int i : pictures)
            if (contents_->picture[i]) return true;
        return false;
    }

    // At least `need` inked samples (pure white pixels in mode 2). A picture short of them is left
    // out of the comparisons, which would only repeat the one problem. With no more than
    // `tolerance` of them it matches empty black wherever the reader looks: that blocks the pack.
    bool EnoughInk(int i, int step, int need, int tolerance, int mode = kMatchExact) {
        if (T(i).count == 0 || weak_[i]) return false;
        const int ink = Ink(T(i), step, mode);
        if (ink >= need) return true;
        weak_[i] |= mode == kMatchExact;
        Report(Whose({i}),
               Name(i) + " has only " +
                   (mode == kMatchExact ? Many(ink, "inked sample") + " at step " + std::to_string(step)
                                        : Many(ink, "pure white pixel")) +
                   "; needs at least " + std::to_string(need),
               ink <= tolerance);
        return false;
    }
    // Two pictures `n` sampled pixels apart are wanted `need` apart; at `tolerance` or closer the
    // reader takes one for the other, which blocks the pack.
    void Compare(int n, int owner, int a, int b, const std::string& where, int need, int tolerance,
                 bool either = false) {
        if (either && owner == b) std::swap(a, b);
        if (n < need)
            Report(owner,
                   Name(a) + " differs from " + (b >= 0 ? Name(b) : "") + where + " in only " +
                       Many(n, "sampled pixel") + "; needs at least " + std::to_string(need),
                   n <= tolerance);
    }
    void Close(const Least& l, int need, int tolerance) {
        Compare(l.n, l.owner, l.a, l.b, l.where, need, tolerance);
    }

    // Values a reader cannot work with: advances that go nowhere, a caption starting inside its
    // bullet, a tilde search that stops inside the caption before it.
    void CheckLayout() {
        GlyphLayout l = pack_.layout;
        int widest = 0, ranged = -1;  // the widest caption of a range
        std::vector<int> rangeCaptions;
        for (const StatDescriptor& row : kStatDescriptors)
            if (row.range) rangeCaptions.push_back(row.templateIndex);
        const bool ownCaptions = HoldsAny(rangeCaptions);
        for (int i : rangeCaptions)
            if (MeasuredWith(i, ownCaptions) && T(i).width >= widest) widest = T(i).width, ranged = i;
        for (int f = 0; f < kLayoutFieldCount; ++f) {
            const int& v = LayoutValue(l, f);
            const bool offset = &v == &l.captionOffset, search = &v == &l.tildeSearch;
            // The least sensible value, and the picture it comes from.
            const int least = offset ? T(kGlyphBullet).width + 1 : search ? widest + 1 : &v != &l.damageRight;
            const int picture = offset ? kGlyphBullet : search ? ranged : -1;
            if (v < least && Whose({picture}, 1u << f) != kNobody)
                Report(-1,
                       "layout: " + std::string(LayoutFieldName(f)) + " is " + std::to_string(v) +
                           "; must be at least " + std::to_string(least) +
                           (offset   ? ", past the bullet's width"
                            : search ? ", past the widest caption of a range"
                                     : ""),
                       true);
        }
    }

    // The reader steps digit_advance from one digit to the next: a digit wider than that overlaps
    // the next step, and its ink is read as the next digit. As wide as the step is right (the
    // game's own digits may touch their neighbours).
    void CheckDigitWidths() {
        const int advance = pack_.layout.digitAdvance;
        const unsigned field = Bit(&GlyphLayout::digitAdvance);
        if (advance < 1) return;  // reported with the layout
        std::vector<int> digits;
        for (int d = 0; d < 20; ++d)
            digits.push_back(d < 10 ? kGlyphBlueDigit0 + d : kGlyphWhiteDigit0 + d - 10);
        const bool ownDigits = HoldsAny(digits);
        int widest = -1;
        for (int i : digits) {
            if (T(i).count <= 0 || Whose({i}, field) == kNobody || !MeasuredWith(i, ownDigits)) continue;
            if (widest < 0 || T(i).width > T(widest).width) widest = i;
        }
        if (widest < 0 || T(widest).width <= advance) return;
        const bool layout = !contents_ || (contents_->layoutFields & field);
        const std::string wide = std::to_string(T(widest).width) + " pixels wide";
        Report(layout ? -1 : widest,
               (layout ? "layout: digit_advance is " + std::to_string(advance) + ", narrower than " +
                             Name(widest) + ", " + wide
                       : Name(widest) + " is " + wide + ", wider than digit_advance " +
                             std::to_string(advance)) +
                   ": each step of the reader would overlap it",
               true);
    }

    // Also whether the picture is there at all. One already found too tall is not looked into.
    void CheckColours(int i) {
        if (kGlyphInfo[i].resourceId == 0 || weak_[i] || Whose({i}) == kNobody) return;
        const PixelBuffer& t = T(i);
        if (t.count <= 0 || t.width <= 0)
            return Report(i, Name(i) + " is missing: the pack has no picture for it", true);
        int off = 0, first = 0;
        for (int p = int(ReadableCount(t)) - 1; p >= 0; --p)
            if (t.pixels[p] != 0 && !OnScale(t.pixels[p], kGlyphInfo[i].colour)) ++off, first = p;
        if (off)
            Report(i, Name(i) + " has " + Many(off, "pixel") + (off == 1 ? " that is" : " that are") +
                          " not its colour " + Hex(kGlyphInfo[i].colour) +
                          " scaled by a coverage, the first " + Hex(t.pixels[first]) + " at (" +
                          std::to_string(first % t.width) + ", " + std::to_string(first / t.width) + ")");
    }

    // Kinds are tried in order over the upper-right quarter, so a kind caption found overlapping
    // a later kind's caption misreads it; found in an earlier one it does no harm.
    void CheckKinds() {
        const int tolerance = Settings{}.errorLimit[kKindTolerance], need = tolerance + kKindMargin;
        for (const ItemKind& kind : kItemKinds) EnoughInk(kind.templateIndex, kKindStep, need, tolerance);
        for (int a = 0; a < kKindCount; ++a)
            for (int b = a + 1; b < kKindCount; ++b) {
                const int ia = kItemKinds[a].templateIndex, ib = kItemKinds[b].templateIndex;
                const int owner = Whose({ib, ia});
                if (ia == ib || !Usable(ia) || !Usable(ib) || owner == kNobody) continue;
                const PixelBuffer &shown = T(ib), &tmpl = T(ia);
                PixelBuffer canvas(shown.width + 2 * tmpl.width, shown.height + 2 * tmpl.height);
                Paste(canvas, shown, tmpl.width, tmpl.height);
                HitPos at;
                const int n = Closest(canvas, 0, 0, shown.width + tmpl.width + 1,
                                      shown.height + tmpl.height + 1, tmpl, kKindStep, need, at);
                Compare(n, owner, ia, ib,
                        " overlapping it at (" + std::to_string(at.x - tmpl.width) + ", " +
                            std::to_string(at.y - tmpl.height) + ")",
                        need, tolerance);
            }
    }

    // A picture alone on black at (x, y), with room for a digit, point or tilde around it.
    PixelBuffer Alone(int i, int x = 0, int y = 0) const {
        PixelBuffer canvas(2 * x + glyphW_ + T(i).width, 2 * y + glyphH_ + T(i).height);
        Paste(canvas, T(i), x, y);
        return canvas;
    }

    // Digits are tried at one place, first to last, at the value tolerance; the point where none
    // matched, at its own.
    void CheckDigits(bool white) {
        const int d0 = white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0,
                  point = white ? kGlyphWhitePoint : kGlyphBluePoint;
        const int tolerance = Settings{}.errorLimit[kValueTolerance], need = 2 * tolerance;
        EnoughInk(point, 1, kPointTolerance + 1, kPointTolerance);
        for (int a = d0; a < d0 + 10; ++a) EnoughInk(a, 1, need, tolerance);
        std::vector<PixelBuffer> alone;
        for (int a = d0; a < d0 + 10; ++a) alone.push_back(Alone(a));
        const PixelBuffer onPoint = Alone(point);
        for (int a = d0; a < d0 + 10; ++a) {
            for (int b = a + 1; b < d0 + 10 && Usable(a); ++b)
                if (Usable(b))
                    Compare(std::min(Mismatches(alone[a - d0], 0, 0, T(b), 1, 0),
                                     Mismatches(alone[b - d0], 0, 0, T(a), 1, 0)),
                            Whose({b, a}), b, a, "", need, tolerance, true);
            if (Usable(a) && Usable(point))
                Compare(Mismatches(onPoint, 0, 0, T(a), 1, 0), Whose({a, point}), a, point, "", need,
                        tolerance, true);
        }
    }

    // The weapon's damage line is read by pure white pixels alone; its first digit is searched
    // over two rows, and after a whole number the reader looks a point's advance on for a
    // fraction, where the maximum's first digit stands damage_gap - point_advance further.
    void CheckDamageDigits() {
        const int d0 = kGlyphWhiteDigit0, dash = pack_.layout.damageGap - pack_.layout.pointAdvance;
        bool usable[10];
        for (int a = 0; a < 10; ++a)
            usable[a] = EnoughInk(d0 + a, 1, kDamageTolerance + 3, kDamageTolerance, kMatchWhiteOnly);
        Least apart[10][10], self[10], dashed[10];  // apart[a][b] for a < b
        for (int b = 0; b < 10; ++b) {
            const PixelBuffer canvas = Alone(d0 + b, glyphW_, glyphH_);
            for (int a = 0; a < 10 && Usable(d0 + b); ++a) {
                if (!usable[a]) continue;
                for (int shift = -1; shift <= 1; ++shift) {
                    const int n = Mismatches(canvas, glyphW_, glyphH_ + shift, T(d0 + a), 1, kMatchWhiteOnly);
                    const std::string at =
                        shift ? " (pure white pixels, a row apart)" : " (pure white pixels)";
                    const int lo = d0 + std::min(a, b), hi = d0 + std::max(a, b);
                    if (a != b)
                        apart[lo - d0][hi - d0].Take(n, Whose({hi, lo}), hi, lo, at, true);
                    else if (shift != 0)
                        self[a].Take(n, Whose({d0 + a}), d0 + a, -1, "itself a row off (pure white pixels)");
                }
                if (std::abs(dash) < glyphW_)
                    dashed[a].Take(Mismatches(canvas, glyphW_ - dash, glyphH_, T(d0 + a), 1, kMatchWhiteOnly),
                                   Whose({d0 + a, d0 + b}, dashFields_), d0 + a, d0 + b,
                                   " standing " + std::to_string(dash) + " columns on (pure white pixels)");
            }
        }
        for (int a = 0; a < 10; ++a) {
            for (int b = a + 1; b < 10; ++b) Close(apart[a][b], kDamageTolerance + 2, kDamageTolerance);
            Close(self[a], kDamageTolerance + 1, kDamageTolerance);
            Close(dashed[a], kDamageTolerance + 2, kDamageTolerance);
        }
    }

    int DrawNumber(PixelBuffer& canvas, int x, int y, std::string_view text, bool white) const {
        const int digitAdvance = std::max(pack_.layout.digitAdvance, 1),
                  pointAdvance = std::max(pack_.layout.pointAdvance, 1);
        for (char c : text) {
            const int i = c == '.'   ? (white ? kGlyphWhitePoint : kGlyphBluePoint)
                          : c == '~' ? (white ? kGlyphWhiteTilde : kGlyphBlueTilde)
                                     : (white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0) + (c - '0');
            Paste(canvas, T(i), x, y);
            x += c == '.' ? pointAdvance : c == '~' ? T(i).width : digitAdvance;
        }
        return x;
    }
    // An option line on black: bullet at (kLeft, kTop), the caption caption_offset on, its number
    // after, and room on the right for a wider caption tried in its place.
    PixelBuffer DrawLine(const Caption& c, std::string_view number) const {
        const int cx = kLeft + std::max(pack_.layout.captionOffset, 0);
        PixelBuffer line(cx + 2 * captionW_ + 3 * std::max(pack_.layout.digitAdvance, 1) + 3 * glyphW_,
                         kTop + tallest_);
        Paste(line, T(kGlyphBullet), kLeft, kTop);
        Paste(line, T(c.index), cx, kTop);
        DrawNumber(line, cx + T(c.index).width, kTop, number, c.white);
        return line;
    }
    // Caption c's line before number k of kNumbers, drawn once.
    const PixelBuffer& Line(size_t c, int k) {
        if (lines_[c].empty())
            for (const char* number : kNumbers) lines_[c].push_back(DrawLine(captions_[c], number));
        return lines_[c][size_t(k)];
    }

    // At a bullet the option pass tries every caption whose row applies to the item, at one place.
    void CheckCaptions() {
        const int tolerance = Settings{}.errorLimit[kOptionTolerance], need = 2 * tolerance,
                  cx = kLeft + pack_.layout.captionOffset;
        for (const Caption& c : captions_)
            if (c.tried[0] || c.tried[1]) EnoughInk(c.index, kCaptionStep, need, tolerance);
        EnoughInk(kStatDescriptors[kAttacksPerSecondRow].templateIndex, kCaptionStep, need, tolerance);
        for (size_t p = 0; p < captions_.size(); ++p)
            for (size_t q = p + 1; q < captions_.size(); ++q) {
                const int owner = Whose({captions_[q].index, captions_[p].index}, numberFields_);
                Least l;  // both ways round (caption a tried where b stands), reported once
                for (auto [a, b] : {std::pair{q, p}, {p, q}}) {
                    const int ia = captions_[a].index, ib = captions_[b].index;
                    if (owner == kNobody || !Meet(captions_[a], captions_[b]) || !Usable(ia) || !Usable(ib))
                        continue;
                    // A caption no wider than the one it is tried on never reaches the number.
                    const int numbers = T(ia).width <= T(ib).width ? 1 : int(std::size(kNumbers));
                    for (int k = 0; k < numbers; ++k)
                        l.Take(Mismatches(Line(b, k), cx, kTop, T(ia), kCaptionStep, 0), owner, ia, ib,
                               std::string(" at the caption's place before ") + kNumbers[k], true);
                }
                Close(l, need, tolerance);
            }
    }

    // The bullets are searched over the whole tooltip, and so are empty sockets.
    void CheckBulletAndSocket() {
        const bool bullet = EnoughInk(kGlyphBullet, kBulletStep, kBulletTolerance + 1, kBulletTolerance);
        const bool socket = EnoughInk(kGlyphEmptySocket, 1, kSocketInk, kSocketTolerance);
        HitPos hits[kHitListSize];
        for (size_t c = 0; c < captions_.size(); ++c) {
            const int index = captions_[c].index, owner = Whose({kGlyphBullet, index}, lineFields_);
            for (int k : {0, 2, 3}) {  // 12, 9.5, 1~2
                if (!bullet || owner == kNobody || !Usable(index)) break;
                const int n = MatchTemplate(Line(c, k), 0, 0, 0, 0, T(kGlyphBullet), hits, 1, kBulletStep,
                                            kBulletTolerance, 0);
                if (n == 1) continue;  // its own, which it always matches
                Report(owner,
                       Name(kGlyphBullet) + " is found " + Many(n, "time") + " in the line of " +
                           Name(index) + " before " + kNumbers[k] + "; once, at its start, is right",
                       true);
                break;
            }
            const int socketOwner = Whose({kGlyphEmptySocket, index}, lineFields_);
            if (socket && socketOwner != kNobody && Usable(index) &&
                MatchTemplate(Line(c, 0), 0, 0, 0, 0, T(kGlyphEmptySocket), hits, 0, 1, kSocketTolerance, 0))
                Report(socketOwner,
                       Name(kGlyphEmptySocket) + " is found in the line of " + Name(index) + " at (" +
                           std::to_string(hits[0].x - kLeft) + ", " + std::to_string(hits[0].y - kTop) +
                           ") from its bullet",
                       true);
        }
    }

    // A range's tilde is searched along the line's top row from the caption's first column: over
    // the caption and over the number before it.
    void CheckTilde(bool white) {
        const int tilde = white ? kGlyphWhiteTilde : kGlyphBlueTilde,
                  d0 = white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
        const int point = white ? kGlyphWhitePoint : kGlyphBluePoint, need = 2 * kTildeTolerance;
        if (!EnoughInk(tilde, 1, need, kTildeTolerance)) return;
        const int cx = kLeft + pack_.layout.captionOffset;
        HitPos at;
        Least l;
        for (size_t c = 0; c < captions_.size(); ++c) {
            const int index = captions_[c].index;
            if (captions_[c].white != white || !Usable(index)) continue;
            const int n = Closest(DrawLine(captions_[c], ""), cx, kTop, T(index).width, 1, T(tilde), 1,
                                  std::min(l.n, need), at);
            l.Take(n, Whose({tilde, index}), tilde, index, " at its column " + std::to_string(at.x - cx));
        }
        const int width = 2 * std::max(pack_.layout.digitAdvance, 1) + std::max(pack_.layout.pointAdvance, 1);
        for (int a = 0; a < 100; ++a)
            for (const char* joint : {"", "."}) {
                const int owner = Whose({tilde, d0 + a / 10, d0 + a % 10, point}, numberFields_);
                if (owner == kNobody) continue;
                const std::string number = std::to_string(a / 10) + joint + std::to_string(a % 10);
                PixelBuffer line(width + glyphW_, glyphH_);
                const int end = DrawNumber(line, 0, 0, number, white);
                const int n = Closest(line, 0, 0, end, 1, T(tilde), 1, std::min(l.n, need), at);
                l.Take(n, owner, tilde, -1,
                       "the number " + number + " at its column " + std::to_string(at.x));
            }
        Close(l, need, kTildeTolerance);
    }

    const GlyphPack& pack_;
    const PackContents* contents_;
    std::vector<PackProblem> problems_;
    std::vector<Caption> captions_;
    std::vector<std::vector<PixelBuffer>> lines_;  // per caption, per number of kNumbers
    bool weak_[kGlyphCount] = {};
    int glyphW_ = 0, glyphH_ = 0, captionW_ = 0, tallest_ = 0;  // the largest pictures
    // The layout values a number, an option line and the damage line are drawn with.
    const unsigned numberFields_ = Bit(&GlyphLayout::digitAdvance) | Bit(&GlyphLayout::pointAdvance);
    const unsigned lineFields_ = numberFields_ | Bit(&GlyphLayout::captionOffset);
    const unsigned dashFields_ = Bit(&GlyphLayout::damageGap) | Bit(&GlyphLayout::pointAdvance);
};

}  // namespace

std::vector<PackProblem> CheckGlyphPack(const GlyphPack& pack, const PackContents* contents) {
    return Checker(pack, contents).Run();
}

const PackProblem* FirstBlockingProblem(const std::vector<PackProblem>& problems) {
    for (const PackProblem& p : problems)
        if (p.blocks) return &p;
    return nullptr;
}
