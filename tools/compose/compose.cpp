// The tooltip composer: scene descriptions, the tooltip layout and the desktop background.
#include "tools/compose/compose.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "base/catalogue.h"
#include "reader/glyphs.h"

namespace {

// The game's tooltip layout, as the reader expects it. Every placement rule is here.
constexpr int kBulletToCaption = 11;  // bullet's left column to the caption's
constexpr int kDamageRight = 12;      // attacks-per-second caption to the damage line, columns
constexpr int kDamageRiseLow = 19;    // ... and rows up: the reader tries both
constexpr int kDamageRiseHigh = 20;
constexpr int kMaxDamageGap = 8;  // end of the minimum damage to the maximum's first digit
constexpr int kDigitAdvance = 9;
constexpr int kPointAdvance = 4;
constexpr int kTildeAdvance = 8;  // tilde's left column to the maximum's first digit
constexpr int kLinePitch = 18;    // one option line to the next
constexpr int kLeft = 16;         // bullets and the weapon caption, from the body's left edge
constexpr int kSlotRight = 16;    // slot caption's right end, from the body's right edge
constexpr int kSlotTop = 12;
constexpr int kDamageTop = 36;             // the weapon's damage line
constexpr int kFirstLine = 44;             // first option line without a weapon block
constexpr int kFirstLineWeapon = 90;       // ... and below one
constexpr int kEdgeClear = 4;              // nothing is drawn this close to the body's edges
constexpr int kTailWidth = 8;              // made-up "%" after a value
constexpr uint32_t kSeparator = 0xB4B4B4;  // the dash between the damage numbers: not pure white

// Small deterministic generator (xorshift), so a scene always composes to the same picture.
struct Rng {
    uint64_t s;
    explicit Rng(uint64_t seed) : s(seed * 0x9E3779B97F4A7C15ull + 0x2545F4914F6CDD1Dull) {}
    uint32_t Next() {
        s ^= s << 13, s ^= s >> 7, s ^= s << 17;
        return uint32_t(s >> 11);
    }
    int Range(int lo, int hi) { return lo + int(Next() % uint32_t(hi - lo + 1)); }
};

struct Box {
    int x0, y0, x1, y1;  // inclusive-exclusive
};

bool Fail(std::string& error, std::string why) {
    error = std::move(why);
    return false;
}

bool IsNumberText(std::string_view s) {
    if (s.empty() || s.size() > 12 || s.front() == '.' || s.back() == '.') return false;
    int points = 0;
    for (char c : s) {
        if (c == '.')
            ++points;
        else if (c < '0' || c > '9')
            return false;
    }
    return points <= 1;
}

int NumberWidth(std::string_view s) {
    int w = 0;
    for (char c : s) w += c == '.' ? kPointAdvance : kDigitAdvance;
    return w;
}

uint32_t Scale(uint32_t colour, int num, int den) {
    uint32_t r = (colour & 0xFF) * num / den, g = ((colour >> 8) & 0xFF) * num / den,
             b = ((colour >> 16) & 0xFF) * num / den;
    return r | g << 8 | b << 16;
}

// Made-up text: 9-column pieces cut from the inside of real captions of the same colour (or
// recoloured ones), so it looks like game text but never starts like a known caption.
void DrawMadeUpText(PixelBuffer& image, int x, int y, int width, int height, uint32_t colour) {
    static const int kBlueSources[] = {37, 40, 44, 49, 50, 51, 69, 70, 76};
    static const int kWhiteSources[] = {52, 82, 83, 84, 86};
    const bool white = colour == kWhite;
    Rng rng(uint64_t(x) * 7919 + uint64_t(y) * 104729 + uint64_t(width));
    for (int top = y; top + 10 <= y + height; top += 14) {
        for (int left = x; left < x + width; left += 9) {
            int src = white ? kWhiteSources[rng.Next() % std::size(kWhiteSources)]
                            : kBlueSources[rng.Next() % std::size(kBlueSources)];
            const PixelBuffer& t = GlyphTemplate(src);
            if (t.width < 30) continue;
            int from = rng.Range(9, t.width - 18);
            for (int col = 0; col < 9 && left + col < x + width; ++col)
                for (int row = 0; row < std::min(10, t.height); ++row) {
                    uint32_t p = PixelAt(t, from + col, row);
                    if (!p) continue;
                    if (colour != kBlue && colour != kWhite) p = Scale(colour, (p >> 16) & 0xFF, 255);
                    if (!p) continue;
                    int px = left + col, py = top + row;
                    if (px >= 0 && py >= 0 && px < image.width && py < image.height)
                        image.pixels[size_t(py) * image.width + px] = p;
                }
        }
    }
}

int SlotTemplate(int kind) {
    return kItemKinds[kind].templateIndex;
}

// Lays out and draws the body's content; every element must stay inside `inside`.
bool DrawContent(const TooltipScene& scene, PixelBuffer& body, std::string& error) {
    const Box inside{kEdgeClear, kEdgeClear, body.width - kEdgeClear, body.height - kEdgeClear};
    auto fits = [&](int x, int y, int w, int h) {
        return x >= inside.x0 && y >= inside.y0 && x + w <= inside.x1 && y + h <= inside.y1;
    };
    if (scene.kind >= 0) {
        const PixelBuffer& t = GlyphTemplate(SlotTemplate(scene.kind));
        int x = body.width - kSlotRight - t.width;
        if (!fits(x, kSlotTop, t.width, t.height) || x < body.width / 2)
            return Fail(error, "the slot caption does not fit in the upper-right quarter");
        DrawGlyph(body, x, kSlotTop, SlotTemplate(scene.kind));
    }
    if (scene.weapon) {
        const PixelBuffer& t = GlyphTemplate(36);
        int hx = kLeft, hy = kDamageTop + scene.damageRise;
        int width = t.width + NumberWidth(scene.attacksPerSecond);
        int damageWidth = NumberWidth(scene.minDamage) + kMaxDamageGap + NumberWidth(scene.maxDamage);
        if (!fits(hx, hy, width, t.height) || !fits(hx + kDamageRight, kDamageTop, damageWidth, 11))
            return Fail(error, "the weapon lines do not fit in the tooltip");
        DrawGlyph(body, hx, hy, 36);
        DrawNumber(body, hx + t.width, hy, scene.attacksPerSecond, true);
        DrawDamageRange(body, hx + kDamageRight, kDamageTop, scene.minDamage, scene.maxDamage);
    }
    int cx = kLeft, cy = scene.weapon ? kFirstLineWeapon : kFirstLine;
    for (size_t i = 0; i < scene.lines.size(); ++i) {
        const ComposeLine& line = scene.lines[i];
        std::string where = "line " + std::to_string(i + 1) + " of the tooltip";
        if (line.type == ComposeLine::kText) {
            if (!fits(line.x, line.y, line.width, line.height)) return Fail(error, where + " does not fit");
            DrawMadeUpText(body, line.x, line.y, line.width, line.height, line.colour);
            continue;
        }
        if (line.placed) cx = line.x, cy = line.y;
        const int tx = cx + kBulletToCaption;
        int right = tx, bottom = cy + 11;
        if (line.type == ComposeLine::kOption) {
            const StatDescriptor& row = kStatDescriptors[line.row];
            const PixelBuffer& t = GlyphTemplate(row.templateIndex);
            bool white = row.white;
            right = tx + t.width + NumberWidth(line.value);
            if (!line.maxValue.empty()) right += kTildeAdvance + NumberWidth(line.maxValue);
            right += line.tailWidth;
            if (!fits(cx, cy, right - cx, bottom - cy)) return Fail(error, where + " does not fit");
            DrawGlyph(body, cx, cy, kGlyphBullet);
            DrawGlyph(body, tx, cy, row.templateIndex);
            int end = DrawNumber(body, tx + t.width, cy, line.value, white);
            if (!line.maxValue.empty()) {
                DrawGlyph(body, end, cy, white ? kGlyphWhiteTilde : kGlyphBlueTilde);
                end = DrawNumber(body, end + kTildeAdvance, cy, line.maxValue, white);
            }
            if (line.tailWidth) DrawMadeUpText(body, end, cy, line.tailWidth, 10, white ? kWhite : kBlue);
        } else if (line.type == ComposeLine::kRaw) {
            right = tx + line.width + NumberWidth(line.value) + line.tailWidth;
            if (!fits(cx, cy, right - cx, bottom - cy)) return Fail(error, where + " does not fit");
            DrawGlyph(body, cx, cy, kGlyphBullet);
            DrawMadeUpText(body, tx, cy, line.width, 10, line.white ? kWhite : kBlue);
            int end = DrawNumber(body, tx + line.width, cy, line.value, line.white);
            if (line.tailWidth)
                DrawMadeUpText(body, end, cy, line.tailWidth, 10, line.white ? kWhite : kBlue);
        } else if (line.type == ComposeLine::kEmptySocket) {
            const PixelBuffer& t = GlyphTemplate(kGlyphEmptySocket);
            if (!fits(tx, cy, t.width, t.height)) return Fail(error, where + " does not fit");
            DrawGlyph(body, tx, cy, kGlyphEmptySocket);
        } else {
            if (!fits(cx, cy, 2, 10)) return Fail(error, where + " does not fit");
            DrawGlyph(body, cx, cy, kGlyphBullet);
        }
        cy += kLinePitch;
    }
    return true;
}

bool CheckScene(const TooltipScene& s, std::string& error) {
    if (GlyphTemplate(kGlyphBullet).count == 0) return Fail(error, "the glyph set is not loaded");
    if (s.width < 301 || s.height < 201) return Fail(error, "the tooltip must be at least 301 x 201");
    if (s.width > 4096 || s.height > 4096) return Fail(error, "the tooltip is larger than 4096 x 4096");
    if (s.kind < -1 || s.kind >= kKindCount) return Fail(error, "kind out of range");
    if (s.weapon &&
        (!IsNumberText(s.attacksPerSecond) || !IsNumberText(s.minDamage) || !IsNumberText(s.maxDamage)))
        return Fail(error, "weapon numbers must be digits with an optional fraction");
    if (s.weapon && s.damageRise != 19 && s.damageRise != 20)
        return Fail(error, "the damage line rises 19 or 20 rows");
    for (const ComposeLine& line : s.lines) {
        bool number = line.type == ComposeLine::kOption || line.type == ComposeLine::kRaw;
        if (line.type == ComposeLine::kOption && (line.row < 0 || line.row >= kDescriptorCount))
            return Fail(error, "descriptor row out of range");
        if (number && !IsNumberText(line.value))
            return Fail(error, "a value must be digits with an optional fraction");
        if (!line.maxValue.empty() && !IsNumberText(line.maxValue))
            return Fail(error, "bad maximum of a range");
        if (line.width < 0 || line.height < 0 || line.width > 4096 || line.height > 4096)
            return Fail(error, "bad text size");
    }
    return true;
}

void PaintBackground(const TooltipScene& s, PixelBuffer& screen) {
    Rng rng(s.seed);
    const int w = s.screenWidth, h = s.screenHeight;
    // A diagonal gradient between two muted colours.
    uint32_t a = 0x202020 | (rng.Next() & 0x7F7F7F), b = 0x202020 | (rng.Next() & 0x7F7F7F);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int t = int((int64_t(x) * 256 / w + int64_t(y) * 256 / h) / 2);
            uint32_t c = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                int ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
                c |= uint32_t(ca + (cb - ca) * t / 256) << shift;
            }
            screen.pixels[size_t(y) * w + x] = c;
        }
    auto fill = [&](int x0, int y0, int x1, int y1, uint32_t c) {
        for (int y = std::max(0, y0); y < std::min(h, y1); ++y)
            for (int x = std::max(0, x0); x < std::min(w, x1); ++x) screen.pixels[size_t(y) * w + x] = c;
    };
    // Application windows with a title bar, and a taskbar.
    for (int i = 0; i < 6; ++i) {
        int ww = rng.Range(w / 8, w / 3), wh = rng.Range(h / 8, h / 2);
        int x = rng.Range(0, w - 1), y = rng.Range(0, h - 1);
        uint32_t body = 0x303030 | (rng.Next() & 0xCFCFCF), title = 0x101010 | (rng.Next() & 0x6F6F6F);
        fill(x, y, x + ww, y + wh, body);
        fill(x, y, x + ww, y + 24, title);
    }
    fill(0, h - std::min(40, h / 20), w, h, 0x3A2A20);
    for (int64_t i = int64_t(w) * h * s.noisePercent / 100; i > 0; --i) {
        size_t p = size_t(rng.Next() % uint32_t(w)) + size_t(rng.Next() % uint32_t(h)) * w;
        screen.pixels[p] ^= rng.Next() & 0x1F1F1F;
    }
    // Nothing outside the tooltip may be pure black, except the small decoys below.
    for (uint32_t& p : screen.pixels)
        if (p == 0) p = 0x010101;
    const Box tip{s.x - 4, s.y - 4, s.x + s.width + 4, s.y + s.height + 4};
    std::vector<Box> placed;
    auto apart = [](const Box& p, const Box& q) {
        return p.x1 <= q.x0 || q.x1 <= p.x0 || p.y1 <= q.y0 || q.y1 <= p.y0;
    };
    for (int i = 0, tries = 0; i < s.decoys && tries < 200; ++tries) {
        // Shorter than a tooltip's left edge, so the locator never tests them.
        int dw = rng.Range(20, 400), dh = rng.Range(10, 180);
        if (dw >= w || dh >= h) continue;
        int x = rng.Range(0, w - dw), y = rng.Range(0, h - dh);
        Box d{x, y, x + dw, y + dh}, grown{x - 4, y - 4, x + dw + 4, y + dh + 4};
        if (!apart(grown, tip)) continue;
        if (!std::all_of(placed.begin(), placed.end(), [&](const Box& q) { return apart(grown, q); }))
            continue;
        placed.push_back(d);
        fill(d.x0, d.y0, d.x1, d.y1, 0);
        ++i;
    }
}

