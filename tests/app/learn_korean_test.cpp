// The glyph pack dialog speaks Korean only: every message of the learner has its Korean text, and a
// whole lesson on the tight screen (a tooltip that waits, then the ones that settle it) reports in
// Korean from the first line to the last.
#include "app/learn_korean.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <regex>
#include <set>

#include "app/learn_form.h"
#include "base/catalogue.h"
#include "reader/pack_teach.h"
#include "tests/support/parser_scenes.h"
#include "tests/support/second_screen_scenes.h"

namespace {

namespace fs = std::filesystem;

// The text less the names of files (pictures, kept tooltips) and of `folder`, which may be Latin.
std::string WithoutNames(std::string text, const std::string& folder = {}) {
    for (size_t at; !folder.empty() && (at = text.find(folder)) != std::string::npos;)
        text.erase(at, folder.size());
    return std::regex_replace(text, std::regex(R"([A-Za-z0-9_\\/.-]*\.bmp)"), "");
}

bool HasLatin(const std::string& text) {
    return std::regex_search(text, std::regex("[A-Za-z]"));
}

TEST(LearnKoreanTest, EveryMessagePictureAndPlaceHasKoreanWords) {
    LearnMessage cause{kStatReadsAs};
    cause.a = kIntelligence, cause.want = 345;
    std::set<std::string> texts;
    for (int code = 0; code < kLearnCodeCount; ++code)
        for (int spot = kSpotNone; spot <= kSpotEmptySocket; ++spot) {
            LearnMessage m{LearnCode(code), LearnPlace{"pending/0001", LearnSpot(spot), 3}};
            m.from = LearnPlace{"", kSpotDamageLine};
            m.picture = kGlyphWhiteDigit0 + 7, m.field = spot % kLayoutFieldCount;
            m.a = 4, m.b = 6, m.want = 90.5f, m.text = "90.5", m.file = "glyphs/1920x1200/134.bmp";
            m.cause = {cause};
            const std::string text = KoreanText(m);
            EXPECT_FALSE(text.empty()) << code;
            EXPECT_FALSE(HasLatin(WithoutNames(text))) << code << ": " << text;
            if (spot == kSpotLine) texts.insert(text);
        }
    EXPECT_EQ(texts.size(), size_t(kLearnCodeCount));  // no two codes say the same
    for (int index = 0; index < kGlyphCount; ++index) {
        const std::string name = KoreanPictureName(index);
        EXPECT_FALSE(HasLatin(WithoutNames(name))) << index << ": " << name;
        EXPECT_NE(name.find(std::to_string(kGlyphInfo[index].resourceId) + ".bmp"), std::string::npos)
            << name;
    }
    EXPECT_EQ(KoreanPictureName(kGlyphBlueDigit0 + 7).rfind("파란 숫자 7 (", 0), 0u);
    EXPECT_EQ(KoreanPictureName(kGlyphWhitePoint).rfind("흰 점 (", 0), 0u);
    EXPECT_EQ(KoreanPictureName(kStatDescriptors[7].templateIndex).rfind("옵션 이름 '지능' (", 0), 0u);
    for (int stat = 0; stat < kStatCount; ++stat) EXPECT_FALSE(HasLatin(KoreanStatName(stat))) << stat;
}

class KoreanLesson : public scenes::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        std::string error;
        ASSERT_TRUE(LoadTightScreen(tight_, error)) << error;
        root_ = fs::temp_directory_path() / ("tallywick-korean-" + std::to_string(std::random_device()()));
        source_.folder = (root_ / "1920x1200").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
        ReaderTest::TearDown();
    }
    PackContents Contents() {
        GlyphPack pack;
        PackContents contents;
        std::string error;
        if (fs::is_directory(source_.folder)) {
            EXPECT_TRUE(LoadGlyphPack(source_.folder, pack, error, &contents)) << error;
        }
        return contents;
    }
    // Teaches the scene as the dialog does and gives the dialog's report.
    std::string Teach(const TooltipScene& scene, TeachOutcome& outcome) {
        const PackContents before = Contents();
        LearnMessage error;
        EXPECT_TRUE(TeachPackFolder(source_.folder, Tooltip(scene), Describe(scene), outcome, error))
            << KoreanText(error);
        return TeachText(source_, outcome, before, Contents(), Describe(scene), 0, 1);
    }

    SecondScreen tight_;
    fs::path root_;
    LearnSource source_;
};

TEST_F(KoreanLesson, ATooltipThatWaitsAndTheOnesThatSettleItAreReportedInKorean) {
    const std::vector<TooltipScene> lesson = TightScreenTeaching(tight_);
    std::vector<std::string> reports;
    TeachOutcome outcome;
    for (const TooltipScene& scene : lesson) {
        reports.push_back(Teach(scene, outcome));
        EXPECT_FALSE(HasLatin(WithoutNames(reports.back(), source_.folder))) << reports.back();
    }
    // The ring waits with its reasons; the weapon settles it; the amulet completes every digit,
    // white ones too, since no option line draws a white tilde.
    EXPECT_NE(reports[0].find(
                  "보류 중인 툴팁 (다음 툴팁이 글자 간격을 정하면 배움):\r\n  pending\\0001.bmp\r\n    "),
              std::string::npos)
        << reports[0];
    EXPECT_NE(reports[1].find("보류했다가 이번에 배운 툴팁:\r\n  pending\\0001.bmp\r\n"), std::string::npos)
        << reports[1];
    EXPECT_TRUE(outcome.pending.empty());
    EXPECT_NE(reports[2].find("  파란 글자: 다 있음\r\n  흰 글자: 다 있음\r\n"), std::string::npos)
        << reports[2];
    EXPECT_NE(reports[2].find("설명과 똑같이 읽힘"), std::string::npos) << reports[2];
}

}  // namespace
