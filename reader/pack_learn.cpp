// Learning a glyph pack from described tooltips: lines and bullets are found as ink separated by
// black rows, numbers are cut by the digit grid solved from all of them together, and every
// picture is cut at the layout the reader uses.
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

bool PackGuesses::Any() const {
    return std::any_of(std::begin(picture), std::end(picture), [](bool b) { return b; });
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

// An option line found on a tooltip.
struct FoundLine {
    int described;  // index into LearnTooltip::lines
    int bulletX, top;
    const Band* band;
};

// One tooltip in a learning session: its lines and where its numbers went in the session's list.
struct Sheet {
    const TaughtTooltip* source;
    std::vector<Band> bands;
    std::vector<FoundLine> lines;
    int captionOffset = 0;  // the least bullet-to-caption distance of its lines
    int aps = -1;           // the attacks-per-second number; the damage range's two follow it
    int apsCaptionX = 0;
    LearnReport report;
    std::vector<LearnMessage> pending;

    const PixelBuffer& t() const { return source->tooltip; }
    LearnPlace Where(LearnSpot spot, int line = 0) const { return LearnPlace{source->name, spot, line}; }
};

// A picture cut in this session.
struct Piece {
    PixelBuffer picture;
    bool guessed;
    LearnPlace where;
    size_t sheet;  // the tooltip it was cut from
};

bool Grey(uint32_t p) {
    return p != 0 && p != kWhite && (p & 0xFF) == (p >> 8 & 0xFF) && (p & 0xFF) == (p >> 16 & 0xFF);
}

// The ink of a band's columns x0..x1 (exclusive): its first and last rows, or {-1, -1}.
std::pair<int, int> InkRows(const PixelBuffer& t, const Band& band, int x0, int x1) {
    int top = -1, bottom = -1;
    for (int y = band.y0; y < band.y1; ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, t.width); ++x)
            if (Inked(t, x, y)) {
                if (top < 0) top = y;
                bottom = y;
            }
    return {top, bottom};
}

struct Learner {
    GlyphPack& pack;
    PackContents& contents;
    const PackGuesses& guesses;
    LearnMessage& error;

    std::map<int, Piece> cuts;  // new pictures of this session
    std::vector<Sheet> sheets;
    std::vector<Number> numbers;
    int boxHeight = 0, captionOffset = -1;

    size_t Index(const Sheet& sheet) const { return size_t(&sheet - sheets.data()); }

    bool Fail(const Sheet& sheet, LearnMessage why) {
        why.at.tooltip = sheet.source->name;
        error = std::move(why);
        return false;
    }
    bool Fail(const Sheet& sheet, LearnCode code, int a = 0, int b = 0) {
        LearnMessage why{code};
        why.a = a, why.b = b;
        return Fail(sheet, why);
    }
    // A refusal about option line `line` (from 0).
    bool FailLine(const Sheet& sheet, int line, LearnCode code, const std::string& text = {}) {
        LearnMessage why{code, LearnPlace{{}, kSpotLine, line + 1}};
        why.text = text;
        return Fail(sheet, why);
    }

    // The pack's picture when it is not a guess.
    bool Certain(int index) const { return contents.picture[index] && !guesses.picture[index]; }
    const PixelBuffer* Known(int index) const {
        if (Certain(index)) return &pack.templates[index];
        auto it = cuts.find(index);
        return it == cuts.end() ? nullptr : &it->second.picture;
    }

    void Offer(Sheet& sheet, int index, PixelBuffer picture, LearnPlace where, bool guessed = false) {
        where.tooltip = sheet.source->name;
        LearnMessage differs{kDiffersFromPack, where};
        differs.picture = index;
        if (Certain(index)) {
            if (!SamePicture(pack.templates[index], picture)) sheet.report.disagreements.push_back(differs);
            return;
        }
        auto it = cuts.find(index);
        if (it == cuts.end()) {
            cuts[index] = Piece{std::move(picture), guessed, where, Index(sheet)};
        } else if (it->second.guessed && !guessed) {
            it->second = Piece{std::move(picture), false, where, Index(sheet)};  // settled beats guessed
        } else if (!guessed && !SamePicture(it->second.picture, picture)) {
            differs.code = kDiffersFromCut;
            differs.from = it->second.where;
            sheet.report.disagreements.push_back(differs);
        }
    }