bool ParseInt(const std::string& token, int& out) {
    auto [p, ec] = std::from_chars(token.data(), token.data() + token.size(), out);
    return ec == std::errc() && p == token.data() + token.size();
}

}  // namespace

ComposeLine OptionLine(int row, std::string value, std::string maxValue) {
    ComposeLine l;
    l.type = ComposeLine::kOption, l.row = row, l.value = std::move(value), l.maxValue = std::move(maxValue);
    return l;
}

ComposeLine RawLine(int width, std::string value, bool white) {
    ComposeLine l;
    l.type = ComposeLine::kRaw, l.width = width, l.value = std::move(value), l.white = white;
    return l;
}

ComposeLine EmptySocketLine() {
    ComposeLine l;
    l.type = ComposeLine::kEmptySocket;
    return l;
}

ComposeLine BulletLine() {
    ComposeLine l;
    l.type = ComposeLine::kBullet;
    return l;
}

ComposeLine TextBlock(int x, int y, int width, int height, uint32_t colour) {
    ComposeLine l;
    l.type = ComposeLine::kText, l.x = x, l.y = y, l.width = width, l.height = height, l.colour = colour;
    return l;
}

ComposeLine PlacedAt(ComposeLine line, int x, int y) {
    line.placed = true, line.x = x, line.y = y;
    return line;
}

