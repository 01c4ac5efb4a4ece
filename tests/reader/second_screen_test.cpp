// The second screen (tests/data/second_screen, made by `glyphgen --second-screen`): another font,
// text size and layout than the built-in pictures. Its pack must come whole from its folder, its
// pictures lay out like game text (glyphs_test proves them told apart, as the built-in ones), and
// its tooltips must read exactly with its own pack and not at all with the built-in one.
#include "tools/compose/second_screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "base/catalogue.h"
#include "reader/locator.h"
#include "reader/pack_check.h"
#include "reader/parser.h"
#include "tests/support/glyph_margins.h"
#include "tests/support/parser_scenes.h"

using scenes::alerts;

namespace {

constexpr int kWeaponCaption = 36;

// The second screen, loaded once (over the built-in pack, loaded first); null when it cannot be.
const SecondScreen* Second() {
    static std::string error;
    static SecondScreen screen;
    static const bool loaded = [] { return LoadGlyphTemplates(error) && LoadSecondScreen(screen, error); }();
    if (!loaded) ADD_FAILURE() << "second screen: " << error;
    return loaded ? &screen : nullptr;
}

const PixelBuffer& Glyph(int index) {
    return Second()->pack.Template(index);
}
const GlyphLayout& Layout() {
    return Second()->pack.layout;
}
const ComposePlacement& Place() {
    return Second()->placement;
}

// A number as the composer lays it out on this screen, '~' standing for a range's tilde. Returns
// the column after the last character.
int DrawText(PixelBuffer& canvas, int x, int y, const std::string& text, bool white) {
    const GlyphPack& pack = Second()->pack;
    size_t tilde = text.find('~');
    x = DrawNumber(canvas, x, y, text.substr(0, tilde), white, pack);
    if (tilde == std::string::npos) return x;
    DrawGlyph(canvas, x, y, white ? kGlyphWhiteTilde : kGlyphBlueTilde, pack);
    return DrawNumber(canvas, x + Place().tildeAdvance, y, text.substr(tilde + 1), white, pack);
}

// First and last inked column of an image (-1, -1 when blank).
std::pair<int, int> InkColumns(const PixelBuffer& image) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width; ++x)
        for (int y = 0; y < image.height; ++y)
            if (PixelAt(image, x, y) != 0) {
                if (first < 0) first = x;
                last = x;
                break;
            }
    return {first, last};
}

// The caption templates of the option pass (every descriptor row but the weapon base line's).
std::vector<int> OptionCaptions() {
    std::vector<int> list;
    for (int row = 0; row < kDescriptorCount; ++row) {
        int index = kStatDescriptors[row].templateIndex;
        if (row != kAttacksPerSecondRow && std::find(list.begin(), list.end(), index) == list.end())
            list.push_back(index);
    }
    return list;
}

constexpr int kLineX = 4, kLineY = 3;

// ---- The pack on disk ----

TEST(SecondScreenPack, EveryCarriedPictureAndTheLayoutComeFromItsFolder) {
    ASSERT_TRUE(Second());
    std::string error;
    ASSERT_TRUE(LoadGlyphTemplates(error)) << error;
    int differing = 0, carried = 0;
    for (int i = 0; i < kGlyphCount; ++i) {
        if (kGlyphInfo[i].resourceId == 0) continue;
        ++carried;
        const PixelBuffer &mine = Glyph(i), &builtIn = GlyphTemplate(i);
        EXPECT_GT(mine.count, 0) << "template " << i;
        differing +=
            mine.width != builtIn.width || mine.height != builtIn.height || mine.pixels != builtIn.pixels;
    }
    EXPECT_EQ(carried, 78);
    EXPECT_EQ(differing, carried) << "every picture is drawn anew for the second screen";
    // Every value of the reader's layout that the pictures are placed by differs from the built-in.
    const GlyphLayout builtIn;
    EXPECT_NE(Layout().captionOffset, builtIn.captionOffset);
    EXPECT_NE(Layout().digitAdvance, builtIn.digitAdvance);
    EXPECT_NE(Layout().pointAdvance, builtIn.pointAdvance);
    EXPECT_NE(Layout().damageGap, builtIn.damageGap);
    EXPECT_NE(Layout().damageRight, builtIn.damageRight);
    EXPECT_NE(Layout().damageUp, builtIn.damageUp);
    EXPECT_NE(Place().lineHeight, ComposePlacement().lineHeight);
    EXPECT_NE(Place().linePitch, ComposePlacement().linePitch);
    // Its digits are exactly as wide as their advance: the check finds nothing in it.
    const std::vector<PackProblem> problems = CheckGlyphPack(Second()->pack);
    EXPECT_TRUE(problems.empty()) << problems.front().text;
}

