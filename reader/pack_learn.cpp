// Learning a glyph pack from a described tooltip: lines, bullets and characters are found as ink
// separated by black, the digit grid is solved from where the digits stand, and every picture is
// cut at the layout the reader uses.
#include "reader/pack_learn.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "base/catalogue.h"
#include "base/profile.h"
#include "base/settings.h"
#include "base/status.h"
#include "reader/digit_grid.h"
#include "reader/ink_lines.h"
#include "reader/locator.h"
#include "reader/parser.h"

namespace {

std::string Utf8(const char16_t* s) {
    std::string out;
    for (; s && *s; ++s) {
        const unsigned c = *s;
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | c >> 6), out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xE0 | c >> 12), out += char(0x80 | (c >> 6 & 0x3F)), out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

}  // namespace

std::string PictureName(int index) {
    const std::string file = " (" + std::to_string(kGlyphInfo[index].resourceId) + ".bmp)";
    auto colour = [](bool white) { return std::string(white ? "white " : "blue "); };
    if (index == kGlyphBullet) return "bullet" + file;
    if (index == kGlyphEmptySocket) return "empty socket caption" + file;
    if (index == kStatDescriptors[kAttacksPerSecondRow].templateIndex)
        return "attacks-per-second caption" + file;
    for (bool white : {false, true}) {
        const int digit0 = white ? kGlyphWhiteDigit0 : kGlyphBlueDigit0;
        if (index >= digit0 && index < digit0 + 10)
            return colour(white) + "digit " + std::to_string(index - digit0) + file;
        if (index == (white ? kGlyphWhitePoint : kGlyphBluePoint)) return colour(white) + "point" + file;
        if (index == (white ? kGlyphWhiteTilde : kGlyphBlueTilde)) return colour(white) + "tilde" + file;
    }
    for (const ItemKind& kind : kItemKinds)
        if (kind.templateIndex == index) return "kind caption " + Utf8(kind.name) + file;
    for (const StatDescriptor& row : kStatDescriptors)
        if (row.templateIndex == index) return "caption " + Utf8(row.name) + file;
    return "picture" + file;
}

namespace {

enum LayoutFieldIndex {
    kCaptionOffset,
    kDigitAdvance,
    kPointAdvance,
    kDamageGap,
    kTildeSearch,
    kDamageRight,
    kDamageUp
};

// An option line found on the tooltip.
struct FoundLine {
    int described;  // index into LearnTooltip::lines
    int bulletX, top;
    const Band* band;
};

struct Learner {
    const PixelBuffer& t;
    const LearnTooltip& what;
    GlyphPack& pack;
    PackContents& contents;
    LearnReport& report;
    std::string& error;

    std::map<int, PixelBuffer> cuts;  // new pictures from this tooltip
    std::vector<Band> bands;
    std::vector<FoundLine> lines;
    int boxHeight = 0, captionOffset = 0;
    bool haveCaptionOffset = false;
    bool uncertain = false;  // the numbers fit more than one digit grid

    bool Fail(std::string why) {
        error = std::move(why);
        return false;
    }

    const PixelBuffer* Known(int index) const {
        if (contents.picture[index]) return &pack.templates[index];
        auto it = cuts.find(index);
        return it == cuts.end() ? nullptr : &it->second;
    }

    void Offer(int index, PixelBuffer picture, const std::string& where) {
        if (const PixelBuffer* have = Known(index)) {
            if (!SamePicture(*have, picture))
                report.disagreements.push_back(
                    PictureName(index) + " cut from " + where + " differs from the one " +
                    (contents.picture[index] ? "in the pack" : "cut elsewhere on this tooltip"));
            return;
        }
        cuts[index] = std::move(picture);
    }

    bool HasField(int field) const { return contents.layoutFields >> field & 1; }

