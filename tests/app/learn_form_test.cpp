// The glyph pack dialog's form: from a guess to the learner's description, what the player must fix
// first, the fields counted as filled by hand, the texts about a pack, and the folder probe.
#include "app/learn_form.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "app/learn_korean.h"
#include "base/catalogue.h"

namespace fs = std::filesystem;

namespace {

TooltipGuess WeaponGuess() {
    TooltipGuess g;
    g.what.kind = 1;
    g.what.weapon = true;
    g.what.attacksPerSecond = "1.40";
    g.what.minDamage = "712";
    g.what.maxDamage = "1039";
    g.what.emptySockets = 1;
    g.what.lines = {{6, "82"}, {-1, ""}, {16, "9.5"}};
    return g;
}

TEST(LearnFormTest, AGuessBecomesTheDescriptionItShowed) {
    const TooltipGuess guess = WeaponGuess();
    LearnForm form = FormFromGuess(guess);
    EXPECT_EQ("712~1039", form.damage);
    form.values[0] = " 82 ";          // blanks around a value are no part of it
    form.lineCount = kLearnRows + 2;  // lines past the form's rows are passed over as unknown
    LearnTooltip what, want = guess.what;
    want.lines.resize(kLearnRows + 2);
    std::string problem;
    ASSERT_TRUE(DescribeForm(form, what, problem)) << problem;
    EXPECT_EQ(FormatTooltipDescription(want), FormatTooltipDescription(what));

    form.kind = 4;  // not a weapon: its weapon fields are not part of the description
    form.damage = "nonsense";
    ASSERT_TRUE(DescribeForm(form, what, problem)) << problem;
    EXPECT_FALSE(what.weapon);
}

TEST(LearnFormTest, WhatMustBeFixedFirstIsNamed) {
    const LearnForm good = FormFromGuess(WeaponGuess());
    auto refusal = [](LearnForm form) {
        LearnTooltip what;
        std::string problem;
        return DescribeForm(form, what, problem) ? std::string("accepted") : problem;
    };
    LearnForm f = good;
    f.kind = -1;
    EXPECT_EQ("아이템 종류를 고르세요.", refusal(f));
    f = good;
    f.values[2] = "  ";
    EXPECT_EQ("3번 줄: 값을 적으세요.", refusal(f));
    for (const char* damage : {"", "712", "~1039", "712~"}) {
        f = good;
        f.damage = damage;
        EXPECT_NE("accepted", refusal(f)) << damage;
    }
    f = good;
    f.attacksPerSecond = f.damage = "";  // a weapon described without its lines is allowed
    EXPECT_EQ("accepted", refusal(f));
    for (const char* sockets : {"21", "-1", "two"}) {
        f = good;
        f.emptySockets = sockets;
        EXPECT_EQ("빈 홈 수는 0에서 20까지의 수로 적으세요.", refusal(f)) << sockets;
    }
    f = good;
    f.lineCount = 0;
    EXPECT_NE("accepted", refusal(f));
}

TEST(LearnFormTest, FieldsByHandCountWhatDiffersFromTheGuess) {
    const LearnForm guessed = FormFromGuess(WeaponGuess());
    EXPECT_EQ(2 + 2 + 1 + 2 + 2, FormFields(guessed));  // kind, sockets; two lines with a row; weapon
    EXPECT_EQ(0, FieldsByHand(guessed, guessed));
    LearnForm d = guessed;
    d.emptySockets = "01";  // the same count
    d.values[2] = "9.5 ";
    EXPECT_EQ(0, FieldsByHand(guessed, d));
    d.kind = 2;
    d.rows[1] = 7;  // a line the guess did not know: its option and its value
    d.values[1] = "120";
    d.damage = "712~1093";
    EXPECT_EQ(4, FieldsByHand(guessed, d));
    d.rows[0] = -1;  // a line said not to be described: its value no longer counts
    d.values[0] = "whatever";
    EXPECT_EQ(5, FieldsByHand(guessed, d));
    LearnForm blank;
    blank.lineCount = 3;
    EXPECT_EQ(0, FieldsFilled(blank));
    // All but the unknown line's option, the empty sockets among them: a guess that fills every
    // field must not read one short.
    EXPECT_EQ(FormFields(guessed) - 1, FieldsFilled(guessed));
}

TEST(LearnFormTest, TextsSayWhatThePackHoldsLearnedAndReadsBack) {
    PackContents before, after;
    for (int d : {1, 2, 4, 5, 7}) before.picture[kGlyphBlueDigit0 + d] = true;
    after = before;
    for (int d : {0, 3, 6, 8, 9}) after.picture[kGlyphBlueDigit0 + d] = true;
    after.picture[kGlyphBluePoint] = after.picture[kGlyphWhiteDigit0 + 9] = true;
    after.picture[kStatDescriptors[1].templateIndex] = true;  // shared by two rows
    after.picture[kItemKinds[4].templateIndex] = true;
    after.layoutFields = 3;
    PackContents marked = after;
    for (int i : {kGlyphBullet, kGlyphEmptySocket, kStatDescriptors[kAttacksPerSecondRow].templateIndex})
        marked.picture[i] = true;
    // No option line draws a white tilde, so none is missing; a caption two rows share counts once.
    EXPECT_EQ(
        "  파란 글자: 물결(~)\r\n  흰 글자: 0, 1, 2, 3, 4, 5, 6, 7, 8, 점\r\n"
        "  옵션 이름 1 / 37, 종류 1 / 13\r\n"
        "  배치 값: 점 간격, 무기 공격력 사이 간격, 물결 찾는 범위, 무기 공격력 가로 위치, 무기 공격력 "
        "높이\r\n",
        KoreanMissingText(MissingFromPack(marked)));

    LearnSource source;
    source.folder = "glyphs/1920x1200";
    TeachOutcome outcome;
    outcome.pending = {PendingTooltip{"pending/0003", {LearnMessage{kDigitSpacingUnsure}}}};
    outcome.missing = MissingFromPack(after);
    outcome.readBack.kind = 4;
    outcome.readBack.stats[kIntelligence] = 345;
    LearnTooltip what;
    what.kind = 4;
    what.lines = {{7, "345"}, {6, "1120"}};
    const std::string text = TeachText(source, outcome, before, after, what, 3, 9);
    for (const char* part :
         {"손으로 채운 칸: 3 / 9", "파란 글자: 0, 3, 6, 8, 9, 점", "흰 글자: 9", "옵션 이름: 공격 속도\r\n",
          "종류: 반지", "글자 간격과 배치 값 2개", "pending\\0003.bmp\r\n    숫자 간격이 아직",
          "  표시: 줄 머리표, 빈 홈, 초당 공격 횟수\r\n", "다시 읽은 결과: 반지: 지능 345",
          "민첩 0 (설명 1120)"})
        EXPECT_NE(std::string::npos, text.find(part)) << part << "\n" << text;
    // A description that would not read back is not written, and the text says so instead.
    outcome.fits = outcome.wrote = false;
    LearnMessage shortfall{kStatReadsAs};
    shortfall.a = kIntelligence, shortfall.want = 345;
    outcome.report.readBack = {shortfall};
    const std::string refused = TeachText(source, outcome, before, before, what, 0, 9);
    EXPECT_NE(std::string::npos, refused.find("팩에 쓰지 않았습니다")) << refused;
    EXPECT_NE(std::string::npos, refused.find("  지능 0 (설명 345)")) << refused;
    EXPECT_EQ(std::string::npos, refused.find("다시 읽은 결과")) << refused;
    EXPECT_EQ("종류 알 수 없음", RecordText(UnidentifiedItem()));
}

TEST(LearnFormTest, AFolderIsWritableWhereItsNearestExistingParentTakesAFile) {
    const fs::path root =
        fs::temp_directory_path() / ("tallywick-learn-" + std::to_string(std::random_device()()));
    fs::create_directories(root);
    EXPECT_TRUE(FolderWritable((root / "glyphs" / "1920x1200").string()));
    EXPECT_TRUE(fs::is_empty(root));  // nothing made, nothing left
    std::ofstream(root / "glyphs") << "a file where the folder should be";
    EXPECT_FALSE(FolderWritable((root / "glyphs" / "1920x1200").string()));
    fs::remove_all(root);
}

}  // namespace