TEST(SecondScreenPack, AFolderWithoutItsPlacementOrPicturesIsRefused) {
    ASSERT_TRUE(Second());
    namespace fs = std::filesystem;
    const fs::path scratch =
        fs::temp_directory_path() / ("tallywick_second_" + std::to_string(std::random_device()()));
    fs::remove_all(scratch);
    fs::create_directories(scratch);
    for (const auto& entry : fs::directory_iterator(SecondScreenFolder()))
        fs::copy_file(entry.path(), scratch / entry.path().filename());
    SecondScreen copy;
    std::string error;
    EXPECT_TRUE(LoadSecondScreen(copy, scratch.string(), error)) << error;
    EXPECT_EQ(copy.placement, Place());
    EXPECT_EQ(copy.pack.layout, Layout());

    fs::remove(scratch / kPlacementFile);
    EXPECT_FALSE(LoadSecondScreen(copy, scratch.string(), error));
    EXPECT_NE(error.find(kPlacementFile), std::string::npos) << error;

    std::ofstream(scratch / kPlacementFile) << "line_pitch = 22\nline_spacing = 3\n";
    EXPECT_FALSE(LoadSecondScreen(copy, scratch.string(), error));
    EXPECT_NE(error.find("unknown name 'line_spacing'"), std::string::npos) << error;

    std::ofstream(scratch / kPlacementFile) << FormatComposePlacement(Place());
    fs::remove(scratch / "120.bmp");
    EXPECT_FALSE(LoadSecondScreen(copy, scratch.string(), error));
    EXPECT_NE(error.find("120.bmp is missing"), std::string::npos) << error;
    fs::remove_all(scratch);
}

TEST(SecondScreenPack, PlacementTextRoundTrips) {
    ASSERT_TRUE(Second());
    ComposePlacement back;
    std::string error;
    ASSERT_TRUE(ParseComposePlacement(FormatComposePlacement(Place()), back, error)) << error;
    EXPECT_EQ(back, Place());
    ComposePlacement partial = Place();
    ASSERT_TRUE(ParseComposePlacement("# only one\ntilde_advance = 30\n", partial, error)) << error;
    EXPECT_EQ(partial.tildeAdvance, 30);
    EXPECT_EQ(partial.linePitch, Place().linePitch);
    for (const char* bad :
         {"line_pitch 22\n", "line_pitch = -1\n", "line_pitch = 1001\n", "line_pitch = 2x\n"}) {
        ComposePlacement p;
        EXPECT_FALSE(ParseComposePlacement(bad, p, error)) << bad;
        EXPECT_EQ(p, ComposePlacement()) << "a refused text changes nothing: " << bad;
    }
}

// ---- The pictures as game text ----

TEST(SecondScreenPictures, NumbersAreTabularWithTheFontsBearings) {
    ASSERT_TRUE(Second());
    for (bool white : {false, true}) {
        std::vector<int> left, right;
        for (int d = 0; d < 10; ++d) {
            const PixelBuffer& g = Glyph(Digit(d, white));
            EXPECT_EQ(g.width, Layout().digitAdvance) << d;
            EXPECT_EQ(g.height, Place().lineHeight) << d;
            auto [first, last] = InkColumns(g);
            EXPECT_GT(first, 0) << "digit " << d << " starts at its cell's edge";
            left.push_back(first), right.push_back(last);
        }
        // Placed where the pen puts them, not centred or aligned: the blank on the right differs.
        EXPECT_NE(*std::min_element(right.begin(), right.end()),
                  *std::max_element(right.begin(), right.end()));
        EXPECT_LT(right[1] - left[1], right[0] - left[0]) << "a 1 is narrower than a 0";
        EXPECT_EQ(Glyph(white ? kGlyphWhitePoint : kGlyphBluePoint).width, Layout().pointAdvance);
        EXPECT_EQ(Glyph(white ? kGlyphWhiteTilde : kGlyphBlueTilde).width, Place().tildeAdvance);
    }
}