    void OfferLayout(int field, int value) {
        int& stored = LayoutValue(pack.layout, field);
        const std::string name = LayoutFieldName(field);
        if (!HasField(field)) {
            stored = value;
            contents.layoutFields |= 1u << field;
            report.learned.push_back("layout " + name + " = " + std::to_string(value));
        } else if (field == kTildeSearch && value > stored) {
            stored = value;  // a farther tilde widens the search
            report.learned.push_back("layout " + name + " = " + std::to_string(value));
        } else if (field == kDamageUp && value == stored - 1) {
            stored = value;  // the reader also tries one row higher, so the lower rise covers both
            report.learned.push_back("layout " + name + " = " + std::to_string(value));
        } else if (value != stored && !(field == kTildeSearch && value <= stored) &&
                   !(field == kDamageUp && value == stored + 1)) {
            report.disagreements.push_back("layout " + name + " measures " + std::to_string(value) +
                                           " here, the pack has " + std::to_string(stored));
        }
    }

    bool FindLines();
    bool LearnNumbers();
    void LearnKind();
    bool LearnSockets();
    void Commit();
};

// Option lines: bands that begin with the same small picture at the same column, one per line
// described.
bool Learner::FindLines() {
    const int expected = int(what.lines.size());
    if (expected == 0) return true;
    const PixelBuffer* known = Known(kGlyphBullet);
    Blob knownInk{};
    PixelBuffer knownPicture;
    if (known) {
        knownInk = InkBox(*known);
        if (knownInk.x1 <= knownInk.x0) return Fail("the pack's bullet picture is blank");
        knownPicture = Cut(*known, knownInk.x0, knownInk.y0, knownInk.x1, knownInk.y1);
    }
    struct Group {
        int x;
        PixelBuffer ink;
        std::vector<int> bands;
    };
    std::vector<Group> groups;
    for (int i = 0; i < int(bands.size()); ++i) {
        if (bands[i].blobs.size() < 2) continue;
        const Blob& f = bands[i].blobs[0];
        if (f.x1 - f.x0 > f.y1 - f.y0 + 2) continue;  // a bullet is no wider than it is tall
        PixelBuffer ink = Cut(t, f.x0, f.y0, f.x1, f.y1);
        auto g = std::find_if(groups.begin(), groups.end(),
                              [&](const Group& g) { return g.x == f.x0 && SamePicture(g.ink, ink); });
        if (g == groups.end()) g = groups.insert(groups.end(), Group{f.x0, std::move(ink), {}});
        g->bands.push_back(i);
    }
    const Group* chosen = nullptr;
    for (const Group& g : groups) {
        const bool fits = known ? SamePicture(g.ink, knownPicture) : int(g.bands.size()) == expected;
        if (fits && (!chosen || g.x < chosen->x)) chosen = &g;
    }
    if (!chosen)
        return Fail(known ? "no line begins with the pack's bullet"
                          : "found no " + std::to_string(expected) + " lines beginning with the same bullet");
    if (int(chosen->bands.size()) != expected)
        return Fail("the tooltip shows " + std::to_string(chosen->bands.size()) + " bulleted lines, " +
                    std::to_string(expected) + " described");
    // The line box: rows around the bullet that hold every option line's text.
    int above = 0, below = 0;
    for (int i : chosen->bands) {
        const Blob& f = bands[i].blobs[0];
        above = std::max(above, f.y0 - bands[i].y0), below = std::max(below, bands[i].y1 - f.y0);
    }
    if (known) above = knownInk.y0, below = known->height - knownInk.y0;
    boxHeight = above + below;
    const int inkLeft = known ? knownInk.x0 : 0, bulletWidth = known ? known->width : chosen->ink.width;
    for (int k = 0; k < expected; ++k) {
        const Band& band = bands[chosen->bands[k]];
        lines.push_back(FoundLine{k, band.blobs[0].x0 - inkLeft, band.blobs[0].y0 - above, &band});
    }
    Offer(kGlyphBullet,
          Cut(t, lines[0].bulletX, lines[0].top, lines[0].bulletX + bulletWidth, lines[0].top + boxHeight),
          "line 1");
    haveCaptionOffset = true;
    if (HasField(kCaptionOffset)) {
        captionOffset = pack.layout.captionOffset;
    } else {
        captionOffset = t.width;
        for (const FoundLine& line : lines)
            captionOffset = std::min(captionOffset, line.band->blobs[1].x0 - line.bulletX);
    }
    OfferLayout(kCaptionOffset, captionOffset);
    return true;
}

bool Learner::LearnNumbers() {
    struct Caption {
        int index, x;
        size_t number;  // the picture runs to this number's first cell
    };
    std::vector<Number> numbers;
    std::vector<Caption> captions;
    int tildeReach = -1;  // farthest tilde from its caption's start
    for (const FoundLine& line : lines) {
        const LearnLine& d = what.lines[line.described];
        const std::string where = "line " + std::to_string(line.described + 1);
        if (d.row < 0) continue;
        if (d.row >= kDescriptorCount) return Fail(where + ": row out of range");
        const StatDescriptor& row = kStatDescriptors[d.row];
        std::vector<std::string> parts;
        int tail = 0;
        if (!SplitValue(d.text, parts, tail))
            return Fail(where + ": '" + d.text + "' is not a number as drawn");
        if (parts.size() == 2 && !row.range) return Fail(where + ": this row has one value, not a range");
        int chars = int(parts.size()) - 1;
        for (const std::string& p : parts) chars += int(p.size());
        const std::vector<Blob>& blobs = line.band->blobs;
        int at = int(blobs.size()) - tail - chars;
        if (at < 2) return Fail(where + ": the line has fewer characters than its value needs");
        const int captionX = line.bulletX + captionOffset;
        if (blobs[1].x0 < captionX)
            return Fail(where + ": the caption starts left of where the pack's layout puts it");
        for (size_t p = 0; p < parts.size(); ++p) {
            if (p == 1) {
                captions.push_back(
                    Caption{row.white ? kGlyphWhiteTilde : kGlyphBlueTilde, blobs[at].x0, numbers.size()});
                tildeReach = std::max(tildeReach, blobs[at].x0 - captionX);
                ++at;
            } else {
                captions.push_back(Caption{row.templateIndex, captionX, numbers.size()});
            }
            Number n{parts[p], {}, bool(row.white), line.top, blobs[at - 1].x1, where};
            n.chars.assign(blobs.begin() + at, blobs.begin() + at + int(parts[p].size()));
            at += int(parts[p].size());
            numbers.push_back(std::move(n));
        }
    }

    // The weapon: white attacks per second at the end of the lowest line above the options whose
    // value is pure white, and the damage range on the line above it.
    int aps = -1, apsCaptionX = 0;
    if (what.weapon) {
        const int firstLine = lines.empty() ? t.height : lines[0].band->y0;
        const size_t len = what.attacksPerSecond.size();
        for (int i = int(bands.size()) - 1; i >= 1 && aps < 0; --i) {
            const std::vector<Blob>& blobs = bands[i].blobs;
            if (bands[i].y0 >= firstLine || blobs.size() < len + 1) continue;
            bool white = !HasPureWhite(t, blobs[blobs.size() - len - 1]);
            // A white point is never fully covered, so only the digits show pure white.
            for (size_t k = 0; k < len; ++k)
                if (what.attacksPerSecond[k] != '.')
                    white = white && HasPureWhite(t, blobs[blobs.size() - len + k]);
            if (!white) continue;
            const std::vector<Blob>& damage = bands[i - 1].blobs;
            if (damage.size() < what.minDamage.size() + what.maxDamage.size()) continue;
            aps = int(numbers.size());
            apsCaptionX = blobs[0].x0;
            numbers.push_back(Number{what.attacksPerSecond,
                                     {blobs.end() - int(len), blobs.end()},
                                     true,
                                     -1,
                                     blobs[blobs.size() - len - 1].x1,
                                     "the attacks-per-second line"});
            captions.push_back(
                Caption{kStatDescriptors[kAttacksPerSecondRow].templateIndex, apsCaptionX, size_t(aps)});
            numbers.push_back(Number{what.minDamage,
                                     {damage.begin(), damage.begin() + int(what.minDamage.size())},
                                     true,
                                     -1,
                                     -1,
                                     "the damage line"});
            const size_t maxAt = damage.size() - what.maxDamage.size();
            numbers.push_back(Number{what.maxDamage,
                                     {damage.begin() + int(maxAt), damage.end()},
                                     true,
                                     -1,
                                     maxAt > 0 ? damage[maxAt - 1].x1 : -1,
                                     "the damage line"});
        }
        if (aps < 0)
            return Fail("no line above the options ends in the white attacks per second " +
                        what.attacksPerSecond);
    }

    Grid known, grid;
    bool knownBearing[kNodes] = {};
    for (int node = 0; node < kNodes; ++node)
        for (bool white : {false, true})
            if (contents.picture[DigitIndex(node, white)] && !knownBearing[node])
                knownBearing[node] = true,
                known.bearing[node] = InkBox(pack.templates[DigitIndex(node, white)]).x0;
    known.advance = pack.layout.digitAdvance, known.pointAdvance = pack.layout.pointAdvance;
    if (!SolveGrid(numbers, known, knownBearing, HasField(kDigitAdvance), HasField(kPointAdvance), grid,
                   error, &uncertain))
        return false;

    // The weapon lines have no bullet: their line box is where their digits' pictures fit, from
    // how high each digit stands in the option lines' box.
    if (aps >= 0) {
        int inkTop[kNodes];
        std::fill(inkTop, inkTop + kNodes, -1);
        for (const Number& n : numbers)
            for (size_t k = 0; k < n.chars.size() && n.top >= 0; ++k)
                if (inkTop[NodeOf(n.text[k])] < 0) inkTop[NodeOf(n.text[k])] = n.chars[k].y0 - n.top;
        for (int node = 0; node < kNodes; ++node)
            if (const PixelBuffer* p = Known(DigitIndex(node, false)); p && inkTop[node] < 0)
                inkTop[node] = InkBox(*p).y0;
        if (boxHeight == 0 && Known(kGlyphBullet)) boxHeight = Known(kGlyphBullet)->height;
        for (int i = aps; i < aps + 3; ++i) {
            Number& n = numbers[size_t(i)];
            int estimate = -1;
            for (size_t k = 0; k < n.chars.size() && estimate < 0; ++k)
                if (inkTop[NodeOf(n.text[k])] >= 0) estimate = n.chars[k].y0 - inkTop[NodeOf(n.text[k])];
            if (estimate < 0 || boxHeight == 0) continue;
            n.top = estimate;
            for (int delta : {0, -1, 1, -2, 2}) {
                bool any = false, all = true;
                int pen = grid.Pen(n, 0);
                for (size_t k = 0; k < n.chars.size(); ++k) {
                    const int node = NodeOf(n.text[k]);
                    if (const PixelBuffer* p = Known(DigitIndex(node, true))) {
                        any = true;
                        all = all && SamePicture(*p, Cut(t, pen, estimate + delta, pen + grid.Cell(node),
                                                         estimate + delta + boxHeight));
                    }
                    pen += grid.Cell(node);
                }
                if (any && all) {
                    n.top = estimate + delta;
                    break;
                }
            }
        }
        if (numbers[size_t(aps)].top < 0 || numbers[size_t(aps) + 1].top < 0)
            report.notes.push_back("the weapon lines: their digits must first be seen on option lines");
    }

    for (const Caption& c : captions) {
        const Number& n = numbers[c.number];
        const int pen = grid.Pen(n, 0);
        if (n.top < 0) continue;
        if (pen <= c.x) return Fail(n.where + ": no room between the caption and its value");
        Offer(c.index, Cut(t, c.x, n.top, pen, n.top + boxHeight), n.where);
    }
    bool point = false;
    for (const Number& n : numbers) {
        if (n.top < 0) continue;
        int pen = grid.Pen(n, 0);
        for (size_t k = 0; k < n.chars.size(); ++k) {
            const int node = NodeOf(n.text[k]);
            point = point || node == kPointNode;
            Offer(DigitIndex(node, n.white), Cut(t, pen, n.top, pen + grid.Cell(node), n.top + boxHeight),
                  n.where);
            pen += grid.Cell(node);
        }
    }
    if (!numbers.empty()) OfferLayout(kDigitAdvance, grid.advance);
    if (point) OfferLayout(kPointAdvance, grid.pointAdvance);
    if (tildeReach >= 0) OfferLayout(kTildeSearch, tildeReach + 8 * grid.advance);
    if (aps >= 0 && numbers[size_t(aps)].top >= 0 && numbers[size_t(aps) + 1].top >= 0) {
        const Number &speed = numbers[size_t(aps)], &low = numbers[size_t(aps) + 1],
                     &high = numbers[size_t(aps) + 2];
        // Where the reader stops after the minimum depends on the pictures (a white point with no
        // pure white pixel matches anywhere), so it is found by reading with them.
        GlyphPack trial = pack;
        for (const auto& [index, picture] : cuts) trial.templates[index] = picture;
        trial.layout.digitAdvance = grid.advance, trial.layout.pointAdvance = grid.pointAdvance;
        HitPos end;
        ReadNumber(t, grid.Pen(low, 0), low.top, nullptr, true, kMatchWhiteOnly, 1, &end, trial);
        OfferLayout(kDamageRight, grid.Pen(low, 0) - apsCaptionX);
        OfferLayout(kDamageUp, speed.top - low.top);
        OfferLayout(kDamageGap, grid.Pen(high, 0) - end.x);
    }
    return true;
}

// The kind caption: the topmost grey text in the tooltip's upper-right quarter.
void Learner::LearnKind() {
    const int x0 = t.width / 2;
    auto grey = [&](int x, int y) {
        const uint32_t p = t.pixels[size_t(y) * t.width + x];
        return p != 0 && (p & 0xFF) == (p >> 8 & 0xFF) && (p & 0xFF) == (p >> 16 & 0xFF);
    };
    Blob box{t.width, 0, -1, -1};
    for (int y = 0; y < t.height / 2; ++y) {
        bool row = false;
        for (int x = x0; x < t.width; ++x)
            if (grey(x, y)) row = true, box.x0 = std::min(box.x0, x), box.x1 = std::max(box.x1, x + 1);
        if (row) {
            if (box.y0 < 0) box.y0 = y;
            box.y1 = y + 1;
        } else if (box.y0 >= 0 && y - box.y1 >= kMaxGapInLine) {
            break;
        }
    }
    if (box.y0 < 0) {
        report.notes.push_back("no grey kind caption in the tooltip's upper-right quarter");
        return;
    }
    Offer(kItemKinds[what.kind].templateIndex, Cut(t, box.x0, box.y0, box.x1, box.y1), "the kind caption");
}

// Empty sockets: blue lines without a bullet whose text starts at the captions' column.
bool Learner::LearnSockets() {
    if (what.emptySockets <= 0) return true;
    if (lines.empty()) return Fail("describe the option lines too, so that the sockets' column is known");
    const int captionX = lines[0].bulletX + captionOffset;
    int found = 0;
    for (const Band& band : bands) {
        if (found == what.emptySockets) break;
        const bool bulleted =
            std::any_of(lines.begin(), lines.end(), [&](const FoundLine& l) { return l.band == &band; });
        if (bulleted || band.y0 < lines[0].top || band.blobs.empty() ||
            std::abs(band.blobs[0].x0 - captionX) > boxHeight)
            continue;
        bool blue = false;
        for (int y = band.y0; y < band.y1 && !blue; ++y)
            for (int x = band.blobs[0].x0; x < band.blobs[0].x1 && !blue; ++x) {
                const uint32_t p = t.pixels[size_t(y) * t.width + x];
                blue = (p >> 16 & 0xFF) > (p & 0xFF) + 40;
            }
        if (!blue) continue;
        ++found;
        Offer(kGlyphEmptySocket, Cut(t, band.blobs.front().x0, band.y0, band.blobs.back().x1, band.y1),
              "an empty socket");
    }
    if (found < what.emptySockets)
        return Fail("found " + std::to_string(found) + " empty sockets, " +
                    std::to_string(what.emptySockets) + " described");
    return true;
}

void Learner::Commit() {
    for (auto& [index, picture] : cuts) {
        pack.templates[index] = std::move(picture);
        contents.picture[index] = true;
        report.learned.push_back(PictureName(index));
    }
}

// The outermost rows and columns all black, as a saved tooltip body's are.
bool BlackAllRound(const PixelBuffer& image) {
    if (image.width < 3 || image.height < 3) return false;
    for (int x = 0; x < image.width; ++x)
        if (Inked(image, x, 0) || Inked(image, x, image.height - 1)) return false;
    for (int y = 0; y < image.height; ++y)
        if (Inked(image, 0, y) || Inked(image, image.width - 1, y)) return false;
    return true;
}

}  // namespace

