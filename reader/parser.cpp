// The option parser and the number reader.
#include "reader/parser.h"

#include <algorithm>
#include <cmath>

#include "base/catalogue.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "reader/glyphs.h"

namespace {

// A kind caption at most this many mismatches past the tolerance is reported as nearly matching,
// when it also matches most of its own ink (empty black differs only in the ink).
constexpr int kKindNearMargin = 4;
// How far around its expected place an unmatched line's nearest caption is looked for.
constexpr int kMissReachX = 4, kMissReachY = 2;

// A template that is not loaded would match everywhere (it has no pixels to compare), so it
// counts as no match.
int Match(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl, HitPos* hits,
          int many, int step, int tolerance, int mode) {
    if (tmpl.count <= 0) return 0;
    return MatchTemplate(image, x, y, w, h, tmpl, hits, many, step, tolerance, mode);
}

bool RowApplies(uint8_t condition, bool weapon) {
    switch (condition) {
        case kEveryKind:
            return true;
        case kWeaponsOnly:
            return weapon;
        case kNonWeaponsOnly:
            return !weapon;
        default:
            return false;
    }
}

void Mark(ParseTrace* trace, int index, int x, int y) {
    if (trace) trace->marks.push_back(ParseMark{index, x, y});
}

int IdentifyKind(const PixelBuffer& image, const GlyphPack& pack, int tolerance, ParseTrace* trace) {
    const int w = image.width, h = image.height;
    for (int kind = 0; kind < kKindCount; ++kind) {
        HitPos hit;
        const int index = kItemKinds[kind].templateIndex;
        if (Match(image, w / 2, 0, w / 2, h / 2, pack.Template(index), &hit, 0, 2, tolerance, kMatchExact)) {
            Mark(trace, index, hit.x, hit.y);
            return kind;
        }
    }
    return -1;
}

// Fewest mismatches of any kind caption found within the tolerance plus a margin, or -1.
int NearestKindMismatches(const PixelBuffer& image, const GlyphPack& pack, int tolerance) {
    const int w = image.width, h = image.height;
    int best = -1;
    for (int kind = 0; kind < kKindCount; ++kind) {
        const PixelBuffer& tmpl = pack.Template(kItemKinds[kind].templateIndex);
        HitPos hit;
        if (!Match(image, w / 2, 0, w / 2, h / 2, tmpl, &hit, 0, 2, tolerance + kKindNearMargin, kMatchExact))
            continue;
        const int m = CountMismatches(image, hit.x, hit.y, tmpl, 2, kMatchExact);
        const int ink = CountMismatches(PixelBuffer(tmpl.width, tmpl.height), 0, 0, tmpl, 2, kMatchExact);
        if (2 * m < ink && (best < 0 || m < best)) best = m;
    }
    return best;
}

// For a bullet whose caption matched nothing: the applicable caption that comes closest near
// where captions stand.
ParseMiss NearestCaption(const PixelBuffer& image, const GlyphPack& pack, int bullet, int cx, int cy,
                         bool weapon) {
    ParseMiss miss{bullet, -1, cx, cy, 0};
    for (const StatDescriptor& row : kStatDescriptors) {
        if (!RowApplies(row.condition, weapon)) continue;
        const PixelBuffer& caption = pack.Template(row.templateIndex);
        if (caption.count <= 0) continue;
        for (int dy = -kMissReachY; dy <= kMissReachY; ++dy)
            for (int dx = -kMissReachX; dx <= kMissReachX; ++dx) {
                const int m = CountMismatches(image, cx + dx, cy + dy, caption, 3, kMatchExact);
                if (miss.templateIndex < 0 || m < miss.mismatches)
                    miss = ParseMiss{bullet, row.templateIndex, cx + dx, cy + dy, m};
            }
    }
    return miss;
}

// Attacks per second beside its grey caption; the damage range above it in the game's plain white.
void ReadWeaponLine(const PixelBuffer& image, const GlyphPack& pack, int tolerance, ItemRecord& record,
                    ParseTrace* trace) {
    const GlyphLayout& layout = pack.layout;
    const StatDescriptor& row = kStatDescriptors[kAttacksPerSecondRow];
    const PixelBuffer& caption = pack.Template(row.templateIndex);
    HitPos hit;
    if (!Match(image, 0, 0, image.width / 2, image.height, caption, &hit, 0, 3, tolerance, kMatchExact)) {
        ShowAlert(kAlertNoWeaponLine);
        return;
    }
    Mark(trace, row.templateIndex, hit.x, hit.y);
    record.stats[row.stat] =
        ReadNumber(image, hit.x, hit.y, &caption, true, kMatchExact, 0, nullptr, pack, trace);
    HitPos end;
    record.stats[kWeaponMin] = ReadNumber(image, hit.x + layout.damageRight, hit.y - layout.damageUp, nullptr,
                                          true, kMatchWhiteOnly, 1, &end, pack, trace);
    record.stats[kWeaponMax] = ReadNumber(image, end.x + layout.damageGap, end.y, nullptr, true,
                                          kMatchWhiteOnly, 1, nullptr, pack, trace);
}

}  // namespace

