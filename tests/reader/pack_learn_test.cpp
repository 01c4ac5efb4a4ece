// Learning a glyph pack from described tooltips: a pack learned from a few tooltips reads other
// tooltips of the same screen exactly, and the learner refuses what it cannot stand behind.
#include "reader/pack_learn.h"

#include <gtest/gtest.h>

#include "base/catalogue.h"
#include "reader/locator.h"
#include "reader/pack_missing.h"
#include "tests/support/parser_scenes.h"
#include "tests/support/second_screen_scenes.h"

namespace {

using scenes::ReaderTest;

// The built-in digits fill their cells, and some pairs touch ("99", "0.", "9~"): the learner
// cannot tell touching characters apart, so these values avoid them.
TooltipScene Ring() {
    TooltipScene s;
    s.kind = 4;
    s.lines = {OptionLine(6, "1120"), OptionLine(7, "345"), OptionLine(4, "7.5"), OptionLine(12, "71", "75")};
    return s;
}

TooltipScene Amulet() {
    TooltipScene s;
    s.kind = 11;
    s.lines = {OptionLine(10, "240"), OptionLine(15, "57"), OptionLine(13, "8"), OptionLine(37, "31")};
    return s;
}

class PackLearning : public ReaderTest {
protected:
    static PixelBuffer Screen(const TooltipScene& scene) {
        PixelBuffer screen;
        std::string error;
        EXPECT_TRUE(ComposeScreen(scene, screen, error)) << error;
        return screen;
    }
    // Learns the scenes into an empty pack; every one must be learned without disagreement.
    static GlyphPack LearnAll(const std::vector<TooltipScene>& scenes, PackContents& contents) {
        GlyphPack pack;  // no picture at all: nothing can be read that was not learned
        for (const TooltipScene& scene : scenes) {
            LearnReport report;
            LearnMessage error;
            EXPECT_TRUE(LearnFromTooltip(Screen(scene), Describe(scene), pack, contents, report, error))
                << MessageText(error);
            EXPECT_TRUE(report.disagreements.empty()) << MessageText(report.disagreements[0]);
            EXPECT_TRUE(report.readBack.empty()) << MessageText(report.readBack[0]);
        }
        return pack;
    }
    static void ExpectReads(const TooltipScene& scene, const GlyphPack& pack) {
        PixelBuffer t = Tooltip(scene);
        const ItemRecord got = ParseItem(&t, 0, pack), want = ExpectedRecord(Describe(scene));
        EXPECT_EQ(got.kind, want.kind);
        for (int s = 0; s < kStatCount; ++s) EXPECT_EQ(got.stats[s], want.stats[s]) << "stat " << s;
    }
};

TEST_F(PackLearning, ExpectedRecordIsWhatTheBuiltInPackReads) {
    // The learner's own yardstick must agree with the reader on scenes the built-in pack reads.
    for (const TooltipScene& s : {Ring(), Amulet(), scenes::Weapon()}) {
        const ItemRecord got = Parse(s), want = ExpectedRecord(Describe(s));
        EXPECT_EQ(got.kind, want.kind);
        for (int i = 0; i < kStatCount; ++i) EXPECT_EQ(got.stats[i], want.stats[i]) << "stat " << i;
    }
}

TEST_F(PackLearning, PackLearnedFromTwoTooltipsReadsAnotherExactly) {
    PackContents contents;
    TooltipScene weapon = scenes::Weapon();
    weapon.attacksPerSecond = "1.10", weapon.minDamage = "1187", weapon.maxDamage = "1467";
    const GlyphPack pack = LearnAll({Ring(), weapon}, contents);
    EXPECT_EQ(pack.layout.captionOffset, 11);
    EXPECT_EQ(pack.layout.digitAdvance, 9);
    EXPECT_EQ(pack.layout.pointAdvance, 4);
    EXPECT_EQ(pack.layout.damageUp, 19);

    TooltipScene other;
    other.kind = 4;
    other.lines = {OptionLine(7, "7.5"), OptionLine(6, "573"), OptionLine(12, "17", "1575")};
    ExpectReads(other, pack);
    TooltipScene sword = weapon;
    sword.attacksPerSecond = "1.41", sword.minDamage = "417", sword.maxDamage = "711", sword.damageRise = 20;
    sword.lines = {OptionLine(7, "17"), OptionLine(6, "1.5")};
    ExpectReads(sword, pack);
}

TEST_F(PackLearning, PackFolderKeepsWhatWasLearnedAndListsWhatIsMissing) {
    PackContents contents;
    const GlyphPack pack = LearnAll({Ring()}, contents);
    const std::vector<std::string> missing = MissingLines(MissingFromPack(contents));
    // Ring() has no white text, no weapon and no sockets; it has the ring's kind and four captions.
    ASSERT_FALSE(missing.empty());
    EXPECT_EQ(missing[0], "blue digits: 6, 8, 9");
    EXPECT_EQ(missing[1], "white digits: 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, point");  // no row has a white range
    EXPECT_EQ(missing[2], "marks: empty socket, attacks per second");
    EXPECT_NE(missing[3].find("kinds: 0 "), std::string::npos);
    EXPECT_EQ(missing[3].find("4 반지"), std::string::npos);
    EXPECT_NE(missing[3].find("5 투구"), std::string::npos);
    EXPECT_EQ(missing.back(), "layout: damage_gap, damage_right, damage_up");
}

TEST_F(PackLearning, DisagreementsAreReportedAndNeverWrittenOver) {
    PackContents contents;
    GlyphPack pack = LearnAll({Ring()}, contents);
    // A tooltip whose "7" is drawn differently: the learner reports it and keeps the pack's.
    const PixelBuffer seven = pack.templates[kGlyphBlueDigit0 + 7];
    TooltipScene s = Amulet();
    s.lines = {OptionLine(7, "77")};
    PixelBuffer screen = Screen(s);
    TooltipRect rect;
    ASSERT_TRUE(FindTooltip(screen, rect));
    // Brighten one inked pixel of the second 7 (bullet 16 + caption offset 11 + caption + one digit).
    const int x = rect.x + 16 + 11 + GlyphTemplate(kStatDescriptors[7].templateIndex).width + 9;
    const int y = rect.y + 44;
    bool changed = false;
    for (int dy = 0; dy < 10 && !changed; ++dy)
        for (int dx = 0; dx < 9 && !changed; ++dx) {
            uint32_t& p = screen.pixels[size_t(y + dy) * screen.width + x + dx];
            if (p != 0 && p != kBlue) p = kBlue, changed = true;
        }
    ASSERT_TRUE(changed);
    LearnReport report;
    LearnMessage error;
    ASSERT_TRUE(LearnFromTooltip(screen, Describe(s), pack, contents, report, error)) << MessageText(error);
    ASSERT_EQ(report.disagreements.size(), 1u);
    EXPECT_EQ(report.disagreements[0].code, kDiffersFromPack);
    EXPECT_EQ(report.disagreements[0].picture, kGlyphBlueDigit0 + 7);
    EXPECT_EQ(report.disagreements[0].at.line, 1);
    EXPECT_EQ(pack.templates[kGlyphBlueDigit0 + 7].pixels, seven.pixels);
}

TEST_F(PackLearning, DescriptionsThatDoNotFitTheTooltipAreRefusedAndChangeNothing) {
    PackContents contents;
    GlyphPack pack;
    LearnMessage error;
    LearnReport report;
    LearnTooltip d = Describe(Ring());
    d.lines.pop_back();  // one line fewer than the tooltip shows
    EXPECT_FALSE(LearnFromTooltip(Screen(Ring()), d, pack, contents, report, error));
    EXPECT_EQ(MessageText(error), "found no 3 lines beginning with the same bullet");
    d = Describe(Ring());
    d.lines[1].text = "34";  // fewer digits than drawn still fits; more than the line holds does not
    d.lines[0].text = "12345678901";
    EXPECT_FALSE(LearnFromTooltip(Screen(Ring()), d, pack, contents, report, error));
    d = Describe(Ring());
    d.lines[2].text = "6.5.5";
    EXPECT_FALSE(LearnFromTooltip(Screen(Ring()), d, pack, contents, report, error));
    EXPECT_EQ(contents.Pictures(), 0);
    EXPECT_EQ(contents.layoutFields, 0u);
    // No digit repeats and no point sits between equal digits: the spacing is not certain, which
    // is no fault of the description. Its bullet and kind are learned; its numbers wait.
    TooltipScene plain;
    plain.kind = 4;
    plain.lines = {OptionLine(7, "3")};
    ASSERT_TRUE(LearnFromTooltip(Screen(plain), Describe(plain), pack, contents, report, error))
        << MessageText(error);
    ASSERT_EQ(report.pending.size(), 1u);
    EXPECT_EQ(report.pending[0].code, kDigitSpacingUnsure);
    EXPECT_TRUE(contents.picture[kGlyphBullet]);
    EXPECT_FALSE(contents.picture[kGlyphBlueDigit0 + 3]);
    EXPECT_FALSE(contents.picture[kStatDescriptors[7].templateIndex]);
    EXPECT_EQ(contents.layoutFields, 1u);  // the caption offset only
}

}  // namespace