bool FindTooltipBody(const PixelBuffer& image, PixelBuffer& tooltip, std::string& error) {
    TooltipRect rect;
    if (!FindTooltip(image, rect)) {
        // A tooltip saved with the capture hotkey is the black body alone: the whole picture.
        if (!BlackAllRound(image))
            return error =
                       "no tooltip in the picture: neither a black rectangle of at least 201 rows on a "
                       "screen nor a saved tooltip with black edges",
                   false;
        rect = TooltipRect{0, 0, image.width, image.height};
    }
    tooltip = CropPixels(image, rect.x, rect.y, rect.width, rect.height);
    return true;
}

bool LearnFromTooltip(const PixelBuffer& image, const LearnTooltip& what, GlyphPack& pack,
                      PackContents& contents, LearnReport& report, std::string& error) {
    if (what.kind < 0 || what.kind >= kKindCount) return error = "the item kind must be 0..12", false;
    if (what.weapon &&
        (!IsNumber(what.attacksPerSecond) || !IsNumber(what.minDamage) || !IsNumber(what.maxDamage)))
        return error = "the weapon's numbers must be digits with an optional point", false;
    PixelBuffer t;
    if (!FindTooltipBody(image, t, error)) return false;
    // Work on copies, so that a tooltip that cannot be learned leaves the pack as it was.
    GlyphPack next = pack;
    PackContents nextContents = contents;
    LearnReport nextReport;
    Learner learner{t, what, next, nextContents, nextReport, error, {}, FindBands(t), {}, 0, 0, false};
    if (!learner.FindLines() || !learner.LearnNumbers() || !learner.LearnSockets()) {
        if (!learner.uncertain) return false;
        report = LearnReport();
        report.pending = error;
        return true;
    }
    learner.LearnKind();
    learner.Commit();

    PopupDelivery previous = SetPopupDelivery(nullptr);
    const ItemRecord got = ParseItem(&t, 0, next);
    SetPopupDelivery(previous);
    const ItemRecord want = ExpectedRecord(what);
    if (got.kind != want.kind)
        nextReport.readBack.push_back("the kind reads as " + std::to_string(got.kind) + ", described " +
                                      std::to_string(want.kind));
    for (int s = 0; s < kStatCount; ++s)
        if (got.stats[s] != want.stats[s])
            nextReport.readBack.push_back("stat " + std::to_string(s) + " reads as " +
                                          std::to_string(got.stats[s]) + ", described " +
                                          std::to_string(want.stats[s]));
    pack = std::move(next);
    contents = nextContents;
    report = std::move(nextReport);
    return true;
}