int CountMismatches(const PixelBuffer& image, int x, int y, const PixelBuffer& tmpl, int step, int mode) {
    // The matcher's samples: every step-th column and row of the template.
    step = std::max(step, 1);
    int mismatches = 0;
    for (int tx = 0; tx < tmpl.width; tx += step)
        for (int ty = 0; ty < tmpl.height; ty += step) {
            const uint32_t want = PixelAt(tmpl, tx, ty);
            if (mode == kMatchInk && want == 0) continue;
            if (mode == kMatchWhiteOnly && want != 0xFFFFFF) continue;
            const int64_t px = int64_t(x) + tx, py = int64_t(y) + ty;
            const bool inside = px >= 0 && py >= 0 && px < image.width && py < image.height;
            mismatches += (inside ? PixelAt(image, px, py) : 0u) != want;
        }
    return mismatches;
}

float ReadNumber(const PixelBuffer& image, int x, int y, const PixelBuffer* label, bool white, int mode,
                 int tolerance, HitPos* end, const GlyphPack& pack, ParseTrace* trace) {
    const int digit0 = white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
    const int pointIndex = white ? kGlyphWhitePoint : kGlyphBluePoint;
    const PixelBuffer& point = pack.Template(pointIndex);
    // Every step moves right, whatever the layout says, and reading stops at the picture's right
    // edge: a number never takes more steps than the picture has columns.
    const int64_t digitAdvance = std::max(pack.layout.digitAdvance, 1);
    const int64_t pointAdvance = std::max(pack.layout.pointAdvance, 0);
    if (tolerance == 0) tolerance = gSettings.errorLimit[kValueTolerance];
    int64_t dx = label ? label->width : 0;
    int dy = 0;
    bool searching = mode == kMatchWhiteOnly;
    if (searching) dy = -1;
    bool fraction = false;
    float value = 0, divisor = 0;
    while (x + dx < image.width) {
        int digit = -1;
        for (int d = 0; d <= 9 && digit < 0; ++d) {
            HitPos hit;
            if (Match(image, int(x + dx), y + dy, 1, searching ? 2 : 1, pack.Template(digit0 + d), &hit, 0, 1,
                      tolerance, mode)) {
                digit = d;
                Mark(trace, digit0 + d, hit.x, hit.y);
                if (searching) {
                    dx = hit.x - x, dy = hit.y - y;
                    searching = false;
                }
            }
        }
        if (digit >= 0) {
            dx += digitAdvance;
            if (!fraction) {
                value = value * 10 + float(digit);
            } else {
                value = value + float(digit) / divisor;
                divisor *= 10;
            }
            continue;
        }
        if (fraction) break;
        HitPos hit;
        if (!Match(image, int(x + dx), y + dy, 1, 1, point, &hit, 0, 1, 1, mode)) break;
        Mark(trace, pointIndex, hit.x, hit.y);
        fraction = true;
        divisor = 10;
        dx += pointAdvance;
    }
    if (end) {
        if (value == std::trunc(value)) dx -= pointAdvance;  // an integer: take back the point's advance
        *end = HitPos{int16_t(x + dx), int16_t(y + dy)};
    }
    return value;
}