// Characters of a number, the caption and its number, the bullet and its caption: black columns
// between their inks as the composer lays them out.
TEST(SecondScreenPictures, NeighboursInALineNeverTouch) {
    ASSERT_TRUE(Second());
    std::vector<std::string> characters;
    for (char c = '0'; c <= '9'; ++c) characters.push_back(std::string(1, c));
    Worst number, captionToDigit, bulletToCaption;
    for (bool white : {false, true})
        for (const std::string& a : characters)
            for (const std::string& b : characters)
                for (const std::string& between : {std::string(), std::string("."), std::string("~")}) {
                    // The second character alone, at its place after the first (and the point or
                    // tilde between them), against the ink before it.
                    std::string before = a + between;
                    PixelBuffer head(80, 24), tail(80, 24);
                    int x = DrawText(head, 2, 2, before, white);
                    DrawText(tail, x, 2, b, white);
                    number.Take(InkColumns(tail).first - InkColumns(head).second - 1, before + b);
                    if (between.empty()) continue;
                    PixelBuffer first(80, 24), sign(80, 24);  // the digit before the point or tilde
                    x = DrawText(first, 2, 2, a, white);
                    DrawText(sign, x, 2, between == "." ? "0." : "0~0", white);
                    PixelBuffer only(80, 24);
                    const int index = between == "." ? (white ? kGlyphWhitePoint : kGlyphBluePoint)
                                                     : (white ? kGlyphWhiteTilde : kGlyphBlueTilde);
                    DrawGlyph(only, x, 2, index, Second()->pack);
                    number.Take(InkColumns(only).first - InkColumns(first).second - 1, a + between);
                }
    EXPECT_GE(number.value, 1) << "closest neighbours: " << number;

    const int captionX = kLineX + Layout().captionOffset;
    for (int caption : OptionCaptions()) {
        const PixelBuffer& c = Glyph(caption);
        EXPECT_EQ(c.height, Place().lineHeight) << caption;
        auto [first, last] = InkColumns(c);
        EXPECT_EQ(first, 0) << "caption " << caption << " runs from where it starts";
        PixelBuffer bullet(captionX + 2, Place().lineHeight + 8);
        DrawGlyph(bullet, kLineX, kLineY, kGlyphBullet, Second()->pack);
        bulletToCaption.Take(captionX + first - InkColumns(bullet).second - 1, std::to_string(caption));
        for (int d = 0; d < 10; ++d) {
            PixelBuffer digit(captionX + c.width + 20, Place().lineHeight + 8);
            DrawText(digit, captionX + c.width, kLineY, std::to_string(d), IsWhite(caption));
            captionToDigit.Take(InkColumns(digit).first - (captionX + last) - 1,
                                std::to_string(caption) + " then " + std::to_string(d));
        }
    }
    const PixelBuffer& end = Glyph(kWeaponCaption);
    for (int d = 0; d < 10; ++d) {
        PixelBuffer digit(end.width + 20, Place().lineHeight + 8);
        DrawText(digit, end.width, 0, std::to_string(d), true);
        captionToDigit.Take(InkColumns(digit).first - InkColumns(end).second - 1,
                            "36 then " + std::to_string(d));
    }
    EXPECT_GE(captionToDigit.value, 2) << "closest: " << captionToDigit;
    EXPECT_GE(bulletToCaption.value, 3) << "closest: " << bulletToCaption;
}