ItemRecord ExpectedRecord(const LearnTooltip& what) {
    ItemRecord r;
    r.kind = what.kind;
    const bool weapon = IsWeaponKind(what.kind);
    if (weapon && what.weapon) {
        r.stats[kStatDescriptors[kAttacksPerSecondRow].stat] = ReadAs(what.attacksPerSecond);
        r.stats[kWeaponMin] = ReadAs(what.minDamage);
        r.stats[kWeaponMax] = ReadAs(what.maxDamage);
    }
    const SocketEffect socket = SocketChoice(what.kind, 0, gSettings.socketOptions, gProfile.mainAttribute);
    int sockets = what.emptySockets;
    for (const LearnLine& line : what.lines) {
        if (line.row < 0 || line.row >= kDescriptorCount) continue;
        const StatDescriptor& row = kStatDescriptors[line.row];
        const bool applies = row.condition == kEveryKind || (row.condition == kWeaponsOnly && weapon) ||
                             (row.condition == kNonWeaponsOnly && !weapon);
        std::vector<std::string> parts;
        int tail = 0;
        if (!applies || !SplitValue(line.text, parts, tail)) continue;
        if (row.socket && socket.active) {
            ++sockets;
            continue;
        }
        if (row.stat < 0) continue;
        r.stats[row.stat] += ReadAs(parts[0]);
        if (row.range && parts.size() == 2) r.stats[row.stat + 1] += ReadAs(parts[1]);
    }
    if (socket.active && socket.targetStat >= 0)
        for (int s = 0; s < sockets; ++s) r.stats[socket.targetStat] += socket.amount;
    return r;
}

