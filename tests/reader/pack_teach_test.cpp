// Teaching a pack folder as the player does from the program: one described tooltip at a time, in
// any order; tooltips that cannot be placed on the digit grid yet wait in the folder and are
// learned once later ones settle it; a description that does not fit changes nothing on the disk.
#include "reader/pack_teach.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>

#include "base/bmp.h"
#include "base/files.h"
#include "reader/pack_check.h"
#include "tests/support/parser_scenes.h"
#include "tests/support/second_screen_scenes.h"

namespace {

namespace fs = std::filesystem;

// Every file under a folder with its bytes.
std::map<std::string, std::vector<uint8_t>> Snapshot(const fs::path& folder) {
    std::map<std::string, std::vector<uint8_t>> files;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file()) continue;
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(ReadFileBytes(it->path().string(), bytes, error)) << error;
        files[fs::relative(it->path(), folder).string()] = std::move(bytes);
    }
    return files;
}

class PackTeaching : public scenes::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        std::string error;
        ASSERT_TRUE(LoadSecondScreen(second_, error)) << error;
        root_ = fs::temp_directory_path() / ("tallywick-teach-" + std::to_string(std::random_device()()));
        folder_ = (root_ / "1920x1080").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
        ReaderTest::TearDown();
    }
    TeachOutcome Teach(const TooltipScene& scene) {
        TeachOutcome outcome;
        LearnMessage error;
        EXPECT_TRUE(TeachPackFolder(folder_, Tooltip(scene), Describe(scene), outcome, error))
            << MessageText(error);
        return outcome;
    }
    GlyphPack Pack() {
        GlyphPack pack;
        std::string error;
        EXPECT_TRUE(LoadGlyphPack(folder_, pack, error)) << error;
        return pack;
    }
    static void ExpectRecord(const ItemRecord& got, const LearnTooltip& what) {
        const ItemRecord want = ExpectedRecord(what);
        EXPECT_EQ(got.kind, want.kind);
        for (int s = 0; s < kStatCount; ++s) EXPECT_EQ(got.stats[s], want.stats[s]) << "stat " << s;
    }

    SecondScreen second_;
    fs::path root_;
    std::string folder_;
};

TEST_F(PackTeaching, ATooltipTheGridCannotPlaceYetWaitsAndIsLearnedOnceItCan) {
    // One digit alone: its spacing cannot be known from it.
    TooltipScene early = second_screen_scenes::Scene(second_, 4, {OptionLine(7, "3")});
    EXPECT_TRUE(Teach(early).wrote);
    TeachOutcome first = Teach(early);  // taught twice while it waits: kept once
    EXPECT_FALSE(first.wrote);
    ASSERT_EQ(first.pending.size(), 1u);
    EXPECT_EQ(first.pending[0].name, "pending/0001");
    ASSERT_FALSE(first.pending[0].why.empty());
    EXPECT_EQ(first.pending[0].why[0].code, kDigitSpacingUnsure);
    EXPECT_TRUE(fs::exists(fs::path(folder_) / "pending" / "0001.bmp"));
    LearnTooltip kept;
    std::string text, error;
    ASSERT_TRUE(ReadFileBytes(folder_ + "/pending/0001.txt", text, error, 1 << 16)) << error;
    ASSERT_TRUE(ParseTooltipDescription(text, kept, error)) << error;
    EXPECT_EQ(FormatTooltipDescription(kept), FormatTooltipDescription(Describe(early)));

    // The ring settles the spacing and the 3 with it; its own 6 and 89 share no digit with
    // anything placed, so it waits, reading back by a guess, until the weapon's white digits
    // show those digits' shapes.
    std::vector<std::vector<std::string>> settled;
    std::vector<std::vector<PendingTooltip>> pending;
    for (const TooltipScene& scene : SecondScreenTeaching(second_)) {
        const TeachOutcome o = Teach(scene);
        EXPECT_TRUE(o.report.readBack.empty()) << MessageText(o.report.readBack[0]);
        EXPECT_TRUE(o.report.disagreements.empty()) << MessageText(o.report.disagreements[0]);
        ExpectRecord(o.readBack, Describe(scene));
        settled.push_back(o.settled), pending.push_back(o.pending);
    }
    using Names = std::vector<std::vector<std::string>>;
    EXPECT_EQ(settled, (Names{{"pending/0001"}, {"pending/0002"}, {}}));
    ASSERT_EQ(pending[0].size(), 1u);
    EXPECT_EQ(pending[0][0].name, "pending/0002");
    ASSERT_FALSE(pending[0][0].why.empty());
    EXPECT_EQ(pending[0][0].why[0].code, kPlacedByGuess);
    EXPECT_EQ(pending[1].size() + pending[2].size(), 0u);
    EXPECT_FALSE(fs::exists(fs::path(folder_) / "pending"));  // nothing waits, no guess is left
    const GlyphPack pack = Pack();
    PixelBuffer t = Tooltip(early);
    ExpectRecord(ParseItem(&t, 0, pack), Describe(early));
    for (const TooltipScene& scene : SecondScreenOthers(second_)) {
        t = Tooltip(scene);
        ExpectRecord(ParseItem(&t, 0, pack), Describe(scene));
    }
}