    bool HasField(int field) const { return contents.layoutFields >> field & 1; }

    void OfferLayout(Sheet& sheet, int field, int value) {
        int& stored = LayoutValue(pack.layout, field);
        LearnMessage m{kLearnedLayout, sheet.Where(kSpotTooltip)};
        m.field = field, m.a = value, m.b = stored;
        if (!HasField(field)) {
            stored = value;
            contents.layoutFields |= 1u << field;
            sheet.report.learned.push_back(m);
        } else if (field == kTildeSearch && value > stored) {
            stored = value;  // a farther tilde widens the search
            sheet.report.learned.push_back(m);
        } else if (field == kDamageUp && value == stored - 1) {
            stored = value;  // the reader also tries one row higher, so the lower rise covers both
            sheet.report.learned.push_back(m);
        } else if (value != stored && !(field == kTildeSearch && value <= stored) &&
                   !(field == kDamageUp && value == stored + 1)) {
            m.code = kLayoutDiffers;
            sheet.report.disagreements.push_back(m);
        }
    }

    bool FindLines(Sheet& sheet);
    void LearnCaptionOffset();
    bool AddOptionNumbers(Sheet& sheet);
    bool AddWeaponNumbers(Sheet& sheet);
    void LearnKind(Sheet& sheet);
    bool LearnSockets(Sheet& sheet);
    bool SolveNumbers();
    void LearnWeaponLayout(Sheet& sheet, const Grid& grid, const std::vector<Placement>& placed);
    void Commit(PackGuesses& after);
};