std::vector<std::string> MissingFromPack(const PackContents& contents) {
    std::vector<std::string> missing;
    auto group = [&](const std::string& title, const std::vector<std::pair<int, std::string>>& members) {
        std::string list;
        for (const auto& [index, name] : members)
            if (!contents.picture[index]) list += (list.empty() ? "" : ", ") + name;
        if (!list.empty()) missing.push_back(title + ": " + list);
    };
    for (bool white : {false, true}) {
        std::vector<std::pair<int, std::string>> digits;
        for (int d = 0; d < 10; ++d) digits.emplace_back(DigitIndex(d, white), std::to_string(d));
        digits.emplace_back(DigitIndex(kPointNode, white), "point");
        digits.emplace_back(white ? kGlyphWhiteTilde : kGlyphBlueTilde, "tilde");
        group(white ? "white digits" : "blue digits", digits);
    }
    group("marks", {{kGlyphBullet, "bullet"},
                    {kGlyphEmptySocket, "empty socket"},
                    {kStatDescriptors[kAttacksPerSecondRow].templateIndex, "attacks per second"}});
    std::vector<std::pair<int, std::string>> kinds, captions;
    for (int k = 0; k < kKindCount; ++k)
        kinds.emplace_back(kItemKinds[k].templateIndex, std::to_string(k) + " " + Utf8(kItemKinds[k].name));
    group("kinds", kinds);
    for (int r = 0; r < kDescriptorCount; ++r) {
        const StatDescriptor& row = kStatDescriptors[r];
        const bool shared = std::any_of(kStatDescriptors, kStatDescriptors + r, [&](const StatDescriptor& o) {
            return o.templateIndex == row.templateIndex;
        });
        if (row.condition != kNever && !shared)
            captions.emplace_back(row.templateIndex, std::to_string(r) + " " + Utf8(row.name));
    }
    group("captions", captions);
    std::string layout;
    for (int f = 0; f < kLayoutFieldCount; ++f)
        if (!(contents.layoutFields >> f & 1))
            layout += (layout.empty() ? "" : ", ") + std::string(LayoutFieldName(f));
    if (!layout.empty()) missing.push_back("layout: " + layout);
    return missing;
}