// Rows of a tooltip body from `top` on, grouped into runs of rows holding ink: one run a line,
// and the black rows between runs.
struct InkRuns {
    int runs = 0;
    int fewestBlackRows = 1 << 30;
};
InkRuns RowRuns(const PixelBuffer& body, int top) {
    InkRuns r;
    int lastInk = -1;
    for (int y = top; y < body.height; ++y) {
        bool ink = false;
        for (int x = 0; x < body.width && !ink; ++x) ink = PixelAt(body, x, y) != 0;
        if (!ink) continue;
        if (lastInk < 0 || y > lastInk + 1) {
            ++r.runs;
            if (lastInk >= 0) r.fewestBlackRows = std::min(r.fewestBlackRows, y - lastInk - 1);
        }
        lastInk = y;
    }
    return r;
}

TEST(SecondScreenPictures, OptionLinesKeepBlackRowsBetweenThem) {
    ASSERT_TRUE(Second());
    TooltipScene s = Second()->Scene();
    s.kind = 4;
    for (int row = 0; row < kDescriptorCount; ++row) {
        const StatDescriptor& d = kStatDescriptors[row];
        if (d.condition == kNever || d.condition == kWeaponsOnly) continue;
        s.lines.push_back(OptionLine(row, "9.5", d.range ? "88" : ""));
        s.lines.back().tailWidth = row % 3 == 0 ? Place().tailWidth : 0;
    }
    s.lines.push_back(RawLine(80, "12", true));
    s.lines.push_back(EmptySocketLine());
    s.height = Place().firstLine + int(s.lines.size()) * Place().linePitch + 20;
    PixelBuffer body;
    std::string error;
    ASSERT_TRUE(ComposeTooltip(s, body, error)) << error;
    InkRuns runs = RowRuns(body, Place().firstLine);
    EXPECT_EQ(runs.runs, int(s.lines.size()));
    EXPECT_GE(runs.fewestBlackRows, 3);
}

// ---- Reading second-screen tooltips ----

class SecondScreenReading : public scenes::ReaderTest {
protected:
    static const GlyphPack& Pack() { return Second()->pack; }
    static ItemRecord Read(const TooltipScene& scene, const GlyphPack& pack, ParseTrace* trace = nullptr) {
        PixelBuffer t = Tooltip(scene);
        return ParseItem(&t, 0, pack, trace);
    }
};

float Number(const std::string& text) {
    return std::stof(text);
}

// What the scene shows, through the descriptor table: each option line whose row applies to the
// kind adds its value to the row's stat (a range's maximum to the next), the weapon block gives
// its three base values. Sockets count for nothing with the default socket choices.
std::map<int, float> Shown(const TooltipScene& s) {
    std::map<int, float> stats;
    const bool weapon = IsWeaponKind(s.kind);
    if (s.weapon) {
        stats[kWeaponAttacksPerSecond] = Number(s.attacksPerSecond);
        stats[kWeaponMin] = Number(s.minDamage);
        stats[kWeaponMax] = Number(s.maxDamage);
    }
    for (const ComposeLine& line : s.lines) {
        if (line.type != ComposeLine::kOption) continue;
        const StatDescriptor& row = kStatDescriptors[line.row];
        const bool applies = row.condition == kEveryKind || (row.condition == kWeaponsOnly && weapon) ||
                             (row.condition == kNonWeaponsOnly && !weapon);
        if (!applies || row.stat < 0) continue;
        stats[row.stat] += Number(line.value);
        if (row.range) stats[row.stat + 1] += Number(line.maxValue);
    }
    return stats;
}

void ExpectStats(const ItemRecord& r, const std::map<int, float>& expected) {
    for (int s = 0; s < kStatCount; ++s) {
        auto it = expected.find(s);
        EXPECT_FLOAT_EQ(r.stats[s], it == expected.end() ? 0.0f : it->second) << "stat " << s;
    }
}

