// Glyph packs chosen by screen size: which pack a capture of a given size reads with, when a
// pack's problems are told, that a pack handed out stays the same object, and that callers of
// the same size at once load it once.
#include "app/pack_shelf.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <latch>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/status.h"

namespace fs = std::filesystem;

namespace {

class PackShelfTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::string error;
        ASSERT_TRUE(LoadGlyphTemplates(error)) << error;
    }
    void SetUp() override {
        root_ =
            fs::temp_directory_path() / ("tallywick-shelf-" + std::to_string(std::random_device()()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string Root() const { return root_.string(); }
    std::string Folder(int w, int h) const { return PackFolderForSize(Root(), w, h); }

    // A pack folder for that size: copies of the built-in bullet and blue digits, and the whole
    // layout with the tilde search widened to `tildeSearch` so that the pack can be told apart.
    void MakePack(int w, int h, int tildeSearch) const {
        GlyphPack pack = BuiltInPack();
        pack.layout.tildeSearch = tildeSearch;
        PackContents contents;
        contents.picture[kGlyphBullet] = true;
        for (int d = 0; d < 10; ++d) contents.picture[kGlyphBlueDigit0 + d] = true;
        contents.layoutFields = kAllLayoutFields;
        std::string error;
        ASSERT_TRUE(SaveGlyphPack(Folder(w, h), pack, contents, error)) << error;
    }
    // Overwrites one picture of a pack folder with bytes that are no picture.
    void BreakPicture(int w, int h, int templateIndex) const {
        std::ofstream(Folder(w, h) + "/" + std::to_string(kGlyphInfo[templateIndex].resourceId) + ".bmp",
                      std::ios::binary | std::ios::trunc)
            << "not a picture";
    }

    fs::path root_;
};

// A checker that finds nothing wrong, and one that always finds the same problem; both count calls.
struct FakeChecker {
    std::vector<PackProblem> answer;
    std::shared_ptr<std::atomic<int>> calls = std::make_shared<std::atomic<int>>(0);
    std::shared_ptr<PackContents> seen = std::make_shared<PackContents>();
    std::vector<PackProblem> operator()(const GlyphPack&, const PackContents* contents) const {
        ++*calls;
        if (contents) *seen = *contents;
        return answer;
    }
};

TEST_F(PackShelfTest, ASizeWithoutAFolderReadsWithTheBuiltInPack) {
    MakePack(2560, 1440, 250);
    FakeChecker checker;
    PackShelf shelf(Root(), LoadGlyphPack, checker);
    for (int i = 0; i < 2; ++i) {
        const PackPick pick = shelf.PackFor(1920, 1080);
        EXPECT_EQ(&BuiltInPack(), pick.pack);
        EXPECT_FALSE(pick.fromFolder);
        EXPECT_FALSE(pick.report.has_value());
    }
    EXPECT_EQ(0, *checker.calls);
}

TEST_F(PackShelfTest, NoRootFolderOrNoRootAtAllMeansTheBuiltInPack) {
    PackShelf missing((root_ / "no such folder").string());
    EXPECT_EQ(&BuiltInPack(), missing.PackFor(1920, 1080).pack);
    EXPECT_FALSE(missing.PackFor(1920, 1080).report.has_value());
    MakePack(1920, 1080, 250);
    PackShelf none("");
    EXPECT_EQ(&BuiltInPack(), none.PackFor(1920, 1080).pack);
}

TEST_F(PackShelfTest, SizesThatAreNotPositiveNeverTouchTheDisk) {
    std::atomic<int> loads{0};
    PackShelf shelf(Root(), [&](const std::string& f, GlyphPack& p, std::string& e, PackContents* c) {
        ++loads;
        return LoadGlyphPack(f, p, e, c);
    });
    fs::create_directories(Folder(0, 0));
    for (auto [w, h] : {std::pair{0, 0}, std::pair{-1920, 1080}, std::pair{1920, 0}}) {
        const PackPick pick = shelf.PackFor(w, h);
        EXPECT_EQ(&BuiltInPack(), pick.pack);
        EXPECT_FALSE(pick.report.has_value());
    }
    EXPECT_EQ(0, loads.load());
}

TEST_F(PackShelfTest, TheFolderOfTheCapturesSizeIsLoadedOverTheBuiltInPack) {
    MakePack(2560, 1440, 250);
    MakePack(1920, 1080, 300);
    FakeChecker checker;
    PackShelf shelf(Root(), LoadGlyphPack, checker);

    const PackPick big = shelf.PackFor(2560, 1440);
    ASSERT_NE(nullptr, big.pack);
    EXPECT_NE(&BuiltInPack(), big.pack);
    EXPECT_TRUE(big.fromFolder);
    EXPECT_FALSE(big.report.has_value());
    EXPECT_EQ(250, big.pack->layout.tildeSearch);
    // What the folder holds equals the built-in pictures it was saved from; the rest falls back.
    for (int i = 0; i < kGlyphCount; ++i) {
        EXPECT_EQ(BuiltInPack().templates[i].pixels, big.pack->templates[i].pixels) << "template " << i;
        EXPECT_EQ(BuiltInPack().templates[i].width, big.pack->templates[i].width) << "template " << i;
    }
    // The checker is told what the folder itself holds.
    EXPECT_TRUE(checker.seen->picture[kGlyphBullet]);
    EXPECT_TRUE(checker.seen->picture[kGlyphBlueDigit0 + 9]);
    EXPECT_FALSE(checker.seen->picture[kGlyphWhiteDigit0]);
    EXPECT_EQ(kAllLayoutFields, checker.seen->layoutFields);

    const PackPick small = shelf.PackFor(1920, 1080);
    EXPECT_TRUE(small.fromFolder);
    EXPECT_NE(big.pack, small.pack);
    EXPECT_EQ(300, small.pack->layout.tildeSearch);
    EXPECT_EQ(&BuiltInPack(), shelf.PackFor(1280, 1024).pack);
    EXPECT_EQ(2, *checker.calls);
}

TEST_F(PackShelfTest, LaterCallsGetTheSamePackObjectUnchanged) {
    MakePack(2560, 1440, 250);
    FakeChecker checker;
    PackShelf shelf(Root(), LoadGlyphPack, checker);
    const PackPick first = shelf.PackFor(2560, 1440);
    const GlyphLayout layout = first.pack->layout;
    const std::vector<uint32_t> bullet = first.pack->templates[kGlyphBullet].pixels;
    // The folder changes on disk: the shelf keeps what it loaded.
    MakePack(2560, 1440, 400);
    fs::remove_all(Folder(2560, 1440));
    for (int i = 0; i < 3; ++i) {
        const PackPick again = shelf.PackFor(2560, 1440);
        EXPECT_EQ(first.pack, again.pack);
        EXPECT_TRUE(again.fromFolder);
        EXPECT_FALSE(again.report.has_value());
    }
    EXPECT_EQ(layout, first.pack->layout);
    EXPECT_EQ(250, first.pack->layout.tildeSearch);
    EXPECT_EQ(bullet, first.pack->templates[kGlyphBullet].pixels);
    EXPECT_EQ(1, *checker.calls);
}

// A pack taught more while the program runs: dropping its size makes the next call load the
// folder again and tell its problems again, while the pack handed out before stays as it was.
TEST_F(PackShelfTest, ADroppedSizeIsLoadedAgainAndWhatWasHandedOutStays) {
    MakePack(2560, 1440, 250);
    FakeChecker checker;
    checker.answer = {{kGlyphBullet, "faint"}};
    PackShelf shelf(Root(), LoadGlyphPack, checker);
    shelf.Drop(1920, 1080);  // a size never asked for: nothing to drop
    EXPECT_EQ(&BuiltInPack(), shelf.PackFor(1920, 1080).pack);
    const PackPick first = shelf.PackFor(2560, 1440);
    ASSERT_TRUE(first.report.has_value());

    MakePack(2560, 1440, 400);
    MakePack(1920, 1080, 300);
    shelf.Drop(2560, 1440);
    shelf.Drop(1920, 1080);
    const PackPick again = shelf.PackFor(2560, 1440);
    EXPECT_NE(first.pack, again.pack);
    EXPECT_EQ(400, again.pack->layout.tildeSearch);
    EXPECT_TRUE(again.report.has_value());
    EXPECT_FALSE(shelf.PackFor(2560, 1440).report.has_value());
    EXPECT_EQ(250, first.pack->layout.tildeSearch);  // still readable, unchanged
    EXPECT_EQ(BuiltInPack().templates[kGlyphBullet].pixels, first.pack->templates[kGlyphBullet].pixels);
    // A size that had no folder when first asked for finds the folder made since.
    const PackPick made = shelf.PackFor(1920, 1080);
    EXPECT_TRUE(made.fromFolder);
    EXPECT_EQ(300, made.pack->layout.tildeSearch);
    EXPECT_EQ(3, *checker.calls);
}

TEST_F(PackShelfTest, ABrokenPackFallsBackToTheBuiltInPackAndIsReportedOnce) {
    MakePack(2560, 1440, 250);
    BreakPicture(2560, 1440, kGlyphBlueDigit0 + 3);
    FakeChecker checker;
    PackShelf shelf(Root(), LoadGlyphPack, checker);
    const PackPick first = shelf.PackFor(2560, 1440);
    EXPECT_EQ(&BuiltInPack(), first.pack);
    EXPECT_FALSE(first.fromFolder);
    ASSERT_TRUE(first.report.has_value());
    EXPECT_EQ(Folder(2560, 1440), first.report->folder);
    EXPECT_NE(std::string::npos, first.report->loadError.find("126.bmp")) << first.report->loadError;
    EXPECT_TRUE(first.report->problems.empty());
    EXPECT_EQ(0, *checker.calls);  // nothing loaded, nothing to check
    for (int i = 0; i < 3; ++i) {
        const PackPick again = shelf.PackFor(2560, 1440);
        EXPECT_EQ(&BuiltInPack(), again.pack);
        EXPECT_FALSE(again.report.has_value());
    }
}

TEST_F(PackShelfTest, AFileWhereTheFolderShouldBeIsReported) {
    std::ofstream(Folder(2560, 1440)) << "a file";
    PackShelf shelf(Root(), LoadGlyphPack, FakeChecker{});
    const PackPick pick = shelf.PackFor(2560, 1440);
    EXPECT_EQ(&BuiltInPack(), pick.pack);
    ASSERT_TRUE(pick.report.has_value());
    EXPECT_FALSE(pick.report->loadError.empty());
    EXPECT_FALSE(shelf.PackFor(2560, 1440).report.has_value());
}

TEST_F(PackShelfTest, CheckProblemsAreReportedOnceAndThePackStillReads) {
    MakePack(2560, 1440, 250);
    FakeChecker checker;
    checker.answer = {{kGlyphBlueDigit0 + 1, "too close to digit 7"}, {-1, "damage_up out of reach"}};
    PackShelf shelf(Root(), LoadGlyphPack, checker);
    const PackPick first = shelf.PackFor(2560, 1440);
    EXPECT_TRUE(first.fromFolder);
    EXPECT_EQ(250, first.pack->layout.tildeSearch);
    ASSERT_TRUE(first.report.has_value());
    EXPECT_TRUE(first.report->loadError.empty());
    ASSERT_EQ(2u, first.report->problems.size());
    EXPECT_EQ("too close to digit 7", first.report->problems[0].text);
    EXPECT_EQ(-1, first.report->problems[1].templateIndex);
    const PackPick again = shelf.PackFor(2560, 1440);
    EXPECT_EQ(first.pack, again.pack);
    EXPECT_FALSE(again.report.has_value());
    EXPECT_EQ(1, *checker.calls);
}

TEST_F(PackShelfTest, AProblemThatBlocksThePackLeavesTheSizeToTheBuiltInPack) {
    MakePack(2560, 1440, 250);
    FakeChecker checker;
    checker.answer = {
        {kGlyphBullet, "faint"}, {-1, "digit_advance is 0", true}, {kGlyphBlueDigit0, "blank", true}};
    PackShelf shelf(Root(), LoadGlyphPack, checker);
    const PackPick first = shelf.PackFor(2560, 1440);
    EXPECT_EQ(&BuiltInPack(), first.pack);
    EXPECT_FALSE(first.fromFolder);
    ASSERT_TRUE(first.report.has_value());
    EXPECT_TRUE(first.report->notUsed);
    EXPECT_EQ(u"글자 팩 문제: 2560x1440 팩 대신 기본 글자로 읽음: layout.txt 외 2건 (로그 참고)",
              PackAlertText(2560, 1440, *first.report, true));
    const std::string folder = Folder(2560, 1440);
    EXPECT_EQ((std::vector<std::string>{
                  "pack-problem folder=" + folder +
                      " not used, the built-in pack reads instead: a problem below can make a read wrong",
                  "pack-problem folder=" + folder + " file=101.bmp faint",
                  "pack-problem folder=" + folder + " file=layout.txt blocks the pack: digit_advance is 0",
                  "pack-problem folder=" + folder + " file=120.bmp blocks the pack: blank"}),
              PackReportLines(*first.report));
    const PackPick again = shelf.PackFor(2560, 1440);
    EXPECT_EQ(&BuiltInPack(), again.pack);
    EXPECT_FALSE(again.report.has_value());
    EXPECT_EQ(1, *checker.calls);
}

// The pack check itself: copies of the built-in pictures pass; a picture with no ink, which
// matches empty black, keeps its pack from being used.
TEST_F(PackShelfTest, TheRealCheckPassesBuiltInCopiesAndNamesABlankPicture) {
    MakePack(2560, 1440, 250);
    MakePack(1920, 1080, 250);
    GlyphPack blank = BuiltInPack();
    const int digit = kGlyphBlueDigit0 + 4;
    blank.templates[digit] = PixelBuffer(kGlyphInfo[digit].width, kGlyphInfo[digit].height, 0);
    PackContents contents;
    contents.picture[digit] = true;
    std::string error;
    ASSERT_TRUE(SaveGlyphPack(Folder(1920, 1080), blank, contents, error)) << error;

    PackShelf shelf(Root());
    const PackPick copies = shelf.PackFor(2560, 1440);
    EXPECT_TRUE(copies.fromFolder);
    EXPECT_FALSE(copies.report.has_value()) << PackReportLines(*copies.report).front();

    const PackPick weak = shelf.PackFor(1920, 1080);
    EXPECT_FALSE(weak.fromFolder);
    EXPECT_EQ(&BuiltInPack(), weak.pack);
    ASSERT_TRUE(weak.report.has_value());
    EXPECT_TRUE(weak.report->notUsed);
    bool named = false;
    for (const PackProblem& p : weak.report->problems) named |= p.templateIndex == digit && p.blocks;
    EXPECT_TRUE(named) << "the blank digit is not among the problems";
    EXPECT_EQ(u"글자 팩 문제: 1920x1080 팩 대신 기본 글자로 읽음: 128.bmp",
              PackAlertText(1920, 1080, *weak.report, false));
}

TEST_F(PackShelfTest, CallersOfOneSizeAtOnceLoadItOnce) {
    MakePack(2560, 1440, 250);
    std::atomic<int> loads{0};
    FakeChecker checker;
    checker.answer = {{kGlyphBullet, "faint"}};
    PackShelf shelf(
        Root(),
        [&](const std::string& f, GlyphPack& p, std::string& e, PackContents* c) {
            ++loads;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));  // others arrive meanwhile
            return LoadGlyphPack(f, p, e, c);
        },
        checker);
    constexpr int kThreads = 8;
    std::latch start(kThreads);
    std::vector<PackPick> picks(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            start.arrive_and_wait();
            picks[size_t(t)] = shelf.PackFor(2560, 1440);
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(1, loads.load());
    EXPECT_EQ(1, *checker.calls);
    int reports = 0;
    for (const PackPick& p : picks) {
        EXPECT_EQ(picks[0].pack, p.pack);
        EXPECT_TRUE(p.fromFolder);
        reports += p.report.has_value();
    }
    EXPECT_NE(&BuiltInPack(), picks[0].pack);
    EXPECT_EQ(1, reports);
}

TEST_F(PackShelfTest, ABrokenPackUsedAtOnceIsReportedToOneCaller) {
    MakePack(2560, 1440, 250);
    BreakPicture(2560, 1440, kGlyphBullet);
    std::atomic<int> loads{0};
    PackShelf shelf(Root(), [&](const std::string& f, GlyphPack& p, std::string& e, PackContents* c) {
        ++loads;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        return LoadGlyphPack(f, p, e, c);
    });
    constexpr int kThreads = 6;
    std::latch start(kThreads);
    std::atomic<int> reports{0}, builtIn{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&] {
            start.arrive_and_wait();
            const PackPick pick = shelf.PackFor(2560, 1440);
            reports += pick.report.has_value();
            builtIn += pick.pack == &BuiltInPack();
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(1, loads.load());
    EXPECT_EQ(1, reports.load());
    EXPECT_EQ(kThreads, builtIn.load());
}

TEST_F(PackShelfTest, DifferentSizesLoadSideBySide) {
    MakePack(2560, 1440, 250);
    MakePack(1920, 1080, 300);
    std::atomic<int> loads{0}, inside{0}, most{0};
    PackShelf shelf(Root(), [&](const std::string& f, GlyphPack& p, std::string& e, PackContents* c) {
        ++loads;
        const int now = ++inside;
        for (int m = most; now > m && !most.compare_exchange_weak(m, now);) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        --inside;
        return LoadGlyphPack(f, p, e, c);
    });
    std::latch start(2);
    std::thread a([&] {
        start.arrive_and_wait();
        EXPECT_EQ(250, shelf.PackFor(2560, 1440).pack->layout.tildeSearch);
    });
    std::thread b([&] {
        start.arrive_and_wait();
        EXPECT_EQ(300, shelf.PackFor(1920, 1080).pack->layout.tildeSearch);
    });
    a.join();
    b.join();
    EXPECT_EQ(2, loads.load());
    EXPECT_EQ(2, most.load()) << "one size waited for the other's load";
}

TEST(PackAlertText, ShortKoreanTextNamingTheSizeAndWhatIsWrong) {
    PackReport broken;
    broken.folder = "C:/Games/glyphs/2560x1440";
    broken.loadError = "C:/Games/glyphs/2560x1440/126.bmp: not a BMP file";
    EXPECT_EQ(u"글자 팩 문제: 2560x1440 팩을 읽지 못해 기본 글자로 읽음",
              PackAlertText(2560, 1440, broken, false));
    EXPECT_EQ(u"글자 팩 문제: 2560x1440 팩을 읽지 못해 기본 글자로 읽음 (로그 참고)",
              PackAlertText(2560, 1440, broken, true));

    PackReport weak;
    weak.folder = "C:/Games/glyphs/1920x1080";
    weak.problems = {{1, "a"}, {2, "b"}, {-1, "c"}};
    EXPECT_EQ(u"글자 팩 문제: 1920x1080 팩에 문제 3건", PackAlertText(1920, 1080, weak, false));
    EXPECT_EQ(u"글자 팩 문제: 1920x1080 팩에 문제 3건 (로그 참고)", PackAlertText(1920, 1080, weak, true));
}

TEST(PackAlertText, FitsThePopupForAnySize) {
    PackReport broken;
    broken.loadError = std::string(500, 'x');
    PackReport weak;
    weak.problems.assign(123456, PackProblem{0, "x"});
    for (const PackReport* r : {&broken, &weak})
        for (bool logged : {false, true}) {
            const std::u16string text = PackAlertText(16384, 16384, *r, logged);
            EXPECT_LT(text.size(), size_t(kPopupTextMax));
            EXPECT_EQ(0u, text.find(u"글자 팩 문제: 16384x16384 "));
        }
}

TEST(PackReportLines, OneLinePerProblemNamingTheFile) {
    PackReport broken;
    broken.folder = "/g/2560x1440";
    broken.loadError = "/g/2560x1440/126.bmp: not a BMP file";
    EXPECT_EQ(
        (std::vector<std::string>{"pack-problem folder=/g/2560x1440 not loaded, the built-in pack reads "
                                  "instead: /g/2560x1440/126.bmp: not a BMP file"}),
        PackReportLines(broken));

    PackReport weak;
    weak.folder = "/g/1920x1080";
    weak.problems = {{kGlyphBullet, "too faint"}, {kGlyphBlueDigit0, "like digit 7"}, {-1, "gap too small"}};
    EXPECT_EQ((std::vector<std::string>{"pack-problem folder=/g/1920x1080 file=101.bmp too faint",
                                        "pack-problem folder=/g/1920x1080 file=120.bmp like digit 7",
                                        "pack-problem folder=/g/1920x1080 file=layout.txt gap too small"}),
              PackReportLines(weak));
    EXPECT_TRUE(PackReportLines(PackReport{}).empty());
}

}  // namespace
