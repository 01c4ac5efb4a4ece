// The tooltip composer: scene descriptions, the tooltip layout and the desktop background.
#include "tools/compose/compose.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "base/catalogue.h"
#include "reader/digit_grid.h"
#include "reader/glyphs.h"

namespace {

// The game's tooltip layout, as the reader expects it: the pack's layout says where the reader
// looks from what it found (bullet to caption, digit and point advances, the damage line's place
// and gap; the damage line may also stand one row higher, the reader tries both), the placement
// where things stand in the body. A scene text always composes at the default placement.
constexpr uint32_t kSeparator = 0xB4B4B4;  // the dash between the damage numbers: not pure white

struct PlacementField {
    const char* name;
    int ComposePlacement::*value;
};
constexpr PlacementField kPlacementFields[] = {
    {"line_pitch", &ComposePlacement::linePitch},
    {"left", &ComposePlacement::left},
    {"slot_right", &ComposePlacement::slotRight},
    {"slot_top", &ComposePlacement::slotTop},
    {"damage_top", &ComposePlacement::damageTop},
    {"first_line", &ComposePlacement::firstLine},
    {"first_line_weapon", &ComposePlacement::firstLineWeapon},
    {"edge_clear", &ComposePlacement::edgeClear},
    {"line_height", &ComposePlacement::lineHeight},
    {"tilde_advance", &ComposePlacement::tildeAdvance},
    {"tail_width", &ComposePlacement::tailWidth},
    {"text_piece", &ComposePlacement::textPiece},
    {"text_pitch", &ComposePlacement::textPitch},
    {"separator_row", &ComposePlacement::separatorRow},
    {"separator_inset", &ComposePlacement::separatorInset},
};
constexpr int kMaxPlacementValue = 1000;

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


int NumberWidth(std::string_view s, const GlyphLayout& layout) {
    int w = 0;
    for (char c : s) w += c == '.' ? layout.pointAdvance : layout.digitAdvance;
    return w;
}

const GlyphPack& PackOf(const TooltipScene& scene) {
    return scene.pack ? *scene.pack : BuiltInPack();
}

uint32_t Scale(uint32_t colour, int num, int den) {
    uint32_t r = (colour & 0xFF) * num / den, g = ((colour >> 8) & 0xFF) * num / den,
             b = ((colour >> 16) & 0xFF) * num / den;
    return r | g << 8 | b << 16;
}

// Made-up text: pieces (9 columns at the default placement) cut from the inside of real captions
// of the same colour (or recoloured ones), so it looks like game text but never starts like a
// known caption.
void DrawMadeUpText(PixelBuffer& image, int x, int y, int width, int height, uint32_t colour,
                    const GlyphPack& pack, const ComposePlacement& place) {
    static const int kBlueSources[] = {37, 40, 44, 49, 50, 51, 69, 70, 76};
    static const int kWhiteSources[] = {52, 82, 83, 84, 86};
    const bool white = colour == kWhite;
    const int piece = std::max(place.textPiece, 1), rows = place.lineHeight;
    Rng rng(uint64_t(x) * 7919 + uint64_t(y) * 104729 + uint64_t(width));
    for (int top = y; top + rows <= y + height; top += std::max(place.textPitch, 1)) {
        for (int left = x; left < x + width; left += piece) {
            int src = white ? kWhiteSources[rng.Next() % std::size(kWhiteSources)]
                            : kBlueSources[rng.Next() % std::size(kBlueSources)];
            const PixelBuffer& t = pack.Template(src);
            if (t.width < 30 || t.width - 2 * piece < piece) continue;
            int from = rng.Range(piece, t.width - 2 * piece);
            for (int col = 0; col < piece && left + col < x + width; ++col)
                for (int row = 0; row < std::min(rows, t.height); ++row) {
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
    const GlyphPack& pack = PackOf(scene);
    const GlyphLayout& layout = pack.layout;
    const ComposePlacement& place = scene.placement;
    const int edge = place.edgeClear, textRows = place.lineHeight;
    const Box inside{edge, edge, body.width - edge, body.height - edge};
    auto fits = [&](int x, int y, int w, int h) {
        return x >= inside.x0 && y >= inside.y0 && x + w <= inside.x1 && y + h <= inside.y1;
    };
    if (scene.kind >= 0) {
        const PixelBuffer& t = pack.Template(SlotTemplate(scene.kind));
        int x = body.width - place.slotRight - t.width;
        if (!fits(x, place.slotTop, t.width, t.height) || x < body.width / 2)
            return Fail(error, "the slot caption does not fit in the upper-right quarter");
        DrawGlyph(body, x, place.slotTop, SlotTemplate(scene.kind), pack);
    }
    if (scene.weapon) {
        const PixelBuffer& t = pack.Template(36);
        int hx = place.left, hy = place.damageTop + scene.damageRise;
        int width = t.width + NumberWidth(scene.attacksPerSecond, layout);
        int damageWidth =
            NumberWidth(scene.minDamage, layout) + layout.damageGap + NumberWidth(scene.maxDamage, layout);
        if (!fits(hx, hy, width, t.height) ||
            !fits(hx + layout.damageRight, place.damageTop, damageWidth, textRows + 1))
            return Fail(error, "the weapon lines do not fit in the tooltip");
        DrawGlyph(body, hx, hy, 36, pack);
        DrawNumber(body, hx + t.width, hy, scene.attacksPerSecond, true, pack);
        DrawDamageRange(body, hx + layout.damageRight, place.damageTop, scene.minDamage, scene.maxDamage,
                        pack, place);
    }
    int cx = place.left, cy = scene.weapon ? place.firstLineWeapon : place.firstLine;
    for (size_t i = 0; i < scene.lines.size(); ++i) {
        const ComposeLine& line = scene.lines[i];
        std::string where = "line " + std::to_string(i + 1) + " of the tooltip";
        if (line.type == ComposeLine::kText) {
            if (!fits(line.x, line.y, line.width, line.height)) return Fail(error, where + " does not fit");
            DrawMadeUpText(body, line.x, line.y, line.width, line.height, line.colour, pack, place);
            continue;
        }
        if (line.placed) cx = line.x, cy = line.y;
        const int tx = cx + layout.captionOffset;
        int right = tx, bottom = cy + textRows + 1;
        if (line.type == ComposeLine::kOption) {
            const StatDescriptor& row = kStatDescriptors[line.row];
            const PixelBuffer& t = pack.Template(row.templateIndex);
            bool white = row.white;
            right = tx + t.width + NumberWidth(line.value, layout);
            if (!line.maxValue.empty()) right += place.tildeAdvance + NumberWidth(line.maxValue, layout);
            right += line.tailWidth;
            if (!fits(cx, cy, right - cx, bottom - cy)) return Fail(error, where + " does not fit");
            DrawGlyph(body, cx, cy, kGlyphBullet, pack);
            DrawGlyph(body, tx, cy, row.templateIndex, pack);
            int end = DrawNumber(body, tx + t.width, cy, line.value, white, pack);
            if (!line.maxValue.empty()) {
                DrawGlyph(body, end, cy, white ? kGlyphWhiteTilde : kGlyphBlueTilde, pack);
                end = DrawNumber(body, end + place.tildeAdvance, cy, line.maxValue, white, pack);
            }
            if (line.tailWidth)
                DrawMadeUpText(body, end, cy, line.tailWidth, textRows, white ? kWhite : kBlue, pack, place);
        } else if (line.type == ComposeLine::kRaw) {
            right = tx + line.width + NumberWidth(line.value, layout) + line.tailWidth;
            if (!fits(cx, cy, right - cx, bottom - cy)) return Fail(error, where + " does not fit");
            DrawGlyph(body, cx, cy, kGlyphBullet, pack);
            DrawMadeUpText(body, tx, cy, line.width, textRows, line.white ? kWhite : kBlue, pack, place);
            int end = DrawNumber(body, tx + line.width, cy, line.value, line.white, pack);
            if (line.tailWidth)
                DrawMadeUpText(body, end, cy, line.tailWidth, textRows, line.white ? kWhite : kBlue, pack,
                               place);
        } else if (line.type == ComposeLine::kEmptySocket) {
            const PixelBuffer& t = pack.Template(kGlyphEmptySocket);
            if (!fits(tx, cy, t.width, t.height)) return Fail(error, where + " does not fit");
            DrawGlyph(body, tx, cy, kGlyphEmptySocket, pack);
        } else {
            const PixelBuffer& t = pack.Template(kGlyphBullet);
            if (!fits(cx, cy, t.width, textRows)) return Fail(error, where + " does not fit");
            DrawGlyph(body, cx, cy, kGlyphBullet, pack);
        }
        cy += place.linePitch;
    }
    return true;
}

bool CheckScene(const TooltipScene& s, std::string& error) {
    if (PackOf(s).Template(kGlyphBullet).count == 0) return Fail(error, "the glyph set is not loaded");
    if (s.width < 301 || s.height < 201) return Fail(error, "the tooltip must be at least 301 x 201");
    if (s.width > 4096 || s.height > 4096) return Fail(error, "the tooltip is larger than 4096 x 4096");
    if (s.kind < -1 || s.kind >= kKindCount) return Fail(error, "kind out of range");
    if (s.weapon &&
        (!IsNumber(s.attacksPerSecond) || !IsNumber(s.minDamage) || !IsNumber(s.maxDamage)))
        return Fail(error, "weapon numbers must be digits with an optional fraction");
    const int rise = PackOf(s).layout.damageUp;
    if (s.weapon && s.damageRise != rise && s.damageRise != rise + 1)
        return Fail(error, "the damage line rises " + std::to_string(rise) + " or " +
                               std::to_string(rise + 1) + " rows");
    for (const ComposeLine& line : s.lines) {
        bool number = line.type == ComposeLine::kOption || line.type == ComposeLine::kRaw;
        if (line.type == ComposeLine::kOption && (line.row < 0 || line.row >= kDescriptorCount))
            return Fail(error, "descriptor row out of range");
        if (number && !IsNumber(line.value))
            return Fail(error, "a value must be digits with an optional fraction");
        if (!line.maxValue.empty() && !IsNumber(line.maxValue))
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

// A description line's words, without its '#' comment.
std::vector<std::string> Words(std::string raw) {
    if (size_t hash = raw.find('#'); hash != std::string::npos) raw.resize(hash);
    std::istringstream words(raw);
    std::vector<std::string> t;
    for (std::string w; words >> w;) t.push_back(w);
    return t;
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

bool ParseComposePlacement(std::string_view text, ComposePlacement& placement, std::string& error) {
    ComposePlacement result = placement;
    std::istringstream in{std::string(text)};
    std::string raw;
    for (int lineNo = 1; std::getline(in, raw); ++lineNo) {
        const std::vector<std::string> t = Words(raw);
        if (t.empty()) continue;
        const std::string where = "placement line " + std::to_string(lineNo) + ": ";
        if (t.size() != 3 || t[1] != "=") return Fail(error, where + "expected name = value");
        const PlacementField* field = nullptr;
        for (const PlacementField& f : kPlacementFields)
            if (t[0] == f.name) field = &f;
        if (!field) return Fail(error, where + "unknown name '" + t[0] + "'");
        int v = 0;
        if (!ParseInt(t[2], v) || v < 0 || v > kMaxPlacementValue)
            return Fail(error, where + "'" + t[2] + "' is not a whole number from 0 to 1000");
        result.*(field->value) = v;
    }
    placement = result;
    return true;
}

std::string FormatComposePlacement(const ComposePlacement& placement) {
    std::string text = "# Where the composer puts things in a tooltip's body, in pixels.\n";
    for (const PlacementField& f : kPlacementFields)
        text += std::string(f.name) + " = " + std::to_string(placement.*(f.value)) + "\n";
    return text;
}

void DrawGlyph(PixelBuffer& image, int x, int y, int templateIndex) {
    DrawGlyph(image, x, y, templateIndex, BuiltInPack());
}

void DrawGlyph(PixelBuffer& image, int x, int y, int templateIndex, const GlyphPack& pack) {
    const PixelBuffer& t = pack.Template(templateIndex);
    for (int row = 0; row < t.height; ++row)
        for (int col = 0; col < t.width; ++col) {
            uint32_t p = t.pixels[size_t(row) * t.width + col];
            int px = x + col, py = y + row;
            if (p && px >= 0 && py >= 0 && px < image.width && py < image.height)
                image.pixels[size_t(py) * image.width + px] = p;
        }
}

int DrawNumber(PixelBuffer& image, int x, int y, std::string_view number, bool white) {
    return DrawNumber(image, x, y, number, white, BuiltInPack());
}

int DrawNumber(PixelBuffer& image, int x, int y, std::string_view number, bool white, const GlyphPack& pack) {
    for (char c : number) {
        if (c == '.') {
            DrawGlyph(image, x, y, white ? kGlyphWhitePoint : kGlyphBluePoint, pack);
            x += pack.layout.pointAdvance;
        } else if (c >= '0' && c <= '9') {
            DrawGlyph(image, x, y, (white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0) + (c - '0'), pack);
            x += pack.layout.digitAdvance;
        }
    }
    return x;
}

void DrawDamageRange(PixelBuffer& image, int x, int y, std::string_view minDamage,
                     std::string_view maxDamage) {
    DrawDamageRange(image, x, y, minDamage, maxDamage, BuiltInPack(), ComposePlacement());
}

void DrawDamageRange(PixelBuffer& image, int x, int y, std::string_view minDamage, std::string_view maxDamage,
                     const GlyphPack& pack, const ComposePlacement& placement) {
    const int gap = pack.layout.damageGap, inset = placement.separatorInset;
    int end = DrawNumber(image, x, y, minDamage, true, pack);
    for (int col = end + inset; col < end + gap - inset; ++col) {
        int row = y + placement.separatorRow;
        if (col >= 0 && row >= 0 && col < image.width && row < image.height)
            image.pixels[size_t(row) * image.width + col] = kSeparator;
    }
    DrawNumber(image, end + gap, y, maxDamage, true, pack);
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
        const std::vector<std::string> t = Words(raw);
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
            if (tail) line.tailWidth = ComposePlacement().tailWidth;
            if (d == "gem" && (v[0] < 0 || v[0] >= kDescriptorCount || !kStatDescriptors[v[0]].socket))
                return Fail(error, where + "gem lines use the socketed-gem rows 30..39");
            isLine = true;
        } else if (d == "raw" && n >= 2 && n <= 4 && ints(0, 1)) {
            bool tail = t.back() == "%";
            bool white = n >= 3 && t[3] == "white";
            if (n != 2 + size_t(tail) + size_t(white))
                return Fail(error, where + "expected WIDTH NUMBER [white] [%]");
            line = RawLine(v[0], t[2], white), isLine = true;
            if (tail) line.tailWidth = ComposePlacement().tailWidth;
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
            !(IsNumber(line.value) && (line.maxValue.empty() || IsNumber(line.maxValue))))
            return Fail(error, where + "a value must be digits with an optional fraction");
        if (d == "weapon" &&
            !(IsNumber(s.attacksPerSecond) && IsNumber(s.minDamage) && IsNumber(s.maxDamage)))
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