// A ring: several option lines with whole and fractional values, a "%" after some, a cold damage
// range, a line no row knows, a white gem line and an empty socket.
TooltipScene Ring() {
    TooltipScene s = Second()->Scene();
    s.kind = 4;
    s.lines = {OptionLine(7, "82"),   OptionLine(4, "6.5"), OptionLine(5, "52"), OptionLine(19, "12", "38"),
               OptionLine(13, "9.5"), OptionLine(15, "51"), RawLine(100, "14"),  OptionLine(1, "7"),
               OptionLine(27, "20"),  OptionLine(35, "46"), EmptySocketLine()};
    s.lines[1].tailWidth = s.lines[2].tailWidth = s.lines[4].tailWidth = Place().tailWidth;
    s.lines.insert(s.lines.begin(), TextBlock(20, Place().slotTop, 150, Place().lineHeight, 0x1E8AF0));
    return s;
}

// A two-hand weapon: 1.40 attacks per second, damage 1187 - 1463, dexterity, vitality, a fire
// damage range, weapon damage and attack speed, a gem of life per hit and an empty socket.
TooltipScene TwoHander() {
    TooltipScene s = Second()->Scene();
    s.kind = 2;
    s.weapon = true, s.attacksPerSecond = "1.40", s.minDamage = "1187", s.maxDamage = "1463";
    s.lines = {OptionLine(6, "412"),   OptionLine(11, "220"), OptionLine(21, "231", "462"),
               OptionLine(5, "52.5"),  OptionLine(17, "9"),   OptionLine(16, "7"),
               OptionLine(31, "1450"), EmptySocketLine()};
    s.lines[3].tailWidth = s.lines[4].tailWidth = Place().tailWidth;
    return s;
}

TEST_F(SecondScreenReading, ARingReadsEveryLineWithItsPack) {
    ASSERT_TRUE(Second());
    const TooltipScene s = Ring();
    ParseTrace trace;
    ItemRecord r = Read(s, Pack(), &trace);
    EXPECT_EQ(r.kind, 4);
    ExpectStats(r, Shown(s));
    // The same, as the scene says it.
    EXPECT_FLOAT_EQ(r.stats[kIntelligence], 82 + 46);
    EXPECT_FLOAT_EQ(r.stats[kCritChance], 6.5f);
    EXPECT_FLOAT_EQ(r.stats[kElementalMin], 12);
    EXPECT_FLOAT_EQ(r.stats[kElementalMax], 38);
    EXPECT_FLOAT_EQ(r.stats[kLifePercent], 9.5f);
    EXPECT_FLOAT_EQ(r.stats[kAttackSpeed], 7);
    EXPECT_TRUE(alerts.empty());
    ASSERT_EQ(trace.misses.size(), 1u) << "only the line no row knows";
    EXPECT_EQ(trace.misses[0].bullet, 6);
}

TEST_F(SecondScreenReading, AWeaponReadsItsBaseLineAndOptions) {
    ASSERT_TRUE(Second());
    for (int rise : {Layout().damageUp, Layout().damageUp + 1}) {
        TooltipScene s = TwoHander();
        s.damageRise = rise;
        ItemRecord r = Read(s, Pack());
        SCOPED_TRACE("rise " + std::to_string(rise));
        EXPECT_EQ(r.kind, 2);
        ExpectStats(r, Shown(s));
        EXPECT_FLOAT_EQ(r.stats[kWeaponAttacksPerSecond], 1.4f);
        EXPECT_FLOAT_EQ(r.stats[kWeaponMin], 1187);
        EXPECT_FLOAT_EQ(r.stats[kWeaponMax], 1463);
        EXPECT_FLOAT_EQ(r.stats[kLifePerHit], 1450);
        EXPECT_FLOAT_EQ(r.stats[kWeaponSpeedPercent], 7);
    }
    EXPECT_TRUE(alerts.empty());
    TooltipScene s = TwoHander();
    s.damageRise = Layout().damageUp + 2;
    PixelBuffer t;
    std::string error;
    EXPECT_FALSE(ComposeTooltip(s, t, error));
    EXPECT_NE(error.find(std::to_string(Layout().damageUp)), std::string::npos) << error;
}