void DrawGlyph(PixelBuffer& image, int x, int y, int templateIndex) {
    const PixelBuffer& t = GlyphTemplate(templateIndex);
    for (int row = 0; row < t.height; ++row)
        for (int col = 0; col < t.width; ++col) {
            uint32_t p = t.pixels[size_t(row) * t.width + col];
            int px = x + col, py = y + row;
            if (p && px >= 0 && py >= 0 && px < image.width && py < image.height)
                image.pixels[size_t(py) * image.width + px] = p;
        }
}

int DrawNumber(PixelBuffer& image, int x, int y, std::string_view number, bool white) {
    for (char c : number) {
        if (c == '.') {
            DrawGlyph(image, x, y, white ? kGlyphWhitePoint : kGlyphBluePoint);
            x += kPointAdvance;
        } else if (c >= '0' && c <= '9') {
            DrawGlyph(image, x, y, (white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0) + (c - '0'));
            x += kDigitAdvance;
        }
    }
    return x;
}

void DrawDamageRange(PixelBuffer& image, int x, int y, std::string_view minDamage,
                     std::string_view maxDamage) {
    int end = DrawNumber(image, x, y, minDamage, true);
    for (int col = end + 2; col < end + kMaxDamageGap - 2; ++col) {
        int row = y + 5;
        if (col >= 0 && row >= 0 && col < image.width && row < image.height)
            image.pixels[size_t(row) * image.width + col] = kSeparator;
    }
    DrawNumber(image, end + kMaxDamageGap, y, maxDamage, true);
}

