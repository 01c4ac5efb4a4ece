// The option parser written literally, step by step as the reading rules give it.
#include "tests/support/reference_parser.h"

#include <cmath>

#include "base/catalogue.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "reader/glyphs.h"
#include "tests/support/reference_reader.h"

namespace {

// One matcher call as a bitmap-based matcher makes it: both pictures copied into fresh buffers.
int Match(const PixelBuffer& image, int x, int y, int w, int h, const PixelBuffer& tmpl, HitPos* hits,
          int many, int step, int tolerance, int mode) {
    if (tmpl.count <= 0) return 0;  // a picture that is not loaded matches nothing
    PixelBuffer imageCopy = image;
    PixelBuffer tmplCopy = tmpl;
    return ReferenceMatchTemplate(imageCopy, x, y, w, h, tmplCopy, hits, many, step, tolerance, mode);
}

}  // namespace

float ReferenceReadNumber(const PixelBuffer& image, int x, int y, const PixelBuffer* label, bool white,
                          int mode, int tolerance, HitPos* end) {
    int dx = label ? label->width : 0;
    int dy = 0;
    bool searching = false;
    float divisor = 0;
    float value = 0;
    if (tolerance == 0) tolerance = gSettings.errorLimit[2];
    if (mode == 2) {
        dy = -1;
        searching = true;
    }
    for (;;) {
        bool matched = false;
        for (int d = 0; d <= 9; ++d) {
            HitPos hit;
            const PixelBuffer& digit = GlyphTemplate((white ? 13 : 1) + d);
            if (!Match(image, x + dx, y + dy, 1, searching ? 2 : 1, digit, &hit, 0, 1, tolerance, mode))
                continue;
            if (searching) {
                dx = hit.x - x;
                dy = hit.y - y;
                searching = false;
            }
            dx += 9;
            if (divisor == 0) {
                value = value * 10 + float(d);
            } else {
                value = value + float(d) / divisor;
                divisor *= 10;
            }
            matched = true;
            break;
        }
        if (matched) continue;
        if (divisor != 0) break;
        HitPos hit;
        if (!Match(image, x + dx, y + dy, 1, 1, GlyphTemplate(white ? 23 : 11), &hit, 0, 1, 1, mode)) break;
        divisor = 10;
        dx += 4;
    }
    if (end) {
        if (value == std::trunc(value)) dx -= 4;
        end->x = int16_t(x + dx);
        end->y = int16_t(y + dy);
    }
    return value;
}

ItemRecord ReferenceParseItem(const PixelBuffer* tooltip, int set) {
    ItemRecord record;
    if (!tooltip) {
        record.kind = -1;
        return record;
    }
    const PixelBuffer& image = *tooltip;
    HitPos hitList[20];
    int sockets = Match(image, 0, 0, 0, 0, GlyphTemplate(88), hitList, 1, 1, 1, 0);
    int bullets = Match(image, 0, 0, 0, 0, GlyphTemplate(0), hitList, 1, 3, 1, 0);
    const int w = image.width, h = image.height;

    int kind = -1;
    for (int i = 0; i <= 12; ++i) {
        HitPos hit;
        if (Match(image, w / 2, 0, w / 2, h / 2, GlyphTemplate(kItemKinds[i].templateIndex), &hit, 0, 2,
                  gSettings.errorLimit[0], 0)) {
            kind = i;
            break;
        }
    }
    if (kind == -1) {
        ShowAlert(u"아이템 종류 식별 불가.");
        record.kind = -1;
        return record;
    }
    record.kind = kind;
    const SocketEffect choice = SocketChoice(kind, set, gSettings.socketOptions, gProfile.mainAttribute);
    const bool weapon = kind == 1 || kind == 2;

    if (weapon) {
        const PixelBuffer& caption = GlyphTemplate(kStatDescriptors[2].templateIndex);
        HitPos hit;
        if (Match(image, 0, 0, w / 2, h, caption, &hit, 0, 3, gSettings.errorLimit[1], 0)) {
            record.stats[kStatDescriptors[2].stat] =
                ReferenceReadNumber(image, hit.x, hit.y, &caption, true, 0, 0, nullptr);
            HitPos e;
            record.stats[19] = ReferenceReadNumber(image, hit.x + 12, hit.y - 19, nullptr, true, 2, 1, &e);
            record.stats[20] = ReferenceReadNumber(image, e.x + 8, e.y, nullptr, true, 2, 1, nullptr);
        } else {
            ShowAlert(u"무기 고유 옵션 발견 못함.");
        }
    }

    for (int b = 0; b < bullets; ++b) {
        const int bx = hitList[b].x, by = hitList[b].y;
        for (int r = 0; r < 40; ++r) {
            const StatDescriptor& row = kStatDescriptors[r];
            if (row.condition == 0) continue;
            if (row.condition == 2 && !weapon) continue;
            if (row.condition == 3 && weapon) continue;
            const PixelBuffer& caption = GlyphTemplate(row.templateIndex);
            HitPos hit;
            if (!Match(image, bx + 11, by, 1, 1, caption, &hit, 0, 3, gSettings.errorLimit[1], 0)) continue;
            if (row.socket == 1 && choice.active) {
                sockets += 1;
            } else if (row.stat == -1) {
            } else {
                float v = ReferenceReadNumber(image, bx + 11, by, &caption, row.white == 1, 0, 0, nullptr);
                record.stats[row.stat] += v;
                if (row.range == 1) {
                    const PixelBuffer& tilde = GlyphTemplate(row.white ? 24 : 12);
                    HitPos t;
                    if (Match(image, bx + 11, by, 200, 1, tilde, &t, 0, 1, 5, 0))
                        record.stats[row.stat + 1] +=
                            ReferenceReadNumber(image, t.x, t.y, &tilde, row.white == 1, 0, 0, nullptr);
                }
            }
        }
    }

    if (choice.active && choice.targetStat >= 0)
        for (int s = 0; s < sockets; ++s) record.stats[choice.targetStat] += choice.amount;
    return record;
}

ItemRecord ReferenceReadScreen(const PixelBuffer& screen, int set, TooltipRect* rect) {
    TooltipRect found;
    if (!ReferenceFindTooltip(screen, found)) {
        ShowAlert(u"툴팁을 발견하지 못하였음.");
        return UnidentifiedItem();
    }
    PixelBuffer tooltip(found.width, found.height);
    for (int y = 0; y < found.height; ++y)
        for (int x = 0; x < found.width; ++x)
            tooltip.pixels[size_t(y) * found.width + x] = PixelAt(screen, found.x + x, found.y + y);
    if (rect) *rect = found;
    return ReferenceParseItem(&tooltip, set);
}