ItemRecord ParseItem(const PixelBuffer* tooltip, int set, const GlyphPack& pack, ParseTrace* trace) {
    if (!tooltip) return UnidentifiedItem();
    const PixelBuffer& image = *tooltip;
    const int kindTolerance = gSettings.errorLimit[kKindTolerance];
    const int optionTolerance = gSettings.errorLimit[kOptionTolerance];

    // One hit list per parse: the empty sockets are only counted, then the option bullets take
    // the list, ordered by x, then y.
    HitPos hits[kHitListSize];
    int sockets = Match(image, 0, 0, 0, 0, pack.Template(kGlyphEmptySocket), hits, 1, 1, 1, kMatchExact);
    if (trace)
        for (int i = 0; i < sockets; ++i) Mark(trace, kGlyphEmptySocket, hits[i].x, hits[i].y);
    int bullets = Match(image, 0, 0, 0, 0, pack.Template(kGlyphBullet), hits, 1, 3, 1, kMatchExact);
    if (trace)
        for (int i = 0; i < bullets; ++i) Mark(trace, kGlyphBullet, hits[i].x, hits[i].y);

    ItemRecord record;
    record.kind = IdentifyKind(image, pack, kindTolerance, trace);
    if (record.kind < 0) {
        ShowAlert(kAlertUnknownKind);
        const int near = NearestKindMismatches(image, pack, kindTolerance);
        if (trace) trace->kindMismatches = near;
        if (near >= 0)
            ShowAlert(kAlertKindNearLimit);
        else if (bullets == 0)
            ShowAlert(kAlertPackMismatch);
        return UnidentifiedItem();
    }
    const bool weapon = IsWeaponKind(record.kind);
    const SocketEffect socket =
        SocketChoice(record.kind, set, gSettings.socketOptions, gProfile.mainAttribute);
    if (weapon) ReadWeaponLine(image, pack, optionTolerance, record, trace);

    const GlyphLayout& layout = pack.layout;
    for (int b = 0; b < bullets; ++b) {
        const int cx = hits[b].x + layout.captionOffset, cy = hits[b].y;
        bool known = false;
        for (const StatDescriptor& row : kStatDescriptors) {
            if (!RowApplies(row.condition, weapon)) continue;
            const PixelBuffer& caption = pack.Template(row.templateIndex);
            HitPos hit;
            if (!Match(image, cx, cy, 1, 1, caption, &hit, 0, 3, optionTolerance, kMatchExact)) continue;
            known = true;
            Mark(trace, row.templateIndex, cx, cy);
            if (row.socket && socket.active) {
                ++sockets;
                continue;
            }
            if (row.stat < 0) continue;
            record.stats[row.stat] +=
                ReadNumber(image, cx, cy, &caption, row.white, kMatchExact, 0, nullptr, pack, trace);
            if (!row.range) continue;
            const int tildeIndex = row.white ? kGlyphWhiteTilde : kGlyphBlueTilde;
            const PixelBuffer& tilde = pack.Template(tildeIndex);
            HitPos t;
            if (Match(image, cx, cy, layout.tildeSearch, 1, tilde, &t, 0, 1, 5, kMatchExact)) {
                Mark(trace, tildeIndex, t.x, t.y);
                record.stats[row.stat + 1] +=
                    ReadNumber(image, t.x, t.y, &tilde, row.white, kMatchExact, 0, nullptr, pack, trace);
            }
        }
        if (trace && !known) trace->misses.push_back(NearestCaption(image, pack, b, cx, cy, weapon));
    }

    if (socket.active && socket.targetStat >= 0)
        for (int s = 0; s < sockets; ++s) record.stats[socket.targetStat] += socket.amount;
    return record;
}