namespace {

// A screen the built-in pictures cannot read: another font, text size and layout. Three described
// tooltips teach a pack that reads the others exactly.
class SecondScreenLearning : public PackLearning {
protected:
    void SetUp() override {
        PackLearning::SetUp();
        std::string error;
        ASSERT_TRUE(LoadSecondScreen(second_, error)) << error;
    }
    std::vector<TooltipScene> Teaching() const { return SecondScreenTeaching(second_); }
    std::vector<TooltipScene> Others() const { return SecondScreenOthers(second_); }
    SecondScreen second_;
};

TEST_F(SecondScreenLearning, BuiltInPackCannotReadIt) {
    for (const TooltipScene& s : Others()) {
        PixelBuffer t = Tooltip(s);
        EXPECT_EQ(ParseItem(&t, 0).kind, -1);
    }
}

TEST_F(SecondScreenLearning, ThreeTooltipsTeachAPackThatReadsTheOthersExactly) {
    PackContents contents;
    GlyphPack pack = BuiltInPack();  // as the command line starts: unlearned pictures fall back
    bool saved = true;
    for (const TooltipScene& scene : Teaching()) {
        LearnReport report;
        LearnMessage error;
        // The first as the capture hotkey saves it (the tooltip alone), the others as screenshots.
        const PixelBuffer picture = saved ? Tooltip(scene) : Screen(scene);
        saved = false;
        ASSERT_TRUE(LearnFromTooltip(picture, Describe(scene), pack, contents, report, error))
            << MessageText(error);
        EXPECT_TRUE(report.disagreements.empty()) << MessageText(report.disagreements[0]);
        EXPECT_TRUE(report.readBack.empty()) << MessageText(report.readBack[0]);
        EXPECT_TRUE(report.notes.empty()) << MessageText(report.notes[0]);
    }
    // Every spacing is measured as drawn; the tilde's search reach is only widened to what was
    // seen, with room to spare.
    GlyphLayout measured = pack.layout;
    EXPECT_GE(measured.tildeSearch, 200);
    measured.tildeSearch = second_.pack.layout.tildeSearch;
    EXPECT_EQ(measured, second_.pack.layout);
    for (const TooltipScene& s : Others()) ExpectReads(s, pack);
    // Teaching the same tooltips again changes nothing and finds no disagreement.
    const PackContents before = contents;
    for (const TooltipScene& scene : Teaching()) {
        LearnReport report;
        LearnMessage error;
        ASSERT_TRUE(LearnFromTooltip(Screen(scene), Describe(scene), pack, contents, report, error))
            << MessageText(error);
        EXPECT_TRUE(report.learned.empty()) << MessageText(report.learned[0]);
        EXPECT_TRUE(report.disagreements.empty()) << MessageText(report.disagreements[0]);
    }
    EXPECT_EQ(contents.Pictures(), before.Pictures());
}

}  // namespace