// Option lines: bands that begin with the same small picture at the same column, one per line
// described.
bool Learner::FindLines(Sheet& sheet) {
    const PixelBuffer& t = sheet.t();
    const int expected = int(sheet.source->what.lines.size());
    if (expected == 0) return true;
    const PixelBuffer* known = Known(kGlyphBullet);
    Blob knownInk{};
    PixelBuffer knownPicture;
    if (known) {
        knownInk = InkBox(*known);
        if (knownInk.x1 <= knownInk.x0) return Fail(sheet, kBlankBullet);
        knownPicture = Cut(*known, knownInk.x0, knownInk.y0, knownInk.x1, knownInk.y1);
    }
    struct Group {
        int x;
        PixelBuffer ink;
        std::vector<int> bands;
    };
    std::vector<Group> groups;
    for (int i = 0; i < int(sheet.bands.size()); ++i) {
        if (sheet.bands[i].blobs.size() < 2) continue;
        const Blob& f = sheet.bands[i].blobs[0];
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
    if (!chosen) return known ? Fail(sheet, kNoBulletLine) : Fail(sheet, kNoBulletedLines, expected);
    if (int(chosen->bands.size()) != expected)
        return Fail(sheet, kLineCount, int(chosen->bands.size()), expected);
    // The line box: rows around the bullet that hold every option line's text.
    int above = 0, below = 0;
    for (int i : chosen->bands) {
        const Blob& f = sheet.bands[i].blobs[0];
        above = std::max(above, f.y0 - sheet.bands[i].y0), below = std::max(below, sheet.bands[i].y1 - f.y0);
    }
    if (known) above = knownInk.y0, below = known->height - knownInk.y0;
    const int height = above + below;
    if (boxHeight == 0) boxHeight = height;
    const int inkLeft = known ? knownInk.x0 : 0, bulletWidth = known ? known->width : chosen->ink.width;
    for (int k = 0; k < expected; ++k) {
        const Band& band = sheet.bands[chosen->bands[k]];
        sheet.lines.push_back(FoundLine{k, band.blobs[0].x0 - inkLeft, band.blobs[0].y0 - above, &band});
    }
    const FoundLine& first = sheet.lines[0];
    Offer(sheet, kGlyphBullet,
          Cut(t, first.bulletX, first.top, first.bulletX + bulletWidth, first.top + height),
          LearnPlace{{}, kSpotLine, 1});
    sheet.captionOffset = t.width;
    for (const FoundLine& line : sheet.lines)
        sheet.captionOffset = std::min(sheet.captionOffset, line.band->blobs[1].x0 - line.bulletX);
    return true;
}

// Bullet to caption: the pack's, or the least any line of any tooltip shows.
void Learner::LearnCaptionOffset() {
    captionOffset = HasField(kCaptionOffset) ? pack.layout.captionOffset : -1;
    for (const Sheet& sheet : sheets)
        if (!sheet.lines.empty() && !HasField(kCaptionOffset) &&
            (captionOffset < 0 || sheet.captionOffset < captionOffset))
            captionOffset = sheet.captionOffset;
    for (Sheet& sheet : sheets)
        if (!sheet.lines.empty())
            OfferLayout(sheet, kCaptionOffset, std::min(sheet.captionOffset, captionOffset));
}

// Each described option line's value: one number from the caption's end to the line's end (a
// range with its tilde), unless text follows it.
bool Learner::AddOptionNumbers(Sheet& sheet) {
    const PixelBuffer& t = sheet.t();
    for (const FoundLine& line : sheet.lines) {
        const LearnLine& d = sheet.source->what.lines[size_t(line.described)];
        if (d.row < 0) continue;
        if (d.row >= kDescriptorCount) return FailLine(sheet, line.described, kRowOutOfRange);
        const StatDescriptor& row = kStatDescriptors[d.row];
        std::vector<std::string> parts;
        int tail = 0;
        if (!SplitValue(d.text, parts, tail)) return FailLine(sheet, line.described, kNotANumber, d.text);
        if (parts.size() == 2 && !row.range) return FailLine(sheet, line.described, kNotARange);
        const int captionX = line.bulletX + captionOffset;
        if (line.band->blobs[1].x0 < captionX) return FailLine(sheet, line.described, kCaptionLeft);
        Number n;
        n.image = &t;
        n.text = parts.size() == 2 ? parts[0] + "~" + parts[1] : parts[0];
        n.white = row.white;
        n.labelIndex = row.templateIndex, n.labelX = captionX;
        n.startLo = captionX + 1, n.startHi = line.band->blobs.back().x1 - 1;
        if (tail == 0) n.lastInk = line.band->blobs.back().x1 - 1;
        n.topLo = n.topHi = n.topGuess = line.top;
        n.owner = int(Index(sheet));
        n.where = sheet.Where(kSpotLine, line.described + 1);
        numbers.push_back(n);
    }
    return true;
}

// The weapon: white attacks per second ending the lowest line above the options that has grey
// text before pure white, and the damage range on the line above it. Their line box is where
// their digits' pictures agree with the option lines'; until those are known, where their ink
// stands against the option lines' digits.
bool Learner::AddWeaponNumbers(Sheet& sheet) {
    const LearnTooltip& what = sheet.source->what;
    if (!what.weapon) return true;
    const PixelBuffer& t = sheet.t();
    const int firstLine = sheet.lines.empty() ? t.height : sheet.lines[0].band->y0;
    int found = -1;
    for (int i = int(sheet.bands.size()) - 1; i >= 1 && found < 0; --i) {
        const Band& band = sheet.bands[size_t(i)];
        if (band.y0 >= firstLine || band.blobs.empty()) continue;
        int firstWhite = -1, firstGrey = -1;
        for (int x = band.blobs.front().x0; x < band.blobs.back().x1; ++x)
            for (int y = band.y0; y < band.y1; ++y) {
                const uint32_t p = t.pixels[size_t(y) * t.width + x];
                if (p == kWhite && firstWhite < 0) firstWhite = x;
                if (Grey(p) && firstGrey < 0) firstGrey = x;
            }
        const Band& above = sheet.bands[size_t(i) - 1];
        bool damageWhite = false;
        for (int y = above.y0; y < above.y1 && !damageWhite; ++y)
            for (int x = 0; x < t.width && !damageWhite; ++x)
                damageWhite = t.pixels[size_t(y) * t.width + x] == kWhite;
        if (firstGrey >= 0 && firstWhite > firstGrey && damageWhite) found = i;
    }
    if (found < 0) {
        LearnMessage why{kNoSpeedLine};
        why.text = what.attacksPerSecond;
        return Fail(sheet, why);
    }
    const Band &speed = sheet.bands[size_t(found)], &damage = sheet.bands[size_t(found) - 1];
    sheet.apsCaptionX = speed.blobs.front().x0;
    // How far below its line box's top a digit's ink begins on the option lines, the likeliest.
    std::map<int, int> drop;
    for (const FoundLine& line : sheet.lines) {
        const int e = line.band->blobs.back().x1;
        const int top = InkRows(t, *line.band, e - 3, e).first;
        if (top >= 0) ++drop[top - line.top];
    }
    int inkDrop = -1, votes = 0;
    for (const auto& [d, v] : drop)
        if (v > votes) inkDrop = d, votes = v;
    auto add = [&](const std::string& text, const Band& band, int first, int last, int label, int labelX,
                   LearnSpot where) {
        Number n;
        n.image = &t;
        n.text = text;
        n.white = true;
        n.labelIndex = label, n.labelX = labelX;
        n.startLo = band.blobs.front().x0 - 3 * boxHeight, n.startHi = band.blobs.back().x1;
        n.firstInk = first, n.lastInk = last;
        n.topLo = band.y1 - boxHeight, n.topHi = band.y0;
        const int column = first >= 0 ? first : last - 2;
        const int inkTop = InkRows(t, band, column, column + 3).first;
        n.topGuess = inkDrop >= 0 && inkTop >= 0 ? inkTop - inkDrop : (n.topLo + n.topHi) / 2;
        n.owner = int(Index(sheet));
        n.where = sheet.Where(where);
        numbers.push_back(n);
    };
    sheet.aps = int(numbers.size());
    add(what.attacksPerSecond, speed, -1, speed.blobs.back().x1 - 1,
        kStatDescriptors[kAttacksPerSecondRow].templateIndex, sheet.apsCaptionX, kSpotSpeedLine);
    add(what.minDamage, damage, damage.blobs.front().x0, -1, -1, 0, kSpotDamageLine);
    add(what.maxDamage, damage, -1, damage.blobs.back().x1 - 1, -1, 0, kSpotDamageLine);
    return true;
}

// The kind caption: the topmost grey text in the tooltip's upper-right quarter.
void Learner::LearnKind(Sheet& sheet) {
    const PixelBuffer& t = sheet.t();
    const int x0 = t.width / 2;
    Blob box{t.width, 0, -1, -1};
    for (int y = 0; y < t.height / 2; ++y) {
        bool row = false;
        for (int x = x0; x < t.width; ++x)
            if (Grey(t.pixels[size_t(y) * t.width + x]))
                row = true, box.x0 = std::min(box.x0, x), box.x1 = std::max(box.x1, x + 1);
        if (row) {
            if (box.y0 < 0) box.y0 = y;
            box.y1 = y + 1;
        } else if (box.y0 >= 0 && y - box.y1 >= kMaxGapInLine) {
            break;
        }
    }
    if (box.y0 < 0) {
        sheet.report.notes.push_back(LearnMessage{kNoKindCaption});
        return;
    }
    Offer(sheet, kItemKinds[sheet.source->what.kind].templateIndex, Cut(t, box.x0, box.y0, box.x1, box.y1),
          LearnPlace{{}, kSpotKindCaption});
}

// Empty sockets: blue lines without a bullet whose text starts at the captions' column.
bool Learner::LearnSockets(Sheet& sheet) {
    const int wanted = sheet.source->what.emptySockets;
    if (wanted <= 0) return true;
    if (sheet.lines.empty()) return Fail(sheet, kSocketsNeedLines);
    const PixelBuffer& t = sheet.t();
    const int captionX = sheet.lines[0].bulletX + captionOffset;
    int found = 0;
    for (const Band& band : sheet.bands) {
        if (found == wanted) break;
        const bool bulleted = std::any_of(sheet.lines.begin(), sheet.lines.end(),
                                          [&](const FoundLine& l) { return l.band == &band; });
        if (bulleted || band.y0 < sheet.lines[0].top || band.blobs.empty() ||
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
        Offer(sheet, kGlyphEmptySocket, Cut(t, band.blobs.front().x0, band.y0, band.blobs.back().x1, band.y1),
              LearnPlace{{}, kSpotEmptySocket});
    }
    if (found < wanted) return Fail(sheet, kSocketCount, found, wanted);
    return true;
}

// The digit grid from every number of every tooltip, then each number's pictures cut by its cells.
bool Learner::SolveNumbers() {
    GridKnowns knowns;
    knowns.boxHeight = boxHeight;
    if (HasField(kDigitAdvance)) knowns.grid.advance = pack.layout.digitAdvance;
    if (HasField(kPointAdvance)) knowns.grid.pointAdvance = pack.layout.pointAdvance;
    for (int index : {kGlyphBlueTilde, kGlyphWhiteTilde})
        if (Certain(index)) knowns.grid.tildeAdvance = pack.templates[index].width;
    for (int node = 0; node < kNodes; ++node)
        for (bool white : {false, true})
            if (Certain(DigitIndex(node, white)))
                knowns.pictures[DigitIndex(node, white)] = &pack.templates[DigitIndex(node, white)];
    for (const Number& n : numbers)
        if (n.labelIndex >= 0 && Certain(n.labelIndex))
            knowns.pictures[n.labelIndex] = &pack.templates[n.labelIndex];
    GridSolution solution;
    if (!SolveGrid(numbers, knowns, solution, error)) return false;
    const Grid& grid = solution.grid;

    std::vector<int> tildeReach(sheets.size(), -1);
    bool point = false;
    for (size_t i = 0; i < numbers.size(); ++i) {
        const Number& n = numbers[i];
        const Placement& p = solution.placements[i];
        Sheet& sheet = sheets[size_t(n.owner)];
        if (solution.why[i]) sheet.pending.push_back(*solution.why[i]);
        if (!p.placed) continue;
        if (n.labelIndex >= 0)
            Offer(sheet, n.labelIndex, Cut(*n.image, n.labelX, p.top, p.start, p.top + boxHeight), n.where,
                  p.guessed);
        int x = p.start;
        for (char c : n.text) {
            const int node = NodeOf(c), w = grid.Cell(node);
            point = point || node == kPointNode;
            if (node == kTildeNode)
                tildeReach[size_t(n.owner)] = std::max(tildeReach[size_t(n.owner)], x - n.labelX);
            Offer(sheet, DigitIndex(node, n.white), Cut(*n.image, x, p.top, x + w, p.top + boxHeight),
                  n.where, p.guessed);
            x += w;
        }
    }
    for (size_t s = 0; s < sheets.size(); ++s) {
        Sheet& sheet = sheets[s];
        const bool any = std::any_of(numbers.begin(), numbers.end(), [&](const Number& n) {
            return n.owner == int(s) && solution.placements[size_t(&n - numbers.data())].placed;
        });
        if (any) OfferLayout(sheet, kDigitAdvance, grid.advance);
        if (any && point && grid.pointAdvance) OfferLayout(sheet, kPointAdvance, grid.pointAdvance);
        if (tildeReach[s] >= 0) OfferLayout(sheet, kTildeSearch, tildeReach[s] + 8 * grid.advance);
        if (sheet.aps >= 0) LearnWeaponLayout(sheet, grid, solution.placements);
    }
    return true;
}

// Where the damage line stands from the attacks-per-second caption, once all three numbers are
// placed for certain.
void Learner::LearnWeaponLayout(Sheet& sheet, const Grid& grid, const std::vector<Placement>& placed) {
    const size_t aps = size_t(sheet.aps);
    const Placement &speed = placed[aps], &low = placed[aps + 1], &high = placed[aps + 2];
    if (!speed.placed || !low.placed || !high.placed || speed.guessed || low.guessed || high.guessed) return;
    // Where the reader stops after the minimum depends on the pictures (a white point with no
    // pure white pixel matches anywhere), so it is found by reading with them.
    GlyphPack trial = pack;
    for (const auto& [index, piece] : cuts) trial.templates[index] = piece.picture;
    trial.layout.digitAdvance = grid.advance;
    if (grid.pointAdvance) trial.layout.pointAdvance = grid.pointAdvance;
    HitPos end;
    ReadNumber(sheet.t(), low.start, low.top, nullptr, true, kMatchWhiteOnly, 1, &end, trial);
    OfferLayout(sheet, kDamageRight, low.start - sheet.apsCaptionX);
    OfferLayout(sheet, kDamageUp, speed.top - low.top);
    OfferLayout(sheet, kDamageGap, high.start - end.x);
}

void Learner::Commit(PackGuesses& after) {
    for (auto& [index, piece] : cuts) {
        after.picture[index] = piece.guessed;
        if (contents.picture[index] && SamePicture(pack.templates[index], piece.picture)) continue;
        const bool replaces = contents.picture[index];
        pack.templates[index] = std::move(piece.picture);
        contents.picture[index] = true;
        LearnMessage line{kLearnedPicture, piece.where};
        line.picture = index, line.guessed = piece.guessed, line.replaces = replaces;
        sheets[piece.sheet].report.learned.push_back(line);
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

ItemRecord ReadQuietly(const PixelBuffer& tooltip, const GlyphPack& pack) {
    const PopupDelivery previous = SetPopupDelivery(nullptr);
    const ItemRecord got = ParseItem(&tooltip, 0, pack);
    SetPopupDelivery(previous);
    return got;
}

}  // namespace

bool FindTooltipBody(const PixelBuffer& image, PixelBuffer& tooltip, LearnMessage& error) {
    TooltipRect rect;
    if (!FindTooltip(image, rect)) {
        // A tooltip saved with the capture hotkey is the black body alone: the whole picture.
        if (!BlackAllRound(image)) return error = LearnMessage{kNoTooltip}, false;
        rect = TooltipRect{0, 0, image.width, image.height};
    }
    tooltip = CropPixels(image, rect.x, rect.y, rect.width, rect.height);
    return true;
}

bool LearnFromTooltips(const std::vector<TaughtTooltip>& tooltips, GlyphPack& pack, PackContents& contents,
                       PackGuesses& guesses, std::vector<LearnReport>& reports, LearnMessage& error) {
    // Work on copies, so that tooltips that cannot be learned leave the pack as it was.
    GlyphPack next = pack;
    PackContents nextContents = contents;
    Learner learner{next, nextContents, guesses, error, {}, {}, {}, 0, -1};
    learner.sheets.reserve(tooltips.size());
    for (const TaughtTooltip& taught : tooltips) {
        learner.sheets.push_back(Sheet{&taught, FindBands(taught.tooltip), {}, 0, -1, 0, {}, {}});
        Sheet& sheet = learner.sheets.back();
        const LearnTooltip& what = taught.what;
        if (what.kind < 0 || what.kind >= kKindCount) return learner.Fail(sheet, kKindOutOfRange);
        if (what.weapon &&
            (!IsNumber(what.attacksPerSecond) || !IsNumber(what.minDamage) || !IsNumber(what.maxDamage)))
            return learner.Fail(sheet, kWeaponNumbers);
        if (!learner.FindLines(sheet)) return false;
    }
    learner.LearnCaptionOffset();
    for (Sheet& sheet : learner.sheets)
        if (!learner.AddOptionNumbers(sheet) || !learner.AddWeaponNumbers(sheet) ||
            !learner.LearnSockets(sheet))
            return false;
    if (!learner.numbers.empty() && learner.boxHeight == 0) return error = LearnMessage{kLineHeight}, false;
    if (!learner.SolveNumbers()) return false;
    for (Sheet& sheet : learner.sheets) learner.LearnKind(sheet);
    PackGuesses after = guesses;
    learner.Commit(after);

    reports.clear();
    for (Sheet& sheet : learner.sheets) {
        LearnReport& report = sheet.report;
        const ItemRecord got = ReadQuietly(sheet.t(), next), want = ExpectedRecord(sheet.source->what);
        LearnMessage m{kKindReadsAs};
        m.a = got.kind, m.b = want.kind;
        if (got.kind != want.kind) report.readBack.push_back(m);
        m.code = kStatReadsAs;
        for (int s = 0; s < kStatCount; ++s)
            if (got.stats[s] != want.stats[s])
                m.a = s, m.got = got.stats[s], m.want = want.stats[s], report.readBack.push_back(m);
        report.pending = std::move(sheet.pending);
        reports.push_back(std::move(report));
    }
    pack = std::move(next);
    contents = nextContents;
    guesses = after;
    return true;
}

bool LearnFromTooltip(const PixelBuffer& image, const LearnTooltip& what, GlyphPack& pack,
                      PackContents& contents, LearnReport& report, LearnMessage& error) {
    std::vector<TaughtTooltip> one(1);
    if (!FindTooltipBody(image, one[0].tooltip, error)) return false;
    one[0].what = what;
    PackGuesses guesses;
    std::vector<LearnReport> reports;
    if (!LearnFromTooltips(one, pack, contents, guesses, reports, error)) return false;
    report = std::move(reports[0]);
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