TEST_F(PackTeaching, AFolderThatTakesThePicturesButNotTheWaitingTooltipSaysItChanged) {
    // A file where the pending folder goes: the pictures are written, keeping the tooltip fails.
    fs::create_directories(folder_);
    std::string error;
    ASSERT_TRUE(WriteFileBytes(folder_ + "/pending", std::vector<uint8_t>{'x'}, error)) << error;
    const TooltipScene early = second_screen_scenes::Scene(second_, 4, {OptionLine(7, "3")});
    TeachOutcome outcome;
    LearnMessage failure;
    EXPECT_FALSE(TeachPackFolder(folder_, Tooltip(early), Describe(early), outcome, failure));
    EXPECT_TRUE(outcome.folderFailed);
    EXPECT_GT(Snapshot(folder_).size(), 1u);  // pictures beside the stray file
    EXPECT_TRUE(outcome.wrote);               // so the program reads them from now on
}

TEST(KeptDescription, ReadsBackWhatWasWrittenAndRefusesWhatIsDamaged) {
    LearnTooltip what;
    what.kind = 1;
    what.weapon = true, what.attacksPerSecond = "1.40", what.minDamage = "107", what.maxDamage = "346";
    what.emptySockets = 2;
    what.lines = {{6, "82"}, {-1, "12 %"}, {12, "7~9"}};
    LearnTooltip back;
    std::string error;
    ASSERT_TRUE(ParseTooltipDescription(FormatTooltipDescription(what), back, error)) << error;
    EXPECT_EQ(FormatTooltipDescription(back), FormatTooltipDescription(what));
    EXPECT_EQ(back.lines[1].text, "12 %");
    for (const char* damaged : {"line 6 82\n", "kind 13\n", "kind 4\nline 40 3\n", "kind 4\nweapon 1.4 7\n",
                                "kind 4\nempty_sockets -1\n", "kind 4\nline 6\n", "kind 4\nfrobnicate\n"})
        EXPECT_FALSE(ParseTooltipDescription(damaged, back, error)) << damaged;
}

TEST_F(PackTeaching, AKeptTooltipThatTurnsOutMisdescribedIsLeftAsideNotLearned) {
    // A 3 described as 4 cannot be told wrong while nothing is known of the grid: it waits.
    const TooltipScene early = second_screen_scenes::Scene(second_, 4, {OptionLine(7, "3")});
    LearnTooltip wrong = Describe(early);
    wrong.lines[0].text = "4";
    TeachOutcome outcome;
    LearnMessage error;
    ASSERT_TRUE(TeachPackFolder(folder_, Tooltip(early), wrong, outcome, error)) << MessageText(error);
    ASSERT_EQ(outcome.pending.size(), 1u);
    // Once the ring places the 3 and the 4, it reads back as 3: left aside, the ring learned.
    const TooltipScene ring = SecondScreenTeaching(second_)[0];
    outcome = Teach(ring);
    EXPECT_TRUE(outcome.settled.empty());
    ASSERT_EQ(outcome.pending.size(), 2u);
    EXPECT_EQ(outcome.pending[1].name, "pending/0001");
    EXPECT_TRUE(outcome.pending[1].leftAside);
    EXPECT_EQ(outcome.pending[1].why.size(), 1u);
    PixelBuffer t = Tooltip(ring);
    ExpectRecord(ParseItem(&t, 0, Pack()), Describe(ring));
}

TEST_F(PackTeaching, WhatDoesNotFitWritesNothingAndTeachingAgainRewritesNothing) {
    for (const TooltipScene& scene : SecondScreenTeaching(second_)) Teach(scene);
    const auto before = Snapshot(folder_);
    ASSERT_FALSE(before.empty());
    // The ring described as a chest: the pack knows the ring's caption, so it reads back wrong.
    TooltipScene ring = SecondScreenOthers(second_)[0];
    LearnTooltip wrongKind = Describe(ring);
    wrongKind.kind = 6;
    TeachOutcome outcome;
    LearnMessage error;
    ASSERT_TRUE(TeachPackFolder(folder_, Tooltip(ring), wrongKind, outcome, error)) << MessageText(error);
    EXPECT_FALSE(outcome.wrote);
    EXPECT_FALSE(outcome.report.readBack.empty());
    // A line too many: refused.
    LearnTooltip extra = Describe(ring);
    extra.lines.push_back({7, "5"});
    EXPECT_FALSE(TeachPackFolder(folder_, Tooltip(ring), extra, outcome, error));
    EXPECT_FALSE(outcome.folderFailed);
    // The same tooltips again: nothing new, no file touched.
    for (const TooltipScene& scene : SecondScreenTeaching(second_)) EXPECT_FALSE(Teach(scene).wrote);
    EXPECT_EQ(Snapshot(folder_), before);
}

