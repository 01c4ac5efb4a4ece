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
        g->at.push_back(Bullet{f.x0, f.y0});
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
    return line;
}

}  // namespace

bool GuessTooltip(const PixelBuffer& image, const GlyphPack& pack, TooltipGuess& guess, std::string& error) {
    guess = TooltipGuess();
    PixelBuffer t;
    if (!FindTooltipBody(image, t, error)) return false;
    std::vector<Bullet> bullets = FindBullets(t, pack);
    if (bullets.empty()) return error = "no bulleted option line in the tooltip", false;
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
