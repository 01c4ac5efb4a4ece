// tallywick-cli profile / compare / equip on the bundled settings file and sample screen: what a
// compare predicts is what an equip then gives, and only `equip --write` touches the file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "base/bmp.h"
#include "base/files.h"
#include "calc/formulas.h"
#include "cli/commands.h"
#include "tests/support/parser_scenes.h"

namespace {

const std::string kSamples = std::string(TALLYWICK_SOURCE_DIR) + "/samples/";

// The numbers of the array after "key": in a JSON line.
std::vector<double> Numbers(const std::string& json, const std::string& key) {
    std::vector<double> v;
    size_t at = json.find("\"" + key + "\":[");
    if (at == std::string::npos) return v;
    const char* p = json.c_str() + at + key.size() + 4;
    while (*p && *p != ']') {
        char* end = nullptr;
        v.push_back(std::strtod(p, &end));
        p = *end == ',' ? end + 1 : end;
    }
    return v;
}

class CalcCommands : public scenes::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        savedCalc_ = gCalc;
        // One file per test: CTest runs the tests of this file side by side.
        ini_ = testing::TempDir() + "/calc_commands_" +
               testing::UnitTest::GetInstance()->current_test_info()->name() + ".ini";
        std::filesystem::copy_file(kSamples + "sample_settings.ini", ini_,
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(ReadFileBytes(ini_, original_, error_)) << error_;
    }
    void TearDown() override {
        gCalc = savedCalc_;
        ReaderTest::TearDown();
    }
    int Run(int (*command)(const std::vector<std::string>&, std::string&, std::string&),
            std::vector<std::string> args) {
        out_.clear(), err_.clear();
        return command(args, out_, err_);
    }
    bool FileUnchanged() {
        std::vector<uint8_t> now;
        return ReadFileBytes(ini_, now, error_) && now == original_;
    }

    std::string ini_, out_, err_, error_;
    std::vector<uint8_t> original_;
    const std::string screen_ = kSamples + "sample_screen.png";

private:
    CalcState savedCalc_;
};

TEST_F(CalcCommands, CompareLeavesTheProfileAndPredictsTheEquip) {
    ASSERT_EQ(Run(RunProfile, {ini_}), 0) << err_;
    const std::vector<double> before = Numbers(out_, "summary");
    ASSERT_EQ(before.size(), 11u);

    ASSERT_EQ(Run(RunCompare, {ini_, screen_}), 0) << err_;
    EXPECT_EQ(Numbers(out_, "summary"), before) << "a compare must not change the active profile";
    const std::vector<double> modified = Numbers(out_, "modified");
    EXPECT_EQ(Numbers(out_, "adjustments").size(), 16u);
    EXPECT_EQ(Numbers(out_, "value_equivalents").size(), 11u);
    EXPECT_NE(out_.find("\"slot\":0"), std::string::npos);  // a two-hand weapon goes to the main hand
    EXPECT_TRUE(FileUnchanged());

    // Equipping the same item with the equip set (the sample uses no gem choice for weapons, so
    // both sets read alike) gives what the compare predicted.
    ASSERT_EQ(Run(RunEquip, {ini_, screen_}), 0) << err_;
    EXPECT_EQ(Numbers(out_, "summary"), modified);
    EXPECT_TRUE(FileUnchanged()) << "equip without --write must not write";
}

TEST_F(CalcCommands, EquipWriteStoresTheItemInItsSlot) {
    ASSERT_EQ(Run(RunCompare, {ini_, screen_, "--profile", "3"}), 0) << err_;
    const std::vector<double> predicted = Numbers(out_, "modified");
    ASSERT_EQ(Run(RunEquip, {ini_, screen_, "--profile", "3", "--write"}), 0) << err_;
    EXPECT_FALSE(FileUnchanged());

    ASSERT_EQ(Run(RunProfile, {ini_, "--profile", "3"}), 0) << err_;
    EXPECT_EQ(Numbers(out_, "summary"), predicted);
    EXPECT_GT(Numbers(out_, "weapon_dps")[0], 0);
    // The file's own active profile (1) is untouched by a write to profile 3.
    ASSERT_EQ(Run(RunProfile, {kSamples + "sample_settings.ini"}), 0) << err_;
    const std::string sampleProfile = out_;
    ASSERT_EQ(Run(RunProfile, {ini_}), 0) << err_;
    EXPECT_EQ(out_, sampleProfile);
}

TEST_F(CalcCommands, ItemThatCannotBeReadChangesNothing) {
    PixelBuffer noTooltip(640, 480, 0x808080);
    const std::string image = testing::TempDir() + "/no_tooltip.bmp";
    ASSERT_TRUE(WriteFileBytes(image, EncodeBmp24(noTooltip), error_)) << error_;
    ASSERT_EQ(Run(RunProfile, {ini_}), 0);
    const std::vector<double> before = Numbers(out_, "summary");

    EXPECT_EQ(Run(RunEquip, {ini_, image, "--write"}), 1);
    EXPECT_EQ(Numbers(out_, "summary"), before);
    EXPECT_NE(out_.find("\"item\":{\"tooltip\":null"), std::string::npos);
    EXPECT_NE(out_.find("\"slot\":-1"), std::string::npos);
    EXPECT_NE(out_.find("\"alerts\":[\"\xED\x88\xB4"), std::string::npos) << out_;  // "툴팁을 ..."
    EXPECT_TRUE(FileUnchanged());
}

TEST_F(CalcCommands, BadUsageAndUnreadableFilesExitTwoWithOneLine) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {ini_, screen_, "--profile"},
        {ini_, screen_, "--profile", "9"},
        {ini_, screen_, "--bogus"},
        {ini_},
        {testing::TempDir() + "/missing.ini", screen_},
        {ini_, testing::TempDir() + "/missing.png"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(Run(RunCompare, args), 2) << testing::PrintToString(args);
        EXPECT_EQ(out_, "");
        EXPECT_EQ(err_.rfind("tallywick-cli: ", 0), 0u) << err_;
        EXPECT_EQ(err_.back(), '\n');
    }
    EXPECT_EQ(Run(RunProfile, {ini_, screen_}), 2);
    EXPECT_EQ(Run(RunProfile, {ini_, "--write"}), 2) << "--write belongs to equip alone";
    EXPECT_TRUE(FileUnchanged());
}

}  // namespace