TEST_F(PackTeaching, GuessFillsWhatThePackReadsAndFindsLinesOfAnUnknownBullet) {
    const TooltipScene weapon = SecondScreenOthers(second_)[2];
    TooltipGuess guess;
    LearnMessage error;
    // The built-in pack knows nothing of this screen, yet the lines are found.
    ASSERT_TRUE(GuessTooltip(Tooltip(weapon), BuiltInPack(), guess, error)) << MessageText(error);
    EXPECT_EQ(guess.what.kind, -1);
    EXPECT_EQ(guess.what.lines.size(), 2u);  // two bulleted lines; the empty socket has no bullet
    EXPECT_EQ(guess.filled, 0);
    for (const TooltipScene& scene : SecondScreenTeaching(second_)) Teach(scene);
    ASSERT_TRUE(GuessTooltip(Tooltip(weapon), Pack(), guess, error)) << MessageText(error);
    EXPECT_EQ(FormatTooltipDescription(guess.what), FormatTooltipDescription(Describe(weapon)));
    EXPECT_TRUE(guess.weaponLines);
    EXPECT_EQ(guess.filled, 1 + 2 + 2 * 2 + 1);  // kind, weapon lines, two lines, sockets
    ASSERT_EQ(guess.lineTops.size(), 2u);
    EXPECT_LT(guess.lineTops[0], guess.lineTops[1]);
    // A caption never taught: the row is left to the player, the value read after the caption's
    // closing sign as the known captions place it.
    TooltipScene ring = SecondScreenOthers(second_)[0];
    ring.lines.push_back(OptionLine(24, "120"));
    ASSERT_TRUE(GuessTooltip(Tooltip(ring), Pack(), guess, error)) << MessageText(error);
    ASSERT_EQ(guess.what.lines.size(), 5u);
    EXPECT_EQ(guess.what.lines[4].row, -1);
    EXPECT_EQ(guess.what.lines[4].text, "120");
    PixelBuffer blank(400, 300);
    EXPECT_FALSE(GuessTooltip(blank, Pack(), guess, error));
}

}  // namespace

namespace {

// The tight screen: digits, points and tildes touch their neighbours, as small game text does.
class TightTeaching : public PackTeaching {
protected:
    void SetUp() override {
        PackTeaching::SetUp();
        std::string error;
        ASSERT_TRUE(LoadTightScreen(tight_, error)) << error;
    }
    SecondScreen tight_;
};

TEST_F(TightTeaching, AnyOrderOfAFewTooltipsTeachesAPackThatReadsTheOthersExactly) {
    // The built-in pictures read none of this screen, and the old ink-gap learner could not cut it.
    for (const TooltipScene& scene : TightScreenOthers(tight_)) {
        PixelBuffer t = Tooltip(scene);
        EXPECT_EQ(ParseItem(&t, 0).kind, -1);
    }
    for (unsigned seed : {1u, 2u, 3u, 4u}) {
        SCOPED_TRACE("order " + std::to_string(seed));
        std::vector<TooltipScene> teaching = TightScreenTeaching(tight_);
        std::shuffle(teaching.begin(), teaching.end(), std::mt19937(seed));
        fs::remove_all(folder_);
        TeachOutcome o;
        for (const TooltipScene& scene : teaching) {
            o = Teach(scene);
            EXPECT_TRUE(o.fits);
            EXPECT_TRUE(o.report.disagreements.empty()) << MessageText(o.report.disagreements[0]);
            for (const LearnMessage& why : o.report.pending)
                EXPECT_TRUE(why.code == kDigitSpacingUnsure || why.code == kPointSpacingUnsure ||
                            why.code == kTildeSpacingUnsure || why.code == kPlacedByGuess)
                    << MessageText(why);
        }
        // Every kept tooltip settled; every digit, point and mark the reader uses is learned.
        EXPECT_TRUE(o.pending.empty()) << PendingText(o.pending[0]);
        const std::vector<int> none;
        EXPECT_EQ(o.missing.blue, none);
        EXPECT_EQ(o.missing.white, none);
        EXPECT_EQ(o.missing.marks, none);
        EXPECT_EQ(o.missing.layout, none);
        GlyphPack pack;
        PackContents contents;
        std::string error;
        ASSERT_TRUE(LoadGlyphPack(folder_, pack, error, &contents)) << error;
        for (const PackProblem& p : CheckGlyphPack(pack, &contents)) ADD_FAILURE() << p.text;
        for (const TooltipScene& scene : TightScreenOthers(tight_)) {
            PixelBuffer t = Tooltip(scene);
            ExpectRecord(ParseItem(&t, 0, pack), Describe(scene));
        }
    }
}

}  // namespace
