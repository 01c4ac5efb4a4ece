// tallywick-cli glyphs learn|check|cut and reading with --glyphs and --explain, as a player uses
// them: saved tooltips of a screen the built-in pictures cannot read, described on the command
// line, make a pack folder that `read --glyphs` then reads other tooltips with.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "base/bmp.h"
#include "base/files.h"
#include "cli/commands.h"
#include "cli/image_file.h"
#include "tests/support/parser_scenes.h"
#include "tests/support/second_screen_scenes.h"

namespace {

class GlyphsCommand : public scenes::ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        std::string error;
        ASSERT_TRUE(LoadSecondScreen(second_, error)) << error;
        dir_ = std::filesystem::temp_directory_path() /
               ("tallywick-glyphs-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(dir_);
        pack_ = (dir_ / "2560x1440").string();
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
        ReaderTest::TearDown();
    }
    // The scene as a saved screenshot.
    std::string Save(const TooltipScene& scene, const std::string& name) {
        PixelBuffer screen;
        std::string error, path = (dir_ / name).string();
        EXPECT_TRUE(ComposeScreen(scene, screen, error)) << error;
        EXPECT_TRUE(WriteFileBytes(path, EncodeBmp24(screen), error)) << error;
        return path;
    }
    // The learn command line a player types for a scene.
    std::vector<std::string> LearnArgs(const TooltipScene& scene, const std::string& image) {
        const LearnTooltip d = Describe(scene);
        std::vector<std::string> args = {"glyphs", "learn", pack_, image, "--kind", std::to_string(d.kind)};
        if (d.weapon)
            args.insert(args.end(), {"--weapon", d.attacksPerSecond + "," + d.minDamage + "~" + d.maxDamage});
        if (d.emptySockets) args.insert(args.end(), {"--empty-sockets", std::to_string(d.emptySockets)});
        for (const LearnLine& line : d.lines)
            args.insert(args.end(), {"--line", std::to_string(line.row) + "=" + line.text});
        return args;
    }
    int Run(const std::vector<std::string>& args) {
        out.clear(), err.clear();
        return RunCli(args, out, err);
    }
    void Teach() {
        int n = 0;
        for (const TooltipScene& scene : SecondScreenTeaching(second_)) {
            ASSERT_EQ(Run(LearnArgs(scene, Save(scene, "teach" + std::to_string(++n) + ".bmp"))), kExitOk)
                << out << err;
            EXPECT_NE(out.find("reads back exactly"), std::string::npos) << out;
        }
    }
    std::vector<uint8_t> Bytes(const std::string& path) {
        std::vector<uint8_t> bytes;
        std::string error;
        EXPECT_TRUE(ReadFileBytes(path, bytes, error)) << error;
        return bytes;
    }

    SecondScreen second_;
    std::filesystem::path dir_;
    std::string pack_, out, err;
};

TEST_F(GlyphsCommand, LearnedPackFolderReadsOtherTooltipsThroughTheCommandLine) {
    Teach();
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(pack_) / "layout.txt"));
    EXPECT_EQ(out.find("blue digits"), std::string::npos) << out;  // nothing of the blue digits is missing
    int n = 0;
    for (const TooltipScene& scene : SecondScreenOthers(second_)) {
        const std::string image = Save(scene, "other" + std::to_string(++n) + ".bmp");
        // The built-in pictures read none of them, and say why.
        EXPECT_EQ(Run({"read", image}), kExitNotRead);
        EXPECT_NE(out.find("\"kind\":-1"), std::string::npos) << out;
        EXPECT_NE(out.find("글자 팩을 만드세요"), std::string::npos) << out;
        // The learned pack reads each exactly.
        EXPECT_EQ(Run({"read", image, "--glyphs", pack_}), kExitOk) << err;
        const ItemRecord want = ExpectedRecord(Describe(scene));
        ItemRecord got;
        ASSERT_EQ(Run({"read", image, "--glyphs", pack_}), kExitOk);
        EXPECT_NE(out.find("\"kind\":" + std::to_string(want.kind) + ","), std::string::npos) << out;
        PixelBuffer screen;
        std::string error;
        ASSERT_TRUE(LoadImageFile(image, screen, error));
        ReadOptions options;
        GlyphPack pack;
        ASSERT_TRUE(LoadGlyphPack(pack_, pack, error)) << error;
        options.pack = &pack;
        std::string json;
        ReadScreen(screen, options, json, &got);
        EXPECT_EQ(json, out);
        for (int s = 0; s < kStatCount; ++s)
            EXPECT_EQ(got.stats[s], want.stats[s]) << "stat " << s << " of " << image;
    }
    EXPECT_EQ(Run({"glyphs", "check", pack_}), kExitOk) << out;
    EXPECT_NE(out.find("no problems"), std::string::npos) << out;
}

