// The option parser and the number reader.
#include "reader/parser.h"

#include <cmath>

#include "base/catalogue.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "reader/glyphs.h"

namespace {

// Where the game puts things relative to each other; the glyph pictures are cut at this layout.
constexpr int kCaptionOffset = 11;  // option bullet to the caption's first column
constexpr int kDamageRight = 12;    // attacks-per-second caption to the damage line, columns
constexpr int kDamageUp = 19;       // ... and rows up (mode 2 also tries the row above)
constexpr int kMaxDamageGap = 8;    // end of the minimum damage to the start of the maximum
constexpr int kTildeSearch = 200;   // positions right of the caption start searched for "~"
constexpr int kDigitAdvance = 9;
constexpr int kPointAdvance = 4;

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

int IdentifyKind(const PixelBuffer& image, int tolerance) {
    const int w = image.width, h = image.height;
    for (int kind = 0; kind < kKindCount; ++kind) {
        HitPos hit;
        if (Match(image, w / 2, 0, w / 2, h / 2, GlyphTemplate(kItemKinds[kind].templateIndex), &hit, 0, 2,
                  tolerance, kMatchExact))
            return kind;
    }
    return -1;
}

// Attacks per second beside its grey caption; the damage range above it in the game's plain white.
void ReadWeaponLine(const PixelBuffer& image, int tolerance, ItemRecord& record) {
    const StatDescriptor& row = kStatDescriptors[kAttacksPerSecondRow];
    const PixelBuffer& caption = GlyphTemplate(row.templateIndex);
    HitPos hit;
    if (!Match(image, 0, 0, image.width / 2, image.height, caption, &hit, 0, 3, tolerance, kMatchExact)) {
        ShowAlert(kAlertNoWeaponLine);
        return;
    }
    record.stats[row.stat] = ReadNumber(image, hit.x, hit.y, &caption, true, kMatchExact, 0, nullptr);
    HitPos end;
    record.stats[kWeaponMin] =
        ReadNumber(image, hit.x + kDamageRight, hit.y - kDamageUp, nullptr, true, kMatchWhiteOnly, 1, &end);
    record.stats[kWeaponMax] =
        ReadNumber(image, end.x + kMaxDamageGap, end.y, nullptr, true, kMatchWhiteOnly, 1, nullptr);
}

}  // namespace

float ReadNumber(const PixelBuffer& image, int x, int y, const PixelBuffer* label, bool white, int mode,
                 int tolerance, HitPos* end) {
    const int digit0 = white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
    const PixelBuffer& point = GlyphTemplate(white ? kGlyphWhitePoint : kGlyphBluePoint);
    if (tolerance == 0) tolerance = gSettings.errorLimit[kValueTolerance];
    int dx = label ? label->width : 0, dy = 0;
    bool searching = mode == kMatchWhiteOnly;
    if (searching) dy = -1;
    bool fraction = false;
    float value = 0, divisor = 0;
    for (;;) {
        int digit = -1;
        for (int d = 0; d <= 9 && digit < 0; ++d) {
            HitPos hit;
            if (Match(image, x + dx, y + dy, 1, searching ? 2 : 1, GlyphTemplate(digit0 + d), &hit, 0, 1,
                      tolerance, mode)) {
                digit = d;
                if (searching) {
                    dx = hit.x - x, dy = hit.y - y;
                    searching = false;
                }
            }
        }
        if (digit >= 0) {
            dx += kDigitAdvance;
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
        if (!Match(image, x + dx, y + dy, 1, 1, point, &hit, 0, 1, 1, mode)) break;
        fraction = true;
        divisor = 10;
        dx += kPointAdvance;
    }
    if (end) {
        if (value == std::trunc(value)) dx -= kPointAdvance;  // an integer: take back the point's advance
        *end = HitPos{int16_t(x + dx), int16_t(y + dy)};
    }
    return value;
}

ItemRecord ParseItem(const PixelBuffer* tooltip, int set) {
    if (!tooltip) return UnidentifiedItem();
    const PixelBuffer& image = *tooltip;
    const int kindTolerance = gSettings.errorLimit[kKindTolerance];
    const int optionTolerance = gSettings.errorLimit[kOptionTolerance];

    // One hit list per parse: socket captions first, then the option bullets ordered by x, then y.
    HitPos hits[kHitListSize];
    int sockets = Match(image, 0, 0, 0, 0, GlyphTemplate(kGlyphEmptySocket), hits, 1, 1, 1, kMatchExact);
    int bullets = Match(image, 0, 0, 0, 0, GlyphTemplate(kGlyphBullet), hits, 1, 3, 1, kMatchExact);

    ItemRecord record;
    record.kind = IdentifyKind(image, kindTolerance);
    if (record.kind < 0) {
        ShowAlert(kAlertUnknownKind);
        return UnidentifiedItem();
    }
    const bool weapon = IsWeaponKind(record.kind);
    const SocketEffect socket =
        SocketChoice(record.kind, set, gSettings.socketOptions, gProfile.mainAttribute);
    if (weapon) ReadWeaponLine(image, optionTolerance, record);

    for (int b = 0; b < bullets; ++b) {
        const int cx = hits[b].x + kCaptionOffset, cy = hits[b].y;
        for (const StatDescriptor& row : kStatDescriptors) {
            if (!RowApplies(row.condition, weapon)) continue;
            const PixelBuffer& caption = GlyphTemplate(row.templateIndex);
            HitPos hit;
            if (!Match(image, cx, cy, 1, 1, caption, &hit, 0, 3, optionTolerance, kMatchExact)) continue;
            if (row.socket && socket.active) {
                ++sockets;
                continue;
            }
            if (row.stat < 0) continue;
            record.stats[row.stat] += ReadNumber(image, cx, cy, &caption, row.white, kMatchExact, 0, nullptr);
            if (!row.range) continue;
            const PixelBuffer& tilde = GlyphTemplate(row.white ? kGlyphWhiteTilde : kGlyphBlueTilde);
            HitPos t;
            if (Match(image, cx, cy, kTildeSearch, 1, tilde, &t, 0, 1, 5, kMatchExact))
                record.stats[row.stat + 1] +=
                    ReadNumber(image, t.x, t.y, &tilde, row.white, kMatchExact, 0, nullptr);
        }
    }

    if (socket.active && socket.targetStat >= 0)
        for (int s = 0; s < sockets; ++s) record.stats[socket.targetStat] += socket.amount;
    return record;
}