TEST_F(SecondScreenReading, WeaponDamageOfEveryDigitAndWithAFraction) {
    ASSERT_TRUE(Second());
    const std::pair<const char*, const char*> ranges[] = {
        {"1234", "5678"}, {"9012", "3456"}, {"7890", "12"}, {"12.5", "30"}, {"8", "9.25"}};
    for (auto [low, high] : ranges) {
        TooltipScene s = TwoHander();
        s.minDamage = low, s.maxDamage = high;
        ItemRecord r = Read(s, Pack());
        EXPECT_FLOAT_EQ(r.stats[kWeaponMin], Number(low)) << low;
        EXPECT_FLOAT_EQ(r.stats[kWeaponMax], Number(high)) << high;
    }
}

// Every descriptor row drawn alone feeds its own stat and nothing else.
TEST_F(SecondScreenReading, EveryRowFeedsItsOwnStatOnly) {
    ASSERT_TRUE(Second());
    for (int row = 0; row < kDescriptorCount; ++row) {
        const StatDescriptor& d = kStatDescriptors[row];
        if (d.condition == kNever) continue;
        TooltipScene s = Second()->Scene();
        s.kind = d.condition == kWeaponsOnly ? 1 : 7;
        if (d.condition == kWeaponsOnly)
            s.weapon = true, s.attacksPerSecond = "1", s.minDamage = "2", s.maxDamage = "3";
        s.lines = {OptionLine(row, "37", d.range ? "64" : "")};
        SCOPED_TRACE("row " + std::to_string(row));
        std::map<int, float> expected = Shown(s);
        if (d.stat >= 0) {
            EXPECT_EQ(expected[d.stat], 37);
        }
        ExpectStats(Read(s, Pack()), expected);
    }
}

TEST_F(SecondScreenReading, EveryKindIsIdentifiedWithItsPackAndNoneWithTheBuiltIn) {
    ASSERT_TRUE(Second());
    for (int kind = 0; kind < kKindCount; ++kind) {
        TooltipScene s = Second()->Scene();
        s.kind = kind;
        s.lines = {OptionLine(7, "5")};
        ItemRecord r = Read(s, Pack());
        EXPECT_EQ(r.kind, kind);
        EXPECT_FLOAT_EQ(r.stats[kIntelligence], 5) << "kind " << kind;
        alerts.clear();
        ItemRecord builtIn = Read(s, BuiltInPack());
        EXPECT_EQ(builtIn.kind, -1) << "kind " << kind;
        ASSERT_FALSE(alerts.empty());
        EXPECT_EQ(alerts[0], kAlertUnknownKind);
    }
}

TEST_F(SecondScreenReading, TheBuiltInPackCannotReadTheSecondScreen) {
    ASSERT_TRUE(Second());
    for (const TooltipScene& s : {Ring(), TwoHander()}) {
        alerts.clear();
        ItemRecord r = Read(s, BuiltInPack());
        EXPECT_EQ(r.kind, -1);
        for (float v : r.stats) EXPECT_EQ(v, 0);
        ASSERT_FALSE(alerts.empty());
        EXPECT_EQ(alerts[0], kAlertUnknownKind);
        // Its bullets are not the built-in ones either: nothing on the screen matched, which the
        // reader reports as pictures that do not fit the screen.
        EXPECT_NE(std::find(alerts.begin(), alerts.end(), std::u16string(kAlertPackMismatch)), alerts.end());
    }
    // And the second pack does not read the built-in screen.
    ItemRecord r = Read(scenes::Chest(), Pack());
    EXPECT_EQ(r.kind, -1);
}

// The whole screen: the locator finds the tooltip on the desktop and the pack reads it.
TEST_F(SecondScreenReading, AComposedScreenIsFoundAndRead) {
    ASSERT_TRUE(Second());
    TooltipScene s = Ring();
    s.screenWidth = 1280, s.screenHeight = 900, s.x = 700, s.y = 120;
    PixelBuffer screen;
    std::string error;
    ASSERT_TRUE(ComposeScreen(s, screen, error)) << error;
    PixelBuffer cut;
    HitPos at;
    ASSERT_TRUE(LocateTooltip(screen, cut, &at));
    EXPECT_EQ(at.x, s.x);
    EXPECT_EQ(at.y, s.y);
    ItemRecord r = ParseItem(&cut, 0, Pack());
    EXPECT_EQ(r.kind, 4);
    ExpectStats(r, Shown(s));
}

}  // namespace
