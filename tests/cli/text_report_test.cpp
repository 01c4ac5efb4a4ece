// tallywick-cli --text on the bundled samples: the item by kind and named stats, each summary value
// as current → modified with the popup's change, the value equivalents, and what an equip tells is
// what the compare of the same item told. The expected numbers are the pinned JSON values, rounded
// as the pages show them.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <set>

#include "base/bmp.h"
#include "base/catalogue.h"
#include "base/files.h"
#include "calc/formulas.h"
#include "cli/commands.h"
#include "tests/support/parser_scenes.h"

namespace {

const std::string kSamples = std::string(TALLYWICK_SOURCE_DIR) + "/samples/";

// The text with every run of spaces made one, so that checks do not depend on column widths.
std::string Squeezed(const std::string& text) {
    return std::regex_replace(text, std::regex(" +"), " ");
}

class TextReport : public scenes::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        savedCalc_ = gCalc;
        ini_ = testing::TempDir() + "/text_report_" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::filesystem::copy_file(kSamples + "sample_settings.ini", ini_,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    void TearDown() override {
        gCalc = savedCalc_;
        ReaderTest::TearDown();
    }
    int Run(const std::vector<std::string>& args) {
        out_.clear(), err_.clear();
        return RunCli(args, out_, err_);
    }
    std::vector<uint8_t> IniBytes() {
        std::vector<uint8_t> bytes;
        std::string error;
        return ReadFileBytes(ini_, bytes, error) ? bytes : std::vector<uint8_t>{};
    }

    std::string ini_, out_, err_;
    const std::string screen_ = kSamples + "sample_screen.png";

private:
    CalcState savedCalc_;
};

TEST_F(TextReport, ReadNamesTheKindAndEveryStatThatIsNotZero) {
    ASSERT_EQ(Run({"read", screen_, "--text"}), kExitOk);
    EXPECT_EQ(err_, "");
    // The sample's stats in index order, with the compare-item dialog's decimals; nothing else.
    EXPECT_EQ(Squeezed(out_),
              "종류: 양손 무기\n"
              " 극대화 피해 52\n 민첩 412\n 활력 220\n 최소 속성 피해 231\n 최대 속성 피해 462\n"
              " 적중 시 생명력 회복 1450\n 최소 무기 공격력 1187\n 최대 무기 공격력 1463\n"
              " 무기 공격 속도 증가 7\n 무기 공격력 % 9\n 초당 공격 횟수 1.10\n");
    // Names right, numbers right-aligned: every line is as wide as the first.
    EXPECT_NE(out_.find("  극대화 피해            52\n"), std::string::npos) << out_;
    EXPECT_NE(out_.find("  초당 공격 횟수       1.10\n"), std::string::npos) << out_;

    // No tooltip: the alert says so, and the exit code is the JSON's.
    const std::string gray = testing::TempDir() + "/text_report_gray.bmp";
    std::string error;
    ASSERT_TRUE(WriteFileBytes(gray, EncodeBmp24(PixelBuffer(300, 200, 0x808080)), error)) << error;
    EXPECT_EQ(Run({"read", gray, "--text"}), kExitNotRead);
    EXPECT_EQ(out_, "종류: 식별 불가\n알림: 툴팁을 발견하지 못하였음.\n");

    // Every stat has a name, and those a read fills are told apart (the two the calculator fills
    // itself share captions with them).
    std::set<std::u16string> names;
    for (int s = 0; s < kStatCount; ++s) {
        ASSERT_NE(StatName(s), nullptr) << s;
        if (s != kAttacksPerSecond && s != kSkillDamagePercent) {
            EXPECT_TRUE(names.insert(StatName(s)).second) << "stat " << s << " shares its name";
        }
    }
}

TEST_F(TextReport, CompareShowsEachSummaryValueBeforeAndAfterAndTheEquivalents) {
    ASSERT_EQ(Run({"compare", ini_, screen_, "--text"}), kExitOk);
    const std::string text = Squeezed(out_);
    // Profile 1 before and after the sample's two-hander (the pinned summaries 53484.02 → 27514.373,
    // 42527.52 → 35471.52 ...), each with its field's decimals and the popup's arrow and amount.
    for (const char* line : {"장착 위치: 주 장비 (프로필 1)\n능력치 요약: 지금 → 비교\n",
                             " 공격력 53484.02 → 27514.37 ▼ 25969.65\n", " 생명력 42528 → 35472 ▼ 7056\n",
                             " 모든 저항 274 → 184 ▼ 90\n", " 초당 공격 횟수 1.40 → 1.10 ▼ 0.30\n",
                             " 극대화 피해 180 → 182 ▲ 2\n", " 극대화 확률 30.5 → 22.5 ▼ 8.0\n",
                             " 힘 67 → 67 ▲ 0\n", " 민첩 67 → 479 ▲ 412\n", " 생명력 % 12 → 12 ▲ 0\n",
                             // The value equivalents, 2 decimals, under their groups.
                             "가치 환산 - 공격력\n 공격력 -25969.65\n 무기 DPS -749.46\n",
                             " 극대화 확률 -41.79\n가치 환산 - 생명력\n 생명력 -7056.00\n 활력 -180.00\n"
                             " 생명력 % -18.58\n"})
        EXPECT_NE(text.find(line), std::string::npos) << "missing: " << line << "\n" << out_;
    EXPECT_EQ(text.find("알림"), std::string::npos);
}

TEST_F(TextReport, EquipTellsWhatTheCompareToldAndWritesOnlyWhenAsked) {
    ASSERT_EQ(Run({"compare", ini_, screen_, "--text"}), kExitOk);
    const std::string compared = out_;
    const std::vector<uint8_t> before = IniBytes();

    ASSERT_EQ(Run({"equip", ini_, screen_, "--text"}), kExitOk);
    std::string equipped = out_;
    EXPECT_EQ(IniBytes(), before);
    const std::string kept = "설정 파일은 그대로입니다 (저장하려면 --write).\n";
    ASSERT_GE(equipped.size(), kept.size());
    EXPECT_EQ(equipped.substr(equipped.size() - kept.size()), kept);
    equipped.resize(equipped.size() - kept.size());
    // Word for word the compare's report but for the names of the two columns.
    const auto sides = [](std::string s, const std::string& from, const std::string& to) {
        return s.replace(s.find(from), from.size(), to);
    };
    EXPECT_EQ(equipped, sides(compared, "지금 → 비교", "장착 전 → 장착 후"));

    // With --write the file becomes exactly what the JSON equip writes.
    ASSERT_EQ(Run({"equip", ini_, screen_, "--text", "--write"}), kExitOk);
    EXPECT_NE(out_.find("설정 파일에 저장했습니다.\n"), std::string::npos);
    const std::vector<uint8_t> byText = IniBytes();
    std::filesystem::copy_file(kSamples + "sample_settings.ini", ini_,
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(Run({"equip", ini_, screen_, "--write"}), kExitOk);
    EXPECT_NE(byText, before);
    EXPECT_EQ(IniBytes(), byText);
}

}  // namespace