TEST_F(GlyphsCommand, WrongDescriptionsAndDisagreementsLeaveThePackAsItWas) {
    const TooltipScene ring = SecondScreenTeaching(second_)[0];
    const std::string image = Save(ring, "ring.bmp");
    ASSERT_EQ(Run(LearnArgs(ring, image)), kExitOk) << err;
    const std::string dexterity = pack_ + "/177.bmp";  // the caption 민첩
    const std::vector<uint8_t> before = Bytes(dexterity);
    // One line fewer than the tooltip shows: refused, nothing written.
    std::vector<std::string> args = LearnArgs(ring, image);
    args.resize(args.size() - 2);
    EXPECT_EQ(Run(args), kExitNotRead);
    EXPECT_NE(err.find("bulleted lines"), std::string::npos) << err;
    // The intelligence line described as dexterity: its caption differs from the dexterity the
    // pack holds, which is reported and kept.
    args = LearnArgs(ring, image);
    std::replace(args.begin(), args.end(), std::string("7=345"), std::string("6=345"));
    EXPECT_EQ(Run(args), kExitNotRead);
    EXPECT_NE(out.find("disagrees"), std::string::npos) << out;
    EXPECT_NE(out.find("177.bmp"), std::string::npos) << out;
    EXPECT_EQ(Bytes(dexterity), before);
    // Usage faults.
    EXPECT_EQ(Run({"glyphs", "learn", pack_, image, "--line", "지능=3"}), kExitUsage);
    EXPECT_NE(err.find("--kind"), std::string::npos) << err;
    EXPECT_EQ(Run({"glyphs", "learn", pack_, image, "--kind", "13"}), kExitUsage);
    EXPECT_EQ(Run({"glyphs", "learn", pack_, image, "--kind", "반지", "--line", "없는 줄=3"}), kExitUsage);
    EXPECT_EQ(Run({"glyphs", "learn", pack_, image, "--kind", "반지", "--weapon", "1.1"}), kExitUsage);
    EXPECT_EQ(Run({"glyphs", "frobnicate"}), kExitUsage);
    EXPECT_EQ(Bytes(dexterity), before);
}

// Each file of the pack folder by name, with its inode: a file replaced gets a new one.
std::map<std::string, ino_t> Inodes(const std::string& folder) {
    std::map<std::string, ino_t> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat st {};
        if (entry.is_regular_file() && ::stat(entry.path().c_str(), &st) == 0)
            files[entry.path().lexically_relative(folder).string()] = st.st_ino;
    }
    return files;
}

