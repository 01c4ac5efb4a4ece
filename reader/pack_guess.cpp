// A first guess at what a tooltip shows, read with the pack as it stands, so that the player only
// checks and fills in what the pack cannot read yet. The bulleted lines are found even where the
// pack does not know the bullet: the same small picture that starts several lines at one column.
#include <algorithm>

#include "base/catalogue.h"
#include "base/settings.h"
#include "reader/digit_grid.h"
#include "reader/ink_lines.h"
#include "reader/pack_teach.h"
#include "reader/parser.h"

namespace {

int Match(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl, HitPos* hits,
          int many, int step, int tolerance, int mode) {
    if (tmpl.count <= 0) return 0;  // a picture the pack lacks matches nothing
    return MatchTemplate(image, x, y, w, h, tmpl, hits, many, step, tolerance, mode);
}

bool RowApplies(uint8_t condition, int weapon) {  // weapon: 1, 0, or -1 when the kind is unknown
    if (condition == kNever) return false;
    return condition == kEveryKind || weapon < 0 || condition == (weapon ? kWeaponsOnly : kNonWeaponsOnly);
}

// A number as the reader reads it, as text: the digits and point it matched, in order.
std::string ReadText(const PixelBuffer& t, int x, int y, const PixelBuffer* label, bool white, int mode,
                     int tolerance, HitPos* end, const GlyphPack& pack) {
    ParseTrace trace;
    ReadNumber(t, x, y, label, white, mode, tolerance, end, pack, &trace);
    std::string text;
    for (const ParseMark& m : trace.marks) {
        const int digit0 = white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
        if (m.templateIndex >= digit0 && m.templateIndex < digit0 + 10)
            text += char('0' + m.templateIndex - digit0);
        else
            text += '.';
    }
    // A point with nothing after it is the reader stepping past an integer, not part of it.
    while (!text.empty() && text.back() == '.') text.pop_back();
    return text;
}

struct Bullet {
    int x, y;
};

// The bulleted lines: where the pack's bullet matches, as the reader finds it; failing that, the
// small picture that starts the most lines at one column (a line's first ink, no wider than tall,
// with more ink to its right), top to bottom.
std::vector<Bullet> FindBullets(const PixelBuffer& t, const GlyphPack& pack) {
    HitPos hits[kHitListSize];
    const int n = Match(t, 0, 0, 0, 0, pack.Template(kGlyphBullet), hits, 1, 3, 1, kMatchExact);
    std::vector<Bullet> found;
    for (int i = 0; i < n; ++i) found.push_back(Bullet{hits[i].x, hits[i].y});
    if (!found.empty()) return found;
    struct Group {
        int x;
        PixelBuffer ink;
        std::vector<Bullet> at;
    };
    std::vector<Group> groups;
    for (const Band& band : FindBands(t)) {
        if (band.blobs.size() < 2) continue;
        const Blob& f = band.blobs[0];
        if (f.x1 - f.x0 > f.y1 - f.y0 + 2) continue;
        PixelBuffer ink = Cut(t, f.x0, f.y0, f.x1, f.y1);
        auto g = std::find_if(groups.begin(), groups.end(),
                              [&](const Group& g) { return g.x == f.x0 && SamePicture(g.ink, ink); });
        if (g == groups.end()) g = groups.insert(groups.end(), Group{f.x0, std::move(ink), {}});
        g->at.push_back(Bullet{f.x0, band.y0});  // the line's top: its highest ink
    }
    const Group* best = nullptr;
    for (const Group& g : groups)
        if (!best || g.at.size() > best->at.size() || (g.at.size() == best->at.size() && g.x < best->x))
            best = &g;
    if (best) found = best->at;
    if (found.size() > size_t(kHitListSize)) found.resize(kHitListSize);
    return found;
}

int GuessKind(const PixelBuffer& t, const GlyphPack& pack) {
    for (int kind = 0; kind < kKindCount; ++kind) {
        HitPos hit;
        if (Match(t, t.width / 2, 0, t.width / 2, t.height / 2, pack.Template(kItemKinds[kind].templateIndex),
                  &hit, 0, 2, gSettings.errorLimit[kKindTolerance], kMatchExact))
            return kind;
    }
    return -1;
}

// The attacks per second and the damage range, where the pack knows the caption before them.
bool GuessWeapon(const PixelBuffer& t, const GlyphPack& pack, LearnTooltip& what) {
    const PixelBuffer& caption = pack.Template(kStatDescriptors[kAttacksPerSecondRow].templateIndex);
    HitPos hit, end;
    if (!Match(t, 0, 0, t.width / 2, t.height, caption, &hit, 0, 3, gSettings.errorLimit[kOptionTolerance],
               kMatchExact))
        return false;
    const GlyphLayout& layout = pack.layout;
    what.attacksPerSecond = ReadText(t, hit.x, hit.y, &caption, true, kMatchExact, 0, nullptr, pack);
    what.minDamage = ReadText(t, hit.x + layout.damageRight, hit.y - layout.damageUp, nullptr, true,
                              kMatchWhiteOnly, 1, &end, pack);
    what.maxDamage = what.minDamage.empty() ? std::string()
                                            : ReadText(t, end.x + layout.damageGap, end.y, nullptr, true,
                                                       kMatchWhiteOnly, 1, nullptr, pack);
    return true;
}

// Columns a number drawn this way takes on the grid.
int Width(const std::string& text, const GlyphLayout& layout) {
    int w = 0;
    for (char c : text) w += c == '.' ? layout.pointAdvance : layout.digitAdvance;
    return w;
}

// Where the value begins on a line whose caption the pack does not know: after the sign that
// closes every option caption ("+"), found as the sign of a caption the pack knows, at the same
// distance from it as there. -1 when no known sign is on the line.
int ValueStart(const PixelBuffer& t, const GlyphPack& pack, int x0, int top, int end, bool white) {
    std::vector<int> tried;
    for (const StatDescriptor& row : kStatDescriptors) {
        const PixelBuffer& caption = pack.Template(row.templateIndex);
        if (row.condition == kNever || bool(row.white) != white || caption.count <= 0 ||
            std::find(tried.begin(), tried.end(), row.templateIndex) != tried.end())
            continue;
        tried.push_back(row.templateIndex);
        // The sign: the last run of inked columns.
        const Blob ink = InkBox(caption);
        int from = ink.x1 - 1;
        auto inkedColumn = [&](int x) {
            for (int y = 0; y < caption.height; ++y)
                if (Inked(caption, x, y)) return true;
            return false;
        };
        if (from < 0) continue;
        while (from > 0 && inkedColumn(from - 1)) --from;
        const PixelBuffer sign = Cut(caption, from, 0, ink.x1, caption.height);
        HitPos hit;
        if (end > x0 && Match(t, x0, top, end - x0, 1, sign, &hit, 0, 1, 0, kMatchExact))
            return hit.x + caption.width - from;
    }
    return -1;
}

// The value ending a line whose caption the pack does not know, when known digits read from
// where it begins exactly to the line's last ink (a range: to its tilde, and on from there).
std::string ValueAtEnd(const PixelBuffer& t, const GlyphPack& pack, int x0, int top) {
    const int rows = std::max(pack.Template(kGlyphBullet).height, 1);
    int end = -1;
    for (int x = t.width - 1; x >= x0 && end < 0; --x)
        for (int y = std::max(top, 0); y < std::min(top + rows, t.height) && end < 0; ++y)
            if (Inked(t, x, y)) end = x;
    const GlyphLayout& layout = pack.layout;
    auto reachesEnd = [&](int right) { return right > end && right - layout.digitAdvance <= end; };
    for (bool white : {false, true}) {
        const int x = ValueStart(t, pack, x0, top, end, white);
        if (x < 0) continue;
        const PixelBuffer& tilde = pack.Template(white ? kGlyphWhiteTilde : kGlyphBlueTilde);
        const std::string low = ReadText(t, x, top, nullptr, white, kMatchExact, 0, nullptr, pack);
        const int right = x + Width(low, layout);
        HitPos hit;
        if (low.empty()) continue;
        if (reachesEnd(right)) return low;
        if (!Match(t, right, top, 1, 1, tilde, &hit, 0, 1, 5, kMatchExact)) continue;
        const std::string high = ReadText(t, hit.x, top, &tilde, white, kMatchExact, 0, nullptr, pack);
        if (!high.empty() && reachesEnd(hit.x + tilde.width + Width(high, layout))) return low + "~" + high;
    }
    return {};
}

// One bulleted line: the first caption the pack matches after the bullet, and its value.
LearnLine GuessLine(const PixelBuffer& t, const GlyphPack& pack, const Bullet& b, int weapon) {
    LearnLine line;
    const int cx = b.x + pack.layout.captionOffset, cy = b.y;
    for (int r = 0; r < kDescriptorCount && line.row < 0; ++r) {
        const StatDescriptor& row = kStatDescriptors[r];
        const PixelBuffer& caption = pack.Template(row.templateIndex);
        HitPos hit;
        if (r == kAttacksPerSecondRow || !RowApplies(row.condition, weapon) ||
            !Match(t, cx, cy, 1, 1, caption, &hit, 0, 3, gSettings.errorLimit[kOptionTolerance], kMatchExact))
            continue;
        line.row = r;
        line.text = ReadText(t, cx, cy, &caption, row.white, kMatchExact, 0, nullptr, pack);
        if (!row.range || line.text.empty()) continue;
        const int tildeIndex = row.white ? kGlyphWhiteTilde : kGlyphBlueTilde;
        const PixelBuffer& tilde = pack.Template(tildeIndex);
        if (Match(t, cx, cy, pack.layout.tildeSearch, 1, tilde, &hit, 0, 1, 5, kMatchExact)) {
            const std::string high =
                ReadText(t, hit.x, hit.y, &tilde, row.white, kMatchExact, 0, nullptr, pack);
            if (!high.empty()) line.text += "~" + high;
        }
    }
    if (line.row < 0) line.text = ValueAtEnd(t, pack, cx + 1, cy);
    return line;
}

}  // namespace