bool ComposeTooltip(const TooltipScene& scene, PixelBuffer& tooltip, std::string& error) {
    if (!CheckScene(scene, error)) return false;
    PixelBuffer body(scene.width, scene.height);
    if (!DrawContent(scene, body, error)) return false;
    tooltip = std::move(body);
    return true;
}

bool ComposeScreen(const TooltipScene& scene, PixelBuffer& screen, std::string& error) {
    if (scene.screenWidth < 1 || scene.screenHeight < 1 || scene.screenWidth > 16384 ||
        scene.screenHeight > 16384)
        return Fail(error, "screen size out of range");
    if (scene.x < 0 || scene.y < 0 || int64_t(scene.x) + scene.width > scene.screenWidth ||
        int64_t(scene.y) + scene.height > scene.screenHeight)
        return Fail(error, "the tooltip does not fit on the screen");
    if (scene.noisePercent < 0 || scene.noisePercent > 100) return Fail(error, "noise must be 0..100");
    if (scene.noTooltip) {
        PixelBuffer out(scene.screenWidth, scene.screenHeight);
        PaintBackground(scene, out);
        screen = std::move(out);
        return true;
    }
    PixelBuffer body;
    if (!ComposeTooltip(scene, body, error)) return false;
    PixelBuffer out(scene.screenWidth, scene.screenHeight);
    PaintBackground(scene, out);
    for (int row = 0; row < body.height; ++row)
        std::copy_n(body.pixels.begin() + size_t(row) * body.width, body.width,
                    out.pixels.begin() + size_t(scene.y + row) * out.width + scene.x);
    screen = std::move(out);
    return true;
}