TEST_F(GlyphsCommand, LearnRewritesNothingUnchangedNothingOnAFailedReadBackAndKeepsWhatWaits) {
    // One digit alone: kept for later, no failure.
    const std::string early =
        Save(second_screen_scenes::Scene(second_, 4, {OptionLine(7, "3")}), "early.bmp");
    ASSERT_EQ(Run({"glyphs", "learn", pack_, early, "--kind", "반지", "--line", "지능=3"}), kExitOk) << err;
    EXPECT_NE(out.find("kept until later tooltips settle the digit grid:\n  pending/0001: "),
              std::string::npos)
        << out;
    Teach();  // settles it; the ring waits for the weapon's white digits, which settle it too
    const auto before = Inodes(pack_);
    for (const auto& [name, inode] : before) EXPECT_NE(name.rfind("pending/", 0), 0u) << name;
    // The same tooltips again: every file is left as it is.
    Teach();
    EXPECT_EQ(Inodes(pack_), before);
    // An untaught ring described as an amulet: the pack knows the ring's caption, so it reads back
    // wrong, and nothing is written.
    const TooltipScene ring = SecondScreenOthers(second_)[0];
    std::vector<std::string> args = LearnArgs(ring, Save(ring, "ring.bmp"));
    args[5] = "11";
    EXPECT_EQ(Run(args), kExitNotRead);
    EXPECT_NE(out.find("nothing written"), std::string::npos) << out;
    EXPECT_EQ(Inodes(pack_), before);
    // A blank area is no picture: refused, nothing written.
    EXPECT_EQ(Run({"glyphs", "cut", pack_, early, "101", "1300", "800", "9", "9"}), kExitUsage);
    EXPECT_NE(err.find("no ink"), std::string::npos) << err;
    EXPECT_EQ(Inodes(pack_), before);
}

TEST_F(GlyphsCommand, CheckNamesWeakPicturesAndCutWritesOneByHand) {
    Teach();
    // Blue digit 8 made a copy of blue digit 3: the check names both.
    std::filesystem::copy_file(pack_ + "/124.bmp", pack_ + "/134.bmp",
                               std::filesystem::copy_options::overwrite_existing);
    EXPECT_EQ(Run({"glyphs", "check", pack_}), kExitNotRead);
    EXPECT_NE(out.find("134.bmp"), std::string::npos) << out;
    EXPECT_EQ(Run({"glyphs", "check", (dir_ / "none").string()}), kExitUsage);

    const std::string image = Save(SecondScreenTeaching(second_)[0], "ring.bmp");
    ASSERT_EQ(Run({"glyphs", "cut", pack_, image, "101", "10", "20", "7", "9"}), kExitOk) << err;
    PixelBuffer cut, screen;
    std::string error;
    ASSERT_TRUE(LoadImageFile(pack_ + "/101.bmp", cut, error)) << error;
    ASSERT_TRUE(LoadImageFile(image, screen, error));
    EXPECT_EQ(cut.pixels, CropPixels(screen, 10, 20, 7, 9).pixels);
    EXPECT_EQ(Run({"glyphs", "cut", pack_, image, "999", "0", "0", "5", "5"}), kExitUsage);
    EXPECT_EQ(Run({"glyphs", "cut", pack_, image, "101", "2555", "0", "9", "5"}), kExitUsage);
}

TEST_F(GlyphsCommand, ExplainDrawsWhatMatchedAndNamesTheNearestCaption) {
    Teach();
    // A line whose caption the pack never saw: the nearest caption is named with its mismatches.
    TooltipScene ring = SecondScreenOthers(second_)[0];
    ring.lines.push_back(OptionLine(24, "12"));  // 비전 피해 %, not taught
    const std::string image = Save(ring, "ring.bmp"), picture = (dir_ / "explain.png").string();
    ASSERT_EQ(Run({"read", image, "--glyphs", pack_, "--explain", picture}), kExitOk) << err;
    EXPECT_NE(out.find("\"explain\":{\"marks\":["), std::string::npos) << out;
    EXPECT_NE(out.find("\"kind\":\"kind caption\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"misses\":[{\"line\":4,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"mismatches\":"), std::string::npos) << out;
    PixelBuffer drawn;
    std::string error;
    ASSERT_TRUE(LoadImageFile(picture, drawn, error)) << error;
    EXPECT_GT(drawn.width, 300);
    int red = 0, magenta = 0;
    for (uint32_t p : drawn.pixels) red += p == RgbValue(255, 0, 0), magenta += p == RgbValue(255, 60, 255);
    EXPECT_GT(red, 0);
    EXPECT_GT(magenta, 0);
    // Without --explain the JSON is as it always was.
    ASSERT_EQ(Run({"read", image, "--glyphs", pack_}), kExitOk);
    EXPECT_EQ(out.find("explain"), std::string::npos);
}

}  // namespace