bool GuessTooltip(const PixelBuffer& image, const GlyphPack& pack, TooltipGuess& guess, LearnMessage& error) {
    guess = TooltipGuess();
    PixelBuffer t;
    if (!FindTooltipBody(image, t, error)) return false;
    std::vector<Bullet> bullets = FindBullets(t, pack);
    if (bullets.empty()) return error = LearnMessage{kNoOptionLine}, false;
    std::stable_sort(bullets.begin(), bullets.end(),
                     [](const Bullet& a, const Bullet& b) { return a.y < b.y; });

    LearnTooltip& what = guess.what;
    what.kind = GuessKind(t, pack);
    const int weapon = what.kind < 0 ? -1 : IsWeaponKind(what.kind);
    if (weapon != 0 && GuessWeapon(t, pack, what)) {
        guess.weaponLines = true;
        what.weapon = true;
        guess.filled += !what.attacksPerSecond.empty();
        guess.filled += !what.minDamage.empty() && !what.maxDamage.empty();
    }
    HitPos sockets[kHitListSize];
    what.emptySockets = Match(t, 0, 0, 0, 0, pack.Template(kGlyphEmptySocket), sockets, 1, 1, 1, kMatchExact);
    for (const Bullet& b : bullets) {
        what.lines.push_back(GuessLine(t, pack, b, weapon));
        guess.lineTops.push_back(b.y);
        guess.filled += (what.lines.back().row >= 0) + !what.lines.back().text.empty();
    }
    guess.filled += (what.kind >= 0) + (what.emptySockets > 0);
    return true;
}
