// The captures of failed reads kept beside the action log: their names, their pixels, the
// numbering, how many are kept, and failures that must not stop anything.
#include "app/failed_captures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "base/bmp.h"
#include "base/files.h"

namespace fs = std::filesystem;

namespace {

class FailedCaptures : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ =
            fs::temp_directory_path() / ("tallywick-failed-" + std::to_string(std::random_device()()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        log_ = (dir_ / "actions.log").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    // The names in the folder, sorted.
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename().string());
        return names;
    }
    void Touch(const std::string& name) const { std::ofstream(dir_ / name) << "x"; }

    fs::path dir_;
    std::string log_;
};

// A small picture that differs from pixel to pixel, so that a flip or a shift shows.
PixelBuffer Capture(int seed) {
    PixelBuffer b(37, 23);
    for (int i = 0; i < b.count; ++i)
        b.pixels[size_t(i)] = RgbValue(uint8_t(i * 7 + seed), uint8_t(i / 37), uint8_t(seed));
    return b;
}

std::string Name(int n) {
    char text[32];
    std::snprintf(text, sizeof text, "actions-failed-%04d.bmp", n);
    return text;
}

TEST(FailedCapturePath, TheLogWithoutItsExtensionAndANumber) {
    EXPECT_EQ("/tmp/logs/actions-failed-0001.bmp", FailedCapturePath("/tmp/logs/actions.log", 1));
    EXPECT_EQ("/tmp/logs/actions-failed-0042.bmp", FailedCapturePath("/tmp/logs/actions.log", 42));
    EXPECT_EQ("/tmp/logs/actions-failed-12345.bmp", FailedCapturePath("/tmp/logs/actions.log", 12345));
    EXPECT_EQ("/tmp/logs/run.2-failed-0003.bmp", FailedCapturePath("/tmp/logs/run.2.log", 3));
    EXPECT_EQ("/tmp/logs/actions-failed-0001.bmp", FailedCapturePath("/tmp/logs/actions", 1));
    EXPECT_EQ("/tmp/my.logs/actions-failed-0001.bmp", FailedCapturePath("/tmp/my.logs/actions", 1));
    EXPECT_EQ("actions-failed-0001.bmp", FailedCapturePath("actions.log", 1));
}

TEST_F(FailedCaptures, TheFirstIsNumberedOneAndHoldsTheCapturesPixels) {
    const PixelBuffer capture = Capture(5);
    std::string error;
    const std::string path = KeepFailedCapture(log_, capture, error);
    ASSERT_FALSE(path.empty()) << error;
    EXPECT_EQ((dir_ / Name(1)).string(), path);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(path, bytes, error)) << error;
    PixelBuffer back;
    ASSERT_TRUE(DecodeBmp(bytes.data(), bytes.size(), back, error)) << error;
    ASSERT_EQ(capture.width, back.width);
    ASSERT_EQ(capture.height, back.height);
    EXPECT_EQ(capture.pixels, back.pixels);
}

TEST_F(FailedCaptures, NumbersGoOnFromTheHighestAndOtherFilesAreLeftAlone) {
    Touch(Name(7));
    Touch(Name(2));
    Touch("actions.log");
    Touch("other-failed-0050.bmp");
    Touch("actions-failed-0099.png");
    Touch("actions-failed-abcd.bmp");
    Touch("actions-failed-.bmp");
    std::string error;
    EXPECT_EQ((dir_ / Name(8)).string(), KeepFailedCapture(log_, Capture(1), error)) << error;
    EXPECT_EQ((dir_ / Name(9)).string(), KeepFailedCapture(log_, Capture(2), error)) << error;
    EXPECT_EQ(
        (std::set<std::string>{Name(2), Name(7), Name(8), Name(9), "actions.log", "other-failed-0050.bmp",
                               "actions-failed-0099.png", "actions-failed-abcd.bmp", "actions-failed-.bmp"}),
        Names());
}

TEST_F(FailedCaptures, OnlyTheTenMostRecentAreKept) {
    Touch("actions.log");
    std::string error;
    for (int i = 1; i <= 13; ++i) ASSERT_FALSE(KeepFailedCapture(log_, Capture(i), error).empty()) << error;
    std::set<std::string> expected{"actions.log"};
    for (int i = 4; i <= 13; ++i) expected.insert(Name(i));
    EXPECT_EQ(expected, Names());
    // The survivors are the latest pictures, not the first ones written again.
    std::vector<uint8_t> bytes;
    PixelBuffer back;
    ASSERT_TRUE(ReadFileBytes((dir_ / Name(13)).string(), bytes, error));
    ASSERT_TRUE(DecodeBmp(bytes.data(), bytes.size(), back, error));
    EXPECT_EQ(Capture(13).pixels, back.pixels);
}

TEST_F(FailedCaptures, OldOnesBeyondTheLimitGoEvenWhenTheyWereLeftFromBefore) {
    for (int n : {1, 5, 6, 30}) Touch(Name(n));
    std::string error;
    EXPECT_EQ((dir_ / Name(31)).string(), KeepFailedCapture(log_, Capture(0), error, 3));
    EXPECT_EQ((std::set<std::string>{Name(6), Name(30), Name(31)}), Names());
}

TEST_F(FailedCaptures, AFolderOfThatNameMovesTheNumberingOnAndStays) {
    fs::create_directories(dir_ / Name(4) / "inside");
    std::string error;
    EXPECT_EQ((dir_ / Name(5)).string(), KeepFailedCapture(log_, Capture(0), error, 1));
    EXPECT_TRUE(fs::is_directory(dir_ / Name(4) / "inside"));
    EXPECT_TRUE(fs::is_regular_file(dir_ / Name(5)));
}

TEST_F(FailedCaptures, AFolderThatCannotBeWrittenIsAnErrorAndNothingMore) {
    const std::string log = (dir_ / "missing folder" / "actions.log").string();
    std::string error;
    EXPECT_EQ("", KeepFailedCapture(log, Capture(0), error));
    EXPECT_NE(std::string::npos, error.find("actions-failed-0001.bmp")) << error;
    EXPECT_FALSE(fs::exists(dir_ / "missing folder"));
}

TEST_F(FailedCaptures, AnEmptyCaptureIsNotWritten) {
    std::string error;
    EXPECT_EQ("", KeepFailedCapture(log_, PixelBuffer(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(Names().empty());
}

TEST_F(FailedCaptures, AKoreanFolderName) {
    fs::create_directories(PathFromUtf8((dir_ / "").string() + "로그 폴더"));
    const std::string log = (dir_ / "").string() + "로그 폴더/동작.log";
    std::string error;
    const std::string path = KeepFailedCapture(log, Capture(3), error);
    EXPECT_EQ((dir_ / "").string() + "로그 폴더/동작-failed-0001.bmp", path) << error;
    EXPECT_TRUE(fs::is_regular_file(PathFromUtf8(path)));
}

TEST_F(FailedCaptures, ActionsFailingAtOnceGetNumbersOfTheirOwn) {
    constexpr int kThreads = 8;
    std::vector<std::string> paths(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            std::string error;
            paths[size_t(t)] = KeepFailedCapture(log_, Capture(t), error, 20);
        });
    for (std::thread& t : threads) t.join();
    std::set<std::string> expected;
    for (int i = 1; i <= kThreads; ++i) expected.insert(Name(i));
    EXPECT_EQ(expected, Names());
    std::set<std::string> distinct(paths.begin(), paths.end());
    EXPECT_EQ(size_t(kThreads), distinct.size());
    EXPECT_EQ(0u, distinct.count(""));
}

}  // namespace