bool ParseScene(std::string_view text, TooltipScene& scene, std::string& error) {
    TooltipScene s;
    std::istringstream in{std::string(text)};
    std::string raw;
    bool pendingAt = false;
    int atX = 0, atY = 0;
    for (int lineNo = 1; std::getline(in, raw); ++lineNo) {
        if (size_t hash = raw.find('#'); hash != std::string::npos) raw.resize(hash);
        std::istringstream words(raw);
        std::vector<std::string> t;
        for (std::string w; words >> w;) t.push_back(w);
        if (t.empty()) continue;
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        const std::string& d = t[0];
        const size_t n = t.size() - 1;
        std::vector<int> v(n);
        auto ints = [&](size_t from, size_t count) {
            for (size_t i = from; i < from + count; ++i)
                if (i >= n || !ParseInt(t[i + 1], v[i])) return false;
            return true;
        };
        ComposeLine line;
        bool isLine = false;
        if (d == "screen" && n == 2 && ints(0, 2)) {
            s.screenWidth = v[0], s.screenHeight = v[1];
        } else if (d == "seed" && n == 1 && ints(0, 1) && v[0] >= 0) {
            s.seed = uint32_t(v[0]);
        } else if (d == "noise" && n == 1 && ints(0, 1)) {
            s.noisePercent = v[0];
        } else if (d == "decoys" && n == 1 && ints(0, 1) && v[0] >= 0 && v[0] <= 50) {
            s.decoys = v[0];
        } else if (d == "tooltip" && n == 1 && t[1] == "none") {
            s.noTooltip = true;
        } else if (d == "tooltip" && n == 4 && ints(0, 4)) {
            s.x = v[0], s.y = v[1], s.width = v[2], s.height = v[3];
        } else if (d == "kind" && n == 1 && ints(0, 1)) {
            s.kind = v[0];
        } else if (d == "weapon" && (n == 3 || (n == 4 && ParseInt(t[4], s.damageRise)))) {
            s.weapon = true, s.attacksPerSecond = t[1], s.minDamage = t[2], s.maxDamage = t[3];
        } else if ((d == "line" || d == "gem") && n >= 2 && n <= 4 && ints(0, 1)) {
            bool tail = t.back() == "%";
            size_t values = n - 1 - (tail ? 1 : 0);
            if (values < 1 || values > 2) return Fail(error, where + "expected ROW NUMBER [MAX] [%]");
            line = OptionLine(v[0], t[2], values == 2 ? t[3] : "");
            if (tail) line.tailWidth = kTailWidth;
            if (d == "gem" && (v[0] < 0 || v[0] >= kDescriptorCount || !kStatDescriptors[v[0]].socket))
                return Fail(error, where + "gem lines use the socketed-gem rows 30..39");
            isLine = true;
        } else if (d == "raw" && n >= 2 && n <= 4 && ints(0, 1)) {
            bool tail = t.back() == "%";
            bool white = n >= 3 && t[3] == "white";
            if (n != 2 + size_t(tail) + size_t(white))
                return Fail(error, where + "expected WIDTH NUMBER [white] [%]");
            line = RawLine(v[0], t[2], white), isLine = true;
            if (tail) line.tailWidth = kTailWidth;
        } else if (d == "empty_socket" && n == 0) {
            line = EmptySocketLine(), isLine = true;
        } else if (d == "bullet" && n == 0) {
            line = BulletLine(), isLine = true;
        } else if (d == "text" && n == 5 && ints(0, 4)) {
            unsigned rgb = 0;
            auto [p, ec] = std::from_chars(t[5].data(), t[5].data() + t[5].size(), rgb, 16);
            if (ec != std::errc() || p != t[5].data() + t[5].size() || t[5].size() != 6)
                return Fail(error, where + "colour must be RRGGBB");
            line = TextBlock(v[0], v[1], v[2], v[3], RgbValue(rgb >> 16, rgb >> 8, rgb)), isLine = true;
        } else if (d == "at" && n == 2 && ints(0, 2)) {
            pendingAt = true, atX = v[0], atY = v[1];
        } else {
            return Fail(error, where + "cannot read '" + raw + "'");
        }
        const bool hasNumber = line.type == ComposeLine::kOption || line.type == ComposeLine::kRaw;
        if (isLine && hasNumber &&
            !(IsNumberText(line.value) && (line.maxValue.empty() || IsNumberText(line.maxValue))))
            return Fail(error, where + "a value must be digits with an optional fraction");
        if (d == "weapon" &&
            !(IsNumberText(s.attacksPerSecond) && IsNumberText(s.minDamage) && IsNumberText(s.maxDamage)))
            return Fail(error, where + "weapon numbers must be digits with an optional fraction");
        if (isLine) {
            if (pendingAt && line.type != ComposeLine::kText)
                line = PlacedAt(line, atX, atY), pendingAt = false;
            s.lines.push_back(std::move(line));
        }
    }
    scene = std::move(s);
    return true;
}
